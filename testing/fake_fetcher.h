// Site pages served on the virtual clock: each address answers after its
// own delay (or never), and every request is logged with its time, so that
// tests can check politeness and robots.txt from what the "sites" saw.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "testing/virtual_clock.h"
#include "visit/page_fetcher.h"

namespace brivano::testing {

struct FakeSiteAnswer {
  FetchAnswer answer{};
  long long delayMs = 100;  // negative: never answers
};

class FakeFetcher : public PageFetcher {
 public:
  struct Request {
    std::string address{};
    long long atMs = 0;
  };

  explicit FakeFetcher(VirtualClock& clock) : clock_(clock) {}

  // An HTML page (or robots.txt) at an address.
  void Serve(const std::string& address, std::string body, long long delayMs = 100,
             std::string contentType = "text/html") {
    answers_[address] = {
        {.httpStatus = 200, .contentType = std::move(contentType), .body = std::move(body)},
        delayMs};
  }
  void Answer(const std::string& address, FakeSiteAnswer answer) {
    answers_[address] = std::move(answer);
  }

  // Addresses not served answer 404.
  void Fetch(const FetchRequest& request, PageFetcher::Answer answer) override {
    requests_.push_back({request.address, clock_.Now()});
    FakeSiteAnswer found{{.httpStatus = 404, .contentType = "text/html", .body = "<p>404</p>"},
                         100};
    if (auto at = answers_.find(request.address); at != answers_.end()) found = at->second;
    if (found.answer.finalAddress.empty()) found.answer.finalAddress = request.address;
    if (found.delayMs < 0) return;
    clock_.CallLater(found.delayMs,
                     [generation = generation_, current = current_, answer = std::move(answer),
                      fetched = std::move(found.answer)] {
                       if (*current == generation) answer(fetched);
                     });
  }
  void CancelAll() override {
    ++cancels_;
    *current_ = ++generation_;
  }

  const std::vector<Request>& Requests() const { return requests_; }
  int Cancels() const { return cancels_; }

 private:
  VirtualClock& clock_;
  std::map<std::string, FakeSiteAnswer> answers_;
  std::vector<Request> requests_;
  int generation_ = 0;
  std::shared_ptr<int> current_ = std::make_shared<int>(0);
  int cancels_ = 0;
};

}  // namespace brivano::testing
