#pragma once
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace velmora::wrapper {

// <program> //IS//<name> --Option value ...   install a service
// <program> //US//<name> --Option value ...   update its options
// <program> //DS//<name>                      stop and delete it
// <program> //RS//<name>                      how the service manager runs it
struct ProcrunCommand {
    enum class Verb { Install, Update, Delete, Run };
    Verb verb;
    std::string serviceName;
    // In the order given, names spelt as the wrapper documents them.
    std::vector<std::pair<std::string, std::string>> options;
};

struct ProcrunUsageError {
    std::string reason;
};

// The arguments after the program's own path, as the C runtime splits them.
// "--Name value" and "--Name=value" both work; an option the Tomcat 7-11
// wrapper does not know, a missing value or options after //DS// or //RS//
// are refused.
std::variant<ProcrunUsageError, ProcrunCommand> parseProcrunArguments(const std::vector<std::string>& arguments);

// A "#" or ";" separated list as the wrapper reads it: either character
// inside single quotes belongs to the entry, and the quotes go.
std::vector<std::string> splitProcrunList(const std::string& list);

}  // namespace velmora::wrapper
