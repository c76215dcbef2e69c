// A writer killed with SIGKILL at random moments: each time the store opens
// and holds every page the writer reported as committed, each page whole.
// The writer reports a page only after its commit, and the test reads those
// reports from a pipe, so no timing decides the outcome.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <random>

#include "store/harvest_store.h"
#include "testing/cli_runner.h"

namespace brivano::testing {
namespace {

constexpr int kValuesPerPage = 30;

std::filesystem::path WriterPath() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "store_kill_writer";
}

struct Writer {
  pid_t pid = -1;
  FILE* reports = nullptr;
};

Writer StartWriter(const std::filesystem::path& db) {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fds[1], STDOUT_FILENO);
    ::close(fds[0]);
    ::close(fds[1]);
    const std::string writer = WriterPath().string();
    ::execl(writer.c_str(), writer.c_str(), db.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fds[1]);
  return {pid, ::fdopen(fds[0], "r")};
}

// The next report line, or "" at the end of the pipe.
std::string NextReport(FILE* reports) {
  char line[64];
  if (std::fgets(line, sizeof line, reports) == nullptr) return "";
  std::string text(line);
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

void KillRepeatedly(int kills) {
  ASSERT_TRUE(std::filesystem::exists(WriterPath())) << WriterPath();
  TempDir dir;
  const auto db = dir.path() / "brivano.db";
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::map<std::int64_t, std::int64_t> reportedPages;  // run -> last page reported
  for (int kill = 0; kill < kills; ++kill) {
    Writer writer = StartWriter(db);
    ASSERT_GT(writer.pid, 0);
    const std::string first = NextReport(writer.reports);
    ASSERT_EQ(first.rfind("run ", 0), 0u) << first;
    const std::int64_t run = std::stoll(first.substr(4));
    // Kill after a random number of committed pages, a random fraction of a
    // page step later: before, inside or after the next commit.
    const int pagesBeforeKill = static_cast<int>(random() % 40);
    std::int64_t lastPage = 0;
    for (int i = 0; i < pagesBeforeKill; ++i) lastPage = std::stoll(NextReport(writer.reports));
    ::usleep(static_cast<useconds_t>(random() % 3000));
    ::kill(writer.pid, SIGKILL);
    int status = 0;
    ::waitpid(writer.pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself, status " << status;
    // Reports written before the kill are still in the pipe.
    for (std::string line; !(line = NextReport(writer.reports)).empty();) {
      lastPage = std::stoll(line);
    }
    std::fclose(writer.reports);
    reportedPages[run] = lastPage;

    StoreOpenResult opened = HarvestStore::Open(db);
    ASSERT_TRUE(opened.store) << "after kill " << kill << ": " << opened.error;
    std::map<std::int64_t, std::map<std::int64_t, int>> valuesPerPage;  // run -> page -> count
    opened.store->ForEachItem({}, [&](const ContactValue& item) {
      ++valuesPerPage[item.source->runId][item.source->page];
    });
    for (const auto& [reportedRun, reported] : reportedPages) {
      const auto& pages = valuesPerPage[reportedRun];
      // Every reported page, and at most one committed but not yet reported.
      ASSERT_GE(static_cast<std::int64_t>(pages.size()), reported) << "run " << reportedRun;
      ASSERT_LE(static_cast<std::int64_t>(pages.size()), reported + 1) << "run " << reportedRun;
      std::int64_t expectedPage = 1;
      for (const auto& [page, count] : pages) {
        EXPECT_EQ(page, expectedPage++) << "run " << reportedRun;
        EXPECT_EQ(count, kValuesPerPage) << "run " << reportedRun << " page " << page;
      }
    }
    const std::optional<UnfinishedRun> unfinished = opened.store->FindUnfinishedRun();
    ASSERT_TRUE(unfinished);
    EXPECT_EQ(unfinished->runId, run);
  }
}

TEST(StoreKill, FiveKillsLoseNoCommittedPage) {
  KillRepeatedly(5);
}

// The long version: ctest -R StoreKill --gtest_also_run_disabled_tests, or
// run tests/test_store_kill --gtest_also_run_disabled_tests.
TEST(StoreKill, DISABLED_FiftyKillsLoseNoCommittedPage) {
  KillRepeatedly(50);
}

}  // namespace
}  // namespace brivano::testing
