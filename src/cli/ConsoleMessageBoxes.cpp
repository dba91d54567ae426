#include "cli/ConsoleMessageBoxes.h"

#include <algorithm>

namespace velmora::cli {

namespace {
const std::string kConfirmTitle = "Confirm";
const std::string kWarningTitle = "Warning";

// A console line ends in "\n"; the boxes' texts use "\r\n".
std::string consoleText(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}
}  // namespace

void ConsoleMessageBoxes::startOperation() {
    refused_ = false;
    warnings_.clear();
}

int ConsoleMessageBoxes::show(const std::string& text, int buttons, const std::string& title) {
    const int set = buttons & 0xF;
    if (set == kMbYesNo || set == kMbOkCancel) {
        const int answer = yes_ ? (set == kMbYesNo ? kIdYes : kIdOk) : (set == kMbYesNo ? kIdNo : kIdCancel);
        const char* said = set == kMbYesNo ? (yes_ ? "Yes" : "No") : (yes_ ? "OK" : "Cancel");
        problems_ << title << ": " << consoleText(text) << "\n  -> " << said;
        if (!yes_) problems_ << " (--yes answers " << (set == kMbYesNo ? "Yes" : "OK") << ")";
        problems_ << std::endl;
        if (title == kConfirmTitle) {
            if (yes_)
                warnings_.clear();
            else
                refused_ = true;
        } else if (!yes_) {
            warnings_.push_back(consoleText(text));  // a missing folder left uncreated is a problem too
        }
        return answer;
    }
    if (title == kWarningTitle || (buttons & kMbIconExclamation) == kMbIconExclamation) {
        problems_ << "Warning: " << consoleText(text) << std::endl;
        warnings_.push_back(consoleText(text));
    } else {
        *info_ << consoleText(text) << std::endl;
    }
    return kIdOk;
}

}  // namespace velmora::cli
