#include "store/harvest_store.h"

#include "base/local_time.h"
#include "base/percent_encoding.h"
#include "base/text_search.h"
#include "store/older_schema.h"

#include <condition_variable>
#include <ctime>
#include <limits>
#include <mutex>
#include <thread>
#include <utility>

namespace brivano {
namespace {

// Each step upgrades the schema from the version before it; step i leads to
// version i + 1. A new file (version 0) runs them all. Values, keywords and
// page addresses are BLOBs: they are GBK bytes, and SQLite treats TEXT as
// UTF-8 (length(), LIKE, the command-line shell and any UTF-16 access would
// misread them). Blobs compare with memcmp, which is the buyer list's
// byte-for-byte equality.
constexpr std::string_view kUpgradeSteps[] = {
    // 1: runs, the pages each run committed, and the items of each page. A
    // page's provenance is written once, not with each of its values.
    R"(CREATE TABLE runs(
         id INTEGER PRIMARY KEY,
         started TEXT NOT NULL,
         ended TEXT,
         engine TEXT NOT NULL,
         kind INTEGER NOT NULL,
         options TEXT NOT NULL,
         ending TEXT,
         keyword_line INTEGER NOT NULL DEFAULT 0,
         keyword BLOB NOT NULL DEFAULT x'',
         page INTEGER NOT NULL DEFAULT 0);
       CREATE TABLE pages(
         id INTEGER PRIMARY KEY,
         run_id INTEGER NOT NULL REFERENCES runs(id),
         keyword_line INTEGER NOT NULL,
         keyword BLOB NOT NULL,
         engine TEXT NOT NULL,
         page INTEGER NOT NULL,
         url BLOB NOT NULL,
         seen_at TEXT NOT NULL);
       CREATE TABLE items(
         id INTEGER PRIMARY KEY,
         page_id INTEGER NOT NULL REFERENCES pages(id),
         value BLOB NOT NULL,
         kind INTEGER NOT NULL);)",
    // 2: the first run of every value, and the indexes that make the
    // cross-run check one B-tree lookup (the value index covers first_run)
    // and an export by run a range scan.
    R"(ALTER TABLE items ADD COLUMN first_run INTEGER NOT NULL DEFAULT 0;
       CREATE INDEX items_by_value ON items(value, first_run);
       CREATE INDEX items_by_page ON items(page_id);
       CREATE INDEX pages_by_run ON pages(run_id);
       UPDATE items SET first_run =
         (SELECT MIN(p.run_id) FROM items AS i JOIN pages AS p ON p.id = i.page_id
          WHERE i.value = items.value);)",
    // 3: every value of the runs that have ended, once, with the first of
    // them that harvested it. A page step no longer touches a value index:
    // inserting values at random places of a large B-tree was most of what
    // storing a page cost. A run's values join the table in one sorted pass
    // when it ends; a run in progress only needs the runs before it there.
    // items.first_run stays in older stores but is no longer kept.
    R"(CREATE TABLE contacts(
         value BLOB PRIMARY KEY,
         first_run INTEGER NOT NULL) WITHOUT ROWID;
       ALTER TABLE runs ADD COLUMN folded INTEGER NOT NULL DEFAULT 0;
       INSERT INTO contacts(value, first_run)
         SELECT i.value, MIN(p.run_id) FROM items AS i
           JOIN pages AS p ON p.id = i.page_id JOIN runs AS r ON r.id = p.run_id
           WHERE r.ended IS NOT NULL GROUP BY i.value;
       UPDATE runs SET folded = 1 WHERE ended IS NOT NULL;
       DROP INDEX items_by_value;)",
    // 4: how each page step ended ("read", "empty", "failed", "wall"), so
    // that the keywords to run again can be found; older pages were read.
    R"(ALTER TABLE pages ADD COLUMN outcome TEXT NOT NULL DEFAULT 'read';)",
    // 5: which program made each run and from what, and the lock its
    // process holds while it lives (older runs have none: they were ended
    // or crashed).
    R"(ALTER TABLE runs ADD COLUMN program TEXT NOT NULL DEFAULT 'brivano';
       ALTER TABLE runs ADD COLUMN source BLOB NOT NULL DEFAULT x'';
       ALTER TABLE runs ADD COLUMN lock TEXT NOT NULL DEFAULT '';
       ALTER TABLE runs ADD COLUMN offered INTEGER NOT NULL DEFAULT 0;
       UPDATE runs SET offered = 1 WHERE ending = 'interrupted';)",
    // 6: the result each value stood in, where it stood in one: the title,
    // the company it names, the displayed site and the result's own address
    // (NULL for a value outside every result block, and for older items).
    R"(ALTER TABLE items ADD COLUMN title BLOB;
       ALTER TABLE items ADD COLUMN company BLOB;
       ALTER TABLE items ADD COLUMN site BLOB;
       ALTER TABLE items ADD COLUMN target BLOB;)",
    // 7: pages of the results' own sites, visited for their contacts, with
    // the page's title (NULL for a results page); and the last visit of each
    // site by its registrable domain, so that later runs leave it alone for
    // the days the user set. Older pages were results pages.
    R"(ALTER TABLE pages ADD COLUMN site_page INTEGER NOT NULL DEFAULT 0;
       ALTER TABLE pages ADD COLUMN page_title BLOB;
       CREATE TABLE visited_sites(
         domain TEXT PRIMARY KEY,
         visited_at TEXT NOT NULL) WITHOUT ROWID;)",
};
static_assert(std::size(kUpgradeSteps) == kStoreSchemaVersion);

