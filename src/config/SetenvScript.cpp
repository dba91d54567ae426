#include "config/SetenvScript.h"

#include <algorithm>
#include <cctype>

#include "platform/Text.h"
#include "platform/WindowsPaths.h"

namespace velmora {

namespace {

constexpr std::size_t kScriptBytes = 256 * 1024;

std::string lowerAscii(std::string text) {
    for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Split at blanks outside double quotes; the quotes stay in the option as the
// JVM would get them from the startup script.
std::vector<std::string> splitOptions(const std::string& value) {
    std::vector<std::string> options;
    std::string option;
    bool quoted = false;
    for (char ch : value) {
        if (ch == '"') quoted = !quoted;
        if (!quoted && (ch == ' ' || ch == '\t')) {
            if (!option.empty()) options.push_back(option);
            option.clear();
        } else {
            option += ch;
        }
    }
    if (!option.empty()) options.push_back(option);
    return options;
}

bool isVariableReference(const std::string& option) {
    return option.size() > 2 && option.front() == '%' && option.back() == '%' &&
           option.find('%', 1) == option.size() - 1;
}

bool hasOption(const std::vector<std::string>& options, const std::string& option) {
    return std::any_of(options.begin(), options.end(), [&](const std::string& o) { return o == option; });
}

}  // namespace

std::vector<SetenvOptions> setenvOptionsOf(const std::string& scriptText, const std::string& scriptPath) {
    std::vector<SetenvOptions> found;
    std::size_t start = 0;
    while (start <= scriptText.size()) {
        const auto end = std::min(scriptText.find('\n', start), scriptText.size());
        std::string line = trimmed(scriptText.substr(start, end - start));
        start = end + 1;
        if (line.size() > 0 && line.front() == '@') line = trimmed(line.substr(1));
        if (lowerAscii(line.substr(0, 4)) != "set ") continue;
        std::string assignment = trimmed(line.substr(4));
        if (!assignment.empty() && assignment.front() == '"') {
            const auto close = assignment.rfind('"');
            assignment = close > 0 ? assignment.substr(1, close - 1) : assignment.substr(1);
        }
        const auto equals = assignment.find('=');
        if (equals == std::string::npos) continue;
        const std::string variable = trimmed(assignment.substr(0, equals));
        const std::string name = lowerAscii(variable);
        if (name != "catalina_opts" && name != "java_opts") continue;
        std::vector<std::string> options;
        for (auto& option : splitOptions(assignment.substr(equals + 1)))
            if (!isVariableReference(option)) options.push_back(option);
        if (options.empty()) continue;
        auto same = std::find_if(found.begin(), found.end(),
                                 [&](const SetenvOptions& f) { return lowerAscii(f.variable) == name; });
        if (same == found.end()) {
            found.push_back({scriptPath, variable, options});
        } else {
            for (auto& option : options) same->options.push_back(option);
        }
    }
    return found;
}

std::vector<SetenvOptions> setenvOptions(const Configuration& c, Files& files) {
    std::vector<SetenvOptions> found;
    std::vector<std::string> scripts = {c.catalinaHome + "\\bin\\setenv.bat"};
    if (!samePath(c.catalinaBase, c.catalinaHome)) scripts.push_back(c.catalinaBase + "\\bin\\setenv.bat");
    for (const auto& script : scripts)
        if (const auto text = files.readBytes(script, kScriptBytes))
            for (auto& options : setenvOptionsOf(*text, script)) found.push_back(std::move(options));
    return found;
}

std::string sizeIn(const std::string& size, unsigned long long unitBytes) {
    if (size.empty() || size.size() > 15) return {};
    unsigned long long multiplier = 1;
    std::string digits = size;
    switch (std::tolower(static_cast<unsigned char>(size.back()))) {
        case 'g':
            multiplier = 1ULL << 30;
            digits.pop_back();
            break;
        case 'm':
            multiplier = 1ULL << 20;
            digits.pop_back();
            break;
        case 'k':
            multiplier = 1ULL << 10;
            digits.pop_back();
            break;
        default: break;
    }
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return {};
    const unsigned long long bytes = std::stoull(digits) * multiplier;
    return std::to_string((bytes + unitBytes - 1) / unitBytes);
}

SetenvTakeOver setenvTakeOver(const std::vector<SetenvOptions>& found, const Configuration& c) {
    SetenvTakeOver takeOver;
    for (const auto& script : found)
        for (const auto& option : script.options) {
            const std::string head = option.substr(0, 4);
            std::string* field = head == "-Xms"   ? &takeOver.initialHeapSize
                                 : head == "-Xmx" ? &takeOver.maxHeapSize
                                 : head == "-Xss" ? &takeOver.threadStackSize
                                                  : nullptr;
            const std::string size = field ? sizeIn(option.substr(4), head == "-Xss" ? 1024 : 1024 * 1024) : "";
            if (!size.empty()) {
                *field = size;
            } else if (!hasOption(c.additionalJvmOptions, option) && !hasOption(takeOver.options, option)) {
                takeOver.options.push_back(option);
            }
        }
    return takeOver;
}

std::string setenvIgnoredMessage(const SetenvOptions& found, const std::string& serviceName) {
    std::string options;
    for (const auto& option : found.options) options += (options.empty() ? "" : " ") + option;
    return found.script + " sets " + found.variable + " (" + options +
           "), which the service never reads: " + "\"velmora-cli import-setenv " + serviceName +
           "\" takes them over into the configuration.";
}

}  // namespace velmora
