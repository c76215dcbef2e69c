// The harvest store "brivano.db": every accepted value with where it came
// from (keyword line, engine, page, page address, time, and the result it
// stood in) and the run that found it, committed page by page so that a crash loses at most the
// page in hand; and the sites the runs visited, so that a site is not visited again too soon.
// SQLite in WAL mode; the schema carries its version in PRAGMA user_version and is created or
// upgraded in place when the store opens.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/contact_kind.h"
#include "base/contact_value.h"
#include "store/run_lock.h"
#include "store/sqlite.h"

namespace brivano {

// The schema version this program writes.
inline constexpr int kStoreSchemaVersion = 7;

// What a run was asked to do; kept with the run for the record.
struct RunInfo {
  std::string engine;  // as brivano-cli names it: "baidu", "bing", ...
  ContactKind kind = ContactKind::Mobile;
  std::string options;  // free text, e.g. "去重=1 跨次去重=0"
};

// The program that made a run, and what it ran (brivano-run: which keyword
// file), so that a crashed run is offered back only to its own.
struct RunOrigin {
  std::string program = "brivano";
  std::string source;
};

// How a run ended; a run without an ending was cut short by a crash.
// Interrupted marks a crashed run once the next start has dealt with it.
enum class RunEnding { Finished, Stopped, Failed, Interrupted };
std::string_view RunEndingWord(RunEnding ending);

// The run a crash cut short: what it had harvested and where to resume.
struct UnfinishedRun {
  std::int64_t runId = 0;
  RunInfo info;
  RunOrigin origin;
  std::string started;
  std::int32_t keywordLine = 0;  // of its last committed page; 0 when none
  std::string keyword;
  std::int32_t page = 0;
  std::vector<ContactValue> items;
};

// A keyword of a run that is to be run again: its last page step did not
// load or met a verification page, and no later page of it was read.
struct KeywordToRunAgain {
  std::int32_t keywordLine = 0;
  std::string keyword;  // GBK
  std::int32_t page = 0;
  std::string outcome;  // "failed" or "wall"
};

// Which items an export takes; every field left empty takes all.
struct ItemFilter {
  std::optional<ContactKind> kind;
  std::optional<std::int64_t> runId;
  std::optional<std::string> sinceUtc;  // an ISO 8601 prefix: "2026-12-01"
};

// A store operation that failed; what() is the text for the user (UTF-8).
class StoreError : public std::runtime_error {
 public:
  StoreError(int sqliteCode, const std::string& message)
      : std::runtime_error(message), sqliteCode_(sqliteCode) {}
  int sqliteCode() const { return sqliteCode_; }

 private:
  int sqliteCode_;
};

// The user's text (UTF-8, Chinese) for a failure of the store at `path`:
// damaged, locked by another instance, read-only, disk full, or otherwise
// with SQLite's own description.
std::string StoreErrorText(int sqliteCode, const std::filesystem::path& path);

struct StoreOptions {
  // How long a write waits for another program's write to finish before the
  // store counts as locked.
  int busyTimeoutMs = 2000;
  // Only to read it (exports, looks): never created, upgraded or written.
  bool readOnly = false;
};

class HarvestStore;

struct StoreOpenResult {
  std::unique_ptr<HarvestStore> store;  // null on failure
  std::string error;                    // the user's text when store is null
  int sqliteCode = 0;
};

class HarvestStore {
 public:
  // Opens or creates the store, upgrading an older schema in place.
  static StoreOpenResult Open(const std::filesystem::path& path, const StoreOptions& options = {});

  ~HarvestStore();
  HarvestStore(const HarvestStore&) = delete;
  HarvestStore& operator=(const HarvestStore&) = delete;

  // Every method below throws StoreError; a failed write leaves the store as
  // it was before the call.
  std::int64_t BeginRun(const RunInfo& info, const RunOrigin& origin = {});
  // Commits the page's values and the run's resume point in one transaction;
  // the page's source says where they came from and when.
  void AddPage(std::int64_t runId, const HarvestedPage& page);
  // The same for many pages in one transaction: all of them or none (bulk
  // work such as imports; a run commits page by page).
  void AddPages(std::int64_t runId, std::span<const HarvestedPage> pages);
  void EndRun(std::int64_t runId, RunEnding ending);
  // The same for a run whose row is not ended yet; nothing for one that is.
  void EndRunIfOpen(std::int64_t runId, RunEnding ending);

  // The latest run that never ended and whose process is gone (its lock is
  // free), with its items, or nothing. A run of a live process, this one
  // or another, is never taken for a crashed one.
  std::optional<UnfinishedRun> FindUnfinishedRun();
  // Ends every such run as interrupted, so that its values count for the
  // cross-run check, and returns them, newest first, without their items.
  std::vector<UnfinishedRun> EndCrashedRuns();
  // The newest crashed run of `origin` not offered back yet, with its items;
  // from then on it and every older one of that origin count as offered.
  std::optional<UnfinishedRun> TakeInterruptedRun(const RunOrigin& origin);
  std::vector<ContactValue> ItemsOfRun(std::int64_t runId);

  // Whether `value` was harvested by a run that has ended, other than
  // `runId` (the cross-run de-duplication). A run's values count from its
  // EndRun on; a crashed run's from the next start, which ends it. One
  // lookup in the contacts' B-tree: its cost hardly grows with the store.
  bool HarvestedBefore(std::string_view value, std::int64_t runId);

  // Calls visit for every matching item in the order they were stored; the
  // items of one page share its source.
  void ForEachItem(const ItemFilter& filter, const std::function<void(const ContactValue&)>& visit);
  std::int64_t ItemCount();
  // The keywords of run `runId` (the latest run when 0) to run again, by line.
  std::vector<KeywordToRunAgain> KeywordsToRunAgain(std::int64_t runId = 0);

  // Whether a run visited the site (its registrable domain) less than `days`
  // days before `nowUtc` (ISO 8601); never for days <= 0. A visit time after
  // `nowUtc` (the clock was put back) counts as recent.
  bool SiteVisitedWithin(std::string_view domain, int days, std::string_view nowUtc);
  // The site's last visit is at `nowUtc` from now on.
  void MarkSiteVisited(std::string_view domain, std::string_view nowUtc);

  // The connection, for tools and tests that inspect the file.
  sql::Connection& connection() { return db_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  HarvestStore(std::filesystem::path path, sql::Connection db, bool readOnly);
  [[noreturn]] void Throw(const sql::SqliteError& error) const;

  std::filesystem::path path_;
  sql::Connection db_;
  void InsertPage(std::int64_t runId, const HarvestedPage& page);
  std::vector<UnfinishedRun> CrashedRuns(int limit);
  // The locks of this process's runs, held until each run ends.
  std::map<std::int64_t, RunLock> locks_;

  struct Statements;
  std::unique_ptr<Statements> statements_;  // none when opened for reading
  Statements& Writes();
  class Checkpointer;
  std::unique_ptr<Checkpointer> checkpointer_;
};

// Upgrades the schema of `db` to `version`, one committed step per version.
// Open upgrades to kStoreSchemaVersion; the tests make older stores with it.
void UpgradeStoreSchema(sql::Connection& db, int version);

}  // namespace brivano
