#include "app/DesiredState.h"

#include <map>

#include "app/Imports.h"
#include "app/SessionMessages.h"
#include "checks/PathRules.h"
#include "config/ConfigurationTransfer.h"
#include "service/ServiceChange.h"
#include "service/ServiceStatus.h"

namespace velmora {

namespace {

bool installedState(const std::string& state) {
    return state == "installed" || state == "running" || state == "stopped";
}

std::string notInRunningState(const std::string& name, const StatusCheck& check) {
    std::string now = statusWord(check.status);
    if (!check.unanswered.empty()) now += " (" + check.unanswered + " does not answer)";
    return "The service \"" + name + "\" is " + now +
           ": apply starts only a stopped service and leaves this one as it is. Restart it, or read its logs.";
}

std::string stateNotKnown(const std::string& name, const StatusCheck& check) {
    return "The state of the service \"" + name + "\" could not be determined" +
           (check.failure ? " (" + check.failure->description + ")" : std::string()) + ": apply leaves it as it is.";
}

}  // namespace

// Changed is what was changed: an action that was refused or declined changed
// nothing, one that failed changed what its steps before the failing one did.
bool DesiredState::act(ApplyResult& result, bool checkOnly, const std::string& action,
                       const std::function<Outcome()>& run) {
    result.actions.push_back(action);
    if (checkOnly) {
        result.changed = true;
        return true;
    }
    const Outcome outcome = run();
    // A failed step is the last that bears its name: what undid it, if anything, comes after it.
    std::vector<bool> failed(outcome.steps.size(), false);
    for (const std::string& name : outcome.failedSteps)
        for (std::size_t i = outcome.steps.size(); i-- > 0;)
            if (outcome.steps[i] == name) {
                failed[i] = true;
                break;
            }
    for (std::size_t i = 0; i < outcome.steps.size(); ++i)
        if (!failed[i]) result.stepsDone.push_back(outcome.steps[i]);
    if (outcome.done() || !result.stepsDone.empty()) result.changed = true;
    if (outcome.done() && outcome.warnings.empty()) return true;
    result.failed = true;
    result.error = outcome.done() ? outcome.warnings.back() : outcome.summary;
    return false;
}

std::string DesiredState::refusal(const std::vector<DecodedEntry>& entries, const std::vector<Assignment>& overrides) {
    for (const DecodedEntry& entry : entries) {
        if (entry.state == "absent") continue;
        // The values as bringTo takes them: the entry completed as for a new configuration, then this server's own.
        Configuration c = completedEntry(entry, platform_);
        std::map<const StoredField*, std::vector<std::string>> lists;
        for (const auto& [field, value] : overrides) {
            if (!field->list)
                setFieldText(c, *field, value);
            else if (auto& list = lists[field]; !value.empty())
                list.push_back(value);
        }
        for (const auto& [field, list] : lists) c.*field->list = list;
        std::string why = documentEntryRefusal(c, platform_.files, platform_.environment);
        if (why.empty()) why = startRefusal(c).why;
        if (!why.empty()) return "Configuration \"" + entry.values.serviceName + "\": " + why;
    }
    return {};
}

ApplyResult DesiredState::remove(ApplyResult result, bool checkOnly) {
    const std::string stored = store_.storedSpelling(result.name);
    if (stored.empty()) return result;
    if (!session_.open(stored).done()) {
        result.failed = true;
        result.error = "The stored configuration \"" + stored + "\" could not be opened.";
        return result;
    }
    RemovalDecision decided = session_.decideRemoval();
    const std::string action = decided.removesService() ? "uninstall and delete" : "delete";
    if (checkOnly && endsAhead(result, action, decided.refusal, session_.endingQuestions(decided))) return result;
    // The delete of one whose service it leaves alone is done, and fails on its warning, in a check too.
    const std::vector<std::string> warnings = decided.warnings(stored);
    act(result, checkOnly, action, [&] { return session_.remove(std::move(decided)); });
    if (checkOnly && !warnings.empty()) {
        result.failed = true;
        result.error = warnings.back();
    }
    return result;
}

namespace {

// Why a run ends at a question answered No, as a check tells it.
std::string endedBy(const Question& question) {
    switch (question.kind) {
        case QuestionKind::DeleteInstalled: return "deleting it removes its service too, which is asked first";
        case QuestionKind::RestartRunningService:
            return "the change stops and starts its running service, which is asked first";
        case QuestionKind::InstallDespiteProblems:
            return "the check before it finds problems (velmora-cli check shows them) and asks whether to go on";
        default: return question.text;
    }
}

}  // namespace

bool DesiredState::endsAhead(ApplyResult& result, const std::string& action, std::string refusal,
                             const std::vector<Question>& asked, bool storesFirst) {
    for (std::size_t i = 0; refusal.empty() && i < asked.size(); ++i)
        if (frontEnd_.ask(asked[i]) != Answer::Yes) {
            refusal = (storesFirst ? "The configuration would be saved and its service not installed: "
                                   : "Nothing would be changed: ") +
                      endedBy(asked[i]) + ", and the answer is No.";
            result.changed = result.changed || storesFirst;
        }
    if (refusal.empty()) return false;
    result.actions.push_back(action);
    result.failed = true;
    result.error = refusal;
    return true;
}

ApplyResult DesiredState::bringTo(const DecodedEntry& entry, const std::vector<Assignment>& overrides, bool checkOnly) {
    ApplyResult result;
    result.name = entry.values.serviceName;
    result.state = entry.state.empty() ? "stored" : entry.state;
    if (result.state == "absent") return remove(result, checkOnly);

    // The stored values as the configuration opens, then the desired ones: the entry completed as an import
    // completes it, and this server's own.
    const std::string storedName = store_.storedSpelling(result.name);
    result.newConfiguration = storedName.empty();
    if (!storedName.empty()) {
        const Outcome opened = session_.open(storedName);
        if (!opened.done()) {
            result.failed = true;
            result.error = "The stored configuration \"" + storedName + "\" could not be opened.";
            return result;
        }
        // A stored value that could not be read opens as something else, which a save would store over it.
        if (!opened.warnings.empty()) {
            result.failed = true;
            result.error =
                opened.warnings.front() + " Nothing was changed for it: " + messages::giveUnreadableWithSet(storedName);
            return result;
        }
    } else {
        session_.newConfiguration();
    }
    // A folder made for a value that is then not stored goes again, however this ends.
    struct UnstoredFoldersTakenBack {
        Editing& editing;
        std::size_t kept = editing.createdFolders().size();
        ~UnstoredFoldersTakenBack() { editing.takeBackUnstoredFolders(kept); }
    } takenBack{editing_};
    const Configuration stored = editing_.configuration();
    editing_.takeDesired(entry.values, entry.given);
    // This server's own values replace the document's, a list's as a whole.
    // A value its setter warns of (a folder not there and not made) is refused, as set refuses it; a check
    // leaves a folder the run would make unasked, and fails on the rest as the run does.
    if (const Outcome taken = applyAssignments(overrides, editing_); !taken.done() || !taken.warnings.empty()) {
        result.failed = true;
        result.error = "--set: " + (taken.done() ? taken.warnings.front() : taken.summary);
        return result;
    }
    const Configuration desired = editing_.configuration();

    if (!result.newConfiguration)
        for (const StoredField* field : differingFields(stored, desired)) result.changedFields.push_back(field->name);
    const bool storing = result.newConfiguration || !result.changedFields.empty();
    // A service removed outside Velmora is installed again: the store's word is not the service.
    const bool installed = session_.installed() && session_.status() != ServiceStatus::Gone;
    // Running or stopped is a word on the service: one whose state cannot be asked is in neither.
    if (installed && session_.status() == ServiceStatus::Unknown &&
        (result.state == "running" || result.state == "stopped")) {
        result.failed = true;
        result.error = stateNotKnown(result.name, session_.statusCheck());
        return result;
    }
    // One to be stopped is stopped first, so that a change it takes needs no restart of it; nothing after
    // starts it again.
    const bool stopFirst = result.state == "stopped" && installed && serviceHasProcess(session_.status());
    // A check fails where start or stop would refuse the service (no longer Velmora's), in their words.
    if (stopFirst && checkOnly && endsAhead(result, "stop", session_.refusalToStop(), {})) return result;
    if (stopFirst && !act(result, checkOnly, "stop", [&] { return session_.stop(); })) return result;
    // What a save will do, and what would refuse it, as the save itself decides: for a service removed outside
    // Velmora, a reinstall.
    std::optional<SaveDecision> planned = storing ? std::optional(session_.decideSave(stopFirst)) : std::nullopt;
    // A check fails where the run would be refused, in the run's words (an install's own refusals, then the
    // save's), or end at a question.
    const auto foreseenRefusal = [&](const std::string& action, bool installing) {
        if (!checkOnly) return false;
        std::string why = installing ? session_.installRefusal() : std::string();
        if (why.empty() && planned) why = planned->refusal;
        // An install asks for the account's password before anything else; a save once its questions are
        // answered.
        const bool installsAnew = installing && !store_.read(result.name).installed;
        if (why.empty() && installsAnew) why = session_.logOnRefusal();
        if (!why.empty()) return endsAhead(result, action, why, {});
        // An install saves a configuration the store does not hold as installed before its check asks whether to
        // go on; one it holds so is saved, as a save asks first.
        if (installing ? endsAhead(result, action, {}, session_.endingQuestionsOfInstall(), installsAnew)
                       : endsAhead(result, action, {}, session_.endingQuestions(*planned)))
            return true;
        if (installsAnew || !(installing ? session_.decideSave() : *planned).asksPassword()) return false;
        return endsAhead(result, action, session_.logOnRefusal(), {});
    };
    if (storing) {
        std::string action = "store";
        if (const std::string change = serviceChangeText(planned->change); !change.empty()) action += ", " + change;
        // An install saves the values itself: they are written once.
        const bool installing = installedState(result.state) && !session_.installed();
        if (installing) action += ", install";
        if (foreseenRefusal(action, installing) || !act(result, checkOnly, action, [&] {
                return installing ? session_.install() : session_.save(std::move(*planned));
            }))
            return result;
    } else if (installedState(result.state) && !installed &&
               (foreseenRefusal("install", true) ||
                !act(result, checkOnly, "install", [&] { return session_.install(); }))) {
        return result;
    }
    // A service changed past Velmora gets the stored values again.
    if (session_.installed()) {
        const ServiceView view = session_.serviceView();
        // A check foresees the save it lists: one that changes the service gives back what drifted, and says so.
        const bool givenBackBySave = checkOnly && planned && planned->change.way != ServiceChange::Way::Nothing;
        const std::string fields = givenBackBySave ? std::string() : fieldNames(view.drifted);
        if (!fields.empty() && !act(result, checkOnly, "give the service the stored values again (" + fields + ")",
                                    [&] { return session_.bringServiceBack(); }))
            return result;
    }
    // A reinstall starts a running service again; what counts is how it is now.
    if (!checkOnly || installed) session_.refresh();
    // Running means serving; a Tomcat that is starting, paused or not answering is not in that state, and is
    // not started over by apply.
    const ServiceStatus now = session_.status();
    if (result.state == "running" && now != ServiceStatus::Running) {
        if (serviceHasProcess(now)) {
            result.failed = true;
            result.error = notInRunningState(result.name, session_.statusCheck());
            return result;
        }
        if (checkOnly && installed && endsAhead(result, "start", session_.refusalToStart(), {})) return result;
        if (!act(result, checkOnly, "start", [&] { return session_.start(); })) return result;
    }
    pruneLogs(result, checkOnly);
    return result;
}

void DesiredState::pruneLogs(ApplyResult& result, bool checkOnly) {
    const Configuration& c = editing_.configuration();
    if (!c.logsKeepDays && !c.logsMaxMb) return;
    const PruneRun run = logs_.prune(c, checkOnly);
    for (const auto& file : run.deleted) result.logsPruned.push_back(file.path);
    if (run.deleted.empty() && run.outcome.done()) return;
    result.actions.push_back("prune logs (" + std::to_string(run.deleted.size()) + " file(s), " + sizeText(run.freed) +
                             ")");
    result.changed = result.changed || !run.deleted.empty();
    if (!run.outcome.done()) {
        result.failed = true;
        result.error = run.outcome.warnings.empty() ? run.outcome.summary : run.outcome.warnings.front();
    }
}

}  // namespace velmora
