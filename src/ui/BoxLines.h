#pragma once
#include <string>
#include <vector>

namespace velmora {

// The values of a box that takes one value a line, as Windows gives its text (lines apart by "\r\n").
// A line of nothing but blanks is no value and is left out.

// Each value cut of the blanks at its ends: a service name has none of its own.
std::vector<std::string> trimmedLines(const std::string& text);
// Each value as typed: an environment variable's value may end in a blank that counts.
std::vector<std::string> typedLines(const std::string& text);

}  // namespace velmora
