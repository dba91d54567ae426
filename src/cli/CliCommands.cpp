#include "cli/CliCommands.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "app/CommandTurn.h"
#include "app/DesiredState.h"
#include "app/FieldAssignments.h"
#include "app/SessionMessages.h"
#include "app/Version.h"
#include "cli/CliArguments.h"
#include "cli/ExitCodes.h"
#include "config/ConfigurationDocument.h"
#include "config/NameRule.h"

namespace velmora::cli {

namespace {

using Json = nlohmann::ordered_json;

// Windows PowerShell reads what a program writes in the console's code page,
// whatever the console is set to: JSON on standard output writes out every
// character beyond ASCII (\u00e9), which every JSON reader takes back.
std::string jsonText(const Json& json) { return json.dump(2, ' ', true, Json::error_handler_t::replace) + "\n"; }
constexpr std::size_t kLargestImport = 1u << 30;

struct StatusWord {
    const char* word;
    int exitCode;
};

int statusExitCode(ServiceStatus status) {
    switch (status) {
        case ServiceStatus::Running: return kSuccess;
        case ServiceStatus::NotRunning: return kInstalledNotRunning;
        case ServiceStatus::NotInstalled:
        case ServiceStatus::Gone: return kNotInstalled;
        case ServiceStatus::NotServing: return kStatusNotServing;
        case ServiceStatus::StartPending:
        case ServiceStatus::StopPending:
        case ServiceStatus::ContinuePending:
        case ServiceStatus::PausePending: return kStatusPending;
        case ServiceStatus::Paused: return kStatusPaused;
        case ServiceStatus::Unknown: break;
    }
    return kStatusUnknown;
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

const char* kindOf(const Outcome& outcome) {
    switch (outcome.result) {
        case Outcome::Result::Done: return "warning";
        case Outcome::Result::Refused: return "refused";
        case Outcome::Result::Declined: return "declined";
        case Outcome::Result::Failed: return "failed";
    }
    return "failed";
}

std::string inQuotes(const std::string& name) { return "\"" + name + "\""; }

// Findings as data: the field set takes, the label, the kind, the path, the message, and what each kind adds.
Json problemsJson(const std::vector<Finding>& findings) {
    Json problems = Json::array();
    for (const auto& finding : findings) {
        Json problem = {{"field", finding.field},
                        {"label", finding.label},
                        {"kind", findingKindName(finding.kind)},
                        {"path", finding.path},
                        {"message", finding.message}};
        if (finding.port) problem["port"] = finding.port;
        if (!finding.otherConfiguration.empty()) problem["configuration"] = finding.otherConfiguration;
        if (finding.kind == FindingKind::PortConflict && finding.port) problem["heldByProgram"] = finding.heldByProgram;
        if (!finding.suggestedJdk.empty()) problem["suggestedJdk"] = finding.suggestedJdk;
        if (finding.kind == FindingKind::ServiceDiffers) {
            problem["stored"] = finding.stored;
            problem["service"] = finding.held;
        }
        problems.push_back(std::move(problem));
    }
    return problems;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const auto& part : parts) text += (text.empty() ? "" : ", ") + part;
    return text;
}

Json startFailureJson(const StartDiagnosis& failed) {
    Json json = {{"cause", failed.cause}, {"sentence", failed.sentence}, {"file", failed.file}};
    json["line"] = failed.line;
    json["evidence"] = failed.evidence;
    json["filesRead"] = failed.filesRead;
    json["at"] = isoUtcText(failed.at);
    return json;
}

class Commands {
public:
    Commands(const Invocation& inv, CliSession& s)
        : inv_(inv), s_(s), session_(s.program.session), editing_(s.program.editing) {}

