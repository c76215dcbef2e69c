// A local HTTP server on 127.0.0.1 that answers the four engines' result-page
// addresses with pages of its own: each engine's pager form, and contacts of
// every kind that name the keyword and the page.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <string>
#include <vector>

#include "base/contact_kind.h"

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
  // From the nth result-page request on, the next `times` result-page
  // requests meet the wall; later ones pass, as when an engine lets a
  // visitor on after a while.
  void WallFor(int nth, int times) {
    wallFrom_ = nth;
    wallTimes_ = times;
  }
  bool WallSolved() const { return solved_; }

  // The page for an engine path ("/s", "/tx", "/search"), its query key and
  // page key, and the 1-based page number.
  static QByteArray PageFor(const QString& path, const QString& query, int pageNumber, bool last);

  // Result pages as the engines lay them out: two result blocks in the
  // engine's own markup, each holding one mobile number, and a third number
  // in a side bar outside every block (see BlockPageValue).
  void ServeResultBlocks() { blocks_ = true; }
  // The results' own addresses, two by two through the result pages served
  // (round again after the last); "https://SITE/" when none are given.
  void SetBlockTargets(QStringList targets) {
    blocks_ = true;
    targets_ = std::move(targets);
  }
  static QByteArray BlockPageFor(const QString& path, const QString& query, int pageNumber,
                                 bool last, const QStringList& targets = {});  // by block

 protected:
  void incomingConnection(qintptr socket) override;

 private:
  int pagesPerKeyword_;
  bool blocks_ = false;
  QStringList targets_;
  int wallFrom_ = 0;
  int wallTimes_ = 0;  // 0: until solved
  int walled_ = 0;
  int resultRequests_ = 0;
  bool solved_ = false;
  QByteArray wallBack_;  // the page the wall stood in front of
  QStringList requests_;
  QList<QObject*> hanging_;  // sockets kept open without an answer
};

// The mobile number of block 1 or 2 of a result-block page, or of its side
// bar (0), and the company and site of each block (UTF-8).
std::string BlockPageValue(int page, int block);
std::string BlockCompany(int block);
std::string BlockSite(int block);

// The rendered text of the server's page, line by line (GBK).
std::vector<std::string> ServerPageLines(int page, bool last);
// What a run of `keywords` keywords of `pages` pages each harvests of `kind`
// from the server (GBK).
std::vector<std::string> ExpectedHarvest(ContactKind kind, int keywords, int pages);

}  // namespace brivano::testing
