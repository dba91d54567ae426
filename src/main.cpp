#include <windows.h>

#include <commctrl.h>

#include <string>

#include "config/DoConfig.h"
#include "platform/win32/Win32Platform.h"
#include "ui/DebugLog.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/MessageLoop.h"
#include "ui/win32/ResourceIds.h"
#include "ui/win32/Version.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace velmora;

    INITCOMMONCONTROLSEX commonControls{sizeof commonControls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);

    Win32Platform system;
    DebugLog debugLog(system.files);
    MainWindow window(instance, debugLog);
    if (!window.create()) return 1;
    system.messageBoxes.setOwner(window.handle());
    DoConfig config(system.platform, window);
    window.attach(config);

    window.setCaption(std::string(kProductName) + " - " + versionText());
    debugLog.start(system.environment, system.messageBoxes);
    config.newConfiguration();
    window.show();

    HACCEL shortcuts = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_MAIN_ACCELERATORS));
    return runMessageLoop(window.handle(), shortcuts);
}
