#include "platform/win32/Win32Services.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <functional>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemFailure.h"
#include "platform/win32/WideText.h"

namespace velmora {

namespace {

// The service's configuration, in whole records so that the buffer is aligned for the one at its start.
using ConfigRecord = std::vector<QUERY_SERVICE_CONFIGW>;

std::variant<ConfigRecord, Failure> queryConfiguration(SC_HANDLE service) {
    DWORD needed = 0;
    QueryServiceConfigW(service, nullptr, 0, &needed);
    ConfigRecord buffer(needed / sizeof(QUERY_SERVICE_CONFIGW) + 1);
    if (!QueryServiceConfigW(service, buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(QUERY_SERVICE_CONFIGW)),
                             &needed))
        return lastErrorFailure("QueryServiceConfigW");
    return buffer;
}

}  // namespace

// Starting, pausing and paused all count as started; only stopped does not.
std::variant<bool, Failure> Win32Services::isStarted(const std::string& serviceName) {
    const auto asked = state(serviceName);
    if (const auto* failure = std::get_if<Failure>(&asked)) return *failure;
    return std::get<ServiceState>(asked).state != RunState::Stopped;
}

namespace {

// When the process was created; 0 when it cannot be asked.
FileTime processStartTime(DWORD processId) {
    if (processId == 0) return 0;
    const Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!process || !GetProcessTimes(process.get(), &created, &exited, &kernel, &user)) return 0;
    return (FileTime{created.dwHighDateTime} << 32) | created.dwLowDateTime;
}

}  // namespace

std::variant<ServiceState, Failure> Win32Services::state(const std::string& serviceName) {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return lastErrorFailure("OpenSCManagerW");
    const ServiceHandle service(OpenServiceW(manager.get(), wide(serviceName).c_str(), SERVICE_QUERY_STATUS));
    if (!service) return lastErrorFailure("OpenServiceW");
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    if (!QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                              &needed))
        return lastErrorFailure("QueryServiceStatusEx");
    ServiceState found;
    switch (status.dwCurrentState) {
        case SERVICE_STOPPED: found.state = RunState::Stopped; break;
        case SERVICE_START_PENDING: found.state = RunState::StartPending; break;
        case SERVICE_STOP_PENDING: found.state = RunState::StopPending; break;
        case SERVICE_RUNNING: found.state = RunState::Running; break;
        case SERVICE_CONTINUE_PENDING: found.state = RunState::ContinuePending; break;
        case SERVICE_PAUSE_PENDING: found.state = RunState::PausePending; break;
        case SERVICE_PAUSED: found.state = RunState::Paused; break;
        default: found.state = RunState::Other; break;
    }
    found.exitCode = status.dwWin32ExitCode;
    found.serviceExitCode = status.dwServiceSpecificExitCode;
    found.processId = status.dwProcessId;
    found.processStartedAt = processStartTime(status.dwProcessId);
    return found;
}

namespace {

// A QUERY_SERVICE_CONFIG2W answer in a buffer of its own size, aligned for the record.
template <typename Record>
std::optional<std::vector<Record>> queryConfig2(SC_HANDLE service, DWORD level) {
    DWORD needed = 0;
    QueryServiceConfig2W(service, level, nullptr, 0, &needed);
    std::vector<Record> buffer(needed / sizeof(Record) + 1);
    if (!QueryServiceConfig2W(service, level, reinterpret_cast<BYTE*>(buffer.data()),
                              static_cast<DWORD>(buffer.size() * sizeof(Record)), &needed))
        return std::nullopt;
    return buffer;
}

// Entries each ended by a NUL, the list by one more.
std::wstring doubleNulList(const std::vector<std::string>& entries) {
    std::wstring list;
    for (const auto& entry : entries) list += wide(entry) + L'\0';
    return list + L'\0';
}

bool isBuiltIn(const std::string& account) {
    return account == "LocalSystem" || account.rfind("NT AUTHORITY\\", 0) == 0;
}

}  // namespace

