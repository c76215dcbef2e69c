// The embedded browser behind the run's browser interface.
#pragma once

#include <QDateTime>
#include <QPointer>
#include <QUrl>
#include <QWebEngineView>
#include <functional>
#include <optional>

#include "search/run_interfaces.h"

namespace brivano {

class WebPageBrowser : public PageBrowser {
 public:
  explicit WebPageBrowser(QWebEngineView* view) : view_(view) {}
  void Navigate(const std::string& address) override;
  void ReadDocument(DocumentCallback answer) override;

  // Loads an empty page and calls `done` once it has loaded (or the view is
  // gone). After the cache has been emptied this tells when the browser can
  // load again: QtWebEngine clears its cache in the background without saying
  // when it has finished, and a page requested meanwhile never loads.
  void LoadBlankPageThen(std::function<void()> done);

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

  QPointer<QWebEngineView> view_;
  // The entry that was shown when the last request was made, until a read
  // finds that a newer one has replaced it.
  std::optional<CommittedEntry> beforeRequest_;
};

}  // namespace brivano
