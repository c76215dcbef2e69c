#include "app/hyper_link.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QUrl>

namespace brivano {
namespace {

const QString kDefaultUrl = QStringLiteral("https://brivano.example/");
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kFuchsia(255, 0, 255);

}  // namespace

HyperLink::HyperLink(QWidget* parent, UrlOpener opener)
    : QWidget(parent), opener_(std::move(opener)) {
  url_ = kDefaultUrl;
  caption_ = url_;
  resize(100, 10);
  font_ = font();
  font_.setBold(true);
  font_.setUnderline(true);
  linkColor_ = kBlue;
  fontColor_ = kBlue;
  color_ = palette().color(QPalette::Button);
  setCursor(Qt::PointingHandCursor);
  repaint();
}

void HyperLink::SetURL(const QString& url) {
  if (url == url_) return;
  url_ = url;
}

void HyperLink::SetFontName(const QString& name) {
  if (name == font_.family()) return;
  font_.setFamily(name);
  repaint();
}

void HyperLink::SetCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  repaint();
}

void HyperLink::SetColor(const QColor& color) {
  if (color == color_) return;
  color_ = color;
  repaint();
}

bool HyperLink::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip && !showHint_) {
    event->ignore();
    return true;
  }
  return QWidget::event(event);
}

void HyperLink::enterEvent(QEnterEvent* event) {
  fontColor_ = kRed;
  repaint();
  QWidget::enterEvent(event);
}

void HyperLink::leaveEvent(QEvent* event) {
  fontColor_ = linkColor_;
  repaint();
  QWidget::leaveEvent(event);
}

// The address opens on the press itself, so releasing the button somewhere
// else does not take the click back. The caption stays red while the pointer
// is over it; fuchsia shows once the pointer leaves.
void HyperLink::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    if (opener_) {
      opener_(url_);
    } else {
      QDesktopServices::openUrl(QUrl(url_));  // a failure shows nothing
    }
    linkColor_ = kFuchsia;
  }
  QWidget::mousePressEvent(event);
}

// The size kept with the window only holds until this first runs: from then
// on the caption decides it.
void HyperLink::paintEvent(QPaintEvent* event) {
  const QFontMetrics metrics(font_);
  resize(metrics.horizontalAdvance(caption_) + 6, metrics.height() + 2);
  QPainter painter(this);
  painter.fillRect(event->rect(), color_);
  painter.setFont(font_);
  painter.setPen(fontColor_);
  painter.drawText(3, 1 + metrics.ascent(), caption_);
}

}  // namespace brivano
