#pragma once
#include <windows.h>

#include <atomic>

#include "platform/CommandLock.h"

namespace velmora {

// A named mutex in the machine's global namespace, open to SYSTEM and the
// administrators only. A command that ended without letting go (its process
// was killed) leaves it abandoned, which the next one takes over.
class Win32CommandLock : public CommandLock {
public:
    Win32CommandLock();
    ~Win32CommandLock() override;
    MaybeFailure acquire(const std::function<void()>& waiting) override;
    void release() override;
    void giveUpWaiting() override;
    // Whether a command of this process holds it now: one that changes something. Asked from any thread.
    bool held() const { return held_; }

private:
    HANDLE mutex_ = nullptr;
    HANDLE givenUp_ = nullptr;  // set to end a wait
    std::atomic<bool> held_{false};
};

}  // namespace velmora
