// What the user has set for a run, read in one go wherever it is needed: the
// run reads it afresh at every step, the settings file stores it. Also the
// ranges of the two numbers and the status bar's panels.
#pragma once

#include <array>
#include <string>

#include "base/contact_kind.h"
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

struct RunOptions {
  // The two numbers as the user left their boxes' text; text that is no
  // number reads as the box's minimum.
  std::string speedText = "8";
  std::string pageLimitText = "10";
  bool dedup = false;     // 去重
  bool autoSave = false;  // 自动存盘
  ContactKind kind = ContactKind::Mobile;
  Engine engine = Engine::So360;
  std::array<std::string, 4> marks;  // GBK, by contact kind
  bool crossRunDedup = false;        // 跨次去重: skip values earlier runs harvested
  bool validate = false;             // 号码校验: drop values that are no valid contact

  const std::string& Mark(ContactKind k) const { return marks[static_cast<std::size_t>(k)]; }
};

// Whatever holds the options: the main window, a test's fake.
class RunOptionsSource {
 public:
  virtual ~RunOptionsSource() = default;
  virtual RunOptions Options() const = 0;
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
  Message,
};
inline constexpr int kStatusPanelCount = 9;

}  // namespace brivano
