#pragma once
#include <string>

namespace velmora {

// UTF-8 inside, UTF-16 at the Win32 boundary. Nothing is ever mapped to a
// look-alike: what cannot be converted becomes U+FFFD.
std::wstring wide(const std::string& utf8);
std::string narrow(const std::wstring& utf16);
// A NUL-terminated text from the system; null reads as empty.
std::string narrow(const wchar_t* utf16);

}  // namespace velmora
