// The keyword-list generator window: cities × trades into a keyword list.
// Created once and only hidden when closed, so its boxes keep what the user
// left in them for as long as the program runs.
#pragma once

#include <QDialog>
#include <filesystem>

#include "files/file_interfaces.h"

class QPlainTextEdit;
class QToolButton;

namespace brivano {

class UserDialogs;

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  TForm3(UserDialogs& dialogs, UserFeedback& feedback, std::filesystem::path programFolder,
         QWidget* parent = nullptr);

  void SpeedButton2Click();  // 创建
  void SpeedButton1Click();  // 保存

  QPlainTextEdit* Memo1() const { return memo1_; }  // cities
  QPlainTextEdit* Memo2() const { return memo2_; }  // trades
  QPlainTextEdit* Memo3() const { return memo3_; }  // the generated list

 private:
  UserDialogs& dialogs_;
  UserFeedback& feedback_;
  std::filesystem::path programFolder_;
  QPlainTextEdit* memo1_;
  QPlainTextEdit* memo2_;
  QPlainTextEdit* memo3_;
};

}  // namespace brivano
