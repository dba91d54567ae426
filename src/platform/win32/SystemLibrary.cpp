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

bool comReady() {
    static const bool ready = [] {
        const auto initialize = systemFunctionAs<HRESULT(WINAPI*)(LPVOID, DWORD)>("ole32.dll", "CoInitializeEx");
        return initialize && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }();
    return ready;
}

}  // namespace velmora
