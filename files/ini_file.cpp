#include "files/ini_file.h"

#include "base/integer_text.h"
#include "base/text.h"

namespace brivano {
namespace {

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && LowerAscii(a) == LowerAscii(b);
}

// The name of a section header line ("[config]"), or false for other lines.
bool SectionName(std::string_view line, std::string_view& name) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() != '[') return false;
  const std::size_t close = line.find(']');
  name = TrimBlanks(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
  return true;
}

// Splits "key=value"; false for a line without "=".
bool KeyAndValue(std::string_view line, std::string_view& key, std::string_view& value) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  key = TrimBlanks(line.substr(0, equals));
  value = line.substr(equals + 1);
  return true;
}

std::string_view UnquotedValue(std::string_view raw) {
  std::string_view value = TrimBlanks(raw);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

std::string_view CleanValue(std::string_view raw) {
  std::string_view value = UnquotedValue(raw);
  if (value.size() > IniFile::kMaxValueBytes) {
    // Cut on a character boundary so that no half of a Chinese character is
    // left at the end.
    std::size_t cut = 0;
    while (cut < value.size()) {
      const std::size_t next = cut + GbkCharLength(value, cut);
      if (next > IniFile::kMaxValueBytes) break;
      cut = next;
    }
    value = value.substr(0, cut);
  }
  return value;
}

}  // namespace

IniFile::IniFile(std::string_view content) {
  if (const std::size_t nul = content.find('\0'); nul != std::string_view::npos) {
    unparsed_ = content.substr(nul);
    content = content.substr(0, nul);
  }
  ForEachTextLine(content, std::string_view::npos,
                  [&](std::string_view line) { lines_.emplace_back(line); });
}

bool IniFile::FindSection(std::string_view section, SectionRange& range) const {
  std::string_view name;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (!SectionName(lines_[i], name) || !SameName(name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && !SectionName(lines_[end], name)) ++end;
    range = {i, end};
    return true;
  }
  return false;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  SectionRange range{};
  if (FindSection(section, range)) {
    std::string_view lineKey, value;
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
      if (KeyAndValue(lines_[i], lineKey, value) && SameName(lineKey, key)) {
        return std::string(CleanValue(value));
      }
    }
  }
  return std::string(defaultValue);
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                                  std::int32_t defaultValue) const {
  return ParseIntegerText(ReadString(section, key, "")).value_or(defaultValue);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  value = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
  SectionRange range{};
  if (!FindSection(section, range)) {
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::string(key) + "=" + std::string(value));
    return;
  }
  std::string_view lineKey, oldValue;
  std::size_t lastFilled = range.header;
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    if (KeyAndValue(lines_[i], lineKey, oldValue) && SameName(lineKey, key)) {
      lines_[i] = std::string(lineKey) + "=" + std::string(value);
      return;
    }
    if (!TrimBlanks(lines_[i]).empty()) lastFilled = i;
  }
  // After the section's last line that is not blank, so that blank lines
  // keep separating it from the next section.
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastFilled + 1),
                std::string(key) + "=" + std::string(value));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

std::string IniFile::Content() const {
  std::string content;
  for (const std::string& line : lines_) {
    content += line;
    content += "\r\n";
  }
  content += unparsed_;
  return content;
}

std::vector<IniFile::Line> IniFile::Lines() const {
  std::vector<Line> lines;
  lines.reserve(lines_.size());
  for (const std::string& text : lines_) {
    const std::string_view trimmed = TrimBlanks(text);
    std::string_view name, value;
    if (trimmed.empty()) {
      lines.push_back({Line::Kind::Blank, {}, {}});
    } else if (trimmed.front() == ';' || trimmed.front() == '#') {
      lines.push_back({Line::Kind::Comment, {}, {}});
    } else if (SectionName(text, name)) {
      lines.push_back({Line::Kind::Section, std::string(name), {}});
    } else if (KeyAndValue(text, name, value)) {
      lines.push_back({Line::Kind::Key, std::string(name), std::string(UnquotedValue(value))});
    } else {
      lines.push_back({Line::Kind::Other, {}, {}});
    }
  }
  return lines;
}

}  // namespace brivano
