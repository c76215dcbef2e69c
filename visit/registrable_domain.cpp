#include "visit/registrable_domain.h"

#include <libpsl.h>

#include "base/text_search.h"

namespace brivano {
namespace {

// Loaded once, on first use (a function's static is initialised once even
// with threads racing to it); lookups only read it.
class SuffixList {
 public:
  SuffixList() : latest_(psl_latest(nullptr)), list_(latest_ ? latest_ : psl_builtin()) {}
  ~SuffixList() { psl_free(latest_); }
  SuffixList(const SuffixList&) = delete;
  SuffixList& operator=(const SuffixList&) = delete;

  const psl_ctx_t* list() const { return list_; }

 private:
  psl_ctx_t* latest_;
  const psl_ctx_t* list_;
};

const psl_ctx_t* List() {
  static const SuffixList list;
  return list.list();
}

// An IPv6 literal has a colon; an IPv4 one ends in a number, as a browser
// reads hosts (no public suffix ends in digits only).
bool IsIpLiteral(std::string_view host) {
  if (host.find(':') != std::string_view::npos) return true;
  const std::size_t dot = host.rfind('.');
  const std::string_view last = dot == std::string_view::npos ? host : host.substr(dot + 1);
  if (last.empty()) return false;
  for (const char c : last) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

std::string RegistrableDomain(std::string_view host) {
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  while (!host.empty() && host.back() == '.') host.remove_suffix(1);
  std::string lower = LowerAsciiBytes(host);
  if (lower.empty() || IsIpLiteral(lower)) return lower;
  const psl_ctx_t* list = List();
  if (list == nullptr) return lower;
  const char* domain = psl_registrable_domain(list, lower.c_str());
  return domain != nullptr ? std::string(domain) : lower;
}

bool SameRegistrableDomain(std::string_view hostA, std::string_view hostB) {
  const std::string a = RegistrableDomain(hostA);
  return !a.empty() && a == RegistrableDomain(hostB);
}

}  // namespace brivano
