// Where the run hands every page's accepted values with their provenance,
// beside the buyer list: the harvest store in the program. It may also hold
// a value back (one harvested by an earlier run, or one that is no valid
// contact) before the buyer list takes it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/contact_kind.h"
#include "search/engine_table.h"
#include "search/run_options.h"

namespace brivano {

struct HarvestedValue {
  std::string value;  // GBK
  ContactKind kind;
};

// How a page step ended: read (with result blocks or where the engine does
// not say), read without any result, not loaded after every try, or
// answered with a verification page.
enum class PageOutcome { Read, Empty, Failed, Wall };

// One finished page step.
struct HarvestedPage {
  std::int32_t keywordLine = 0;  // 1-based
  std::string keyword;           // GBK
  Engine engine = Engine::So360;
  std::int32_t page = 1;  // 1-based page of the keyword
  std::string address;    // the page's address as requested
  std::vector<HarvestedValue> values;
  PageOutcome outcome = PageOutcome::Read;
};

// Finished with keywords given up is Failed: they are to be run again.
enum class RunOutcome { Finished, Stopped, Failed };

class HarvestRecorder {
 public:
  virtual ~HarvestRecorder() = default;
  virtual void RunStarted(const RunOptions& options) = 0;
  // Whether the buyer list may take the value; false holds it back.
  virtual bool Accepts(std::string_view value, ContactKind kind) = 0;
  // The page's accepted values, all kept or none; failed pages and walls
  // come with no values.
  virtual void PageHarvested(const HarvestedPage& page) = 0;
  virtual void RunEnded(RunOutcome outcome) = 0;
  // The run's closing message may name values that were held back as no
  // valid contact; empty when there is nothing to say (GBK).
  virtual std::string EndNote() const = 0;
};

}  // namespace brivano
