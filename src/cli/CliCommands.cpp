#include "cli/CliCommands.h"

#include <nlohmann/json.hpp>

#include "app/Version.h"
#include "cli/CliArguments.h"
#include "cli/ExitCodes.h"
#include "cli/FieldAssignments.h"
#include "config/ConfigurationDocument.h"
#include "config/NameRule.h"

namespace velmora::cli {

namespace {

using Json = nlohmann::ordered_json;
constexpr std::size_t kLargestImport = 1u << 30;

struct StatusWord {
    const char* word;
    int exitCode;
};

StatusWord statusWordOf(ServiceStatus status) {
    switch (status) {
        case ServiceStatus::Running: return {"running", kSuccess};
        case ServiceStatus::NotRunning: return {"not running", kInstalledNotRunning};
        case ServiceStatus::NotInstalled: return {"not installed", kNotInstalled};
        case ServiceStatus::Unknown: break;
    }
    return {"unknown", kStatusUnknown};
}

// The exit code of an operation, from its outcome alone.
int exitCodeOf(const Outcome& outcome) {
    switch (outcome.result) {
        case Outcome::Result::Done: return outcome.warnings.empty() ? kSuccess : kFailure;
        case Outcome::Result::Refused:
        case Outcome::Result::Declined: return kRefused;
        case Outcome::Result::Failed: return kFailure;
    }
    return kFailure;
}

std::string inQuotes(const std::string& name) { return "\"" + name + "\""; }

class Commands {
public:
    Commands(const Invocation& inv, CliSession& s) : inv_(inv), s_(s), session_(s.session) {}

    int run() {
        const std::string& c = inv_.command;
        if (c == "list") return list();
        if (c == "show") return show();
        if (c == "set") return set();
        if (c == "check") return check();
        if (c == "install") return install();
        if (c == "uninstall") return uninstall();
        if (c == "start" || c == "stop") return startOrStop(c == "start");
        if (c == "status") return status();
        if (c == "delete") return remove();
        if (c == "export") return exportTo();
        if (c == "import") return importFrom();
        if (c == "version") {
            s_.out << kProductName << " " << versionText() << "\n";
            return kSuccess;
        }
        s_.out << (inv_.operands.empty() ? overviewHelp() : commandHelp(inv_.operands[0]));
        return kSuccess;
    }

private:
    const std::string& name() const { return inv_.operands.at(0); }

    int fail(const std::string& message, int code = kFailure) {
        s_.err << message << "\n";
        return code;
    }

    // Opens a stored configuration; false (with the message printed) when
    // there is none of that name or the name cannot be a key.
    bool load(std::string& n) {
        const std::string stored = session_.storedSpelling(n);
        if (stored.empty()) {
            s_.err << "No configuration named " << inQuotes(n) << " is stored.\n";
            return false;
        }
        n = stored;
        return session_.open(n).done();
    }

    // A name that the name rule refuses is never saved, installed or uninstalled.
    bool refusedByNameRule(const std::string& n) {
        const std::string why = nameRuleViolation(n, session_.configuration().catalinaHome);
        if (!why.empty()) s_.err << "Refused, nothing was changed: " << why << "\n";
        return !why.empty();
    }

    int finish(const Outcome& outcome) {
        if (!outcome.done() && !outcome.summary.empty()) s_.err << outcome.summary << "\n";
        return exitCodeOf(outcome);
    }

    void printJson(const Json& json) { s_.out << json.dump(2, ' ', false, Json::error_handler_t::replace) << "\n"; }

    int list() {
        Json json = Json::array();
        for (const auto& n : session_.storedNames()) {
            std::string state;
            if (inv_.status)
                state = unusableNameReason(n).empty() && session_.open(n).done() ? statusWordOf(session_.status()).word
                                                                                  : "unknown";
            if (inv_.json) {
                Json entry = {{"name", n}};
                if (inv_.status) entry["status"] = state;
                json.push_back(entry);
            } else {
                s_.out << n << (inv_.status ? "\t" + state : "") << "\n";
            }
        }
        if (inv_.json) printJson(json);
        return kSuccess;
    }

    int show() {
        std::string n = name();
        if (!load(n)) return kFailure;
        const Configuration& c = session_.configuration();
        const std::string state = statusWordOf(session_.status()).word;
        if (inv_.json) {
            Json entry = Json::parse(encodeConfigurations({c}))["configurations"][0];
            entry["installed"] = session_.installed();
            entry["status"] = state;
            printJson(entry);
            return kSuccess;
        }
        s_.out << "name = " << c.serviceName << "\n";
        for (const StoredField& field : storedFields()) {
            if (field.kind == FieldKind::Options) {
                for (const auto& option : c.additionalJvmOptions) s_.out << field.name << " = " << option << "\n";
            } else {
                s_.out << field.name << " = " << fieldText(c, field) << "\n";
            }
        }
        s_.out << "installed = " << (session_.installed() ? 1 : 0) << "\nstatus = " << state << "\n";
        return kSuccess;
    }

