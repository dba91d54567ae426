#include "cli/ConsoleFrontEnd.h"

#include <algorithm>

#include "platform/Text.h"

namespace velmora::cli {

std::string consoleText(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return visibleText(text);
}

Answer ConsoleFrontEnd::ask(const Question& question) {
    // An account's rights change only when --grant-rights says so, --yes or not.
    const bool rights = question.kind == QuestionKind::GrantRights || question.kind == QuestionKind::GrantLogOnRight;
    const bool yes = rights ? grantRights_ : yes_;
    if (yes && !verbose_) return Answer::Yes;
    const QuestionLook look = lookOf(question.kind);
    const char* yesWord = look.okCancel ? "OK" : "Yes";
    const char* noWord = look.okCancel ? "Cancel" : "No";
    err_ << look.title << ": " << consoleText(question.text) << "\n  -> " << (yes ? yesWord : noWord);
    if (!yes) err_ << " (" << (rights ? "--grant-rights" : "--yes") << " answers " << yesWord << ")";
    err_ << std::endl;
    return yes ? Answer::Yes : Answer::No;
}

void ConsoleFrontEnd::warn(const std::string& text) { err_ << kWarningTitle << ": " << consoleText(text) << std::endl; }

void ConsoleFrontEnd::tell(const std::string& text) {
    if (!quiet_) *info_ << consoleText(text) << std::endl;
}

// What net and the wrappers wrote: with --verbose only; a failure's message carries it anyway.
void ConsoleFrontEnd::detail(const std::string& text) {
    if (verbose_ && !text.empty()) err_ << consoleText(text) << (text.back() == '\n' ? "" : "\n") << std::flush;
}

void ConsoleFrontEnd::waitingForTurn(bool waiting) {
    if (waiting && !quiet_) *info_ << "Waiting for another Velmora command on this computer to finish..." << std::endl;
}

void ConsoleFrontEnd::begin(const std::string& notice) {
    if (printProgress_ && !quiet_) *info_ << notice << std::endl;
}

}  // namespace velmora::cli

namespace velmora::cli {

std::string ConsoleFrontEnd::readPasswordFromStandardInput() {
    const auto given = passwords_ ? passwords_("", true) : std::nullopt;
    if (!given || given->empty()) return "--password-stdin: the standard input held no password (an empty line).";
    if (given->find('\0') != std::string::npos)
        return "--password-stdin: the password holds a NUL character, which Windows would cut it at.";
    standardInputPassword_ = given;
    return {};
}

std::optional<std::string> ConsoleFrontEnd::password(const std::string& account) {
    if (standardInputPassword_) return standardInputPassword_;
    // Nothing typed at the prompt is no password.
    if (passwords_)
        if (auto given = passwords_(account, false); given && !given->empty()) return given;
    err_ << kWarningTitle << ": " << account
         << " logs on with a password, and none was given (--password-stdin reads it)." << std::endl;
    return std::nullopt;
}

}  // namespace velmora::cli
