// Which site a host belongs to: its registrable domain by the Public Suffix
// List ("www.a.com.cn" and "shop.a.com.cn" are one site, "a.com.cn" and
// "b.com.cn" two). A visit stays within the landing page's registrable domain,
// and the visit history counts sites by it.
#pragma once

#include <string>
#include <string_view>

namespace brivano {

// The registrable domain of `host`, in lower case and without a final dot:
// "www.a.com.cn" -> "a.com.cn", "shop.x.co.uk" -> "x.co.uk". A name under a
// suffix the list does not know counts its last label as the suffix
// ("a.test"); an IP literal and a public suffix itself ("com.cn") are
// returned as they are (lower case). The list is the system's newest (libpsl's
// psl_latest), else the one built into libpsl; safe from any thread.
std::string RegistrableDomain(std::string_view host);

// Whether both hosts have the same registrable domain; never for an empty host.
bool SameRegistrableDomain(std::string_view hostA, std::string_view hostB);

}  // namespace brivano
