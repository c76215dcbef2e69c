#include "app/browser_cache_cleaner.h"

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

BrowserCacheCleaner::BrowserCacheCleaner(BrowserDataStore& store, QWidget* parent)
    : QWidget(parent, Qt::Window), store_(store) {
  setWindowTitle(QStringLiteral("清空IE历史数据"));
  setWindowIcon(ToolButtonIcon(ToolPicture::Stop));
  setFixedSize(202, 111);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  cleanButton_ = new QToolButton(this);
  cleanButton_->setText(QStringLiteral("清理"));
  cleanButton_->setIcon(ToolButtonIcon(ToolPicture::Stop));
  cleanButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  cleanButton_->setAutoRaise(true);
  cleanButton_->setGeometry(58, 20, 70, 37);
  connect(cleanButton_, &QToolButton::clicked, this, &BrowserCacheCleaner::Clean);
}

void BrowserCacheCleaner::Clean() {
  try {
    store_.ClearHistory();
    store_.ClearHttpCache();
    store_.ClearVisitedLinks();
  } catch (...) {
    // Cleaning is a courtesy to the engine: a failure must never stop a run.
  }
}

}  // namespace brivano
