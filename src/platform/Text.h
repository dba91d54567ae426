#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

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
// The text without the blanks and tabs around it.
std::string trimmed(const std::string& text);

// Characters that change how text shows rather than what it says: C0 and C1
// control characters (DEL among them) and the bidirectional embeddings,
// overrides and isolates. None is ever stored, and printed text from outside
// shows them escaped.
bool isHiddenCharacter(char32_t code);
// The first such character in the text, if any.
std::optional<char32_t> firstHiddenCharacter(const std::string& text);
// "U+001B".
std::string codePointName(char32_t code);
// The text with every hidden character but line feeds and tabs written out as
// \x1B or \u202E, so that what a log or a script holds can be printed and shown.
std::string visibleText(const std::string& text);
// Names for a sentence: "a", "b", "c".
std::string quotedNames(const std::vector<std::string>& names);

struct NameLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

}  // namespace velmora
