#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/Clock.h"
#include "platform/Failure.h"

namespace velmora {

// What the service manager says of a name: the service's program line, or
// nothing when it knows no service of that name.
using ServiceLookup = std::variant<std::optional<std::string>, Failure>;

enum class StartType : std::uint32_t { Automatic = 2, Manual = 3, Disabled = 4 };

// After a failure: nothing, or a restart after a delay.
struct FailureAction {
    bool restart = false;
    std::uint32_t delayMs = 0;
    bool operator==(const FailureAction&) const = default;
};

// How the service manager runs a service, as it reports it.
struct ServiceConfiguration {
    std::string programLine;
    std::string displayName;
    std::string description;
    StartType startType = StartType::Manual;
    bool delayedStart = false;
    std::string account;  // LocalSystem, NT AUTHORITY\LocalService, NT SERVICE\<name>, DOMAIN\name
    std::vector<std::string> dependencies;
    std::vector<FailureAction> failureActions;  // the first, the second, then every later failure
    std::uint32_t resetPeriodSeconds = 0;
    bool failureActionsOnNonCrash = false;  // a stop with an error exit code counts as a failure
};

// Where a service stands, and how its last run ended: the service manager's
// error code, and the service's own code when that is 1066
// (ERROR_SERVICE_SPECIFIC_ERROR); while it runs, its process and when that started.
enum class RunState { Stopped, StartPending, StopPending, Running, ContinuePending, PausePending, Paused, Other };

struct ServiceState {
    RunState state = RunState::Stopped;
    std::uint32_t exitCode = 0;
    std::uint32_t serviceExitCode = 0;
    std::uint32_t processId = 0;
    FileTime processStartedAt = 0;  // 0 when not known
};

// The parts of a service's configuration that are set one by one, so that a
// refusal names the one refused.
enum class ServiceSetting {
    StartType,
    DelayedStart,
    Account,
    Dependencies,
    FailureActions,
    FailureActionsOnNonCrash,
    DisplayName,
    Description,
};

struct SettingFailure {
    ServiceSetting setting;
    Failure failure;
};

// A service that could not be opened refuses each setting asked for, for that one reason.
inline std::vector<SettingFailure> eachRefused(const std::vector<ServiceSetting>& settings, const Failure& failure) {
    std::vector<SettingFailure> refused;
    for (ServiceSetting setting : settings) refused.push_back({setting, failure});
    return refused;
}

class Services {
public:
    virtual ~Services() = default;
    // Whether the service runs (any state but stopped). A name the service
    // manager does not know is a failure.
    virtual std::variant<bool, Failure> isStarted(const std::string& serviceName) = 0;
    virtual ServiceLookup binaryPath(const std::string& serviceName) = 0;
    virtual std::variant<ServiceState, Failure> state(const std::string& serviceName) = 0;
    virtual std::variant<ServiceConfiguration, Failure> configuration(const std::string& serviceName) = 0;
    // Sets the parts named, each on its own; the password goes with the
    // account (empty for the built-in and virtual accounts). Returns the parts
    // the service manager refused.
    virtual std::vector<SettingFailure> configure(const std::string& serviceName, const ServiceConfiguration& wanted,
                                                  const std::string& password,
                                                  const std::vector<ServiceSetting>& settings) = 0;
    virtual MaybeFailure setProgramLine(const std::string& serviceName, const std::string& programLine) = 0;
    // The names of every service that runs as a program of its own (no drivers).
    virtual std::variant<std::vector<std::string>, Failure> serviceNames() = 0;
};

// The service's own virtual account.
inline std::string virtualAccount(const std::string& serviceName) { return "NT SERVICE\\" + serviceName; }

}  // namespace velmora
