#include "visit/curl_fetcher.h"
#include "base/text_search.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <utility>
#include <variant>

namespace brivano {
namespace {

using Clock = std::chrono::steady_clock;
using Resolver = std::function<std::vector<std::string>(const std::string& host)>;

// Other parts of the process may use curl too, so it is set up once and
// never torn down.
void SetUpCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// A missing type is taken for a page: small company sites often send none.
bool IsPageType(std::string_view contentType) {
  const std::string media =
      LowerAsciiBytes(TrimBlanks(contentType.substr(0, contentType.find(';'))));
  return media.empty() || media == "text/html" || media == "application/xhtml+xml";
}

bool IsRedirectStatus(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool IsIpv6(const std::string& address) {
  in6_addr bytes{};
  return inet_pton(AF_INET6, address.c_str(), &bytes) == 1;
}

bool IsNumericAddress(const std::string& host) {
  in_addr bytes{};
  return inet_pton(AF_INET, host.c_str(), &bytes) == 1 || IsIpv6(host);
}

std::vector<std::string> SystemResolve(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_ADDRCONFIG | AI_IDN;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return {};
  std::vector<std::string> addresses;
  for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
    char text[INET6_ADDRSTRLEN] = {};
    const void* bytes = nullptr;
    if (entry->ai_family == AF_INET) {
      bytes = &reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr;
    } else if (entry->ai_family == AF_INET6) {
      bytes = &reinterpret_cast<const sockaddr_in6*>(entry->ai_addr)->sin6_addr;
    } else {
      continue;
    }
    if (inet_ntop(entry->ai_family, bytes, text, sizeof text) == nullptr) continue;
    if (std::find(addresses.begin(), addresses.end(), text) == addresses.end()) {
      addresses.emplace_back(text);
    }
  }
  freeaddrinfo(found);
  return addresses;
}

// One web address taken apart by curl's own parser, so that what is checked
// here is what curl later requests.
struct CurlAddress {
  std::string url{};  // normalised
  std::string scheme{};
  std::string host{};  // lower case, IPv6 without brackets
  long port = 0;
};

std::string UrlPart(CURLU* url, CURLUPart part, unsigned flags) {
  char* text = nullptr;
  if (curl_url_get(url, part, &text, flags) != CURLUE_OK) return {};
  std::string copy(text);
  curl_free(text);
  return copy;
}

// `reference` is read relative to `base` when one is given (a redirect's
// Location). Schemes other than http(s) are parsed too, to be named when
// refused.
std::optional<CurlAddress> ParseAddress(const std::string& reference, const std::string* base) {
  CURLU* url = curl_url();
  if (url == nullptr) return std::nullopt;
  const unsigned flags = CURLU_NON_SUPPORT_SCHEME;
  bool ok = base == nullptr || curl_url_set(url, CURLUPART_URL, base->c_str(), flags) == CURLUE_OK;
  ok = ok && curl_url_set(url, CURLUPART_URL, reference.c_str(), flags) == CURLUE_OK;
  std::optional<CurlAddress> parsed;
  if (ok) {
    CurlAddress address;
    address.url = UrlPart(url, CURLUPART_URL, 0);
    address.scheme = LowerAsciiBytes(UrlPart(url, CURLUPART_SCHEME, 0));
    address.host = UrlPart(url, CURLUPART_HOST, CURLU_PUNYCODE);
    if (address.host.empty()) address.host = UrlPart(url, CURLUPART_HOST, 0);
    address.host = LowerAsciiBytes(address.host);
    if (address.host.size() > 2 && address.host.front() == '[' && address.host.back() == ']') {
      address.host = address.host.substr(1, address.host.size() - 2);
    }
    address.port = std::atol(UrlPart(url, CURLUPART_PORT, CURLU_DEFAULT_PORT).c_str());
    if (!address.url.empty() && !address.host.empty()) parsed = std::move(address);
  }
  curl_url_cleanup(url);
  return parsed;
}

struct StartCommand {
  std::uint64_t id = 0;
  FetchRequest request{};
  Clock::time_point deadline{};
};
struct ResolvedCommand {
  std::uint64_t id = 0;
  std::uint64_t lookup = 0;
  std::vector<std::string> addresses{};
};
struct CancelCommand {};
using Command = std::variant<StartCommand, ResolvedCommand, CancelCommand>;

}  // namespace

// What the owner's thread and the others hand each other. It outlives the
// fetcher while name lookups still run: they post into it, and after the
// fetcher closed it their results fall on the floor.
struct CurlFetcher::Mailbox {
  std::mutex mutex{};
  std::deque<Command> commands{};
  bool closed = false;
  CURLM* multi = nullptr;  // set before any thread starts; woken only under `mutex`

