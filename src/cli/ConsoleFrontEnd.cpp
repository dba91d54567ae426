#include "cli/ConsoleFrontEnd.h"

#include <algorithm>

#include "platform/Text.h"

namespace velmora::cli {

std::string consoleText(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return visibleText(text);
}

namespace {

// The window's questions speak of buttons and of a report it opens; a console has neither.
std::string consoleQuestion(const Question& question) {
    switch (question.kind) {
        case QuestionKind::RestartRunningService:
            return "This configuration is installed as a running service: saving it stops the service and starts it "
                   "again. Continue?";
        case QuestionKind::DeleteInstalled:
            return "This configuration is installed as a service: deleting it removes the service too. Continue?";
        case QuestionKind::InstallDespiteProblems:
            if (question.subject.empty()) return "The check found the problems above. Go on all the same?";
            return "The check found problems; the diagnostic report is " + question.subject + ". Go on all the same?";
        case QuestionKind::MoveWithBase:
            return "The Catalina base has changed. Move the Tomcat config file, the System.out and System.err "
                   "folders, the temp folder and the policy file that lie below the old base along with it?";
        default: return question.text;
    }
}

}  // namespace

Answer ConsoleFrontEnd::ask(const Question& question) {
    // An account's rights change only when --grant-rights says so, --yes or not; a restart also with --restart.
    const bool rights = question.kind == QuestionKind::GrantRights || question.kind == QuestionKind::GrantLogOnRight;
    const bool restart =
        question.kind == QuestionKind::RestartAfterChange || question.kind == QuestionKind::RestartRunningService;
    // --check changes nothing: a Yes that would make a folder or grant a right is never given then.
    const bool folder = question.kind == QuestionKind::CreateMissingFolder;
    const bool held = changeNothing_ && (rights || folder);
    const bool givenYes = rights ? grantRights_ : yes_ || (restart && restart_);
    const bool yes = !held && givenYes;
    if (yes && !verbose_) return Answer::Yes;
    // A folder the run would make is no refusal in a check: left unanswered, it is not made and not declined.
    const bool leftForRun = held && folder && givenYes;
    const char* why = leftForRun ? "Yes in the run; --check makes no folder"
                      : held     ? "--check changes nothing"
                      : rights   ? "--grant-rights answers Yes"
                      : restart  ? "--restart or --yes answers Yes"
                                 : "--yes answers Yes";
    err_ << lookOf(question.kind).title << ": " << consoleText(consoleQuestion(question)) << "\n  -> "
         << (yes ? "Yes" : "No");
    if (!yes) err_ << " (" << why << ")";
    err_ << std::endl;
    if (leftForRun) return Answer::None;
    return yes ? Answer::Yes : Answer::No;
}

void ConsoleFrontEnd::warn(const std::string& text) {
    if (!warned_.insert(text).second) return;
    err_ << kWarningTitle << ": " << consoleText(text) << std::endl;
}

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

namespace {
const char* const kNul = "the password holds a NUL character, which Windows would cut it at.";
}

std::string ConsoleFrontEnd::readPasswordFromStandardInput(bool perAccount) {
    auto given = passwords_ ? passwords_("", true) : std::nullopt;
    // PowerShell set to UTF-8 sends a byte-order mark first; a password in another code page would be
    // handed on as other characters.
    if (given && given->rfind("\xEF\xBB\xBF", 0) == 0) given->erase(0, 3);
    if (given && !isValidUtf8(*given))
        return "--password-stdin: the standard input is not UTF-8 (in Windows PowerShell, set $OutputEncoding = "
               "[Text.UTF8Encoding]::new($false) first).";
    std::vector<std::string> lines;
    for (std::size_t at = 0; given && at < given->size();) {
        auto end = std::min(given->find('\n', at), given->size());
        std::string line = given->substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        at = end + 1;
    }
    if (lines.empty()) return "--password-stdin: the standard input held no password (an empty line).";
    if (!perAccount) {
        if (lines.front().find('\0') != std::string::npos) return std::string("--password-stdin: ") + kNul;
        standardInputPassword_ = lines.front();
        return {};
    }
    // ACCOUNT=password, one line per named account; the account as the service manager names it. A line
    // that is not one may be a password alone: it is named by its number, never shown.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const auto equals = line.find('=');
        if (equals == std::string::npos || equals == 0 || equals + 1 == line.size())
            return "--password-stdin: expected one ACCOUNT=password line per named account; line " +
                   std::to_string(i + 1) + " is not one.";
        if (line.find('\0') != std::string::npos) return std::string("--password-stdin: ") + kNul;
        accountPasswords_.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return {};
}

std::optional<std::string> ConsoleFrontEnd::password(const std::string& account) {
    if (standardInputPassword_) return standardInputPassword_;
    for (const auto& [named, secret] : accountPasswords_)
        if (sameName(named, account)) return secret;
    // Nothing typed at the prompt is no password.
    if (passwords_)
        if (auto given = passwords_(account, false); given && !given->empty()) return given;
    err_ << kWarningTitle << ": " << account
         << " logs on with a password, and none was given (--password-stdin reads it)." << std::endl;
    return std::nullopt;
}

}  // namespace velmora::cli
