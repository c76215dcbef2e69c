// The keyword-list generator window: cities × trades into a keyword list.
// Created once and only hidden when closed, so its boxes keep what the user
// left in them for as long as the program runs.
#pragma once

#include <QDialog>

#include "files/file_interfaces.h"

class QPlainTextEdit;
class QToolButton;

namespace brivano {

class UserDialogs;
class WindowMemory;

class KeywordGeneratorWindow : public QDialog {
  Q_OBJECT

 public:
  // `memory` gives the folder its 保存 proposes, and keeps the one chosen.
  KeywordGeneratorWindow(UserDialogs& dialogs, UserFeedback& feedback, WindowMemory& memory,
                         QWidget* parent = nullptr);

  void Generate();  // 创建
  void SaveList();  // 保存

  QPlainTextEdit* CitiesEdit() const { return citiesEdit_; }  // cities
  QPlainTextEdit* TradesEdit() const { return tradesEdit_; }  // trades
  QPlainTextEdit* ListEdit() const { return listEdit_; }      // the generated list

 private:
  UserDialogs& dialogs_;
  UserFeedback& feedback_;
  WindowMemory& memory_;
  QPlainTextEdit* citiesEdit_;
  QPlainTextEdit* tradesEdit_;
  QPlainTextEdit* listEdit_;
};

}  // namespace brivano
