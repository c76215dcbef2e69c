#include "app/pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace brivano {
namespace {

using Painter = std::function<void(QPainter&, const QColor& main, const QColor& accent)>;

QPixmap Draw(int size, const Painter& paint, const QColor& main, const QColor& accent) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 16.0, size / 16.0);
  paint(painter, main, accent);
  return pixmap;
}

// Normal and greyed forms of one picture.
QIcon TwoStateIcon(const Painter& paint, const QColor& main, const QColor& accent) {
  QIcon icon;
  for (int size : {16, 32}) {
    icon.addPixmap(Draw(size, paint, main, accent), QIcon::Normal);
    icon.addPixmap(Draw(size, paint, QColor(150, 150, 150), QColor(200, 200, 200)),
                   QIcon::Disabled);
  }
  return icon;
}

void Magnifier(QPainter& p, const QColor& main, const QColor& accent) {
  p.setPen(QPen(main, 2));
  p.setBrush(accent);
  p.drawEllipse(QRectF(2, 2, 8, 8));
  p.setPen(QPen(main, 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
}

void StopSign(QPainter& p, const QColor& main, const QColor&) {
  p.setPen(Qt::NoPen);
  p.setBrush(main);
  p.drawRoundedRect(QRectF(3, 3, 10, 10), 2, 2);
}

void Disk(QPainter& p, const QColor& main, const QColor& accent) {
  p.setPen(QPen(main.darker(), 1));
  p.setBrush(main);
  p.drawRect(QRectF(2, 2, 12, 12));
  p.setBrush(accent);
  p.drawRect(QRectF(4, 2, 8, 5));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(5, 9, 6, 5));
}

void Clock(QPainter& p, const QColor& main, const QColor& accent) {
  p.setPen(QPen(main, 1.5));
  p.setBrush(accent);
  p.drawEllipse(QRectF(2, 2, 12, 12));
  p.drawLine(QPointF(8, 8), QPointF(8, 4.5));
  p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
}

void NewPage(QPainter& p, const QColor& main, const QColor& accent) {
  p.setPen(QPen(main, 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(3, 2, 9, 12));
  p.setPen(QPen(accent, 2));
  p.drawLine(QPointF(11, 9), QPointF(15, 9));
  p.drawLine(QPointF(13, 7), QPointF(13, 11));
}

void TwoPages(QPainter& p, const QColor& main, const QColor& accent) {
  p.setPen(QPen(main, 1));
  p.setBrush(accent);
  p.drawRect(QRectF(2, 2, 8, 10));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(6, 5, 8, 10));
}

void House(QPainter& p, const QColor& main, const QColor& accent) {
  QPainterPath roof;
  roof.moveTo(1, 8);
  roof.lineTo(8, 1.5);
  roof.lineTo(15, 8);
  roof.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(main);
  p.drawPath(roof);
  p.setBrush(accent);
  p.drawRect(QRectF(3.5, 8, 9, 6.5));
}

void InfoMark(QPainter& p, const QColor& main, const QColor&) {
  p.setPen(Qt::NoPen);
  p.setBrush(main);
  p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(7, 3.5, 2, 2));
  p.drawRect(QRectF(7, 6.5, 2, 6));
}

void Door(QPainter& p, const QColor& main, const QColor& accent) {
  p.setPen(QPen(main, 1));
  p.setBrush(accent);
  p.drawRect(QRectF(2, 2, 7, 12));
  p.setPen(QPen(main, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(8, 8), QPointF(14, 8));
  p.drawLine(QPointF(12, 6), QPointF(14, 8));
  p.drawLine(QPointF(12, 10), QPointF(14, 8));
}

struct ToolPictureRow {
  ToolPicture picture;
  void (*paint)(QPainter&, const QColor&, const QColor&);
  QColor main;
  QColor accent;
};

const ToolPictureRow kToolPictures[] = {
    {ToolPicture::Search, &Magnifier, QColor(30, 60, 160), QColor(200, 230, 255)},
    {ToolPicture::Stop, &StopSign, QColor(210, 30, 30), QColor(255, 200, 200)},
    {ToolPicture::Save, &Disk, QColor(40, 90, 180), QColor(20, 40, 90)},
    {ToolPicture::Progress, &Clock, QColor(20, 110, 40), QColor(210, 250, 210)},
    {ToolPicture::Create, &NewPage, QColor(60, 60, 60), QColor(230, 150, 0)},
    {ToolPicture::Merge, &TwoPages, QColor(60, 60, 60), QColor(255, 230, 140)},
    {ToolPicture::Home, &House, QColor(190, 60, 20), QColor(240, 200, 120)},
    {ToolPicture::About, &InfoMark, QColor(30, 90, 200), QColor(255, 255, 255)},
    {ToolPicture::Exit, &Door, QColor(120, 60, 20), QColor(220, 170, 110)},
};

QIcon LetterIcon(const QColor& colour, const QString& letter) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
  p.setPen(Qt::white);
  QFont font = p.font();
  font.setPixelSize(10);
  font.setBold(true);
  p.setFont(font);
  p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, letter);
  return QIcon(pixmap);
}

}  // namespace

QIcon ToolButtonIcon(ToolPicture picture) {
  for (const ToolPictureRow& row : kToolPictures) {
    if (row.picture == picture) return TwoStateIcon(row.paint, row.main, row.accent);
  }
  return {};
}

QIcon ContactKindIcon(ContactKind kind) {
  struct Row {
    QColor colour;
    const char* letter;
  };
  static const Row rows[] = {{QColor(20, 130, 60), "M"},
                             {QColor(40, 90, 200), "@"},
                             {QColor(20, 150, 200), "Q"},
                             {QColor(150, 80, 20), "F"}};
  const Row& row = rows[static_cast<int>(kind)];
  return LetterIcon(row.colour, QString::fromLatin1(row.letter));
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256}) {
    icon.addPixmap(Draw(
        size,
        [](QPainter& p, const QColor& main, const QColor& accent) {
          p.setPen(Qt::NoPen);
          p.setBrush(main);
          p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
          Magnifier(p, Qt::white, accent);
        },
        QColor(200, 40, 40), QColor(255, 220, 120)));
  }
  return icon;
}

}  // namespace brivano
