#include "service/StartWatch.h"

#include <algorithm>

#include "service/StopWatch.h"

namespace velmora {

namespace {

// A stop takes a moment; its exit codes are final once it is stopped.
constexpr std::uint32_t kStoppingMilliseconds = 5000;

std::uint64_t millisecondsBetween(FileTime from, FileTime to) {
    return to > from ? (to - from) / kTicksPerMillisecond : 0;
}

}  // namespace

std::string startedSentence(const std::string& name, const StartTimes& times) {
    std::string sentence = "Service \"" + name + "\" is running after " + secondsText(times.runningAfterMs);
    if (times.probed) sentence += ", serving after " + secondsText(times.readyAfterMs);
    return sentence + ".";
}

std::uint32_t startBoundSeconds(std::uint32_t timeoutSeconds) {
    return timeoutSeconds > 0 ? timeoutSeconds : kStartBoundSeconds;
}

StartWatch watchStart(Services& services, Network& network, Clock& clock, const std::string& name,
                      const std::vector<ReadinessProbe>& probes, FileTime startedAt, std::uint32_t timeoutSeconds) {
    StartWatch watch;
    const bool awaitProbes = timeoutSeconds > 0;
    watch.boundSeconds = startBoundSeconds(timeoutSeconds);
    const FileTime bound = startedAt + FileTime{watch.boundSeconds} * kTicksPerSecond;
    auto look = [&]() {
        const auto asked = services.state(name);
        if (const auto* failure = std::get_if<Failure>(&asked)) {
            watch.failure = *failure;
            return false;
        }
        watch.last = std::get<ServiceState>(asked);
        if (watch.last.processId) watch.processId = watch.last.processId;
        return true;
    };
    auto untilStopped = [&]() {
        const FileTime giveUp = clock.now() + kStoppingMilliseconds * kTicksPerMillisecond;
        while (watch.last.state != RunState::Stopped && clock.now() < giveUp) {
            clock.sleep(kStatePollMilliseconds);
            if (!look()) return;
        }
    };

    // A URL's answer may take its time, but not past the bound; a look at the bound still gets a port's time.
    auto urlTime = [&]() {
        const std::uint64_t left = millisecondsBetween(clock.now(), bound);
        return static_cast<std::uint32_t>(
            std::max<std::uint64_t>(kProbeMilliseconds, std::min<std::uint64_t>(kUrlAnswerMilliseconds, left)));
    };

    std::vector<bool> answered(probes.size(), !awaitProbes);
    for (;;) {
        if (!look()) return watch;
        const RunState state = watch.last.state;
        if (state == RunState::Stopped || state == RunState::StopPending) {
            untilStopped();
            watch.end = StartWatch::End::Died;
            return watch;
        }
        if (state == RunState::Running) {
            if (!watch.reachedRunning) watch.runningAfterMs = millisecondsBetween(startedAt, clock.now());
            watch.reachedRunning = true;
            bool all = true;
            for (std::size_t i = 0; i < probes.size(); ++i) {
                if (answered[i]) continue;
                const auto answer = probes[i].heldBefore ? std::variant<bool, Failure>(false)
                                                         : answers(network, probes[i], {kProbeMilliseconds, urlTime()});
                // One that cannot be asked (a host name no one resolves) holds no one back; the others are asked.
                if (const auto* failure = std::get_if<Failure>(&answer)) {
                    if (!watch.probeFailure) watch.probeFailure = *failure;
                    answered[i] = true;
                    continue;
                }
                answered[i] = std::get<bool>(answer);
                if (!answered[i]) {
                    all = false;
                    if (watch.unanswered.empty()) watch.unanswered = probes[i].name;
                    break;  // the next look asks again from this one
                }
            }
            if (all) {
                watch.readyAfterMs = millisecondsBetween(startedAt, clock.now());
                watch.unanswered.clear();
                watch.end = StartWatch::End::Serving;
                return watch;
            }
        }
        if (clock.now() >= bound) {
            watch.end = watch.reachedRunning && state == RunState::Running ? StartWatch::End::NotServing
                                                                           : StartWatch::End::StillStarting;
            return watch;
        }
        watch.unanswered.clear();
        clock.sleep(kStatePollMilliseconds);
    }
}

}  // namespace velmora