    int run() {
        const std::string& c = inv_.command;
        const bool changes = changesTheSystem(inv_);
        if (changes && !s_.program.platform.environment.elevated())
            return error(kNotElevated, "not-elevated",
                         "velmora-cli " + c +
                             " changes the system and needs an elevated prompt (Run as "
                             "administrator): it writes below HKEY_LOCAL_MACHINE and talks to the service manager. "
                             "Nothing was done.");
        // Every change waits its turn behind any other Velmora command, before it looks at anything.
        std::optional<CommandTurn> turn;
        if (changes) {
            turn.emplace(s_.program.platform.commandLock, s_.frontEnd, s_.program.store);
            if (!turn->refusal().empty()) return error(kFailure, "failed", turn->refusal());
        }
        if (c == "list") return list();
        if (c == "show") return show();
        if (c == "set") return set();
        if (c == "check") return check();
        if (c == "install") return install();
        if (c == "uninstall") return uninstall();
        if (c == "start" || c == "stop" || c == "restart") return changeRunning(c);
        if (c == "status") return status();
        if (c == "repoint") return repoint();
        if (c == "upgrade") return upgrade();
        if (c == "apply") return apply();
        if (c == "import-setenv") return importSetenv();
        if (c == "adopt") return inv_.list ? adoptableList() : adopt();
        if (c == "delete") return remove();
        if (c == "export") return exportTo();
        if (c == "import") return importFrom();
        if (c == "logs") return inv_.prune ? prune() : inv_.tail ? tail() : logs();
        if (c == "version")
            return say({{"version", std::string(VELMORA_VERSION_TEXT)}},
                       std::string(kProductName) + " " + versionText());
        return say({{"help", inv_.operands.empty() ? overviewHelp() : commandHelp(inv_.operands[0])}},
                   inv_.operands.empty() ? overviewHelp() : commandHelp(inv_.operands[0]), false);
    }

private:
    const std::string& name() const { return inv_.operands.at(0); }

    void printJson(const Json& json) { s_.out << jsonText(json); }

    // A success: the document with --json, else the text.
    // What a command finds out (a list, a configuration, a state): printed whatever -q says.
    int say(const Json& json, const std::string& text, bool newline = true) {
        if (inv_.json)
            printJson(json);
        else if (!text.empty())
            s_.out << consoleText(text) << (newline ? "\n" : "");
        return kSuccess;
    }
    // What a command did: -q leaves it out.
    int tell(const Json& json, const std::string& text) { return say(json, inv_.quiet ? "" : text); }

    int error(int code, const char* kind, const std::string& message, const std::vector<std::string>& warnings = {},
              const Json& more = {}) {
        if (inv_.json) {
            Json detail = {{"exitCode", code}, {"kind", kind}, {"message", message}};
            if (!warnings.empty()) detail["warnings"] = warnings;
            if (more.is_object())
                for (const auto& [key, value] : more.items()) detail[key] = value;
            printJson({{"error", detail}});
        } else if (!message.empty()) {
            s_.err << consoleText(message) << "\n";
        }
        return code;
    }

    // What an operation did: what it reached (with what did not go as asked,
    // exit code 1), or why it stopped.
    // `more` goes into the JSON document too.
    int report(const Outcome& outcome, const std::string& n, Json more = Json::object()) {
        // A check before the operation that found problems, asked for alone, is a check's answer.
        const int code = outcome.done() && !outcome.findings.empty() ? kProblemsFound : exitCodeOf(outcome);
        if (!outcome.findings.empty()) more["problems"] = problemsJson(outcome.findings);
        if (outcome.downtimeMs) more["downtimeMs"] = *outcome.downtimeMs;
        if (!outcome.done() && !outcome.steps.empty()) more["steps"] = outcome.steps;
        // A failed start's sentence and evidence came as its warning already.
        if (!outcome.done() && outcome.startFailure) {
            more["startFailure"] = startFailureJson(*outcome.startFailure);
            if (!inv_.json && outcome.summary != outcome.startFailure->sentence)
                s_.err << consoleText(outcome.summary) << "\n";
            return error(code, kindOf(outcome), inv_.json ? outcome.summary : "", outcome.warnings, more);
        }
        if (!outcome.done()) {
            // A refusal that came as a warning is not printed a second time.
            const bool told =
                std::find(outcome.warnings.begin(), outcome.warnings.end(), outcome.summary) != outcome.warnings.end();
            return error(code, kindOf(outcome), inv_.json || !told ? outcome.summary : "", outcome.warnings, more);
        }
        if (inv_.json) {
            Json done = {{"name", n},
                         {"result", "done"},
                         {"exitCode", code},
                         {"summary", outcome.summary},
                         {"steps", outcome.steps},
                         {"notices", outcome.notices}};
            if (outcome.installed) done["installed"] = *outcome.installed;
            if (outcome.started) {
                done["runningAfterMs"] = outcome.started->runningAfterMs;
                if (outcome.started->probed) done["readyAfterMs"] = outcome.started->readyAfterMs;
            }
            if (outcome.stopped) {
                done["stoppedAfterMs"] = outcome.stopped->stoppedAfterMs;
                done["graceful"] = outcome.stopped->graceful;
            }
            if (outcome.settingsApplied) done["settingsApplied"] = *outcome.settingsApplied;
            if (!outcome.warnings.empty()) done["warnings"] = outcome.warnings;
            for (const auto& [key, value] : more.items()) done[key] = value;
            printJson(done);
            return code;
        }
        if (!inv_.quiet) {
            if (!outcome.summary.empty()) s_.out << consoleText(outcome.summary) << "\n";
            for (const auto& notice : outcome.notices) s_.out << consoleText(notice) << "\n";
        }
        for (const auto& finding : outcome.findings) s_.out << consoleText("Problem: " + finding.message) << "\n";
        // The warnings came on the way; the last line says they count.
        if (!outcome.warnings.empty()) s_.err << "A warning came up.\n";
        return code;
    }

