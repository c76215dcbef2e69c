// The main window. For now it holds the browser pane, in which runs load
// their result pages.
#pragma once

#include <QMainWindow>
#include <QWebEngineView>

namespace brivano {

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
  QWebEngineView* WebBrowser1() const { return webBrowser1_; }

 private:
  QWebEngineView* webBrowser1_;
};

}  // namespace brivano
