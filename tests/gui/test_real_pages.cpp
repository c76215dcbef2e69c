// Saved real pages of the four engines, served at each engine's results
// address and read in the real browser as a run reads page 1 of a keyword:
// the next-page decision agrees with the capture's record, every
// verification page is one, and no results page is.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

#include "app/web_page_browser.h"
#include "base/text.h"
#include "files/whole_file.h"
#include "search/result_blocks.h"
#include "search/search_run.h"
#include "search/verification.h"
#include "testing/gui/page_file_server.h"
#include "testing/gui/qt_application.h"

namespace brivano::testing {
namespace {

std::filesystem::path CorpusFolder() {
  const QByteArray chosen = qgetenv("BRIVANO_ENGINE_CORPUS");
  return chosen.isEmpty() ? std::filesystem::path(BRIVANO_ENGINE_CORPUS)
                          : std::filesystem::path(chosen.toStdString());
}

// One line of SOURCES.tsv: engine, file, ..., has_next_page in the seventh
// column. Verification pages are the files named wall-*.
struct Capture {
  std::string engine;
  std::string file;
  bool hasNext = false;
  bool wall = false;
};

std::vector<Capture> ReadSources(const std::filesystem::path& folder) {
  std::vector<Capture> captures;
  std::ifstream sources(folder / "SOURCES.tsv");
  std::string line;
  std::getline(sources, line);  // the header
  while (std::getline(sources, line)) {
    std::vector<std::string> columns;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, '\t');) columns.push_back(cell);
    if (columns.size() < 7) continue;
    const std::string name = std::filesystem::path(columns[1]).filename().string();
    captures.push_back({columns[0], columns[1], columns[6] == "yes", name.starts_with("wall-")});
  }
  return captures;
}

struct Verdict {
  bool next = false;
  bool wall = false;
};

Verdict Judge(const EngineRow& row, const PageDocument& document) {
  const std::string gbk = Utf8ToGbk(document.utf8Text);
  std::vector<std::string_view> lines;
  ForEachTextLine(gbk, SearchRun::kPageLineBytes,
                  [&](std::string_view line) { lines.push_back(line); });
  const bool next = ShowsNextPage(row, document, lines);
  return {next, IsVerificationPage(row, document, lines, next)};
}

class RealPages : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureQtApplication(); }

  // Loads `body` as page 1 of a keyword of `row` and reads it as the run does.
  std::optional<PageDocument> Read(const EngineRow& row, const QByteArray& body) {
    const std::string target = row.pathAndQueryKey + "q" + row.pageKey + "0";
    server.Serve(QByteArray::fromStdString(target), body);
    QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
    browser.Navigate(row.schemeAndHost + target);
    if (!WaitUntil([&] { return !loaded.isEmpty(); }, 30000)) return std::nullopt;
    std::optional<PageDocument> read;
    DocumentQuery query = DocumentQueryFor(row);
    query.markup = true;
    browser.ReadDocument(query, [&](PageDocument d) { read = std::move(d); });
    if (!WaitUntil([&] { return read.has_value(); }, 30000)) return std::nullopt;
    return read;
  }

  PageFileServer server;
  QWebEngineProfile profile;
  LocalOnlyInterceptor interceptor;
  QWebEngineView view;
  std::unique_ptr<WebPageBrowser> browserOwner = [this] {
    profile.setUrlRequestInterceptor(&interceptor);
    view.setPage(new QWebEnginePage(&profile, &view));
    return std::make_unique<WebPageBrowser>(&view);
  }();
  WebPageBrowser& browser = *browserOwner;
};