    // Opens a stored configuration under the list's spelling of its name.
    bool load(std::string& n) {
        const std::string stored = session_.storedSpelling(n);
        if (stored.empty()) return false;
        n = stored;
        const Outcome opened = session_.open(n);
        openWarnings_ = opened.warnings;
        return opened.done();
    }
    // A stored value that could not be read opens as something else, which a
    // save would store over it: a command that saves does not run then.
    int unreadableStored(const std::string& n) {
        if (openWarnings_.empty()) return kSuccess;
        return error(kRefused, "refused",
                     "Nothing was changed: the stored configuration " + inQuotes(n) +
                         " holds values that could not be read, which a save would replace; " +
                         messages::giveUnreadableWithSet(n),
                     openWarnings_);
    }
    int notStored(const std::string& n) {
        return error(kNotStored, "not-stored", "No configuration named " + inQuotes(n) + " is stored.");
    }

    // A name that the name rule refuses is never saved, installed or uninstalled.
    int refusedByNameRule(const std::string& n) {
        const std::string why = nameRuleViolation(n, session_.configuration().catalinaHome);
        return why.empty() ? kSuccess : error(kRefused, "refused", "Refused, nothing was changed: " + why);
    }

    int list() {
        Json json = Json::array();
        std::string text;
        for (const auto& n : session_.storedNames()) {
            ServiceStatus status = ServiceStatus::Unknown;
            if (inv_.status && unusableNameReason(n).empty() && session_.open(n).done()) status = session_.status();
            const std::string state = statusWord(status);
            Json entry = {{"name", n}};
            if (inv_.status) {
                entry["status"] = state;
                entry["state"] = stateName(status);
            }
            json.push_back(entry);
            text += n + (inv_.status ? "\t" + state : "") + "\n";
        }
        return say(json, text, false);
    }

    int show() {
        std::string n = name();
        if (!load(n)) return notStored(n);
        if (inv_.service) return showService(n);
        const Configuration& c = session_.configuration();
        const std::string state = statusWord(session_.status());
        Json entry = Json::parse(encodeConfigurations({c}))["configurations"][0];
        entry["installed"] = session_.installed();
        entry["status"] = state;
        entry["state"] = stateName(session_.status());
        std::string text = "name = " + c.serviceName + "\n";
        for (const StoredField& field : storedFields()) text += fieldLines(c, field);
        const TomcatVersion version = editing_.tomcatVersion();
        entry["tomcatVersion"] = version.text;
        text += "installed = " + std::to_string(session_.installed() ? 1 : 0) + "\nstatus = " + state + "\n";
        text += "tomcat.version = " + version.text + "\n";
        return say(entry, text, false);
    }

    // FIELD = VALUE, one line per entry of a list, each ended by the mark given.
    static std::string fieldLines(const Configuration& c, const StoredField& field, const std::string& mark = "") {
        std::string lines;
        for (const auto& line : velmora::fieldLines(c, field)) lines += line + mark + "\n";
        return lines.empty() && !mark.empty() ? field.name + " =" + mark + "\n" : lines;
    }

    static Json fieldsJson(const Configuration& c) {
        return Json::parse(encodeConfigurations({c}))["configurations"][0];
    }

