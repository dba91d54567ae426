#include "service/StartWatch.h"

namespace velmora {

namespace {

// A stop takes a moment; its exit codes are final once it is stopped.
constexpr std::uint32_t kStoppingMilliseconds = 5000;

}  // namespace

StartWatch watchStart(Services& services, Clock& clock, const std::string& name, FileTime startedAt) {
    StartWatch watch;
    auto look = [&]() {
        const auto asked = services.state(name);
        if (const auto* failure = std::get_if<Failure>(&asked)) {
            watch.failure = *failure;
            return false;
        }
        watch.last = std::get<ServiceState>(asked);
        return true;
    };
    auto untilStopped = [&]() {
        const FileTime giveUp = clock.now() + kStoppingMilliseconds * kTicksPerMillisecond;
        while (watch.last.state != RunState::Stopped && clock.now() < giveUp) {
            clock.sleep(kStatePollMilliseconds);
            if (!look()) return;
        }
    };

    const FileTime bound = startedAt + FileTime{kStartBoundSeconds} * kTicksPerSecond;
    for (;;) {
        if (!look()) return watch;
        if (watch.last.state == RunState::Running) break;
        if (watch.last.state == RunState::Stopped || watch.last.state == RunState::StopPending) {
            untilStopped();
            return watch;
        }
        if (clock.now() >= bound) {
            watch.timedOut = true;
            return watch;
        }
        clock.sleep(kStatePollMilliseconds);
    }
    const FileTime stayedUp = clock.now() + FileTime{kStayUpMilliseconds} * kTicksPerMillisecond;
    while (clock.now() < stayedUp) {
        clock.sleep(kStatePollMilliseconds);
        if (!look()) return watch;
        if (watch.last.state != RunState::Running) {
            watch.reachedRunning = true;
            untilStopped();
            return watch;
        }
    }
    watch.running = true;
    return watch;
}

}  // namespace velmora
