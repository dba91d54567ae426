#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

// Numeric IP addresses in one spelling each, so that two spellings of one
// address compare equal: IPv4 dotted, IPv6 in its shortest form (lower case,
// the longest run of two or more zero groups written "::").
std::string ipv4Text(const std::array<std::uint8_t, 4>& bytes);
std::string ipv6Text(const std::array<std::uint8_t, 16>& bytes);
// The address in that spelling, an IPv6 literal's brackets taken off; nothing
// for a host name or a scoped IPv6 address ("fe80::1%4"), whose addresses the
// text alone does not tell.
std::optional<std::string> canonicalIpAddress(const std::string& text);

}  // namespace velmora
