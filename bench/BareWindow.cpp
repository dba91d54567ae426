// The yardstick for start-up: a program that only opens an empty window, or
// one holding the controls its command line names, one letter each (E edit,
// B button, S static, C combo box, L list box), none of them with a program
// behind it. Built twice: plain, and under the common-controls manifest
// that gives velmora.exe's controls their visual style.
#include <windows.h>

static LRESULT CALLBACK bareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static const char* classOf(char letter) {
    switch (letter) {
        case 'E': return "EDIT";
        case 'B': return "BUTTON";
        case 'C': return "COMBOBOX";
        case 'L': return "LISTBOX";
        default: return "STATIC";
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR controls, int show) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = bareProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "BareWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("BareWindow", "Bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 480,
                                nullptr, nullptr, instance, nullptr);
    for (int i = 0; controls[i]; ++i) {
        const bool boxed = controls[i] == 'E' || controls[i] == 'L';
        CreateWindowExA(boxed ? WS_EX_CLIENTEDGE : 0, classOf(controls[i]), "", WS_CHILD | WS_VISIBLE, (i % 8) * 75,
                        (i / 8) * 30, 70, 24, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)), instance,
                        nullptr);
    }
    ShowWindow(window, show);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
