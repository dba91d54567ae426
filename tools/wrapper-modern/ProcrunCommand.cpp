#include "ProcrunCommand.h"

#include <algorithm>
#include <cctype>

namespace velmora::wrapper {

namespace {

// The options of the Tomcat 9-11 service wrapper's documentation.
const std::vector<std::string> knownOptions = {
    "Description", "DisplayName",    "Install",    "ServiceUser", "ServicePassword", "Startup",  "Type",
    "DependsOn",   "Environment",    "User",       "Password",    "LibraryPath",     "JavaHome", "Jvm",
    "JvmOptions",  "JvmOptions9",    "Classpath",  "JvmMs",       "JvmMx",           "JvmSs",    "StartMode",
    "StartImage",  "StartPath",      "StartClass", "StartMethod", "StartParams",     "StopMode", "StopImage",
    "StopPath",    "StopClass",      "StopMethod", "StopParams",  "StopTimeout",     "LogPath",  "LogPrefix",
    "LogLevel",    "LogJniMessages", "StdOutput",  "StdError",    "PidFile"};

std::string canonicalName(const std::string& name) {
    for (const auto& known : knownOptions)
        if (known.size() == name.size() &&
            std::equal(known.begin(), known.end(), name.begin(),
                       [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); }))
            return known;
    return {};
}

}  // namespace

std::variant<ProcrunUsageError, ProcrunCommand> parseProcrunArguments(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return ProcrunUsageError{"no //XX//<service name> directive"};
    const std::string& directive = arguments[0];
    static const std::pair<const char*, ProcrunCommand::Verb> verbs[] = {{"//IS//", ProcrunCommand::Verb::Install},
                                                                         {"//US//", ProcrunCommand::Verb::Update},
                                                                         {"//DS//", ProcrunCommand::Verb::Delete},
                                                                         {"//RS//", ProcrunCommand::Verb::Run}};
    ProcrunCommand command{};
    bool known = false;
    for (const auto& [prefix, verb] : verbs)
        if (directive.rfind(prefix, 0) == 0 && directive.size() > 6) {
            command.verb = verb;
            command.serviceName = directive.substr(6);
            known = true;
        }
    if (!known) return ProcrunUsageError{"unknown directive " + directive};

    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.rfind("--", 0) != 0) return ProcrunUsageError{"not an option: " + argument};
        const auto equals = argument.find('=');
        const std::string name = canonicalName(argument.substr(2, equals == std::string::npos ? equals : equals - 2));
        if (name.empty()) return ProcrunUsageError{"unknown option " + argument};
        if (equals != std::string::npos) {
            command.options.emplace_back(name, argument.substr(equals + 1));
        } else if (i + 1 < arguments.size()) {
            command.options.emplace_back(name, arguments[++i]);
        } else {
            return ProcrunUsageError{"no value for " + argument};
        }
    }
    const bool takesOptions =
        command.verb == ProcrunCommand::Verb::Install || command.verb == ProcrunCommand::Verb::Update;
    if (!takesOptions && !command.options.empty()) return ProcrunUsageError{directive + " takes no options"};
    return command;
}

std::vector<std::string> splitProcrunList(const std::string& list) {
    std::vector<std::string> entries;
    std::string entry;
    bool quoted = false;
    for (char c : list) {
        if (c == '\'') {
            quoted = !quoted;
        } else if ((c == '#' || c == ';') && !quoted) {
            if (!entry.empty()) entries.push_back(entry);
            entry.clear();
        } else {
            entry += c;
        }
    }
    if (!entry.empty()) entries.push_back(entry);
    return entries;
}

}  // namespace velmora::wrapper
