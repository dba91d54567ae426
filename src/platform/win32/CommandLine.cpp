#include "platform/win32/CommandLine.h"

namespace velmora {

std::string argumentsAfterProgram(const std::string& commandLine) {
    std::string::size_type end = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        end = commandLine.find('"', 1);
        end = end == std::string::npos ? commandLine.size() : end + 1;
    } else {
        end = commandLine.find_first_of(" \t");
        if (end == std::string::npos) end = commandLine.size();
    }
    const auto start = commandLine.find_first_not_of(" \t", end);
    return start == std::string::npos ? std::string() : commandLine.substr(start);
}

}  // namespace velmora