    int showService(const std::string& n) {
        if (!session_.installed()) return error(kFailure, "failed", "Service " + inQuotes(n) + " is not installed.");
        const ServiceView view = session_.serviceView();
        if (!view.refusal.empty()) return error(kRefused, "refused", view.refusal);
        const Json stored = fieldsJson(view.stored), held = fieldsJson(view.held.config);
        Json service = Json::object(), drift = Json::array(), notHeld = Json::array();
        std::string text = "name = " + n + "\n", absent;
        for (const StoredField& field : storedFields()) {
            if (!view.held.holds(field.field)) {
                notHeld.push_back(field.name);
                absent += (absent.empty() ? "" : ", ") + field.name;
                continue;
            }
            const bool differs = std::find(view.drifted.begin(), view.drifted.end(), &field) != view.drifted.end();
            service[field.name] = held[field.name];
            if (differs)
                drift.push_back({{"field", field.name}, {"stored", stored[field.name]}, {"service", held[field.name]}});
            text += fieldLines(view.held.config, field,
                               differs ? "    <- differs from the stored " + fieldText(view.stored, field) : "");
        }
        if (!absent.empty()) text += "The service holds no value of: " + absent + ".\n";
        for (const auto& line : view.held.notKept) text += "Not kept: " + line + "\n";
        if (!view.settingsCompared)
            text +=
                "The service manager did not take every setting when they were last set, so its settings are not "
                "compared.\n";
        text += view.drifted.empty() ? "The service holds the stored values.\n"
                                     : std::to_string(view.drifted.size()) +
                                           " field(s) differ from the stored configuration; apply gives the service "
                                           "the stored values again.\n";
        return say({{"name", n},
                    {"service", service},
                    {"drift", drift},
                    {"notHeld", notHeld},
                    {"notKept", view.held.notKept},
                    {"settingsCompared", view.settingsCompared}},
                   text, false);
    }

    static Json adoptableJson(const AdoptableService& found) {
        return {{"name", found.name},
                {"displayName", found.displayName},
                {"status", statusWord(found.status)},
                {"catalinaHome", found.catalinaHome},
                {"tomcatVersion", found.tomcatVersion},
                {"wrapper", found.road},
                {"programLine", found.programLine},
                {"reason", found.reason},
                {"stored", found.stored}};
    }

    static std::string adoptableText(const AdoptableService& found) {
        return found.name + " (\"" + found.displayName + "\"), " + statusWord(found.status) + ": Tomcat " +
               (found.tomcatVersion.empty() ? "of unknown version" : found.tomcatVersion) + " in " +
               found.catalinaHome + ", " + found.road + "; " + found.reason + "\n";
    }

    int adoptableList() {
        const AdoptableServices found = session_.adoptableServices();
        if (found.failure)
            return error(kFailure, "failed",
                         "The services of this computer could not be listed: " + found.failure->description);
        Json json = Json::array();
        std::string text;
        for (const auto& service : found.services) {
            json.push_back(adoptableJson(service));
            text += adoptableText(service);
        }
        if (found.services.empty())
            text =
                "No service of this computer runs a Tomcat service wrapper without being "
                "Velmora's.\n";
        return say(json, text, false);
    }

    int adopt() {
        const AdoptionPreview preview = session_.previewAdoption(name());
        if (!preview.check.service) return error(kRefused, "refused", preview.check.refusal);
        if (!preview.failure.empty()) return error(kFailure, "failed", preview.failure);
        const AdoptableService& found = *preview.check.service;
        if (found.stored && !inv_.replace)
            return error(kRefused, "refused",
                         "A configuration named " + inQuotes(session_.storedSpelling(found.name)) +
                             " is already stored; --replace replaces it with the service's. Nothing was changed.");
        const Json previewJson = {{"service", adoptableJson(found)},
                                  {"configuration", fieldsJson(preview.config)},
                                  {"notKept", preview.notKept}};
        if (!inv_.json) {
            std::string text = "Service " + adoptableText(found) + "It runs " + found.programLine +
                               "\nThe configuration it would be stored as:\nname = " + found.name + "\n";
            for (const StoredField& field : storedFields()) text += fieldLines(preview.config, field);
            for (const auto& line : preview.notKept) text += "Not kept: " + line + "\n";
            s_.out << consoleText(text) << std::flush;
        }
        return report(session_.adopt(found.name, true), found.name, previewJson);
    }

