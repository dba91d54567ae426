// otherservice: a service of some other vendor, for the tests that Velmora
// leaves it alone. Every run adds "run:<its arguments>" to <program>.log;
// run by the service manager it serves until told to stop, which adds "stop".
#include <windows.h>

#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Environment.h"

namespace {

SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE stopped = nullptr;

void note(const std::string& line) {
    wchar_t own[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH * 4);
    const velmora::Handle file(CreateFileW((std::wstring(own) + L".log").c_str(), FILE_APPEND_DATA,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr));
    const std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void report(DWORD state) {
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI control(DWORD code, DWORD, LPVOID, LPVOID) {
    if (code != SERVICE_CONTROL_STOP)
        return code == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
    note("stop");
    report(SERVICE_STOPPED);
    SetEvent(stopped);
    return NO_ERROR;
}

void WINAPI serviceMain(DWORD, LPWSTR* names) {
    statusHandle = RegisterServiceCtrlHandlerExW(names[0], control, nullptr);
    report(SERVICE_RUNNING);
    WaitForSingleObject(stopped, INFINITE);
}

}  // namespace

int wmain() {
    note("run:" + velmora::Win32Environment().commandLineArguments());
    stopped = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    wchar_t any[] = L"";
    SERVICE_TABLE_ENTRYW table[] = {{any, serviceMain}, {nullptr, nullptr}};
    StartServiceCtrlDispatcherW(table);
    return 0;
}
