#include "ui/BoxLines.h"

#include "platform/Text.h"

namespace velmora {

namespace {

constexpr const char* kBlanks = " \t";

template <typename Take>
std::vector<std::string> splitLines(const std::string& text, Take take) {
    std::vector<std::string> lines;
    std::string line;
    for (char ch : text + "\n") {
        if (ch != '\r' && ch != '\n') {
            line += ch;
            continue;
        }
        if (line.find_first_not_of(kBlanks) != std::string::npos) lines.push_back(take(line));
        line.clear();
    }
    return lines;
}

}  // namespace

std::vector<std::string> trimmedLines(const std::string& text) {
    return splitLines(text, [](const std::string& line) { return trimmed(line); });
}

std::vector<std::string> typedLines(const std::string& text) {
    return splitLines(text, [](const std::string& line) { return line; });
}

}  // namespace velmora
