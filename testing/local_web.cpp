#include "testing/local_web.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace brivano::testing {
namespace {

constexpr std::size_t kMostHeadBytes = 64 * 1024;

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

const char* Reason(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 303:
      return "See Other";
    case 307:
      return "Temporary Redirect";
    case 308:
      return "Permanent Redirect";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

std::string Gzip(const std::string& plain) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2 failed");
  }
  std::string packed(deflateBound(&stream, plain.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
  stream.avail_in = static_cast<uInt>(plain.size());
  stream.next_out = reinterpret_cast<Bytef*>(packed.data());
  stream.avail_out = static_cast<uInt>(packed.size());
  const int result = deflate(&stream, Z_FINISH);
  packed.resize(stream.total_out);
  deflateEnd(&stream);
  if (result != Z_STREAM_END) throw std::runtime_error("deflate failed");
  return packed;
}

// The generated body: an HTML page of filler lines, any length.
class FillerPage {
 public:
  // The next at most `most` bytes; empty once `total` bytes were made.
  std::string_view Next(std::size_t total, std::size_t most) {
    static constexpr std::string_view kStart = "<html><body>\n";
    static constexpr std::string_view kLine =
        "<p>The start of a very long page, then more of it.</p>\n";
    chunk_.clear();
    while (made_ < total && chunk_.size() < most) {
      std::string_view piece = made_ == 0 ? kStart : kLine;
      piece = piece.substr(0, std::min({piece.size(), total - made_, most - chunk_.size()}));
      chunk_.append(piece);
      made_ += piece.size();
    }
    return chunk_;
  }

 private:
  std::size_t made_ = 0;
  std::string chunk_{};
};

}  // namespace

struct LocalWeb::Server {
  mutable std::mutex mutex;
  mutable std::condition_variable changed;
  std::map<std::pair<std::string, std::string>, WebResponse> routes;
  std::vector<WebRequest> requests;
  int cutShort = 0;
  std::vector<std::thread> connections;

  int listener = -1;
  int port = 0;
  // Written once by Stop and never read: every poll below watches it, so all
  // threads see the stop at once, blocked or not.
  int wakeRead = -1;
  int wakeWrite = -1;
  std::thread acceptor;
  bool started = false;
  bool stopped = false;

  // false on Stop or when the peer has closed or failed.
  bool WaitFor(int fd, short events) const {
    pollfd watched[2] = {{fd, events, 0}, {wakeRead, POLLIN, 0}};
    for (;;) {
      const int ready = poll(watched, 2, -1);
      if (ready < 0 && errno == EINTR) continue;
      if (ready < 0 || watched[1].revents != 0) return false;
      if (watched[0].revents & (events | POLLHUP | POLLERR)) return true;
    }
  }

  bool SendAll(int fd, std::string_view data) const {
    while (!data.empty()) {
      const ssize_t sent = send(fd, data.data(), data.size(), MSG_NOSIGNAL);
      if (sent > 0) {
        data.remove_prefix(static_cast<std::size_t>(sent));
      } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        if (!WaitFor(fd, POLLOUT)) return false;
      } else {
        return false;
      }
    }
    return true;
  }

  // Appends what arrives to `buffer`; false on Stop, close or error.
  bool Receive(int fd, std::string& buffer) const {
    for (;;) {
      char chunk[4096];
      const ssize_t got = recv(fd, chunk, sizeof chunk, 0);
      if (got > 0) {
        buffer.append(chunk, static_cast<std::size_t>(got));
        return true;
      }
      if (got == 0) return false;
      if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
      if (!WaitFor(fd, POLLIN)) return false;
    }
  }

  void CountCutShort() {
    std::lock_guard<std::mutex> lock(mutex);
    ++cutShort;
    changed.notify_all();
  }