std::variant<ServiceConfiguration, Failure> Win32Services::configuration(const std::string& serviceName) {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return lastErrorFailure("OpenSCManagerW");
    const ServiceHandle service(OpenServiceW(manager.get(), wide(serviceName).c_str(), SERVICE_QUERY_CONFIG));
    if (!service) return lastErrorFailure("OpenServiceW");
    auto queried = queryConfiguration(service.get());
    if (const Failure* failure = std::get_if<Failure>(&queried)) return *failure;
    const QUERY_SERVICE_CONFIGW* config = std::get<ConfigRecord>(queried).data();

    ServiceConfiguration found;
    found.programLine = narrow(config->lpBinaryPathName);
    found.displayName = narrow(config->lpDisplayName);
    if (auto description = queryConfig2<SERVICE_DESCRIPTIONW>(service.get(), SERVICE_CONFIG_DESCRIPTION))
        found.description = description->front().lpDescription ? narrow(description->front().lpDescription) : "";
    found.startType = config->dwStartType == SERVICE_AUTO_START ? StartType::Automatic
                      : config->dwStartType == SERVICE_DISABLED ? StartType::Disabled
                                                                : StartType::Manual;
    found.account = narrow(config->lpServiceStartName);
    for (const wchar_t* entry = config->lpDependencies; entry && *entry; entry += wcslen(entry) + 1)
        found.dependencies.push_back(narrow(entry));
    if (auto delayed =
            queryConfig2<SERVICE_DELAYED_AUTO_START_INFO>(service.get(), SERVICE_CONFIG_DELAYED_AUTO_START_INFO))
        found.delayedStart = delayed->front().fDelayedAutostart != FALSE;
    if (auto failure = queryConfig2<SERVICE_FAILURE_ACTIONSW>(service.get(), SERVICE_CONFIG_FAILURE_ACTIONS)) {
        const SERVICE_FAILURE_ACTIONSW& actions = failure->front();
        found.resetPeriodSeconds = actions.dwResetPeriod;
        for (DWORD i = 0; i < actions.cActions; ++i)
            found.failureActions.push_back(
                {actions.lpsaActions[i].Type == SC_ACTION_RESTART, actions.lpsaActions[i].Delay});
    }
    if (auto flag = queryConfig2<SERVICE_FAILURE_ACTIONS_FLAG>(service.get(), SERVICE_CONFIG_FAILURE_ACTIONS_FLAG))
        found.failureActionsOnNonCrash = flag->front().fFailureActionsOnNonCrashFailures != FALSE;
    return found;
}

std::vector<SettingFailure> Win32Services::configure(const std::string& serviceName, const ServiceConfiguration& wanted,
                                                     const std::string& password,
                                                     const std::vector<ServiceSetting>& settings) {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return eachRefused(settings, lastErrorFailure("OpenSCManagerW"));
    // Restarting after a failure needs the right to start the service too.
    const ServiceHandle service(OpenServiceW(manager.get(), wide(serviceName).c_str(),
                                             SERVICE_CHANGE_CONFIG | SERVICE_QUERY_CONFIG | SERVICE_START));
    if (!service) return eachRefused(settings, lastErrorFailure("OpenServiceW"));
    std::vector<SettingFailure> refused;
    auto named = [&](ServiceSetting setting) {
        return std::find(settings.begin(), settings.end(), setting) != settings.end();
    };
    // Each call is made only for a part that is named: a part left alone is not refused.
    auto change = [&](ServiceSetting setting, const char* call, const std::function<BOOL()>& call_) {
        if (named(setting) && !call_()) refused.push_back({setting, lastErrorFailure(call)});
    };
    auto changeConfig = [&](ServiceSetting setting, DWORD startType, const wchar_t* dependencies,
                            const wchar_t* account, const wchar_t* secret) {
        change(setting, "ChangeServiceConfigW", [&] {
            return ChangeServiceConfigW(service.get(), SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE, nullptr,
                                        nullptr, nullptr, dependencies, account, secret, nullptr);
        });
    };
    changeConfig(ServiceSetting::StartType, static_cast<DWORD>(wanted.startType), nullptr, nullptr, nullptr);
    const std::wstring displayName = wide(wanted.displayName), description = wide(wanted.description);
    change(ServiceSetting::DisplayName, "ChangeServiceConfigW", [&] {
        return ChangeServiceConfigW(service.get(), SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, nullptr,
                                    nullptr, nullptr, nullptr, nullptr, nullptr, displayName.c_str());
    });
    // Through the service manager, which then reports it itself.
    SERVICE_DESCRIPTIONW describing{const_cast<wchar_t*>(description.c_str())};
    change(ServiceSetting::Description, "ChangeServiceConfig2W",
           [&] { return ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, &describing); });
    const std::wstring dependencies = doubleNulList(wanted.dependencies);
    changeConfig(ServiceSetting::Dependencies, SERVICE_NO_CHANGE, dependencies.c_str(), nullptr, nullptr);
    // The built-in accounts take an empty password, a virtual or managed
    // service account none at all (NULL); a named one keeps its own when none is given.
    const std::wstring account = wide(wanted.account), secret = wide(password);
    const wchar_t* passwordGiven = isBuiltIn(wanted.account) ? L"" : password.empty() ? nullptr : secret.c_str();
    changeConfig(ServiceSetting::Account, SERVICE_NO_CHANGE, nullptr, account.c_str(), passwordGiven);

    SERVICE_DELAYED_AUTO_START_INFO delayed{wanted.delayedStart ? TRUE : FALSE};
    change(ServiceSetting::DelayedStart, "ChangeServiceConfig2W",
           [&] { return ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_DELAYED_AUTO_START_INFO, &delayed); });
    std::vector<SC_ACTION> actions;
    for (const FailureAction& action : wanted.failureActions)
        actions.push_back({action.restart ? SC_ACTION_RESTART : SC_ACTION_NONE, action.delayMs});
    SERVICE_FAILURE_ACTIONSW failureActions{};
    failureActions.dwResetPeriod = wanted.resetPeriodSeconds;
    failureActions.cActions = static_cast<DWORD>(actions.size());
    failureActions.lpsaActions = actions.data();
    change(ServiceSetting::FailureActions, "ChangeServiceConfig2W",
           [&] { return ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_FAILURE_ACTIONS, &failureActions); });
    SERVICE_FAILURE_ACTIONS_FLAG flag{wanted.failureActionsOnNonCrash ? TRUE : FALSE};
    change(ServiceSetting::FailureActionsOnNonCrash, "ChangeServiceConfig2W",
           [&] { return ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_FAILURE_ACTIONS_FLAG, &flag); });
    SecureZeroMemory(const_cast<wchar_t*>(secret.data()), secret.size() * sizeof(wchar_t));
    return refused;
}

