#include "service/StopWatch.h"

#include "platform/WindowsPaths.h"
#include "service/StartWatch.h"

namespace velmora {

namespace {

// What Tomcat writes while it shuts down, before its JVM ends.
bool isShutdownLine(const std::string& line) {
    for (const char* part :
         {"Stopping service", "Stopping ProtocolHandler", "Destroying ProtocolHandler", "Pausing ProtocolHandler"})
        if (line.find(part) != std::string::npos) return true;
    return false;
}

}  // namespace

StopWatch watchStop(Services& services, Clock& clock, const std::string& name, FileTime askedAt,
                    std::uint32_t boundSeconds) {
    StopWatch watch;
    const FileTime bound = askedAt + FileTime{boundSeconds} * kTicksPerSecond;
    for (;;) {
        const auto asked = services.state(name);
        if (const auto* failure = std::get_if<Failure>(&asked)) {
            watch.failure = *failure;
            return watch;
        }
        watch.last = std::get<ServiceState>(asked);
        const FileTime now = clock.now();
        if (watch.last.state == RunState::Stopped) {
            watch.stopped = true;
            watch.stoppedAfterMs = now > askedAt ? (now - askedAt) / kTicksPerMillisecond : 0;
            return watch;
        }
        if (now >= bound) return watch;
        clock.sleep(kStatePollMilliseconds);
    }
}

void waitForStartToEnd(Services& services, Clock& clock, const std::string& name, std::uint32_t boundSeconds) {
    const FileTime bound = clock.now() + FileTime{boundSeconds} * kTicksPerSecond;
    for (;;) {
        const auto asked = services.state(name);
        const auto* state = std::get_if<ServiceState>(&asked);
        if (!state || state->state != RunState::StartPending || clock.now() >= bound) return;
        clock.sleep(kStatePollMilliseconds);
    }
}

StopEvidence judgeStop(std::uint64_t stoppedAfterMs, std::uint32_t heldTimeoutSeconds,
                       const std::vector<EvidenceFile>& newLines) {
    StopEvidence evidence;
    evidence.stoppedAfterMs = stoppedAfterMs;
    evidence.timeoutSeconds = heldTimeoutSeconds;
    evidence.graceful = heldTimeoutSeconds == 0 || stoppedAfterMs < std::uint64_t{heldTimeoutSeconds} * 1000;
    auto take = [&](const EvidenceFile& file, const std::string& line) {
        evidence.file = file.path;
        evidence.line = line;
    };
    for (const EvidenceFile& file : newLines) {
        if (evidence.graceful) {
            for (const std::string& line : file.lines)
                if (isShutdownLine(line)) take(file, line);
        } else if (!file.lines.empty() && (evidence.line.empty() || file.role == kWrapperLogRole)) {
            take(file, file.lines.back());
        }
    }
    return evidence;
}

std::string secondsText(std::uint64_t milliseconds) {
    return std::to_string(milliseconds / 1000) + "." + std::to_string(milliseconds % 1000 / 100) + " s";
}

std::string stopSentence(const std::string& name, const StopEvidence& evidence) {
    std::string sentence = evidence.graceful ? "Service \"" + name + "\" stopped gracefully after " +
                                                   secondsText(evidence.stoppedAfterMs) + "."
                                             : "Tomcat did not stop within " + std::to_string(evidence.timeoutSeconds) +
                                                   " s; the wrapper ended the JVM (the service \"" + name +
                                                   "\" stopped after " + secondsText(evidence.stoppedAfterMs) + ").";
    if (!evidence.line.empty()) sentence += " " + lastPathPart(evidence.file) + ": " + evidence.line;
    return sentence;
}

}  // namespace velmora
