#pragma once
#include <string>

namespace velmora {

// UTF-8 inside, UTF-16 at the Win32 boundary. Nothing is ever mapped to a
// look-alike: what cannot be converted becomes U+FFFD.
std::wstring wide(const std::string& utf8);
std::string narrow(const std::wstring& utf16);
// A NUL-terminated text from the system; null reads as empty.
std::string narrow(const wchar_t* utf16);
// Bytes a program wrote in a code page (the console's, the machine's), as UTF-8; in a code page Windows
// cannot convert from, each byte as the character of its number.
std::string narrowFromCodePage(const std::string& bytes, unsigned int codePage);

}  // namespace velmora
