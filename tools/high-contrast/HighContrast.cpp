// A stand-in for what Wine leaves out of SystemParametersInfo: switching high
// contrast on and off. Wine always answers SPI_GETHIGHCONTRAST with "off" and
// refuses SPI_SETHIGHCONTRAST. Loaded into a program, this library takes both
// calls over for the program's own module and carries them out as Windows
// does: the switch is kept in the user's accessibility key, and setting it
// with SPIF_SENDCHANGE tells every window. Every other call goes to user32.
// For the window tests only; velmora.exe never loads it by itself.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char* kKey = "Control Panel\\Accessibility\\HighContrast";

using SystemParameters = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT);
SystemParameters user32SystemParameters = nullptr;

bool switchedOn() {
    char flags[16] = "";
    DWORD size = sizeof flags;
    return RegGetValueA(HKEY_CURRENT_USER, kKey, "Flags", RRF_RT_REG_SZ, nullptr, flags, &size) == ERROR_SUCCESS &&
           (std::strtoul(flags, nullptr, 10) & HCF_HIGHCONTRASTON) != 0;
}

// Windows keeps the flags as decimal text.
void switchTo(DWORD flags, UINT winIni) {
    const std::string text = std::to_string(flags);
    RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "Flags", REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    if (winIni & SPIF_SENDCHANGE)
        SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
}

BOOL WINAPI systemParameters(UINT action, UINT number, PVOID data, UINT winIni) {
    if (action != SPI_GETHIGHCONTRAST && action != SPI_SETHIGHCONTRAST)
        return user32SystemParameters(action, number, data, winIni);
    auto* contrast = static_cast<HIGHCONTRASTA*>(data);
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

// Points the module's import of user32's SystemParametersInfoA here.
void takeOverImport(HMODULE module) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* headers = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const auto& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return;
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); dll->Name; ++dll) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + dll->Name), "user32.dll") != 0) continue;
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), "SystemParametersInfoA") != 0) continue;
            DWORD protection = 0;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(&systemParameters);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
        }
    }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        user32SystemParameters =
            reinterpret_cast<SystemParameters>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("user32.dll"), "SystemParametersInfoA")));
        if (!user32SystemParameters) return FALSE;
        takeOverImport(GetModuleHandleA(nullptr));
    }
    return TRUE;
}
