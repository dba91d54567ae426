#include "platform/win32/SystemLibrary.h"

#include <objbase.h>

#include <string>

#include "platform/win32/WideText.h"
#include "platform/win32/Win32Environment.h"

namespace velmora {

FARPROC systemFunction(const char* library, const char* name) {
    // By full path: never a same-named file from the program's or the current folder.
    const std::string folder = Win32Environment().systemFolder();
    if (folder.empty()) return nullptr;
    const std::wstring path = wide(folder + "\\" + library);
    HMODULE module = GetModuleHandleW(path.c_str());
    if (!module) module = LoadLibraryW(path.c_str());
    return module ? GetProcAddress(module, name) : nullptr;
}

namespace {

// COM is started per thread: the window's and each command's worker start it
// at their first use, and end it when the thread ends.
class ThreadCom {
public:
    ThreadCom() {
        const auto initialize = systemFunctionAs<HRESULT(WINAPI*)(LPVOID, DWORD)>("ole32.dll", "CoInitializeEx");
        ready_ = initialize && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }
    ~ThreadCom() {
        if (!ready_) return;
        if (const auto uninitialize = systemFunctionAs<void(WINAPI*)()>("ole32.dll", "CoUninitialize")) uninitialize();
    }
    ThreadCom(const ThreadCom&) = delete;
    ThreadCom& operator=(const ThreadCom&) = delete;
    bool ready() const { return ready_; }

private:
    bool ready_ = false;
};

}  // namespace

bool comReady() {
    thread_local const ThreadCom com;
    return com.ready();
}

}  // namespace velmora
