#include "ui/win32/Explorer.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/win32/SystemLibrary.h"

namespace velmora {

namespace {

std::string currentFolder() {
    char folder[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
    return length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
}

const char* orNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

bool showCommonDialog(HWND owner, FileDialogCall& call) {
    OPENFILENAMEA request{};
    // The 32-bit build keeps the structure's original size; 64-bit Windows
    // only knows the full one.
#ifdef _WIN64
    request.lStructSize = sizeof request;
#else
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
#endif
    request.hwndOwner = owner;
    request.hInstance = nullptr;
    request.lpstrFilter = call.filter.c_str();
    // An empty custom filter means none to Windows; Wine instead drops the
    // whole filter list, so the empty buffer is not handed over.
    if (!call.customFilter.empty() && call.customFilter.front() != '\0') {
        request.lpstrCustomFilter = call.customFilter.data();
        request.nMaxCustFilter = static_cast<DWORD>(call.customFilter.size());
    }
    request.nFilterIndex = static_cast<DWORD>(call.filterIndex);
    request.lpstrFile = call.file.data();
    request.nMaxFile = static_cast<DWORD>(call.file.size());
    request.lpstrFileTitle = call.fileTitle.data();
    request.nMaxFileTitle = static_cast<DWORD>(call.fileTitle.size());
    request.lpstrInitialDir = call.initialFolder.c_str();
    request.lpstrTitle = orNull(call.title);
    request.Flags = static_cast<DWORD>(call.flags);
    request.lpstrDefExt = orNull(call.defaultExtension);
    const auto show = systemFunctionAs<BOOL(WINAPI*)(LPOPENFILENAMEA)>(
        "comdlg32.dll", call.openMode ? "GetOpenFileNameA" : "GetSaveFileNameA");
    // The dialog hosts shell parts, which want COM on this thread.
    const BOOL chosen = show && comReady() ? show(&request) : FALSE;
    call.flags = static_cast<int>(request.Flags);
    return chosen != FALSE;
}

}  // namespace

std::string ShowFileDialog(HWND owner, const FileDialogRequest& request) {
    return runFileDialog(request, currentFolder(),
                         [owner](FileDialogCall& call) { return showCommonDialog(owner, call); });
}

std::string BrowseForFolder(HWND owner) {
    BROWSEINFOA request{};
    request.hwndOwner = owner;
    request.pidlRoot = nullptr;
    request.pszDisplayName = nullptr;
    request.lpszTitle = "Select directory";
    request.ulFlags = BIF_RETURNONLYFSDIRS;
    const auto browse = systemFunctionAs<PIDLIST_ABSOLUTE(WINAPI*)(LPBROWSEINFOA)>("shell32.dll", "SHBrowseForFolderA");
    const auto pathOf = systemFunctionAs<BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, LPSTR)>("shell32.dll", "SHGetPathFromIDListA");
    const auto release = systemFunctionAs<void(WINAPI*)(LPVOID)>("ole32.dll", "CoTaskMemFree");
    if (!comReady() || !browse || !pathOf || !release) return std::string();
    PIDLIST_ABSOLUTE item = browse(&request);

    std::string path(kFolderPathBufferSize, ' ');
    const bool isFolder = item && pathOf(item, path.data());
    release(item);
    return isFolder ? TrimAtNul(path) : std::string();
}

}  // namespace velmora
