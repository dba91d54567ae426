#pragma once
#include <memory>
#include <string>

#include "config/ConfigurationStore.h"
#include "config/TomcatLayout.h"
#include "platform/Platform.h"
#include "service/LastFailedStart.h"
#include "service/Ownership.h"
#include "service/Plan.h"
#include "service/ServiceHoldings.h"
#include "service/ServiceStatus.h"
#include "service/StartDiagnosis.h"
#include "service/StartWatch.h"
#include "service/StopWatch.h"
#include "service/WrapperKind.h"

namespace velmora {

// What one command found before it changes anything: the configuration, its
// wrapper kind, what the store recorded and what the system says of the
// service. The steps of its plan work on it.
struct Survey {
    Configuration config;
    TomcatLayout layout;
    std::shared_ptr<const WrapperKind> kind;
    // What removes the installed service: the wrapper its recorded program
    // line runs, and the configuration with that wrapper's home.
    std::shared_ptr<const WrapperKind> installedKind;
    Configuration installedConfig;
    bool installed = false;
    InstallRecord record;
    ServiceFacts facts;
    Ownership ownership = Ownership::NoService;
    bool copyMadeNow = false;                    // the install made bin\<name>.exe itself
    bool registeredNow = false;                  // this command's wrapper registered the service
    bool removalPending = false;                 // its wrapper removed it, but a program holding it open keeps it
    std::string password;                        // for a named account; handed to the service manager, never kept
    std::optional<StartDiagnosis> startFailure;  // why the start of this command failed
    std::optional<StartTimes> started;           // how long its good start took
    std::optional<StopEvidence> stopped;         // how its stop of the running service went
    // The stop timeout the running wrapper holds, read before a change in place writes the new one.
    std::optional<std::uint32_t> heldStopTimeout;
};

// Decides once per command, then hands out the steps that carry it out:
// removal, installation, start and stop of a configuration's service.
class ServiceController {
public:
    ServiceController(Platform& platform, ConfigurationStore& store, Progress& progress)
        : platform_(platform), store_(store), progress_(progress) {}

    // held: the values the installed service runs with, when c is about to change them; its stop is timed and
    // read by those.
    Survey survey(const Configuration& c, bool installed, const InstallRecord& record,
                  const Configuration* held = nullptr);

    // Why the service of this configuration may not be installed now (a
    // service of its name that is not ours, a wrapper copy Velmora did not
    // make); empty when it may.
    std::string installRefusal(const Survey& s);
    // Why the wrapper copy in bin may not be run or replaced: a file there
    // that Velmora did not make; empty when it may.
    std::string copyRefusal(const Survey& s);
    // Why the installed service may not be stopped, started or changed;
    // empty when it may (it is ours, or it is gone).
    std::string actRefusal(const Survey& s);
    // The same for removing or replacing it, which runs the wrapper that
    // installed it: a wrapper copy is run only while it is byte for byte the
    // one recorded at install.
    std::string removalRefusal(const Survey& s);
    // The same for starting it, where the service manager runs that wrapper.
    std::string startRefusal(const Survey& s);

    // Stop, unregister, delete the copy Velmora made, mark not installed.
    Plan removal(Survey& s);
    // Copy, register, quote the program line, record and mark, write the
    // wrapper's values, apply how the service runs, mark installed.
    Plan installation(Survey& s);
    // Whether the configuration needs another wrapper than the service runs
    // (another Catalina home or wrapper kind): only then is it reinstalled.
    bool wrapperChanges(const Survey& s);
    // The installed service brought from one configuration to the survey's
    // where it stands: the wrapper's values that differ, then `storing` (the
    // steps that store the change), then how the service runs. A wrapper that
    // refuses the change stops it before anything is stored. Neither stopped
    // nor started here.
    Plan changeInPlace(Survey& s, const Configuration& from, Plan storing = {});
    // Whether a step of that name changed the values the service starts with.
    static bool changedStartUpValues(const std::string& stepName);
    // Rights the user agreed to give the service's account.
    Step grant(const std::string& path, const std::string& account, Access access);
    Step grantLogOn(const std::string& account);
    // net start, then the wait until the service runs and Tomcat answers on
    // its ports (and URL); a start that fails is diagnosed from what it left
    // behind, and the diagnosis kept with the service until a start succeeds.
    Step start(Survey& s);
    // net stop, then the wait until it is stopped, timed; how it went is
    // kept with the service. A forced stop is a warning.
    Step stop(Survey& s);
    // What is kept of the last failed start; a kept value that does not parse is dropped.
    KeptFailedStart lastFailedStart(const std::string& name);