  void Post(Command command) {
    std::lock_guard<std::mutex> lock(mutex);
    if (closed) return;
    commands.push_back(std::move(command));
    curl_multi_wakeup(multi);
  }
  bool IsClosed() {
    std::lock_guard<std::mutex> lock(mutex);
    return closed;
  }
  // Hands over what was posted; true once the fetcher is being destroyed.
  bool Take(std::deque<Command>& taken) {
    std::lock_guard<std::mutex> lock(mutex);
    taken.swap(commands);
    return closed;
  }
};

// The answers still wanted, touched only on the owner's thread. A delivered
// answer runs only if its fetch is still here, which is how CancelAll and the
// destructor drop answers already on their way.
struct CurlFetcher::Waiting {
  std::unordered_map<std::uint64_t, Answer> answers{};
};

class CurlFetcher::Worker {
 public:
  Worker(CurlFetcherOptions options, std::shared_ptr<Mailbox> mailbox,
         std::shared_ptr<Waiting> waiting)
      : options_(std::move(options)),
        mailbox_(std::move(mailbox)),
        waiting_(std::move(waiting)),
        multi_(mailbox_->multi) {
    if (options_.resolve) resolve_ = std::make_shared<const Resolver>(options_.resolve);
    pageAccept_ =
        curl_slist_append(nullptr, "Accept: text/html,application/xhtml+xml;q=0.9,*/*;q=0.5");
    robotsAccept_ = curl_slist_append(nullptr, "Accept: text/plain,*/*;q=0.5");
  }

  ~Worker() {
    DropAll();
    curl_slist_free_all(pageAccept_);
    curl_slist_free_all(robotsAccept_);
  }

  void Run() {
    std::deque<Command> commands;
    while (!mailbox_->Take(commands)) {
      for (Command& command : commands) Handle(command);
      commands.clear();
      int running = 0;
      curl_multi_perform(multi_, &running);
      CollectFinished();
      ExpireLookups();
      curl_multi_poll(multi_, nullptr, 0, PollMs(), nullptr);
    }
  }

 private:
  // Why this hop's transfer was ended by us rather than by the server.
  enum class Cut { None, Truncated, NotPage, Redirect };

  struct Job {
    std::uint64_t id = 0;
    FetchRequest request{};
    Clock::time_point deadline{};
    std::size_t mostBytes = 0;
    int redirects = 0;
    CurlAddress hop{};
    std::uint64_t lookup = 0;  // non-zero while the hop's name is being looked up
    CURL* easy = nullptr;
    curl_slist* connectTo = nullptr;
    char error[CURL_ERROR_SIZE] = {};
    // The hop's answer, as its head and body arrive.
    int status = 0;
    bool headDone = false;
    std::string contentType{};
    std::string location{};
    std::string body{};
    Cut cut = Cut::None;
  };

  void Handle(Command& command) {
    if (auto* start = std::get_if<StartCommand>(&command)) {
      auto job = std::make_unique<Job>();
      job->id = start->id;
      job->request = std::move(start->request);
      job->deadline = start->deadline;
      job->mostBytes = options_.mostBytes;
      Job& started = *job;
      jobs_[start->id] = std::move(job);
      const std::optional<CurlAddress> address = ParseAddress(started.request.address, nullptr);
      if (!address) {
        Finish(started, FetchError::Other, "not a web address: " + started.request.address);
        return;
      }
      BeginHop(started, *address);
    } else if (auto* resolved = std::get_if<ResolvedCommand>(&command)) {
      auto found = jobs_.find(resolved->id);
      if (found == jobs_.end() || found->second->lookup != resolved->lookup) return;
      found->second->lookup = 0;
      Connect(*found->second, resolved->addresses, false);
    } else {
      DropAll();
    }
  }

