#include "app/Session.h"

#include <algorithm>

#include "app/SessionMessages.h"
#include "checks/Rights.h"
#include "config/NameList.h"
#include "config/NameRule.h"
#include "config/NewConfiguration.h"
#include "config/ServiceAccount.h"
#include "config/SetenvScript.h"
#include "config/StoreLayout.h"
#include "config/TomcatLayout.h"
#include "platform/Text.h"
#include "service/ServiceMessages.h"
#include "service/ServiceSettings.h"

namespace velmora {

// The front end as one operation sees it: every warning told is noted, and a
// "Confirm" answered Yes accepts those that came before it, as a user who
// clicks on does.
class Session::Telling : public Questions {
public:
    explicit Telling(FrontEnd& frontEnd) : frontEnd_(frontEnd) {}
    Answer ask(const Question& question) override {
        const Answer answer = frontEnd_.ask(question);
        const bool move = question.kind == QuestionKind::MoveWithHome || question.kind == QuestionKind::MoveWithBase;
        if (lookOf(question.kind).confirms && answer == Answer::Yes) warnings.clear();
        if (move && answer == Answer::No) declinedMove = true;
        if (!move && !lookOf(question.kind).confirms && answer == Answer::No) warnings.push_back(question.text);
        return answer;
    }
    void warn(const std::string& text) override {
        warnings.push_back(text);
        frontEnd_.warn(text);
    }
    bool confirmed(QuestionKind kind, const std::string& text) { return ask({kind, text}) == Answer::Yes; }
    Outcome refuse(const std::string& why) {
        warn(why);
        Outcome outcome = Outcome::refused(why);
        outcome.warnings = warnings;
        return outcome;
    }

    // The outcome of handing over a value: refused when it was not taken,
    // declined when the user would not have the paths moved with it.
    Outcome edited(bool taken) const {
        Outcome outcome;
        outcome.warnings = warnings;
        if (!taken) outcome.result = Outcome::Result::Refused;
        if (taken && declinedMove) outcome.result = Outcome::Result::Declined;
        if (!outcome.done()) outcome.summary = warnings.empty() ? "The paths were not moved." : warnings.back();
        return outcome;
    }

    std::vector<std::string> warnings;
    bool declinedMove = false;

private:
    FrontEnd& frontEnd_;
};

Session::Session(Platform& platform, FrontEnd& frontEnd, DebugLog& debugLog)
    : platform_(platform),
      frontEnd_(frontEnd),
      debugLog_(debugLog),
      store_(platform.registry),
      editor_(platform.files),
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

}  // namespace

// The JVM type chosen last, unless the JDK has no client JVM to offer.
Configuration Session::freshConfiguration() {
    const std::string javaHome = defaultJavaHome(platform_.environment, platform_.registry);
    const bool clientPossible = clientJvmRefusal(javaHome, platform_.files).empty();
    return velmora::newConfiguration(defaultCatalinaHome(platform_.environment), javaHome,
                                     clientPossible ? configuration().jvmType : JvmType::Server, platform_.files);
}

void Session::show() { frontEnd_.showConfiguration(configuration(), nameLocked_, tomcatVersion().text); }

TomcatVersion Session::tomcatVersion() {
    const std::string& home = configuration().catalinaHome;
    return tomcatVersionOf(home, tomcatLayoutOf(home, platform_.files), platform_.files);
}

