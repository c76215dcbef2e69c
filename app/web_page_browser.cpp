#include "app/web_page_browser.h"

#include <QUrl>
#include <QVariant>
#include <QWebEnginePage>

namespace brivano {

void WebPageBrowser::Navigate(const std::string& address) {
  if (!view_) return;
  view_->setUrl(QUrl(QString::fromStdString(address)));
}

void WebPageBrowser::ReadBodyText(BodyTextCallback answer) {
  if (!view_) {
    answer(std::nullopt);
    return;
  }
  // The rendered text of the body: blocks, cells and line breaks become line
  // breaks, link captions stay as shown. No body yet reads as no document.
  view_->page()->runJavaScript(
      QStringLiteral("document.body ? document.body.innerText : null"),
      [answer = std::move(answer)](const QVariant& result) {
        if (!result.isValid() || result.isNull() || result.typeId() != QMetaType::QString) {
          answer(std::nullopt);
          return;
        }
        answer(result.toString().toStdString());
      });
}

}  // namespace brivano
