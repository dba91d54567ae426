#include "cli/ConsoleFrontEnd.h"

#include <algorithm>

namespace velmora::cli {

std::string consoleText(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

Answer ConsoleFrontEnd::ask(const Question& question) {
    if (yes_ && !verbose_) return Answer::Yes;
    const QuestionLook look = lookOf(question.kind);
    const char* yes = look.okCancel ? "OK" : "Yes";
    const char* no = look.okCancel ? "Cancel" : "No";
    err_ << look.title << ": " << consoleText(question.text) << "\n  -> " << (yes_ ? yes : no);
    if (!yes_) err_ << " (--yes answers " << yes << ")";
    err_ << std::endl;
    return yes_ ? Answer::Yes : Answer::No;
}

void ConsoleFrontEnd::warn(const std::string& text) { err_ << kWarningTitle << ": " << consoleText(text) << std::endl; }

void ConsoleFrontEnd::tell(const std::string& text) {
    if (!quiet_) *info_ << consoleText(text) << std::endl;
}

// What net and the wrappers wrote: with --verbose only; a failure's message carries it anyway.
void ConsoleFrontEnd::detail(const std::string& text) {
    if (verbose_ && !text.empty()) err_ << consoleText(text) << (text.back() == '\n' ? "" : "\n") << std::flush;
}

void ConsoleFrontEnd::begin(const std::string& notice) {
    if (printProgress_ && !quiet_) *info_ << notice << std::endl;
}

}  // namespace velmora::cli
