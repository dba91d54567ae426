// A stand-in for what Wine leaves out of SystemParametersInfo: switching high
// contrast on and off. Wine always answers SPI_GETHIGHCONTRAST with "off" and
// refuses SPI_SETHIGHCONTRAST. Loaded into a program, this library takes both
// calls over for the program's own module, in both the wide and the narrow
// form, and carries them out as Windows does: the switch is kept in the
// user's accessibility key, and setting it with SPIF_SENDCHANGE tells every
// window. Every other call goes to user32.
// For the window tests only; velmora.exe never loads it by itself.
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr const wchar_t* kKey = L"Control Panel\\Accessibility\\HighContrast";

using SystemParameters = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT);
SystemParameters user32Wide = nullptr;
SystemParameters user32Narrow = nullptr;

bool switchedOn() {
    wchar_t flags[16] = L"";
    DWORD size = sizeof flags;
    return RegGetValueW(HKEY_CURRENT_USER, kKey, L"Flags", RRF_RT_REG_SZ, nullptr, flags, &size) == ERROR_SUCCESS &&
           (std::wcstoul(flags, nullptr, 10) & HCF_HIGHCONTRASTON) != 0;
}

// Windows keeps the flags as decimal text.
void switchTo(DWORD flags, UINT winIni) {
    const std::wstring text = std::to_wstring(flags);
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Flags", REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (winIni & SPIF_SENDCHANGE)
        SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
}

// HIGHCONTRASTW or HIGHCONTRASTA: they differ only in the scheme name's characters.
template <typename Contrast>
BOOL highContrast(UINT action, PVOID data, UINT winIni) {
    auto* contrast = static_cast<Contrast*>(data);
    if (!contrast || contrast->cbSize != sizeof *contrast) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (action == SPI_SETHIGHCONTRAST) {
        switchTo(contrast->dwFlags, winIni);
    } else {
        contrast->dwFlags = HCF_AVAILABLE | (switchedOn() ? HCF_HIGHCONTRASTON : 0);
        contrast->lpszDefaultScheme = nullptr;
    }
    return TRUE;
}

bool isHighContrast(UINT action) { return action == SPI_GETHIGHCONTRAST || action == SPI_SETHIGHCONTRAST; }

BOOL WINAPI systemParametersWide(UINT action, UINT number, PVOID data, UINT winIni) {
    return isHighContrast(action) ? highContrast<HIGHCONTRASTW>(action, data, winIni)
                                  : user32Wide(action, number, data, winIni);
}

BOOL WINAPI systemParametersNarrow(UINT action, UINT number, PVOID data, UINT winIni) {
    return isHighContrast(action) ? highContrast<HIGHCONTRASTA>(action, data, winIni)
                                  : user32Narrow(action, number, data, winIni);
}

// Points the module's imports of user32's SystemParametersInfoW and
// SystemParametersInfoA here.
void takeOverImports(HMODULE module) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* headers =
        reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const auto& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return;
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); dll->Name; ++dll) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + dll->Name), "user32.dll") != 0) continue;
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
            const char* imported = reinterpret_cast<const char*>(
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData)->Name);
            SystemParameters replacement = nullptr;
            if (std::strcmp(imported, "SystemParametersInfoW") == 0) replacement = systemParametersWide;
            if (std::strcmp(imported, "SystemParametersInfoA") == 0) replacement = systemParametersNarrow;
            if (!replacement) continue;
            DWORD protection = 0;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
        }
    }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        const HMODULE user32 = GetModuleHandleW(L"user32.dll");
        user32Wide = reinterpret_cast<SystemParameters>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SystemParametersInfoW")));
        user32Narrow = reinterpret_cast<SystemParameters>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SystemParametersInfoA")));
        if (!user32Wide || !user32Narrow) return FALSE;
        takeOverImports(GetModuleHandleW(nullptr));
    }
    return TRUE;
}