constexpr std::string_view kItemColumns =
    "SELECT i.value, i.kind, p.keyword_line, p.keyword, p.engine, p.page, p.url, p.seen_at, "
    "p.run_id, p.id, i.title, i.company, i.site, i.target, p.site_page, p.page_title"
    " FROM items AS i"
    " JOIN pages AS p ON p.id = i.page_id";

// The pages table's words for how a page step ended, by PageOutcome.
constexpr std::string_view kOutcomeWords[] = {"read", "empty", "failed", "wall"};

// A statement kept for reuse, reset however the use ends.
class Use {
 public:
  explicit Use(sql::Statement& statement) : statement_(statement) { statement_.Reset(); }
  ~Use() { statement_.Reset(); }
  sql::Statement* operator->() { return &statement_; }

 private:
  sql::Statement& statement_;
};

ContactKind KindFromColumn(std::int64_t number) {
  return number >= 0 && number < static_cast<std::int64_t>(kAllContactKinds.size())
             ? static_cast<ContactKind>(number)
             : ContactKind::Mobile;
}

// A run's row as its first eight columns give it: id, started, engine, kind,
// options, keyword_line, keyword, page.
UnfinishedRun UnfinishedRunOfRow(const sql::Statement& row) {
  UnfinishedRun run;
  run.runId = row.ColumnInt64(0);
  run.started = row.ColumnBytes(1);
  run.info.engine = row.ColumnBytes(2);
  run.info.kind = KindFromColumn(row.ColumnInt64(3));
  run.info.options = row.ColumnBytes(4);
  run.keywordLine = static_cast<std::int32_t>(row.ColumnInt64(5));
  run.keyword = row.ColumnBytes(6);
  run.page = static_cast<std::int32_t>(row.ColumnInt64(7));
  return run;
}

std::string Replace(std::string text, std::string_view mark, const std::string& with) {
  if (const auto at = text.find(mark); at != std::string::npos) text.replace(at, mark.size(), with);
  return text;
}

// A look at a store. A store without a "-wal" file holds everything in the
// file itself and no program has it open for writing: it is read as an
// immutable file, which creates no "-wal" and "-shm" beside it (they would be
// left behind, owned by whoever looked) and works in a folder or on a mount
// the reader may not write. With a "-wal", a writer may be at work, and the
// log is read through SQLite's shared memory as usual.
sql::Connection OpenForReading(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::path log = path;
  log += "-wal";
  if (std::filesystem::exists(log, error) || !std::filesystem::exists(path, error)) {
    return sql::Connection(path, SQLITE_OPEN_READONLY);
  }
  std::string uri = "file:";
  for (const char c : std::filesystem::absolute(path, error).string()) {
    if (c == '?' || c == '#' || c == '%') {
      AppendPercentEscape(uri, static_cast<unsigned char>(c));
    } else {
      uri += c;
    }
  }
  return sql::Connection(uri + "?immutable=1", SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
}

}  // namespace

