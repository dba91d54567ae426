#pragma once
#include <string>
#include <vector>

#include "app/DebugLog.h"
#include "app/Editing.h"
#include "app/FrontEnd.h"
#include "app/Journal.h"
#include "app/LogKeeper.h"
#include "app/Outcome.h"
#include "checks/JdkDrift.h"
#include "checks/Report.h"
#include "checks/Rights.h"
#include "config/ConfigurationStore.h"
#include "platform/Platform.h"
#include "service/Adoption.h"
#include "service/ServiceChange.h"
#include "service/ServiceController.h"

namespace velmora {

class Conversation;

// When the report of a check opens: always, only with findings, or never.
enum class ReportOpening { Always, OnProblems, Never };

struct CheckResult {
    Outcome outcome;
    Report report;
    std::string reportPath;
    std::optional<JdkReplacement> replacement;  // the configured JDK is gone; this one could take its place
};

// A service made elsewhere, as it would be taken over: whether it can be,
// the configuration it would be stored as, and what it holds that no
// configuration keeps.
struct AdoptionPreview {
    AdoptionCheck check;
    Configuration config;
    std::vector<std::string> notKept;
    std::string failure;  // what it holds could not be read
};

// What the installed service of a stored configuration holds, in its fields,
// and where that differs from the store.
struct ServiceView {
    std::string refusal;  // why it cannot be shown; empty when it can
    Configuration stored;
    HeldFields held;
    std::vector<const StoredField*> drifted;
    // Settings the service manager once refused are not compared.
    bool settingsCompared = true;
};

// The service as it stands: the stored values but where it holds others.
Configuration serviceHolding(const ServiceView& view);

// What a save of the configuration being edited would do, and what would
// refuse it, decided before anything is asked or changed: the save acts on
// this decision, and apply's check reports it.
struct SaveDecision {
    StoredConfiguration stored;  // what the store says now
    Configuration holding;       // what the installed service holds, else the stored values
    Survey survey;
    ServiceChange change;           // nothing for a configuration that is not installed
    bool running = false;           // the installed service is up, and the change reaches it
    std::string refusal;            // why the save would be refused; empty when it may go ahead
    std::vector<Finding> findings;  // what a move to another home or JDK would meet, behind such a refusal

    bool changesService() const { return change.way != ServiceChange::Way::Nothing; }
    bool restartsRunning() const { return running && change.way == ServiceChange::Way::Reinstall; }
    // A named account's password is asked for a reinstall or another account; a change that leaves the
    // service's log-on as it is asks nothing of it.
    bool asksPassword() const {
        return change.way == ServiceChange::Way::Reinstall || (changesService() && change.accountChanged);
    }
};

// What a delete of the configuration being edited would do: it goes from the
// store, and its installed service with it unless that service is no longer
// Velmora's or the name was stored before the name rule.
struct RemovalDecision {
    StoredConfiguration stored;
    std::string ruleBroken;  // why the name goes from the store only
    Survey survey;
    bool leftAlone = false;  // its service is not Velmora's and stays
    std::string refusal;

    bool removesService() const { return stored.installed && !leftAlone && ruleBroken.empty(); }
    // What the delete tells of a service it leaves as it is.
    std::vector<std::string> warnings(const std::string& name) const;
};

// A service whose reinstall did not end well, put back as it was: the
// survey of it, and what putting it back did.
struct PutBack {
    Survey back;
    PlanResult undone;
};

// Why the service is not back as it was, in sentences; empty when it is.
std::string putBackFailure(const PutBack& put);
// What putting it back did, added to the outcome of the command that failed: its steps as "roll back: ...",
// the one that failed, and its warnings, told.
void addPutBack(Outcome& outcome, Conversation& conversation, const PutBack& put);

// The operations on the service of the configuration being edited, whichever
// front end asks: each decides, asks its questions, carries out its plan and
// returns what happened; what it did is told by the front end from the
// outcome. The service's state (installed, running) lives here.
class Session {
public:
    Session(Platform& platform, ConfigurationStore& store, Editing& editing, FrontEnd& frontEnd, DebugLog& debugLog,
            Journal& journal, LogKeeper& logs);

