#include "search/run_status_bar.h"

#include <algorithm>

#include "base/text.h"
#include "search/run_messages.h"

namespace brivano {

void RunStatusBar::RunStarted(const RunStart& start) {
  setRunning_(true);
  setPanel_(StatusPanel::KeywordCount, std::to_string(start.keywordLines));
  setPanel_(StatusPanel::KeywordLine, std::to_string(start.firstLine));
  setPanel_(StatusPanel::BuyerCount, std::to_string(start.valuesKept));
  setPanel_(StatusPanel::Sites, "");
  setPanel_(StatusPanel::Message, Gbk(run_messages::kStarting));
}

void RunStatusBar::Status(const std::string& text) {
  setPanel_(StatusPanel::Message, text);
}

void RunStatusBar::PageRequested(const PageRequest& request) {
  setPanel_(StatusPanel::Page, std::to_string(request.page));
  setPanel_(StatusPanel::KeywordLine, std::to_string(request.keywordLine));
}

void RunStatusBar::PageRetried(const PageRetry& retry) {
  // What went wrong, what happens next and when.
  setPanel_(
      StatusPanel::Message,
      Gbk("第" + std::to_string(retry.page) + "页没有载入：" + retry.utf8Reason + "，" +
          std::to_string(std::max(1LL, retry.waitMs / 1000)) + "秒后重试（第 " +
          std::to_string(retry.retry) + " 次，共 " + std::to_string(retry.retries) + " 次）"));
}

void RunStatusBar::ValueKept(const ContactValue&, std::int32_t valuesKept) {
  setPanel_(StatusPanel::BuyerCount, std::to_string(valuesKept));
}

void RunStatusBar::Paused(PauseReason, const std::string& message) {
  setPanel_(StatusPanel::Message, message);
}

void RunStatusBar::SitesProgressed(const SiteProgress& progress) {
  setPanel_(StatusPanel::Sites, Gbk(SitesProgressText(progress)));
}

void RunStatusBar::Stopping() {
  setRunning_(false);
  setPanel_(StatusPanel::Message, Gbk(run_messages::kStopping));
}

void RunStatusBar::RunEnded(const RunEnd& end) {
  // A failed closing save has said so in its own box; the controls stay.
  if (!end.saved) return;
  setPanel_(StatusPanel::Message,
            Gbk(run_messages::kFinished) + Gbk(RunSummaryText(end.summary)) + end.note);
  setRunning_(false);
}

}  // namespace brivano