void UpgradeStoreSchema(sql::Connection& db, int version) {
  for (int current = static_cast<int>(db.QueryInt64("PRAGMA user_version")); current < version;
       ++current) {
    sql::Transaction transaction(db);
    db.Execute(std::string(kUpgradeSteps[current]));
    db.Execute("PRAGMA user_version = " + std::to_string(current + 1));
    transaction.Commit();
  }
}

std::string_view RunEndingWord(RunEnding ending) {
  switch (ending) {
    case RunEnding::Finished:
      return "finished";
    case RunEnding::Stopped:
      return "stopped";
    case RunEnding::Failed:
      return "failed";
    case RunEnding::Interrupted:
      return "interrupted";
  }
  return "failed";
}

std::string StoreErrorText(int sqliteCode, const std::filesystem::path& path) {
  const std::string name = path.string();
  switch (sqliteCode & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return Replace("数据库“%s”已损坏。", "%s", name);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return Replace("数据库“%s”正被另一个程序使用。", "%s", name);
    case SQLITE_READONLY:
    case SQLITE_PERM:
      return Replace("数据库“%s”是只读的。", "%s", name);
    case SQLITE_FULL:
      return Replace("磁盘已满，无法写入数据库“%s”。", "%s", name);
    default:
      return Replace(Replace("无法使用数据库“%s”：%e。", "%s", name), "%e",
                     sqlite3_errstr(sqliteCode));
  }
}

struct HarvestStore::Statements {
  explicit Statements(sql::Connection& db)
      : beginRun(
            db.Prepare("INSERT INTO runs(started, engine, kind, options, program, source, lock)"
                       " VALUES(?, ?, ?, ?, ?, ?, ?)")),
        endRun(db.Prepare("UPDATE runs SET ended = ?, ending = ? WHERE id = ?")),
        addPage(db.Prepare(
            "INSERT INTO pages(run_id, keyword_line, keyword, engine, page, url, seen_at, outcome,"
            " site_page, page_title) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")),
        addItem(db.Prepare("INSERT INTO items(page_id, value, kind, title, company, site, target)"
                           " VALUES(?, ?, ?, ?, ?, ?, ?)")),
        resumePoint(
            db.Prepare("UPDATE runs SET keyword_line = ?, keyword = ?, page = ? WHERE id = ?")),
        runsToFold(
            db.Prepare("SELECT id FROM runs WHERE ended IS NOT NULL AND folded = 0 ORDER BY id")),
        // In the values' order, so that the B-tree is walked once from
        // left to right instead of descended at random for every value.
        fold(db.Prepare(
            "INSERT INTO contacts(value, first_run)"
            " SELECT i.value, p.run_id FROM pages AS p JOIN items AS i ON i.page_id = p.id"
            " WHERE p.run_id = ?1 ORDER BY i.value"
            " ON CONFLICT DO UPDATE SET first_run = excluded.first_run"
            " WHERE excluded.first_run < first_run")),
        markFolded(db.Prepare("UPDATE runs SET folded = 1 WHERE id = ?")),
        firstRun(db.Prepare("SELECT first_run FROM contacts WHERE value = ?")),
        markSite(db.Prepare("INSERT INTO visited_sites(domain, visited_at) VALUES(?1, ?2)"
                            " ON CONFLICT DO UPDATE SET visited_at = excluded.visited_at")) {}

  sql::Statement beginRun, endRun, addPage, addItem, resumePoint, runsToFold, fold, markFolded,
      firstRun, markSite;
};

// Copies the WAL back into the database on a thread of its own. SQLite's
// automatic checkpoint would run inside the commit that crosses its
// threshold and make that one page step tens of milliseconds long; a
// passive checkpoint on another connection lets the page steps go on.
class HarvestStore::Checkpointer {
 public:
  // WAL frames (pages) after which a checkpoint is asked for: about 4 MB.
  static constexpr int kFrames = 1000;

  Checkpointer(const std::filesystem::path& path, sql::Connection& writer)
      : thread_([this, path] { Work(path); }) {
    sqlite3_wal_hook(writer.handle(), &Checkpointer::OnCommit, this);
  }

