#include "config/BatchScript.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace velmora {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string lowerAscii(std::string text) {
    for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

// Whether the physical line ends in a caret that joins the next one to it:
// unescaped and outside quotes. A joined line's first character is escaped.
bool continues(const std::string& line, bool firstEscaped) {
    bool quoted = false;
    for (std::size_t at = firstEscaped ? 1 : 0; at < line.size(); ++at) {
        if (line[at] == '"') {
            quoted = !quoted;
        } else if (line[at] == '^' && !quoted) {
            if (at + 1 == line.size()) return true;
            ++at;
        }
    }
    return false;
}

}  // namespace

bool startsWithWord(const std::string& command, const std::string& word) {
    if (command.size() < word.size() || lowerAscii(command.substr(0, word.size())) != word) return false;
    return command.size() == word.size() ||
           std::string_view(" \t.:/\\(").find(command[word.size()]) != std::string_view::npos;
}

std::vector<ScriptLine> logicalLines(const std::string& script) {
    std::vector<ScriptLine> lines;
    bool joining = false;
    std::size_t number = 0;
    for (std::size_t start = 0; start < script.size();) {
        const std::size_t end = std::min(script.find('\n', start), script.size());
        std::string physical = script.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!physical.empty() && physical.back() == '\r') physical.pop_back();
        if (joining)
            lines.back().text += physical;
        else
            lines.push_back({number, physical});
        joining = continues(physical, joining);
    }
    return lines;
}

std::string commandText(const std::string& line) {
    const auto first = line.find_first_not_of(" \t@");
    return first == std::string::npos ? std::string() : line.substr(first);
}

bool isCommentOrEcho(const std::string& line) {
    const std::string command = commandText(line);
    if (!command.empty() && command.front() == ':') return true;
    if (startsWithWord(command, "rem")) return true;
    return startsWithWord(command, "echo") && readCarets(command).operators.find_first_of("&|") == std::string::npos;
}

CaretReading readCarets(const std::string& text) {
    CaretReading reading;
    bool quoted = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '^' && !quoted) {
            if (++at < text.size()) reading.text += text[at];
            continue;
        } else if (!quoted && std::string_view("&|<>()").find(c) != std::string_view::npos) {
            reading.operators += c;
        }
        reading.text += c;
    }
    reading.quoteLeftOpen = quoted;
    return reading;
}

std::optional<std::string> expandPercents(const std::string& text, const VariableLookup& valueOf) {
    std::string expanded;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '%') {
            expanded += text[at];
        } else if (at + 1 < text.size() && text[at + 1] == '%') {
            expanded += '%';
            ++at;
        } else {
            const std::size_t close = text.find('%', at + 1);
            if (close == std::string::npos) return std::nullopt;
            const auto value = valueOf(text.substr(at + 1, close - at - 1));
            if (!value) return std::nullopt;
            expanded += *value;
            at = close;
        }
    }
    return expanded;
}

CommandLineArguments commandLineArguments(const std::string& text) {
    CommandLineArguments split;
    std::string argument;
    bool inArgument = false;
    bool quoted = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '\\') {
            const std::size_t run = text.find_first_not_of('\\', at);
            const std::size_t backslashes = (run == std::string::npos ? text.size() : run) - at;
            const bool beforeQuote = run != std::string::npos && text[run] == '"';
            argument.append(beforeQuote ? backslashes / 2 : backslashes, '\\');
            at += backslashes - 1;
            if (beforeQuote && backslashes % 2 == 1) {
                argument += '"';
                ++at;
            }
            inArgument = true;
        } else if (c == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if (isBlank(c) && !quoted) {
            if (inArgument) split.arguments.push_back(argument);
            argument.clear();
            inArgument = false;
        } else {
            argument += c;
            inArgument = true;
        }
    }
    if (inArgument) split.arguments.push_back(argument);
    split.quoteLeftOpen = quoted;
    return split;
}

}  // namespace velmora
