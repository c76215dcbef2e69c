// A small web of company sites on 127.0.0.1 for the tests of site visits:
// one HTTP/1.1 server on an ephemeral port, the "sites" told apart by the
// Host header (tests map names like "gbk-site.test" to 127.0.0.1 with
// trusted ResolveRules). It can send a page gzipped, a body far larger than
// any cap without holding it, or nothing at all, and it logs every request,
// so a test can show that a refused site was never asked.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace brivano::testing {

struct WebResponse {
  int status = 200;
  // Sent as they are (Content-Type, Location…); Content-Length, Connection
  // and Content-Encoding are the server's.
  std::vector<std::pair<std::string, std::string>> headers{};
  std::string body{};
  bool gzip = false;  // the body goes out gzip-compressed
  // Non-zero: a generated HTML body of this many bytes instead of `body`,
  // made while it is sent.
  std::size_t streamBytes = 0;
  // The request is read and logged, the connection kept open, and nothing is
  // sent until Stop.
  bool neverAnswer = false;
};

struct WebRequest {
  std::string host{};  // lower case, without the port
  std::string path{};  // with the query
  long long atMs = 0;  // std::chrono::steady_clock, when the request was whole
};

class LocalWeb {
 public:
  LocalWeb();
  ~LocalWeb();  // Stop()
  LocalWeb(const LocalWeb&) = delete;
  LocalWeb& operator=(const LocalWeb&) = delete;

  // `host` in any case, without port; `path` with its query ("/a?b=1").
  // Routes may be added before Start and while running; a later route for
  // the same host and path replaces the earlier one. Anything unknown: 404.
  void Route(std::string host, std::string path, WebResponse response);

  // Listens on 127.0.0.1 on a free port; throws std::runtime_error if it
  // cannot.
  void Start();
  // Closes every connection, never-answering ones included, and joins all
  // threads. Idempotent.
  void Stop();

  int Port() const;
  // "http://HOST:PORT/PATH" for this server.
  std::string Address(std::string_view host, std::string_view path) const;

  std::vector<WebRequest> Requests() const;
  // Until at least `count` requests have arrived; false if `most` passed
  // first (a safety net against a hanging test, not a clock to rely on).
  bool WaitForRequests(std::size_t count, std::chrono::milliseconds most) const;
  // Answers whose body the client stopped reading: the connection closed
  // under the server before the last byte was sent.
  int CutShort() const;
  bool WaitForCutShort(int count, std::chrono::milliseconds most) const;

 private:
  struct Server;
  std::unique_ptr<Server> server_;
};

}  // namespace brivano::testing
