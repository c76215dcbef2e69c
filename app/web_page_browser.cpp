#include "app/web_page_browser.h"

#include <QTimer>
#include <QVariant>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <memory>

namespace brivano {
namespace {

// Should the empty page never report, the run still starts.
constexpr int kBlankPageLimitMs = 10000;

}  // namespace

WebPageBrowser::CommittedEntry WebPageBrowser::LastCommitted() const {
  const QWebEngineHistoryItem item = view_->history()->currentItem();
  if (!item.isValid()) return {};
  return {item.url(), item.lastVisited()};
}

void WebPageBrowser::Navigate(const std::string& address) {
  if (!view_) return;
  beforeRequest_ = LastCommitted();
  view_->setUrl(QUrl(QString::fromStdString(address)));
}

void WebPageBrowser::ReadDocument(DocumentCallback answer) {
  if (!view_) {
    answer({});
    return;
  }
  if (beforeRequest_) {
    if (LastCommitted() == *beforeRequest_) {
      answer({PageDocument::State::NotYet, {}, {}});
      return;
    }
    beforeRequest_.reset();
  }
  // The rendered text of the body: blocks, cells and line breaks become line
  // breaks, link captions stay as shown. No body yet reads as no document.
  view_->page()->runJavaScript(
      QStringLiteral("document.body ? [location.href, document.body.innerText] : null"),
      [answer = std::move(answer)](const QVariant& result) {
        const QVariantList parts = result.toList();
        if (parts.size() != 2 || parts[1].typeId() != QMetaType::QString) {
          answer({});
          return;
        }
        answer({PageDocument::State::Shown, parts[0].toString().toStdString(),
                parts[1].toString().toStdString()});
      });
}

void WebPageBrowser::LoadBlankPageThen(std::function<void()> done) {
  if (!view_) {
    done();
    return;
  }
  // Whichever comes first, the load or the limit, calls `done`, once.
  auto pending = std::make_shared<std::function<void()>>(std::move(done));
  auto connection = std::make_shared<QMetaObject::Connection>();
  auto finish = [pending, connection] {
    QObject::disconnect(*connection);
    if (auto call = std::exchange(*pending, nullptr)) call();
  };
  *connection = QObject::connect(view_, &QWebEngineView::loadFinished, view_, finish);
  QTimer::singleShot(kBlankPageLimitMs, view_, finish);
  view_->setUrl(QUrl(QStringLiteral("data:text/html;charset=utf-8,")));
}

}  // namespace brivano
