#include "ui/win32/DialogWindow.h"

#include <cwchar>

#include "ui/win32/DialogTemplate.h"
#include "ui/win32/Dpi.h"

namespace velmora {

DialogWindow::~DialogWindow() {
    if (window_) DestroyWindow(window_);
}

bool DialogWindow::create(HINSTANCE instance, int templateId, HWND owner) {
    CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), owner, dialogProc, reinterpret_cast<LPARAM>(this));
    return window_ != nullptr;
}

namespace {

constexpr wchar_t kWindowClass[] = L"VelmoraWindow";
// The dialog font, kept where the dialog manager would keep it for its own windows.
constexpr int kFontSlot = DLGWINDOWEXTRA;

LRESULT CALLBACK templateWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            SetWindowLongPtrW(window, DWLP_DLGPROC,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
            break;
        case WM_SETFONT: SetWindowLongPtrW(window, kFontSlot, static_cast<LONG_PTR>(wParam)); return 0;
        case WM_GETFONT: return GetWindowLongPtrW(window, kFontSlot);
    }
    return DefDlgProcW(window, message, wParam, lParam);
}

void registerWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(instance, kWindowClass, &windowClass)) return;
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = templateWindowProc;
    windowClass.cbWndExtra = DLGWINDOWEXTRA + sizeof(LONG_PTR);
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
}

// The template's font at a DPI; with DS_SHELLFONT "MS Shell Dlg" means the
// face of today's dialogs, as the dialog manager takes it.
HFONT templateFont(const DialogTemplate& made, UINT dpi) {
    const bool shellFont = (made.style & DS_SHELLFONT) == DS_SHELLFONT && std::wcscmp(made.face, L"MS Shell Dlg") == 0;
    return CreateFontW(-MulDiv(made.pointSize, static_cast<int>(dpi), 72), 0, 0, 0, made.weight, made.italic, FALSE,
                       FALSE, made.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                       shellFont ? L"MS Shell Dlg 2" : made.face);
}

struct Beside {
    HWND owner;
    HWND self;
    std::vector<HWND>* found;
};

BOOL CALLBACK noteBeside(HWND window, LPARAM lParam) {
    const auto* beside = reinterpret_cast<Beside*>(lParam);
    if (window != beside->self && GetWindow(window, GW_OWNER) == beside->owner && IsWindowVisible(window) &&
        IsWindowEnabled(window))
        beside->found->push_back(window);
    return TRUE;
}

}  // namespace

bool DialogWindow::createWithoutDialogManager(HINSTANCE instance, int templateId) {
    const std::optional<DialogTemplate> made = loadDialogTemplate(instance, templateId);
    if (!made || !(made->style & DS_SETFONT)) return false;
    registerWindowClass(instance);
    HMENU menu = made->menu ? LoadMenuW(instance, made->menu) : nullptr;
    // Made empty first: its DPI, which the font and every place follow, is known once it exists.
    // WS_EX_CONTROLPARENT as the dialog manager gives its windows.
    HWND window = CreateWindowExW(made->exStyle | WS_EX_CONTROLPARENT, kWindowClass, made->title,
                                  made->style & 0xFFFF0000 & ~WS_VISIBLE, 0, 0, 0, 0, nullptr, menu, instance,
                                  reinterpret_cast<void*>(dialogProc));
    if (!window) {
        if (menu) DestroyMenu(menu);
        return false;
    }
    const UINT dpi = dpiOf(window);
    templateFont_ = FontHandle(templateFont(*made, dpi));
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(templateFont_.get()), FALSE);
    const SIZE units = baseUnitsOf(templateFont_.get());
    auto x = [&](LONG value) { return MulDiv(value, units.cx, 4); };
    auto y = [&](LONG value) { return MulDiv(value, units.cy, 8); };

    const SIZE size = windowSizeFor(window, SIZE{x(made->units.cx), y(made->units.cy)}, dpi);
    POINT corner{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if ((made->style & DS_CENTER) && GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        const RECT& work = monitor.rcWork;
        corner = POINT{work.left + (work.right - work.left - size.cx) / 2,
                       work.top + (work.bottom - work.top - size.cy) / 2};
    }
    SetWindowPos(window, nullptr, corner.x, corner.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);

    for (const TemplateControl& control : made->controls) {
        const RECT& at = control.units;
        HWND child = CreateWindowExW(control.exStyle | WS_EX_NOPARENTNOTIFY, control.windowClass, control.text,
                                     control.style | WS_CHILD, x(at.left), y(at.top), x(at.right - at.left),
                                     y(at.bottom - at.top), window,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(control.id)), instance, nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(templateFont_.get()), FALSE);
    }
    SendMessageW(window, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(this));
    return window_ != nullptr;
}

void DialogWindow::showOverOwner(HWND owner, int focusId) {
    heldBack_.clear();
    Beside beside{owner, window_, &heldBack_};
    EnumThreadWindows(GetCurrentThreadId(), noteBeside, reinterpret_cast<LPARAM>(&beside));
    for (HWND other : heldBack_) EnableWindow(other, FALSE);
    EnableWindow(owner, FALSE);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(focusId)), TRUE);
}

// The owner first, so that it, not another program, becomes active again.
void DialogWindow::hideForOwner(HWND owner) {
    for (HWND other : heldBack_)
        if (IsWindow(other)) EnableWindow(other, TRUE);
    heldBack_.clear();
    EnableWindow(owner, TRUE);
    ShowWindow(window_, SW_HIDE);
}

void DialogWindow::onDpiChanged(UINT dpi, const RECT* suggested) { scaling_.apply(window_, dpi, suggested); }

INT_PTR CALLBACK DialogWindow::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        auto* self = reinterpret_cast<DialogWindow*>(lParam);
        self->window_ = window;
        self->scaling_.noteCreation(window);
        keepDpiLayoutToCode(window);
    }
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_DPICHANGED) {
        self->onDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return TRUE;
    }
    const INT_PTR result = self->onMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->window_ = nullptr;
    }
    return result;
}

}  // namespace velmora
