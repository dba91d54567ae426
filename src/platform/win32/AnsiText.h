#pragma once
#include <optional>
#include <string>

namespace velmora {

// Between the system's ANSI code page and UTF-8, through UTF-16.
std::string ansiToUtf8(const std::string& text);
// Empty when the text is not UTF-8 or holds a character the code page lacks.
std::optional<std::string> utf8ToAnsi(const std::string& text);

}  // namespace velmora
