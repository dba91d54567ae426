#pragma once
#include <cstddef>
#include <string>

namespace velmora {

// Text is UTF-8 everywhere inside the program; the platform layer converts at
// the Win32 boundary. Names (registry keys, services, files) are compared as
// Windows compares them: code unit by code unit after upper-casing, without
// regard to the user's language.

bool isValidUtf8(const std::string& text);

// UTF-8 <-> UTF-16. Malformed input becomes U+FFFD, so nothing is lost silently
// that could later compare equal to something else.
std::u16string toUtf16(const std::string& utf8);
std::string fromUtf16(const std::u16string& utf16);

// How many UTF-16 code units the text takes: Windows' length limits count these.
std::size_t utf16Length(const std::string& utf8);

char16_t upperCase(char16_t unit);
// The text upper-cased unit by unit, as the key Windows compares by.
std::u16string foldedName(const std::string& utf8);
bool sameName(const std::string& a, const std::string& b);

struct NameLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

}  // namespace velmora
