#include <windows.h>

#include <commctrl.h>

#include "app/Program.h"
#include "app/Version.h"
#include "platform/win32/Win32Platform.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/MessageLoop.h"
#include "ui/win32/ResourceIds.h"
#include "ui/win32/WindowText.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    using namespace velmora;

    INITCOMMONCONTROLSEX commonControls{sizeof commonControls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);

    Win32Platform system;
    DebugLog debugLog(system.files);
    MainWindow window(instance, system.files);
    if (!window.create()) return 1;
    Program program(system.platform, window, debugLog, SetterChecks::OnceStored);
    window.attach(program);

    setTextOf(window.handle(), std::string(kProductName) + " - " + versionText());
    if (std::string problem = debugLog.start(system.environment); !problem.empty()) window.warn(problem);
    program.session.newConfiguration();
    window.show();

    HACCEL shortcuts = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS));
    return runMessageLoop(window.handle(), shortcuts);
}
