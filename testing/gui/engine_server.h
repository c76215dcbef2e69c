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
  // From the nth result-page request (1-based) on, result pages are
  // redirected to a verification page until its "solved" link is visited;
  // that link leads back to the page asked for, as the engines do.
  void WallFrom(int nth) { wallFrom_ = nth; }
  bool WallSolved() const { return solved_; }

  // The page for an engine path ("/s", "/tx", "/search"), its query key and
  // page key, and the 1-based page number.
  static QByteArray PageFor(const QString& path, const QString& query, int pageNumber, bool last);

 protected:
  void incomingConnection(qintptr socket) override;

 private:
  int pagesPerKeyword_;
  int wallFrom_ = 0;
  int resultRequests_ = 0;
  bool solved_ = false;
  QByteArray wallBack_;  // the page the wall stood in front of
  QStringList requests_;
  QList<QObject*> hanging_;  // sockets kept open without an answer
};

}  // namespace brivano::testing
