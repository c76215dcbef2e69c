// Result files and the auto-save file: exact content, and the former file
// kept when a write fails.
#include <gtest/gtest.h>

#include <cerrno>
#include <iostream>

#include "base/text.h"
#include "files/result_files.h"
#include "files/settings_store.h"
#include "testing/cli_runner.h"
#include "testing/file_fakes.h"

namespace brivano::testing {
namespace {

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

BuyerList ListOf(std::initializer_list<std::string> captions) {
  BuyerList list;
  for (const std::string& caption : captions) list.Append(caption, ContactKind::Mobile);
  return list;
}

TEST(ResultFile, ProposedName) {
  EXPECT_EQ(ProposedResultFileName(57), "57.txt");
  EXPECT_EQ(ProposedResultFileName(0), "0.txt");
  EXPECT_EQ(ProposedResultFileName(1000000), "1000000.txt");
}

TEST(ResultFile, OneLinePerItemEachEndedByCrLf) {
  struct Case {
    BuyerList list;
    std::string content;
  } cases[] = {
      {ListOf({"13800000000", "abc@example.com", "12345"}),
       "13800000000\r\nabc@example.com\r\n12345\r\n"},
      {ListOf({G("0755-1234567"), "", G("深圳 ")}), G("0755-1234567\r\n\r\n深圳 \r\n")},
      {ListOf({"x"}), "x\r\n"},
      {BuyerList(), ""},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const auto path = dir.path() / "57.txt";
    ASSERT_TRUE(WriteResultFile(path, c.list).ok());
    EXPECT_EQ(ReadFileBytes(path), c.content);
    std::size_t expectedSize = 0;
    for (const ContactValue& item : c.list.items()) expectedSize += item.value.size() + 2;
    EXPECT_EQ(std::filesystem::file_size(path), expectedSize);
  }
}

TEST(ResultFile, SavingTwiceReplacesTheFirstContent) {
  TempDir dir;
  FakeFeedback feedback;
  const auto path = dir.path() / "r.txt";
  ASSERT_TRUE(SaveResultFile(path, ListOf({"1", "2", "3"}), feedback));
  ASSERT_TRUE(SaveResultFile(path, ListOf({"4"}), feedback));
  EXPECT_EQ(ReadFileBytes(path), "4\r\n");
  EXPECT_TRUE(feedback.errors.empty());
}

// Each failure shows the runtime's text for the system's error and leaves a
// former file of that name byte for byte as it was.
TEST(ResultFile, FailuresShowTheRuntimeTextAndKeepTheFormerFile) {
  struct Case {
    const char* name;
    const char* message;
    std::function<std::filesystem::path(TempDir&)> target;  // empty path: cannot set up
  } cases[] = {
      {"read-only folder", "无法访问文件",
       [](TempDir& d) {
         return MakeFolderReadOnly(d.path()) ? d.path() / "r.txt" : std::filesystem::path();
       }},
      {"missing folder", "文件名无效", [](TempDir& d) { return d.path() / "gone" / "r.txt"; }},
      {"path is a folder", "无法访问文件",
       [](TempDir& d) {
         std::filesystem::create_directory(d.path() / "sub");
         return d.path() / "sub";
       }},
      {"name too long", "文件名无效", [](TempDir& d) { return d.path() / std::string(300, 'x'); }},
  };
  for (const Case& c : cases) {
    TempDir dir;
    dir.Write("r.txt", "former\r\n");
    const auto target = c.target(dir);
    if (target.empty()) {
      std::cout << "[ NOTE     ] " << c.name << ": cannot be set up on this machine\n";
      continue;
    }
    FakeFeedback feedback;
    EXPECT_FALSE(SaveResultFile(target, ListOf({"13800000000"}), feedback)) << c.name;
    EXPECT_EQ(feedback.errors, std::vector<std::string>{c.message}) << c.name;
    EXPECT_EQ(ReadFileBytes(dir.path() / "r.txt"), "former\r\n") << c.name;
    Unmount(dir.path());
  }
}

TEST(ResultFile, AFullDiskKeepsTheFormerFile) {
  TempDir dir;
  const auto path = dir.Write("r.txt", "former\r\n");
  BuyerList big;
  for (int i = 0; i < 20000; ++i)
    big.Append(std::to_string(13800000000ll + i), ContactKind::Mobile);
  for (std::uint64_t failAt : {0ull, 5ull, 100000ull, 260000ull}) {
    ScopedWriteFault fault(failAt, ENOSPC);
    FakeFeedback feedback;
    EXPECT_FALSE(SaveResultFile(path, big, feedback));
    EXPECT_EQ(feedback.errors, std::vector<std::string>{"磁盘已满"}) << failAt;
    EXPECT_EQ(ReadFileBytes(path), "former\r\n") << failAt;
  }
  // And a real one, where this machine lets a test mount a tiny file system.
  const auto tiny = dir.path() / "tiny";
  if (!MountTinyFileSystem(tiny, 64 * 1024)) GTEST_SKIP() << "cannot mount a file system here";
  FakeFeedback feedback;
  ASSERT_TRUE(SaveResultFile(tiny / "r.txt", ListOf({"former"}), feedback));
  EXPECT_FALSE(SaveResultFile(tiny / "r.txt", big, feedback));
  EXPECT_EQ(feedback.errors, std::vector<std::string>{"磁盘已满"});
  EXPECT_EQ(ReadFileBytes(tiny / "r.txt"), "former\r\n");
  EXPECT_EQ(FolderNames(tiny), std::vector<std::string>{"r.txt"});
  Unmount(tiny);
}

using AutoSaveFixture = StateStoreFixture;

TEST(AutoSave, TheStateSaveMirrorsTheListInTheAutoSaveFile) {
  AutoSaveFixture f;
  f.buyers.Append("13800000000", ContactKind::Mobile);
  f.buyers.Append(G("0755-8888888"), ContactKind::Fax);
  ASSERT_TRUE(f.store.SaveState());
  EXPECT_EQ(ReadFileBytes(f.AutoSave()), G("13800000000\r\n0755-8888888\r\n"));
  EXPECT_EQ(f.feedback.events, (std::vector<std::string>{"busy", "normal"}));
  EXPECT_TRUE(f.feedback.busy == false);

  f.buyers.Append("x", ContactKind::Mobile);
  ASSERT_TRUE(f.store.SaveState());
  EXPECT_EQ(ReadFileBytes(f.AutoSave()), G("13800000000\r\n0755-8888888\r\nx\r\n"));
}

TEST(AutoSave, AnEmptyListLeavesNoAutoSaveFile) {
  AutoSaveFixture f;
  f.dir.Write("autosave.txt", "old\r\n");
  ASSERT_TRUE(f.store.SaveState());
  EXPECT_FALSE(std::filesystem::exists(f.AutoSave()));
  EXPECT_EQ(FolderNames(f.dir.path()), std::vector<std::string>{"brivano.ini"});
  ASSERT_TRUE(f.store.SaveState());  // nothing to remove: still a success
}

TEST(AutoSave, AFailedWriteIsReportedAndKeepsTheFormerFile) {
  AutoSaveFixture f;
  f.dir.Write("autosave.txt", "old\r\n");
  f.buyers.Append("13800000000", ContactKind::Mobile);
  {
    // A fault past the content's end: the final sync fails.
    ScopedWriteFault fault(1u << 20, ENOSPC);
    EXPECT_FALSE(f.store.WriteAutoSaveFile());
  }
  EXPECT_EQ(f.feedback.errors, std::vector<std::string>{"磁盘已满"});
  EXPECT_EQ(ReadFileBytes(f.AutoSave()), "old\r\n");
  EXPECT_FALSE(f.feedback.busy);  // the normal cursor is back

  std::filesystem::remove(f.AutoSave());
  std::filesystem::create_directory(f.AutoSave());
  f.feedback = {};
  f.store.SaveProgress();  // the progress command
  EXPECT_EQ(f.feedback.errors, std::vector<std::string>{"无法访问文件"});
  EXPECT_TRUE(f.feedback.messages.empty());  // no confirmation after a failure
  EXPECT_TRUE(std::filesystem::exists(f.dir.path() / "brivano.ini"));  // the settings half ran
}

TEST(ProgressCommand, SavesAndConfirmsAlsoWithAnEmptyList) {
  AutoSaveFixture f;
  f.controls.startLine = 6;
  f.dir.Write("autosave.txt", "old\r\n");
  f.store.SaveProgress();
  EXPECT_EQ(f.feedback.messages, std::vector<std::string>{"已经保存当前网络搜索进程！"});
  EXPECT_TRUE(f.feedback.errors.empty());
  EXPECT_EQ(
      IniFile(ReadFileBytes(f.dir.path() / "brivano.ini")).ReadInteger("config", "process", 0), 6);
  EXPECT_FALSE(std::filesystem::exists(f.AutoSave()));
}

}  // namespace
}  // namespace brivano::testing