  void BeginHop(Job& job, CurlAddress address) {
    job.hop = std::move(address);
    job.status = 0;
    job.contentType.clear();
    if (job.hop.scheme != "http" && job.hop.scheme != "https") {
      Finish(job, FetchError::Other, "not an http(s) address: " + job.hop.url);
      return;
    }
    if (IsNumericAddress(job.hop.host)) {
      Connect(job, {job.hop.host}, false);
      return;
    }
    for (const ResolveRule& rule : options_.trusted) {
      if (rule.port == job.hop.port && EqualsIgnoringAsciiCase(rule.host, job.hop.host)) {
        Connect(job, {rule.address}, true);
        return;
      }
    }
    StartLookup(job);
  }

  // getaddrinfo cannot be interrupted, so each lookup gets a short-lived
  // thread that holds only shared state: a lookup that hangs delays neither
  // the other transfers nor the fetcher's destruction.
  void StartLookup(Job& job) {
    job.lookup = ++lastLookup_;
    try {
      std::thread([mailbox = mailbox_, resolve = resolve_, id = job.id, lookup = job.lookup,
                   host = job.hop.host] {
        if (mailbox->IsClosed()) return;
        std::vector<std::string> addresses;
        try {
          addresses = resolve ? (*resolve)(host) : SystemResolve(host);
        } catch (...) {
          addresses.clear();
        }
        mailbox->Post(ResolvedCommand{id, lookup, std::move(addresses)});
      }).detach();
    } catch (const std::system_error& error) {
      Finish(job, FetchError::Other, std::string("no thread for the name lookup: ") + error.what());
    }
  }

