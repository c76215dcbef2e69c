// Fakes and folders for the tests of the program's files: the window's
// settings controls, the message boxes, and folders that refuse writes
// (read-only, or a tiny file system that fills up).
#pragma once

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "files/atomic_file.h"
#include "files/file_interfaces.h"
#include "files/settings_store.h"
#include "testing/cli_runner.h"

namespace brivano::testing {

// The controls as plain fields holding what the window would hold (GBK).
// The spin boxes keep their text; SetSpeed writes the number as text.
class FakeSettingsControls : public SettingsControls {
 public:
  std::string keywordText = Utf8ToGbk("深圳 旅行社\r\n北京 旅行社");
  std::string speedText = "8";
  bool crossRunDedup = false;
  bool validate = false;
  bool visitSites = false;
  std::string pageLimitText = "10";
  bool dedup = false;
  bool autoSave = false;
  ContactKind kind = ContactKind::Mobile;
  Engine engine = Engine::So360;
  std::array<std::string, 4> marks{Utf8ToGbk("手机:"), Utf8ToGbk("邮箱:"),
                                   "QQ:", Utf8ToGbk("传真:")};
  std::int32_t startLine = 1;

  RunOptions Options() const override {
    return {SpinTextValue(speedText, kSpeedRange),
            SpinTextValue(pageLimitText, kPageLimitRange),
            dedup,
            autoSave,
            kind,
            engine,
            marks,
            crossRunDedup,
            validate,
            visitSites};
  }
  std::string Mark(ContactKind k) const { return marks[static_cast<int>(k)]; }
  std::string KeywordText() const override { return keywordText; }
  void SetKeywordText(const std::string& text) override { keywordText = text; }
  void SetSpeed(int seconds) override { speedText = std::to_string(seconds); }
  void SetPageLimit(int pages) override { pageLimitText = std::to_string(pages); }
  void SetDedupChecked(bool checked) override { dedup = checked; }
  void SetAutoSaveChecked(bool checked) override { autoSave = checked; }
  void CheckContactKind(ContactKind k) override { kind = k; }
  void CheckEngine(Engine e) override { engine = e; }
  void SetCrossRunDedup(bool checked) override { crossRunDedup = checked; }
  void SetValidation(bool checked) override { validate = checked; }
  void SetVisitSites(bool checked) override { visitSites = checked; }
  void SetMark(ContactKind k, const std::string& text) override {
    marks[static_cast<int>(k)] = text;
  }
  std::int32_t StartLine() const override { return startLine; }
  void SetStartLine(std::int32_t line) override { startLine = line; }
};

// Records every box, cursor change and status text, in UTF-8, in order.
class FakeFeedback : public UserFeedback {
 public:
  std::vector<std::string> errors;
  std::vector<std::string> messages;
  std::vector<std::string> events;  // "error:", "message:", "busy", "normal", "status:"
  bool busy = false;
  int repaints = 0;

  void ShowError(const std::string& text) override {
    errors.push_back(GbkToUtf8(text));
    events.push_back("error:" + errors.back());
  }
  void ShowMessage(const std::string& text) override {
    messages.push_back(GbkToUtf8(text));
    events.push_back("message:" + messages.back());
  }
  void SetBusyCursor(bool b) override {
    busy = b;
    events.push_back(b ? "busy" : "normal");
  }
  void Repaint() override { ++repaints; }
  void SetStatusText(const std::string& text) override {
    events.push_back("status:" + GbkToUtf8(text));
  }
};

// A state store over a fresh folder, with the settings file "brivano.ini".
struct StateStoreFixture {
  TempDir dir;
  FakeSettingsControls controls;
  BuyerList buyers;
  FakeFeedback feedback;
  StateStore store{ProgramFiles{dir.path(), "brivano.ini"}, controls, buyers, feedback};

  std::filesystem::path Settings() const { return dir.path() / "brivano.ini"; }
  std::filesystem::path Keywords() const { return dir.path() / "brivanobody.ini"; }
  std::filesystem::path AutoSave() const { return dir.path() / "autosave.txt"; }
};

// A private mount namespace for this test process, so that the folders
// mounted below vanish with it. False where mounting is not allowed.
inline bool EnterPrivateMounts() {
  static const bool entered = [] {
    if (::unshare(CLONE_NEWNS) != 0) return false;
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
  }();
  return entered;
}

// A tiny file system of `bytes` at `folder` (created), or false.
inline bool MountTinyFileSystem(const std::filesystem::path& folder, std::size_t bytes) {
  if (!EnterPrivateMounts()) return false;
  std::filesystem::create_directories(folder);
  const std::string options = "size=" + std::to_string(bytes);
  return ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

// Makes `folder` refuse new files: by its permissions when they bind this
// user, else (as root) by mounting it read-only. False when neither works.
inline bool MakeFolderReadOnly(const std::filesystem::path& folder) {
  if (::geteuid() != 0) {
    return ::chmod(folder.c_str(), 0555) == 0;
  }
  if (!EnterPrivateMounts()) return false;
  if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) return false;
  return ::mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

// Takes back a mount made by the two functions above.
inline void Unmount(const std::filesystem::path& folder) {
  ::umount2(folder.c_str(), MNT_DETACH);
}

// Runs `work` in a child process that is killed (SIGKILL) once `afterBytes`
// bytes of an atomic write have gone to disk. True when the child died so;
// false when the work finished first.
inline bool KilledDuringWrite(std::uint64_t afterBytes, const std::function<void()>& work) {
  const pid_t child = ::fork();
  if (child == 0) {
    ScopedWriteFault fault(afterBytes, ScopedWriteFault::kKillProcess);
    work();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// The names in a folder, sorted.
inline std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace brivano::testing