  void Serve(int fd) {
    std::string buffer;
    for (;;) {
      std::size_t headEnd;
      while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
        if (buffer.size() > kMostHeadBytes || !Receive(fd, buffer)) return;
      }
      const std::string head = buffer.substr(0, headEnd);
      buffer.erase(0, headEnd + 4);

      const std::size_t lineEnd = std::min(head.find("\r\n"), head.size());
      const std::string_view requestLine(head.data(), lineEnd);
      const std::size_t firstSpace = requestLine.find(' ');
      const std::size_t lastSpace = requestLine.rfind(' ');
      if (firstSpace == std::string_view::npos || lastSpace <= firstSpace) return;
      const std::string path(requestLine.substr(firstSpace + 1, lastSpace - firstSpace - 1));
      bool keepAlive = requestLine.substr(lastSpace + 1) == "HTTP/1.1";
      std::string host;
      std::size_t bodyBytes = 0;
      std::size_t at = lineEnd;
      while (at < head.size()) {
        const std::size_t next = std::min(head.find("\r\n", at + 2), head.size());
        const std::string_view line(head.data() + at + 2, next - at - 2);
        at = next;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string name = Lower(Trim(line.substr(0, colon)));
        const std::string_view value = Trim(line.substr(colon + 1));
        if (name == "host") {
          host = Lower(value.substr(
              0, value.rfind(':') == std::string_view::npos ? value.size() : value.rfind(':')));
        } else if (name == "connection" && Lower(value) == "close") {
          keepAlive = false;
        } else if (name == "content-length") {
          bodyBytes =
              static_cast<std::size_t>(std::strtoull(std::string(value).c_str(), nullptr, 10));
        }
      }
      while (buffer.size() < bodyBytes) {
        if (!Receive(fd, buffer)) return;
      }
      buffer.erase(0, bodyBytes);

      WebResponse response;
      {
        std::lock_guard<std::mutex> lock(mutex);
        requests.push_back({host, path, NowMs()});
        changed.notify_all();
        const auto route = routes.find({host, path});
        if (route != routes.end()) {
          response = route->second;
        } else {
          response.status = 404;
          response.headers = {{"Content-Type", "text/html; charset=utf-8"}};
          response.body = "<html><body><h1>404 Not Found</h1></body></html>\n";
        }
      }

      if (response.neverAnswer) {
        // Drain whatever comes until the client gives up or Stop.
        std::string ignored;
        while (Receive(fd, ignored)) ignored.clear();
        return;
      }
      if (!Answer(fd, response, keepAlive) || !keepAlive) return;
    }
  }

  // false when the connection is no longer usable.
  bool Answer(int fd, const WebResponse& response, bool keepAlive) {
    const std::string body = response.gzip ? Gzip(response.body) : response.body;
    const std::size_t length = response.streamBytes != 0 ? response.streamBytes : body.size();
    std::string head =
        "HTTP/1.1 " + std::to_string(response.status) + " " + Reason(response.status) + "\r\n";
    for (const auto& [name, value] : response.headers) head += name + ": " + value + "\r\n";
    if (response.gzip) head += "Content-Encoding: gzip\r\n";
    head += "Content-Length: " + std::to_string(length) + "\r\n";
    head += keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
    if (!SendAll(fd, head)) return false;
    bool whole = true;
    if (response.streamBytes != 0) {
      FillerPage page;
      for (std::string_view chunk; whole && !(chunk = page.Next(length, 64 * 1024)).empty();) {
        whole = SendAll(fd, chunk);
      }
    } else {
      whole = SendAll(fd, body);
    }
    if (!whole && !IsStopped()) CountCutShort();
    return whole;
  }

  bool IsStopped() const {
    std::lock_guard<std::mutex> lock(mutex);
    return stopped;
  }

  void Accept() {
    for (;;) {
      if (!WaitFor(listener, POLLIN)) return;
      const int fd = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd < 0) continue;
      std::lock_guard<std::mutex> lock(mutex);
      connections.emplace_back([this, fd] {
        Serve(fd);
        close(fd);
      });
    }
  }
};

LocalWeb::LocalWeb() : server_(std::make_unique<Server>()) {}

LocalWeb::~LocalWeb() {
  Stop();
}

void LocalWeb::Route(std::string host, std::string path, WebResponse response) {
  std::lock_guard<std::mutex> lock(server_->mutex);
  server_->routes[{Lower(host), std::move(path)}] = std::move(response);
}

void LocalWeb::Start() {
  Server& s = *server_;
  if (s.started) return;
  int wake[2];
  if (pipe2(wake, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
  s.wakeRead = wake[0];
  s.wakeWrite = wake[1];
  s.listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t size = sizeof address;
  if (s.listener < 0 || bind(s.listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      listen(s.listener, 64) != 0 ||
      getsockname(s.listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    const std::string why = std::strerror(errno);
    Stop();
    throw std::runtime_error("LocalWeb cannot listen: " + why);
  }
  s.port = ntohs(address.sin_port);
  s.started = true;
  s.acceptor = std::thread([&s] { s.Accept(); });
}

void LocalWeb::Stop() {
  Server& s = *server_;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.stopped) return;
    s.stopped = true;
  }
  if (s.wakeWrite >= 0) {
    const char stop = 's';
    [[maybe_unused]] const ssize_t written = write(s.wakeWrite, &stop, 1);
  }
  if (s.acceptor.joinable()) s.acceptor.join();
  std::vector<std::thread> connections;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    connections.swap(s.connections);
  }
  for (std::thread& connection : connections) connection.join();
  for (int* fd : {&s.listener, &s.wakeRead, &s.wakeWrite}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
}

int LocalWeb::Port() const {
  return server_->port;
}

std::string LocalWeb::Address(std::string_view host, std::string_view path) const {
  return "http://" + std::string(host) + ":" + std::to_string(server_->port) + std::string(path);
}

std::vector<WebRequest> LocalWeb::Requests() const {
  std::lock_guard<std::mutex> lock(server_->mutex);
  return server_->requests;
}

bool LocalWeb::WaitForRequests(std::size_t count, std::chrono::milliseconds most) const {
  std::unique_lock<std::mutex> lock(server_->mutex);
  return server_->changed.wait_for(lock, most, [&] { return server_->requests.size() >= count; });
}

int LocalWeb::CutShort() const {
  std::lock_guard<std::mutex> lock(server_->mutex);
  return server_->cutShort;
}

bool LocalWeb::WaitForCutShort(int count, std::chrono::milliseconds most) const {
  std::unique_lock<std::mutex> lock(server_->mutex);
  return server_->changed.wait_for(lock, most, [&] { return server_->cutShort >= count; });
}

}  // namespace brivano::testing
