// The one file writer: whole new content or the former file, never a mix.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "files/atomic_file.h"
#include "files/file_errors.h"
#include "files/whole_file.h"
#include "testing/cli_runner.h"
#include "testing/file_fakes.h"

namespace brivano::testing {
namespace {

const std::string kFormer = "former content\r\n";

std::string Content(std::size_t bytes) {
  std::string content;
  for (std::size_t i = 0; i < bytes; ++i) content.push_back(static_cast<char>('a' + i % 26));
  return content;
}

TEST(AtomicFile, WritesAndReplacesWholeFilesLeavingNoTemporaryFile) {
  TempDir dir;
  const auto target = dir.path() / "out.txt";
  for (const std::string& content :
       {std::string("first"), std::string(), Content(300000), std::string("\0x\r\n", 4)}) {
    ASSERT_TRUE(WriteFileAtomically(target, content).ok());
    EXPECT_EQ(ReadFileBytes(target), content);
    EXPECT_EQ(FolderNames(dir.path()), std::vector<std::string>{"out.txt"});
  }
}

TEST(AtomicFile, StreamedWritesOfEverySize) {
  TempDir dir;
  const auto target = dir.path() / "out.txt";
  AtomicFileWriter writer(target);
  std::string expected;
  for (std::size_t size : {0u, 1u, 65535u, 65536u, 3u, 200000u, 7u}) {
    const std::string piece = Content(size);
    writer.Write(piece);
    expected += piece;
  }
  EXPECT_FALSE(std::filesystem::exists(target));  // nothing shows before Commit
  ASSERT_TRUE(writer.Commit().ok());
  EXPECT_EQ(ReadFileBytes(target), expected);
}

TEST(AtomicFile, AnAbandonedWriterLeavesTheFormerFile) {
  TempDir dir;
  const auto target = dir.Write("out.txt", kFormer);
  {
    AtomicFileWriter writer(target);
    writer.Write(Content(100000));
  }
  EXPECT_EQ(ReadFileBytes(target), kFormer);
  EXPECT_EQ(FolderNames(dir.path()), std::vector<std::string>{"out.txt"});
}

TEST(AtomicFile, AReplacedFileKeepsItsPermissions) {
  TempDir dir;
  const auto target = dir.Write("out.txt", kFormer);
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileAtomically(target, "new").ok());
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(AtomicFile, WritingThroughALinkReplacesTheFileItPointsTo) {
  TempDir dir;
  const auto real = dir.Write("real.txt", kFormer);
  const auto link = dir.path() / "link.txt";
  std::filesystem::create_symlink(real, link);
  ASSERT_TRUE(WriteFileAtomically(link, "new").ok());
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFileBytes(real), "new");
}

// A write that fails at any byte, or at the final sync, reports the error
// and leaves the former file as it was and no temporary file behind.
TEST(AtomicFile, AFailureAtAnyByteKeepsTheFormerFile) {
  TempDir dir;
  const auto target = dir.Write("out.txt", kFormer);
  const std::string content = Content(150000);
  for (std::uint64_t failAt :
       {0ull, 1ull, 65535ull, 65536ull, 100000ull, 149999ull, 150000ull, 1000000ull}) {
    ScopedWriteFault fault(failAt, ENOSPC);
    const FileResult result = WriteFileAtomically(target, content);
    EXPECT_EQ(result.error, ENOSPC) << failAt;
    EXPECT_EQ(ReadFileBytes(target), kFormer) << failAt;
    EXPECT_EQ(FolderNames(dir.path()), std::vector<std::string>{"out.txt"}) << failAt;
  }
  ASSERT_TRUE(WriteFileAtomically(target, content).ok());  // the fault is gone with its scope
  EXPECT_EQ(ReadFileBytes(target), content);
}

// A process killed in the middle of a write leaves the former file whole.
TEST(AtomicFile, AKilledWriterLeavesTheFormerFile) {
  TempDir dir;
  const auto target = dir.Write("out.txt", kFormer);
  const std::string content = Content(70000);
  for (std::uint64_t killAt : {0ull, 1ull, 65536ull, 69999ull, 70000ull}) {
    EXPECT_TRUE(KilledDuringWrite(killAt, [&] { (void)WriteFileAtomically(target, content); }))
        << killAt;
    EXPECT_EQ(ReadFileBytes(target), kFormer) << killAt;
  }
  EXPECT_FALSE(KilledDuringWrite(1ull << 40, [] {}));  // no write, no kill
}

TEST(AtomicFile, SystemFailures) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "folder");
  struct Case {
    std::filesystem::path target;
    int error;
  } cases[] = {
      {dir.path() / "missing" / "out.txt", ENOENT},
      {dir.path() / "folder", EISDIR},
      {dir.path() / std::string(300, 'n'), ENAMETOOLONG},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WriteFileAtomically(c.target, "x").error, c.error) << c.target;
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "folder"));
  EXPECT_EQ(FolderNames(dir.path()), std::vector<std::string>{"folder"});
}