  ~Checkpointer() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }

 private:
  static int OnCommit(void* self, sqlite3*, const char*, int frames) {
    if (frames >= kFrames) static_cast<Checkpointer*>(self)->Request();
    return SQLITE_OK;
  }

  void Request() {
    {
      std::lock_guard lock(mutex_);
      requested_ = true;
    }
    wake_.notify_one();
  }

  void Work(const std::filesystem::path& path) {
    std::unique_ptr<sql::Connection> db;
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return requested_ || stop_; });
      if (stop_) return;
      requested_ = false;
      lock.unlock();
      // Best effort: a checkpoint that fails now is tried again after the
      // next commits; the data is safe in the WAL meanwhile.
      try {
        if (!db) db = std::make_unique<sql::Connection>(path, SQLITE_OPEN_READWRITE);
        sqlite3_wal_checkpoint_v2(db->handle(), nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr,
                                  nullptr);
      } catch (const sql::SqliteError&) {
      }
      lock.lock();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  bool requested_ = false;
  bool stop_ = false;
  std::thread thread_;
};

HarvestStore::HarvestStore(std::filesystem::path path, sql::Connection db, bool readOnly)
    : path_(std::move(path)), db_(std::move(db)) {
  if (readOnly) return;
  statements_ = std::make_unique<Statements>(db_);
  checkpointer_ = std::make_unique<Checkpointer>(path_, db_);
}

HarvestStore::Statements& HarvestStore::Writes() {
  if (!statements_) Throw(sql::SqliteError(SQLITE_READONLY, "opened for reading"));
  return *statements_;
}

HarvestStore::~HarvestStore() {
  // The checkpointer stops before the writer's connection closes; the close
  // then checkpoints what is left.
  checkpointer_.reset();
}

StoreOpenResult HarvestStore::Open(const std::filesystem::path& path, const StoreOptions& options) {
  StoreOpenResult result;
  try {
    // SQLite's memory statistics take a process-wide lock on every
    // allocation, which the checkpoint thread then contends for (a million
    // inserts took 7.5 s with them, 5.4 s without). The setting only takes
    // before SQLite's first use in the process and is harmless after it.
    static const int noMemoryStatistics = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    (void)noMemoryStatistics;
    sql::Connection db = options.readOnly
                             ? OpenForReading(path)
                             : sql::Connection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    // SQLite opens a write-protected file for reading without a word; the
    // store is no use then, except to read it.
    if (!options.readOnly && sqlite3_db_readonly(db.handle(), "main") == 1) {
      throw sql::SqliteError(SQLITE_READONLY, "read-only");
    }
    db.SetBusyTimeout(options.busyTimeoutMs);
    // The first read of the file: a file that is no database fails here.
    const std::int64_t version = db.QueryInt64("PRAGMA user_version");
    if (version > kStoreSchemaVersion) {
      result.sqliteCode = SQLITE_ERROR;
      result.error = Replace("数据库“%s”来自更新版本的程序，无法使用。", "%s", path.string());
      return result;
    }
    if (options.readOnly) {
      // Read as it is: no upgrade, no journal change, no checkpoint at the
      // close, so that a look never writes a byte of the file.
      if (version == 0) throw sql::SqliteError(SQLITE_NOTADB, "no store");
      if (version < kStoreSchemaVersion) ShowOlderSchemaAsCurrent(db);
      result.store.reset(new HarvestStore(path, std::move(db), true));
      return result;
    }
    {
      sql::Statement mode = db.Prepare("PRAGMA journal_mode = WAL");
      if (!mode.Step() || mode.ColumnBytes(0) != "wal") {
        throw sql::SqliteError(SQLITE_READONLY, "no WAL");
      }
    }
    // In WAL mode NORMAL syncs at checkpoints only: a killed process loses
    // nothing committed (the WAL is in the system's cache), a power cut at
    // most the last pages. FULL would sync every page.
    db.Execute("PRAGMA synchronous = NORMAL; PRAGMA cache_size = -65536");
    UpgradeStoreSchema(db, kStoreSchemaVersion);
    result.store.reset(new HarvestStore(path, std::move(db), false));
  } catch (const sql::SqliteError& error) {
    result.store.reset();
    result.sqliteCode = error.code();
    result.error = StoreErrorText(error.code(), path);
  }
  return result;
}

void HarvestStore::Throw(const sql::SqliteError& error) const {
  throw StoreError(error.code(), StoreErrorText(error.code(), path_));
}

