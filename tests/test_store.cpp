// The harvest store: schema creation and upgrade, faults on open and on
// write, provenance, cross-run de-duplication, round trips of odd values and
// the unfinished run that crash recovery offers.
#include <gtest/gtest.h>

#include <random>

#include "base/text.h"
#include "store/harvest_store.h"
#include "store/store_recorder.h"
#include "testing/cli_runner.h"
#include "testing/file_fakes.h"
#include "testing/store_pages.h"

namespace brivano::testing {
namespace {

HarvestedPage Page(std::int32_t line, std::string_view keywordUtf8, std::string engine,
                   std::int32_t page, std::vector<std::string> values,
                   ContactKind kind = ContactKind::Mobile) {
  std::vector<ContactValue> items;
  for (std::string& value : values) items.push_back({std::move(value), kind, {}});
  return StorePage({.keywordLine = line,
                    .keyword = Utf8ToGbk(keywordUtf8),
                    .engine = std::move(engine),
                    .page = page,
                    .pageUrl = "https://www.example.com/s?wd=" + std::to_string(line) +
                               "&pn=" + std::to_string(page),
                    .timeUtc = "2026-12-0" + std::to_string(1 + line % 9) + "T10:00:00Z"},
                   std::move(items));
}

std::unique_ptr<HarvestStore> OpenStore(const std::filesystem::path& path) {
  StoreOpenResult opened = HarvestStore::Open(path);
  EXPECT_TRUE(opened.store) << opened.error;
  return std::move(opened.store);
}

std::vector<ContactValue> Items(HarvestStore& store, const ItemFilter& filter = {}) {
  return StoreItems(store, filter);
}

std::vector<std::string> Values(const std::vector<ContactValue>& items) {
  std::vector<std::string> values;
  for (const ContactValue& item : items) values.push_back(item.value);
  return values;
}

std::string QueryText(sql::Connection& db, std::string_view query, int column = 0) {
  sql::Statement statement = db.Prepare(query);
  return statement.Step() ? std::string(statement.ColumnBytes(column)) : std::string();
}

ItemFilter Filter(std::optional<ContactKind> kind, std::optional<std::int64_t> run,
                  std::optional<std::string> since) {
  ItemFilter filter;
  filter.kind = kind;
  filter.runId = run;
  filter.sinceUtc = std::move(since);
  return filter;
}

TEST(Store, CreatedOnFirstUseInWalMode) {
  TempDir dir;
  auto store = OpenStore(dir.path() / "brivano.db");
  ASSERT_TRUE(store);
  sql::Connection& db = store->connection();
  EXPECT_EQ(db.QueryInt64("PRAGMA user_version"), kStoreSchemaVersion);
  EXPECT_EQ(QueryText(db, "PRAGMA journal_mode"), "wal");
  EXPECT_EQ(db.QueryInt64("SELECT count(*) FROM sqlite_master WHERE name IN "
                          "('runs', 'pages', 'items', 'contacts')"),
            4);
  // The cross-run check must be a B-tree search, not a scan.
  const std::string plan =
      QueryText(db, "EXPLAIN QUERY PLAN SELECT first_run FROM contacts WHERE value = x'31'", 3);
  EXPECT_NE(plan.find("SEARCH contacts USING PRIMARY KEY"), std::string::npos) << plan;
}

TEST(Store, UpgradesAnOlderSchemaInPlaceKeepingItsItems) {
  TempDir dir;
  const auto path = dir.path() / "brivano.db";
  {
    // A store as the first version wrote it: no first runs, no indexes.
    sql::Connection db(path);
    UpgradeStoreSchema(db, 1);
    db.Execute(
        "INSERT INTO runs(id, started, ended, engine, kind, options) VALUES"
        " (1, '2026-11-01T08:00:00Z', '2026-11-01T09:00:00Z', 'baidu', 0, ''),"
        " (2, '2026-11-02T08:00:00Z', '2026-11-02T09:00:00Z', 'bing', 0, ''),"
        " (3, '2026-11-03T08:00:00Z', NULL, 'bing', 0, '');"
        "INSERT INTO pages(id, run_id, keyword_line, keyword, engine, page, url, seen_at) VALUES"
        " (1, 1, 1, x'', 'baidu', 1, x'', '2026-11-01T08:01:00Z'),"
        " (2, 2, 1, x'', 'bing', 1, x'', '2026-11-02T08:01:00Z'),"
        " (3, 3, 1, x'', 'bing', 1, x'', '2026-11-03T08:01:00Z');"
        "INSERT INTO items(page_id, value, kind) VALUES"
        " (1, CAST('13800000001' AS BLOB), 0), (2, CAST('13800000001' AS BLOB), 0),"
        " (2, CAST('13900000002' AS BLOB), 0), (3, CAST('13700000003' AS BLOB), 0);");
    ASSERT_EQ(db.QueryInt64("PRAGMA user_version"), 1);
  }
  auto store = OpenStore(path);
  ASSERT_TRUE(store);
  EXPECT_EQ(store->connection().QueryInt64("PRAGMA user_version"), kStoreSchemaVersion);
  const std::vector<ContactValue> items = Items(*store);
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[1].source->runId, 2);
  // Values keep the first run that harvested them; the crashed third run's
  // values join when the run is ended.
  const struct {
    std::string_view value;
    std::int64_t run;
    bool before;
  } checks[] = {{"13800000001", 2, true},
                {"13800000001", 1, false},
                {"13900000002", 2, false},
                {"13900000002", 4, true},
                {"13700000003", 4, false}};
  for (const auto& c : checks) {
    EXPECT_EQ(store->HarvestedBefore(c.value, c.run), c.before) << c.value << " " << c.run;
  }
  store->EndRun(3, RunEnding::Interrupted);
  EXPECT_TRUE(store->HarvestedBefore("13700000003", 4));
}

// Every older schema is read as it is, where the reader may not write: a
// look writes no byte and leaves no file behind.
TEST(Store, OlderStoresAreReadWithoutAByteWritten) {
  TempDir dir;
  const bool mountable = MountTinyFileSystem(dir.path() / "ro", 1 << 20);
  for (int version = 1; version <= kStoreSchemaVersion; ++version) {
    const auto folder = dir.path() / (mountable ? "ro" : "rw") / std::to_string(version);
    std::filesystem::create_directories(folder);
    const auto path = folder / "brivano.db";
    {
      sql::Connection db(path);
      UpgradeStoreSchema(db, version);
      db.Execute(
          "INSERT INTO runs(id, started, ended, engine, kind, options) VALUES"
          " (1, '2026-11-01T08:00:00Z', NULL, 'baidu', 0, '');"
          "INSERT INTO pages(id, run_id, keyword_line, keyword, engine, page, url, seen_at) VALUES"
          " (1, 1, 2, x'', 'baidu', 1, x'', '2026-11-01T08:01:00Z');"
          "INSERT INTO items(page_id, value, kind) VALUES (1, CAST('13800000001' AS BLOB), 0);");
    }
    const std::string bytes = ReadFileBytes(path);
    if (mountable && version == kStoreSchemaVersion) {
      ASSERT_TRUE(MakeFolderReadOnly(dir.path() / "ro"));
    }
    {
      SCOPED_TRACE(version);
      StoreOpenResult opened = HarvestStore::Open(path, {.readOnly = true});
      ASSERT_TRUE(opened.store) << opened.error;
      const std::vector<ContactValue> items = Items(*opened.store);
      ASSERT_EQ(items.size(), 1u);
      EXPECT_EQ(items[0].source->keywordLine, 2);
      EXPECT_EQ(opened.store->KeywordsToRunAgain(1).size(), 0u);
    }
    EXPECT_EQ(ReadFileBytes(path), bytes);
    EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"brivano.db"});
  }
  if (mountable) {
    Unmount(dir.path() / "ro");  // the read-only view, then the file system
    Unmount(dir.path() / "ro");
  }
}

