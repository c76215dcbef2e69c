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
    return Take(inputAnswers);
  }
  void Information(QWidget*, const QString& text) override {
    shown << QStringLiteral("information:") + text;
  }
  void Error(QWidget*, const QString& text) override { shown << QStringLiteral("error:") + text; }
  void Message(QWidget*, const QString& text) override {
    shown << QStringLiteral("message:") + text;
  }
  std::deque<bool> askAnswers;  // empty: 否
  bool Ask(QWidget*, const QString& text) override {
    shown << QStringLiteral("ask:") + text;
    if (askAnswers.empty()) return false;
    const bool answer = askAnswers.front();
    askAnswers.pop_front();
    return answer;
  }
  bool ConfirmExit(QWidget*) override {
    shown << QStringLiteral("confirm-exit");
    return confirmExit;
  }
  std::optional<QString> SaveFileName(QWidget*, const FileDialogRequest& request) override {
    fileRequests.push_back(request);
    return Take(saveAnswers);
  }
  QStringList OpenFileNames(QWidget*, const FileDialogRequest& request) override {
    fileRequests.push_back(request);
    if (openAnswers.empty()) return {};
    QStringList answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
  }

 private:
  // The next answer, std::nullopt (cancel) when none is queued.
  static std::optional<QString> Take(std::deque<std::optional<QString>>& answers) {
    if (answers.empty()) return std::nullopt;
    const bool cancel = !answers.front().has_value();
    const QString text = cancel ? QString() : *answers.front();
    answers.pop_front();
    if (cancel) return std::nullopt;
    return text;
  }
};

}  // namespace brivano::testing
