#pragma once
#include <windows.h>

namespace velmora {

// The program's one message loop. The main window's shortcuts come first,
// so Ctrl+X and the rest win over a text box's own editing keys; then the
// dialog keys (Tab, arrows) of whichever dialog the message is for.
int runMessageLoop(HWND mainWindow, HACCEL shortcuts);

}  // namespace velmora
