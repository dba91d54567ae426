#include "ServiceRun.h"

#include <windows.h>

#include <string>

#include "ExitCodes.h"
#include "LaunchAccount.h"
#include "LaunchParameters.h"
#include "TextFile.h"

namespace velmora::wrapper {

namespace {

constexpr DWORD pendingWaitHintMs = 5000;

struct RunningService {
    SERVICE_STATUS_HANDLE statusHandle = nullptr;
    HANDLE stopRequested = nullptr;
};

void report(const RunningService& service, DWORD state, DWORD exitCode = NO_ERROR) {
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    status.dwWin32ExitCode = exitCode;
    status.dwWaitHint = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING ? pendingWaitHintMs : 0;
    SetServiceStatus(service.statusHandle, &status);
}

DWORD WINAPI handleControl(DWORD control, DWORD, LPVOID, LPVOID context) {
    auto& service = *static_cast<RunningService*>(context);
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
        report(service, SERVICE_STOP_PENDING);
        SetEvent(service.stopRequested);
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

// The real wrapper sends the JVM's output to the System.out file and its
// errors to the System.err file; the account goes to the first that opens.
std::string writeLaunchAccount(const std::string& serviceName, const LaunchParameters& parameters) {
    auto lines = launchAccount(serviceName, parameters);
    for (const auto& path : {parameters.outFile, parameters.errFile})
        if (replaceWithLines(path, lines)) return path;
    return {};
}

void WINAPI serviceMain(DWORD argc, LPSTR* argv) {
    std::string serviceName = argc > 0 && argv[0] ? argv[0] : "";
    RunningService service;
    service.stopRequested = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    service.statusHandle = RegisterServiceCtrlHandlerExA(serviceName.c_str(), handleControl, &service);
    if (!service.statusHandle || !service.stopRequested) {
        if (service.statusHandle) report(service, SERVICE_STOPPED, GetLastError());
        if (service.stopRequested) CloseHandle(service.stopRequested);
        return;
    }

    // Running is reported only once the account is written, so whoever
    // waited for the start finds it complete.
    report(service, SERVICE_START_PENDING);
    auto parameters = readLaunchParameters(serviceName);
    auto accountPath = writeLaunchAccount(serviceName, parameters);
    report(service, SERVICE_RUNNING);

    WaitForSingleObject(service.stopRequested, INFINITE);
    if (!accountPath.empty()) appendLines(accountPath, {stopAccount(parameters)});
    report(service, SERVICE_STOPPED);
    CloseHandle(service.stopRequested);
}

}  // namespace

int runService(const ServiceCommand& command) {
    std::string name = command.serviceName;
    SERVICE_TABLE_ENTRYA table[] = {{name.data(), serviceMain}, {nullptr, nullptr}};
    if (!StartServiceCtrlDispatcherA(table)) return failureExitCode(GetLastError());
    return 0;
}

}  // namespace velmora::wrapper
