// The result sites' pages for 访问网站, fetched with libcurl on a thread of
// its own; the answers come back through Qt's event loop, on the thread that
// made the fetcher.
#pragma once

#include <QObject>
#include <memory>
#include <vector>

#include "visit/address_safety.h"
#include "visit/curl_fetcher.h"

namespace brivano {

class QtSiteFetcher : public PageFetcher {
 public:
  // `trusted`: the user's --resolve mappings.
  explicit QtSiteFetcher(std::vector<ResolveRule> trusted = {});
  ~QtSiteFetcher() override;

  void Fetch(const FetchRequest& request, Answer answer) override;
  void CancelAll() override;

 private:
  // Answers are posted to it; declared first, so that it outlives the
  // fetcher's worker thread.
  QObject receiver_;
  std::unique_ptr<CurlFetcher> fetcher_;
};

}  // namespace brivano
