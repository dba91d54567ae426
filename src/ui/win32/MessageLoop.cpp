#include "ui/win32/MessageLoop.h"

#include <cstring>

namespace velmora {

namespace {

bool isDialog(HWND window) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    return std::strcmp(className, "#32770") == 0;
}

}  // namespace

int runMessageLoop(HWND mainWindow, HACCEL shortcuts) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root == mainWindow && TranslateAcceleratorA(mainWindow, shortcuts, &message)) continue;
        if (root && isDialog(root) && IsDialogMessageA(root, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace velmora