  void Connect(Job& job, const std::vector<std::string>& addresses, bool trusted) {
    if (addresses.empty()) {
      Finish(job, FetchError::NotResolved, job.hop.host + " has no address");
      return;
    }
    if (!trusted) {
      for (const std::string& address : addresses) {
        if (!MayVisit(address)) {
          Finish(job, FetchError::Refused,
                 job.hop.host + " resolves to " + address + ", not a public address");
          return;
        }
      }
    }
    const long remainingMs = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(job.deadline - Clock::now()).count());
    if (remainingMs <= 0) {
      Finish(job, FetchError::TimedOut, "no whole answer within the time allowed");
      return;
    }
    job.status = 0;
    job.headDone = false;
    job.contentType.clear();
    job.location.clear();
    job.body.clear();
    job.cut = Cut::None;
    job.error[0] = '\0';
    job.easy = curl_easy_init();
    if (job.easy == nullptr) {
      Finish(job, FetchError::Other, "curl_easy_init failed");
      return;
    }
    // Only the checked address: with an empty host and port the rule covers
    // the one request this handle makes, and a numeric target is never looked
    // up again.
    const std::string& address = addresses.front();
    const std::string target = IsIpv6(address) ? "[" + address + "]" : address;
    job.connectTo =
        curl_slist_append(nullptr, ("::" + target + ":" + std::to_string(job.hop.port)).c_str());
    CURL* easy = job.easy;
    curl_easy_setopt(easy, CURLOPT_URL, job.hop.url.c_str());
    curl_easy_setopt(easy, CURLOPT_CONNECT_TO, job.connectTo);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                     std::min(options_.connectTimeoutMs, remainingMs));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, remainingMs);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER,
                     job.request.robotsFile ? robotsAccept_ : pageAccept_);
    if (!options_.userAgent.empty()) {
      curl_easy_setopt(easy, CURLOPT_USERAGENT, options_.userAgent.c_str());
    }
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, job.error);
    curl_easy_setopt(easy, CURLOPT_PRIVATE, &job);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Worker::OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &job);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Worker::OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &job);
    if (curl_multi_add_handle(multi_, easy) != CURLM_OK) {
      Finish(job, FetchError::Other, "curl_multi_add_handle failed");
    }
  }

  // The head is judged as soon as it is whole: a redirect or a file that is
  // no page ends the transfer before its body is read.
  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
    Job& job = *static_cast<Job*>(user);
    const std::size_t length = size * count;
    const std::string_view line = TrimBlanks(std::string_view(data, length));
    if (line.substr(0, 5) == "HTTP/") {  // a new head: after 1xx, or the first
      const std::size_t space = line.find(' ');
      job.status = space == std::string_view::npos ? 0 : std::atoi(line.data() + space + 1);
      job.headDone = false;
      job.contentType.clear();
      job.location.clear();
      return length;
    }
    if (job.headDone) return length;  // trailers
    if (line.empty()) {
      job.headDone = true;
      if (job.status < 200) return length;
      if (IsRedirectStatus(job.status) && !job.location.empty()) {
        job.cut = Cut::Redirect;
        return 0;
      }
      // Error pages are answers whatever their type.
      if (job.status < 400 && !job.request.robotsFile && !IsPageType(job.contentType)) {
        job.cut = Cut::NotPage;
        return 0;
      }
      return length;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return length;
    const std::string_view name = TrimBlanks(line.substr(0, colon));
    if (EqualsIgnoringAsciiCase(name, "content-type")) {
      job.contentType = std::string(TrimBlanks(line.substr(colon + 1)));
    } else if (EqualsIgnoringAsciiCase(name, "location")) {
      job.location = std::string(TrimBlanks(line.substr(colon + 1)));
    }
    return length;
  }

  // Bodies arrive decompressed, so the cap counts what is kept, not what
  // crossed the wire (a small gzip bomb stays small).
  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    Job& job = *static_cast<Job*>(user);
    const std::size_t length = size * count;
    if (job.cut != Cut::None) return 0;
    const std::size_t room = job.mostBytes - job.body.size();
    if (length > room) {
      job.body.append(data, room);
      job.cut = Cut::Truncated;
      return 0;
    }
    job.body.append(data, length);
    return length;
  }

  void CollectFinished() {
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
      if (message->msg != CURLMSG_DONE) continue;
      // The message dies with the handle; take what is needed first.
      CURL* easy = message->easy_handle;
      const CURLcode result = message->data.result;
      Job* job = nullptr;
      curl_easy_getinfo(easy, CURLINFO_PRIVATE, &job);
      if (job != nullptr) HopEnded(*job, result);
    }
  }

  void HopEnded(Job& job, CURLcode result) {
    const std::string detail = job.error[0] != '\0' ? job.error : curl_easy_strerror(result);
    ReleaseTransfer(job);
    switch (job.cut) {
      case Cut::Redirect:
        FollowRedirect(job);
        return;
      case Cut::NotPage:
        Finish(job, FetchError::NotPage, "not a page: " + job.contentType);
        return;
      case Cut::Truncated:
        Finish(job, FetchError::None, {}, true);
        return;
      case Cut::None:
        break;
    }
    switch (result) {
      case CURLE_OK:
        Finish(job, FetchError::None, {});
        return;
      case CURLE_OPERATION_TIMEDOUT:
        Finish(job, FetchError::TimedOut, detail);
        return;
      case CURLE_COULDNT_CONNECT:
      case CURLE_SEND_ERROR:
      case CURLE_RECV_ERROR:
      case CURLE_GOT_NOTHING:
        Finish(job, FetchError::ConnectFailed, detail);
        return;
      default:
        Finish(job, FetchError::Other, detail);
        return;
    }
  }

  void FollowRedirect(Job& job) {
    if (!job.request.followRedirects) {
      std::optional<CurlAddress> next = ParseAddress(job.location, &job.hop.url);
      if (!next) {
        Finish(job, FetchError::Other, "redirect to an unreadable address: " + job.location);
        return;
      }
      redirectTo_ = next->url;
      Finish(job, FetchError::None, {});
      return;
    }
    if (job.redirects >= options_.mostRedirects) {
      Finish(job, FetchError::TooManyRedirects,
             "more than " + std::to_string(options_.mostRedirects) + " redirects");
      return;
    }
    std::optional<CurlAddress> next = ParseAddress(job.location, &job.hop.url);
    if (!next) {
      Finish(job, FetchError::Other, "redirect to an unreadable address: " + job.location);
      return;
    }
    ++job.redirects;
    BeginHop(job, std::move(*next));
  }

  void ExpireLookups() {
    const Clock::time_point now = Clock::now();
    std::vector<Job*> late;
    for (auto& [id, job] : jobs_) {
      if (job->lookup != 0 && job->deadline <= now) late.push_back(job.get());
    }
    for (Job* job : late) {
      Finish(*job, FetchError::TimedOut, "no address for " + job->hop.host + " in time");
    }
  }

  // curl_multi_poll shortens this to curl's own timers; lookups have none
  // there, so the nearest lookup deadline is ours to watch.
  int PollMs() const {
    const Clock::time_point now = Clock::now();
    long long wait = 10000;
    for (const auto& [id, job] : jobs_) {
      if (job->lookup == 0) continue;
      const long long ms =
          std::chrono::duration_cast<std::chrono::milliseconds>(job->deadline - now).count() + 1;
      wait = std::clamp(ms, 0LL, wait);
    }
    return static_cast<int>(wait);
  }

  void Finish(Job& job, FetchError error, std::string detail, bool truncated = false) {
    FetchAnswer answer;
    answer.error = error;
    answer.httpStatus = job.status;
    answer.finalAddress = job.hop.url.empty() ? job.request.address : job.hop.url;
    answer.contentType = job.contentType;
    answer.truncated = truncated;
    answer.detail = std::move(detail);
    answer.redirect = std::exchange(redirectTo_, {});
    if (error == FetchError::None) answer.body = std::move(job.body);
    const std::uint64_t id = job.id;
    ReleaseTransfer(job);
    jobs_.erase(id);
    options_.deliver([waiting = waiting_, id, answer = std::move(answer)]() mutable {
      auto found = waiting->answers.find(id);
      if (found == waiting->answers.end()) return;
      Answer wanted = std::move(found->second);
      waiting->answers.erase(found);
      wanted(std::move(answer));
    });
  }

  void ReleaseTransfer(Job& job) {
    if (job.easy != nullptr) {
      curl_multi_remove_handle(multi_, job.easy);
      curl_easy_cleanup(job.easy);
      job.easy = nullptr;
    }
    curl_slist_free_all(job.connectTo);
    job.connectTo = nullptr;
  }

  void DropAll() {
    for (auto& [id, job] : jobs_) ReleaseTransfer(*job);
    jobs_.clear();
  }

  const CurlFetcherOptions options_;
  const std::shared_ptr<Mailbox> mailbox_;
  const std::shared_ptr<Waiting> waiting_;
  CURLM* const multi_;
  std::shared_ptr<const Resolver> resolve_{};
  curl_slist* pageAccept_ = nullptr;
  curl_slist* robotsAccept_ = nullptr;
  std::map<std::uint64_t, std::unique_ptr<Job>> jobs_{};
  std::uint64_t lastLookup_ = 0;
  // The target of the redirect that Finish is about to answer with.
  std::string redirectTo_{};
};

