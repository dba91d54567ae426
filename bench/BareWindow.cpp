// The yardstick for start-up: a program that only opens an empty window or,
// given a file that lists controls, a window of that client size holding
// those controls with their class, styles, place and text under the same
// menu bar and in the same fonts, none of them with a program behind it.
// bench_startup writes the list from velmora.exe's own window. Built twice:
// plain, and under the common-controls manifest that gives velmora.exe's
// controls their visual style.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/win32/WideText.h"
#include "ui/win32/MainWindowFonts.h"

static LRESULT CALLBACK bareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// One line each: class, id, style, extended style, left, top, width, height,
// text; tab-separated, in UTF-8. The first line holds the client size and the
// titles of the menu bar.
static void createControls(HWND window, const wchar_t* listFile) {
    std::ifstream list(std::filesystem::path(listFile), std::ios::binary);
    std::string line;
    int width = 0, height = 0;
    HMENU menu = nullptr;
    if (std::getline(list, line)) {
        std::istringstream window(line);
        window >> width >> height;
        std::string title;
        window.ignore(1);
        while (std::getline(window, title, '\t'))
            AppendMenuW(menu ? menu : (menu = CreateMenu()), MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()),
                        velmora::wide(title).c_str());
    }
    SetMenu(window, menu);
    RECT outer{0, 0, width, height};
    AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, menu != nullptr, 0);
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER);
    // Fonts cannot be read from another process; the main window's own are named in its code.
    HDC screen = GetDC(nullptr);
    const auto dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    HFONT dialogFont = velmora::createPointFont({L"MS Shell Dlg 2", 800, false, 0}, dpi);
    HFONT frameFont = velmora::createPointFont(velmora::kFrameFont, dpi);
    HFONT courierFont = velmora::createPointFont(velmora::kCourierFont, dpi);
    auto fontOf = [&](int id) {
        for (int frame : velmora::kFrames)
            if (frame == id) return frameFont;
        for (int courier : velmora::kCourierControls)
            if (courier == id) return courierFont;
        return dialogFont;
    };
    while (std::getline(list, line)) {
        std::istringstream fields(line);
        std::string windowClass, id, style, exStyle, x, y, cx, cy, text;
        for (std::string* field : {&windowClass, &id, &style, &exStyle, &x, &y, &cx, &cy})
            std::getline(fields, *field, '\t');
        std::getline(fields, text);
        HWND control =
            CreateWindowExW(std::stoul(exStyle), velmora::wide(windowClass).c_str(), velmora::wide(text).c_str(),
                            std::stoul(style) | WS_CHILD, std::stoi(x), std::stoi(y), std::stoi(cx), std::stoi(cy),
                            window, reinterpret_cast<HMENU>(std::stoll(id)), GetModuleHandleW(nullptr), nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(std::stoi(id))), FALSE);
    }
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR listFile, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = bareProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BareWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"BareWindow", L"Bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 480,
                                nullptr, nullptr, instance, nullptr);
    if (*listFile) createControls(window, listFile);
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
