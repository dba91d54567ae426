#include "app/Session.h"

#include <algorithm>

#include "app/Conversation.h"
#include "app/SessionMessages.h"
#include "checks/PathRules.h"
#include "checks/Rights.h"
#include "config/ConfigurationFields.h"
#include "config/NameList.h"
#include "config/NameRule.h"
#include "config/NewConfiguration.h"
#include "config/ServiceAccount.h"
#include "config/SetenvScript.h"
#include "config/StoreLayout.h"
#include "config/TomcatLayout.h"
#include "platform/Text.h"
#include "platform/WindowsPaths.h"
#include "service/LastStop.h"
#include "service/ServiceChange.h"
#include "service/ServiceMessages.h"
#include "service/ServiceSettings.h"

namespace velmora {

Session::Session(Platform& platform, ConfigurationStore& store, Editing& editing, FrontEnd& frontEnd,
                 DebugLog& debugLog, Journal& journal, LogKeeper& logs)
    : platform_(platform),
      store_(store),
      editing_(editing),
      frontEnd_(frontEnd),
      debugLog_(debugLog),
      journal_(journal),
      logs_(logs),
      controller_(platform, store_, frontEnd) {}

std::string Session::reportPath() const {
    return platform_.environment.programFolder() + "\\" + reportFileName(configuration().serviceName);
}

namespace {

ReportSection failedStartSection(const StartDiagnosis& failed) {
    ReportSection section{"Last failed start", {"At: " + isoUtcText(failed.at), "Cause: " + failed.cause}};
    if (!failed.file.empty()) section.lines.push_back("From: " + failed.file + ", line " + std::to_string(failed.line));
    return section;
}

ReportSection serviceSection(const StatusCheck& check) {
    ReportSection section{"Service", {"State: " + std::string(statusText(check.status))}};
    if (!check.unanswered.empty()) section.lines.push_back("Not answering: " + check.unanswered);
    if (check.processId) section.lines.push_back("Process: " + std::to_string(check.processId));
    if (check.processStartedAt) section.lines.push_back("Running for: " + runningForText(check.runningSeconds));
    return section;
}

std::string lastStopText(const StopEvidence& last) {
    return isoUtcText(last.at) + ", " + (last.graceful ? "graceful" : "ended by the wrapper") + " after " +
           secondsText(last.stoppedAfterMs) +
           (last.timeoutSeconds ? " (stop timeout " + std::to_string(last.timeoutSeconds) + " s)"
                                : " (no stop timeout)");
}

}  // namespace

void Session::applyStatus(const StatusCheck& check) {
    status_ = check.status;
    statusCheck_ = check;
    if (check.failure) debugLog_.logFailure(*check.failure, "check service status");
    unknownLogged_ = check.failure.has_value();
    const std::string cause =
        status_ == ServiceStatus::NotServing ? check.unanswered + " does not answer" : failedStartCause();
    frontEnd_.showServiceState(installed_, status_, cause);
}

std::optional<StartDiagnosis> Session::lastFailedStart() {
    if (!installed_ || status_ != ServiceStatus::NotRunning) return std::nullopt;
    const KeptFailedStart kept = controller_.lastFailedStart(configuration().serviceName);
    if (kept.unreadable)
        frontEnd_.tell("What was kept of the last failed start of the service \"" + configuration().serviceName +
                       "\" could not be read, and was dropped.");
    return kept.diagnosis;
}

std::string Session::failedStartCause() {
    const auto failed = lastFailedStart();
    return failed ? failed->cause : std::string();
}

void Session::refresh() { applyStatus(controller_.status(valuesRunning(), installed_)); }

std::optional<StatusQuestion> Session::followQuestion() {
    if (!installed_) return std::nullopt;
    return controller_.statusQuestion(valuesRunning());
}

// An installed service runs with the stored values: its ports and ready URL are those, not edits not saved yet.
Configuration Session::valuesRunning() {
    if (installed_ && editing_.nameLocked())
        if (StoredConfiguration stored = store_.read(configuration().serviceName); stored.keyExists)
            return std::move(stored.values);
    return configuration();
}

// "Unable to determine" means the failure behind it is in the debug log
// already; while the service manager still cannot answer nothing more is
// written. Any other state is simply shown again.
void Session::takeFollowed(const StatusQuestion& question, const StatusCheck& check, bool showAnyway) {
    if (!installed_ || question.serviceName != configuration().serviceName) return;
    if (!showAnyway && check.status == status_ && unknownLogged_) return;
    applyStatus(check);
}

void Session::newConfiguration() {
    editing_.newConfiguration();
    installed_ = false;
    record_ = {};
    refresh();
}

Outcome Session::open(const std::string& name) {
    Outcome opened = editing_.open(name);
    if (opened.done()) {
        const StoredConfiguration stored = store_.read(name);
        installed_ = stored.installed;
        record_ = stored.record;
        refresh();
    }
    return opened;
}

bool Session::acceptReport(Conversation& conversation) {
    const Report report = examineConfiguration(configuration(), platform_, conversation, checkContext());
    Question goOn = goOnDespiteReport();
    if (auto failure = platform_.files.writeText(reportPath(), reportDocument(report) + "\r\n")) {
        debugLog_.logFailure(*failure, "");
        if (report.findings.empty()) return true;
        // What it found is asked about all the same: its warnings name it, and no file is opened.
        conversation.warn(messages::reportNotWritten(reportPath(), failure->description));
        goOn = {QuestionKind::InstallDespiteProblems, messages::kUnwrittenReportQuestion, {}};
    }
    if (report.findings.empty()) return true;
    return conversation.ask(goOn) == Answer::Yes;
}

// The window shows the report beside its question; a command line, perhaps on a remote session, only names it.
Question Session::goOnDespiteReport() {
    return {QuestionKind::InstallDespiteProblems, messages::reportQuestion(reportPath()), reportPath()};
}

std::vector<Question> Session::endingQuestions(const SaveDecision& d) {
    std::vector<Question> asked;
    if (!d.refusal.empty()) return asked;
    if (d.restartsRunning()) asked.push_back({QuestionKind::RestartRunningService, messages::kSaveRestartQuestion});
    if (d.changesService())
        if (auto report = reportQuestionAhead()) asked.push_back(std::move(*report));
    return asked;
}

// What the check before the change would find, with no folder made and nothing written.
std::optional<Question> Session::reportQuestionAhead() {
    NobodyToAsk nobody;
    if (examineConfiguration(configuration(), platform_, nobody, checkContext()).findings.empty()) return std::nullopt;
    return goOnDespiteReport();
}

std::vector<Question> Session::endingQuestions(const RemovalDecision& d) {
    if (!d.refusal.empty() || !d.removesService()) return {};
    return {{QuestionKind::DeleteInstalled, messages::kDeleteInstalledQuestion}};
}

std::vector<Question> Session::endingQuestionsOfInstall() {
    // An installed one is saved instead, as install does.
    if (store_.read(configuration().serviceName).installed) return endingQuestions(decideSave());
    if (auto report = reportQuestionAhead()) return {std::move(*report)};
    return {};
}

std::optional<Outcome> Session::prepareAccount(Conversation& conversation, Survey& s, bool passwordNeeded, Plan& plan) {
    const Configuration& c = s.config;
    const std::string account = serviceAccountName(c);
    // Rights Velmora will not give are the check's findings; only the others are asked for.
    for (const MissingRight& missing : missingRightsOf(c, editing_.createdFolders(), platform_))
        if (missing.notGranted.empty() &&
            conversation.ask({QuestionKind::GrantRights, grantQuestion(account, missing.right)}) == Answer::Yes)
            plan.push_back(controller_.grant(missing.right.path, account, missing.right.access));
    // The log-on right matters for an account the service does not run as yet: at an install or an account change.
    if (!passwordNeeded || !isNamedAccount(c)) return std::nullopt;
    const AccountLogOn logOn = logOnOf(c);
    if (!logOn.refusal.empty())
        return logOn.password ? conversation.refuse(logOn.refusal) : Outcome::declined(logOn.refusal);
    if (logOn.password) s.password = *logOn.password;
    if (!logOn.rightHeld.value_or(platform_.accounts.mayLogOnAsService(account)) &&
        conversation.ask({QuestionKind::GrantLogOnRight, logOnQuestion(account)}) == Answer::Yes)
        plan.push_back(controller_.grantLogOn(account));
    return std::nullopt;
}

// A password typed wrong is told before anything changes: a running Tomcat is not stopped for a service that
// could not log on.
Session::AccountLogOn Session::logOnOf(const Configuration& c) {
    AccountLogOn logOn;
    if (!isNamedAccount(c) || !accountNeedsPassword(c)) return logOn;
    const std::string account = serviceAccountName(c);
    logOn.password = frontEnd_.password(account);
    if (!logOn.password) {
        logOn.refusal = messages::noPasswordGiven(account);
        return logOn;
    }
    const ServiceLogOn tried = platform_.accounts.tryServiceLogOn(account, *logOn.password);
    if (tried.refused) logOn.refusal = messages::passwordNotAccepted(account, tried.refused->description);
    logOn.rightHeld = tried.rightHeld;
    return logOn;
}

Plan Session::storeSave(Survey& s) {
    return {{"save", [this, &s] {
                 if (auto failure = store_.save(s.config, s.installed, s.record, editing_.createdFolders()))
                     return StepResult::failed(messages::storeNotWritten(s.config.serviceName, failure->description));
                 return StepResult{};
             }}};
}

Outcome Session::finish(Conversation& conversation, const PlanResult& ran, std::string summary) {
    for (const auto& logged : ran.logged) debugLog_.logFailure(logged.failure, logged.step);
    for (const auto& warning : ran.warnings) conversation.warn(warning);
    Outcome outcome;
    outcome.notices = ran.notices;
    outcome.steps = ran.ran;
    if (!ran.failedStep.empty()) outcome.failedSteps.push_back(ran.failedStep);
    outcome.warnings = conversation.warnings;
    if (!ran.completed) {
        outcome.result = Outcome::Result::Failed;
        outcome.summary = ran.warnings.empty() ? "The step \"" + ran.failedStep + "\" failed." : ran.warnings.back();
        return outcome;
    }
    outcome.summary = std::move(summary);
    return outcome;
}

SaveDecision Session::decideSave(bool stoppedFirst) {
    SaveDecision d;
    const Configuration& c = configuration();
    auto refused = [&](std::string why) {
        d.refusal = std::move(why);
        return d;
    };
    if (std::string why = nameRuleViolation(c.serviceName, c.catalinaHome); !why.empty()) return refused(why);
    // Values Tomcat could never start with are not stored.
    if (const StartRefusal refusal = startRefusal(c); !refusal.why.empty()) return refused(refusal.why);
    // What the store says counts, also for a new configuration that takes a stored one's place.
    d.stored = store_.read(c.serviceName);
    d.holding = d.stored.values;
    if (!d.stored.installed) return d;
    // An installed service moved to another home or JDK is checked before anything stops.
    if (!samePath(d.stored.values.catalinaHome, c.catalinaHome) || !samePath(d.stored.values.javaHome, c.javaHome))
        if (d.findings = preflightFindings(c, d.stored.values); !d.findings.empty())
            return refused(messages::moveWouldMeet("the change of \"" + c.serviceName + "\"", d.findings));
    d.holding = heldOrStored(d.stored.values);
    Survey& s = d.survey = controller_.survey(c, true, d.stored.record, &d.holding);
    d.change = saveChange(d.stored.values, d.holding, c, s.facts.present(), controller_.wrapperChanges(s), *s.kind);
    if (d.change.way == ServiceChange::Way::Nothing) return d;
    const bool reinstall = d.change.way == ServiceChange::Way::Reinstall;
    d.running = !stoppedFirst && s.facts.present() && serviceIsUp(controller_.state(c.serviceName).status);
    // A change that may restart the service has it run its wrapper again.
    const std::string why = reinstall                             ? controller_.removalRefusal(s)
                            : d.running && d.change.restartNeeded ? controller_.startRefusal(s)
                                                                  : controller_.actRefusal(s);
    if (!why.empty()) return refused(why);
    // A reinstall would run whatever sits where the copy goes.
    if (std::string copy = reinstall ? controller_.copyRefusal(s) : std::string(); !copy.empty()) return refused(copy);
    if (std::string carry = carryRefusal(s); !carry.empty()) return refused(carry);
    return d;
}

Outcome Session::save(SaveDecision d) {
    Conversation conversation(frontEnd_);
    const Configuration& c = configuration();
    if (!d.refusal.empty()) {
        Outcome refused = conversation.refuse(d.refusal);
        refused.findings = std::move(d.findings);
        return refused;
    }
    const std::string storedName = store_.storedSpelling(c.serviceName);
    if (!editing_.nameLocked() && !storedName.empty() &&
        !conversation.confirmed(QuestionKind::ReplaceStored, messages::replaceStoredQuestion(storedName)))
        return Outcome::declined("The stored configuration \"" + storedName + "\" was kept.");
    const StoredConfiguration& stored = d.stored;
    Survey& s = d.survey;
    Plan plan;
    bool reinstall = false, restart = false;
    std::string later;                 // what takes effect only at the next start
    std::vector<std::string> changed;  // what the event log is told of a change to the service
    std::string givenBack;             // values changed past Velmora that the change sets back
    if (!stored.installed) {
        s.config = c;
        s.record = stored.record;
        plan = storeSave(s);
    } else {
        const Configuration& holding = d.holding;
        const ServiceChange& change = d.change;
        reinstall = change.way == ServiceChange::Way::Reinstall;
        const bool running = d.running;
        if (change.way != ServiceChange::Way::Nothing) {
            changed = {"Changed: " + fieldNames(change.fields) + "; " + serviceChangeText(change) + "."};
            givenBack = fieldNames(change.givenBack);
        }
        if (d.restartsRunning()) {
            if (!conversation.confirmed(QuestionKind::RestartRunningService, messages::kSaveRestartQuestion))
                return Outcome::declined("Nothing was changed.");
            restart = true;
        }
        if (d.changesService() && !acceptReport(conversation)) return Outcome::declined("Nothing was changed.");
        // Declining a restart is no failure: the service takes the change at its next start.
        if (running && !reinstall && change.restartNeeded) {
            restart = conversation.ask({QuestionKind::RestartAfterChange,
                                        messages::restartForChangeQuestion(c.serviceName)}) == Answer::Yes;
            if (!restart) later = messages::takesEffectAtNextStart(c.serviceName);
        }
        if (d.changesService())
            if (auto ended = prepareAccount(conversation, s, d.asksPassword(), plan)) return *ended;
        if (reinstall) {
            append(plan, controller_.removal(s));
            append(plan, storeSave(s));
            append(plan, controller_.installation(s));
        } else {
            if (change.way == ServiceChange::Way::InPlace)
                append(plan, controller_.changeInPlace(s, holding, storeSave(s)));
            else
                append(plan, storeSave(s));
            if (restart) stopAndRoll(plan, s);
        }
        if (restart) plan.push_back(controller_.start(s));
    }
    const PlanResult ran = runPlan(plan);
    const bool savedNow =
        std::find(ran.ran.begin(), ran.ran.end(), "save") != ran.ran.end() && ran.failedStep != "save";
    if (savedNow) editing_.lockName();
    if (stored.installed) {
        installed_ = s.installed;
        record_ = s.record;
    } else if (ran.completed) {
        installed_ = false;
        record_ = stored.record;
    }
    // A reinstall that stopped half-way puts the service back with the stored values; the edits stay in the
    // configuration being edited, unsaved.
    std::optional<PutBack> put;
    if (reinstall && !ran.completed) put = putBack(stored.values, stored.record, s, ran, restart);
    std::string summary = messages::configurationSaved(c.serviceName) + later;
    // A save that restarted the service says so, as a start does: a script reads that Tomcat serves again.
    if (s.started) summary += " " + startedSentence(c.serviceName, *s.started);
    Outcome outcome = finish(conversation, ran, summary);
    // A change in place reached the service before the store refused it: the two now differ until a save succeeds.
    if (!reinstall && ran.failedStep == "save" &&
        std::any_of(ran.ran.begin(), ran.ran.end(), ServiceController::changedStartUpValues))
        outcome.summary += " The service \"" + c.serviceName +
                           "\" runs with the new values already; the stored configuration keeps the old ones until "
                           "a save succeeds.";
    outcome.failWithStart(s.startFailure);
    outcome.started = s.started;
    outcome.stopped = s.stopped;
    if (put) {
        addPutBack(outcome, conversation, *put);
        outcome.started = put->back.started;
        const std::string notBack = putBackFailure(*put);
        outcome.summary += notBack.empty()
                               ? " It was rolled back: the service " + std::string(restart ? "runs" : "is installed") +
                                     " with the stored values as it " + (restart ? "did" : "was") +
                                     "; the changes were not saved."
                               : " Rolling it back failed too: " + notBack + " See the service's state.";
        journal_.write(notBack.empty() ? JournalEvent::ChangeRolledBack : JournalEvent::RollBackFailed, c.serviceName,
                       {outcome.summary});
        if (put->back.startFailure) journal_.writeStartFailure(c.serviceName, *put->back.startFailure);
    }
    editing_.show();
    refresh();
    const bool reinstalled = std::any_of(ran.ran.begin(), ran.ran.end(),
                                         [](const std::string& step) { return step.rfind("install :", 0) == 0; });
    if (outcome.done()) outcome.announcement = messages::instanceSaved(c.serviceName);
    if (stored.installed) {
        outcome.installed = installed_;
        outcome.settingsApplied = installed_ && record_.settingsApplied;
    }
    if (outcome.done() && reinstalled)
        for (auto& notice : scriptOptionsNotice(c)) outcome.notices.push_back(std::move(notice));
    if (outcome.done() && !givenBack.empty())
        outcome.notices.push_back("The service \"" + c.serviceName + "\" held other values than the stored ones for " +
                                  givenBack + ", changed past Velmora: they were set back with this change.");
    journal_.record(c.serviceName, outcome,
                    changed.empty() ? std::nullopt : std::optional<JournalEvent>(JournalEvent::ChangeApplied), changed);
    return outcome;
}

std::string Session::installRefusal() {
    // An installed one is saved instead, as install does.
    if (store_.read(configuration().serviceName).installed) return decideSave().refusal;
    Survey s;
    return installRefusal(s);
}

std::string Session::installRefusal(Survey& s) {
    const Configuration& c = configuration();
    if (std::string why = nameRuleViolation(c.serviceName, c.catalinaHome); !why.empty()) return why;
    s = controller_.survey(c, false, store_.read(c.serviceName).record);
    if (std::string why = controller_.installRefusal(s); !why.empty()) return why;
    return carryRefusal(s);
}

Outcome Session::install() {
    Conversation conversation(frontEnd_);
    const Configuration& c = configuration();
    if (store_.read(c.serviceName).installed) return save();
    Survey s;
    if (std::string why = installRefusal(s); !why.empty()) return conversation.refuse(why);

    Plan plan;
    if (auto ended = prepareAccount(conversation, s, true, plan)) return *ended;
    Outcome saved = save();
    if (!saved.done()) return saved;
    if (!acceptReport(conversation)) {
        Outcome declined = Outcome::declined("The configuration was saved; its service was not installed.");
        declined.steps = saved.steps;  // what was changed all the same
        return declined;
    }
    s.config = configuration();
    s.record = record_;
    append(plan, controller_.installation(s));
    const bool serviceBefore = s.facts.present();
    const PlanResult ran = runPlan(plan);
    // A service this install registered but could not record as installed is removed again: no one would own it.
    PlanResult undone;
    if (!ran.completed && !serviceBefore && !s.installed && s.facts.present()) {
        undone = runPlan(controller_.removal(s));
        for (const auto& warning : undone.warnings) conversation.warn(warning);
    }
    installed_ = s.installed;
    record_ = s.record;
    Outcome outcome = finish(conversation, ran, messages::serviceInstalled(c.serviceName));
    if (!undone.ran.empty()) {
        outcome.steps.insert(outcome.steps.end(), undone.ran.begin(), undone.ran.end());
        if (!undone.failedStep.empty()) outcome.failedSteps.push_back(undone.failedStep);
        const bool removed = !s.facts.present();
        outcome.summary +=
            removed ? " The service it had registered was removed again."
                    : " The service it had registered could not be removed again (" + undone.failedStep + ").";
    }
    outcome.steps.insert(outcome.steps.begin(), saved.steps.begin(), saved.steps.end());
    if (outcome.done()) outcome.announcement = outcome.summary;
    outcome.installed = installed_;
    outcome.settingsApplied = installed_ && record_.settingsApplied;
    for (auto& notice : scriptOptionsNotice(s.config)) outcome.notices.push_back(std::move(notice));
    refresh();
    journal_.record(c.serviceName, outcome,
                    installed_ ? std::optional<JournalEvent>(JournalEvent::Installed) : std::nullopt,
                    {"Program: " + record_.programLine, "Account: " + serviceAccountName(c)});
    return outcome;
}

// Why the wrapper cannot be given this configuration: a value it cannot carry
// whole, or an entry of the home's service.bat that must not reach the JVM.
std::string Session::carryRefusal(const Survey& s) {
    for (const auto& value : uncarriedValues(s.layout, s.config, platform_.environment))
        return uncarriedValueMessage(value);
    if (const auto options9 = wrapperJvmOptions9(s.config, platform_.files))
        for (const auto& option : unusableScriptOptions(*options9))
            return unusableScriptOptionMessage(option, options9->script);
    return {};
}

// Options a script of the home hands the JVM are no secret: the user is told which.
std::vector<std::string> Session::scriptOptionsNotice(const Configuration& c) {
    const auto options9 = wrapperJvmOptions9(c, platform_.files);
    if (!options9 || options9->script.empty() || !installed_) return {};
    std::string text = "The JVM options for Java 9 and later that the service was given:";
    for (const auto& line : jvmOptions9Lines(*options9)) text += "\r\n" + line;
    return {text};
}

StoredConfiguration Session::catchUpWithStore() {
    if (!editing_.nameLocked()) return {};
    StoredConfiguration stored = store_.read(configuration().serviceName);
    installed_ = stored.installed;
    record_ = stored.record;
    return stored;
}

// Such an operation stores the whole configuration but changes the service only
// for what it moves; edits not saved yet would reach the store and not the service.
std::string Session::unsavedEditsRefusal(const StoredConfiguration& stored) {
    if (!stored.keyExists || differingFields(stored.values, configuration()).empty()) return {};
    return "The configuration \"" + configuration().serviceName +
           "\" has changes that are not saved: save them first, or open it again. Nothing was changed.";
}

Outcome Session::repoint(const std::string& javaHome, bool checkOnly) {
    Conversation conversation(frontEnd_);
    if (std::string why = unsavedEditsRefusal(catchUpWithStore()); !why.empty()) return conversation.refuse(why);
    const Configuration before = configuration();
    std::string target = javaHome;
    if (!rootFolderProblem(target).empty()) return conversation.refuse(messages::relativePathRefusal(target));
    // A service that is not Velmora's is refused before anything is said of its JDK.
    if (installed_)
        if (std::string why = controller_.actRefusal(controller_.survey(before, true, record_)); !why.empty())
            return conversation.refuse(why);
    if (!target.empty() && samePath(target, before.javaHome))
        return Outcome::announced("Configuration \"" + before.serviceName + "\" uses the JDK at " + target +
                                  " already; nothing was changed.");
    if (target.empty()) {
        const auto replacement =
            jdkReplacementFor(before, tomcatLayoutOf(before.catalinaHome, platform_.files), platform_);
        if (!replacement)
            return conversation.refuse("No JDK to move to: the JDK at " + before.javaHome +
                                       " is still there, or no JDK of its version is registered. Give one with --jdk.");
        target = replacement->javaHome;
    }
    if (std::string missing = missingJvmLibrary(target, before.jvmType, platform_.files); !missing.empty())
        return conversation.refuse(missing + "; nothing was changed.");
    editing_.useJdk(target);
    // A configuration not saved yet takes the JDK in the window only; its save stores it, under the save's rules.
    if (!editing_.nameLocked() && !checkOnly)
        return Outcome::announced("The configuration now uses the JDK at " + target + "; save it to keep it.");
    const Configuration& c = configuration();
    // Its JVM, its machine type and its options are checked before anything changes.
    if (auto findings = preflightFindings(c, before); checkOnly || !findings.empty()) {
        editing_.restore(before);
        return preflightOutcome(conversation, std::move(findings),
                                "The move of \"" + before.serviceName + "\" to the JDK at " + target, checkOnly);
    }
    Survey s;
    Plan plan;
    const bool running = installed_ && serviceIsUp(controller_.state(c.serviceName).status);
    if (installed_) {
        s = controller_.survey(c, true, record_, &before);
        // A running service is restarted on the new JDK, which runs its wrapper again.
        if (std::string why = running ? controller_.startRefusal(s) : controller_.actRefusal(s); !why.empty()) {
            editing_.restore(before);
            return conversation.refuse(why);
        }
    } else {
        s.config = c;
        s.record = record_;
    }
    s.installed = installed_;
    if (installed_ && s.facts.present())
        append(plan, controller_.changeInPlace(s, before, storeSave(s)));
    else
        append(plan, storeSave(s));
    // Declining the restart is no failure: the service takes the new JDK at its next start.
    const bool restart = running && frontEnd_.ask({QuestionKind::RestartAfterChange,
                                                   "The service \"" + c.serviceName +
                                                       "\" runs on the JDK it started "
                                                       "with until it restarts. Restart it now?"}) == Answer::Yes;
    if (restart) {
        stopAndRoll(plan, s);
        plan.push_back(controller_.start(s));
    }
    const PlanResult ran = runPlan(plan);
    record_ = s.record;
    std::string summary = "Configuration \"" + c.serviceName + "\" now uses the JDK at " + target + ".";
    if (running && !restart) summary += " The running service keeps the JDK it started with until its next start.";
    Outcome outcome = finish(conversation, ran, summary);
    outcome.failWithStart(s.startFailure);
    outcome.started = s.started;
    outcome.stopped = s.stopped;
    refresh();
    journal_.record(c.serviceName, outcome,
                    installed_ ? std::optional<JournalEvent>(JournalEvent::ChangeApplied) : std::nullopt,
                    {"Changed: " + store::kJavaHome + ", " + store::kClassPath + "."});
    return outcome;
}

Outcome Session::importSetenv() {
    Conversation conversation(frontEnd_);
    const SetenvScriptReading reading = setenvOptions(configuration(), platform_.files);
    const SetenvTakeOver takeOver = setenvTakeOver(reading.variables, configuration());
    // What could not be followed or taken is said either way: it stays in the script only.
    std::string leftOut;
    for (const auto& notTaken : takeOver.notTaken)
        leftOut += "\r\n  " + visibleText(notTaken.option) + " is not taken: " + notTaken.reason + ".";
    for (const auto& line : reading.notFollowed) leftOut += "\r\n  " + setenvNotFollowedMessage(line);
    if (reading.variables.empty())
        return conversation.refuse(
            "Neither the home's nor the base's bin\\setenv.bat sets an option in CATALINA_OPTS or JAVA_OPTS; "
            "nothing was changed." +
            leftOut);
    // Run again, it finds what it took in the configuration already, and changes nothing.
    if (takeOver.empty())
        return Outcome::announced("The configuration \"" + configuration().serviceName +
                                  "\" holds every option of setenv.bat already; nothing was changed." + leftOut);
    std::string changes;
    auto line = [&](const std::string& text) { changes += "\r\n  " + visibleText(text); };
    if (!takeOver.initialHeapSize.empty()) line("Initial Heap Size (MB): " + takeOver.initialHeapSize);
    if (!takeOver.maxHeapSize.empty()) line("Max Heap Size (MB): " + takeOver.maxHeapSize);
    if (!takeOver.threadStackSize.empty()) line("Stack Size (KB): " + takeOver.threadStackSize);
    for (const auto& option : takeOver.options) line("Additional JVM option: " + option);
    if (!conversation.confirmed(QuestionKind::TakeOverSetenv,
                                "These options of setenv.bat go into the configuration \"" +
                                    configuration().serviceName + "\":" + changes +
                                    (leftOut.empty() ? "" : "\r\nLeft as it is:" + leftOut) + "\r\nContinue?"))
        return Outcome::declined("Nothing was changed.");
    Outcome edits;
    auto take = [&](Field field, const std::string& value) {
        if (value.empty() || !edits.done()) return;
        if (Outcome taken = editing_.edit(field, value); !taken.done()) edits = taken;
    };
    take(Field::InitialHeapSize, takeOver.initialHeapSize);
    take(Field::MaxHeapSize, takeOver.maxHeapSize);
    take(Field::ThreadStackSize, takeOver.threadStackSize);
    for (const auto& option : takeOver.options)
        if (edits.done() && !editing_.addOption(option))
            edits = Outcome::refused("The option " + option + " was not taken.");
    if (!edits.done()) {
        (void)open(configuration().serviceName);  // nothing half-taken stays in the window
        return edits;
    }
    return save();
}

Outcome Session::offerRepoint(const JdkReplacement& replacement) {
    Conversation conversation(frontEnd_);
    if (conversation.ask({QuestionKind::SwitchJdk, switchJdkQuestion(configuration(), replacement)}) != Answer::Yes)
        return Outcome::declined("The configuration keeps the JDK at " + configuration().javaHome + ".");
    return repoint(replacement.javaHome);
}

Outcome Session::uninstall() {
    Conversation conversation(frontEnd_);
    const StoredConfiguration stored = catchUpWithStore();
    const Configuration& c = configuration();
    if (std::string why = nameRuleViolation(c.serviceName, c.catalinaHome); !why.empty())
        return conversation.refuse(why);
    Survey s = controller_.survey(c, installed_, record_, installed_ ? &stored.values : nullptr);
    Plan plan;
    std::string summary = messages::serviceUninstalled(c.serviceName);
    if (s.ownership == Ownership::Foreign) {
        // The store's word is out of date: the configuration lets go of it and the service stays.
        conversation.warn(messages::serviceNoLongerOurs(c.serviceName, s.facts.programLine));
        // A wrapper copy Velmora made stays known as its own, so that a later install may use it again.
        plan.push_back({"mark not installed", [this, &s] {
                            const std::string ownCopy = s.record.adopted ? std::string() : s.record.programDigest;
                            if (auto failure = store_.markNotInstalled(s.config.serviceName, ownCopy))
                                return StepResult::failed(
                                    messages::storeNotWritten(s.config.serviceName, failure->description));
                            s.installed = false;
                            s.record = {};
                            s.record.programDigest = ownCopy;
                            return StepResult{};
                        }});
        summary = messages::serviceLeftAlone(c.serviceName);
    } else if (std::string why = controller_.removalRefusal(s); !why.empty()) {
        return conversation.refuse(why);
    } else {
        // Stopping a running Tomcat is asked first, as a delete asks; removing a service made elsewhere always is.
        const bool running = s.facts.present() && serviceIsUp(controller_.state(c.serviceName).status);
        const bool agreed = s.record.adopted
                                ? conversation.confirmed(QuestionKind::UninstallAdopted,
                                                         messages::uninstallAdoptedQuestion(c.serviceName, running))
                                : !running || conversation.confirmed(QuestionKind::UninstallRunning,
                                                                     messages::uninstallRunningQuestion(c.serviceName));
        if (!agreed) return Outcome::declined("Nothing was changed.");
        plan = controller_.removal(s);
    }
    const PlanResult ran = runPlan(plan);
    installed_ = s.installed;
    record_ = s.record;
    Outcome outcome = finish(conversation, ran, summary);
    if (outcome.done() && outcome.warnings.empty()) outcome.announcement = outcome.summary;
    outcome.installed = installed_;
    outcome.stopped = s.stopped;
    refresh();
    if (s.ownership != Ownership::Foreign) journal_.record(c.serviceName, outcome, JournalEvent::Uninstalled);
    return outcome;
}

RemovalDecision Session::decideRemoval() {
    RemovalDecision d;
    const Configuration& c = configuration();
    const std::string& name = c.serviceName;
    // A listed name that cannot be a key goes from the list alone; any other such name is refused.
    if (std::string why = unusableNameReason(name); !why.empty() && !store_.nameList().holds(name)) {
        d.refusal = why;
        return d;
    }
    d.stored = store_.read(name);
    // A name stored before the name rule can still go, but only from the store. The home it was stored
    // with counts, not one typed since.
    d.ruleBroken = nameRuleViolation(name, d.stored.keyExists ? d.stored.values.catalinaHome : c.catalinaHome);
    // A service that is not ours stays as it is; the configuration goes from the store alone.
    if (d.stored.installed && d.ruleBroken.empty()) {
        d.survey = controller_.survey(c, true, d.stored.record, &d.stored.values);
        d.leftAlone = d.survey.ownership == Ownership::Foreign || d.survey.ownership == Ownership::Unrecorded;
        if (!d.leftAlone) d.refusal = controller_.removalRefusal(d.survey);
    }
    return d;
}

std::vector<std::string> RemovalDecision::warnings(const std::string& name) const {
    std::vector<std::string> told;
    if (stored.installed && !ruleBroken.empty())
        told.push_back(ruleBroken + " The configuration goes from the store only; its service \"" + name +
                       "\", if it is still registered, stays as it is.");
    if (leftAlone)
        told.push_back(survey.ownership == Ownership::Foreign
                           ? messages::serviceNoLongerOurs(name, survey.facts.programLine)
                           : messages::unrecordedServiceLeft(name, survey.facts.programLine));
    return told;
}

Outcome Session::remove(RemovalDecision d) {
    Conversation conversation(frontEnd_);
    const std::string name = configuration().serviceName;
    if (!d.refusal.empty()) return conversation.refuse(d.refusal);
    const Survey& s = d.survey;
    Plan plan;
    if (d.removesService()) {
        plan = controller_.removal(d.survey);
        if (!conversation.confirmed(QuestionKind::DeleteInstalled, messages::kDeleteInstalledQuestion))
            return Outcome::declined("Nothing was changed.");
    }
    for (const std::string& warning : d.warnings(name)) conversation.warn(warning);
    plan.push_back({"delete", [this, name] {
                        if (auto failure = store_.remove(name))
                            return StepResult::failed(messages::storeNotWritten(name, failure->description));
                        return StepResult{};
                    }});
    const PlanResult ran = runPlan(plan);
    Outcome outcome = finish(conversation, ran, messages::instanceDeleted(name));
    if (!outcome.done()) {
        installed_ = d.stored.installed && s.installed;
        refresh();
        return outcome;
    }
    outcome.summary = messages::configurationDeleted(name, d.removesService());
    outcome.announcement = messages::instanceDeleted(name);
    newConfiguration();
    return outcome;
}

Outcome Session::start() { return changeRunning(RunChange::Start); }
Outcome Session::stop() { return changeRunning(RunChange::Stop); }
Outcome Session::restart() { return changeRunning(RunChange::Restart); }

std::string Session::refusalToStart() { return runChangeRefusal(RunChange::Start, runningSurvey(catchUpWithStore())); }
std::string Session::refusalToStop() { return runChangeRefusal(RunChange::Stop, runningSurvey(catchUpWithStore())); }

// Its start is watched, its stop timed and its logs rolled by the values the service runs with.
Survey Session::runningSurvey(const StoredConfiguration& stored) {
    const bool storedRuns = installed_ && stored.keyExists;
    return controller_.survey(storedRuns ? stored.values : configuration(), installed_, record_,
                              storedRuns ? &stored.values : nullptr);
}

std::string Session::runChangeRefusal(RunChange change, const Survey& s) {
    return change != RunChange::Stop ? controller_.startRefusal(s) : controller_.actRefusal(s);
}

Outcome Session::changeRunning(RunChange change) {
    Conversation conversation(frontEnd_);
    Survey s = runningSurvey(catchUpWithStore());
    const Configuration& c = configuration();
    const bool starts = change != RunChange::Stop;
    if (std::string why = runChangeRefusal(change, s); !why.empty()) return conversation.refuse(why);
    Plan plan;
    if (change != RunChange::Start) stopAndRoll(plan, s);
    if (starts) plan.push_back(controller_.start(s));
    const PlanResult ran = runPlan(plan);
    record_ = s.record;
    refresh();
    std::string summary;
    if (s.stopped && s.stopped->graceful) summary = stopSentence(c.serviceName, *s.stopped);
    if (starts)
        // The stop's sentence may end in a line quoted from Tomcat's log: the start's begins a line of its own.
        summary += (summary.empty() ? "" : "\n") + (s.started ? startedSentence(c.serviceName, *s.started)
                                                              : "Service \"" + c.serviceName + "\" is running.");
    else if (summary.empty())
        summary = "Service \"" + c.serviceName + "\" is not running.";
    Outcome outcome = finish(conversation, ran, summary);
    outcome.startFailure = s.startFailure;
    outcome.started = s.started;
    outcome.stopped = s.stopped;
    // A start is judged by its watch, which waited as long as the start timeout asks (0: only until it runs).
    // A stop is judged by the service manager's word, which a name the status cannot be asked for still gets.
    const bool arrived = starts ? s.started || status_ == ServiceStatus::Running
                                : controller_.state(c.serviceName).status == ServiceStatus::NotRunning;
    if (s.startFailure) {
        outcome.result = Outcome::Result::Failed;
        outcome.summary = s.startFailure->sentence;
    } else if (outcome.done() && !arrived) {
        outcome.result = Outcome::Result::Failed;
        outcome.summary = "Service \"" + c.serviceName + "\" did not " + (starts ? "start" : "stop") +
                          "; its state: " + statusText(status_) + ".";
        for (const auto& note : ran.notes) outcome.summary += note;
    }
    journal_.record(c.serviceName, outcome);
    return outcome;
}

void Session::stopAndRoll(Plan& plan, Survey& s) {
    plan.push_back(controller_.stop(s));
    plan.push_back(logs_.rollAfterStop(s.config));
}

CheckResult Session::checkConfiguration(ReportOpening opening, const std::string& path) {
    Conversation conversation(frontEnd_);
    CheckResult result;
    result.reportPath = path.empty() ? reportPath() : path;
    // The checks ask and warn only once a configuration has been opened or installed.
    NobodyToAsk nobody;
    Questions& questions = editing_.checksSpeak() ? static_cast<Questions&>(conversation) : nobody;
    refresh();
    result.report = examineConfiguration(configuration(), platform_, questions, checkContext());
    std::vector<Finding> found = logs_.findings(configuration());
    for (Finding& finding : driftFindings()) found.push_back(std::move(finding));
    for (auto& finding : found) {
        questions.warn(finding.message);
        result.report.findings.push_back(std::move(finding));
    }
    if (const auto failed = lastFailedStart()) result.report.sections.push_back(failedStartSection(*failed));
    if (installed_) {
        result.report.sections.push_back(serviceSection(statusCheck_));
        if (const auto last = controller_.lastStop(configuration().serviceName)) {
            result.report.sections.back().lines.push_back("Last stop: " + lastStopText(*last));
            const Survey s = controller_.survey(configuration(), true, record_);
            const std::uint32_t held = controller_.wrapperStopTimeout(s, configuration().stopTimeout);
            for (auto& warning :
                 slowStopWarnings(configuration().serviceName, *last, held, shutdownWaitMs(platform_.registry))) {
                questions.warn(warning);
                result.report.findings.push_back({FindingKind::SlowStop,
                                                  storedField(Field::StopTimeout).label,
                                                  {},
                                                  std::move(warning),
                                                  storedField(Field::StopTimeout).name});
            }
        }
    }
    result.replacement =
        jdkReplacementFor(configuration(), tomcatLayoutOf(configuration().catalinaHome, platform_.files), platform_);
    if (auto failure = platform_.files.writeText(result.reportPath, reportDocument(result.report) + "\r\n")) {
        const std::string why = messages::reportNotWritten(result.reportPath, failure->description);
        conversation.warn(why);
        result.outcome = Outcome::failed(why);
        return result;
    }
    const bool open =
        opening == ReportOpening::Always || (opening == ReportOpening::OnProblems && !result.report.findings.empty());
    if (open) (void)platform_.processes.openDocument(result.reportPath);
    result.outcome.summary =
        (result.report.findings.empty() ? "No problems found; the report is " : "Problems found; the report is ") +
        result.reportPath;
    result.outcome.warnings = conversation.warnings;
    return result;
}

CheckContext Session::checkContext() {
    CheckContext context;
    for (const auto& name : store_.names())
        if (!sameName(name, configuration().serviceName))
            context.others.push_back(
                {name, store_.readText(name, store::kTomcatConfig), store_.readText(name, store::kCatalinaHome)});
    context.serviceRunning = installed_ && serviceIsUp(status_);
    context.createdFolders = &editing_.createdFolders();
    return context;
}

std::vector<Finding> Session::missingRightsFor(const Configuration& c) {
    return missingRights(c, editing_.createdFolders(), platform_);
}

}  // namespace velmora