    int set() {
        const auto parsed = parseAssignments({inv_.operands.begin() + 1, inv_.operands.end()});
        if (!parsed.error.empty()) return fail("velmora-cli set: " + parsed.error, kUsageError);
        std::string n = name();
        if (!session_.storedSpelling(n).empty()) {
            if (!load(n)) return kFailure;
        } else {
            session_.newConfiguration();
            session_.edit(Field::ServiceName, n);
        }
        applyAssignments(parsed.assignments, session_);
        if (refusedByNameRule(n)) return kRefused;
        return finish(session_.save(true));
    }

    int check() {
        std::string n = name();
        if (!load(n)) return kFailure;
        const CheckResult result = session_.checkConfiguration(inv_.open ? ReportOpening::Always : ReportOpening::Never);
        if (!result.outcome.done()) return finish(result.outcome);
        if (inv_.json) {
            Json json = {{"name", n}, {"report", result.reportPath}, {"problems", Json::array()}};
            for (const auto& finding : result.report.findings) json["problems"].push_back(finding.message);
            printJson(json);
        } else {
            s_.out << result.outcome.summary << "\n";
        }
        return result.report.findings.empty() ? kSuccess : kProblemsFound;
    }

    int install() {
        std::string n = name();
        if (!load(n)) return kFailure;
        if (refusedByNameRule(n)) return kRefused;
        if (session_.installed()) {
            s_.out << "Service " << inQuotes(n) << " is already installed.\n";
            return kSuccess;
        }
        return finish(session_.install());
    }

    int uninstall() {
        std::string n = name();
        if (!load(n)) return kFailure;
        if (refusedByNameRule(n)) return kRefused;
        if (!session_.installed()) {
            s_.out << "Service " << inQuotes(n) << " is not installed.\n";
            return kSuccess;
        }
        s_.frontEnd.printProgress(true);
        return finish(session_.uninstall());
    }

    int startOrStop(bool start) {
        std::string n = name();
        if (!load(n)) return kFailure;
        if (refusedByNameRule(n)) return kRefused;
        if (!session_.installed()) return fail("Service " + inQuotes(n) + " is not installed.");
        s_.frontEnd.printProgress(true);
        const Outcome outcome = start ? session_.start() : session_.stop();
        if (outcome.done()) s_.out << outcome.summary << "\n";
        return finish(outcome);
    }

    int status() {
        std::string n = name();
        if (!load(n)) return kFailure;
        const StatusWord state = statusWordOf(session_.status());
        if (inv_.json)
            printJson({{"name", n}, {"status", state.word}});
        else
            s_.out << n << ": " << state.word << "\n";
        return state.exitCode;
    }

    int remove() {
        std::string n = name();
        if (!load(n)) return kFailure;
        return finish(session_.remove());
    }

    int exportTo() {
        auto result = inv_.all ? s_.transfer.exportAll() : s_.transfer.exportNamed(inv_.operands);
        if (!result.error.empty()) return fail(result.error);
        if (inv_.outFile.empty()) {
            s_.out << result.document;
            return kSuccess;
        }
        if (auto failure = s_.files.writeText(inv_.outFile, result.document))
            return fail("Could not write " + inQuotes(inv_.outFile) + ": " + failure->description);
        s_.out << "Exported " << result.names.size() << " configuration(s) to " << inv_.outFile << ".\n";
        return kSuccess;
    }

    int importFrom() {
        const auto document = s_.files.readBytes(name(), kLargestImport);
        if (!document) return fail("Could not read " + inQuotes(name()) + ".");
        auto result = s_.transfer.importDocument(*document, inv_.replace);
        if (!result.error.empty()) return fail(result.error, kRefused);
        s_.out << "Imported " << result.names.size() << " configuration(s):";
        for (const auto& n : result.names) s_.out << " " << n;
        s_.out << "\n";
        return kSuccess;
    }

    const Invocation& inv_;
    CliSession& s_;
    Session& session_;
};

}  // namespace

int runCommandLine(const std::vector<std::string>& arguments, CliSession& session) {
    const ParsedArguments parsed = parseArguments(arguments);
    if (!parsed.error.empty()) {
        session.err << "velmora-cli: " << parsed.error << "\nRun \"velmora-cli help\" for the commands.\n";
        return kUsageError;
    }
    const Invocation& inv = parsed.invocation;
    if (inv.help) {
        session.out << commandHelp(inv.command);
        return kSuccess;
    }
    session.frontEnd.answerYes(inv.yes);
    // Standard output carries the document alone.
    if (inv.json) session.frontEnd.noticesToErrorStream();
    return Commands(inv, session).run();
}

}  // namespace velmora::cli