// A store of version 6 keeps its rows as results pages; then a page of a
// result's own site comes back with its title and the result it came from.
TEST(Store, SitePagesJoinAVersion6StoreAndComeBackWhole) {
  TempDir dir;
  const auto path = dir.path() / "brivano.db";
  {
    sql::Connection db(path);
    UpgradeStoreSchema(db, 6);
    db.Execute(
        "INSERT INTO runs(id, started, ended, engine, kind, options) VALUES"
        " (1, '2026-11-01T08:00:00Z', '2026-11-01T09:00:00Z', 'baidu', 0, '');"
        "INSERT INTO pages(id, run_id, keyword_line, keyword, engine, page, url, seen_at) VALUES"
        " (1, 1, 4, x'', 'baidu', 2, CAST('https://r.cn/' AS BLOB), '2026-11-01T08:01:00Z');"
        "INSERT INTO items(page_id, value, kind, title, company, site, target) VALUES"
        " (1, CAST('13800000001' AS BLOB), 0, x'41', x'42', x'43', x'44');");
  }
  auto store = OpenStore(path);
  ASSERT_TRUE(store);
  sql::Connection& db = store->connection();
  EXPECT_EQ(db.QueryInt64("PRAGMA user_version"), kStoreSchemaVersion);
  EXPECT_EQ(db.QueryInt64("SELECT count(*) FROM visited_sites"), 0);
  const std::int64_t run = store->BeginRun({"baidu", ContactKind::Mobile, ""});
  HarvestedPage site = Page(4, "钢材", "baidu", 2, {"13900000002"});
  PageSource source = *site.source;
  source.pageUrl = "http://www.jy.cn/lianxi.html";
  source.sitePage = true;
  source.pageTitle = Utf8ToGbk("联系我们 - 甲乙");
  site = StorePage(source, std::move(site.values));
  site.values[0].owner = std::make_shared<const ResultOwner>(ResultOwner{
      Utf8ToGbk("甲乙_官网"), Utf8ToGbk("深圳市甲乙有限公司"), "jy.cn", "http://jy.cn/"});
  store->AddPage(run, site);
  store->AddPage(run, Page(5, "五金", "baidu", 1, {"13700000003"}));
  store->EndRun(run, RunEnding::Finished);
  store.reset();
  store = OpenStore(path);
  ASSERT_TRUE(store);
  const std::vector<ContactValue> items = Items(*store);
  ASSERT_EQ(items.size(), 3u);
  const struct {
    std::string_view value, url;
    bool sitePage;
    std::string title;
    std::string company;
  } expected[] = {
      {"13800000001", "https://r.cn/", false, "", "B"},
      {"13900000002", "http://www.jy.cn/lianxi.html", true, "联系我们 - 甲乙",
       "深圳市甲乙有限公司"},
      {"13700000003", "https://www.example.com/s?wd=5&pn=1", false, "", ""},
  };
  for (std::size_t i = 0; i < items.size(); ++i) {
    const PageSource& from = *items[i].source;
    EXPECT_EQ(items[i].value, expected[i].value);
    EXPECT_EQ(from.pageUrl, expected[i].url) << expected[i].value;
    EXPECT_EQ(from.sitePage, expected[i].sitePage) << expected[i].value;
    EXPECT_EQ(GbkToUtf8(from.pageTitle), expected[i].title) << expected[i].value;
    EXPECT_EQ(items[i].owner ? GbkToUtf8(items[i].owner->company) : "", expected[i].company);
  }
  EXPECT_EQ(items[1].source->keywordLine, 4);
  EXPECT_EQ(items[1].source->page, 2);
  ASSERT_TRUE(items[1].owner);
  EXPECT_EQ(items[1].owner->target, "http://jy.cn/");
  // A results page has no title at all, not an empty one.
  EXPECT_EQ(store->connection().QueryInt64("SELECT count(*) FROM pages WHERE page_title IS NULL"),
            2);
}

