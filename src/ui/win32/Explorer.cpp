#include "ui/win32/Explorer.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"

namespace velmora {

namespace {

std::string currentFolder() {
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
    return length > 0 && length < MAX_PATH ? narrow(std::wstring(folder, length)) : std::string();
}

const wchar_t* orNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

// A buffer of exactly this many characters, the text first, NULs after it.
std::wstring wideBuffer(const std::string& text, std::size_t characters) {
    std::wstring buffer = wide(text);
    buffer.resize(characters, L'\0');
    return buffer;
}

bool showCommonDialog(HWND owner, FileDialogCall& call) {
    std::wstring filter = wide(call.filter);
    std::wstring customFilter = wideBuffer(call.customFilter, call.customFilter.size());
    std::wstring file = wideBuffer(call.file, call.file.size());
    std::wstring fileTitle = wideBuffer(call.fileTitle, call.fileTitle.size());
    const std::wstring initialFolder = wide(call.initialFolder);
    const std::wstring title = wide(call.title);
    const std::wstring defaultExtension = wide(call.defaultExtension);

    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = filter.c_str();
    // An empty custom filter means none to Windows; Wine instead drops the
    // whole filter list, so the empty buffer is not handed over.
    if (!customFilter.empty() && customFilter.front() != L'\0') {
        request.lpstrCustomFilter = customFilter.data();
        request.nMaxCustFilter = static_cast<DWORD>(customFilter.size());
    }
    request.nFilterIndex = static_cast<DWORD>(call.filterIndex);
    request.lpstrFile = file.data();
    request.nMaxFile = static_cast<DWORD>(file.size());
    request.lpstrFileTitle = fileTitle.data();
    request.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
    request.lpstrInitialDir = initialFolder.c_str();
    request.lpstrTitle = orNull(title);
    request.Flags = static_cast<DWORD>(call.flags);
    request.lpstrDefExt = orNull(defaultExtension);
    const auto show = systemFunctionAs<BOOL(WINAPI*)(LPOPENFILENAMEW)>(
        "comdlg32.dll", call.openMode ? "GetOpenFileNameW" : "GetSaveFileNameW");
    // The dialog hosts shell parts, which want COM on this thread.
    const BOOL chosen = show && comReady() ? show(&request) : FALSE;
    call.flags = static_cast<int>(request.Flags);
    call.file = narrow(file);
    return chosen != FALSE;
}

}  // namespace

std::string ShowFileDialog(HWND owner, const FileDialogRequest& request) {
    return runFileDialog(request, currentFolder(),
                         [owner](FileDialogCall& call) { return showCommonDialog(owner, call); });
}

std::string BrowseForFolder(HWND owner) {
    BROWSEINFOW request{};
    request.hwndOwner = owner;
    request.lpszTitle = L"Select directory";
    request.ulFlags = BIF_RETURNONLYFSDIRS;
    const auto browse = systemFunctionAs<PIDLIST_ABSOLUTE(WINAPI*)(LPBROWSEINFOW)>("shell32.dll", "SHBrowseForFolderW");
    const auto pathOf =
        systemFunctionAs<BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, LPWSTR)>("shell32.dll", "SHGetPathFromIDListW");
    const auto release = systemFunctionAs<void(WINAPI*)(LPVOID)>("ole32.dll", "CoTaskMemFree");
    if (!comReady() || !browse || !pathOf || !release) return std::string();
    PIDLIST_ABSOLUTE item = browse(&request);

    std::wstring path(kFolderPathBufferSize, L' ');
    const bool isFolder = item && pathOf(item, path.data());
    release(item);
    return isFolder ? narrow(path.c_str()) : std::string();
}

}  // namespace velmora
