#include "cli/CliCommands.h"

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/ExitCodes.h"
#include "cli/FieldAssignments.h"
#include "config/ConfigurationList.h"
#include "config/NameRule.h"
#include "platform/Failure.h"
#include "service/ServiceMessages.h"

namespace velmora::cli {

namespace {

using Json = nlohmann::ordered_json;

struct StatusWord {
    const char* word;
    int exitCode;
};

// The window's status texts as the command line reports them.
StatusWord statusOf(const std::string& statusText) {
    if (statusText == messages::kStatusRunning) return {"running", kSuccess};
    if (statusText == messages::kStatusStopped) return {"not running", kInstalledNotRunning};
    if (statusText == messages::kStatusNotInstalled) return {"not installed", kNotInstalled};
    return {"unknown", kStatusUnknown};
}

class Commands {
public:
    Commands(const Invocation& inv, CliSession& s) : inv_(inv), s_(s) {}

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
        s_.out << (inv_.operands.empty() ? overviewHelp() : commandHelp(inv_.operands[0]));
        return kSuccess;
    }

private:
    const std::string& name() const { return inv_.operands.at(0); }
    std::string quoted(const std::string& n) const { return "\"" + n + "\""; }
    std::string utf8(const std::string& t) const { return s_.text.toUtf8(t); }

    int fail(const std::string& message, int code = kFailure) {
        s_.err << message << "\n";
        return code;
    }

    // The stored spelling of a name, or empty when none is stored.
    std::string storedSpelling(const std::string& n) {
        for (const auto& entry : s_.config.storedConfigurationNames())
            if (sameConfigurationName(entry, n)) return entry;
        return {};
    }

    // Loads a stored configuration; false (with the message printed) when
    // there is none of that name or the name cannot be a key.
    bool load(std::string& n) {
        const std::string stored = storedSpelling(n);
        if (stored.empty()) {
            s_.err << "No configuration named " << quoted(n) << " is stored.\n";
            return false;
        }
        n = stored;
        s_.config.loadConfiguration(n);
        return s_.config.configuration().serviceName == n;
    }

    // A name that the name rule refuses is never saved, installed or uninstalled.
    bool refusedByNameRule(const std::string& n) {
        const std::string why = nameRuleViolation(n, s_.config.configuration().catalinaHome);
        if (!why.empty()) s_.err << "Refused, nothing was changed: " << why << "\n";
        return !why.empty();
    }

    // The outcome of one operation of DoConfig, from what it showed and
    // whether it got where it was asked to go.
    int judge(bool achieved, const std::string& notAchieved) {
        if (s_.boxes.refused())
            return fail("Refused: a \"Confirm\" question was not answered Yes; give --yes to answer it Yes.", kRefused);
        if (!achieved) return fail(notAchieved);
        if (!s_.boxes.warnings().empty()) return kFailure;
        return kSuccess;
    }

    void printJson(const Json& json) { s_.out << json.dump(2) << "\n"; }