// Whether a site counts as visited at kNow, step by step on one store; a
// step with a time first marks the site visited then.
TEST(Store, SitesCountAsVisitedForTheDaysGiven) {
  constexpr const char* kNow = "2026-12-07T12:00:00Z";
  const struct {
    std::string_view domain;
    const char* markedAt;
    int days;
    bool visited;
  } steps[] = {
      {"jy.cn", nullptr, 30, false},                // never visited
      {"jy.cn", "2026-12-06T12:00:00Z", 30, true},  // a day ago
      {"jy.cn", nullptr, 1, false},                 // not less than a day ago
      {"JY.cn", nullptr, 2, true},
      {"jy.cn", nullptr, 0, false},
      {"jy.cn", nullptr, -5, false},
      {"jy.cn.example.com", nullptr, 30, false},
      {"old.cn", "2026-11-06T12:00:00Z", 30, false},  // 31 days ago
      {"old.cn", nullptr, 32, true},
      {"old.cn", "2026-12-07T11:00:00Z", 1, true},  // visited again
  };
  TempDir dir;
  const auto path = dir.path() / "brivano.db";
  auto store = OpenStore(path);
  ASSERT_TRUE(store);
  for (const auto& step : steps) {
    if (step.markedAt != nullptr) store->MarkSiteVisited(step.domain, step.markedAt);
    EXPECT_EQ(store->SiteVisitedWithin(step.domain, step.days, kNow), step.visited)
        << step.domain << " " << step.days;
  }
  EXPECT_EQ(store->connection().QueryInt64("SELECT count(*) FROM visited_sites"), 2);
  store.reset();
  // Reading serves a store opened for reading; marking is refused there.
  StoreOpenResult look = HarvestStore::Open(path, {.readOnly = true});
  ASSERT_TRUE(look.store) << look.error;
  EXPECT_TRUE(look.store->SiteVisitedWithin("old.cn", 1, kNow));
  EXPECT_THROW(look.store->MarkSiteVisited("new.cn", kNow), StoreError);
}