std::int64_t HarvestStore::BeginRun(const RunInfo& info, const RunOrigin& origin) {
  try {
    // Locked before the row exists, so that no other program ever sees the
    // run without its lock held.
    RunLock lock = RunLock::Take(path_);
    Use insert(Writes().beginRun);
    insert->BindText(1, UtcNowIso8601())
        .BindText(2, info.engine)
        .Bind(3, static_cast<int>(info.kind))
        .BindText(4, info.options)
        .BindText(5, origin.program)
        .BindBlob(6, origin.source)
        .BindText(7, lock.name());
    insert->Step();
    const std::int64_t runId = db_.LastInsertRowId();
    locks_[runId] = std::move(lock);
    return runId;
  } catch (const sql::SqliteError& error) {
    Throw(error);
  }
}

void HarvestStore::AddPage(std::int64_t runId, const HarvestedPage& page) {
  AddPages(runId, std::span<const HarvestedPage>(&page, 1));
}

void HarvestStore::AddPages(std::int64_t runId, std::span<const HarvestedPage> pages) {
  try {
    sql::Transaction transaction(db_);
    for (const HarvestedPage& page : pages) InsertPage(runId, page);
    transaction.Commit();
  } catch (const sql::SqliteError& error) {
    Throw(error);
  }
}

void HarvestStore::InsertPage(std::int64_t runId, const HarvestedPage& page) {
  static const PageSource kNoSource;
  const PageSource& source = page.source ? *page.source : kNoSource;
  std::int64_t pageId = 0;
  {
    Use insert(Writes().addPage);
    insert->Bind(1, runId)
        .Bind(2, source.keywordLine)
        .BindBlob(3, source.keyword)
        .BindText(4, source.engine)
        .Bind(5, source.page)
        .BindBlob(6, source.pageUrl)
        .BindText(7, source.timeUtc)
        .BindText(8, kOutcomeWords[static_cast<int>(page.outcome)])
        .Bind(9, source.sitePage ? 1 : 0);
    if (source.sitePage) {
      insert->BindBlob(10, source.pageTitle);
    } else {
      insert->BindNull(10);
    }
    insert->Step();
    pageId = db_.LastInsertRowId();
  }
  for (const ContactValue& value : page.values) {
    Use insert(Writes().addItem);
    insert->Bind(1, pageId).BindBlob(2, value.value).Bind(3, static_cast<int>(value.kind));
    if (const ResultOwner* owner = value.owner.get()) {
      insert->BindBlob(4, owner->title)
          .BindBlob(5, owner->company)
          .BindBlob(6, owner->site)
          .BindBlob(7, owner->target);
    } else {
      for (int column = 4; column <= 7; ++column) insert->BindNull(column);
    }
    insert->Step();
  }
  // A visited site's page comes in after the run has gone on to later
  // keywords: where a crashed run goes on is its results pages' business.
  if (source.sitePage) return;
  Use resume(Writes().resumePoint);
  resume->Bind(1, source.keywordLine)
      .BindBlob(2, source.keyword)
      .Bind(3, source.page)
      .Bind(4, runId);
  resume->Step();
}

void HarvestStore::EndRunIfOpen(std::int64_t runId, RunEnding ending) {
  std::int64_t open = 0;
  try {
    sql::Statement row = db_.Prepare("SELECT COUNT(*) FROM runs WHERE id = ? AND ended IS NULL");
    row.Bind(1, runId);
    if (row.Step()) open = row.ColumnInt64(0);
  } catch (const sql::SqliteError& error) {
    Throw(error);
  }
  if (open > 0) EndRun(runId, ending);
}

void HarvestStore::EndRun(std::int64_t runId, RunEnding ending) {
  try {
    sql::Transaction transaction(db_);
    {
      Use update(Writes().endRun);
      update->BindText(1, UtcNowIso8601()).BindText(2, RunEndingWord(ending)).Bind(3, runId);
      update->Step();
    }
    // Every ended run that is not in the contacts yet, this one and any
    // that another instance ended, oldest first so that a value keeps the
    // first run that harvested it.
    std::vector<std::int64_t> runs;
    {
      Use pending(Writes().runsToFold);
      while (pending->Step()) runs.push_back(pending->ColumnInt64(0));
    }
    for (const std::int64_t run : runs) {
      Use fold(Writes().fold);
      fold->Bind(1, run);
      fold->Step();
      Use mark(Writes().markFolded);
      mark->Bind(1, run);
      mark->Step();
    }
    transaction.Commit();
  } catch (const sql::SqliteError& error) {
    Throw(error);
  }
  locks_.erase(runId);
}

