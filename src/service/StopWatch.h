#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Services.h"
#include "service/StartEvidence.h"

namespace velmora {

// How one stop went: how long from the request until the service was
// stopped, whether Tomcat stopped by itself within the stop timeout or was
// ended, and the line that shows it.
struct StopEvidence {
    FileTime at = 0;
    std::uint64_t stoppedAfterMs = 0;
    std::uint32_t timeoutSeconds = 0;  // the one the wrapper held it to; 0: none
    bool graceful = true;
    std::string file;  // where the line was read; empty when none was
    std::string line;
};

// Follows the service from the stop request until it is stopped or the
// bound has passed. Stopped() is false when it never got there.
struct StopWatch {
    bool stopped = false;
    std::uint64_t stoppedAfterMs = 0;
    ServiceState last;
    std::optional<Failure> failure;
};
StopWatch watchStop(Services& services, Clock& clock, const std::string& name, FileTime askedAt,
                    std::uint32_t boundSeconds);

// A service still starting takes no stop: waits until its start has ended
// (running, or stopped again) or the bound has passed.
void waitForStartToEnd(Services& services, Clock& clock, const std::string& name, std::uint32_t boundSeconds);

// Tomcat has the stop timeout its wrapper holds it to (heldStopTimeout) to stop
// by itself; the wrapper ends the JVM after it. A stop that took as long did
// not end gracefully; without such a timeout (0) nothing ends it, and the time
// is all there is to tell. The line shown is Tomcat's last shutdown line for a
// graceful stop, else the wrapper's (or Catalina's) last new line.
StopEvidence judgeStop(std::uint64_t stoppedAfterMs, std::uint32_t heldTimeoutSeconds,
                       const std::vector<EvidenceFile>& newLines);

// "Service "shop" stopped gracefully after 4.2 s." or "Tomcat did not stop
// within 30 s; the wrapper ended the JVM ..." with the line that shows it.
std::string stopSentence(const std::string& name, const StopEvidence& evidence);

// 4.2 s, as the stop's and the start's sentences give times.
std::string secondsText(std::uint64_t milliseconds);

}  // namespace velmora