TEST(Store, OpenFailuresGiveOneChineseMessage) {
  TempDir dir;
  const auto damaged = dir.Write("damaged.db", std::string(8192, '\x5A'));
  const auto newer = dir.path() / "newer.db";
  { sql::Connection(newer).Execute("PRAGMA user_version = 99"); }
  const auto locked = dir.path() / "locked.db";
  ASSERT_TRUE(OpenStore(locked));
  sql::Connection holder(locked);
  holder.Execute("PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; DELETE FROM runs;");

  struct Case {
    std::filesystem::path path;
    std::string message;
  } cases[] = {
      {damaged, "已损坏"},
      {newer, "来自更新版本的程序"},
      {locked, "正被另一个程序使用"},
      {dir.path() / "no-such-folder" / "brivano.db", "无法使用数据库"},
  };
  for (const Case& c : cases) {
    StoreOpenResult opened = HarvestStore::Open(c.path, StoreOptions{.busyTimeoutMs = 50});
    EXPECT_FALSE(opened.store) << c.path;
    EXPECT_NE(opened.error.find(c.message), std::string::npos) << opened.error;
    EXPECT_NE(opened.error.find(c.path.string()), std::string::npos) << opened.error;
  }
  // Neither the damaged nor the newer file was touched.
  EXPECT_EQ(ReadFileBytes(damaged), std::string(8192, '\x5A'));
  EXPECT_EQ(sql::Connection(newer).QueryInt64("PRAGMA user_version"), 99);
}

