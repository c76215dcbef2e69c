// The browser-cache cleaner: a window that is never shown, whose one button
// "清理" empties the embedded browser's history, then its cache of fetched
// pages and its visited links. A Baidu run clicks it before its first request.
#pragma once

#include <QWidget>

class QToolButton;
class QWebEngineView;

namespace brivano {

// What the cleaner clears, apart so that tests can watch the order.
class BrowserDataStore {
 public:
  virtual ~BrowserDataStore() = default;
  virtual void ClearHistory() = 0;
  virtual void ClearHttpCache() = 0;
  virtual void ClearVisitedLinks() = 0;
};

// The embedded browser's own history, cache and visited links.
class WebEngineDataStore : public BrowserDataStore {
 public:
  explicit WebEngineDataStore(QWebEngineView* view) : view_(view) {}
  void ClearHistory() override;
  void ClearHttpCache() override;
  void ClearVisitedLinks() override;

 private:
  QWebEngineView* view_;
};

class BrowserCacheCleaner : public QWidget {
  Q_OBJECT

 public:
  BrowserCacheCleaner(BrowserDataStore& store, QWidget* parent = nullptr);
  QToolButton* CleanButton() const { return cleanButton_; }

  // 清理: history first, then the cache; any failure ends it silently.
  void Clean();

 private:
  BrowserDataStore& store_;
  QToolButton* cleanButton_;
};

}  // namespace brivano