TEST(AtomicFile, ATinyFileSystemThatFillsUp) {
  TempDir dir;
  const auto mount = dir.path() / "tiny";
  if (!MountTinyFileSystem(mount, 64 * 1024)) GTEST_SKIP() << "cannot mount a file system here";
  const auto target = mount / "out.txt";
  ASSERT_TRUE(WriteFileAtomically(target, kFormer).ok());
  EXPECT_EQ(WriteFileAtomically(target, Content(200000)).error, ENOSPC);
  EXPECT_EQ(ReadFileBytes(target), kFormer);
  EXPECT_EQ(FolderNames(mount), std::vector<std::string>{"out.txt"});
  Unmount(mount);
}

TEST(WholeFile, ReadsWholeFilesAndReportsFailures) {
  TempDir dir;
  const std::string big = Content(1 << 20);
  EXPECT_EQ(ReadWholeFile(dir.Write("big", big)).bytes, big);
  EXPECT_EQ(ReadWholeFile(dir.Write("empty", "")).bytes, "");
  EXPECT_TRUE(ReadWholeFile(dir.path() / "empty").ok());
  EXPECT_EQ(ReadWholeFile(dir.path() / "none").error, ENOENT);
  EXPECT_EQ(ReadWholeFile(dir.path()).error, EISDIR);
  // A file whose size the system does not know ahead.
  EXPECT_FALSE(ReadWholeFile("/proc/self/status").bytes.empty());
}

TEST(FileErrors, TheUsersTexts) {
  struct Case {
    int error;
    FileOperation operation;
    const char* text;
  } cases[] = {
      {ENOENT, FileOperation::Read, "找不到文件"},
      {ENOENT, FileOperation::Create, "文件名无效"},  // a missing folder
      {ENOTDIR, FileOperation::Create, "文件名无效"},
      {ENAMETOOLONG, FileOperation::Create, "文件名无效"},
      {EMFILE, FileOperation::Create, "打开的文件过多"},
      {ENFILE, FileOperation::Read, "打开的文件过多"},
      {EACCES, FileOperation::Create, "无法访问文件"},
      {EROFS, FileOperation::Create, "无法访问文件"},
      {EISDIR, FileOperation::Create, "无法访问文件"},
      {ENOSPC, FileOperation::Create, "磁盘已满"},
      {EDQUOT, FileOperation::Create, "磁盘已满"},
      {EIO, FileOperation::Create, "文件读写错误：输入/输出错误"},
      {EXDEV, FileOperation::Create, "文件读写错误：无效的跨设备链接"},
      {9999, FileOperation::Create, "文件读写错误：未知的错误 9999"},
  };
  for (const Case& c : cases) EXPECT_EQ(IoErrorText(c.error, c.operation), c.text) << c.error;
  EXPECT_EQ(CannotOpenFileText("/x/a.txt", ENOENT), "无法打开文件“/x/a.txt”：没有那个文件或目录");
  EXPECT_EQ(CannotCreateFileText("b.txt", EACCES), "无法创建文件“b.txt”：权限不够");
  EXPECT_EQ(CannotReadFileText("c.txt", EIO), "无法读取文件“c.txt”：输入/输出错误");
  EXPECT_EQ(UnableToWriteText("/p/brivano.ini"), "无法写入文件“/p/brivano.ini”");
}

}  // namespace
}  // namespace brivano::testing
