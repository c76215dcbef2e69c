#include "base/arguments.h"

namespace brivano {

Arguments::Arguments(std::span<char* const> args)
    : args_(args.begin(), args.end()), used_(args_.size(), false), optionsEnd_(args_.size()) {
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (args_[i] == "--") {
      optionsEnd_ = i;
      used_[i] = true;
      break;
    }
  }
}

std::optional<std::size_t> Arguments::Find(std::string_view name) const {
  std::optional<std::size_t> found;
  for (std::size_t i = 0; i < optionsEnd_; ++i) {
    if (used_[i] || args_[i] != name) continue;
    if (found) throw UsageError{"选项 " + std::string(name) + " 给了两次"};
    found = i;
  }
  return found;
}

std::optional<std::string> Arguments::Option(std::string_view name) {
  const std::optional<std::size_t> i = Find(name);
  if (!i) return std::nullopt;
  if (*i + 1 >= optionsEnd_) throw UsageError{"选项 " + std::string(name) + " 缺少值"};
  used_[*i] = used_[*i + 1] = true;
  return args_[*i + 1];
}

std::vector<std::string> Arguments::RepeatedOption(std::string_view name) {
  std::vector<std::string> values;
  for (std::size_t i = 0; i < optionsEnd_; ++i) {
    if (used_[i] || args_[i] != name) continue;
    if (i + 1 >= optionsEnd_) throw UsageError{"选项 " + std::string(name) + " 缺少值"};
    used_[i] = used_[i + 1] = true;
    values.push_back(args_[++i]);
  }
  return values;
}

bool Arguments::Flag(std::string_view name) {
  const std::optional<std::size_t> i = Find(name);
  if (i) used_[*i] = true;
  return i.has_value();
}

std::vector<std::string> Arguments::Positionals() const {
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (used_[i]) continue;
    if (i < optionsEnd_ && args_[i].size() > 1 && args_[i][0] == '-') {
      throw UsageError{"未知选项 " + args_[i]};
    }
    rest.push_back(args_[i]);
  }
  return rest;
}

bool Arguments::WantsVersion() const {
  for (std::size_t i = 0; i < optionsEnd_; ++i) {
    if (!used_[i] && args_[i] == "--version") return true;
  }
  return false;
}

bool Arguments::WantsHelp() const {
  for (std::size_t i = 0; i < optionsEnd_; ++i) {
    if (!used_[i] && (args_[i] == "--help" || args_[i] == "-h")) return true;
  }
  return false;
}

UsageError UnknownValue(std::string_view what, const std::string& value) {
  return UsageError{"未知的" + std::string(what) + "“" + value + "”"};
}

const std::string& FileName(const std::string& name) {
  if (name.empty()) throw UsageError{"文件名为空"};
  return name;
}

std::int32_t DecimalArgument(std::string_view option, const std::string& text,
                             std::int32_t minimum) {
  std::int64_t value = 0;
  bool valid = !text.empty() && text.size() <= 10;
  for (const char c : text) {
    if (c < '0' || c > '9') valid = false;
    value = value * 10 + (c - '0');
  }
  if (!valid || value < minimum || value > INT32_MAX) {
    throw UsageError{std::string(option) + " 需要不小于 " + std::to_string(minimum) +
                     " 的十进制整数"};
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace brivano
