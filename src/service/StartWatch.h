#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Clock.h"
#include "platform/Services.h"

namespace velmora {

// How long a start may take to reach "running", and how long after that the
// service must stay up to count as started.
constexpr std::uint32_t kStartBoundSeconds = 60;
constexpr std::uint32_t kStayUpMilliseconds = 3000;
constexpr std::uint32_t kStatePollMilliseconds = 250;

struct StartWatch {
    bool running = false;         // it got there and stayed
    bool reachedRunning = false;  // it got there and then stopped
    bool timedOut = false;        // it was still starting at the bound
    ServiceState last;
    std::optional<Failure> failure;  // the state could not be asked for
};

// Follows the service from the moment net was asked to start it.
StartWatch watchStart(Services& services, Clock& clock, const std::string& name, FileTime startedAt);

}  // namespace velmora
