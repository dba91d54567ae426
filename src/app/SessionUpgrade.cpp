// Moving an installed service to another Catalina home or JDK: checked before
// anything stops, and put back as it was when Tomcat does not come up; and
// putting back a service whose reinstall did not end well.
#include <algorithm>

#include "app/Conversation.h"
#include "app/Session.h"
#include "app/SessionMessages.h"
#include "checks/PathRules.h"
#include "config/ConfigurationFields.h"
#include "config/ServiceAccount.h"
#include "config/TomcatLayout.h"
#include "platform/Text.h"
#include "platform/WindowsPaths.h"
#include "service/Preflight.h"
#include "service/ServiceMessages.h"

namespace velmora {

namespace {

std::string ownClassPath(const std::string& home, const std::string& javaHome, Files& files) {
    return defaultClassPath(tomcatLayoutOf(home, files), home, javaHome, jdkOffersToolsJar(javaHome, files));
}

bool ran(const PlanResult& result, const std::string& prefix) {
    return std::any_of(result.ran.begin(), result.ran.end(),
                       [&](const std::string& step) { return step.rfind(prefix, 0) == 0; });
}

}  // namespace

std::vector<Finding> Session::preflightFindings(const Configuration& target, const Configuration& current) {
    std::vector<Finding> findings;
    for (auto& found : preflight(target, current, platform_.files, platform_.processes)) {
        const StoredField* field = storedField(found.field);
        findings.push_back({FindingKind::WouldNotStart,
                            field ? field->label : found.field,
                            {},
                            std::move(found.message),
                            found.field});
    }
    return findings;
}

// With --check, what the check found is the outcome; otherwise a finding refuses the change.
Outcome Session::preflightOutcome(Conversation& conversation, std::vector<Finding> findings, const std::string& what,
                                  bool checkOnly) {
    Outcome outcome;
    if (findings.empty()) {
        outcome.summary = "No problems found: " + what + " can go ahead.";
        if (checkOnly) outcome.announcement = outcome.summary;
        return outcome;
    }
    if (!checkOnly) {
        outcome = conversation.refuse(messages::moveWouldMeet(what, findings));
    } else {
        outcome.summary = what + " would meet " + std::to_string(findings.size()) + " problem(s).";
        outcome.announcement = outcome.summary;
        for (const auto& finding : findings) outcome.announcement += "\r\n" + finding.message;
    }
    outcome.findings = std::move(findings);
    return outcome;
}

Outcome Session::upgrade(const std::string& home, const std::string& javaHome, bool checkOnly) {
    Conversation conversation(frontEnd_);
    if (std::string why = unsavedEditsRefusal(catchUpWithStore()); !why.empty()) return conversation.refuse(why);
    const Configuration before = configuration();
    const std::string& name = before.serviceName;
    if (!installed_)
        return conversation.refuse("The configuration \"" + name +
                                   "\" has no installed service to upgrade: set its tomcat.home instead.");
    for (const std::string* path : {&home, &javaHome})
        if (!rootFolderProblem(*path).empty()) return conversation.refuse(messages::relativePathRefusal(*path));

    // Where it goes: the new home with its own class path, the new JDK's entry moved with it.
    const std::string jdk = javaHome.empty() ? before.javaHome : javaHome;
    Configuration target =
        movedToHome(before, home, ownClassPath(before.catalinaHome, before.javaHome, platform_.files),
                    ownClassPath(home, before.javaHome, platform_.files));
    editing_.restore(target);
    if (!samePath(jdk, before.javaHome)) editing_.useJdk(jdk);
    target = configuration();
    editing_.restore(before);
    const std::string what =
        "The upgrade of \"" + name + "\" to " + home + (javaHome.empty() ? "" : " with the JDK at " + jdk);
    // What would refuse the upgrade refuses its check too: a check says only what the upgrade would meet.
    Survey s = controller_.survey(target, true, record_, &before);
    for (const std::string& why : {controller_.removalRefusal(s), controller_.copyRefusal(s), carryRefusal(s)})
        if (!why.empty()) return conversation.refuse(why);
    if (auto findings = preflightFindings(target, before); checkOnly || !findings.empty())
        return preflightOutcome(conversation, std::move(findings), what, checkOnly);

    if (!conversation.confirmed(QuestionKind::Upgrade,
                                "Upgrade the service \"" + name + "\" from " + before.catalinaHome + " to " + home +
                                    "? Tomcat stops for it and starts again; when it does not come up, the service "
                                    "is put back as it was."))
        return Outcome::declined("Nothing was changed.");
    Plan plan;
    if (auto ended = prepareAccount(conversation, s, true, plan)) return *ended;
    const bool wasRunning = serviceIsUp(controller_.state(name).status);
    const FileTime down = platform_.clock.now();
    append(plan, controller_.removal(s));  // it stops Tomcat first
    append(plan, storeSave(s));
    append(plan, controller_.installation(s));
    // A service that was stopped stays so: only a running one is started again.
    if (wasRunning) plan.push_back(controller_.start(s));
    editing_.restore(target);
    const PlanResult forward = runPlan(plan);
    // A start whose end could not be followed is no start that came up: the old Tomcat goes back.
    const bool upgraded = forward.completed && !s.startFailure && (!wasRunning || s.started);

    PutBack put;
    if (!upgraded) {
        editing_.restore(before);
        put = putBack(before, record_, s, forward, wasRunning);
    } else {
        installed_ = s.installed;
        record_ = s.record;
    }
    const Survey& back = put.back;
    if (upgraded || ran(forward, "save")) editing_.lockName();
    refresh();

    const double downSeconds = static_cast<double>(platform_.clock.now() - down) / kTicksPerSecond;
    Outcome outcome = finish(conversation, forward, {});
    outcome.downtimeMs = static_cast<std::uint64_t>(downSeconds * 1000);
    const std::string downtime = "Tomcat was down " + secondsText(*outcome.downtimeMs) + ".";
    outcome.stopped = s.stopped;
    outcome.started = upgraded ? s.started : back.started;
    outcome.installed = installed_;
    outcome.settingsApplied = installed_ && record_.settingsApplied;
    if (upgraded) {
        outcome.result = Outcome::Result::Done;
        outcome.summary = "Service \"" + name + "\" upgraded from " + before.catalinaHome + " to " + home +
                          (samePath(jdk, before.javaHome) ? "" : " with the JDK at " + jdk) + ". " +
                          (wasRunning ? downtime : "It was not running and was not started.");
        outcome.announcement = outcome.summary;
        journal_.record(name, outcome, JournalEvent::Upgraded);
        return outcome;
    }
    std::string cause = s.startFailure ? s.startFailure->sentence : outcome.summary;
    if (cause.empty() && !outcome.warnings.empty()) cause = outcome.warnings.back();  // a start not followed
    const std::string notBack = putBackFailure(put);
    outcome.result = Outcome::Result::Failed;
    outcome.startFailure = s.startFailure;
    addPutBack(outcome, conversation, put);
    outcome.summary =
        "The upgrade of \"" + name + "\" to " + home + " failed: " + cause + " " +
        (notBack.empty() ? "It was rolled back: the service " + std::string(wasRunning ? "runs" : "is installed") +
                               " on " + before.catalinaHome + " as it " + (wasRunning ? "did. " : "was, stopped. ")
                         : "Rolling it back failed too: " + notBack + " See the service's state. ") +
        downtime;
    // Why the new Tomcat did not start, how its stop went, then the rollback, and why that did not start.
    journal_.record(name, outcome);
    journal_.write(notBack.empty() ? JournalEvent::RolledBack : JournalEvent::RollBackFailed, name, {outcome.summary});
    if (back.startFailure) journal_.writeStartFailure(name, *back.startFailure);
    return outcome;
}

void addPutBack(Outcome& outcome, Conversation& conversation, const PutBack& put) {
    for (const auto& step : put.undone.ran) outcome.steps.push_back("roll back: " + step);
    if (!put.undone.failedStep.empty()) outcome.failedSteps.push_back("roll back: " + put.undone.failedStep);
    for (const auto& warning : put.undone.warnings) conversation.warn(warning);
    outcome.warnings = conversation.warnings;
}

std::string putBackFailure(const PutBack& put) {
    if (put.back.startFailure) return put.back.startFailure->sentence;
    if (put.undone.completed) return {};
    return put.undone.warnings.empty() ? std::string("A step failed.") : put.undone.warnings.back();
}

PutBack Session::putBack(const Configuration& before, const InstallRecord& record, const Survey& forward,
                         const PlanResult& reinstall, bool wasRunning) {
    PutBack put;
    Survey& back = put.back;
    const std::string& name = before.serviceName;
    Plan undo;
    // What the service manager says decides, not which steps ran (a removal that failed ran too): the old
    // service still there as recorded was never touched, and the store and its state are as they were.
    back = controller_.survey(before, true, record);
    // Not knowing whether the service is there, nothing is put back and the store keeps its word.
    if (back.ownership == Ownership::Unknown) {
        put.undone.completed = false;
        put.undone.warnings.push_back(messages::serviceLookupFailed(name, back.facts.failure.description));
        return put;
    }
    // The service the reinstall registered is its own to remove, recorded or not: through a copy of its
    // survey, so that what the reinstall's stop and start found stays as it was told.
    Survey left = forward;
    if (!back.facts.present() || !isOurs(back.ownership)) {
        // A copy the removal could not delete is still known as ours by its digest.
        InstallRecord leftCopy;
        leftCopy.programDigest = record.programDigest;
        back = controller_.survey(before, false, leftCopy);
        back.password = forward.password;
        if (ran(reinstall, "install :") && left.facts.present()) append(undo, controller_.removal(left));
        append(undo, storeSave(back));
        append(undo, controller_.installation(back));
    }
    // A service its wrapper removed but another program holds open is marked for deletion: it is not put back
    // by standing there, and it takes no start.
    const bool pending = forward.removalPending && back.facts.present();
    if (wasRunning && !pending && !(back.installed && serviceIsUp(controller_.state(name).status)))
        undo.push_back(controller_.start(back));
    put.undone = runPlan(undo);
    if (pending) {
        put.undone.completed = false;
        put.undone.warnings.push_back(messages::serviceRemovalPending(name));
    }
    // What the reinstall left and the undo did not take back is kept in the record.
    installed_ = back.installed;
    record_ = back.record;
    return put;
}

}  // namespace velmora
