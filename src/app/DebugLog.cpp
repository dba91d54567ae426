#include "app/DebugLog.h"

#include <cctype>

namespace velmora {

std::optional<std::string> debugLogPathFromArguments(const std::string& arguments) {
    std::string text;
    for (char c : arguments)
        if (c != ' ') text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (text.find("debug") == std::string::npos) return std::nullopt;
    const auto colon = text.find(':');
    return colon == std::string::npos ? text : text.substr(colon + 1);
}

std::string DebugLog::start(Environment& environment) {
    const auto asked = debugLogPathFromArguments(environment.commandLineArguments());
    if (!asked || asked->empty()) return {};
    const std::string path = environment.absolutePath(*asked);
    if (auto failure = files_.writeText(path, ""))
        return "The debug log " + path + " could not be created: " + failure->description +
               " Velmora runs without a debug log.";
    path_ = path;
    return {};
}

void DebugLog::logFailure(const Failure& failure, const std::string& step) {
    append("Err.Source: " + failure.source);
    append("Err.Description: " + failure.description);
    append("Err.Number: " + std::to_string(failure.number));
    append("errStatus: " + step);
}

void DebugLog::append(const std::string& line) {
    if (path_.empty()) return;
    // A line that cannot be written is lost; the caller goes on.
    (void)files_.appendText(path_, line + "\r\n");
}

}  // namespace velmora
