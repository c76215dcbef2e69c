#include "base/local_time.h"

#include <cstdio>
#include <ctime>

namespace brivano {
namespace {

bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
  value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

std::optional<LocalTime> LocalTimeOfUtc(std::string_view text) {
  if (text.ends_with('Z')) text.remove_suffix(1);
  std::tm utc{};
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
      text[16] != ':' || !Digits(text, 0, 4, utc.tm_year) || !Digits(text, 5, 2, utc.tm_mon) ||
      !Digits(text, 8, 2, utc.tm_mday) || !Digits(text, 11, 2, utc.tm_hour) ||
      !Digits(text, 14, 2, utc.tm_min) || !Digits(text, 17, 2, utc.tm_sec)) {
    return std::nullopt;
  }
  utc.tm_year -= 1900;
  utc.tm_mon -= 1;
  const std::time_t when = ::timegm(&utc);
  std::tm local{};
  if (when == static_cast<std::time_t>(-1) || ::localtime_r(&when, &local) == nullptr) {
    return std::nullopt;
  }
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                   local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string LocalTimeText(const LocalTime& time) {
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day,
                time.hour, time.minute, time.second);
  return text;
}

std::string UtcNowIso8601() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

}  // namespace brivano
