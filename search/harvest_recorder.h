// Where the run hands every page's accepted values with their provenance,
// beside the buyer list: the harvest store in the program. It may also hold
// a value back (one harvested by an earlier run, or one that is no valid
// contact) before the buyer list takes it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/contact_kind.h"
#include "base/contact_value.h"
#include "search/engine_table.h"
#include "search/run_options.h"

namespace brivano {

// Finished with keywords given up is Failed: they are to be run again.
enum class RunOutcome { Finished, Stopped, Failed };

class HarvestRecorder {
 public:
  virtual ~HarvestRecorder() = default;
  virtual void RunStarted(const RunOptions& options) = 0;
  // The store's number for the run in hand, kept with every value's
  // source; 0 when there is none.
  virtual std::int64_t RunId() const = 0;
  // Whether the buyer list may take the value; false holds it back.
  virtual bool Accepts(std::string_view value, ContactKind kind) = 0;
  // The page's accepted values, all kept or none, all of the page's source;
  // failed pages and walls come with no values.
  virtual void PageHarvested(const HarvestedPage& page) = 0;
  virtual void RunEnded(RunOutcome outcome) = 0;
  // The run's closing message may name values that were held back as no
  // valid contact; empty when there is nothing to say (GBK).
  virtual std::string EndNote() const = 0;
};

}  // namespace brivano
