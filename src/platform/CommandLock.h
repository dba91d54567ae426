#pragma once
#include <functional>

#include "platform/Failure.h"

namespace velmora {

// One command at a time on this machine changes the store or a service,
// whichever window or command line runs it: each holds this lock from before
// it looks at anything until it is done, and the next then sees what it left.
class CommandLock {
public:
    virtual ~CommandLock() = default;
    // Waits for the lock, calling `waiting` once when it is not free within a
    // moment; a failure when it could not be had.
    virtual MaybeFailure acquire(const std::function<void()>& waiting) = 0;
    virtual void release() = 0;
    // Ends a wait for the lock under way or about to begin, from any thread: that acquire fails with
    // kWaitGivenUp unless the lock is free at once. A give-up while the lock is held ends at its release.
    virtual void giveUpWaiting() = 0;
};

// The number of the failure of a wait that was given up (Windows' ERROR_CANCELLED).
inline constexpr long kWaitGivenUp = 1223;

}  // namespace velmora
