// A window's status bar and run controls as a run's events set them: the
// keyword count and line, the page, the values kept and the message, and
// whether the run controls show a run (搜索 off, 终止 on, the contact-kind
// and engine groups off). Texts are GBK.
#pragma once

#include <functional>
#include <string>

#include "search/run_events.h"
#include "search/run_options.h"

namespace brivano {

class RunStatusBar : public RunListener {
 public:
  using SetPanel = std::function<void(StatusPanel panel, const std::string& text)>;
  using SetRunning = std::function<void(bool running)>;
  RunStatusBar(SetPanel setPanel, SetRunning setRunning)
      : setPanel_(std::move(setPanel)), setRunning_(std::move(setRunning)) {}

  void RunStarted(const RunStart& start) override;
  void Status(const std::string& text) override;
  void PageRequested(const PageRequest& request) override;
  void PageRetried(const PageRetry& retry) override;
  void ValueKept(const ContactValue& value, std::int32_t valuesKept) override;
  void Paused(PauseReason reason, const std::string& message) override;
  void Stopping() override;
  void SitesProgressed(const SiteProgress& progress) override;
  void RunEnded(const RunEnd& end) override;

 private:
  SetPanel setPanel_;
  SetRunning setRunning_;
};

}  // namespace brivano
