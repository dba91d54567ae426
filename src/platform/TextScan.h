#pragma once
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Reads fixed shapes out of log lines and scripts (a quoted option, a port
// after a colon, a line number) from left to right. A regular-expression
// engine would do the same at several hundred kilobytes of program size.
class TextScanner {
public:
    TextScanner(std::string_view text, std::size_t at) : text_(text), at_(at) {}

    // Consumes the literal when it stands here.
    bool take(std::string_view literal);
    // Consumes the character when it stands here; either way the scan goes on.
    void skip(char c);
    // The longest run of characters that the test accepts, consumed.
    std::string takeWhile(bool (*accepts)(char));
    // The shortest non-empty text before `end`, consumed with `end`; nullopt when `end` never comes.
    std::optional<std::string> takeUntil(std::string_view end);
    // A run of from `fewest` to `most` digits, not followed by another digit.
    std::optional<std::string> takeDigits(std::size_t fewest = 1, std::size_t most = 10);

private:
    std::string_view text_;
    std::size_t at_;
};

using ScanRest = std::function<std::optional<std::string>(TextScanner&)>;

// The first place in the text after `lead` where `rest` finds what it looks for.
std::optional<std::string> scanAfter(std::string_view text, std::string_view lead, const ScanRest& rest);

bool isAsciiDigit(char c);
bool isNotBlank(char c);

}  // namespace velmora
