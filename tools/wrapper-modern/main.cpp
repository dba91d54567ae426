// A stand-in for the Tomcat 7-11 service wrapper bin\tomcat<N>.exe, for tests
// and the demo; never shipped.
#include <windows.h>

#include <cstdio>
#include <string>
#include <variant>
#include <vector>

#include "ExitCodes.h"
#include "ProcrunCommand.h"
#include "ProcrunStore.h"
#include "ServiceControl.h"
#include "ServiceRun.h"
#include "TextFile.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

using namespace velmora::wrapper;

namespace {

std::string optionValue(const ProcrunCommand& command, const std::string& name, const std::string& otherwise) {
    std::string value = otherwise;
    for (const auto& [option, given] : command.options)
        if (option == name) value = given;
    return value;
}

DWORD describeService(const std::string& serviceName, const std::string& description) {
    const velmora::ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return GetLastError();
    const velmora::ServiceHandle service(
        OpenServiceW(manager.get(), velmora::wide(serviceName).c_str(), SERVICE_CHANGE_CONFIG));
    if (!service) return GetLastError();
    std::wstring text = velmora::wide(description);
    SERVICE_DESCRIPTIONW info{text.data()};
    return ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, &info) ? ERROR_SUCCESS : GetLastError();
}

// --Startup as the wrapper takes it: auto, delayed (automatic, after the others) or manual.
DWORD setStartup(const std::string& serviceName, const std::string& startup) {
    const velmora::ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return GetLastError();
    const velmora::ServiceHandle service(
        OpenServiceW(manager.get(), velmora::wide(serviceName).c_str(), SERVICE_CHANGE_CONFIG));
    if (!service) return GetLastError();
    const bool automatic = startup == "auto" || startup == "delayed";
    if (!ChangeServiceConfigW(service.get(), SERVICE_NO_CHANGE, automatic ? SERVICE_AUTO_START : SERVICE_DEMAND_START,
                              SERVICE_NO_CHANGE, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr))
        return GetLastError();
    SERVICE_DELAYED_AUTO_START_INFO delayed{startup == "delayed" ? TRUE : FALSE};
    // A service manager without delayed starts (Wine's) keeps it automatic.
    (void)ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_DELAYED_AUTO_START_INFO, &delayed);
    return ERROR_SUCCESS;
}

// What the service manager keeps of the options: the description, the start-up type.
DWORD configureService(const ProcrunCommand& command) {
    DWORD error = ERROR_SUCCESS;
    for (const auto& [option, value] : command.options) {
        if (option == "Description") error = describeService(command.serviceName, value);
        if (option == "Startup") error = setStartup(command.serviceName, value);
        if (error != ERROR_SUCCESS) return error;
    }
    return error;
}

DWORD install(const ProcrunCommand& command) {
    const std::string ownPath = ownExecutablePath();
    const std::string binaryPath = "\"" + ownPath + "\" //RS//" + command.serviceName;
    DWORD error =
        createDemandService(command.serviceName, optionValue(command, "DisplayName", command.serviceName), binaryPath);
    if (error == ERROR_SUCCESS) error = storeOptions(command.serviceName, command.options);
    if (error == ERROR_SUCCESS) error = configureService(command);
    return error;
}

DWORD update(const ProcrunCommand& command) {
    // Only a service that exists is updated.
    const velmora::ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return GetLastError();
    if (!velmora::ServiceHandle(
            OpenServiceW(manager.get(), velmora::wide(command.serviceName).c_str(), SERVICE_QUERY_STATUS)))
        return GetLastError();
    DWORD error = configureService(command);
    if (error == ERROR_SUCCESS) error = storeOptions(command.serviceName, command.options);
    return error;
}

DWORD remove(const ProcrunCommand& command) {
    const DWORD error = stopAndDeleteService(command.serviceName);
    const DWORD keyError = removeStoredOptions(command.serviceName);
    return error != ERROR_SUCCESS ? error : keyError;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    noteRunForTests();
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(velmora::narrow(argv[i]));
    const auto parsed = parseProcrunArguments(arguments);
    if (const auto* usage = std::get_if<ProcrunUsageError>(&parsed)) {
        std::fprintf(stderr, "%s\nusage: //IS//<name> | //US//<name> [--Option value ...] | //DS//<name>\n",
                     usage->reason.c_str());
        return usageExitCode;
    }
    const auto& command = std::get<ProcrunCommand>(parsed);
    DWORD error = ERROR_SUCCESS;
    switch (command.verb) {
        case ProcrunCommand::Verb::Install: error = install(command); break;
        case ProcrunCommand::Verb::Update: error = update(command); break;
        case ProcrunCommand::Verb::Delete: error = remove(command); break;
        case ProcrunCommand::Verb::Run: return runService(command.serviceName, procrunLaunchParameters);
    }
    return error == ERROR_SUCCESS ? 0 : failureExitCode(error);
}