    int list() {
        const auto names = s_.config.storedConfigurationNames();
        Json json = Json::array();
        for (const auto& n : names) {
            std::string state;
            if (inv_.status) {
                if (unusableNameReason(n).empty()) s_.config.loadConfiguration(n);
                state = unusableNameReason(n).empty() ? statusOf(s_.surface.statusText()).word : "unknown";
            }
            if (inv_.json) {
                Json entry = {{"name", utf8(n)}};
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
        const Configuration& c = s_.config.configuration();
        const std::string state = statusOf(s_.surface.statusText()).word;
        if (inv_.json) {
            Json entry = Json::parse(encodeConfigurations({c}, s_.text))["configurations"][0];
            entry["installed"] = s_.config.installedAsService();
            entry["status"] = state;
            printJson(entry);
            return kSuccess;
        }
        s_.out << "name = " << c.serviceName << "\n";
        for (const StoredField& field : storedFields()) {
            if (field.kind == FieldKind::Options) {
                for (const auto& option : c.additionalJvmOptions)
                    if (!option.empty()) s_.out << field.name << " = " << option << "\n";
            } else {
                s_.out << field.name << " = " << (field.check ? std::to_string(c.*field.check) : c.*field.text) << "\n";
            }
        }
        s_.out << "installed = " << (s_.config.installedAsService() ? 1 : 0) << "\nstatus = " << state << "\n";
        return kSuccess;
    }

    int set() {
        const auto parsed = parseAssignments({inv_.operands.begin() + 1, inv_.operands.end()});
        if (!parsed.error.empty()) return fail("velmora-cli set: " + parsed.error, kUsageError);
        std::string n = name();
        if (!storedSpelling(n).empty()) {
            if (!load(n)) return kFailure;
        } else {
            s_.config.newConfiguration();
            s_.config.setServiceName(n);
        }
        applyAssignments(parsed.assignments, s_.config, s_.surface);
        if (refusedByNameRule(n)) return kRefused;
        s_.boxes.startOperation();
        s_.config.saveConfiguration(true);
        return judge(!storedSpelling(n).empty(), "The configuration " + quoted(n) + " was not saved.");
    }

    int check() {
        std::string n = name();
        if (!load(n)) return kFailure;
        s_.boxes.startOperation();
        s_.config.collectJvmOptions();
        bool problems = false;
        try {
            problems = s_.config.writeDiagnosticReport(inv_.open ? ReportMode::Always : ReportMode::WriteOnly);
        } catch (const StepFailure& e) {
            return fail("The diagnostic report could not be written to " + quoted(s_.config.reportFilePath()) + ": " +
                        e.failure().description);
        }
        const auto& found = s_.boxes.warnings();
        if (inv_.json) {
            Json json = {{"name", utf8(n)}, {"report", utf8(s_.config.reportFilePath())}, {"problems", Json::array()}};
            for (const auto& problem : found) json["problems"].push_back(utf8(problem));
            printJson(json);
        } else {
            s_.out << (problems ? "Problems found; the report is " : "No problems found; the report is ")
                   << s_.config.reportFilePath() << "\n";
        }
        return problems ? kProblemsFound : kSuccess;
    }

    int install() {
        std::string n = name();
        if (!load(n)) return kFailure;
        if (refusedByNameRule(n)) return kRefused;
        if (s_.config.installedAsService()) {
            s_.out << "Service " << quoted(n) << " is already installed.\n";
            return kSuccess;
        }
        s_.boxes.startOperation();
        s_.config.installOrUninstall();
        return judge(s_.config.installedAsService(), "Service " + quoted(n) + " was not installed.");
    }

    int uninstall() {
        std::string n = name();
        if (!load(n)) return kFailure;
        if (refusedByNameRule(n)) return kRefused;
        if (!s_.config.installedAsService()) {
            s_.out << "Service " << quoted(n) << " is not installed.\n";
            return kSuccess;
        }
        s_.boxes.startOperation();
        s_.surface.printNoticesTo(s_.out);
        s_.config.installOrUninstall();
        return judge(!s_.config.installedAsService(), "Service " + quoted(n) + " is still installed.");
    }

    int startOrStop(bool start) {
        std::string n = name();
        if (!load(n)) return kFailure;
        if (refusedByNameRule(n)) return kRefused;
        if (!s_.config.installedAsService()) return fail("Service " + quoted(n) + " is not installed.");
        s_.boxes.startOperation();
        s_.surface.printNoticesTo(s_.out);
        start ? s_.config.startService() : s_.config.stopService();
        const std::string state = statusOf(s_.surface.statusText()).word;
        const bool achieved = state == (start ? "running" : "not running");
        if (achieved) s_.out << "Service " << quoted(n) << " is " << state << ".\n";
        return judge(achieved, "Service " + quoted(n) + " did not " + (start ? "start" : "stop") + "; its state: " +
                                   state + ".");
    }

    int status() {
        std::string n = name();
        if (!load(n)) return kFailure;
        const StatusWord state = statusOf(s_.surface.statusText());
        if (inv_.json)
            printJson({{"name", utf8(n)}, {"status", state.word}});
        else
            s_.out << n << ": " << state.word << "\n";
        return state.exitCode;
    }

    int remove() {
        std::string n = name();
        if (!load(n)) return kFailure;
        s_.boxes.startOperation();
        s_.config.deleteConfiguration(false);
        return judge(storedSpelling(n).empty(), "The configuration " + quoted(n) + " is still stored.");
    }

    int exportTo() {
        auto result = inv_.all ? s_.transfer.exportAll() : s_.transfer.exportNamed(inv_.operands);
        if (!result.error.empty()) return fail(result.error);
        if (inv_.outFile.empty()) {
            s_.out << result.document;
            return kSuccess;
        }
        if (auto failure = s_.files.writeText(inv_.outFile, result.document))
            return fail("Could not write " + quoted(inv_.outFile) + ": " + failure->description);
        s_.out << "Exported " << result.names.size() << " configuration(s) to " << inv_.outFile << ".\n";
        return kSuccess;
    }

    int importFrom() {
        std::ifstream file(name(), std::ios::binary);
        if (!file) return fail("Could not read " + quoted(name()) + ".");
        std::stringstream document;
        document << file.rdbuf();
        auto result = s_.transfer.importDocument(document.str(), inv_.replace);
        if (!result.error.empty()) return fail(result.error, kRefused);
        s_.out << "Imported " << result.names.size() << " configuration(s):";
        for (const auto& n : result.names) s_.out << " " << n;
        s_.out << "\n";
        return kSuccess;
    }

    const Invocation& inv_;
    CliSession& s_;
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
    session.boxes.answerYes(inv.yes);
    if (inv.json) {
        // Standard output carries the document alone.
        session.boxes.sendInfoTo(session.err);
    }
    return Commands(inv, session).run();
}

}  // namespace velmora::cli
