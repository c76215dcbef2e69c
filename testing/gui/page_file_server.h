// A local HTTP server on 127.0.0.1 that answers requests for one path with a
// page of bytes, as they are, and a status of the test's choosing (saved
// real result pages served at an engine's results address, or an error
// page), and every other path (the page's scripts and pictures) with 404.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTcpServer>
#include <QWebEngineUrlRequestInterceptor>

namespace brivano::testing {

class PageFileServer : public QTcpServer {
 public:
  PageFileServer();
  QString BaseUrl() const;
  // `target`: the path and query, "/s?wd=a".
  void Serve(QByteArray target, QByteArray body, int status = 200) {
    target_ = std::move(target);
    body_ = std::move(body);
    status_ = status;
  }
  int Requests() const { return requests_; }

 protected:
  void incomingConnection(qintptr descriptor) override;

 private:
  QByteArray target_;
  QByteArray body_;
  int status_ = 200;
  int requests_ = 0;
};

// Blocks every request that leaves the machine: saved pages name the
// engines' images and scripts, which a test must neither fetch nor wait for.
class LocalOnlyInterceptor : public QWebEngineUrlRequestInterceptor {
 public:
  using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
  void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};

}  // namespace brivano::testing
