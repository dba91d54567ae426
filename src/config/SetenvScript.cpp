#include "config/SetenvScript.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <limits>

#include "config/BatchScript.h"
#include "config/ConfigurationFields.h"
#include "platform/Numbers.h"
#include "platform/Text.h"
#include "platform/WindowsPaths.h"

namespace velmora {

namespace {

constexpr std::size_t kScriptBytes = 256 * 1024;

std::string lowerAscii(std::string text) {
    for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

// CATALINA_OPTS or JAVA_OPTS, however the script spells it; nothing for another name.
std::optional<std::string> takenVariable(const std::string& name) {
    const std::string lower = lowerAscii(name);
    if (lower == "catalina_opts") return "CATALINA_OPTS";
    if (lower == "java_opts") return "JAVA_OPTS";
    return std::nullopt;
}

bool mentionsTakenVariable(const std::string& line) {
    const std::string lower = lowerAscii(line);
    return lower.find("catalina_opts") != std::string::npos || lower.find("java_opts") != std::string::npos;
}

// "goto :eof", "exit /b" or "exit": cmd reads no further.
bool endsScript(const std::string& command) {
    if (startsWithWord(command, "exit")) return true;
    if (!startsWithWord(command, "goto")) return false;
    const std::string target = trimmed(lowerAscii(command.substr(4)));
    return target.rfind(":eof", 0) == 0 && (target.size() == 4 || target[4] == ' ' || target[4] == '\t');
}

// !NAME! is expanded only when delayed expansion is on, which the script's caller decides.
bool hasDelayedReference(const std::string& text) {
    const auto first = text.find('!');
    return first != std::string::npos && text.rfind('!') > first + 1;
}

std::ptrdiff_t blockDepthChange(const std::string& operators) {
    return std::count(operators.begin(), operators.end(), '(') - std::count(operators.begin(), operators.end(), ')');
}

struct Assignment {
    std::string name;
    std::string value;
};

// set NAME=value or set "NAME=value" (the value up to the last quote), after
// percent expansion; nothing for any other command or with an operator.
std::optional<Assignment> plainAssignment(const std::string& command) {
    const CaretReading read = readCarets(command);
    if (!read.operators.empty() || !startsWithWord(read.text, "set") || read.text.size() < 4 ||
        (read.text[3] != ' ' && read.text[3] != '\t'))
        return std::nullopt;
    const auto start = read.text.find_first_not_of(" \t", 3);
    if (start == std::string::npos || read.text[start] == '/') return std::nullopt;  // set /a, set /p
    std::string assignment = read.text.substr(start);
    if (assignment.front() == '"') {
        const auto close = assignment.rfind('"');
        if (close == 0) return std::nullopt;
        assignment = assignment.substr(1, close - 1);
    }
    const auto equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0) return std::nullopt;
    return Assignment{assignment.substr(0, equals), assignment.substr(equals + 1)};
}

// catalina.bat puts the variable unquoted on the java command line, where cmd
// reads its carets and operators once more: only a value without them, and
// without a quote left open, reaches the JVM as the script wrote it.
bool reachesJvmAsWritten(const std::string& value) {
    const CaretReading again = readCarets(value);
    return again.text == value && again.operators.find_first_of("&|<>") == std::string::npos && !again.quoteLeftOpen &&
           !commandLineArguments(value).quoteLeftOpen;
}

std::optional<Assignment> followedAssignment(const std::string& command, const VariableLookup& valueOf) {
    if (hasDelayedReference(command)) return std::nullopt;
    const auto expanded = expandPercents(command, valueOf);
    auto assignment = expanded ? plainAssignment(*expanded) : std::nullopt;
    if (!assignment) return std::nullopt;
    const bool taken = takenVariable(assignment->name).has_value();
    // "set CATALINA_OPTS =..." sets a variable whose name ends in a blank, which catalina.bat never reads.
    if (!taken && takenVariable(trimmed(assignment->name))) return std::nullopt;
    if (taken && !reachesJvmAsWritten(assignment->value)) return std::nullopt;
    return assignment;
}

bool hasOption(const std::vector<std::string>& options, const std::string& option) {
    return std::any_of(options.begin(), options.end(), [&](const std::string& o) { return o == option; });
}

// The size in the unit, rounded up, or the largest number when its bytes do
// not fit 64 bits; nothing when it is no size.
std::optional<unsigned long long> unitsOf(const std::string& size, unsigned long long unitBytes) {
    if (size.empty()) return std::nullopt;
    unsigned long long multiplier = 1;
    std::string digits = size;
    switch (std::tolower(static_cast<unsigned char>(size.back()))) {
        case 't':
            multiplier = 1ULL << 40;
            digits.pop_back();
            break;
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
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    const auto number = wholeNumber<unsigned long long>(digits);
    if (!number || *number > std::numeric_limits<unsigned long long>::max() / multiplier)
        return std::numeric_limits<unsigned long long>::max();
    const unsigned long long bytes = *number * multiplier;
    return bytes / unitBytes + (bytes % unitBytes != 0);
}

}  // namespace

bool SetenvTakeOver::heldBy(const Configuration& c) const {
    return empty() && std::all_of(notTaken.begin(), notTaken.end(), [&](const NotTakenOption& size) {
               return hasOption(c.additionalJvmOptions, size.option);
           });
}

SetenvScriptReading setenvOptionsOf(const std::string& scriptText, const std::string& scriptPath,
                                    const ScriptVariables& known) {
    std::vector<std::pair<std::string, std::string>> values;  // CATALINA_OPTS or JAVA_OPTS
    auto valueOfTaken = [&](const std::string& variable) {
        return std::find_if(values.begin(), values.end(), [&](const auto& v) { return v.first == variable; });
    };
    const VariableLookup valueOf = [&](const std::string& name) -> std::optional<std::string> {
        const std::string lower = lowerAscii(name);
        if (lower == "catalina_home") return known.catalinaHome;
        if (lower == "catalina_base") return known.catalinaBase;
        if (lower == "java_home") return known.javaHome;
        const auto variable = takenVariable(name);
        if (!variable) return std::nullopt;
        const auto set = valueOfTaken(*variable);
        return set == values.end() ? std::string() : set->second;
    };
    SetenvScriptReading reading;
    std::ptrdiff_t blockDepth = 0;
    bool local = false;  // after setlocal, what the script sets is gone when it returns
    for (const auto& line : logicalLines(scriptText)) {
        const std::string command = commandText(line.text);
        if (command.empty() || isCommentOrEcho(command)) continue;
        const bool topLevel = blockDepth == 0;
        blockDepth = std::max<std::ptrdiff_t>(0, blockDepth + blockDepthChange(readCarets(command).operators));
        if (topLevel && endsScript(command)) break;
        if (topLevel && startsWithWord(command, "setlocal")) local = true;
        if (topLevel && startsWithWord(command, "endlocal")) local = false;
        if (!mentionsTakenVariable(command)) continue;
        const auto assignment = topLevel && !local ? followedAssignment(command, valueOf) : std::nullopt;
        if (!assignment) {
            reading.notFollowed.push_back({scriptPath, line.number, visibleText(trimmed(line.text))});
        } else if (const auto variable = takenVariable(assignment->name)) {
            if (const auto set = valueOfTaken(*variable); set != values.end())
                set->second = assignment->value;
            else
                values.emplace_back(*variable, assignment->value);
        }
    }
    // In the order catalina.bat gives them to the JVM, whose last size wins: JAVA_OPTS, then CATALINA_OPTS.
    std::stable_sort(values.begin(), values.end(),
                     [](const auto& a, const auto& b) { return a.first == "JAVA_OPTS" && b.first != "JAVA_OPTS"; });
    for (const auto& [variable, value] : values)
        if (auto options = commandLineArguments(value).arguments; !options.empty())
            reading.variables.push_back({scriptPath, variable, std::move(options)});
    return reading;
}

SetenvScriptReading setenvOptions(const Configuration& c, Files& files) {
    const ScriptVariables known{c.catalinaHome, c.catalinaBase, c.javaHome};
    // catalina.bat calls the base's setenv.bat when there is one, and the home's only otherwise.
    std::string script = c.catalinaBase + "\\bin\\setenv.bat";
    if (c.catalinaBase.empty() || !files.fileExists(script)) script = c.catalinaHome + "\\bin\\setenv.bat";
    if (const auto text = files.readBytes(script, kScriptBytes)) return setenvOptionsOf(*text, script, known);
    return {};
}

std::string setenvNotFollowedMessage(const NotFollowedLine& line) {
    return "Line " + std::to_string(line.line) + " of " + line.script + " (" + line.text +
           ") sets CATALINA_OPTS or JAVA_OPTS in a way that only cmd can follow when it runs the script: what it "
           "sets is neither named here nor taken over.";
}

std::string sizeIn(const std::string& size, unsigned long long unitBytes) {
    const auto units = unitsOf(size, unitBytes);
    return units && *units <= static_cast<unsigned long long>(kLargestSize) ? std::to_string(*units) : std::string();
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
            if (!field) {
                if (!hasOption(c.additionalJvmOptions, option) && !hasOption(takeOver.options, option))
                    takeOver.options.push_back(option);
                continue;
            }
            // The JVM takes the last size given, so a later one that the field cannot hold leaves it empty.
            const bool stack = head == "-Xss";
            const std::string size = option.substr(4);
            const unsigned long long unitBytes = stack ? 1024 : 1024 * 1024;
            *field = sizeIn(size, unitBytes);
            // A size the JVM takes after a refused one is the one it runs with: the refused one no longer counts.
            if (!field->empty())
                std::erase_if(takeOver.notTaken,
                              [&](const NotTakenOption& refused) { return refused.option.substr(0, 4) == head; });
            if (field->empty())
                takeOver.notTaken.push_back(
                    {option, unitsOf(size, unitBytes)
                                 ? "larger than " + std::to_string(kLargestSize) + (stack ? " KB" : " MB")
                                 : "not a size"});
        }
    // A size the configuration holds already is no change: a second run takes nothing.
    for (auto [taken, held] :
         {std::pair{&takeOver.initialHeapSize, &c.initialHeapSize}, std::pair{&takeOver.maxHeapSize, &c.maxHeapSize},
          std::pair{&takeOver.threadStackSize, &c.threadStackSize}})
        if (*held != 0 && *taken == std::to_string(*held)) taken->clear();
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
