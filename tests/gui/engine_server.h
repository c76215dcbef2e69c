// A local HTTP server on 127.0.0.1 that answers the four engines' result-page
// addresses with pages of its own: each engine's pager form, and contacts of
// every kind that name the keyword and the page.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTcpServer>

namespace brivano::testing {

class EngineServer : public QTcpServer {
 public:
  // Pages 1..pagesPerKeyword of every query show a next-page link on all but
  // the last page.
  explicit EngineServer(int pagesPerKeyword = 3);
  QString BaseUrl() const;
  const QStringList& Requests() const { return requests_; }

  // The page for an engine path ("/s", "/tx", "/search"), its query key and
  // page key, and the 1-based page number.
  static QByteArray PageFor(const QString& path, const QString& query, int pageNumber, bool last);

 protected:
  void incomingConnection(qintptr socket) override;

 private:
  int pagesPerKeyword_;
  QStringList requests_;
  QList<QObject*> hanging_;  // sockets kept open without an answer
};

}  // namespace brivano::testing