MaybeFailure Win32Services::setProgramLine(const std::string& serviceName, const std::string& programLine) {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return lastErrorFailure("OpenSCManagerW");
    const ServiceHandle service(OpenServiceW(manager.get(), wide(serviceName).c_str(), SERVICE_CHANGE_CONFIG));
    if (!service) return lastErrorFailure("OpenServiceW");
    if (!ChangeServiceConfigW(service.get(), SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE,
                              wide(programLine).c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr))
        return lastErrorFailure("ChangeServiceConfigW");
    return std::nullopt;
}

ServiceLookup Win32Services::binaryPath(const std::string& serviceName) {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return lastErrorFailure("OpenSCManagerW");
    const ServiceHandle service(OpenServiceW(manager.get(), wide(serviceName).c_str(), SERVICE_QUERY_CONFIG));
    if (!service) {
        const DWORD error = GetLastError();
        if (error == ERROR_SERVICE_DOES_NOT_EXIST) return std::optional<std::string>();
        return systemFailure("OpenServiceW", error);
    }
    auto queried = queryConfiguration(service.get());
    if (const Failure* failure = std::get_if<Failure>(&queried)) return *failure;
    return std::optional<std::string>(narrow(std::get<ConfigRecord>(queried).data()->lpBinaryPathName));
}

std::variant<std::vector<std::string>, Failure> Win32Services::serviceNames() {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
    if (!manager) return lastErrorFailure("OpenSCManagerW");
    std::vector<std::string> names;
    // The answer comes in as many parts as the buffer needs; the handle says where the next begins.
    std::vector<ENUM_SERVICE_STATUS_PROCESSW> buffer(256);
    DWORD resume = 0;
    for (;;) {
        DWORD needed = 0, returned = 0;
        const BOOL all = EnumServicesStatusExW(manager.get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_STATE_ALL,
                                               reinterpret_cast<BYTE*>(buffer.data()),
                                               static_cast<DWORD>(buffer.size() * sizeof(ENUM_SERVICE_STATUS_PROCESSW)),
                                               &needed, &returned, &resume, nullptr);
        const DWORD error = all ? ERROR_SUCCESS : GetLastError();
        if (!all && error != ERROR_MORE_DATA) return systemFailure("EnumServicesStatusExW", error);
        for (DWORD i = 0; i < returned; ++i) names.push_back(narrow(buffer[i].lpServiceName));
        if (all) return names;
        if (returned == 0) buffer.resize(needed / sizeof(ENUM_SERVICE_STATUS_PROCESSW) + 1);
    }
}

}  // namespace velmora
