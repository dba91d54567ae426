#include "CommandLine.h"

#include <vector>

namespace velmora::wrapper {

namespace {

struct Word {
    std::string_view text;
    std::size_t offset;
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<Word> splitWords(std::string_view line, std::size_t from) {
    std::vector<Word> words;
    std::size_t i = from;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        std::size_t start = i;
        while (i < line.size() && !isBlank(line[i])) ++i;
        if (i > start) words.push_back({line.substr(start, i - start), start});
    }
    return words;
}

// A quoted program path may hold anything, a switch-like word included.
std::size_t afterQuotedProgram(std::string_view line) {
    if (line.empty() || line[0] != '"') return 0;
    auto close = line.find('"', 1);
    return close == std::string_view::npos ? line.size() : close + 1;
}

bool isSwitch(std::string_view word) { return word == "-install" || word == "-uninstall" || word == serviceSwitch; }

Command parseInstall(std::string_view line, const std::vector<Word>& args) {
    // name, at least one word of library path, -start, method
    if (args.size() < 4) return UsageError{};
    const Word& startSwitch = args[args.size() - 2];
    if (startSwitch.text != "-start") return UsageError{};
    const Word& firstPathWord = args[1];
    const Word& lastPathWord = args[args.size() - 3];
    auto pathEnd = lastPathWord.offset + lastPathWord.text.size();
    return InstallCommand{std::string(args[0].text),
                          std::string(line.substr(firstPathWord.offset, pathEnd - firstPathWord.offset))};
}

}  // namespace

Command parseCommandLine(std::string_view line) {
    auto words = splitWords(line, afterQuotedProgram(line));
    std::size_t switchIndex = 0;
    while (switchIndex < words.size() && !isSwitch(words[switchIndex].text)) ++switchIndex;
    if (switchIndex == words.size()) return UsageError{};

    std::string_view mode = words[switchIndex].text;
    std::vector<Word> args(words.begin() + static_cast<std::ptrdiff_t>(switchIndex) + 1, words.end());
    if (mode == "-install") return parseInstall(line, args);
    if (args.size() != 1) return UsageError{};
    std::string name(args[0].text);
    if (mode == "-uninstall") return UninstallCommand{name};
    return ServiceCommand{name};
}

}  // namespace velmora::wrapper
