// brivano-cli against bad arguments, special files as outputs, failing
// standard output and endless inputs: each case with its exit status and
// message, and what became of the output.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <functional>

#include "base/text.h"
#include "base/version.h"
#include "testing/cli_runner.h"

namespace brivano::testing {
namespace {

// A scratch folder with an input, devices like /dev/null and /dev/full of
// its own (made with mknod where the tests may, else the system's, which a
// user without rights cannot replace either), a FIFO and a socket.
struct Scratch {
  TempDir dir;
  std::filesystem::path input = dir.Write("a.txt", "b\r\na\r\nB\r\n");
  std::filesystem::path page = dir.Write("page.txt", "tel 13800000000\r\n");
  std::filesystem::path nullDevice = Device("null", 3);
  std::filesystem::path fullDevice = Device("full", 7);
  std::filesystem::path fifo = dir.path() / "fifo";
  std::filesystem::path socket = dir.path() / "socket";
  int fifoFd = -1;
  int socketFd = -1;

  Scratch() {
    ::mkfifo(fifo.c_str(), 0600);
    // Held open for reading and writing, so that the program's open for
    // writing does not wait for a reader, and what it writes stays readable.
    fifoFd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socket.c_str());
    ::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  }
  ~Scratch() {
    ::close(fifoFd);
    ::close(socketFd);
  }
  std::filesystem::path Device(const char* name, unsigned minor) const {
    const auto path = dir.path() / name;
    if (::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0) return path;
    return std::filesystem::path("/dev") / name;
  }
  std::string FifoContent() const {
    std::string content(4096, '\0');
    const ssize_t got = ::read(fifoFd, content.data(), content.size());
    content.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return content;
  }
  std::string Q(const std::filesystem::path& path) const { return ShellQuote(path.string()); }
};

bool IsCharDevice(const std::filesystem::path& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

struct BadInputCase {
  const char* name;
  std::function<std::string(const Scratch&)> arguments;
  CliStreams streams;
  int exitCode;
  std::string errorPart;                // found in standard error; "" = empty
  std::optional<std::string> out;       // standard output, when checked
  std::function<void(Scratch&)> after;  // checks what became of the files
};

const std::string kMerged = "a\r\nb\r\n";
const std::string kDone = "文件合并去重完毕！共计：2\n";
const std::string kNoSpace = "设备上没有空间";
const std::string kStdoutFull = "brivano-cli：无法写入标准输出：" + kNoSpace;

TEST(CliBadInput, ExitStatusMessageAndOutput) {
  const std::vector<BadInputCase> cases = {
      // Special files as outputs are written into, never replaced.
      {"merge into a device",
       [](const Scratch& s) { return "merge -o " + s.Q(s.nullDevice) + " " + s.Q(s.input); },
       {},
       0,
       "",
       kDone,
       [](Scratch& s) { EXPECT_TRUE(IsCharDevice(s.nullDevice)); }},
      {"keywords into a device",
       [](const Scratch& s) {
         return "keywords -o " + s.Q(s.nullDevice) + " " + s.Q(s.input) + " " + s.Q(s.input);
       },
       {},
       0,
       "",
       "",
       [](Scratch& s) { EXPECT_TRUE(IsCharDevice(s.nullDevice)); }},
      {"merge into a full device",
       [](const Scratch& s) { return "merge -o " + s.Q(s.fullDevice) + " " + s.Q(s.input); },
       {},
       1,
       "brivano-cli：无法创建文件“",
       "",
       [](Scratch& s) { EXPECT_TRUE(IsCharDevice(s.fullDevice)); }},
      {"keywords into a full device",
       [](const Scratch& s) {
         return "keywords " + s.Q(s.input) + " " + s.Q(s.input) + " -o " + s.Q(s.fullDevice);
       },
       {},
       1,
       kNoSpace,
       "",
       [](Scratch& s) { EXPECT_TRUE(IsCharDevice(s.fullDevice)); }},
      {"merge into a FIFO",
       [](const Scratch& s) { return "merge -o " + s.Q(s.fifo) + " " + s.Q(s.input); },
       {},
       0,
       "",
       kDone,
       [](Scratch& s) {
         EXPECT_EQ(s.FifoContent(), kMerged);
         EXPECT_TRUE(std::filesystem::is_fifo(s.fifo));
       }},
      {"merge into a socket",
       [](const Scratch& s) { return "merge -o " + s.Q(s.socket) + " " + s.Q(s.input); },
       {},
       1,
       "没有那个设备或地址",
       "",
       [](Scratch& s) { EXPECT_TRUE(std::filesystem::is_socket(s.socket)); }},
      {"merge into a folder",
       [](const Scratch& s) { return "merge -o " + s.Q(s.dir.path()) + " " + s.Q(s.input); },
       {},
       1,
       "是一个目录",
       "",
       nullptr},
      {"merge into a missing folder",
       [](const Scratch& s) {
         return "merge -o " + s.Q(s.dir.path() / "gone" / "m.txt") + " " + s.Q(s.input);
       },
       {},
       1,
       "没有那个文件或目录",
       "",
       nullptr},
      {"merge onto its input",
       [](const Scratch& s) { return "merge -o " + s.Q(s.input) + " " + s.Q(s.input); },
       {},
       1,
       "是同一个文件",
       "",
       [](Scratch& s) { EXPECT_EQ(ReadFileBytes(s.input), "b\r\na\r\nB\r\n"); }},
      {"merge to /dev/stdout",
       [](const Scratch& s) { return "merge -o /dev/stdout " + s.Q(s.input); },
       {},
       0,
       "",
       kMerged + kDone,
       nullptr},
      // Standard output that cannot be written.
      {"extract to a full disk",
       [](const Scratch& s) { return "extract --kind mobile " + s.Q(s.page); },
       {.stdinFrom = "", .stdoutTo = "/dev/full", .pipeInput = false},
       1,
       kStdoutFull,
       std::nullopt,
       nullptr},
      {"url to a full disk",
       [](const Scratch&) { return std::string("url --engine bing x"); },
       {.stdinFrom = "", .stdoutTo = "/dev/full", .pipeInput = false},
       1,
       kStdoutFull,
       std::nullopt,
       nullptr},
      {"keywords to a full disk",
       [](const Scratch& s) { return "keywords " + s.Q(s.input) + " " + s.Q(s.input); },
       {.stdinFrom = "", .stdoutTo = "/dev/full", .pipeInput = false},
       1,
       kStdoutFull,
       std::nullopt,
       nullptr},
      {"merge's line to a full disk",
       [](const Scratch& s) {
         return "merge -o " + s.Q(s.dir.path() / "m.txt") + " " + s.Q(s.input);
       },
       {.stdinFrom = "", .stdoutTo = "/dev/full", .pipeInput = false},
       1,
       kStdoutFull,
       std::nullopt,
       nullptr},
      {"blocks to a full disk",
       [](const Scratch& s) { return "blocks --engine bing " + s.Q(s.page); },
       {.stdinFrom = "", .stdoutTo = "/dev/full", .pipeInput = false},
       1,
       kStdoutFull,
       std::nullopt,
       nullptr},
      {"blocks of a missing page",
       [](const Scratch& s) { return "blocks --engine baidu " + s.Q(s.dir.path() / "gone.html"); },
       {},
       1,
       "brivano-cli：无法打开文件“",
       "",
       nullptr},
      {"blocks by an unknown engine",
       [](const Scratch& s) { return "blocks --engine google " + s.Q(s.page); },
       {},
       2,
       "brivano-cli：未知的搜索引擎“google”",
       "",
       nullptr},
      // Endless input: the content ends at its first NUL.
      {"extract from /dev/zero",
       [](const Scratch&) { return std::string("extract --kind mobile /dev/zero"); },
       {},
       0,
       "",
       "",
       nullptr},
      {"extract from standard input /dev/zero",
       [](const Scratch&) { return std::string("extract --kind mobile"); },
       {.stdinFrom = "/dev/zero", .stdoutTo = "", .pipeInput = false},
       0,
       "",
       "",
       nullptr},
      {"merge /dev/zero",
       [](const Scratch& s) { return "merge -o " + s.Q(s.dir.path() / "z.txt") + " /dev/zero"; },
       {},
       0,
       "",
       "文件合并去重完毕！共计：0\n",
       [](Scratch& s) { EXPECT_EQ(ReadFileBytes(s.dir.path() / "z.txt"), ""); }},
      // Arguments.
      {"-- ends the options",
       [](const Scratch&) { return std::string("url --engine bing -- -x"); },
       {},
       0,
       "",
       "http://cn.bing.com/search?q=%2D%78%20%E6%89%8B%E6%9C%BA%3A&first=1\n",
       nullptr},
      {"empty file to extract",
       [](const Scratch&) { return std::string("extract --kind qq ''"); },
       {},
       2,
       "brivano-cli：文件名为空",
       "",
       nullptr},
      {"empty merge output",
       [](const Scratch& s) { return "merge -o '' " + s.Q(s.input); },
       {},
       2,
       "brivano-cli：文件名为空",
       "",
       nullptr},
      {"empty keywords input",
       [](const Scratch& s) { return "keywords '' " + s.Q(s.input); },
       {},
       2,
       "brivano-cli：文件名为空",
       "",
       nullptr},
      {"option given twice",
       [](const Scratch&) { return std::string("url --engine bing --engine baidu x"); },
       {},
       2,
       "brivano-cli：选项 --engine 给了两次",
       "",
       nullptr},
      {"flag given twice",
       [](const Scratch&) { return std::string("extract --kind qq --dedup --dedup"); },
       {},
       2,
       "brivano-cli：选项 --dedup 给了两次",
       "",
       nullptr},
      {"hexadecimal page",
       [](const Scratch&) { return std::string("url --engine bing --page 0x10 x"); },
       {},
       2,
       "--page 需要不小于 1 的十进制整数",
       "",
       nullptr},
      {"dollar page",
       [](const Scratch&) { return std::string("url --engine bing --page '$10' x"); },
       {},
       2,
       "--page 需要不小于 1 的十进制整数",
       "",
       nullptr},
      {"signed threads",
       [](const Scratch&) { return std::string("extract --kind qq --threads +2"); },
       {},
       2,
       "--threads 需要不小于 1 的十进制整数",
       "",
       nullptr},
      {"--help",
       [](const Scratch&) { return std::string("--help"); },
       {},
       0,
       "",
       std::nullopt,
       nullptr},
      {"-h", [](const Scratch&) { return std::string("-h"); }, {}, 0, "", std::nullopt, nullptr},
      {"help merge",
       [](const Scratch&) { return std::string("help merge"); },
       {},
       0,
       "",
       "usage:\n  brivano-cli merge -o OUT FILE...\n",
       nullptr},
      {"merge --help",
       [](const Scratch&) { return std::string("merge --help"); },
       {},
       0,
       "",
       "usage:\n  brivano-cli merge -o OUT FILE...\n",
       nullptr},
      {"help of no command",
       [](const Scratch&) { return std::string("help bogus"); },
       {},
       2,
       "brivano-cli：help 只接受一个命令",
       "",
       nullptr},
  };
  for (const BadInputCase& c : cases) {
    SCOPED_TRACE(c.name);
    Scratch scratch;
    const CliResult r = RunCli(c.arguments(scratch), "", c.streams);
    EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
    if (c.errorPart.empty()) {
      EXPECT_EQ(r.err, "");
    } else {
      EXPECT_NE(r.err.find(c.errorPart), std::string::npos) << r.err;
    }
    if (c.out) {
      EXPECT_EQ(r.out, *c.out);
    }
    if (c.after) c.after(scratch);
  }
}

TEST(CliBadInput, HelpListsEveryCommand) {
  const std::string all = RunCli("help").out;
  EXPECT_EQ(RunCli("--help").out, all);
  for (const std::string command :
       {"url", "extract", "merge", "keywords", "export", "rerun", "blocks"}) {
    SCOPED_TRACE(command);
    const std::string usage = "usage:\n  brivano-cli " + command + " ";
    const std::string one = RunCli("help " + command).out;
    EXPECT_TRUE(one.starts_with(usage)) << one;
    EXPECT_EQ(RunCli(command + " --help").out, one);
    EXPECT_NE(all.find(one.substr(std::string("usage:\n").size())), std::string::npos) << all;
  }
  EXPECT_EQ(RunCli("--version").out, "brivano-cli " + std::string(kVersion) + "\n");
}

// Read through a pipe, a page is taken a block at a time; the values must be
// those of the same page read whole: CR LF pairs and lines cut across the
// blocks, lines longer than 4096 bytes (a value past that point is not
// read), and text that is only known to be UTF-8 or GBK at its end.
TEST(CliBadInput, PipedPagesGiveWhatFilesGive) {
  TempDir dir;
  std::string page;
  for (int i = 0; page.size() < (3u << 20); ++i) {
    page += "tel 139" + std::to_string(10000000 + i) +
            (i % 3 == 0   ? "\r\n"
             : i % 3 == 1 ? "\r"
                          : "\n");
    if (i % 997 == 0)
      page += std::string(5000, 'x') + " 13800000000 " + std::string(i, 'y') + "\r\n";
    if (i == 70000) page += std::string(3u << 20, 'z') + " 13700000000\n";
  }
  const std::string utf8Tail = "联系 15000000000\n";
  const std::string gbkTail = Utf8ToGbk("联系 15100000000\n");
  for (const std::string& content : {page, page + utf8Tail, page + gbkTail + utf8Tail}) {
    const auto file = dir.Write("page.txt", content);
    for (const char* options : {"--kind mobile", "--kind mobile --encoding gbk",
                                "--kind mobile --encoding utf-8 --dedup"}) {
      SCOPED_TRACE(options);
      const CliResult whole =
          RunCli(std::string("extract ") + options + " " + ShellQuote(file.string()));
      const CliResult piped =
          RunCli(std::string("extract ") + options, "",
                 {.stdinFrom = file.string(), .stdoutTo = "", .pipeInput = true});
      EXPECT_EQ(piped.exitCode, 0) << piped.err;
      EXPECT_GT(whole.out.size(), 100000u);
      EXPECT_EQ(piped.out, whole.out);
    }
  }
}

}  // namespace
}  // namespace brivano::testing
