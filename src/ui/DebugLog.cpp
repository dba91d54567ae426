#include "ui/DebugLog.h"

#include <algorithm>
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

void DebugLog::start(Environment& environment, MessageBoxes& messageBoxes) {
    const auto asked = debugLogPathFromArguments(environment.commandLineArguments());
    if (!asked || asked->empty()) return;
    const std::string path = environment.absolutePath(*asked);
    if (auto failure = files_.writeText(path, "")) {
        messageBoxes.show("The debug log " + path + " could not be created: " + failure->description +
                              " Velmora runs without a debug log.",
                          kMbOk | kMbIconExclamation, "Warning");
        return;
    }
    debugLogPath_ = path;
}

void DebugLog::append(const std::string& line) {
    if (debugLogPath_.empty()) return;
    // A line that cannot be written is lost; the caller goes on.
    (void)files_.appendText(debugLogPath_, line + "\r\n");
}

}  // namespace velmora
