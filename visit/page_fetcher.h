// How a site visit fetches a page: the request goes out and the answer comes
// back later, on the visitor's own thread. The program fetches with libcurl
// (curl_fetcher.h); the tests answer from a fake on a simulated clock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace brivano {

struct FetchRequest {
  std::string address{};  // absolute http(s) address
  // robots.txt: a plain-text answer is wanted, not a page.
  bool robotsFile = false;
  // False: a redirect ends the fetch, its target in the answer, so that the
  // caller asks for it in its own time (a host is asked politely however
  // many hops its pages take).
  bool followRedirects = true;
};

// Why a fetch brought no answer of the server.
enum class FetchError {
  None,           // the server answered (see httpStatus)
  Refused,        // the site's name resolves to an address we do not visit
  NotResolved,    // the name resolves to nothing
  ConnectFailed,  // refused, reset or unreachable
  TimedOut,       // no connection within 5 s or no whole answer within 15 s
  TooManyRedirects,
  NotPage,  // the answer is neither HTML nor XHTML (nor text for robots.txt)
  Other,    // TLS, protocol and the like
};

struct FetchAnswer {
  FetchError error = FetchError::None;
  int httpStatus = 0;          // of the last answer, after redirects
  std::string finalAddress{};  // after redirects
  std::string contentType{};   // the header as sent, may be empty
  std::string body{};          // decompressed; at most the cap
  bool truncated = false;      // the page was longer than the cap: body holds its start
  std::string detail{};        // what went wrong, for a log (UTF-8)
  // A redirect not followed: its target, absolute and http(s).
  std::string redirect{};
};

class PageFetcher {
 public:
  virtual ~PageFetcher() = default;
  using Answer = std::function<void(FetchAnswer)>;
  // Starts a fetch and returns at once. `answer` runs exactly once, later, on
  // the thread the fetcher delivers to, unless CancelAll comes first.
  virtual void Fetch(const FetchRequest& request, Answer answer) = 0;
  // Ends every fetch in flight at once; their answers never come.
  virtual void CancelAll() = 0;
};

}  // namespace brivano
