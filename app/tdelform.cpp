#include "app/tdelform.h"

#include <QGuiApplication>
#include <QScreen>
#include <QToolButton>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "app/pictures.h"

namespace brivano {

void WebEngineDataStore::ClearHistory() {
  view_->history()->clear();
}
void WebEngineDataStore::ClearHttpCache() {
  view_->page()->profile()->clearHttpCache();
}
void WebEngineDataStore::ClearVisitedLinks() {
  view_->page()->profile()->clearAllVisitedLinks();
}

Tdelform::Tdelform(BrowserDataStore& store, QWidget* parent)
    : QWidget(parent, Qt::Window), store_(store) {
  setWindowTitle(QStringLiteral("清空IE历史数据"));
  setWindowIcon(ToolButtonIcon(ToolPicture::Stop));
  setFixedSize(202, 111);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  speedButton4_ = new QToolButton(this);
  speedButton4_->setText(QStringLiteral("清理"));
  speedButton4_->setIcon(ToolButtonIcon(ToolPicture::Stop));
  speedButton4_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  speedButton4_->setAutoRaise(true);
  speedButton4_->setGeometry(58, 20, 70, 37);
  connect(speedButton4_, &QToolButton::clicked, this, &Tdelform::N3Click);
}

void Tdelform::N3Click() {
  try {
    store_.ClearHistory();
    store_.ClearHttpCache();
    store_.ClearVisitedLinks();
  } catch (...) {
    // Cleaning is a courtesy to the engine: a failure must never stop a run.
  }
}

}  // namespace brivano
