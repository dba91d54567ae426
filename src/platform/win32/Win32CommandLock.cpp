#include "platform/win32/Win32CommandLock.h"

#include <sddl.h>

#include "platform/win32/SystemFailure.h"

namespace velmora {

namespace {
constexpr DWORD kMomentMs = 1000;
// A command left waiting at a question for this long is not waited for.
constexpr DWORD kLongestWaitMs = 15 * 60 * 1000;
const wchar_t* const kName = L"Global\\VelmoraCommandLock";
}  // namespace

Win32CommandLock::Win32CommandLock() : givenUp_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

Win32CommandLock::~Win32CommandLock() {
    if (mutex_) CloseHandle(mutex_);
    if (givenUp_) CloseHandle(givenUp_);
}

void Win32CommandLock::giveUpWaiting() {
    if (givenUp_) SetEvent(givenUp_);
}

MaybeFailure Win32CommandLock::acquire(const std::function<void()>& waiting) {
    if (!mutex_) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;GA;;;SY)(A;;GA;;;BA)", SDDL_REVISION_1,
                                                                  &descriptor, nullptr))
            return lastErrorFailure("ConvertStringSecurityDescriptorToSecurityDescriptorW");
        SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
        mutex_ = CreateMutexW(&attributes, FALSE, kName);
        const DWORD error = GetLastError();
        LocalFree(descriptor);
        if (!mutex_) return systemFailure("CreateMutexW", error);
    }
    const HANDLE handles[] = {mutex_, givenUp_};
    const DWORD count = givenUp_ ? 2 : 1;
    DWORD waited = WaitForMultipleObjects(count, handles, FALSE, kMomentMs);
    if (waited == WAIT_TIMEOUT) {
        waiting();
        waited = WaitForMultipleObjects(count, handles, FALSE, kLongestWaitMs);
    }
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED_0) {
        held_ = true;
        return std::nullopt;
    }
    if (waited == WAIT_OBJECT_0 + 1) {
        ResetEvent(givenUp_);
        return Failure{"WaitForMultipleObjects", "the wait was given up", kWaitGivenUp};
    }
    if (waited == WAIT_TIMEOUT) return systemFailure("WaitForMultipleObjects", WAIT_TIMEOUT);
    return lastErrorFailure("WaitForMultipleObjects");
}

// A give-up told while the lock was held was for no wait: the next command's is not given up by it.
void Win32CommandLock::release() {
    if (givenUp_) ResetEvent(givenUp_);
    held_ = false;
    if (mutex_) ReleaseMutex(mutex_);
}

}  // namespace velmora