CurlFetcher::CurlFetcher(CurlFetcherOptions options)
    : mailbox_(std::make_shared<Mailbox>()), waiting_(std::make_shared<Waiting>()) {
  if (!options.deliver) throw std::invalid_argument("CurlFetcher needs a deliver function");
  SetUpCurlOnce();
  mailbox_->multi = curl_multi_init();
  if (mailbox_->multi == nullptr) throw std::runtime_error("curl_multi_init failed");
  pageTimeoutMs_ = options.pageTimeoutMs;
  worker_ = std::make_unique<Worker>(std::move(options), mailbox_, waiting_);
  thread_ = std::thread([worker = worker_.get()] { worker->Run(); });
}

CurlFetcher::~CurlFetcher() {
  waiting_->answers.clear();
  {
    std::lock_guard<std::mutex> lock(mailbox_->mutex);
    mailbox_->closed = true;
    mailbox_->commands.clear();
    curl_multi_wakeup(mailbox_->multi);
  }
  thread_.join();
  worker_.reset();
  curl_multi_cleanup(mailbox_->multi);
}

void CurlFetcher::Fetch(const FetchRequest& request, Answer answer) {
  const std::uint64_t id = ++nextId_;
  waiting_->answers[id] = std::move(answer);
  mailbox_->Post(
      StartCommand{id, request, Clock::now() + std::chrono::milliseconds(pageTimeoutMs_)});
}

void CurlFetcher::CancelAll() {
  waiting_->answers.clear();
  mailbox_->Post(CancelCommand{});
}

}  // namespace brivano
