#include "batch/settings_copy.h"

#include "search/search_run.h"

namespace brivano {

std::int32_t SettingsCopy::StartLine() const {
  return run_ != nullptr ? run_->ResumeLine() : loadedStartLine_;
}

}  // namespace brivano
