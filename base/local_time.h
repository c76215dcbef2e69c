// The harvest store keeps its times in UTC ("2026-12-07T17:42:11Z"); a
// person reading an export wants them on the clock of the machine's time
// zone.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brivano {

struct LocalTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// "2026-12-07T17:42:11Z" (the "Z" may be left out) in the time zone the
// system or TZ names; std::nullopt for a text of another form.
std::optional<LocalTime> LocalTimeOfUtc(std::string_view utcIso8601);

// "2026-12-08 01:42:11".
std::string LocalTimeText(const LocalTime& time);

// The current time as ISO 8601 UTC to the second: "2026-12-07T13:17:48Z".
std::string UtcNowIso8601();

}  // namespace brivano