TEST(Store, FaultsThatCannotBeMadeHereStillGetTheirText) {
  // Root ignores file permissions, and a full disk needs its own file system.
  EXPECT_NE(StoreErrorText(SQLITE_READONLY_DBMOVED, "a.db").find("只读"), std::string::npos);
  EXPECT_NE(StoreErrorText(SQLITE_FULL, "a.db").find("磁盘已满"), std::string::npos);
  EXPECT_NE(StoreErrorText(SQLITE_IOERR_WRITE, "a.db").find("无法使用数据库"), std::string::npos);
}

TEST(Store, AFullStoreRefusesThePageWholeAndKeepsWhatItHad) {
  TempDir dir;
  auto store = OpenStore(dir.path() / "brivano.db");
  ASSERT_TRUE(store);
  const std::int64_t run = store->BeginRun({"baidu", ContactKind::Email, ""});
  store->AddPage(run, Page(1, "钢材", "baidu", 1, {"a@b.cn", "c@d.cn"}, ContactKind::Email));
  sql::Connection& db = store->connection();
  db.Execute("PRAGMA max_page_count = " + std::to_string(db.QueryInt64("PRAGMA page_count")));
  std::vector<std::string> big;
  for (int i = 0; i < 30; ++i) big.push_back(std::string(4096, static_cast<char>('a' + i % 26)));
  try {
    store->AddPage(run, Page(1, "钢材", "baidu", 2, big, ContactKind::Email));
    FAIL() << "a full store took the page";
  } catch (const StoreError& error) {
    EXPECT_EQ(error.sqliteCode() & 0xFF, SQLITE_FULL);
    EXPECT_NE(std::string(error.what()).find("磁盘已满"), std::string::npos);
  }
  EXPECT_EQ(Values(Items(*store)), (std::vector<std::string>{"a@b.cn", "c@d.cn"}));
  EXPECT_EQ(db.QueryInt64("SELECT page FROM runs"), 1);  // the resume point stayed too
  db.Execute("PRAGMA max_page_count = 1073741823");
  store->AddPage(run, Page(1, "钢材", "baidu", 2, {"e@f.cn"}, ContactKind::Email));
  EXPECT_EQ(store->ItemCount(), 3);
}

TEST(Store, AFullDiskIsCalledOne) {
  TempDir dir;
  const std::filesystem::path tiny = dir.path() / "tiny";
  if (!MountTinyFileSystem(tiny, 256 * 1024)) GTEST_SKIP() << "cannot mount a file system here";
  std::string message;
  {
    auto store = OpenStore(tiny / "brivano.db");
    ASSERT_TRUE(store);
    const std::int64_t run = store->BeginRun({"baidu", ContactKind::Email, ""});
    std::vector<std::string> big;
    for (int i = 0; i < 8; ++i) big.push_back(std::string(4000, static_cast<char>('a' + i)));
    try {
      for (int page = 1; page < 200; ++page) {
        for (std::string& value : big) value[0] = static_cast<char>('a' + page % 26);
        store->AddPage(run, Page(1, "钢材", "baidu", page, big, ContactKind::Email));
      }
    } catch (const StoreError& error) {
      message = error.what();
    }
  }
  Unmount(tiny);
  EXPECT_NE(message.find("磁盘已满"), std::string::npos) << message;
}

