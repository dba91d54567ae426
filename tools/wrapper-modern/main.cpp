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
#include "ServiceHandle.h"
#include "ServiceRun.h"

using namespace velmora::wrapper;

namespace {

std::string optionValue(const ProcrunCommand& command, const std::string& name, const std::string& otherwise) {
    std::string value = otherwise;
    for (const auto& [option, given] : command.options)
        if (option == name) value = given;
    return value;
}

DWORD describeService(const std::string& serviceName, const std::string& description) {
    ServiceHandle manager{OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT)};
    if (!manager) return GetLastError();
    ServiceHandle service{OpenServiceA(manager.get(), serviceName.c_str(), SERVICE_CHANGE_CONFIG)};
    if (!service) return GetLastError();
    std::string text = description;
    SERVICE_DESCRIPTIONA info{text.data()};
    return ChangeServiceConfig2A(service.get(), SERVICE_CONFIG_DESCRIPTION, &info) ? ERROR_SUCCESS : GetLastError();
}

DWORD install(const ProcrunCommand& command) {
    const std::string ownPath = ownExecutablePath();
    const std::string binaryPath = "\"" + ownPath + "\" //RS//" + command.serviceName;
    DWORD error = createDemandService(command.serviceName, optionValue(command, "DisplayName", command.serviceName),
                                      binaryPath);
    if (error == ERROR_SUCCESS) error = storeOptions(command.serviceName, command.options);
    if (error == ERROR_SUCCESS) error = describeService(command.serviceName, optionValue(command, "Description", ""));
    return error;
}

DWORD update(const ProcrunCommand& command) {
    // Describing the service first also refuses a service that does not exist.
    const auto stored = storedOptions(command.serviceName);
    const auto kept = stored.find("Description");
    DWORD error = describeService(command.serviceName,
                                  optionValue(command, "Description", kept == stored.end() ? "" : kept->second));
    if (error == ERROR_SUCCESS) error = storeOptions(command.serviceName, command.options);
    return error;
}

DWORD remove(const ProcrunCommand& command) {
    const DWORD error = stopAndDeleteService(command.serviceName);
    const DWORD keyError = removeStoredOptions(command.serviceName);
    return error != ERROR_SUCCESS ? error : keyError;
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed = parseProcrunArguments(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
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
