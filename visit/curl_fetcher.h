// The program's page fetcher: libcurl's multi interface on one worker thread
// of its own. Every site name is resolved here, not by curl, and each of its
// addresses is checked before any connection is made; curl is then pinned to
// the very address that was checked, so a name cannot resolve to a public
// address for the check and to the user's router for the connection.
// Redirects are followed here too, each hop checked like the first.
//
// Threads: Fetch, CancelAll and the destructor are called on the owner's
// thread, the one `deliver` runs its tasks on; answers run there too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "visit/address_safety.h"
#include "visit/page_fetcher.h"

namespace brivano {

struct CurlFetcherOptions {
  long connectTimeoutMs = 5000;
  long pageTimeoutMs = 15000;  // the whole answer, redirects and name lookups included
  std::size_t mostBytes = 2 * 1024 * 1024;
  int mostRedirects = 5;
  std::string userAgent{};  // e.g. "Mozilla/5.0 (compatible; Brivano/1.0)"; curl's none when empty
  // The user's --resolve mappings: used as they are, even to loopback.
  std::vector<ResolveRule> trusted{};
  // The numeric addresses of a host name; getaddrinfo when empty. Its answers
  // are checked with MayVisit. It runs on a thread of its own and may still
  // be running (never started anew) after the fetcher is gone, so it must not
  // refer to anything the owner destroys.
  std::function<std::vector<std::string>(const std::string& host)> resolve{};
  // Runs a task on the owner's thread (the program posts it into Qt's event
  // loop). Called from the worker thread. Required.
  std::function<void(std::function<void()>)> deliver{};
};

class CurlFetcher : public PageFetcher {
 public:
  // Throws std::invalid_argument without `deliver`.
  explicit CurlFetcher(CurlFetcherOptions options);
  // Returns promptly whatever is in flight; no answer runs afterwards.
  ~CurlFetcher() override;
  CurlFetcher(const CurlFetcher&) = delete;
  CurlFetcher& operator=(const CurlFetcher&) = delete;

  void Fetch(const FetchRequest& request, Answer answer) override;
  // Answers already handed to `deliver` are dropped as well.
  void CancelAll() override;

 private:
  struct Mailbox;
  struct Waiting;
  class Worker;

  std::shared_ptr<Mailbox> mailbox_;
  std::shared_ptr<Waiting> waiting_;
  std::unique_ptr<Worker> worker_;
  std::thread thread_;
  long pageTimeoutMs_ = 0;
  std::uint64_t nextId_ = 0;
};

}  // namespace brivano
