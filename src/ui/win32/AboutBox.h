#pragma once
#include "ui/win32/DialogWindow.h"
#include "ui/win32/Fonts.h"

namespace velmora {

// "About Velmora": modeless, at most one at a time; OK or the close box discards it.
class AboutBox : public DialogWindow {
public:
    // Brings the open box to the front, or creates and loads a new one.
    void show(HINSTANCE instance, HWND owner);

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onDpiChanged(UINT dpi, const RECT* suggested) override;
    void useTitleFont();

    FontHandle titleFont_;
};

}  // namespace velmora
