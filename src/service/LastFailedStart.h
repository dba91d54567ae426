#pragma once
#include <optional>
#include <string>

#include "platform/Registry.h"
#include "service/StartDiagnosis.h"

namespace velmora {

// The diagnosis of a service's last failed start, kept in the service's own
// key beside its install mark until a start succeeds: the window, velmora-cli
// and the report all show it, and it goes with the service.
MaybeFailure keepLastFailedStart(Registry& registry, const std::string& serviceName, const StartDiagnosis& diagnosis);
MaybeFailure forgetLastFailedStart(Registry& registry, const std::string& serviceName);
std::optional<StartDiagnosis> lastFailedStart(Registry& registry, const std::string& serviceName);

}  // namespace velmora
