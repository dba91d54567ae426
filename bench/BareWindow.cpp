// The yardstick for start-up: a program that only opens an empty window, or,
// with a number on its command line, that many plain controls in it.
#include <windows.h>

#include <cstdlib>

static LRESULT CALLBACK bareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int show) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = bareProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "BareWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("BareWindow", "Bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 480,
                                nullptr, nullptr, instance, nullptr);
    const char* kinds[] = {"EDIT", "BUTTON", "STATIC", "COMBOBOX"};
    const int controls = std::atoi(arguments);
    for (int i = 0; i < controls; ++i)
        CreateWindowA(kinds[i % 4], "", WS_CHILD | WS_VISIBLE, (i % 8) * 75, (i / 8) * 30, 70, 24, window,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)), instance, nullptr);
    ShowWindow(window, show);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
