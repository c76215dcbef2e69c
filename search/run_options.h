// What the user has set for a run, as numbers, choices and flags: the front
// end reads them from its boxes or command line once and hands them to the
// run (the window again whenever the user changes a box during a run); the
// settings file stores them. Also the ranges of the two numbers and the
// status bar's panels.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "base/contact_kind.h"
#include "base/integer_text.h"
#include "search/engine_table.h"

namespace brivano {

struct SpinRange {
  int minimum;
  int maximum;
  int initial;
};
// Seconds each result page gets to load.
inline constexpr SpinRange kSpeedRange{3, 1000, 8};
// Result pages per keyword.
inline constexpr SpinRange kPageLimitRange{1, 76, 10};

// A spin box's number as its text stands: the number written, however far
// outside the box's range (the settings file keeps it so), or the box's
// minimum when the text is no number.
inline int SpinTextValue(std::string_view text, const SpinRange& range) {
  return ParseIntegerText(text).value_or(range.minimum);
}

struct RunOptions {
  int speed = kSpeedRange.initial;          // seconds, as SpinTextValue reads the box
  int pageLimit = kPageLimitRange.initial;  // pages per keyword, the same
  bool dedup = false;                       // 去重
  bool autoSave = false;                    // 自动存盘
  ContactKind kind = ContactKind::Mobile;
  Engine engine = Engine::So360;
  std::array<std::string, 4> marks;  // GBK, by contact kind
  bool crossRunDedup = false;        // 跨次去重: skip values earlier runs harvested
  bool validate = false;             // 号码校验: drop values that are no valid contact
  bool visitSites = false;           // 访问网站: harvest the result sites' own pages too

  const std::string& Mark(ContactKind k) const { return marks[static_cast<std::size_t>(k)]; }
};

// The status bar's panels, left to right: captions and the values beside
// them, then the message.
enum class StatusPanel {
  KeywordCountCaption,
  KeywordCount,
  KeywordLineCaption,
  KeywordLine,
  PageCaption,
  Page,
  BuyerCountCaption,
  BuyerCount,
  Sites,  // "网站 12/30" while a run visits sites
  Message,
};
inline constexpr int kStatusPanelCount = 10;

}  // namespace brivano