TEST(Store, KeepsTheProvenanceOfEveryValueOfASimulatedRun) {
  TempDir dir;
  auto store = OpenStore(dir.path() / "brivano.db");
  ASSERT_TRUE(store);
  const std::int64_t first = store->BeginRun({"baidu", ContactKind::Mobile, "去重=1"});
  store->AddPage(first, Page(1, "深圳 钢材", "baidu", 1, {"13800000001", "13800000002"}));
  store->AddPage(first, Page(1, "深圳 钢材", "baidu", 2, {"13800000003"}));
  store->AddPage(first, Page(2, "广州 五金", "baidu", 1, {}));
  store->AddPage(first, Page(3, "东莞 模具", "baidu", 1, {"13800000004"}));
  store->EndRun(first, RunEnding::Finished);
  const std::int64_t second = store->BeginRun({"bing", ContactKind::QQ, ""});
  store->AddPage(second, Page(5, "上海 化工", "bing", 3, {"12345678"}, ContactKind::QQ));

  const std::vector<ContactValue> items = Items(*store);
  struct Expected {
    std::string value;
    std::int32_t line;
    std::string keyword;
    std::string engine;
    std::int32_t page;
    std::int64_t run;
    ContactKind kind;
  } expected[] = {
      {"13800000001", 1, "深圳 钢材", "baidu", 1, first, ContactKind::Mobile},
      {"13800000002", 1, "深圳 钢材", "baidu", 1, first, ContactKind::Mobile},
      {"13800000003", 1, "深圳 钢材", "baidu", 2, first, ContactKind::Mobile},
      {"13800000004", 3, "东莞 模具", "baidu", 1, first, ContactKind::Mobile},
      {"12345678", 5, "上海 化工", "bing", 3, second, ContactKind::QQ},
  };
  ASSERT_EQ(items.size(), std::size(expected));
  for (std::size_t i = 0; i < items.size(); ++i) {
    const Expected& e = expected[i];
    EXPECT_EQ(items[i].value, e.value);
    const PageSource& source = *items[i].source;
    EXPECT_EQ(source.keywordLine, e.line) << e.value;
    EXPECT_EQ(GbkToUtf8(source.keyword), e.keyword) << e.value;
    EXPECT_EQ(source.engine, e.engine) << e.value;
    EXPECT_EQ(source.page, e.page) << e.value;
    EXPECT_EQ(source.runId, e.run) << e.value;
    EXPECT_EQ(items[i].kind, e.kind) << e.value;
    EXPECT_EQ(source.pageUrl, Page(e.line, "", "", e.page, {}).source->pageUrl) << e.value;
    EXPECT_EQ(source.timeUtc, Page(e.line, "", "", e.page, {}).source->timeUtc) << e.value;
  }

  struct Query {
    ItemFilter filter;
    std::vector<std::string> values;
  } queries[] = {
      {Filter(ContactKind::QQ, {}, {}), {"12345678"}},
      {Filter({}, first, {}), {"13800000001", "13800000002", "13800000003", "13800000004"}},
      {Filter({}, {}, "2026-12-04"), {"13800000004", "12345678"}},
      {Filter(ContactKind::Mobile, {}, "2026-12-04T10:00:00Z"), {"13800000004"}},
      {Filter({}, second + 1, {}), {}},
  };
  for (const Query& q : queries) EXPECT_EQ(Values(Items(*store, q.filter)), q.values);
}

TEST(Store, KnowsValuesOfEarlierRuns) {
  TempDir dir;
  const auto path = dir.path() / "brivano.db";
  std::int64_t first = 0;
  {
    auto store = OpenStore(path);
    ASSERT_TRUE(store);
    first = store->BeginRun({"baidu", ContactKind::Mobile, ""});
    store->AddPage(first, Page(1, "a", "baidu", 1, {"13800000001", "13800000002"}));
    EXPECT_FALSE(store->HarvestedBefore("13800000001", first));  // its own run
    store->EndRun(first, RunEnding::Finished);
  }
  auto store = OpenStore(path);  // a later start of the program
  ASSERT_TRUE(store);
  const std::int64_t second = store->BeginRun({"baidu", ContactKind::Mobile, ""});
  EXPECT_TRUE(store->HarvestedBefore("13800000001", second));
  EXPECT_FALSE(store->HarvestedBefore("13800000003", second));
  EXPECT_FALSE(store->HarvestedBefore("1380000000", second));  // a prefix is another value
  store->AddPage(second, Page(1, "a", "baidu", 1, {"13800000003", "13800000001"}));
  EXPECT_FALSE(store->HarvestedBefore("13800000003", second));
  store->EndRun(second, RunEnding::Finished);
  const std::int64_t third = store->BeginRun({"baidu", ContactKind::Mobile, ""});
  EXPECT_TRUE(store->HarvestedBefore("13800000003", third));
}

