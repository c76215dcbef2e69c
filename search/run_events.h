// What a run announces as it goes, to whoever listens: the window's status
// bar and controls, brivano-run's progress printer, the tests. A listener
// only hears; what the run needs answered it asks its host (RunHost). Every
// text here is GBK.
#pragma once

#include <cstdint>
#include <string>

#include "base/contact_value.h"
#include "search/harvest_recorder.h"
#include "search/run_interfaces.h"
#include "search/run_summary.h"

namespace brivano {

struct RunStart {
  int keywordLines = 0;
  std::int32_t firstLine = 1;   // the line of the first keyword the run reads
  std::int32_t valuesKept = 0;  // the list it goes on with (after a crash), else 0
};

struct PageRequest {
  std::int32_t keywordLine = 0;  // 1-based
  long long page = 1;            // 1-based page of the keyword
};

// A page that did not load and is asked for again.
struct PageRetry {
  long long page = 1;
  std::string utf8Reason;  // what went wrong, for the user
  long long waitMs = 0;    // until it is asked for again
  int retry = 1;           // this is the retry-th of `retries`
  int retries = 1;
};

struct RunEnd {
  RunOutcome outcome = RunOutcome::Finished;
  RunSummary summary;
  std::int32_t resumeLine = 1;  // where a later run must start so that nothing is skipped
  std::string note;             // what the recorder adds to the closing message
  // The state save at the end failed (and said so): a window keeps its run
  // controls as they are.
  bool saved = true;
};

class RunListener {
 public:
  virtual ~RunListener() = default;
  virtual void RunStarted(const RunStart&) {}
  // What the run is doing now, for a status line.
  virtual void Status(const std::string&) {}
  virtual void PageRequested(const PageRequest&) {}
  virtual void PageRetried(const PageRetry&) {}
  // A value went into the buyer list; `valuesKept` counts the list.
  virtual void ValueKept(const ContactValue&, std::int32_t /*valuesKept*/) {}
  // A page step is over (read, empty, given up or a wall), once the run
  // knows whether its keyword has a further page.
  virtual void PageDone(const HarvestedPage&, bool /*keywordDone*/) {}
  virtual void Paused(PauseReason, const std::string& /*message*/) {}
  virtual void Resumed(PauseReason) {}
  // 终止: the run ends after the page in hand, or at once when it waits.
  virtual void Stopping() {}
  virtual void SitesProgressed(const SiteProgress&) {}
  virtual void RunEnded(const RunEnd&) {}
};

}  // namespace brivano