void Session::applyStatus(const StatusCheck& check) {
    status_ = check.status;
    if (check.failure) debugLog_.logFailure(*check.failure, "check service status");
    unknownLogged_ = check.failure.has_value();
    frontEnd_.showServiceState(installed_, status_, failedStartCause());
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

void Session::refresh() { applyStatus(controller_.status(configuration().serviceName, installed_)); }

// "Unable to determine" means the failure behind it is in the debug log
// already; while the service manager still cannot answer nothing more is
// written. Any other state is simply checked again.
void Session::follow() {
    if (!installed_) return;
    StatusCheck check = controller_.status(configuration().serviceName, installed_);
    if (check.status == status_ && unknownLogged_) return;
    applyStatus(check);
}

void Session::newConfiguration() {
    promptsOn_ = false;
    editor_.start(freshConfiguration());
    installed_ = false;
    record_ = {};
    nameLocked_ = false;
    show();
    refresh();
}

Outcome Session::open(const std::string& name) {
    Telling telling(frontEnd_);
    // A name that is not a key of its own would read another key's values.
    if (std::string why = unusableNameReason(name); !why.empty()) return telling.refuse(why);
    const StoredConfiguration stored = store_.read(name);
    if (!stored.keyExists && listHoldsName(store_.names(), name)) telling.warn(messages::listedButMissing(name));
    for (const auto& value : stored.unusableTexts) telling.warn(messages::unusableStoredText(name, value));
    for (const auto& [value, word] : stored.unknownChoices)
        telling.warn("The value \"" + visibleText(word) + "\" of \"" + value + "\" of the configuration \"" + name +
                     "\" is not one Velmora knows, so it opens as " +
                     fieldText(stored.values, *storedField(value)) + ".");
    editor_.load(freshConfiguration(), stored);
    installed_ = stored.installed;
    record_ = stored.record;
    nameLocked_ = true;
    promptsOn_ = true;
    show();
    refresh();
    Outcome outcome{Outcome::Result::Done, "Opened \"" + name + "\".", telling.warnings, {}, {}};
    return outcome;
}

bool Session::acceptReport(Telling& telling) {
    const Report report = examineConfiguration(configuration(), platform_, telling, checkContext());
    if (auto failure = platform_.files.writeText(reportPath(), reportDocument(report) + "\r\n")) {
        debugLog_.logFailure(*failure, "");
        return true;  // nothing to show; the install goes on as it would without problems
    }
    if (report.findings.empty()) return true;
    (void)platform_.processes.openDocument(reportPath());  // the question names the file for when it does not open
    return telling.confirmed(QuestionKind::InstallDespiteProblems, messages::reportQuestion(reportPath()));
}

bool Session::prepareAccount(Telling& telling, Survey& s, bool passwordNeeded, Plan& plan) {
    const Configuration& c = s.config;
    const std::string account = serviceAccountName(c);
    // Rights Velmora will not give are the check's findings; only the others are asked for.
    for (const MissingRight& missing : missingRightsOf(c, editor_.createdFolders(), platform_))
        if (missing.notGranted.empty() &&
            telling.ask({QuestionKind::GrantRights, grantQuestion(account, missing.right)}) == Answer::Yes)
            plan.push_back(controller_.grant(missing.right.path, account, missing.right.access));
    if (isNamedAccount(c) && !platform_.accounts.mayLogOnAsService(account) &&
        telling.ask({QuestionKind::GrantLogOnRight, logOnQuestion(account)}) == Answer::Yes)
        plan.push_back(controller_.grantLogOn(account));
    if (!passwordNeeded || !accountNeedsPassword(c)) return true;
    const auto password = frontEnd_.password(account);
    if (!password) return false;
    s.password = *password;
    return true;
}

Plan Session::storeSave(Survey& s) {
    return {{"save", [this, &s] {
                 if (auto failure = store_.save(s.config, s.installed, s.record, editor_.createdFolders()))
                     return StepResult::failed(messages::storeNotWritten(s.config.serviceName, failure->description));
                 return StepResult{};
             }}};
}

Outcome Session::finish(Telling& telling, const PlanResult& ran, std::string summary) {
    for (const auto& logged : ran.logged) debugLog_.logFailure(logged.failure, logged.step);
    for (const auto& warning : ran.warnings) telling.warn(warning);
    for (const auto& notice : ran.notices) frontEnd_.tell(notice);
    Outcome outcome;
    outcome.steps = ran.ran;
    outcome.warnings = telling.warnings;
    if (!ran.completed) {
        outcome.result = Outcome::Result::Failed;
        outcome.summary = ran.warnings.empty() ? "The step \"" + ran.failedStep + "\" failed." : ran.warnings.back();
        return outcome;
    }
    outcome.summary = std::move(summary);
    return outcome;
}

Outcome Session::save(bool announce) {
    Telling telling(frontEnd_);
    const Configuration& c = configuration();
    if (std::string why = nameRuleViolation(c.serviceName, c.catalinaHome); !why.empty()) return telling.refuse(why);
    const std::string storedName = store_.storedSpelling(c.serviceName);
    if (!nameLocked_ && !storedName.empty() &&
        !telling.confirmed(QuestionKind::ReplaceStored, messages::replaceStoredQuestion(storedName)))
        return Outcome::declined("The stored configuration \"" + storedName + "\" was kept.");
    // What the store says counts, also for a new configuration that takes a stored one's place.
    const StoredConfiguration stored = store_.read(c.serviceName);

    Survey s;
    Plan plan;
    bool restart = false;
    if (!stored.installed) {
        s.config = c;
        s.record = stored.record;
        plan = storeSave(s);
    } else {
        s = controller_.survey(c, true, stored.record);
        if (std::string why = controller_.removalRefusal(s); !why.empty()) return telling.refuse(why);
        // The reinstall would run whatever sits where the copy goes.
        if (std::string why = controller_.copyRefusal(s); !why.empty()) return telling.refuse(why);
        if (std::string why = carryRefusal(s); !why.empty()) return telling.refuse(why);
        const bool running = controller_.status(c.serviceName, true).status == ServiceStatus::Running;
        if (running && !onlyServiceSettingsDiffer(stored.values, c)) {
            if (!telling.confirmed(QuestionKind::RestartRunningService, messages::kSaveRestartQuestion))
                return Outcome::declined("Nothing was changed.");
            restart = true;
        }
        promptsOn_ = true;
        if (!acceptReport(telling)) return Outcome::declined("Nothing was changed.");
        // How the service runs, changed alone, is applied to it where it stands.
        const bool inPlace = s.facts.present() && onlyServiceSettingsDiffer(stored.values, c);
        const bool accountChanged = stored.values.serviceAccount != c.serviceAccount;
        if (!prepareAccount(telling, s, !inPlace || accountChanged, plan))
            return Outcome::declined("No password was given for " + serviceAccountName(c) + "; nothing was changed.");
        if (inPlace) {
            append(plan, storeSave(s));
            append(plan, controller_.settingsInPlace(s, stored.values.stopTimeout != c.stopTimeout));
        } else {
            append(plan, controller_.removal(s));
            append(plan, storeSave(s));
            append(plan, controller_.installation(s));
            if (restart) plan.push_back(controller_.start(s));
        }
    }
    const PlanResult ran = runPlan(plan);
    const bool savedNow =
        std::find(ran.ran.begin(), ran.ran.end(), "save") != ran.ran.end() && ran.failedStep != "save";
    nameLocked_ = nameLocked_ || savedNow;
    if (stored.installed) {
        installed_ = s.installed;
        record_ = s.record;
    } else if (ran.completed) {
        installed_ = false;
        record_ = stored.record;
    }
    Outcome outcome = finish(telling, ran, messages::instanceSaved(c.serviceName));
    outcome.startFailure = s.startFailure;
    show();
    refresh();
    if (outcome.done() && announce) frontEnd_.tell(outcome.summary);
    const bool reinstalled = std::any_of(ran.ran.begin(), ran.ran.end(),
                                         [](const std::string& step) { return step.rfind("install :", 0) == 0; });
    if (outcome.done() && reinstalled) tellScriptOptions(c);
    return outcome;
}

Outcome Session::install() {
    Telling telling(frontEnd_);
    const Configuration& c = configuration();
    if (std::string why = nameRuleViolation(c.serviceName, c.catalinaHome); !why.empty()) return telling.refuse(why);
    if (store_.read(c.serviceName).installed) return save(false);
    const StoredConfiguration stored = store_.read(c.serviceName);
    Survey s = controller_.survey(c, false, stored.record);
    if (std::string why = controller_.installRefusal(s); !why.empty()) return telling.refuse(why);
    if (std::string why = carryRefusal(s); !why.empty()) return telling.refuse(why);

    Plan plan;
    if (!prepareAccount(telling, s, true, plan))
        return Outcome::declined("No password was given for " + serviceAccountName(c) + "; nothing was changed.");
    Outcome saved = save(false);
    if (!saved.done()) return saved;
    promptsOn_ = true;
    if (!acceptReport(telling)) return Outcome::declined("The configuration was saved; its service was not installed.");
    s.config = configuration();
    s.record = record_;
    append(plan, controller_.installation(s));
    const PlanResult ran = runPlan(plan);
    installed_ = s.installed;
    record_ = s.record;
    Outcome outcome = finish(telling, ran, messages::serviceInstalled(c.serviceName));
    if (outcome.done()) frontEnd_.tell(outcome.summary);
    tellScriptOptions(s.config);
    refresh();
    return outcome;
}

// Why the wrapper cannot be given this configuration: a value it cannot carry
// whole, or an entry of the home's service.bat that must not reach the JVM.
std::string Session::carryRefusal(const Survey& s) {
    for (const auto& value : valuesTheWrapperCannotCarry(s.layout, s.config)) return uncarriedValueMessage(value);
    if (const auto options9 = wrapperJvmOptions9(s.config, platform_.files))
        for (const auto& option : unusableScriptOptions(*options9))
            return unusableScriptOptionMessage(option, options9->script);
    return {};
}

// Options a script of the home hands the JVM are no secret: the user is told which.
void Session::tellScriptOptions(const Configuration& c) {
    const auto options9 = wrapperJvmOptions9(c, platform_.files);
    if (!options9 || options9->script.empty() || !installed_) return;
    std::string text = "The JVM options for Java 9 and later that the service was given:";
    for (const auto& line : jvmOptions9Lines(*options9)) text += "\r\n" + line;
    frontEnd_.tell(text);
}

Outcome Session::repoint(const std::string& javaHome) {
    Telling telling(frontEnd_);
    const Configuration before = configuration();
    std::string target = javaHome;
    if (target.empty()) {
        const auto replacement =
            jdkReplacementFor(before, tomcatLayoutOf(before.catalinaHome, platform_.files), platform_);
        if (!replacement)
            return telling.refuse("No JDK to move to: the JDK at " + before.javaHome +
                                  " is still there, or no JDK of its version is registered. Give one with --jdk.");
        target = replacement->javaHome;
    }
    const std::string library = jvmLibraryPath(target, before.jvmType, platform_.files);
    if (!platform_.files.fileExists(library))
        return telling.refuse("The JDK at " + target + " has no " + jvmTypeName(before.jvmType) + " JVM library (" +
                              library +
                              "); nothing was changed.");
    Unheard nobody;
    editor_.setJavaHome(target, nobody);
    const Configuration& c = configuration();
    Survey s;
    Plan plan;
    if (installed_) {
        s = controller_.survey(c, true, record_);
        if (std::string why = controller_.actRefusal(s); !why.empty()) {
            editor_.start(before);
            show();
            return telling.refuse(why);
        }
    } else {
        s.config = c;
        s.record = record_;
    }
    s.installed = installed_;
    const bool running = installed_ && controller_.status(c.serviceName, true).status == ServiceStatus::Running;
    append(plan, storeSave(s));
    if (installed_ && s.facts.present()) append(plan, controller_.repointing(s));
    // Declining the restart is no failure: the service takes the new JDK at its next start.
    const bool restart = running && frontEnd_.ask({QuestionKind::RestartAfterChange,
                                                   "The service \"" + c.serviceName +
                                                       "\" runs on the JDK it started "
                                                       "with until it restarts. Restart it now?"}) == Answer::Yes;
    if (restart) {
        plan.push_back(controller_.stop(c.serviceName));
        plan.push_back(controller_.start(s));
    }
    const PlanResult ran = runPlan(plan);
    record_ = s.record;
    std::string summary = "Configuration \"" + c.serviceName + "\" now uses the JDK at " + target + ".";
    if (running && !restart) summary += " The running service keeps the JDK it started with until its next start.";
    Outcome outcome = finish(telling, ran, summary);
    outcome.startFailure = s.startFailure;
    show();
    refresh();
    return outcome;
}

Outcome Session::importSetenv() {
    Telling telling(frontEnd_);
    const SetenvScriptReading reading = setenvOptions(configuration(), platform_.files);
    const SetenvTakeOver takeOver = setenvTakeOver(reading.variables, configuration());
    // What could not be followed or taken is said either way: it stays in the script only.
    std::string leftOut;
    for (const auto& notTaken : takeOver.notTaken)
        leftOut += "\r\n  " + visibleText(notTaken.option) + " is not taken: " + notTaken.reason + ".";
    for (const auto& line : reading.notFollowed) leftOut += "\r\n  " + setenvNotFollowedMessage(line);
    if (reading.variables.empty())
        return telling.refuse(
            "Neither the home's nor the base's bin\\setenv.bat sets an option in CATALINA_OPTS or JAVA_OPTS; "
            "nothing was changed." +
            leftOut);
    // Run again, it finds what it took in the configuration already, and changes nothing.
    if (takeOver.empty())
        return Outcome{Outcome::Result::Done,
                       "The configuration \"" + configuration().serviceName +
                           "\" holds every option of setenv.bat already; nothing was changed." + leftOut,
                       {},
                       {},
                       {}};
    std::string changes;
    auto line = [&](const std::string& text) { changes += "\r\n  " + visibleText(text); };
    if (!takeOver.initialHeapSize.empty()) line("Initial Heap Size (MB): " + takeOver.initialHeapSize);
    if (!takeOver.maxHeapSize.empty()) line("Max Heap Size (MB): " + takeOver.maxHeapSize);
    if (!takeOver.threadStackSize.empty()) line("Stack Size (KB): " + takeOver.threadStackSize);
    for (const auto& option : takeOver.options) line("Additional JVM option: " + option);
    if (!telling.confirmed(QuestionKind::TakeOverSetenv, "These options of setenv.bat go into the configuration \"" +
                                                             configuration().serviceName + "\":" + changes +
                                                             (leftOut.empty() ? "" : "\r\nLeft as it is:" + leftOut) +
                                                             "\r\nContinue?"))
        return Outcome::declined("Nothing was changed.");
    Outcome edits;
    auto take = [&](Field field, const std::string& value) {
        if (value.empty() || !edits.done()) return;
        if (Outcome taken = edit(field, value); !taken.done()) edits = taken;
    };
    take(Field::InitialHeapSize, takeOver.initialHeapSize);
    take(Field::MaxHeapSize, takeOver.maxHeapSize);
    take(Field::ThreadStackSize, takeOver.threadStackSize);
    for (const auto& option : takeOver.options)
        if (edits.done() && !addOption(option)) edits = Outcome::refused("The option " + option + " was not taken.");
    if (!edits.done()) {
        (void)open(configuration().serviceName);  // nothing half-taken stays in the window
        return edits;
    }
    return save(false);
}

Outcome Session::offerRepoint(const JdkReplacement& replacement) {
    Telling telling(frontEnd_);
    if (telling.ask({QuestionKind::SwitchJdk, switchJdkQuestion(configuration(), replacement)}) != Answer::Yes)
        return Outcome::declined("The configuration keeps the JDK at " + configuration().javaHome + ".");
    return repoint(replacement.javaHome);
}

Outcome Session::uninstall() {
    Telling telling(frontEnd_);
    const Configuration& c = configuration();
    if (std::string why = nameRuleViolation(c.serviceName, c.catalinaHome); !why.empty()) return telling.refuse(why);
    Survey s = controller_.survey(c, installed_, record_);
    Plan plan;
    std::string summary = messages::serviceUninstalled(c.serviceName);
    if (s.ownership == Ownership::Foreign) {
        // The store's word is out of date: the configuration lets go of it and the service stays.
        telling.warn(messages::serviceNoLongerOurs(c.serviceName, s.facts.programLine));
        plan.push_back({"mark not installed", [this, &s] {
                            if (auto failure = store_.markNotInstalled(s.config.serviceName))
                                return StepResult::failed(
                                    messages::storeNotWritten(s.config.serviceName, failure->description));
                            s.installed = false;
                            s.record = {};
                            return StepResult{};
                        }});
        summary = messages::serviceLeftAlone(c.serviceName);
    } else if (std::string why = controller_.removalRefusal(s); !why.empty()) {
        return telling.refuse(why);
    } else {
        plan = controller_.removal(s);
    }
    const PlanResult ran = runPlan(plan);
    installed_ = s.installed;
    record_ = s.record;
    Outcome outcome = finish(telling, ran, summary);
    if (outcome.done() && outcome.warnings.empty()) frontEnd_.tell(outcome.summary);
    refresh();
    return outcome;
}

Outcome Session::remove() {
    Telling telling(frontEnd_);
    const Configuration c = configuration();
    const std::string& name = c.serviceName;
    const bool listed = listHoldsName(store_.names(), name);
    // A listed name that cannot be a key goes from the list alone; any other such name is refused.
    if (std::string why = unusableNameReason(name); !why.empty() && !listed) return telling.refuse(why);
    const StoredConfiguration stored = store_.read(name);

    // A name stored before the name rule can still go, but only from the store.
    const bool storeOnly = !nameRuleViolation(name, c.catalinaHome).empty();
    Survey s;
    Plan plan;
    // A service that is not ours stays as it is; the configuration goes from the store alone.
    bool leftAlone = false;
    if (stored.installed && !storeOnly) {
        s = controller_.survey(c, true, stored.record);
        leftAlone = s.ownership == Ownership::Foreign || s.ownership == Ownership::Unrecorded;
        if (std::string why = controller_.removalRefusal(s); !why.empty() && !leftAlone) return telling.refuse(why);
        if (!leftAlone) plan = controller_.removal(s);
    }
    if (stored.installed && !leftAlone &&
        !telling.confirmed(QuestionKind::DeleteInstalled, messages::kDeleteInstalledQuestion))
        return Outcome::declined("Nothing was changed.");
    if (leftAlone)
        telling.warn(s.ownership == Ownership::Foreign ? messages::serviceNoLongerOurs(name, s.facts.programLine)
                                                       : messages::unrecordedServiceLeft(name, s.facts.programLine));
    plan.push_back({"delete", [this, name] {
                        if (auto failure = store_.remove(name))
                            return StepResult::failed(messages::storeNotWritten(name, failure->description));
                        return StepResult{};
                    }});
    const PlanResult ran = runPlan(plan);
    Outcome outcome = finish(telling, ran, messages::instanceDeleted(name));
    if (!outcome.done()) {
        installed_ = stored.installed && s.installed;
        refresh();
        return outcome;
    }
    frontEnd_.tell(outcome.summary);
    newConfiguration();
    return outcome;
}

Outcome Session::start() { return changeRunning(true); }
Outcome Session::stop() { return changeRunning(false); }

Outcome Session::changeRunning(bool start) {
    Telling telling(frontEnd_);
    const Configuration& c = configuration();
    Survey s = controller_.survey(c, installed_, record_);
    if (std::string why = controller_.actRefusal(s); !why.empty()) return telling.refuse(why);
    Plan plan{start ? controller_.start(s) : controller_.stop(c.serviceName)};
    const PlanResult ran = runPlan(plan);
    record_ = s.record;
    refresh();
    const ServiceStatus wanted = start ? ServiceStatus::Running : ServiceStatus::NotRunning;
    Outcome outcome =
        finish(telling, ran, "Service \"" + c.serviceName + (start ? "\" is running." : "\" is not running."));
    outcome.startFailure = s.startFailure;
    if (s.startFailure) {
        outcome.result = Outcome::Result::Failed;
        outcome.summary = s.startFailure->sentence;
    } else if (outcome.done() && status_ != wanted) {
        outcome.result = Outcome::Result::Failed;
        outcome.summary = "Service \"" + c.serviceName + "\" did not " + (start ? "start" : "stop") +
                          "; its state: " + statusText(status_) + ".";
        for (const auto& note : ran.notes) outcome.summary += note;
    }
    return outcome;
}

CheckResult Session::checkConfiguration(ReportOpening opening, const std::string& path) {
    Telling telling(frontEnd_);
    CheckResult result;
    result.reportPath = path.empty() ? reportPath() : path;
    // The checks ask and warn only once a configuration has been opened or installed.
    Unheard nobody;
    Questions& questions = promptsOn_ ? static_cast<Questions&>(telling) : nobody;
    refresh();
    result.report = examineConfiguration(configuration(), platform_, questions, checkContext());
    if (const auto failed = lastFailedStart()) result.report.sections.push_back(failedStartSection(*failed));
    result.replacement =
        jdkReplacementFor(configuration(), tomcatLayoutOf(configuration().catalinaHome, platform_.files), platform_);
    if (auto failure = platform_.files.writeText(result.reportPath, reportDocument(result.report) + "\r\n")) {
        const std::string why = messages::reportNotWritten(result.reportPath, failure->description);
        telling.warn(why);
        result.outcome = Outcome::failed(why);
        return result;
    }
    const bool open =
        opening == ReportOpening::Always || (opening == ReportOpening::OnProblems && !result.report.findings.empty());
    if (open) (void)platform_.processes.openDocument(result.reportPath);
    result.outcome.summary =
        (result.report.findings.empty() ? "No problems found; the report is " : "Problems found; the report is ") +
        result.reportPath;
    result.outcome.warnings = telling.warnings;
    return result;
}

CheckContext Session::checkContext() {
    CheckContext context;
    for (const auto& name : store_.names())
        if (!sameName(name, configuration().serviceName))
            context.others.push_back({name, store_.readText(name, store::kTomcatConfig)});
    context.serviceRunning = installed_ && status_ == ServiceStatus::Running;
    context.createdFolders = &editor_.createdFolders();
    return context;
}

void Session::adopt(const Configuration& values) {
    std::vector<Field> every;
    for (const StoredField& field : storedFields()) every.push_back(field.field);
    editor_.setServiceName(values.serviceName);
    editor_.apply(values, every);
    show();
}

std::vector<Finding> Session::missingRightsFor(const Configuration& c) {
    return missingRights(c, editor_.createdFolders(), platform_);
}

// Every value is held to its field's rule here, whichever front end gives it.
Outcome Session::edit(Field field, const std::string& given) {
    const bool named = field == Field::ServiceName;
    const StoredField* stored = named ? nullptr : &storedField(field);
    std::string value = given;
    if (stored && stored->kind == FieldKind::Size && value == "0") value.clear();  // 0 is no size
    std::string problem = stored ? valueProblem(*stored, value) : textValueProblem(value);
    if (problem.empty())
        problem = editor_.refusal(field, value);
    else
        problem = messages::valueNotStored(stored ? stored->label : "Service Name", value, problem);
    if (!problem.empty()) {
        // Told whether or not the setters may ask: a typed value is never dropped unsaid.
        frontEnd_.warn(problem);
        show();
        return Outcome::refused(problem);
    }
    Telling telling(frontEnd_);
    Unheard nobody;
    const bool taken = editor_.set(field, value, promptsOn_ ? static_cast<Questions&>(telling) : nobody);
    show();
    return telling.edited(taken);
}

// The first entry of a list that its field's rule refuses, told as a warning; empty when none is.
std::string Session::entriesRefusal(Field field, const std::vector<std::string>& entries) {
    const StoredField& stored = storedField(field);
    for (const auto& entry : entries)
        if (std::string problem = valueProblem(stored, entry); !problem.empty() && !entry.empty()) {
            const std::string why = messages::valueNotStored(stored.label, entry, problem);
            frontEnd_.warn(why);
            return why;
        }
    return {};
}

bool Session::addOption(const std::string& option) {
    if (!entriesRefusal(Field::AdditionalOptions, {option}).empty()) return false;
    Telling telling(frontEnd_);
    Unheard nobody;
    const bool added = editor_.addOption(option, promptsOn_ ? static_cast<Questions&>(telling) : nobody);
    show();
    return added;
}

std::string Session::takeOption(int index) {
    std::string option = editor_.takeOption(index);
    show();
    return option;
}

// A list is taken whole or not at all, and checked once.
Outcome Session::replaceList(Field field, const std::vector<std::string>& entries) {
    if (std::string why = entriesRefusal(field, entries); !why.empty()) return Outcome::refused(why);
    Telling telling(frontEnd_);
    Unheard nobody;
    Questions& questions = promptsOn_ ? static_cast<Questions&>(telling) : nobody;
    bool taken = true;
    if (field == Field::AdditionalOptions) {
        taken = editor_.setOptions(entries, questions);
    } else {
        editor_.clearDependencies();
        for (const auto& entry : entries) editor_.set(field, entry, questions);
    }
    show();
    return telling.edited(taken);
}

}  // namespace velmora
