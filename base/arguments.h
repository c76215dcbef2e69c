// The command-line conventions that brivano-cli and brivano-run share:
// "--name value" options and usage errors. It lies in the ground layer so
// that batch/ and cli/ stand side by side rather than one on the other.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brivano {

// Thrown for a usage error; main prints it with the command's usage text.
struct UsageError {
  std::string message;
};

// Walks "--name value" options and positional arguments. "--" ends the
// options: everything after it is positional, also when it starts with "-".
class Arguments {
 public:
  explicit Arguments(std::span<char* const> args);
  // The value of an option that takes one, or std::nullopt when absent. An
  // option given twice is a usage error.
  std::optional<std::string> Option(std::string_view name);
  bool Flag(std::string_view name);
  // Every value of an option that may be given more than once, in order.
  std::vector<std::string> RepeatedOption(std::string_view name);
  // What is left once every option has been taken; an unknown option is a
  // usage error.
  std::vector<std::string> Positionals() const;
  // Whether --help or -h stands among the options.
  bool WantsHelp() const;
  // Whether --version stands among the options.
  bool WantsVersion() const;

 private:
  std::optional<std::size_t> Find(std::string_view name) const;

  std::vector<std::string> args_;
  std::vector<bool> used_;
  std::size_t optionsEnd_;  // index of "--", or the number of arguments
};

// The usage error for a value an option does not know: "未知的搜索引擎“google”"
// for what = "搜索引擎".
UsageError UnknownValue(std::string_view what, const std::string& value);

// A file name given on the command line; an empty one is a usage error
// rather than a silent "standard input".
const std::string& FileName(const std::string& name);

// A number given on the command line: decimal digits only (no sign, no
// hexadecimal, no "$"), at least `minimum`.
std::int32_t DecimalArgument(std::string_view option, const std::string& text,
                             std::int32_t minimum);

}  // namespace brivano