bool HarvestStore::HarvestedBefore(std::string_view value, std::int64_t runId) {
  try {
    Use lookup(Writes().firstRun);
    lookup->BindBlob(1, value);
    return lookup->Step() && lookup->ColumnInt64(0) != runId;
  } catch (const sql::SqliteError& error) {
    Throw(error);
  }
}

std::vector<UnfinishedRun> HarvestStore::CrashedRuns(int limit) {
  std::vector<UnfinishedRun> runs;
  try {
    sql::Statement query = db_.Prepare(
        "SELECT id, started, engine, kind, options, keyword_line, keyword, page, program, source,"
        " lock FROM runs WHERE ended IS NULL ORDER BY id DESC");
    while (query.Step() && static_cast<int>(runs.size()) < limit) {
      const std::int64_t id = query.ColumnInt64(0);
      if (locks_.count(id) != 0 || RunLockHeld(path_, query.ColumnBytes(10))) continue;
      UnfinishedRun& run = runs.emplace_back(UnfinishedRunOfRow(query));
      run.origin.program = query.ColumnBytes(8);
      run.origin.source = query.ColumnBytes(9);
    }
  } catch (const sql::SqliteError& error) {
    Throw(error);
  }
  return runs;
}

std::optional<UnfinishedRun> HarvestStore::FindUnfinishedRun() {
  std::vector<UnfinishedRun> runs = CrashedRuns(1);
  if (runs.empty()) return std::nullopt;
  runs.front().items = ItemsOfRun(runs.front().runId);
  return std::move(runs.front());
}

std::vector<UnfinishedRun> HarvestStore::EndCrashedRuns() {
  std::vector<UnfinishedRun> runs = CrashedRuns(std::numeric_limits<int>::max());
  for (const UnfinishedRun& run : runs) EndRun(run.runId, RunEnding::Interrupted);
  return runs;
}

std::optional<UnfinishedRun> HarvestStore::TakeInterruptedRun(const RunOrigin& origin) {
  std::optional<UnfinishedRun> run;
  try {
    sql::Transaction transaction(db_);
    sql::Statement query = db_.Prepare(
        "SELECT id, started, engine, kind, options, keyword_line, keyword, page FROM runs"
        " WHERE ending = 'interrupted' AND offered = 0 AND program = ?1 AND source = ?2"
        " ORDER BY id DESC LIMIT 1");
    query.BindText(1, origin.program).BindBlob(2, origin.source);
    if (query.Step()) {
      run = UnfinishedRunOfRow(query);
      run->origin = origin;
    }
    // The older ones of the same origin are past offering too.
    sql::Statement offered = db_.Prepare(
        "UPDATE runs SET offered = 1 WHERE ending = 'interrupted' AND program = ?1 AND source = "
        "?2");
    offered.BindText(1, origin.program).BindBlob(2, origin.source);
    offered.Step();
    transaction.Commit();
  } catch (const sql::SqliteError& error) {
    Throw(error);
  }
  if (run) run->items = ItemsOfRun(run->runId);
  return run;
}

std::vector<ContactValue> HarvestStore::ItemsOfRun(std::int64_t runId) {
  std::vector<ContactValue> items;
  ItemFilter filter;
  filter.runId = runId;
  ForEachItem(filter, [&](const ContactValue& item) { items.push_back(item); });
  return items;
}