    int set() {
        const auto parsed = parseAssignments({inv_.operands.begin() + 1, inv_.operands.end()});
        if (!parsed.error.empty()) return error(kUsageError, "usage", "velmora-cli set: " + parsed.error);
        std::string n = name();
        if (!session_.storedSpelling(n).empty()) {
            if (!load(n)) return notStored(n);
        } else {
            session_.newConfiguration();
            editing_.edit(Field::ServiceName, n);
        }
        if (int code = refusedByNameRule(n); code != kSuccess) return code;
        // A folder made for a value that is then not stored goes again.
        const std::size_t madeBefore = editing_.createdFolders().size();
        const int code = storeAssignments(parsed.assignments, n);
        editing_.takeBackUnstoredFolders(madeBefore);
        return code;
    }

    int storeAssignments(const std::vector<Assignment>& assignments, const std::string& n) {
        // Every value given is checked, on a new configuration too.
        Outcome edits = applyAssignments(assignments, editing_);
        edits.warnings.insert(edits.warnings.begin(), openWarnings_.begin(), openWarnings_.end());
        if (edits.result == Outcome::Result::Refused)
            return error(kRefused, "refused", "Nothing was stored: " + edits.summary, edits.warnings);
        if (edits.result == Outcome::Result::Declined)
            return error(kRefused, "declined",
                         "Nothing was stored: the paths that follow the new Catalina home or base were not moved; "
                         "--yes moves them.");
        if (!edits.warnings.empty() && !inv_.force)
            return error(kFailure, "warning",
                         "Nothing was stored: " + std::to_string(edits.warnings.size()) +
                             " warning(s) came up; --force stores the configuration all the same" +
                             (session_.installed() ? " (with --yes, as its service is installed)." : "."),
                         edits.warnings);
        // A warning stored all the same with --force still counts: it came before the save's own.
        Outcome saved = session_.save();
        saved.warnings.insert(saved.warnings.begin(), edits.warnings.begin(), edits.warnings.end());
        return report(saved, n);
    }

    int check() {
        std::string n = name();
        if (!load(n)) return notStored(n);
        const CheckResult result =
            session_.checkConfiguration(inv_.open ? ReportOpening::Always : ReportOpening::Never, inv_.reportFile);
        if (!result.outcome.done()) return error(kFailure, "failed", result.outcome.summary);
        const Json problems = problemsJson(result.report.findings);
        std::string text = inv_.quiet ? "" : result.outcome.summary;
        if (!inv_.quiet)
            for (const auto& notice : result.report.notices) text += (text.empty() ? "" : "\n") + ("Notice: " + notice);
        say({{"name", n}, {"report", result.reportPath}, {"problems", problems}, {"notices", result.report.notices}},
            text);
        return result.report.findings.empty() ? kSuccess : kProblemsFound;
    }

    int install() {
        std::string n = name();
        if (!load(n)) return notStored(n);
        if (int code = refusedByNameRule(n); code != kSuccess) return code;
        if (int code = unreadableStored(n); code != kSuccess) return code;
        if (session_.installed() && session_.status() != ServiceStatus::Gone)
            return tell({{"name", n}, {"result", "done"}, {"summary", "already installed"}},
                        "Service " + inQuotes(n) + " is already installed.");
        return report(session_.install(), n);
    }

    int uninstall() {
        std::string n = name();
        if (!load(n)) return notStored(n);
        if (int code = refusedByNameRule(n); code != kSuccess) return code;
        if (!session_.installed())
            return tell({{"name", n}, {"result", "done"}, {"summary", "not installed"}},
                        "Service " + inQuotes(n) + " is not installed.");
        s_.frontEnd.printProgress(true);
        return report(session_.uninstall(), n);
    }

    int changeRunning(const std::string& verb) {
        std::string n = name();
        if (!load(n)) return notStored(n);
        if (int code = refusedByNameRule(n); code != kSuccess) return code;
        if (!session_.installed()) return error(kFailure, "failed", "Service " + inQuotes(n) + " is not installed.");
        s_.frontEnd.printProgress(true);
        return report(verb == "start" ? session_.start() : verb == "stop" ? session_.stop() : session_.restart(), n);
    }

