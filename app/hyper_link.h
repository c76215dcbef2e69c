// HyperLink: a caption drawn like a web link. Blue at rest, red under the
// mouse pointer, fuchsia at rest once it has been clicked; a press of the left
// button asks the desktop to open its address. It sizes itself to its caption
// each time it is painted.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>
#include <functional>

namespace brivano {

// Opens an address through the desktop; the result is not looked at.
using UrlOpener = std::function<void(const QString&)>;

class HyperLink : public QWidget {
  Q_OBJECT

 public:
  // Opens through QDesktopServices when `opener` is empty.
  explicit HyperLink(QWidget* parent = nullptr, UrlOpener opener = {});

  const QString& URL() const { return url_; }
  void SetURL(const QString& url);
  QString FontName() const { return font_.family(); }
  void SetFontName(const QString& name);
  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  const QColor& Color() const { return color_; }
  void SetColor(const QColor& color);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show) { showHint_ = show; }

  // The caption's colour at rest: blue, or fuchsia once clicked.
  const QColor& LinkColor() const { return linkColor_; }
  // The colour the caption is drawn in now.
  const QColor& FontColor() const { return fontColor_; }
  // The drawing font: FontName's face, bold and underlined.
  const QFont& DrawingFont() const { return font_; }

 protected:
  bool event(QEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  UrlOpener opener_;
  QString url_;
  QString caption_;
  QColor color_;
  QColor linkColor_;
  QColor fontColor_;
  QFont font_;
  bool showHint_ = false;
};

}  // namespace brivano
