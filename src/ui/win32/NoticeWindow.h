#pragma once
#include <string>

#include "ui/win32/DialogWindow.h"

namespace velmora {

// The small "Working..." window shown while a command runs. Created on
// first use, then only shown and hidden.
class NoticeWindow : public DialogWindow {
public:
    void show(HINSTANCE instance, HWND owner, const std::string& text);
    void hide();

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace velmora
