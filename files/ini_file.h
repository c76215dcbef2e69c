// The settings file's INI format with the desktop's profile-file semantics:
// section and key names match without regard to ASCII letter case; a value is
// read with blanks removed at both ends and without a matching pair of
// enclosing quotation marks, at most 2047 bytes of it; writing replaces a
// key's value in place or adds the key at the end of its section, creating
// the section when it is missing. The file is GBK text whose lines end with
// CR LF; other lines (other sections, comments) are kept as they stand.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brivano {

class IniFile {
 public:
  static constexpr std::size_t kMaxValueBytes = 2047;

  IniFile() = default;
  // Parses a file's content: it ends at its first NUL byte, and CR LF, a
  // lone CR and a lone LF each end a line. The bytes from that NUL on are
  // kept as they stand and written back after the parsed lines: they are
  // the user's, even if the program cannot read them.
  explicit IniFile(std::string_view content);

  // The value of the first matching key of the first matching section, or
  // `defaultValue` when there is none.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // "0x"/"0X" or "$" hexadecimal, or decimal with an optional sign; text that
  // is no valid number gives the default.
  std::int32_t ReadInteger(std::string_view section, std::string_view key,
                           std::int32_t defaultValue) const;

  // A value is written up to its first line break or NUL: the rest would
  // start a line of its own and could pose as a further key.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);

  // The file's content: every line ended by CR LF, then the unparsed bytes.
  std::string Content() const;

  // Every line as the reader sees it, in file order, for files whose every
  // line must make sense (lines starting with ";" or "#" are comments).
  struct Line {
    enum class Kind { Blank, Comment, Section, Key, Other };
    Kind kind;
    std::string name;  // the section's or the key's name
    // A key's value, trimmed and unquoted as ReadString gives it but whole:
    // the profile-file limit of 2047 bytes is the settings file's alone.
    std::string value;
  };
  std::vector<Line> Lines() const;

 private:
  struct SectionRange {
    std::size_t header;  // index of the header line
    std::size_t end;     // one past its last line
  };
  bool FindSection(std::string_view section, SectionRange& range) const;

  std::vector<std::string> lines_;
  std::string unparsed_;  // from the first NUL byte on
};

}  // namespace brivano
