#include "app/web_page_browser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVariant>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>

namespace brivano {
namespace {

// Reads the document in one go: its address, the rendered text of its body
// (blocks, cells and line breaks become line breaks, link captions stay as
// shown), its title, what the query asks of its markup, and the markup
// itself when asked (a page step reads the result blocks from it). No body yet
// reads as no document. A selector the page's engine cannot parse finds
// nothing.
constexpr char kReadScript[] = R"JS(
(function (q) {
  if (!document.body) return null;
  var squeeze = function (s) { return (s || '').replace(/\s+/g, ''); };
  var bare = function (s) { return squeeze(s).replace(/[>›»]+$/, ''); };
  var all = function (selector) {
    if (!selector) return [];
    try { return Array.prototype.slice.call(document.querySelectorAll(selector)); }
    catch (e) { return []; }
  };
  var labels = function (a) {
    return [a.innerText, a.getAttribute('title'), a.getAttribute('aria-label')];
  };
  var previous = q.previous.map(function (t) { return squeeze(t).toLowerCase(); });
  var isPrevious = function (a) {
    return labels(a).some(function (label) {
      label = squeeze(label).toLowerCase();
      return previous.some(function (p) { return p && label.indexOf(p) >= 0; });
    });
  };
  var wanted = q.next.map(bare).filter(function (t) { return t; });
  var saysNext = function (a) {
    return labels(a).some(function (label) { return wanted.indexOf(bare(label)) >= 0; });
  };
  var links = all('a');
  var next = all(q.nextSelector).some(function (a) { return !isPrevious(a); }) ||
             links.some(function (a) { return !isPrevious(a) && saysNext(a); });
  return [location.href, document.body.innerText, document.title.trim(), next,
          all(q.verifySelector).length > 0, q.resultSelector ? all(q.resultSelector).length : -1,
          q.markup ? document.documentElement.outerHTML : ''];
})
)JS";

QJsonArray JsonList(const std::vector<std::string>& texts) {
  QJsonArray list;
  for (const std::string& text : texts) list.append(QString::fromStdString(text));
  return list;
}

QString ReadCall(const DocumentQuery& query) {
  const QJsonObject argument{{"next", JsonList(query.nextPageTexts)},
                             {"previous", JsonList(query.previousPageTexts)},
                             {"nextSelector", QString::fromStdString(query.nextPageSelector)},
                             {"verifySelector", QString::fromStdString(query.verifySelector)},
                             {"resultSelector", QString::fromStdString(query.resultSelector)},
                             {"markup", query.markup}};
  return QString::fromUtf8(kReadScript) + QLatin1Char('(') +
         QString::fromUtf8(QJsonDocument(argument).toJson(QJsonDocument::Compact)) +
         QLatin1Char(')');
}

constexpr int kFirstHttpError = 400;

// A page that keeps the result pages' console to itself: every engine's
// scripts log on each page, which said nothing about the run and buried the
// program's own messages. BRIVANO_JS_LOG=1 shows them again, to debug a page.
class QuietPage : public QWebEnginePage {
 public:
  QuietPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

 protected:
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                int line, const QString& source) override {
    static const bool shown = qEnvironmentVariableIntValue("BRIVANO_JS_LOG") != 0;
    if (shown) QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
  }
};

}  // namespace

WebPageBrowser::WebPageBrowser(QWebEngineView* view) : view_(view) {
  if (!view_) return;
  auto* page = new QuietPage(QWebEngineProfile::defaultProfile(), view_);
  view_->setPage(page);
  WatchLoads(page);
}

WebPageBrowser::CommittedEntry WebPageBrowser::LastCommitted() const {
  const QWebEngineHistoryItem item = view_->history()->currentItem();
  if (!item.isValid()) return {};
  return {item.url(), item.lastVisited()};
}

void WebPageBrowser::WatchLoads(QWebEnginePage* page) {
  QObject::connect(page, &QWebEnginePage::loadingChanged, &watcher_,
                   [this](const QWebEngineLoadingInfo& info) { OnLoading(info); });
}

void WebPageBrowser::OnLoading(const QWebEngineLoadingInfo& info) {
  // A load that failed, and an engine's error page (HTTP 4xx or 5xx), are
  // failures of the request, never pages without results.
  const bool httpError = info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain &&
                         info.errorCode() >= kFirstHttpError;
  switch (info.status()) {
    case QWebEngineLoadingInfo::LoadFailedStatus:
      failure_ =
          httpError ? "HTTP " + std::to_string(info.errorCode()) : info.errorString().toStdString();
      if (failure_->empty()) failure_ = "错误 " + std::to_string(info.errorCode());
      break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
      if (httpError) failure_ = "HTTP " + std::to_string(info.errorCode());
      break;
    case QWebEngineLoadingInfo::LoadStartedStatus:
    case QWebEngineLoadingInfo::LoadStoppedStatus:
      break;
  }
}

void WebPageBrowser::Navigate(const std::string& address) {
  if (!view_) return;
  beforeRequest_ = LastCommitted();
  failure_.reset();
  view_->setUrl(QUrl(QString::fromStdString(address)));
}

void WebPageBrowser::ReadDocument(const DocumentQuery& query, DocumentCallback answer) {
  if (!view_) {
    answer({});
    return;
  }
  if (failure_) {
    PageDocument failed;
    failed.state = PageDocument::State::Failed;
    failed.failure = *failure_;
    answer(std::move(failed));
    return;
  }
  if (beforeRequest_) {
    if (LastCommitted() == *beforeRequest_) {
      PageDocument notYet;
      notYet.state = PageDocument::State::NotYet;
      answer(std::move(notYet));
      return;
    }
    beforeRequest_.reset();
  }
  view_->page()->runJavaScript(ReadCall(query),
                               [answer = std::move(answer)](const QVariant& result) {
                                 const QVariantList parts = result.toList();
                                 if (parts.size() != 7 || parts[1].typeId() != QMetaType::QString) {
                                   answer({});
                                   return;
                                 }
                                 PageDocument document;
                                 document.state = PageDocument::State::Shown;
                                 document.address = parts[0].toString().toStdString();
                                 document.utf8Text = parts[1].toString().toStdString();
                                 document.title = parts[2].toString().toStdString();
                                 document.nextPageLink = parts[3].toBool();
                                 document.verifyMarkup = parts[4].toBool();
                                 document.resultBlocks = parts[5].toInt();
                                 document.html = parts[6].toString().toStdString();
                                 answer(std::move(document));
                               });
}

void WebPageBrowser::StartAfresh(std::function<void()> done) {
  if (view_) {
    // The page owns its profile, so both go together when the view drops the
    // page (it deletes the page it owns as soon as another one replaces it).
    auto* profile = new QWebEngineProfile();
    auto* page = new QuietPage(profile, view_);
    profile->setParent(page);
    WatchLoads(page);
    view_->setPage(page);
    beforeRequest_.reset();
    failure_.reset();
  }
  done();
}

}  // namespace brivano
