#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "service/StopWatch.h"

namespace velmora {

// How the service's last stop went, kept with the service beside its last
// failed start: the moment, how long it took, against which stop timeout,
// and whether it was graceful. No log line is kept.
inline const std::string kLastStopValue = "VelmoraLastStop";
MaybeFailure keepLastStop(Registry& registry, const std::string& serviceName, const StopEvidence& evidence);
std::optional<StopEvidence> lastStop(Registry& registry, const std::string& serviceName);

// How long Windows waits for a service when it shuts down, as this machine
// sets it (WaitToKillServiceTimeout); 5000 ms when it sets nothing usable.
std::uint32_t shutdownWaitMs(Registry& registry);

// What the last stop says of the next ones: taking more than 80% of the stop
// timeout the wrapper holds Tomcat to (heldStopTimeout; 0, none: no such
// warning), and taking longer than Windows waits at a shutdown.
std::vector<std::string> slowStopWarnings(const std::string& serviceName, const StopEvidence& last,
                                          std::uint32_t heldTimeoutSeconds, std::uint32_t shutdownWaitMs);

}  // namespace velmora
