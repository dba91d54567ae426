#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Network.h"
#include "platform/Services.h"
#include "service/Readiness.h"

namespace velmora {

// How long a start may take to reach "running" when the configuration
// waits for no answer, how often the service and the probes are asked, and
// how long a port may take to answer one look (a URL has kUrlAnswerMilliseconds).
constexpr std::uint32_t kStartBoundSeconds = 60;
constexpr std::uint32_t kStatePollMilliseconds = 100;
constexpr std::uint32_t kProbeMilliseconds = 250;

struct StartWatch {
    enum class End {
        Serving,        // it runs and every probe answered
        Died,           // it stopped (after running, when reachedRunning)
        StillStarting,  // it was still starting at the bound
        NotServing,     // it runs, but a probe had not answered at the bound
        Unasked,        // the service manager could not be asked
    };
    End end = End::Unasked;
    bool reachedRunning = false;
    std::uint64_t runningAfterMs = 0;  // from the start's beginning
    std::uint64_t readyAfterMs = 0;
    std::string unanswered;  // the probe that never answered
    std::uint32_t boundSeconds = 0;
    ServiceState last;
    std::uint32_t processId = 0;          // the service's process as last seen; 0 when none was
    std::optional<Failure> failure;       // the state could not be asked for
    std::optional<Failure> probeFailure;  // a probe could not be asked: it holds the start back no longer
};

// From the start request until the service ran, and until it served.
struct StartTimes {
    std::uint64_t runningAfterMs = 0;
    std::uint64_t readyAfterMs = 0;
    bool probed = false;  // something was asked to answer
};

// "Service "shop" is running after 1.2 s, serving after 3.4 s."
std::string startedSentence(const std::string& name, const StartTimes& times);

// How long a start may take: its start timeout, or kStartBoundSeconds to "running" without one.
std::uint32_t startBoundSeconds(std::uint32_t timeoutSeconds);

// Follows the service from the moment net was asked to start it until it
// runs and every probe answers, it stops, or the configuration's time is up
// (its start timeout; 0 waits for "running" alone, up to kStartBoundSeconds).
StartWatch watchStart(Services& services, Network& network, Clock& clock, const std::string& name,
                      const std::vector<ReadinessProbe>& probes, FileTime startedAt, std::uint32_t timeoutSeconds);

}  // namespace velmora