    int status() {
        std::string n = name();
        if (!load(n)) return notStored(n);
        const ServiceStatus status = session_.status();
        const StatusCheck& check = session_.statusCheck();
        Json json = {{"name", n}, {"status", statusWord(status)}, {"state", stateName(status)}};
        std::string text = n + ": " + statusWord(status);
        if (status == ServiceStatus::NotServing) {
            json["notAnswering"] = check.unanswered;
            text += ": " + check.unanswered + " does not answer";
        }
        if (status == ServiceStatus::Gone)
            text += ": the service was removed outside Velmora; velmora-cli uninstall " + n + " clears its mark";
        if (check.processId) {
            json["processId"] = check.processId;
            text += " (process " + std::to_string(check.processId);
            if (check.processStartedAt) {
                json["runningSeconds"] = check.runningSeconds;
                text += ", running for " + runningForText(check.runningSeconds);
            }
            text += ")";
        }
        if (const auto last = session_.lastStop()) {
            json["lastStop"] = {{"at", isoUtcText(last->at)},
                                {"stoppedAfterMs", last->stoppedAfterMs},
                                {"graceful", last->graceful},
                                {"timeoutSeconds", last->timeoutSeconds}};
            text += "\nLast stop (" + isoUtcText(last->at) +
                    "): " + (last->graceful ? "graceful" : "ended by the wrapper") + " after " +
                    secondsText(last->stoppedAfterMs);
        }
        if (const auto failed = session_.lastFailedStart()) {
            json["lastFailedStart"] = {
                {"at", isoUtcText(failed->at)}, {"cause", failed->cause}, {"file", failed->file}};
            json["lastFailedStart"]["line"] = failed->line;
            text += "\nLast failed start (" + isoUtcText(failed->at) + "): " + failed->cause;
            if (!failed->file.empty()) text += " (" + failed->file + ", line " + std::to_string(failed->line) + ")";
        }
        say(json, text);
        return statusExitCode(status);
    }

    int repoint() {
        std::string n = name();
        if (!load(n)) return notStored(n);
        if (int code = inv_.check ? kSuccess : unreadableStored(n); code != kSuccess) return code;
        s_.frontEnd.printProgress(true);
        return report(session_.repoint(inv_.jdk, inv_.check), n);
    }

    int upgrade() {
        std::string n = name();
        if (inv_.home.empty()) return error(kUsageError, "usage", "velmora-cli upgrade: --home NEWHOME is needed.");
        if (!load(n)) return notStored(n);
        if (int code = refusedByNameRule(n); code != kSuccess) return code;
        if (int code = inv_.check ? kSuccess : unreadableStored(n); code != kSuccess) return code;
        s_.frontEnd.printProgress(true);
        return report(session_.upgrade(inv_.home, inv_.jdk, inv_.check), n);
    }

    int importSetenv() {
        std::string n = name();
        if (!load(n)) return notStored(n);
        if (int code = unreadableStored(n); code != kSuccess) return code;
        return report(session_.importSetenv(), n);
    }

    int remove() {
        std::string n = name();
        if (!load(n)) return notStored(n);
        return report(session_.remove(), n);
    }

    int exportTo() {
        auto result = inv_.all ? s_.program.transfer.exportAll() : s_.program.transfer.exportNamed(inv_.operands);
        if (!result.error.empty()) return error(kNotStored, "not-stored", result.error);
        for (const auto& warning : result.warnings) s_.frontEnd.warn(warning);
        const int code = result.warnings.empty() ? kSuccess : kFailure;
        if (inv_.outFile.empty()) {
            s_.out << jsonText(Json::parse(result.document));
            return code;
        }
        if (auto failure = s_.program.platform.files.writeText(inv_.outFile, result.document))
            return error(kFailure, "failed", "Could not write " + inQuotes(inv_.outFile) + ": " + failure->description);
        Json exported = {{"exported", result.names}, {"file", inv_.outFile}};
        if (!result.warnings.empty()) exported["warnings"] = result.warnings;
        tell(exported,
             "Exported " + std::to_string(result.names.size()) + " configuration(s) to " + inv_.outFile + ".");
        return code;
    }

