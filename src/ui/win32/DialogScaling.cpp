#include "ui/win32/DialogScaling.h"

#include <algorithm>

#include "ui/win32/Dpi.h"

namespace velmora {

namespace {

bool isComboBox(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return lstrcmpiW(name, L"ComboBox") == 0;
}

}  // namespace

SIZE baseUnitsOf(HFONT font) {
    const ScreenDc screen(GetDC(nullptr));
    HGDIOBJ previous = SelectObject(screen.get(), font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.get(), &metrics);
    static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE letters{};
    GetTextExtentPoint32W(screen.get(), kLetters, 52, &letters);
    SelectObject(screen.get(), previous);
    return SIZE{(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

int templateHeightOf(HINSTANCE instance, int templateId) {
    const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5));  // RT_DIALOG
    const HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const auto* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    if (!words) return 0;
    // DLGTEMPLATEEX (its second word 0xFFFF) holds cy at word 12, DLGTEMPLATE at word 8.
    return static_cast<short>(words[words[1] == 0xFFFF ? 12 : 8]);
}

int clientHeightNeeded(HWND dialog, int templateHeight) {
    RECT client{};
    GetClientRect(dialog, &client);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    return std::max(static_cast<int>(client.bottom), MulDiv(templateHeight, baseUnitsOf(font).cy, 8));
}

// A dialog made again (About) is measured again: the places noted were its last window's.
void DialogScaling::noteCreation(HWND dialog, int templateHeight) {
    dpi_ = dpiOf(dialog);
    templateHeight_ = templateHeight;
    places_.clear();
}

void DialogScaling::capture(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        // A combo box's window is its closed height; its size counts the list below it.
        RECT dropped{};
        if (isComboBox(child) && SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)))
            rect.bottom = rect.top + (dropped.bottom - dropped.top);
        places_.push_back({child, rect});
    }
    RECT client{};
    GetClientRect(dialog, &client);
    auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    GetObjectW(font, sizeof font_, &font_);
    baseUnits_ = baseUnitsOf(font);
    client_ = SIZE{client.right, clientHeightNeeded(dialog, templateHeight_)};
}

void DialogScaling::apply(HWND dialog, UINT dpi, const RECT* suggested) {
    if (places_.empty()) capture(dialog);
    // The template's point size at the new DPI, as the dialog manager would make it.
    LOGFONTW look = font_;
    look.lfHeight = -MulDiv(MulDiv(-font_.lfHeight, 72, static_cast<int>(dpi_)), static_cast<int>(dpi), 72);
    scaledFont_ = FontHandle(CreateFontIndirectW(&look));
    const SIZE units = baseUnitsOf(scaledFont_.get());
    auto x = [&](LONG value) { return MulDiv(value, units.cx, baseUnits_.cx); };
    auto y = [&](LONG value) { return MulDiv(value, units.cy, baseUnits_.cy); };

    SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(scaledFont_.get()), FALSE);
    HDWP moves = BeginDeferWindowPos(static_cast<int>(places_.size()));
    for (const Place& place : places_) {
        SendMessageW(place.child, WM_SETFONT, reinterpret_cast<WPARAM>(scaledFont_.get()), FALSE);
        const RECT& r = place.rect;
        if (moves)
            moves = DeferWindowPos(moves, place.child, nullptr, x(r.left), y(r.top), x(r.right) - x(r.left),
                                   y(r.bottom) - y(r.top), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (moves) EndDeferWindowPos(moves);
    const SIZE window = windowSizeFor(dialog, SIZE{x(client_.cx), y(client_.cy)}, dpi);
    const UINT keepPlace = suggested ? 0 : SWP_NOMOVE;
    SetWindowPos(dialog, nullptr, suggested ? suggested->left : 0, suggested ? suggested->top : 0, window.cx, window.cy,
                 keepPlace | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace velmora
