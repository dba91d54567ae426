#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Failure.h"
#include "platform/Network.h"
#include "platform/Services.h"
#include "service/Readiness.h"

namespace velmora {

enum class ServiceStatus {
    NotInstalled,
    Running,     // and every probe answered when it was asked
    NotServing,  // running, but a probe did not answer
    NotRunning,  // stopped
    StartPending,
    StopPending,
    ContinuePending,
    PausePending,
    Paused,
    Gone,  // the store says installed; the service manager knows no such service
    Unknown,
};

// What a state of the service manager is as a status.
ServiceStatus statusOf(RunState state);
// The status line's words for each state ("Installed - Running").
const char* statusText(ServiceStatus status);
// The command line's word ("running", "not running", "start pending").
const char* statusWord(ServiceStatus status);
// The state's name for scripts ("running", "stopped", "start-pending").
const char* stateName(ServiceStatus status);
// Whether the service's process runs (serving, not serving, paused or on the way between).
bool serviceRuns(ServiceStatus status);
// Whether the service runs or is starting: a change that stops it asks first, and starts it again.
bool serviceIsUp(ServiceStatus status);
// Whether the service has a process of its own: running in any form, or still starting or stopping.
bool serviceHasProcess(ServiceStatus status);
// How long a process has run: "3 d 4 h", "2 h 5 min", "4 min 10 s".
std::string runningForText(std::uint64_t seconds);

struct StatusCheck {
    ServiceStatus status = ServiceStatus::NotInstalled;
    std::optional<Failure> failure = {};  // why it is Unknown
    std::uint32_t processId = 0;          // while it runs
    FileTime processStartedAt = 0;        // 0 when not known
    std::uint64_t runningSeconds = 0;     // since the process started, when that is known
    std::string unanswered = {};          // the probe that did not answer, when not serving
};

// What a status check of an installed service asks: read from its
// configuration first, so that the asking, which may wait on a URL, can be
// done on another thread.
struct StatusQuestion {
    std::string serviceName;
    std::vector<ReadinessProbe> probes;
};

// What the service manager says of the service's state: what a start, a stop
// or a removal goes by.
StatusCheck askServiceState(Services& services, const std::string& name);

// The status shown: not installed without asking anyone; otherwise what the
// service manager says, and for a running service whether each probe answers
// at once, and answers from the service's own process. A quote cannot stand
// in the name by which the status is asked for.
StatusCheck checkServiceStatus(Services& services, const std::string& name, bool installed);
StatusCheck checkServiceStatus(Services& services, Network& network, Processes& processes, const std::string& name,
                               bool installed, const std::vector<ReadinessProbe>& probes);

}  // namespace velmora