    int apply() {
        const auto bytes = s_.program.platform.files.readBytes(name(), kLargestImport);
        if (!bytes) return error(kFailure, "failed", "Could not read " + inQuotes(name()) + ".");
        const DocumentText document = documentText(*bytes);
        if (!document.error.empty()) return error(kRefused, "refused", "Nothing was changed: " + document.error);
        const DecodedConfigurations decoded = decodeConfigurations(document.text, DocumentUse::Apply);
        if (!decoded.error.empty()) return error(kRefused, "refused", "Nothing was changed: " + decoded.error);
        const ParsedAssignments overrides = parseAssignments(inv_.sets);
        if (!overrides.error.empty()) return error(kUsageError, "usage", "velmora-cli apply --set: " + overrides.error);

        DesiredState desired(s_.program);
        if (std::string why = desired.refusal(decoded.entries, overrides.assignments); !why.empty())
            return error(kRefused, "refused", "Nothing was changed: " + why);
        s_.frontEnd.setQuiet(true);  // the run's own report says what each operation did
        Json results = Json::array();
        std::string text;
        int changed = 0, failed = 0, unchanged = 0;
        bool anyChanged = false;  // a failed entry may have changed something before it failed
        for (const DecodedEntry& entry : decoded.entries) {
            const ApplyResult r = desired.bringTo(entry, overrides.assignments, inv_.check);
            anyChanged = anyChanged || r.changed;
            failed += r.failed ? 1 : 0;
            changed += r.changed && !r.failed ? 1 : 0;
            unchanged += r.changed || r.failed ? 0 : 1;
            Json one = {{"name", r.name},       {"state", r.state},          {"changed", r.changed},
                        {"failed", r.failed},   {"new", r.newConfiguration}, {"changedFields", r.changedFields},
                        {"actions", r.actions}, {"logsPruned", r.logsPruned}};
            if (r.failed) {
                one["error"] = r.error;
                one["stepsDone"] = r.stepsDone;  // what it changed before it failed
            }
            results.push_back(one);
            text += r.name + ": " +
                    (r.failed     ? "FAILED"
                     : !r.changed ? "unchanged"
                     : inv_.check ? "would change"
                                  : "changed");
            if (r.newConfiguration && !r.actions.empty()) text += "; values: all (not stored yet)";
            if (!r.changedFields.empty()) text += "; values: " + joined(r.changedFields);
            if (!r.actions.empty()) text += "; " + std::string(inv_.check ? "would " : "") + joined(r.actions);
            for (const auto& file : r.logsPruned)
                text += "\n  " + std::string(inv_.check ? "would delete " : "deleted ") + file;
            if (r.failed) text += "\n  " + r.error;
            if (r.failed && !r.stepsDone.empty()) text += "\n  Done before it failed: " + joined(r.stepsDone) + ".";
            text += "\n";
        }
        const std::string summary = std::to_string(decoded.entries.size()) +
                                    " configuration(s): " + std::to_string(changed) +
                                    (inv_.check ? " would change, " : " changed, ") + std::to_string(unchanged) +
                                    " unchanged, " + std::to_string(failed) + " failed.";
        const int code = failed ? kFailure : changed ? kChanged : kSuccess;
        if (inv_.json)
            printJson(
                {{"changed", anyChanged}, {"check", inv_.check}, {"summary", summary}, {"configurations", results}});
        else if (!inv_.quiet || failed)
            s_.out << consoleText(text + summary) << "\n";
        return code;
    }

    int logs() {
        std::string n = name();
        if (!load(n)) return notStored(n);
        Json files = Json::array();
        std::string text;
        for (const LogFile& file : s_.program.logs.files(session_.configuration())) {
            files.push_back({{"path", file.path},
                             {"role", file.role},
                             {"size", file.size},
                             {"modified", isoUtcText(file.modified)},
                             {"open", file.open}});
            text += isoUtcText(file.modified) + "  " + sizeText(file.size) + "  " + file.path +
                    (file.open ? "  (in use)" : "") + "\n";
        }
        if (text.empty()) text = "No log files of " + inQuotes(n) + " were found.\n";
        return say({{"name", n}, {"files", files}}, text, false);
    }

    int tail() {
        std::string n = name();
        if (!load(n)) return notStored(n);
        const auto found = s_.program.logs.tail(session_.configuration(), inv_.file, inv_.tail);
        if (const auto* why = std::get_if<std::string>(&found)) return error(kFailure, "failed", *why);
        const LogTail& tail = std::get<LogTail>(found);
        std::string text;
        for (const auto& line : tail.lines) text += line + "\n";
        return say({{"name", n}, {"file", tail.path}, {"lines", tail.lines}}, text, false);
    }

