#include "ui/win32/MainWindow.h"

#include <commctrl.h>

#include "ui/DebugLog.h"
#include "ui/win32/MainWindowControls.h"

namespace velmora {

namespace {

constexpr UINT_PTR kStatusTimer = 1;
constexpr UINT kStatusPollMs = 2000;

INT_PTR background(HDC dc, COLORREF colour, HBRUSH brush) {
    SetBkColor(dc, colour);
    return reinterpret_cast<INT_PTR>(brush);
}

INT_PTR white(HDC dc) { return background(dc, RGB(255, 255, 255), static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))); }
INT_PTR menuColour(HDC dc) { return background(dc, GetSysColor(COLOR_MENU), GetSysColorBrush(COLOR_MENU)); }

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, DebugLog& debugLog) : instance_(instance), debugLog_(debugLog) {}

MainWindow::~MainWindow() {
    if (window_) DestroyWindow(window_);
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
}

bool MainWindow::create() {
    CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_MAIN), nullptr, dialogProc, reinterpret_cast<LPARAM>(this));
    return window_ != nullptr;
}

void MainWindow::attach(DoConfig& config) { config_ = &config; }

void MainWindow::show() {
    ShowWindow(window_, SW_SHOW);
    // Activated, the window gives the focus to its first box, the name; ask only if it did not.
    if (GetFocus() != item(IDC_TEXT5)) focusServiceName();
    SetTimer(window_, kStatusTimer, kStatusPollMs, nullptr);
}

// A service may stop or start without us; the status line follows it while
// someone can see it, and not while a command or a box of ours is up.
void MainWindow::onStatusTimer() {
    if (config_ && IsWindowVisible(window_) && !IsIconic(window_) && IsWindowEnabled(window_))
        config_->followServiceStatus();
}

std::string MainWindow::textOf(int id) const {
    HWND control = item(id);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

INT_PTR CALLBACK MainWindow::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        reinterpret_cast<MainWindow*>(lParam)->window_ = window;
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, DWLP_USER));
    return self ? self->onMessage(message, wParam, lParam) : FALSE;
}

INT_PTR MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            setUpControls();
            return FALSE;  // the focus is placed when the window is shown
        case WM_COMMAND:
            onCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case kFieldLeftMessage:
            onFieldLeft(static_cast<int>(wParam));
            return TRUE;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            return onControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DPICHANGED:
            onDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return TRUE;
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED:
            onSystemColoursChanged();
            return FALSE;
        case WM_SETCURSOR:
            createToolTips();  // the mouse has come over the window
            return FALSE;
        case WM_TIMER:
            if (wParam == kStatusTimer) onStatusTimer();
            return TRUE;
        case WM_CLOSE:
            // Nothing is asked and nothing is saved.
            DestroyWindow(window_);
            return TRUE;
        case WM_ENDSESSION:
            if (wParam) DestroyWindow(window_);
            return TRUE;
        case WM_DESTROY:
            PostQuitMessage(0);
            return TRUE;
        case WM_NCDESTROY:
            window_ = nullptr;
            return FALSE;
    }
    return FALSE;
}

// Read-only and disabled boxes ask with WM_CTLCOLORSTATIC, editable ones
// with WM_CTLCOLOREDIT. A high-contrast theme keeps the system's colours.
INT_PTR MainWindow::onControlColour(HDC dc, HWND control) {
    if (highContrast_) return FALSE;
    switch (GetDlgCtrlID(control)) {
        case IDC_LABEL20:
            SetTextColor(dc, RGB(0, 0, 255));
            return background(dc, GetSysColor(COLOR_BTNFACE), GetSysColorBrush(COLOR_BTNFACE));
        case IDC_TEXT5:
            return serviceNameLocked_ ? menuColour(dc) : white(dc);
        case IDC_TEXT7:
            return policyBoxWhite_ ? white(dc) : menuColour(dc);
    }
    return FALSE;
}

LRESULT CALLBACK MainWindow::fieldBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR mainWindow) {
    if (message == WM_KILLFOCUS) {
        // Only a move to another control of this window counts as leaving
        // the field: a message box or another program taking the focus does
        // not, or every warning would raise the next field's warning.
        HWND main = reinterpret_cast<HWND>(mainWindow);
        HWND next = reinterpret_cast<HWND>(wParam);
        if (next && IsChild(main, next)) PostMessageA(main, kFieldLeftMessage, GetDlgCtrlID(box), 0);
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(box, fieldBoxProc, id);
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

}  // namespace velmora
