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

Win32CommandLock::~Win32CommandLock() {
    if (mutex_) CloseHandle(mutex_);
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
    DWORD waited = WaitForSingleObject(mutex_, kMomentMs);
    if (waited == WAIT_TIMEOUT) {
        waiting();
        waited = WaitForSingleObject(mutex_, kLongestWaitMs);
    }
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
        held_ = true;
        return std::nullopt;
    }
    if (waited == WAIT_TIMEOUT) return systemFailure("WaitForSingleObject", WAIT_TIMEOUT);
    return lastErrorFailure("WaitForSingleObject");
}

void Win32CommandLock::release() {
    held_ = false;
    if (mutex_) ReleaseMutex(mutex_);
}

}  // namespace velmora
