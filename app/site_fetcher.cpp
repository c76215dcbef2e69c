#include "app/site_fetcher.h"

#include <QMetaObject>
#include <string>

#include "base/version.h"

namespace brivano {

QtSiteFetcher::QtSiteFetcher(std::vector<ResolveRule> trusted) {
  CurlFetcherOptions options;
  // Sites see an ordinary browser's name with ours beside it, so that their
  // logs and robots.txt can tell us apart.
  options.userAgent = "Mozilla/5.0 (compatible; Brivano/" + std::string(kVersion) + ")";
  options.trusted = std::move(trusted);
  options.deliver = [receiver = &receiver_](std::function<void()> task) {
    QMetaObject::invokeMethod(receiver, std::move(task), Qt::QueuedConnection);
  };
  fetcher_ = std::make_unique<CurlFetcher>(std::move(options));
}

QtSiteFetcher::~QtSiteFetcher() {
  // Joins the worker before the receiver goes; tasks still queued for the
  // receiver are dropped with it.
  fetcher_.reset();
}

void QtSiteFetcher::Fetch(const FetchRequest& request, Answer answer) {
  fetcher_->Fetch(request, std::move(answer));
}

void QtSiteFetcher::CancelAll() {
  fetcher_->CancelAll();
}

}  // namespace brivano
