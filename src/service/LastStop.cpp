#include "service/LastStop.h"

#include "config/Encodings.h"
#include "platform/Numbers.h"
#include "service/ServiceNames.h"

namespace velmora {

namespace {

const std::string kForm = "at-ms-timeout-graceful";
const std::string kControlKey = "SYSTEM\\CurrentControlSet\\Control";
constexpr std::uint32_t kDefaultShutdownWaitMs = 5000;

}  // namespace

MaybeFailure keepLastStop(Registry& registry, const std::string& serviceName, const StopEvidence& evidence) {
    const std::vector<std::string> entries = {kForm, std::to_string(evidence.at),
                                              std::to_string(evidence.stoppedAfterMs),
                                              std::to_string(evidence.timeoutSeconds), evidence.graceful ? "1" : "0"};
    return registry.write(kLocalMachine, serviceKey(serviceName), {RegistryWrite::listValue(kLastStopValue, entries)});
}

std::optional<StopEvidence> lastStop(Registry& registry, const std::string& serviceName) {
    const auto value = registry.read(kLocalMachine, serviceKey(serviceName), kLastStopValue);
    if (!value || value->type != kRegMultiSz) return std::nullopt;
    const std::vector<std::string> entries = storedList(value);
    if (entries.size() != 5 || entries[0] != kForm || (entries[4] != "0" && entries[4] != "1")) return std::nullopt;
    const auto at = wholeNumber<FileTime>(entries[1]);
    const auto ms = wholeNumber<std::uint64_t>(entries[2]);
    const auto timeout = wholeNumber<std::uint32_t>(entries[3]);
    if (!at || !ms || !timeout) return std::nullopt;
    StopEvidence evidence;
    evidence.at = *at;
    evidence.stoppedAfterMs = *ms;
    evidence.timeoutSeconds = *timeout;
    evidence.graceful = entries[4] == "1";
    return evidence;
}

std::uint32_t shutdownWaitMs(Registry& registry) {
    const auto value = registry.read(kLocalMachine, kControlKey, "WaitToKillServiceTimeout");
    if (!value) return kDefaultShutdownWaitMs;
    const auto ms = wholeNumber<std::uint32_t>(storedText(value).text);
    return ms && *ms > 0 ? *ms : kDefaultShutdownWaitMs;
}

std::vector<std::string> slowStopWarnings(const std::string& serviceName, const StopEvidence& last,
                                          std::uint32_t heldTimeoutSeconds, std::uint32_t shutdownWait) {
    std::vector<std::string> warnings;
    const std::string took =
        "The last stop of the service \"" + serviceName + "\" took " + secondsText(last.stoppedAfterMs);
    if (heldTimeoutSeconds > 0 && last.stoppedAfterMs * 10 > std::uint64_t{heldTimeoutSeconds} * 1000 * 8)
        warnings.push_back(took + ", more than 80% of its stop timeout (" + std::to_string(heldTimeoutSeconds) +
                           " s): a slower stop is ended before Tomcat finishes. Find what holds up its shutdown, "
                           "or raise service.stop.timeout.");
    if (last.stoppedAfterMs > shutdownWait)
        warnings.push_back(took + ", longer than Windows waits for a service when it shuts down (" +
                           secondsText(shutdownWait) +
                           ", WaitToKillServiceTimeout): at a shutdown or restart of Windows, Tomcat is ended "
                           "before it finishes stopping.");
    return warnings;
}

}  // namespace velmora
