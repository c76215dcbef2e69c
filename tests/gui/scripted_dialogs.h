// Dialog answers given in advance; every box shown is logged.
#pragma once

#include <QStringList>
#include <deque>

#include "app/user_dialogs.h"

namespace brivano::testing {

class ScriptedDialogs : public UserDialogs {
 public:
  std::deque<std::optional<QString>> inputAnswers;  // empty: accept the offered value
  bool confirmExit = true;
  std::deque<std::optional<QString>> saveAnswers;
  std::deque<QStringList> openAnswers;
  QStringList shown;  // "kind:text"
  std::vector<FileDialogRequest> fileRequests;

  std::optional<QString> InputQuery(QWidget*, const QString& caption, const QString& prompt,
                                    const QString& value) override {
    shown << QStringLiteral("input:") + caption + QLatin1Char('|') + prompt + QLatin1Char('|') +
                 value;
    if (inputAnswers.empty()) return value;
    auto answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
  }
  void Information(QWidget*, const QString& text) override {
    shown << QStringLiteral("information:") + text;
  }
  void Error(QWidget*, const QString& text) override { shown << QStringLiteral("error:") + text; }
  void Message(QWidget*, const QString& text) override {
    shown << QStringLiteral("message:") + text;
  }
  bool ConfirmExit(QWidget*) override {
    shown << QStringLiteral("confirm-exit");
    return confirmExit;
  }
  std::optional<QString> SaveFileName(QWidget*, const FileDialogRequest& request) override {
    fileRequests.push_back(request);
    if (saveAnswers.empty()) return std::nullopt;
    auto answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
  }
  QStringList OpenFileNames(QWidget*, const FileDialogRequest& request) override {
    fileRequests.push_back(request);
    if (openAnswers.empty()) return {};
    QStringList answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
  }
};

}  // namespace brivano::testing