TEST(Store, OddValuesComeBackByteForByte) {
  std::vector<std::string> values;
  std::string everyGbkCharacter;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F || trail == 0xFF) continue;
      everyGbkCharacter.push_back(static_cast<char>(lead));
      everyGbkCharacter.push_back(static_cast<char>(trail));
    }
  }
  for (std::size_t at = 0; at < everyGbkCharacter.size(); at += 4096) {
    values.push_back(everyGbkCharacter.substr(at, 4096));
  }
  std::mt19937 random(13);
  for (int i = 0; i < 20; ++i) {
    std::string junk(1 + random() % 4096, '\0');
    for (char& c : junk) c = static_cast<char>(1 + random() % 255);
    values.push_back(junk);
  }
  values.push_back(std::string(4096, '9'));
  values.push_back("a'b\"c;DROP TABLE items;--");

  TempDir dir;
  const auto path = dir.path() / "brivano.db";
  {
    auto store = OpenStore(path);
    ASSERT_TRUE(store);
    const std::int64_t run = store->BeginRun({"baidu", ContactKind::Email, ""});
    store->AddPage(run, Page(1, "关键词", "baidu", 1, values, ContactKind::Email));
    store->EndRun(run, RunEnding::Finished);
  }
  auto store = OpenStore(path);
  ASSERT_TRUE(store);
  EXPECT_EQ(Values(Items(*store)), values);
  EXPECT_TRUE(store->HarvestedBefore(values[0], 99));
}

TEST(Store, OffersTheRunACrashCutShort) {
  TempDir dir;
  const auto path = dir.path() / "brivano.db";
  {
    auto store = OpenStore(path);
    ASSERT_TRUE(store);
    EXPECT_FALSE(store->FindUnfinishedRun());
    const std::int64_t ended = store->BeginRun({"baidu", ContactKind::Mobile, ""});
    store->AddPage(ended, Page(1, "a", "baidu", 1, {"13800000009"}));
    store->EndRun(ended, RunEnding::Stopped);
    EXPECT_FALSE(store->FindUnfinishedRun());
    const std::int64_t cut = store->BeginRun({"sogou", ContactKind::Mobile, "去重=1"});
    store->AddPage(cut, Page(1, "深圳 钢材", "sogou", 1, {"13800000001"}));
    store->AddPage(cut, Page(2, "广州 五金", "sogou", 1, {"13800000002", "13800000003"}));
    store->AddPage(cut, Page(3, "东莞 模具", "sogou", 1, {}));  // a page without values
    // A site of keyword 1 read after keyword 3's page, and keyword 3's next
    // page given up: neither moves where the run goes on, nor does the site
    // make keyword 3 done.
    HarvestedPage late = Page(1, "深圳 钢材", "sogou", 1, {"13800000004"});
    PageSource site = *late.source;
    site.sitePage = true;
    store->AddPage(cut, StorePage(site, std::move(late.values)));
    HarvestedPage failed = Page(3, "东莞 模具", "sogou", 2, {});
    failed.outcome = PageOutcome::Failed;
    store->AddPage(cut, failed);
    late = Page(3, "东莞 模具", "sogou", 1, {});
    site = *late.source;
    site.sitePage = true;
    store->AddPage(cut, StorePage(site, {}));
    ASSERT_EQ(store->KeywordsToRunAgain(cut).size(), 1u);
    EXPECT_EQ(store->KeywordsToRunAgain(cut)[0].keywordLine, 3);
  }
  auto store = OpenStore(path);
  ASSERT_TRUE(store);
  const std::optional<UnfinishedRun> run = store->FindUnfinishedRun();
  ASSERT_TRUE(run);
  EXPECT_EQ(run->info.engine, "sogou");
  EXPECT_EQ(run->info.options, "去重=1");
  EXPECT_EQ(run->keywordLine, 3);
  EXPECT_EQ(GbkToUtf8(run->keyword), "东莞 模具");
  EXPECT_EQ(run->page, 2);
  EXPECT_EQ(Values(run->items),
            (std::vector<std::string>{"13800000001", "13800000002", "13800000003", "13800000004"}));
  store->EndRun(run->runId, RunEnding::Interrupted);
  EXPECT_FALSE(store->FindUnfinishedRun());
}

}  // namespace
}  // namespace brivano::testing

