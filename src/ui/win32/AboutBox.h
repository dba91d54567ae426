#pragma once
#include <windows.h>

#include "ui/win32/Fonts.h"

namespace velmora {

// frmAbout: modeless, at most one at a time; OK or the close box discards it.
class AboutBox {
public:
    AboutBox() = default;
    AboutBox(const AboutBox&) = delete;
    AboutBox& operator=(const AboutBox&) = delete;
    ~AboutBox();

    // Brings the open box to the front, or creates and loads a new one.
    void show(HINSTANCE instance, HWND owner);

private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void load();

    HWND window_ = nullptr;
    FontHandle titleFont_;
};

}  // namespace velmora
