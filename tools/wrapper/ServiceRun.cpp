#include "ServiceRun.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ExitCodes.h"
#include "LaunchAccount.h"
#include "LaunchParameters.h"
#include "ServiceControl.h"
#include "StandInJvm.h"
#include "TextFile.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

namespace velmora::wrapper {

namespace {

// The service manager's callbacks take no context of their own.
LaunchReader launchReader = readLaunchParameters;

struct RunningService {
    SERVICE_STATUS_HANDLE statusHandle = nullptr;
    Handle stopped;
    LaunchParameters parameters;
    std::string accountPath;
    std::atomic<StandInTomcat*> tomcat{nullptr};
    std::vector<Handle> held;  // the current logs, open while it runs
};

void report(const RunningService& service, DWORD state, DWORD exitCode = NO_ERROR, DWORD specificCode = 0) {
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted =
        state == SERVICE_RUNNING || state == SERVICE_START_PENDING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    status.dwWin32ExitCode = exitCode;
    status.dwServiceSpecificExitCode = specificCode;
    status.dwWaitHint = state == SERVICE_START_PENDING ? 2000 : 0;
    SetServiceStatus(service.statusHandle, &status);
}

DWORD WINAPI handleControl(DWORD control, DWORD, LPVOID, LPVOID context) {
    auto& service = *static_cast<RunningService*>(context);
    switch (control) {
        case SERVICE_CONTROL_STOP:
        case SERVICE_CONTROL_SHUTDOWN: {
            // standin-ignores-stop.txt: the seconds Tomcat goes on after a stop, until the wrapper ends it.
            if (const auto ignored = standInSetting("standin-ignores-stop.txt")) {
                report(service, SERVICE_STOP_PENDING);
                const DWORD ms = 1000 * static_cast<DWORD>(std::strtoul(ignored->c_str(), nullptr, 10));
                std::thread([&service, ms] {
                    Sleep(ms);
                    wrapperLog(service.parameters, "error", {"Tomcat did not stop in time; the JVM is ended"});
                    service.held.clear();
                    report(service, SERVICE_STOPPED);
                    SetEvent(service.stopped.get());
                }).detach();
                return NO_ERROR;
            }
            // Stopping takes a few lines, so it is done before the control returns:
            // Wine's ControlService, and so its net stop, does not wait for more.
            if (StandInTomcat* tomcat = service.tomcat.load()) tomcat->shutDown();
            service.held.clear();
            if (!service.accountPath.empty()) appendLines(service.accountPath, {stopAccount(service.parameters)});
            report(service, SERVICE_STOPPED);
            SetEvent(service.stopped.get());
            return NO_ERROR;
        }
        case SERVICE_CONTROL_INTERROGATE: return NO_ERROR;
        default: return ERROR_CALL_NOT_IMPLEMENTED;
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

// A test's set-up for a Tomcat that never finishes starting, which nothing
// real makes happen under Wine: this file beside the program.
bool toldToHang() {
    const std::string own = ownExecutablePath();
    const std::string flag = own.substr(0, own.find_last_of('\\') + 1) + "standin-hangs.txt";
    return GetFileAttributesW(wide(flag).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The wrapper holds System.out, System.err and its own log of the day open
// while the service runs, and Tomcat its log of the day.
void holdCurrentLogs(RunningService& service) {
    const LaunchParameters& launch = service.parameters;
    std::vector<std::string> paths = {launch.outFile, launch.errFile, launch.wrapperLog};
    for (const auto& option : launch.jvmOptions)
        if (option.rfind("-Dcatalina.base=", 0) == 0)
            paths.push_back(option.substr(16) + "\\logs\\catalina." + today("%04u-%02u-%02u") + ".log");
    for (const auto& path : paths)
        if (Handle file = holdForWriting(path)) service.held.push_back(std::move(file));
}

void WINAPI serviceMain(DWORD argc, LPWSTR* argv) {
    const std::string serviceName = narrow(argc > 0 ? argv[0] : nullptr);
    RunningService service;
    service.stopped.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const DWORD eventError = service.stopped ? NO_ERROR : GetLastError();
    service.statusHandle = RegisterServiceCtrlHandlerExW(wide(serviceName).c_str(), handleControl, &service);
    if (!service.statusHandle || !service.stopped) {
        if (service.statusHandle) report(service, SERVICE_STOPPED, eventError);
        return;
    }

    // Wine's StartService, and so its net start, returns on the first status:
    // it is sent once the account is complete and the JVM came up or not.
    service.parameters = launchReader(serviceName);
    if (toldToHang()) {
        report(service, SERVICE_START_PENDING);
        WaitForSingleObject(service.stopped.get(), INFINITE);
        return;
    }
    service.accountPath = writeLaunchAccount(serviceName, service.parameters);
    // A service made by hand with none of the wrapper's values stands for some
    // other program of the same file: it just runs.
    const bool launchesJvm = !service.parameters.jvmLibrary.empty();
    if (const auto failure = launchesJvm ? createJvm(service.parameters) : std::nullopt) {
        report(service, SERVICE_STOPPED, failure->exitCode, failure->serviceSpecificCode);
        return;
    }
    report(service, SERVICE_RUNNING);

    std::optional<StandInTomcat> tomcat;
    if (launchesJvm) tomcat.emplace(service.parameters);
    if (tomcat && tomcat->running()) holdCurrentLogs(service);
    if (!tomcat || tomcat->running()) {
        if (tomcat) service.tomcat = &*tomcat;
        WaitForSingleObject(service.stopped.get(), INFINITE);
        service.tomcat = nullptr;
    } else {
        report(service, SERVICE_STOPPED);
    }
}

}  // namespace

int runService(const std::string& serviceName, LaunchReader readParameters) {
    launchReader = readParameters;
    std::wstring name = wide(serviceName);
    SERVICE_TABLE_ENTRYW table[] = {{name.data(), serviceMain}, {nullptr, nullptr}};
    if (!StartServiceCtrlDispatcherW(table)) return failureExitCode(GetLastError());
    return 0;
}

}  // namespace velmora::wrapper
