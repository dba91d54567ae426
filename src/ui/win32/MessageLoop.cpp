#include "ui/win32/MessageLoop.h"

#include <cwchar>

namespace velmora {

namespace {

bool isDialog(HWND window) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    return std::wcscmp(className, L"#32770") == 0;
}

}  // namespace

int runMessageLoop(HWND mainWindow, HACCEL shortcuts) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root == mainWindow && TranslateAcceleratorW(mainWindow, shortcuts, &message)) continue;
        if (root && isDialog(root) && IsDialogMessageW(root, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace velmora
