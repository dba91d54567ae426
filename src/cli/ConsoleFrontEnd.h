#pragma once
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/FrontEnd.h"

namespace velmora::cli {

// The front end of a console: every box the window would show is printed,
// none waits for a user. Questions are answered No (Cancel) unless --yes
// asked for Yes; notices go to standard output (standard error while the
// output is a JSON document), warnings and the questions answered No to
// standard error (where PowerShell remoting shows anything as an error, so
// what --yes answered is printed only with --verbose).
class ConsoleFrontEnd : public FrontEnd {
public:
    // Where a password comes from: standard input (--password-stdin) or a
    // prompt that does not show what is typed; nothing when neither can give one.
    using PasswordSource =
        std::function<std::optional<std::string>(const std::string& account, bool fromStandardInput)>;

    ConsoleFrontEnd(std::ostream& out, std::ostream& err, PasswordSource passwords = {})
        : info_(&out), out_(out), err_(err), passwords_(std::move(passwords)) {}

    void answerYes(bool yes) { yes_ = yes; }
    // --restart: a running service may be restarted for a change to take effect.
    void answerRestart(bool restart) { restart_ = restart; }
    void noticesToErrorStream() { info_ = &err_; }
    // Quiet: no notices. Verbose: the questions --yes answered are printed too.
    void setQuiet(bool quiet) { quiet_ = quiet; }
    // --grant-rights: the questions about an account's rights are answered Yes.
    void grantRights(bool grant) { grantRights_ = grant; }
    // --check: a question whose Yes would change this computer (a folder
    // made, a right granted) is answered No, whatever else was given.
    void changeNothing(bool check) { changeNothing_ = check; }
    // --password-stdin: read once, before the command does anything: one
    // line, or (apply) one ACCOUNT=password line per named account. Why it
    // cannot be taken (nothing given, a NUL, a line of another form); empty when it can.
    std::string readPasswordFromStandardInput(bool perAccount);
    void setVerbose(bool verbose) { verbose_ = verbose; }
    // The "Working..." notices are printed only where a command asks for
    // them: a save also runs a removal, whose "Stopping" would mislead there.
    void printProgress(bool print) { printProgress_ = print; }

    Answer ask(const Question& question) override;
    void warn(const std::string& text) override;
    void tell(const std::string& text) override;
    void waitingForTurn(bool waiting) override;
    void begin(const std::string& notice) override;
    void end() override {}
    void detail(const std::string& text) override;
    void showConfiguration(const Configuration&, bool, const std::string&) override {}
    void showServiceState(bool, ServiceStatus, const std::string&) override {}
    std::optional<std::string> password(const std::string& account) override;

private:
    std::ostream* info_;
    std::ostream& out_;
    std::ostream& err_;
    PasswordSource passwords_;
    bool yes_ = false;
    bool restart_ = false;
    bool grantRights_ = false;
    bool changeNothing_ = false;
    std::optional<std::string> standardInputPassword_;
    std::vector<std::pair<std::string, std::string>> accountPasswords_;
    bool quiet_ = false;
    bool verbose_ = false;
    bool printProgress_ = false;
    // A run of one command says each warning once, however many of its steps came upon it.
    std::set<std::string> warned_;
};

// A console line ends in "\n"; the boxes' texts use "\r\n". Every other
// control character is written out (\x1B), whatever text it came from.
std::string consoleText(std::string text);

}  // namespace velmora::cli
