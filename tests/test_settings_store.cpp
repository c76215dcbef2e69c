// The settings file and the keyword store: start-up load, state save, exit
// save, and where the files lie.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>

#include "base/text.h"
#include "files/program_files.h"
#include "files/settings_store.h"
#include "testing/cli_runner.h"
#include "testing/file_fakes.h"

namespace brivano::testing {
namespace {

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

// The exact file a save of untouched controls writes.
const std::string kUntouchedSettings =
    G("[config]\r\nspeed=8\r\nmaxpage=10\r\nprocess=1\r\nquchong=0\r\nautosave=0\r\ninfo=mob\r\n"
      "search=360\r\nmarkmob=手机:\r\nmarkeml=邮箱:\r\nmarkqq=QQ:\r\nmarkfax=传真:\r\n");

using StoreFixture = StateStoreFixture;

TEST(SettingsLoad, KeysAreClampedMatchedAndDefaulted) {
  FakeSettingsControls before;  // what the controls hold when a case loads
  struct Case {
    std::string lines;  // UTF-8 lines of the [config] section
    std::function<void(const FakeSettingsControls&)> check;
  } cases[] = {
      {"speed=2\nmaxpage=0",
       [](auto& c) {
         EXPECT_EQ(c.speedText, "3");
         EXPECT_EQ(c.pageLimitText, "1");
       }},
      {"speed=5000\nmaxpage=100",
       [](auto& c) {
         EXPECT_EQ(c.speedText, "1000");
         EXPECT_EQ(c.pageLimitText, "76");
       }},
      {"speed=abc\nmaxpage=x1",
       [](auto& c) {
         EXPECT_EQ(c.speedText, "8");
         EXPECT_EQ(c.pageLimitText, "10");
       }},
      {"speed=0x10\nmaxpage=$20",
       [](auto& c) {
         EXPECT_EQ(c.speedText, "16");
         EXPECT_EQ(c.pageLimitText, "32");
       }},
      {"speed=-4", [](auto& c) { EXPECT_EQ(c.speedText, "3"); }},
      {"process=0", [](auto& c) { EXPECT_EQ(c.startLine, 0); }},  // corrected later by the search
      {"process=-3", [](auto& c) { EXPECT_EQ(c.startLine, -3); }},
      {"process=6", [](auto& c) { EXPECT_EQ(c.startLine, 6); }},
      {"quchong=2\nautosave=256",
       [](auto& c) {
         EXPECT_TRUE(c.dedup);
         EXPECT_FALSE(c.autoSave);
       }},
      {"quchong=1\nautosave=257",
       [](auto& c) {
         EXPECT_TRUE(c.dedup);
         EXPECT_TRUE(c.autoSave);
       }},
      {"quchong=-256\nautosave=-1",
       [](auto& c) {
         EXPECT_FALSE(c.dedup);
         EXPECT_TRUE(c.autoSave);
       }},
      // A word that is not the exact one leaves its buttons as they stand.
      {"info=MOB\nsearch=Baidu",
       [&](auto& c) {
         EXPECT_EQ(c.kind, before.kind);
         EXPECT_EQ(c.engine, before.engine);
       }},
      {"info=email\nsearch=bing",
       [&](auto& c) {
         EXPECT_EQ(c.kind, before.kind);
         EXPECT_EQ(c.engine, before.engine);
       }},
      {"info=eml\nsearch=baidu",
       [](auto& c) {
         EXPECT_EQ(c.kind, ContactKind::Email);
         EXPECT_EQ(c.engine, Engine::Baidu);
       }},
      {"info= qq \nsearch=sougou",
       [](auto& c) {
         EXPECT_EQ(c.kind, ContactKind::QQ);
         EXPECT_EQ(c.engine, Engine::Sogou);
       }},
      {"info=fax\nsearch=biying",
       [](auto& c) {
         EXPECT_EQ(c.kind, ContactKind::Fax);
         EXPECT_EQ(c.engine, Engine::Bing);
       }},
      {"info='eml'\nsearch=\"360\"",
       [](auto& c) {
         EXPECT_EQ(c.kind, ContactKind::Email);
         EXPECT_EQ(c.engine, Engine::So360);
       }},
      {"markmob=   电话:   \nmarkeml=\" 邮件 \"\nmarkqq=\nmarkfax='FAX'",
       [](auto& c) {
         EXPECT_EQ(c.marks[0], G("电话:"));
         EXPECT_EQ(c.marks[1], G(" 邮件 "));
         EXPECT_EQ(c.marks[2], "");
         EXPECT_EQ(c.marks[3], "FAX");
       }},
  };
  // Each case loads twice, over controls that hold no default and differ
  // from each other (the switches, on and then off): whatever a case expects,
  // one start differs from it, so a value or default not applied shows.
  for (const Case& c : cases) {
    for (const bool first : {true, false}) {
      SCOPED_TRACE(c.lines + (first ? "; first start" : "; second start"));
      before.speedText = first ? "999" : "4";
      before.pageLimitText = first ? "2" : "50";
      before.startLine = first ? 5 : 7;
      before.dedup = before.autoSave = first;
      before.kind = first ? ContactKind::Fax : ContactKind::QQ;
      before.engine = first ? Engine::Bing : Engine::Baidu;
      before.marks = {"a", "b", "c", "d"};
      StoreFixture f;
      f.controls = before;
      f.dir.Write("brivano.ini", G("[config]\r\n" + c.lines + "\r\n"));
      f.store.Load();
      c.check(f.controls);
      EXPECT_TRUE(f.feedback.errors.empty());
    }
  }
}

TEST(SettingsLoad, MissingFileOrKeysGiveTheDefaults) {
  for (const std::string& content :
       {std::string(), std::string("[config]\r\n"), std::string("[other]\r\nspeed=20\r\n")}) {
    StoreFixture f;
    f.controls = {};
    f.controls.speedText = "999";
    f.controls.pageLimitText = "2";
    f.controls.dedup = f.controls.autoSave = true;
    f.controls.kind = ContactKind::Fax;
    f.controls.engine = Engine::Bing;
    f.controls.marks = {"a", "b", "c", "d"};
    f.controls.startLine = 5;
    if (!content.empty()) f.dir.Write("brivano.ini", content);
    f.store.Load();
    EXPECT_EQ(f.controls.speedText, "8");
    EXPECT_EQ(f.controls.pageLimitText, "10");
    EXPECT_EQ(f.controls.startLine, 1);
    EXPECT_FALSE(f.controls.dedup);
    EXPECT_FALSE(f.controls.autoSave);
    EXPECT_EQ(f.controls.kind, ContactKind::Mobile);
    EXPECT_EQ(f.controls.engine, Engine::So360);
    EXPECT_EQ(f.controls.marks,
              (std::array<std::string, 4>{G("手机:"), G("邮箱:"), "QQ:", G("传真:")}));
  }
}

TEST(SettingsLoad, AFirstStartCreatesNoFile) {
  StoreFixture f;
  const std::string builtIn = f.controls.keywordText;
  f.store.Load();
  EXPECT_EQ(f.controls.keywordText, builtIn);  // the built-in list stays
  EXPECT_TRUE(FolderNames(f.dir.path()).empty());
  EXPECT_TRUE(f.feedback.events.empty());
}

TEST(KeywordStore, LoadNormalisesLineBreaksAndEndsAtNul) {
  struct Case {
    std::string stored, text;
  } cases[] = {
      {"a\nb\n", "a\r\nb\r\n"},
      {"a\rb", "a\r\nb"},
      {"a\r\n\r\nb\n\r", "a\r\n\r\nb\r\n\r\n"},
      {"", ""},  // an empty store gives an empty list, not the built-in one
      {G("深圳 旅行社\n北京 酒店"), G("深圳 旅行社\r\n北京 酒店")},
  };
  for (const Case& c : cases) {
    StoreFixture f;
    f.dir.Write("brivanobody.ini", c.stored);
    f.store.Load();
    EXPECT_EQ(f.controls.keywordText, c.text) << c.stored;
    // The next exit writes it back with CR LF.
    ASSERT_TRUE(f.store.SaveKeywords().ok());
    EXPECT_EQ(ReadFileBytes(f.Keywords()), c.text);
  }
}

// A store that cannot be read is reported, and the settings are read all
// the same: the next 进程 must not replace them with defaults.
TEST(KeywordStore, AnUnreadableStoreIsReportedAndTheSettingsStillLoad) {
  StoreFixture f;
  std::filesystem::create_directory(f.Keywords());  // exists, but cannot be read as a file
  const std::string settings = "[config]\r\nspeed=33\r\nsearch=baidu\r\n";
  f.dir.Write("brivano.ini", settings);
  const std::string builtIn = f.controls.keywordText;
  f.store.Load();
  ASSERT_EQ(f.feedback.errors.size(), 1u);
  EXPECT_EQ(f.feedback.errors[0], "无法打开文件“" + f.Keywords().string() + "”：是一个目录");
  EXPECT_EQ(f.controls.keywordText, builtIn);
  EXPECT_EQ(f.controls.speedText, "33");
  f.store.SaveProgress();
  const std::string saved = ReadFileBytes(f.Settings());
  EXPECT_NE(saved.find("speed=33\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("search=baidu\r\n"), std::string::npos) << saved;
  EXPECT_TRUE(f.store.SaveKeywords().ok());  // the unchanged box leaves the folder alone
  EXPECT_TRUE(std::filesystem::is_directory(f.Keywords()));
}

// The box shows a store only up to its first NUL byte; what follows is the
// user's all the same. An unchanged box leaves the file as it was; a changed
// one replaces it only after the whole former file was kept beside it.
TEST(KeywordStore, AStoreCutAtANulIsNeverLostAtExit) {
  const std::string stored = std::string("a\nb\0c\nd", 7) + std::string(100000, 'e');
  struct Case {
    const char* name;
    std::string boxAtExit;  // empty: as loaded
    std::string storeAfter;
    std::optional<std::string> copyAfter;
  } cases[] = {
      {"unchanged box", "", stored, std::nullopt},
      {"changed box", "a\r\nb\r\nnew", "a\r\nb\r\nnew", stored},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StoreFixture f;
    f.dir.Write("brivanobody.ini", stored);
    f.store.Load();
    EXPECT_EQ(f.controls.keywordText, "a\r\nb");
    ASSERT_EQ(f.feedback.errors.size(), 1u);
    EXPECT_NE(f.feedback.errors[0].find("第2行含有空字符（NUL）"), std::string::npos);
    if (!c.boxAtExit.empty()) f.controls.keywordText = c.boxAtExit;
    ASSERT_TRUE(f.store.SaveKeywords().ok());
    EXPECT_EQ(ReadFileBytes(f.Keywords()), c.storeAfter);
    const auto copy = f.dir.path() / "brivanobody.ini.bak";
    EXPECT_EQ(std::filesystem::exists(copy), c.copyAfter.has_value());
    if (c.copyAfter) {
      EXPECT_EQ(ReadFileBytes(copy), *c.copyAfter);
    }
    // The copy is kept once: later exits write the store as usual.
    f.controls.keywordText = "later";
    ASSERT_TRUE(f.store.SaveKeywords().ok());
    EXPECT_EQ(ReadFileBytes(f.Keywords()), "later");
  }
}

// The settings file's bytes from a NUL on are not read, but the state save
// writes them back after the keys.
TEST(SettingsSave, BytesAfterANulSurvive) {
  StoreFixture f;
  const std::string tail = std::string("\0[other]\r\nkey=1\r\n", 17) + std::string(5000, 'x');
  f.dir.Write("brivano.ini", "[config]\r\nspeed=33\r\n" + tail);
  f.store.Load();
  EXPECT_EQ(f.controls.speedText, "33");
  f.store.SaveProgress();
  const std::string saved = ReadFileBytes(f.Settings());
  ASSERT_GE(saved.size(), tail.size());
  EXPECT_EQ(saved.substr(saved.size() - tail.size()), tail);
  EXPECT_EQ(saved.substr(0, 20), "[config]\r\nspeed=33\r\n");
}

// A killed write leaves its temporary behind; the next start removes those
// older than a minute, and keeps a fresh one, which a second instance may
// still be writing, and every file that only looks alike.
TEST(KeywordStore, StartUpRemovesStaleTemporaries) {
  const std::string hex = "0123456789abcdef";
  struct Case {
    std::string name;
    int ageSeconds;
    bool removed;
  } cases[] = {
      {".brivanobody.ini." + hex + ".tmp", 120, true},
      {".brivano.ini." + hex + ".tmp", 3600, true},
      {".autosave.txt." + hex + ".tmp", 61, true},
      {".brivanobody.ini." + hex + ".tmp2", 120, false},
      {".brivanobody.ini.fedcba9876543210.tmp", 5, false},  // a live writer's
      {".brivanobody.ini.0123456789abcdeg.tmp", 120, false},
      {".brivanobody.ini.0123456789abcde.tmp", 120, false},
      {".other.ini." + hex + ".tmp", 120, false},
      {"brivanobody.ini." + hex + ".tmp", 120, false},
  };
  StoreFixture f;
  const auto now = std::filesystem::file_time_type::clock::now();
  for (const Case& c : cases) {
    f.dir.Write(c.name, std::string(1000, 't'));
    std::filesystem::last_write_time(f.dir.path() / c.name,
                                     now - std::chrono::seconds(c.ageSeconds));
  }
  f.store.Load();
  for (const Case& c : cases) {
    EXPECT_EQ(std::filesystem::exists(f.dir.path() / c.name), !c.removed) << c.name;
  }
}

TEST(KeywordStore, ExitSaveWritesTheBoxVerbatimAndKeepsTheFormerFileOnFailure) {
  StoreFixture f;
  f.controls.keywordText = G("深圳 旅行社\r\n  北京 酒店 \r\n\r\n");
  ASSERT_TRUE(f.store.SaveKeywords().ok());
  EXPECT_EQ(ReadFileBytes(f.Keywords()), f.controls.keywordText);

  const std::string former = f.controls.keywordText;
  f.controls.keywordText = "changed";
  {
    ScopedWriteFault fault(3, ENOSPC);
    EXPECT_EQ(f.store.SaveKeywords().error, ENOSPC);
  }
  EXPECT_EQ(ReadFileBytes(f.Keywords()), former);
  EXPECT_TRUE(f.feedback.events.empty());  // the exit save shows nothing
  for (std::uint64_t killAt = 0; killAt <= f.controls.keywordText.size(); ++killAt) {
    ASSERT_TRUE(KilledDuringWrite(killAt, [&] { (void)f.store.SaveKeywords(); })) << killAt;
    ASSERT_EQ(ReadFileBytes(f.Keywords()), former) << killAt;
  }
}

TEST(SettingsSave, AnUntouchedSaveWritesTheDefaultFile) {
  StoreFixture f;
  ASSERT_TRUE(f.store.SaveSettings());
  EXPECT_EQ(ReadFileBytes(f.Settings()), kUntouchedSettings);
  EXPECT_EQ(FolderNames(f.dir.path()), std::vector<std::string>{"brivano.ini"});
}

TEST(SettingsSave, ControlsAreWrittenAsTheyStand) {
  StoreFixture f;
  f.controls.speedText = "5000";     // typed beyond the range: written unchanged
  f.controls.pageLimitText = "ten";  // no number: the box's minimum
  f.controls.startLine = 6;
  f.controls.dedup = true;
  f.controls.kind = ContactKind::Fax;
  f.controls.engine = Engine::Sogou;
  f.controls.marks = {G(" 手机 "), "", "qq", G("传真：")};
  ASSERT_TRUE(f.store.SaveSettings());
  EXPECT_EQ(ReadFileBytes(f.Settings()),
            G("[config]\r\nspeed=5000\r\nmaxpage=1\r\nprocess=6\r\nquchong=1\r\nautosave=0\r\n"
              "info=fax\r\nsearch=sougou\r\nmarkmob= 手机 \r\nmarkeml=\r\nmarkqq=qq\r\n"
              "markfax=传真：\r\n"));
  f.controls.speedText = "abc";
  f.controls.engine = Engine::Bing;
  ASSERT_TRUE(f.store.SaveSettings());
  const IniFile saved(ReadFileBytes(f.Settings()));
  EXPECT_EQ(saved.ReadString("config", "speed", ""), "3");
  EXPECT_EQ(saved.ReadString("config", "search", ""), "biying");
}

TEST(SettingsSave, OtherContentOfTheFileSurvives) {
  StoreFixture f;
  f.dir.Write("brivano.ini",
              "; mine\r\n[window]\r\nleft=10\r\n[CONFIG]\r\nSpeed=20\r\nextra=x\r\n");
  ASSERT_TRUE(f.store.SaveSettings());
  // The keys found keep their place and spelling; the missing ones follow
  // the section's last line.
  const std::string head = "[config]\r\nspeed=8\r\n";
  ASSERT_EQ(kUntouchedSettings.substr(0, head.size()), head);
  EXPECT_EQ(ReadFileBytes(f.Settings()),
            "; mine\r\n[window]\r\nleft=10\r\n[CONFIG]\r\nSpeed=8\r\nextra=x\r\n" +
                kUntouchedSettings.substr(head.size()));
}

TEST(SettingsSave, ARoundTripGivesTheSameControls) {
  StoreFixture f;
  f.controls.speedText = "45";
  f.controls.pageLimitText = "76";
  f.controls.startLine = 12;
  f.controls.autoSave = true;
  f.controls.kind = ContactKind::QQ;
  f.controls.engine = Engine::Baidu;
  f.controls.marks = {"m", G("邮 箱"), "'q'", "f"};
  f.controls.visitSites = true;
  ASSERT_TRUE(f.store.SaveSettings());
  // A switch added later is written once it is on.
  EXPECT_NE(ReadFileBytes(f.Settings()).find("\r\nfangwenwangzhan=1\r\n"), std::string::npos);
  FakeSettingsControls loaded;
  BuyerList buyers;
  FakeFeedback feedback;
  StateStore(ProgramFiles{f.dir.path(), "brivano.ini"}, loaded, buyers, feedback).Load();
  EXPECT_EQ(loaded.speedText, "45");
  EXPECT_EQ(loaded.pageLimitText, "76");
  EXPECT_EQ(loaded.startLine, 12);
  EXPECT_TRUE(loaded.autoSave);
  EXPECT_FALSE(loaded.dedup);
  EXPECT_EQ(loaded.kind, ContactKind::QQ);
  EXPECT_EQ(loaded.engine, Engine::Baidu);
  EXPECT_TRUE(loaded.visitSites);
  // A mark in quotes loses them on the way back, as the file format reads.
  EXPECT_EQ(loaded.marks, (std::array<std::string, 4>{"m", G("邮 箱"), "q", "f"}));
}

// A failed settings write shows "无法写入文件“<path>”", stops the state
// save before the auto-save file, and leaves the former files as they were.
TEST(StateSave, SettingsWriteFailures) {
  struct Case {
    const char* name;
    std::function<bool(StoreFixture&)> breakIt;  // false: cannot be set up here
  } cases[] = {
      {"read-only folder", [](StoreFixture& f) { return MakeFolderReadOnly(f.dir.path()); }},
      {"disk full", [](StoreFixture&) { return true; }},
      {"settings path is a folder",
       [](StoreFixture& f) {
         std::filesystem::remove(f.Settings());
         return std::filesystem::create_directory(f.Settings());
       }},
  };
  for (const Case& c : cases) {
    StoreFixture f;
    f.dir.Write("brivano.ini", kUntouchedSettings);
    f.dir.Write("autosave.txt", "old\r\n");
    f.buyers.Append("13800000000", ContactKind::Mobile);
    f.controls.speedText = "30";
    if (!c.breakIt(f)) {
      std::cout << "[ NOTE     ] " << c.name << ": cannot be set up on this machine\n";
      continue;
    }
    const std::string formerSettings =
        std::filesystem::is_directory(f.Settings()) ? "" : ReadFileBytes(f.Settings());
    bool saved;
    if (std::string(c.name) == "disk full") {
      ScopedWriteFault fault(40, ENOSPC);
      saved = f.store.SaveState();
    } else {
      saved = f.store.SaveState();
    }
    EXPECT_FALSE(saved) << c.name;
    EXPECT_EQ(f.feedback.errors,
              std::vector<std::string>{"无法写入文件“" + f.Settings().string() + "”"})
        << c.name;
    if (!formerSettings.empty()) {
      EXPECT_EQ(ReadFileBytes(f.Settings()), formerSettings) << c.name;
    }
    EXPECT_EQ(ReadFileBytes(f.AutoSave()), "old\r\n") << c.name;
    EXPECT_TRUE(f.feedback.messages.empty());
    Unmount(f.dir.path());
  }
}

TEST(StateSave, AMissingFolderIsReported) {
  TempDir dir;
  FakeSettingsControls controls;
  BuyerList buyers;
  FakeFeedback feedback;
  const auto folder = dir.path() / "gone";
  StateStore store(ProgramFiles{folder, "brivano.ini"}, controls, buyers, feedback);
  EXPECT_FALSE(store.SaveState());
  EXPECT_EQ(feedback.errors,
            std::vector<std::string>{"无法写入文件“" + (folder / "brivano.ini").string() + "”"});
  EXPECT_FALSE(std::filesystem::exists(folder));
}

// Killed at any byte of either file, the state save leaves the former
// files whole: the old settings and the old auto-save file, or the new
// settings and the old auto-save file.
TEST(StateSave, AKilledStateSaveLeavesTheFormerFiles) {
  StoreFixture f;
  f.dir.Write("brivano.ini", kUntouchedSettings);
  f.dir.Write("autosave.txt", "old\r\n");
  f.controls.speedText = "99";
  for (int i = 0; i < 5; ++i)
    f.buyers.Append(std::to_string(13800000000ll + i), ContactKind::Mobile);
  const std::uint64_t settingsSize = kUntouchedSettings.size() + 1;  // "99" for "8"
  for (std::uint64_t killAt = 0; killAt <= settingsSize; ++killAt) {
    ASSERT_TRUE(KilledDuringWrite(killAt, [&] { f.store.SaveState(); })) << killAt;
    ASSERT_EQ(ReadFileBytes(f.Settings()), kUntouchedSettings) << killAt;
    ASSERT_EQ(ReadFileBytes(f.AutoSave()), "old\r\n") << killAt;
  }
  ASSERT_TRUE(f.store.SaveSettings());
  const std::string newSettings = ReadFileBytes(f.Settings());
  ASSERT_EQ(newSettings.size(), settingsSize);
  for (std::uint64_t killAt = 0; killAt <= 5 * 13; ++killAt) {
    ASSERT_TRUE(KilledDuringWrite(killAt, [&] { (void)f.store.WriteAutoSaveFile(); })) << killAt;
    ASSERT_EQ(ReadFileBytes(f.AutoSave()), "old\r\n") << killAt;
    ASSERT_EQ(ReadFileBytes(f.Settings()), newSettings) << killAt;
  }
  // Leftover temporary files are all a kill leaves behind.
  for (const std::string& name : FolderNames(f.dir.path())) {
    EXPECT_TRUE(name == "brivano.ini" || name == "autosave.txt" || name.ends_with(".tmp")) << name;
  }
}

TEST(SettingsFileName, FromTheExecutableName) {
  struct Case {
    const char* executable;
    const char* settings;
  } cases[] = {
      {"Harvest.EXE", "harvest.ini"}, {"brivano.exe", "brivano.ini"},
      {"brivano", "brivano.ini"},  // no extension: not "brivini"
      {"Brivano", "brivano.ini"},     {"brivano.x86_64", "brivano.ini"},
      {"my.tool.bin", "my.tool.ini"}, {".brivano", ".brivano.ini"},
      {"ÄRGER.EXE", "ärger.ini"},     {"", "brivano.ini"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SettingsFileNameFor(c.executable), c.settings) << c.executable;
}

TEST(ProgramFilesLocation, TheUserFoldersFollowTheXdgBaseDirectories) {
  struct Case {
    const char* xdgConfigHome;
    const char* xdgDataHome;
    const char* home;
    const char* passwdHome;
    const char* config;
    const char* data;
  } cases[] = {
      {"/x/config", "/x/data", "/h", "/p", "/x/config/brivano", "/x/data/brivano"},
      {"", "", "/h", "/p", "/h/.config/brivano", "/h/.local/share/brivano"},
      // A relative one is ignored.
      {"relative", "data", "/h", "/p", "/h/.config/brivano", "/h/.local/share/brivano"},
      {nullptr, nullptr, nullptr, "/p", "/p/.config/brivano", "/p/.local/share/brivano"},
      {nullptr, "/d", "", "/p", "/p/.config/brivano", "/d/brivano"},
      // Never /tmp, which anyone can take first.
      {nullptr, nullptr, nullptr, nullptr, "", ""},
      {nullptr, nullptr, "~", "", "", ""},
  };
  for (const Case& c : cases) {
    const UserFolders folders =
        UserFoldersFrom(c.xdgConfigHome, c.xdgDataHome, c.home, c.passwdHome);
    EXPECT_EQ(folders.config, c.config) << c.config;
    EXPECT_EQ(folders.data, c.data) << c.data;
  }
}

// An installed program with no configuration folder keeps its files in its
// own folder when it can write there, rather than in a shared one.
TEST(ProgramFilesLocation, NoHomeFolder) {
  TempDir dir;
  const auto bin = dir.path() / "bin";
  std::filesystem::create_directories(bin);
  EXPECT_EQ(LocateProgramFiles(bin / "brivano", {}).folder, bin);
  EXPECT_EQ(LocateProgramFiles(bin / "brivano", {}).StorePath(), bin / "brivano.db");
  const auto blocked = dir.Write("file", "");  // a folder cannot be made inside a file
  EXPECT_EQ(LocateProgramFiles(bin / "brivano", {blocked / "brivano", blocked / "data"}).folder,
            bin);
}

TEST(ProgramFilesLocation, ExecutableFolderWhenWritableElseTheUserFolders) {
  TempDir dir;
  const auto programFolder = dir.path() / "Brivano";
  const UserFolders user{dir.path() / "home" / ".config" / "brivano",
                         dir.path() / "home" / ".local" / "share" / "brivano"};
  std::filesystem::create_directories(programFolder);

  ProgramFiles files = LocateProgramFiles(programFolder / "Brivano", user);
  EXPECT_EQ(files.folder, programFolder);
  EXPECT_EQ(files.SettingsPath(), programFolder / "brivano.ini");
  EXPECT_EQ(files.KeywordStorePath(), programFolder / "brivanobody.ini");
  EXPECT_EQ(files.AutoSavePath(), programFolder / "autosave.txt");
  EXPECT_EQ(files.StorePath(), programFolder / "brivano.db");
  EXPECT_FALSE(std::filesystem::exists(user.config));

  // A missing folder cannot be written either.
  files = LocateProgramFiles(dir.path() / "nowhere" / "brivano", user);
  EXPECT_EQ(files.SettingsPath(), user.config / "brivano.ini");
  EXPECT_EQ(files.StorePath(), user.data / "brivano.db");
  EXPECT_TRUE(std::filesystem::is_directory(user.config));  // created for the first save
  EXPECT_TRUE(std::filesystem::is_directory(user.data));

  if (!MakeFolderReadOnly(programFolder)) GTEST_SKIP() << "cannot make a read-only folder here";
  files = LocateProgramFiles(programFolder / "brivano", user);
  Unmount(programFolder);
  EXPECT_EQ(files.SettingsPath(), user.config / "brivano.ini");
  EXPECT_EQ(files.AutoSavePath(), user.data / "autosave.txt");
}

// An installed program keeps its settings and its data per user even where
// it could write beside itself, as root can in /usr/bin.
TEST(ProgramFilesLocation, InstalledProgramUsesTheUserFolders) {
  struct Case {
    const char* executable;
    bool installed;
  };
  const Case cases[] = {
      {"/usr/bin/brivano", true},
      {"/usr/local/bin/brivano", true},
      {"/opt/brivano/bin/brivano", true},
      {"/home/li/.local/bin/brivano", true},
      {"/home/li/Brivano/brivano", false},
      {"/work/build/app/brivano", false},
      {"/home/li/bin.old/brivano", false},
      {"/home/li/sbin/brivano", false},
      {"brivano", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsInstalledExecutable(c.executable), c.installed) << c.executable;

  TempDir dir;
  const auto prefix = dir.path() / "usr";
  const UserFolders user{dir.path() / "config", dir.path() / "data"};
  std::filesystem::create_directories(prefix / "bin");
  const ProgramFiles files = LocateProgramFiles(prefix / "bin" / "brivano", user);
  EXPECT_EQ(files.SettingsPath(), user.config / "brivano.ini");
  EXPECT_EQ(files.KeywordStorePath(), user.data / "brivanobody.ini");
  EXPECT_EQ(files.AutoSavePath(), user.data / "autosave.txt");
  EXPECT_EQ(files.StorePath(), user.data / "brivano.db");
}

// Earlier versions kept the data beside the settings: the first start moves
// it over whole, writes over nothing, and leaves a live run's store alone.
TEST(ProgramFilesLocation, DataMovesOverOnceWithoutLosingAny) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "usr" / "bin");
  const auto brivano = dir.path() / "usr" / "bin" / "brivano";
  const UserFolders user{dir.path() / "config", dir.path() / "data"};
  std::filesystem::create_directories(user.config);
  std::filesystem::create_directories(user.data);
  const char* moved[] = {"brivanobody.ini", "autosave.txt",   "brivano-run.ini",
                         "brivano.db",      "brivano.db-wal", "brivano.db-shm"};
  for (const char* name : moved) dir.Write(std::string("config/") + name, name);
  dir.Write("config/brivano.ini", "[config]");
  dir.Write("config/engines.ini", "[baidu]");
  dir.Write("config/brivanobody.ini.bak", "old");
  dir.Write("data/brivanobody.ini.bak", "new");  // both kept

  LocateProgramFiles(brivano, user);
  for (const char* name : moved) {
    EXPECT_EQ(ReadFileBytes(user.data / name), name) << name;
    EXPECT_FALSE(std::filesystem::exists(user.config / name)) << name;
  }
  EXPECT_EQ(ReadFileBytes(user.config / "brivano.ini"), "[config]");
  EXPECT_EQ(ReadFileBytes(user.config / "engines.ini"), "[baidu]");
  EXPECT_EQ(ReadFileBytes(user.config / "brivanobody.ini.bak"), "old");
  EXPECT_EQ(ReadFileBytes(user.data / "brivanobody.ini.bak"), "new");

  // A store that a live process's run holds stays where that process writes.
  dir.Write("config/autosave.txt", "later");
  dir.Write("config/brivano.db", "live");
  const int lock = ::open((user.config / "brivano.db.1-2.lock").c_str(), O_RDWR | O_CREAT, 0644);
  ASSERT_EQ(::flock(lock, LOCK_EX), 0);
  LocateProgramFiles(brivano, user);
  EXPECT_EQ(ReadFileBytes(user.config / "brivano.db"), "live");
  EXPECT_EQ(ReadFileBytes(user.config / "autosave.txt"), "later");
  ::close(lock);
}

// brivano-cli in the build tree finds the store of the brivano built beside
// it; installed, or alone in a folder, each finds `brivano` beside itself.
TEST(ProgramFilesLocation, AllProgramsFindTheDesktopProgramsFiles) {
  TempDir dir;
  for (const char* folder : {"build/app", "build/cli", "usr/bin"})
    std::filesystem::create_directories(dir.path() / folder);
  dir.Write("build/app/brivano", "");
  dir.Write("usr/bin/brivano", "");
  struct Case {
    const char* self;
    const char* brivano;
  } cases[] = {
      {"build/cli/brivano-cli", "build/app/brivano"},
      {"build/app/brivano-run", "build/app/brivano"},
      {"usr/bin/brivano-cli", "usr/bin/brivano"},
      {"alone/cli/brivano-cli", "alone/cli/brivano"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DesktopProgramPath(dir.path() / c.self), dir.path() / c.brivano) << c.self;
}

TEST(ProgramFilesLocation, TheRunningExecutable) {
  const std::filesystem::path self = ExecutablePath();
  EXPECT_EQ(self.filename(), "test_settings_store");
  EXPECT_TRUE(std::filesystem::exists(self));
  EXPECT_EQ(CurrentUserFolders().config.filename(), "brivano");
  EXPECT_EQ(CurrentUserFolders().data.parent_path().filename(), "share");
}

}  // namespace
}  // namespace brivano::testing
