// The user's texts for what went wrong, in Chinese: the system's error
// numbers, and the one form every message of the command-line programs
// takes on standard error.
#pragma once

#include <string>
#include <string_view>

namespace brivano {

// The system's error number in words, "没有那个文件或目录" for ENOENT; a number
// the table does not know reads "未知的错误 N". The program's own table, not
// strerror(): the installed locales decide what strerror says, and a
// machine without a Chinese one would answer in English.
std::string ErrnoText(int error);

// "brivano-cli：无法创建文件“/x/a.txt”：没有那个文件或目录": the program's name,
// a full-width colon and the message, as each program prints it on standard
// error.
std::string ErrorLine(std::string_view program, std::string_view message);

}  // namespace brivano
