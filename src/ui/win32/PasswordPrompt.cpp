#include "ui/win32/PasswordPrompt.h"

#include "platform/win32/WideText.h"
#include "ui/win32/ResourceIds.h"
#include "ui/win32/WindowText.h"

namespace velmora {

namespace {

struct Prompt {
    std::string account;
    std::optional<std::string> password;
};

INT_PTR CALLBACK promptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* prompt = reinterpret_cast<Prompt*>(lParam);
        setTextOf(GetDlgItem(dialog, IDC_PASSWORD_PROMPT),
                  "The service logs on as " + prompt->account + ". Its password:");
        return TRUE;
    }
    if (message != WM_COMMAND || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)) return FALSE;
    auto* prompt = reinterpret_cast<Prompt*>(GetWindowLongPtrW(dialog, DWLP_USER));
    HWND box = GetDlgItem(dialog, IDC_PASSWORD_TEXT);
    if (LOWORD(wParam) == IDOK) prompt->password = textOf(box);
    setTextOf(box, "");
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
}

}  // namespace

std::optional<std::string> askPassword(HINSTANCE instance, HWND owner, const std::string& account) {
    Prompt prompt{account, std::nullopt};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PASSWORD), owner, promptProc, reinterpret_cast<LPARAM>(&prompt));
    return prompt.password;
}

}  // namespace velmora
