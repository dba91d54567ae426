#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Drives the windows of another process the way a user would, through
// messages that the program's own message loop and handlers process. Texts
// are UTF-8 here and wide in the messages.
namespace velmora::e2e {

constexpr int kDefaultWaitMs = 20000;

// Polls until the condition holds; false when it did not within the time.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = kDefaultWaitMs);

// Visible top-level windows of a process, with this title when one is given.
std::vector<HWND> topWindows(DWORD processId, const std::string& title = "");
HWND findTopWindow(DWORD processId, const std::string& title);
// A top-level window of the process of this class, visible or not.
HWND findWindowOfClass(DWORD processId, const std::string& windowClass);

// A control's text, asked of the control itself.
std::string windowText(HWND window);
// A window's own caption as the system keeps it: needs no answer from the
// program, so it works while the program waits for a command.
std::string windowTitle(HWND window);
void setWindowText(HWND window, const std::string& text);
std::string className(HWND window);

// The control of that window's thread that has the keyboard focus.
HWND focusedWindow(HWND anyWindowOfThread);

// Moves the focus to a control of a dialog, as a click or Tab would.
void focusControl(HWND dialog, HWND control);
void pressTab(HWND control);
// Ctrl+key, with the Ctrl key held in the thread's keyboard state, so that
// the program's own accelerator translation sees it.
void pressControlKey(HWND control, char key);

void click(HWND button);
void postCommand(HWND window, int commandId);
bool isChecked(HWND button);

std::vector<std::string> listItems(HWND listBox);
std::vector<std::string> comboItems(HWND comboBox);

// The message text of a standard message box.
std::string messageBoxText(HWND box);
// A message box of the process with this title, once it shows (null when
// none came in time).
HWND waitForMessageBox(DWORD processId, const std::string& title);
// Presses a button (IDOK, IDCANCEL, IDYES, IDNO) of the box with this title
// and returns the box's text; empty when no such box came.
std::string answerMessageBox(DWORD processId, const std::string& title, int button);

// Loads a library into a running process, as its own LoadLibrary would.
bool loadLibraryInto(DWORD processId, const std::string& path);

// Saves what the screen shows under these windows, as a 24-bit BMP.
bool saveScreenshot(const std::vector<HWND>& windows, const std::string& path);

}  // namespace velmora::e2e