TEST_F(RealPages, NextPageAndWallsAsTheCapturesShow) {
  const std::filesystem::path folder = CorpusFolder();
  if (!std::filesystem::exists(folder / "SOURCES.tsv")) {
    GTEST_SKIP() << "no saved engine pages at " << folder;
  }
  const EngineTable engines = EngineTableAt(server.BaseUrl().toStdString());
  const std::map<std::string, Engine> byName = {{"baidu", Engine::Baidu},
                                                {"sogou", Engine::Sogou},
                                                {"360", Engine::So360},
                                                {"bing", Engine::Bing}};
  struct Tally {
    int pages = 0, agreeNow = 0, agreeByTextAlone = 0;
  };
  std::map<std::string, Tally> tallies;
  for (const Capture& capture : ReadSources(folder)) {
    SCOPED_TRACE(capture.file);
    const auto engine = byName.find(capture.engine);
    ASSERT_NE(engine, byName.end()) << capture.engine;
    const EngineRow& row = engines[static_cast<int>(engine->second)];
    const WholeFile file = ReadWholeFile(folder / capture.file);
    ASSERT_TRUE(file.ok());
    const std::optional<PageDocument> document = Read(row, QByteArray::fromStdString(file.bytes));
    ASSERT_TRUE(document && document->state == PageDocument::State::Shown);

    // The run reads the result blocks from the markup the browser holds; it
    // finds the same blocks, titles and sites as a reading of the saved file.
    const auto summary = [](const std::vector<ResultBlock>& blocks) {
      std::vector<std::string> lines;
      for (const ResultBlock& block : blocks) lines.push_back(block.title + " | " + block.site);
      return lines;
    };
    EXPECT_EQ(summary(ReadResultBlocks(document->html, row)),
              summary(ReadResultBlocks(SavedPageAsUtf8(file.bytes), row)));

    const Verdict now = Judge(row, *document);
    EXPECT_EQ(now.wall, capture.wall);
    if (!capture.wall) {
      EXPECT_EQ(now.next, capture.hasNext);
    }
    // The same page as the rules of the text alone saw it.
    PageDocument textOnly;
    textOnly.address = document->address;
    textOnly.utf8Text = document->utf8Text;
    const Verdict before = Judge(row, textOnly);
    const auto agrees = [&](const Verdict& v) {
      return v.wall == capture.wall && (capture.wall || v.next == capture.hasNext);
    };
    Tally& tally = tallies[capture.engine];
    ++tally.pages;
    tally.agreeNow += agrees(now);
    tally.agreeByTextAlone += agrees(before);
  }
  for (const auto& [engine, tally] : tallies) {
    std::cout << engine << ": " << tally.agreeNow << "/" << tally.pages << " agree (text alone "
              << tally.agreeByTextAlone << "/" << tally.pages << ")\n";
  }
}

// What a run must count as a failure, never as a page without results, and
// that a page loading after it reads as a page again.
TEST_F(RealPages, ErrorPagesAndUnreachableEnginesAreFailures) {
  const EngineTable engines = EngineTableAt(server.BaseUrl().toStdString());
  const EngineRow& row = engines[0];
  const std::string target = row.pathAndQueryKey + "q" + row.pageKey + "0";
  struct Case {
    const char* address;  // empty: the local server's
    int status;
    const char* failure;  // a part of it; empty: the page reads as a page
  } cases[] = {
      {"", 503, "HTTP 503"}, {"", 404, "HTTP 404"},
      {"", 200, ""},         {"http://127.0.0.1:1/s?wd=q", 200, "ERR_"},  // nothing listens there
      {"", 200, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    server.Serve(QByteArray::fromStdString(target),
                 "<html><meta charset=utf-8><body>服务器的页面</body></html>", c.status);
    QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
    browser.Navigate(*c.address ? std::string(c.address) : row.schemeAndHost + target);
    ASSERT_TRUE(WaitUntil([&] { return !loaded.isEmpty(); }, 30000));
    std::optional<PageDocument> read;
    browser.ReadDocument(DocumentQueryFor(row), [&](PageDocument d) { read = std::move(d); });
    ASSERT_TRUE(WaitUntil([&] { return read.has_value(); }, 30000));
    if (*c.failure) {
      EXPECT_EQ(read->state, PageDocument::State::Failed);
      EXPECT_NE(read->failure.find(c.failure), std::string::npos) << read->failure;
    } else {
      EXPECT_EQ(read->state, PageDocument::State::Shown);
      EXPECT_EQ(read->utf8Text, "服务器的页面");
    }
  }
}

}  // namespace
}  // namespace brivano::testing