    // The service manager's word on the state, which what Velmora does goes by.
    StatusCheck state(const std::string& name);
    // The status shown; for a running service, also whether Tomcat answers.
    StatusCheck status(const Configuration& c, bool installed);
    StatusQuestion statusQuestion(const Configuration& c);
    // Touches only the service manager, the network and the clock: safe beside a command on another thread.
    StatusCheck status(const StatusQuestion& question);
    std::optional<StopEvidence> lastStop(const std::string& name);
    // The stop timeout the installed wrapper holds Tomcat to, 0 for none: a wrapper set up elsewhere may hold
    // none and then waits as long as Tomcat takes, and one changed past Velmora holds another. Where its
    // values cannot be read, the configured one.
    std::uint32_t wrapperStopTimeout(const Survey& s, std::uint32_t configured);

    // What the service really holds: the service manager's record and what
    // the wrapper it runs keeps.
    std::variant<ServiceHoldings, Failure> holdings(const Survey& s);
    // The holdings in the fields of a configuration, over `over`.
    HeldFields heldFields(const Survey& s, const ServiceHoldings& holdings, const Configuration& over);
    // A service made elsewhere taken over as it stands: Velmora's mark in its
    // key, then the configuration stored with the record of what it runs.
    // Nothing in the service changes.
    Plan adoption(Survey& s);

private:
    // What net did: its step, and whether it ran, so that the request may have
    // reached the service even when net had to be ended at its bound.
    struct NetRun {
        StepResult step;
        bool asked = false;
        bool failed = false;  // it ended with an error code
    };
    NetRun runNet(const std::string& verb, const std::string& name, std::uint32_t boundSeconds,
                  std::string* output = nullptr);
    std::optional<StepResult> refusalForNet(const std::string& name, const StatusCheck& check, const char* verb);
    StepResult startAndWatch(Survey& s);
    StepResult stopAndWatch(Survey& s);
    StepResult unregister(Survey& s);
    StepResult deleteCopy(Survey& s);
    StepResult copyWrapper(Survey& s);
    StepResult registerService(Survey& s);
    StepResult writeParameters(const Survey& s);
    StepResult writeValues(const Survey& s, const std::vector<WrapperValue>& values);
    Step update(Survey& s, const ProcessRun& run);
    // What the service manager held before the wrapper's update, where the update changed it.
    StepResult keepSettings(const std::string& name, const std::variant<ServiceConfiguration, Failure>& before);
    StepResult quoteProgramLine(Survey& s);
    StepResult applySettings(Survey& s);
    Step markInstalled(Survey& s);
    // The service as it is now, after the questions: one registered again or re-pointed meanwhile is not
    // stopped, removed or changed. Nothing when it is still ours, or gone and a change need not find it (the
    // wrapper's update registers a service it does not find, which would be nobody's).
    enum class IfGone { Fine, Refused };
    std::optional<StepResult> noLongerOurs(const Survey& s, IfGone ifGone = IfGone::Fine);
    void removeLeftoverServiceKey(const std::string& name);
    std::string installedCopyRefusal(const Survey& s, const std::string& refusedAct);
    std::string digestOf(const std::string& path);
    bool copyIsOurs(const Survey& s, const std::string& target);

    Platform& platform_;
    ConfigurationStore& store_;
    Progress& progress_;
};

}  // namespace velmora
