// The yardstick for start-up with the same controls: velmora.exe's own main
// window, made from the same template under the same manifest, with none of
// the program's work behind it.
#include <windows.h>

#include <commctrl.h>

#include "ResourceIds.h"

static INT_PTR CALLBACK bareProc(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow(window);
    if (message == WM_DESTROY) PostQuitMessage(0);
    return FALSE;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    INITCOMMONCONTROLSEX commonControls{sizeof commonControls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);
    HWND window = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, bareProc, 0);
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
