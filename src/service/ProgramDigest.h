#pragma once
#include <string>

namespace velmora {

// The SHA-256 of the bytes, as 64 lower-case hex digits. A wrapper copy is
// recorded by it at install and deleted only while it still matches.
std::string sha256Hex(const std::string& bytes);

}  // namespace velmora
