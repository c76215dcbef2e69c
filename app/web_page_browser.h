// The embedded browser behind the run's browser interface.
#pragma once

#include <QDateTime>
#include <QPointer>
#include <QUrl>
#include <QWebEngineView>
#include <functional>
#include <optional>

#include "search/run_interfaces.h"

class QWebEngineLoadingInfo;
class QWebEnginePage;

namespace brivano {

class WebPageBrowser : public PageBrowser {
 public:
  explicit WebPageBrowser(QWebEngineView* view);

  void Navigate(const std::string& address) override;
  void ReadDocument(const DocumentQuery& query, DocumentCallback answer) override;

  // Gives the view a new page in a new, empty profile (no cache, history,
  // cookies or visited links) and calls `done`, which may load at once.
  // Emptying the old profile instead cannot be waited for: QtWebEngine
  // clears its cache in the background without saying when it has finished,
  // and a page requested meanwhile may never load.
  void StartAfresh(std::function<void()> done);

 private:
  // The browser's last committed history entry. It changes only once a new
  // document has replaced the old one in the page, unlike the view's address,
  // which shows a requested address at once.
  struct CommittedEntry {
    QUrl url;
    QDateTime visited;
    bool operator==(const CommittedEntry&) const = default;
  };
  CommittedEntry LastCommitted() const;
  void WatchLoads(QWebEnginePage* page);
  void OnLoading(const QWebEngineLoadingInfo& info);

  QPointer<QWebEngineView> view_;
  // Ends the watching of loads when the browser goes before its pages.
  QObject watcher_;
  // The entry that was shown when the last request was made, until a read
  // finds that a newer one has replaced it.
  std::optional<CommittedEntry> beforeRequest_;
  // Why the last requested page did not load, once it is known.
  std::optional<std::string> failure_;
};

}  // namespace brivano
