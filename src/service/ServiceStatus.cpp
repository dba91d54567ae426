#include "service/ServiceStatus.h"

#include <cstdint>

namespace velmora {

namespace {
constexpr long kInvalidObjectPath = static_cast<std::int32_t>(0x8004103Au);
constexpr long kServiceDoesNotExist = 1060;
// A status asks without waiting: a port on this machine answers or refuses at
// once; a URL has the time its answer may take at a start.
constexpr std::uint32_t kQuickProbeMilliseconds = 200;

struct Words {
    const char* text;
    const char* word;
    const char* state;
};

Words wordsOf(ServiceStatus status) {
    switch (status) {
        case ServiceStatus::NotInstalled: return {"Not installed", "not installed", "not-installed"};
        case ServiceStatus::Running: return {"Installed - Running", "running", "running"};
        case ServiceStatus::NotServing:
            return {"Installed - Running, Not Serving", "running, not serving", "not-serving"};
        case ServiceStatus::NotRunning: return {"Installed - Not Running", "not running", "stopped"};
        case ServiceStatus::StartPending: return {"Installed - Starting", "start pending", "start-pending"};
        case ServiceStatus::StopPending: return {"Installed - Stopping", "stop pending", "stop-pending"};
        case ServiceStatus::ContinuePending: return {"Installed - Continuing", "continue pending", "continue-pending"};
        case ServiceStatus::PausePending: return {"Installed - Pausing", "pause pending", "pause-pending"};
        case ServiceStatus::Paused: return {"Installed - Paused", "paused", "paused"};
        case ServiceStatus::Gone: return {"Installed - Service Gone", "gone", "gone"};
        case ServiceStatus::Unknown: break;
    }
    return {"Unable to determine", "unknown", "unknown"};
}

}  // namespace

ServiceStatus statusOf(RunState state) {
    switch (state) {
        case RunState::Stopped: return ServiceStatus::NotRunning;
        case RunState::StartPending: return ServiceStatus::StartPending;
        case RunState::StopPending: return ServiceStatus::StopPending;
        case RunState::Running: return ServiceStatus::Running;
        case RunState::ContinuePending: return ServiceStatus::ContinuePending;
        case RunState::PausePending: return ServiceStatus::PausePending;
        case RunState::Paused: return ServiceStatus::Paused;
        case RunState::Other: break;
    }
    return ServiceStatus::Unknown;
}

const char* statusText(ServiceStatus status) { return wordsOf(status).text; }
const char* statusWord(ServiceStatus status) { return wordsOf(status).word; }
const char* stateName(ServiceStatus status) { return wordsOf(status).state; }

bool serviceIsUp(ServiceStatus status) { return serviceRuns(status) || status == ServiceStatus::StartPending; }

bool serviceRuns(ServiceStatus status) {
    switch (status) {
        case ServiceStatus::Running:
        case ServiceStatus::NotServing:
        case ServiceStatus::ContinuePending:
        case ServiceStatus::PausePending:
        case ServiceStatus::Paused: return true;
        default: return false;
    }
}

bool serviceHasProcess(ServiceStatus status) {
    return serviceRuns(status) || status == ServiceStatus::StartPending || status == ServiceStatus::StopPending;
}

std::string runningForText(std::uint64_t seconds) {
    const std::uint64_t days = seconds / 86400, hours = seconds / 3600 % 24, minutes = seconds / 60 % 60;
    if (days) return std::to_string(days) + " d " + std::to_string(hours) + " h";
    if (hours) return std::to_string(hours) + " h " + std::to_string(minutes) + " min";
    return std::to_string(minutes) + " min " + std::to_string(seconds % 60) + " s";
}

StatusCheck askServiceState(Services& services, const std::string& name) {
    const auto answer = services.state(name);
    if (const Failure* failure = std::get_if<Failure>(&answer)) {
        if (failure->number == kServiceDoesNotExist) return {ServiceStatus::Gone};
        return {ServiceStatus::Unknown, *failure};
    }
    const ServiceState& state = std::get<ServiceState>(answer);
    StatusCheck check{statusOf(state.state)};
    if (serviceRuns(check.status)) {
        check.processId = state.processId;
        check.processStartedAt = state.processStartedAt;
    }
    return check;
}

StatusCheck checkServiceStatus(Services& services, const std::string& name, bool installed) {
    if (!installed) return {};
    if (name.find('\'') != std::string::npos)
        return {ServiceStatus::Unknown, Failure{"SWbemServicesEx", "Invalid object path", kInvalidObjectPath}};
    return askServiceState(services, name);
}

StatusCheck checkServiceStatus(Services& services, Network& network, Processes& processes, const std::string& name,
                               bool installed, const std::vector<ReadinessProbe>& probes) {
    StatusCheck check = checkServiceStatus(services, name, installed);
    if (check.status != ServiceStatus::Running) return check;
    for (const ReadinessProbe& probe : probes) {
        const auto answer = answers(network, probe, {kQuickProbeMilliseconds, kUrlAnswerMilliseconds});
        // A network that cannot be asked says nothing against the service.
        if (!std::holds_alternative<bool>(answer)) continue;
        if (!std::get<bool>(answer)) {
            check.status = ServiceStatus::NotServing;
            check.unanswered = probe.name;
            break;
        }
        if (const auto other = otherProgramAnswering(network, processes, probe, check.processId)) {
            check.status = ServiceStatus::NotServing;
            check.unanswered = probe.name + " (held by another program, process " + std::to_string(*other) + ")";
            break;
        }
    }
    return check;
}

}  // namespace velmora