namespace brivano::testing {
namespace {

// Two stores on one file stand for two processes: a run's lock, held by one,
// conflicts with the other's look even inside one process.
TEST(StoreRuns, LiveRunsAreLeftAloneAndEveryCrashedRunIsEnded) {
  TempDir dir;
  const auto path = dir.path() / "brivano.db";
  // Runs 1-5 crash (their store goes without ending them), each with a value;
  // runs 1 and 3 are brivano-run's, of two keyword files.
  const RunOrigin origins[] = {{"brivano-run", "fileA"}, {}, {"brivano-run", "fileB"}, {}, {}};
  for (int run = 1; run <= 5; ++run) {
    auto crashed = OpenStore(path);
    const std::int64_t id = crashed->BeginRun({"baidu", ContactKind::Mobile, ""}, origins[run - 1]);
    crashed->AddPage(id, Page(run, "钢材", "baidu", 1, {"1380000000" + std::to_string(run)}));
  }
  auto live = OpenStore(path);
  const std::int64_t liveRun = live->BeginRun({"bing", ContactKind::Mobile, ""});
  live->AddPage(liveRun, Page(7, "钢材", "bing", 1, {"13900000007"}));

  StoreRecorder window(path, nullptr);
  const std::optional<UnfinishedRun> offered = window.TakeUnfinishedRun();
  ASSERT_TRUE(offered);
  EXPECT_EQ(offered->runId, 5);  // the newest of the window's own
  EXPECT_EQ(offered->items.size(), 1u);
  EXPECT_FALSE(window.TakeUnfinishedRun());  // every crashed run was ended at once
  auto look = OpenStore(path);
  EXPECT_EQ(look->connection().QueryInt64(
                "SELECT count(*) FROM runs WHERE ending = 'interrupted' AND folded = 1"),
            5);
  EXPECT_TRUE(look->HarvestedBefore("13800000001", liveRun));
  // The live run is neither offered nor ended, and ends as its own process says.
  EXPECT_EQ(look->connection().QueryInt64("SELECT count(*) FROM runs WHERE ended IS NULL"), 1);
  live->EndRun(liveRun, RunEnding::Finished);
  EXPECT_EQ(look->connection().QueryInt64("SELECT ending = 'finished' FROM runs WHERE id = 6"), 1);
  // A brivano-run crash comes back to brivano-run of the same keyword file only.
  {
    auto crashed = OpenStore(path);
    crashed->BeginRun({"baidu", ContactKind::Mobile, ""}, {"brivano-run", "fileA"});
  }
  EXPECT_EQ(StoreRecorder(path, nullptr, "brivano-run", "fileB").TakeUnfinishedRun()->runId, 3);
  StoreRecorder fileA(path, nullptr, "brivano-run", "fileA");
  EXPECT_EQ(fileA.TakeUnfinishedRun()->runId, 7);  // ended by the look for fileB, offered here
  EXPECT_FALSE(fileA.TakeUnfinishedRun());         // and only once; run 1 with it
  EXPECT_FALSE(StoreRecorder(path, nullptr).TakeUnfinishedRun());
}

}  // namespace
}  // namespace brivano::testing