    const Configuration& configuration() const { return editing_.configuration(); }
    bool installed() const { return installed_; }
    ServiceStatus status() const { return status_; }
    // The last look at the service: its process, how long it has run, what did not answer.
    const StatusCheck& statusCheck() const { return statusCheck_; }
    std::optional<StopEvidence> lastStop() { return controller_.lastStop(configuration().serviceName); }
    std::vector<std::string> storedNames() { return store_.names(); }
    // What every command that changes the store or a service holds (see CommandTurn).
    CommandLock& commandLock() { return platform_.commandLock; }
    // The list's spelling of a stored name; empty when none is stored.
    std::string storedSpelling(const std::string& name) { return store_.storedSpelling(name); }
    std::string reportPath() const;
    // Why the service's last start failed, while it is installed and not running.
    std::optional<StartDiagnosis> lastFailedStart();
    // The folders whose access lists keep this configuration's account out,
    // and those whose lists could not be read for it.
    std::vector<Finding> missingRightsFor(const Configuration& c);
    std::vector<std::string> rightsUntoldFor(const Configuration& c) { return rightsUntold(c, platform_.accounts); }

    // File > New and File > Open: the configuration to edit, and its service's state.
    void newConfiguration();
    Outcome open(const std::string& name);
    // What a save would do and what would refuse it (see SaveDecision), for a
    // service that is stopped before the save when stoppedFirst.
    SaveDecision decideSave(bool stoppedFirst = false);
    Outcome save() { return save(decideSave()); }
    // A save on what decideSave said just before, with nothing changed since.
    Outcome save(SaveDecision decided);
    RemovalDecision decideRemoval();
    Outcome remove() { return remove(decideRemoval()); }
    Outcome remove(RemovalDecision decided);
    // The questions that end a save, an install or a delete when answered No,
    // as each would ask them now before it changes anything; the report's only
    // when the check before it finds something. A check of what a command
    // would do asks these in its place.
    std::vector<Question> endingQuestions(const SaveDecision& d);
    std::vector<Question> endingQuestions(const RemovalDecision& d);
    std::vector<Question> endingQuestionsOfInstall();
    // Why install would be refused before it asks anything; empty when it may go ahead.
    std::string installRefusal();
    // Why the service's account would not log on, asked as install and save ask it: no password given, or one
    // Windows does not take. Empty when it would, or logs on without one.
    std::string logOnRefusal() { return logOnOf(configuration()).refusal; }
    // Why start or stop would be refused before they act (a service no longer Velmora's); empty when not.
    std::string refusalToStart();
    std::string refusalToStop();
    // The install button on a configuration that is not installed: saves it
    // first, checks it and installs its service.
    Outcome install();
    Outcome uninstall();
    // Start returns once the service runs and Tomcat answers on its ports
    // (and URL); stop once it is stopped, telling how.
    Outcome start();
    Outcome stop();
    Outcome restart();
    // Moves the configuration, and its installed service without a reinstall,
    // to another JDK: the one given, or the newest registered of the same
    // version when its own is gone. A running service restarts only when the
    // user agrees.
    Outcome repoint(const std::string& javaHome, bool checkOnly = false);
    // Moves the installed service to another Catalina home (and JDK): checked
    // first, then stopped, reinstalled on the new home and started until Tomcat
    // answers; put back as it was, and started again, when it does not.
    // checkOnly runs the check alone.
    Outcome upgrade(const std::string& home, const std::string& javaHome, bool checkOnly);
    // The options a bin\setenv.bat sets, which the service never reads, taken
    // into the configuration after the user saw what changes; then saved.
    Outcome importSetenv();
    // After a check that found the JDK gone: asks whether to switch, and does.
    Outcome offerRepoint(const JdkReplacement& replacement);
    void refresh();
    // The status again between commands, in two halves, so that a window can
    // wait for the answer off its own thread: the question, nothing when no
    // service is installed; the answer, which reads nothing of the session and
    // so may be asked on any thread; and the answer taken back, unless the
    // configuration is another one by then. Except when asked for, an answer
    // that changes nothing is not shown again, and a failure that goes on is
    // logged once.
    std::optional<StatusQuestion> followQuestion();
    StatusCheck answer(const StatusQuestion& question) { return controller_.status(question); }
    void takeFollowed(const StatusQuestion& question, const StatusCheck& check, bool showAnyway);
    // Services made elsewhere that run a Tomcat wrapper of a Catalina home.
    AdoptableServices adoptableServices();
    AdoptionPreview previewAdoption(const std::string& name);
    // Stores the service's configuration as it holds it and makes the service
    // Velmora's, changing nothing in it, once the user agreed; a stored
    // configuration of its name is replaced only when agreed before or asked now.
    Outcome adopt(const std::string& name, bool replaceAgreed);
    // What the stored configuration's installed service holds.
    ServiceView serviceView();
    // The installed service given the stored values again where it holds others.
    Outcome bringServiceBack();
    // The report goes beside the program unless another path is given.
    CheckResult checkConfiguration(ReportOpening opening, const std::string& reportPath = {});

private:
    void applyStatus(const StatusCheck& check);
    std::string failedStartCause();
    // The report before an install: written, opened when it found
    // something, and then the question whether to go on.
    bool acceptReport(Conversation& conversation);
    Question goOnDespiteReport();
    std::optional<Question> reportQuestionAhead();
    // The other stored configurations and whether the service runs, for the checks.
    CheckContext checkContext();
    Outcome finish(Conversation& conversation, const PlanResult& ran, std::string summary);
    // What the service's account needs before it can run the service: the
    // rights the user agrees to give as steps, and its password, checked by a
    // log-on. The outcome that ends the command when none was given or
    // Windows did not take it.
    std::optional<Outcome> prepareAccount(Conversation& conversation, Survey& s, bool passwordNeeded, Plan& plan);
    struct AccountLogOn {
        std::optional<std::string> password;  // nothing when none was given, or none is needed
        std::string refusal;
        std::optional<bool> rightHeld;  // whether it may log on as a service, when the log-on told
    };
    AccountLogOn logOnOf(const Configuration& c);
    enum class RunChange { Start, Stop, Restart };
    Outcome changeRunning(RunChange change);
    // The service as a start or stop finds it: by the values it runs with, not by values typed and not saved.
    Survey runningSurvey(const StoredConfiguration& stored);
    std::string runChangeRefusal(RunChange change, const Survey& s);
    // A stop by Velmora, then the roll of the outputs it leaves above their bound.
    void stopAndRoll(Plan& plan, Survey& s);
    Plan storeSave(Survey& s);
    // The service of before (stored with record) as it was, after the reinstall that forward ran did not end
    // well: installed again when it is gone, started again when it ran.
    PutBack putBack(const Configuration& before, const InstallRecord& record, const Survey& forward,
                    const PlanResult& reinstall, bool wasRunning);
    // What a move to the target's home or JDK would meet, as the check's findings.
    std::vector<Finding> preflightFindings(const Configuration& target, const Configuration& current);
    Outcome preflightOutcome(Conversation& conversation, std::vector<Finding> findings, const std::string& what,
                             bool checkOnly);
    std::string carryRefusal(const Survey& s);
    std::string installRefusal(Survey& s);
    // What the store says of the stored configuration now, its install record
    // taken: another command may have installed or removed its service since
    // it was opened.
    StoredConfiguration catchUpWithStore();
    // Why an operation that stores only some fields cannot run: edits not saved yet.
    std::string unsavedEditsRefusal(const StoredConfiguration& stored);
    std::vector<std::string> scriptOptionsNotice(const Configuration& c);
    // A finding for each stored value the installed service holds otherwise.
    std::vector<Finding> driftFindings();
    // What the installed service holds where that can be read, else the stored values: a change is
    // made against it, so that what was changed past Velmora is given back with it.
    Configuration heldOrStored(const Configuration& stored);
    Configuration valuesRunning();

    Platform& platform_;
    ConfigurationStore& store_;
    Editing& editing_;
    FrontEnd& frontEnd_;
    DebugLog& debugLog_;
    Journal& journal_;
    LogKeeper& logs_;
    ServiceController controller_;
    bool installed_ = false;
    InstallRecord record_;
    ServiceStatus status_ = ServiceStatus::NotInstalled;
    StatusCheck statusCheck_;
    bool unknownLogged_ = false;
};

}  // namespace velmora
