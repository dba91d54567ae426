#pragma once
#include <string>
#include <vector>

#include "app/DebugLog.h"
#include "app/FrontEnd.h"
#include "app/Outcome.h"
#include "checks/ConfigurationEditor.h"
#include "checks/JdkDrift.h"
#include "checks/Report.h"
#include "config/ConfigurationStore.h"
#include "config/TomcatRelease.h"
#include "platform/Platform.h"
#include "service/ServiceController.h"

namespace velmora {

// When the report of a check opens: always, only with findings, or never.
enum class ReportOpening { Always, OnProblems, Never };

struct CheckResult {
    Outcome outcome;
    Report report;
    std::string reportPath;
    std::optional<JdkReplacement> replacement;  // the configured JDK is gone; this one could take its place
};

// The operations a user asks for, on the one configuration being edited,
// whichever front end asks: each decides, asks its questions, carries out
// its plan and returns what happened. The service state lives here.
class Session {
public:
    Session(Platform& platform, FrontEnd& frontEnd, DebugLog& debugLog);

    const Configuration& configuration() const { return editor_.configuration(); }
    bool installed() const { return installed_; }
    ServiceStatus status() const { return status_; }
    bool nameLocked() const { return nameLocked_; }
    std::vector<std::string> storedNames() { return store_.names(); }
    // What every command that changes the store or a service holds (see CommandTurn).
    CommandLock& commandLock() { return platform_.commandLock; }
    // The list's spelling of a stored name; empty when none is stored.
    std::string storedSpelling(const std::string& name) { return store_.storedSpelling(name); }
    std::string reportPath() const;
    // The Tomcat version the configuration's home declares.
    TomcatVersion tomcatVersion();
    // Why the service's last start failed, while it is installed and not running.
    std::optional<StartDiagnosis> lastFailedStart();
    // The folders whose access lists keep this configuration's account out.
    std::vector<Finding> missingRightsFor(const Configuration& c);

    // File > New: a fresh configuration, asking nothing.
    void newConfiguration();
    Outcome open(const std::string& name);
    Outcome save(bool announce);
    Outcome remove();
    // The install button on a configuration that is not installed: saves it
    // first, checks it and installs its service.
    Outcome install();
    Outcome uninstall();
    Outcome start();
    Outcome stop();
    // Moves the configuration, and its installed service without a reinstall,
    // to another JDK: the one given, or the newest registered of the same
    // version when its own is gone. A running service restarts only when the
    // user agrees.
    Outcome repoint(const std::string& javaHome);
    // The options a bin\setenv.bat sets, which the service never reads, taken
    // into the configuration after the user saw what changes; then saved.
    Outcome importSetenv();
    // After a check that found the JDK gone: asks whether to switch, and does.
    Outcome offerRepoint(const JdkReplacement& replacement);
    void refresh();
    // The status again between commands: a failure that goes on is logged once.
    void follow();
    // The report goes beside the program unless another path is given.
    CheckResult checkConfiguration(ReportOpening opening, const std::string& reportPath = {});

    // Every stored value at once, as a desired state gives them, asking nobody.
    void adopt(const Configuration& values);

    // Editing, as the boxes, pickers and buttons hand values over. Refused
    // when the value was not taken (a size out of range, a value the wrapper
    // could not pass), declined when a move of the paths was answered No.
    Outcome edit(Field field, const std::string& value);
    bool addOption(const std::string& option);
    std::string takeOption(int index);
    // A whole list at once, the options or the dependencies (the command line gives them so).
    Outcome replaceList(Field field, const std::vector<std::string>& entries);
    // From now on the setters' checks ask and warn, also on a new configuration
    // (the command line checks what it is given).
    void askFromNow() { promptsOn_ = true; }

private:
    class Telling;
    Configuration freshConfiguration();
    void show();
    void applyStatus(const StatusCheck& check);
    std::string failedStartCause();
    // The report before an install: written, opened when it found
    // something, and then the question whether to go on.
    bool acceptReport(Telling& telling);
    // The other stored configurations and whether the service runs, for the checks.
    CheckContext checkContext();
    Outcome finish(Telling& telling, const PlanResult& ran, std::string summary);
    // What the service's account needs before it can run the service: the
    // rights the user agrees to give as steps, and its password. False when
    // a password was needed and none was given.
    bool prepareAccount(Telling& telling, Survey& s, bool passwordNeeded, Plan& plan);
    Outcome changeRunning(bool start);
    Plan storeSave(Survey& s);
    std::string entriesRefusal(Field field, const std::vector<std::string>& entries);
    std::string carryRefusal(const Survey& s);
    void tellScriptOptions(const Configuration& c);

    Platform& platform_;
    FrontEnd& frontEnd_;
    DebugLog& debugLog_;
    ConfigurationStore store_;
    ConfigurationEditor editor_;
    ServiceController controller_;
    bool installed_ = false;
    InstallRecord record_;
    ServiceStatus status_ = ServiceStatus::NotInstalled;
    bool nameLocked_ = false;
    // After start-up and File > New the setters' checks tell nobody, until a
    // configuration is opened or installed.
    bool promptsOn_ = false;
    bool unknownLogged_ = false;
};

}  // namespace velmora
