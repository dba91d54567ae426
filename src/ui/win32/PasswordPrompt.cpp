#include "ui/win32/PasswordPrompt.h"

#include <utility>

#include "ui/win32/ResourceIds.h"
#include "ui/win32/WindowText.h"

namespace velmora {

std::optional<std::string> PasswordPrompt::ask(HINSTANCE instance, HWND owner, const std::string& account) {
    password_.reset();
    answered_ = false;
    if (!window_ && !create(instance, IDD_PASSWORD, owner)) return std::nullopt;
    setTextOf(item(IDC_PASSWORD_PROMPT), "The service logs on as " + account + ". Its password:");
    showOverOwner(owner, IDC_PASSWORD_TEXT);
    // Modal: the caller waits for the answer while the window's messages go on.
    MSG message;
    while (!answered_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (!answered_) PostQuitMessage(static_cast<int>(message.wParam));  // the program ends: its loop sees it too
    hideForOwner(owner);
    return std::exchange(password_, std::nullopt);
}

INT_PTR PasswordPrompt::onMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                finish(LOWORD(wParam) == IDOK);
                return TRUE;
            }
            return FALSE;
        case WM_CLOSE: finish(false); return TRUE;
    }
    return FALSE;
}

void PasswordPrompt::finish(bool given) {
    HWND box = item(IDC_PASSWORD_TEXT);
    if (given) password_ = textOf(box);
    setTextOf(box, "");
    answered_ = true;
}

}  // namespace velmora