    int prune() {
        std::vector<std::string> names = inv_.operands;
        if (inv_.all) names = session_.storedNames();
        // Every name given is known before a file is deleted: a mistyped last name does not end the command half-way.
        if (!inv_.all)
            for (std::string given : names)
                if (!load(given)) return notStored(given);
        Json results = Json::array();
        bool deleted = false, failed = false;
        for (std::string n : names) {
            if (!load(n)) {
                if (!inv_.all) return notStored(n);
                continue;  // a name the list holds that does not open is left to the other commands
            }
            const PruneRun run = s_.program.logs.prune(session_.configuration(), inv_.check);
            Json files = Json::array();
            for (const auto& file : run.deleted) files.push_back(file.path);
            Json inUse = Json::array(), readOnly = Json::array();
            for (const auto& file : run.inUse) inUse.push_back(file.path);
            for (const auto& file : run.readOnly) readOnly.push_back(file.path);
            results.push_back({{"name", n},
                               {"summary", run.outcome.summary},
                               {"deleted", files},
                               {"inUse", inUse},
                               {"readOnly", readOnly},
                               {"freed", run.freed},
                               {"warnings", run.outcome.warnings}});
            deleted = deleted || !run.deleted.empty();
            failed = failed || !run.outcome.done();
            for (const auto& warning : run.outcome.warnings) s_.err << consoleText(warning) << "\n";
            if (inv_.json || inv_.quiet) continue;
            s_.out << consoleText(run.outcome.summary) << "\n";
            for (const auto& file : run.deleted) s_.out << "  " << consoleText(file.path) << "\n";
            for (const auto& notice : run.outcome.notices) s_.out << consoleText(notice) << "\n";
        }
        if (inv_.json) printJson({{"check", inv_.check}, {"configurations", results}});
        return failed ? kFailure : deleted ? kChanged : kSuccess;
    }

    int importFrom() {
        const auto document = s_.program.platform.files.readBytes(name(), kLargestImport);
        if (!document) return error(kFailure, "failed", "Could not read " + inQuotes(name()) + ".");
        auto result = s_.program.transfer.importDocument(*document, inv_.replace);
        if (result.stopped) return error(kFailure, "failed", result.error, {}, {{"imported", result.names}});
        if (!result.error.empty())
            return error(kRefused, "refused",
                         result.error + (result.alreadyStored ? " Give --replace to replace it." : ""));
        std::string text = "Imported " + std::to_string(result.names.size()) + " configuration(s):";
        for (const auto& n : result.names) text += " " + n;
        for (const auto& warning : result.warnings) s_.frontEnd.warn(warning);
        Json imported = {{"imported", result.names}};
        if (!result.warnings.empty()) imported["warnings"] = result.warnings;
        tell(imported, text);
        return result.warnings.empty() ? kSuccess : kFailure;
    }

    const Invocation& inv_;
    CliSession& s_;
    Session& session_;
    Editing& editing_;
    std::vector<std::string> openWarnings_;  // what opening the stored configuration warned of
};

}  // namespace

namespace {
// A command line that is wrong answers in JSON too when asked to; nothing was done.
int usageError(CliSession& session, const Invocation& inv, const std::string& message) {
    if (inv.json)
        session.out << jsonText({{"error", {{"exitCode", int(kUsageError)}, {"kind", "usage"}, {"message", message}}}});
    else
        session.err << consoleText(message) << "\n";
    return kUsageError;
}
}  // namespace

int runCommandLine(const std::vector<std::string>& arguments, CliSession& session) {
    const ParsedArguments parsed = parseArguments(arguments);
    const Invocation& inv = parsed.invocation;
    if (!parsed.error.empty()) {
        return usageError(session, inv,
                          "velmora-cli: " + parsed.error + "\nRun \"velmora-cli help\" for the commands.");
    }
    if (inv.help) {
        if (inv.json)
            session.out << jsonText({{"help", commandHelp(inv.command)}});
        else
            session.out << commandHelp(inv.command);
        return kSuccess;
    }
    session.frontEnd.answerYes(inv.yes);
    session.frontEnd.answerRestart(inv.restart);
    session.frontEnd.grantRights(inv.grantRights);
    session.frontEnd.changeNothing(inv.check);
    if (inv.passwordStdin)
        if (std::string why = session.frontEnd.readPasswordFromStandardInput(inv.command == "apply"); !why.empty())
            return usageError(session, inv, why);
    session.frontEnd.setQuiet(inv.quiet);
    session.frontEnd.setVerbose(inv.verbose);
    // Standard output carries the document alone.
    if (inv.json) session.frontEnd.noticesToErrorStream();
    return Commands(inv, session).run();
}

}  // namespace velmora::cli
