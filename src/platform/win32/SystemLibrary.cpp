#include "platform/win32/SystemLibrary.h"

#include <objbase.h>

#include <string>

namespace velmora {

FARPROC systemFunction(const char* library, const char* name) {
    // By full path: never a same-named file from the program's or the current folder.
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::string path = std::string(folder, length) + "\\" + library;
    HMODULE module = GetModuleHandleA(path.c_str());
    if (!module) module = LoadLibraryA(path.c_str());
    return module ? GetProcAddress(module, name) : nullptr;
}

bool comReady() {
    static const bool ready = [] {
        const auto initialize = systemFunctionAs<HRESULT(WINAPI*)(LPVOID, DWORD)>("ole32.dll", "CoInitializeEx");
        return initialize && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }();
    return ready;
}

}  // namespace velmora
