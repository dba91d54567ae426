#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/FieldAssignments.h"
#include "app/Program.h"
#include "config/ConfigurationDocument.h"
#include "config/ConfigurationStore.h"

namespace velmora {

// What bringing one configuration to its desired state did, or would do.
struct ApplyResult {
    std::string name;
    std::string state;
    bool changed = false;
    bool failed = false;
    bool newConfiguration = false;  // not stored before: every value is stored, none is listed as changed
    std::vector<std::string> changedFields;
    std::vector<std::string> actions;     // in order; when failed, the last is the one that failed
    std::vector<std::string> stepsDone;   // what was changed, also before a failure
    std::vector<std::string> logsPruned;  // the log files deleted (with --check: that would be)
    std::string error;
};

// Brings configurations to the state an apply document asks for, changing
// only what differs: values that match write nothing, a service that is in
// its state is not touched, settings the service manager changes in place
// are changed in place, and only a value that needs it reinstalls. Each step
// looks at how things are now, so a second run goes on where a failed one stopped.
class DesiredState {
public:
    explicit DesiredState(Program& program)
        : platform_(program.platform),
          frontEnd_(program.frontEnd),
          session_(program.session),
          editing_(program.editing),
          store_(program.store),
          logs_(program.logs) {}

    // Why the document cannot be applied at all: an entry that a save would
    // refuse, named, as import refuses it; empty when none would be. Checked
    // before anything changes, so that no entry is changed for one refused later.
    std::string refusal(const std::vector<DecodedEntry>& entries, const std::vector<Assignment>& overrides);
    ApplyResult bringTo(const DecodedEntry& entry, const std::vector<Assignment>& overrides, bool checkOnly);

private:
    ApplyResult remove(ApplyResult result, bool checkOnly);
    // Runs one action unless only checking; false when it failed, and the result says so.
    bool act(ApplyResult& result, bool checkOnly, const std::string& action, const std::function<Outcome()>& run);
    // A check ends where the run would: at its refusal, or at a question that ends it answered No, which the
    // check asks in the run's place. True when it ends there, and the result says so.
    // storesFirst: the command stores the configuration before it asks, which is a change all the same.
    bool endsAhead(ApplyResult& result, const std::string& action, std::string refusal,
                   const std::vector<Question>& asked, bool storesFirst = false);
    // The logs kept within the configuration's bounds, as part of its state.
    void pruneLogs(ApplyResult& result, bool checkOnly);

    Platform& platform_;
    FrontEnd& frontEnd_;
    Session& session_;
    Editing& editing_;
    ConfigurationStore& store_;
    LogKeeper& logs_;
};

}  // namespace velmora
