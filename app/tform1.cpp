#include "app/tform1.h"

#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace brivano {
namespace {

constexpr int kInitialWidth = 938;
constexpr int kInitialHeight = 659;

QString WindowTitle() {
  return QStringLiteral("『Brivano』 V1.0") + QString(53, QLatin1Char(' ')) +
         QStringLiteral("support@brivano.example");
}

// A double bevelled frame around the browser, as the window's other regions
// have.
QFrame* BevelledFrame(QWidget* parent) {
  auto* frame = new QFrame(parent);
  frame->setFrameShape(QFrame::Panel);
  frame->setFrameShadow(QFrame::Sunken);
  frame->setLineWidth(2);
  return frame;
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(WindowTitle());
  auto* panel10 = BevelledFrame(this);
  auto* panel11 = BevelledFrame(panel10);
  auto* outer = new QVBoxLayout(panel10);
  outer->setContentsMargins(2, 2, 2, 2);
  outer->addWidget(panel11);
  auto* inner = new QVBoxLayout(panel11);
  inner->setContentsMargins(2, 2, 2, 2);
  webBrowser1_ = new QWebEngineView(panel11);
  inner->addWidget(webBrowser1_);
  setCentralWidget(panel10);

  resize(kInitialWidth, kInitialHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }
}

}  // namespace brivano