void HarvestStore::ForEachItem(const ItemFilter& filter,
                               const std::function<void(const ContactValue&)>& visit) {
  std::string sql(kItemColumns);
  std::vector<std::string> conditions;
  if (filter.kind) conditions.push_back("i.kind = ?");
  if (filter.runId) conditions.push_back("p.run_id = ?");
  if (filter.sinceUtc) conditions.push_back("p.seen_at >= ?");
  for (std::size_t i = 0; i < conditions.size(); ++i) {
    sql.append(i == 0 ? " WHERE " : " AND ").append(conditions[i]);
  }
  sql.append(" ORDER BY i.id");
  try {
    sql::Statement query = db_.Prepare(sql);
    int index = 1;
    if (filter.kind) query.Bind(index++, static_cast<int>(*filter.kind));
    if (filter.runId) query.Bind(index++, *filter.runId);
    if (filter.sinceUtc) query.BindText(index++, *filter.sinceUtc);
    ContactValue item;
    std::int64_t pageId = 0;
    while (query.Step()) {
      item.value = query.ColumnBytes(0);
      item.kind = KindFromColumn(query.ColumnInt64(1));
      if (!item.source || query.ColumnInt64(9) != pageId) {
        pageId = query.ColumnInt64(9);
        item.source = std::make_shared<const PageSource>(
            PageSource{.keywordLine = static_cast<std::int32_t>(query.ColumnInt64(2)),
                       .keyword = std::string(query.ColumnBytes(3)),
                       .engine = std::string(query.ColumnBytes(4)),
                       .page = static_cast<std::int32_t>(query.ColumnInt64(5)),
                       .pageUrl = std::string(query.ColumnBytes(6)),
                       .timeUtc = std::string(query.ColumnBytes(7)),
                       .runId = query.ColumnInt64(8),
                       .sitePage = query.ColumnInt64(14) != 0,
                       .pageTitle = std::string(query.ColumnBytes(15))});
      }
      item.owner.reset();
      if (!query.ColumnIsNull(10)) {
        item.owner = std::make_shared<const ResultOwner>(
            ResultOwner{std::string(query.ColumnBytes(10)), std::string(query.ColumnBytes(11)),
                        std::string(query.ColumnBytes(12)), std::string(query.ColumnBytes(13))});
      }
      visit(item);
    }
  } catch (const sql::SqliteError& error) {
    Throw(error);
  }
}

std::vector<KeywordToRunAgain> HarvestStore::KeywordsToRunAgain(std::int64_t runId) {
  std::vector<KeywordToRunAgain> keywords;
  try {
    if (runId == 0) runId = db_.QueryInt64("SELECT coalesce(max(id), 0) FROM runs");
    // A wall that was solved, and a keyword the network held up and that
    // was asked for again, were read after all.
    sql::Statement query = db_.Prepare(
        // Only results pages count: a visited site's page read after its
        // keyword was given up does not make the keyword done.
        "SELECT p.keyword_line, p.keyword, p.page, p.outcome FROM pages AS p"
        " WHERE p.run_id = ?1 AND p.outcome IN ('failed', 'wall') AND NOT EXISTS ("
        "   SELECT 1 FROM pages AS q WHERE q.run_id = ?1 AND q.keyword_line = p.keyword_line"
        "   AND q.id > p.id AND q.outcome IN ('read', 'empty') AND q.site_page = 0)"
        " AND p.id = (SELECT max(r.id) FROM pages AS r WHERE r.run_id = ?1"
        "   AND r.keyword_line = p.keyword_line AND r.site_page = 0)"
        " ORDER BY p.keyword_line");
    query.Bind(1, runId);
    while (query.Step()) {
      keywords.push_back(
          {static_cast<std::int32_t>(query.ColumnInt64(0)), std::string(query.ColumnBytes(1)),
           static_cast<std::int32_t>(query.ColumnInt64(2)), std::string(query.ColumnBytes(3))});
    }
  } catch (const sql::SqliteError& error) {
    Throw(error);
  }
  return keywords;
}

bool HarvestStore::SiteVisitedWithin(std::string_view domain, int days, std::string_view nowUtc) {
  if (days <= 0) return false;
  try {
    // A read, so that it serves a store opened for reading too; it runs
    // once a site, next to a network fetch.
    sql::Statement query = db_.Prepare(
        "SELECT 1 FROM visited_sites WHERE domain = ?1"
        " AND julianday(?2) - julianday(visited_at) < ?3");
    query.BindText(1, LowerAsciiBytes(domain)).BindText(2, nowUtc).Bind(3, days);
    return query.Step();
  } catch (const sql::SqliteError& error) {
    Throw(error);
  }
}

void HarvestStore::MarkSiteVisited(std::string_view domain, std::string_view nowUtc) {
  try {
    Use upsert(Writes().markSite);
    upsert->BindText(1, LowerAsciiBytes(domain)).BindText(2, nowUtc);
    upsert->Step();
  } catch (const sql::SqliteError& error) {
    Throw(error);
  }
}

std::int64_t HarvestStore::ItemCount() {
  try {
    return db_.QueryInt64("SELECT count(*) FROM items");
  } catch (const sql::SqliteError& error) {
    Throw(error);
  }
}

}  // namespace brivano
