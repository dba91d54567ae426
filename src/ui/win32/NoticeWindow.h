#pragma once
#include <windows.h>

#include <string>

namespace velmora {

// The small "Working..." window (dlg) shown while a blocking command runs.
// Created on first use, then only shown and hidden.
class NoticeWindow {
public:
    NoticeWindow() = default;
    NoticeWindow(const NoticeWindow&) = delete;
    NoticeWindow& operator=(const NoticeWindow&) = delete;

    // Shows the text and paints it now: no painting happens while the
    // command that follows blocks the thread.
    void show(HINSTANCE instance, HWND owner, const std::string& text);
    void hide();

private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};

}  // namespace velmora
