#include "ProcrunStore.h"

#include "ProcrunCommand.h"
#include "StandInJvm.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Registry.h"

namespace velmora::wrapper {

std::string procrunKeyPath(const std::string& serviceName) {
    return "SOFTWARE\\Apache Software Foundation\\Procrun 2.0\\" + serviceName;
}

namespace {
std::string parametersPath(const std::string& serviceName) { return procrunKeyPath(serviceName) + "\\Parameters"; }
}  // namespace

DWORD storeOptions(const std::string& serviceName, const std::vector<std::pair<std::string, std::string>>& options) {
    // Each text with its terminating NUL (the registry layer writes it), as the wrapper stores it.
    std::vector<RegistryWrite> values;
    for (const auto& [name, value] : options) values.push_back(RegistryWrite::textValue(name, value));
    const MaybeFailure failure = Win32Registry().write(kLocalMachine, parametersPath(serviceName), values);
    return failure ? static_cast<DWORD>(failure->number) : ERROR_SUCCESS;
}

std::map<std::string, std::string> storedOptions(const std::string& serviceName) {
    Win32Registry registry;
    const std::string key = parametersPath(serviceName);
    const auto names = registry.contents(kLocalMachine, key).value_or(KeyContents{}).valueNames;
    const auto values = registry.readMany(kLocalMachine, key, names);
    std::map<std::string, std::string> options;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (values[i] && values[i]->type == kRegSz)
            options[names[i]] = values[i]->text.substr(0, values[i]->text.find('\0'));
    return options;
}

DWORD removeStoredOptions(const std::string& serviceName) {
    const LONG status = RegDeleteTreeW(HKEY_LOCAL_MACHINE, wide(procrunKeyPath(serviceName)).c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<DWORD>(status);
}

LaunchParameters procrunLaunchParameters(const std::string& serviceName) {
    auto options = storedOptions(serviceName);
    LaunchParameters launch;
    launch.jvmLibrary = options["Jvm"];
    launch.jvmOptions = splitProcrunList(options["JvmOptions"]);
    for (auto& option : splitProcrunList(options["JvmOptions9"])) launch.jvmOptions.push_back(std::move(option));
    if (!options["Classpath"].empty()) launch.jvmOptions.push_back("-Djava.class.path=" + options["Classpath"]);
    if (!options["JvmMs"].empty()) launch.jvmOptions.push_back("-Xms" + options["JvmMs"] + "m");
    if (!options["JvmMx"].empty()) launch.jvmOptions.push_back("-Xmx" + options["JvmMx"] + "m");
    if (!options["JvmSs"].empty()) launch.jvmOptions.push_back("-Xss" + options["JvmSs"] + "k");
    launch.startClass = options["StartClass"];
    launch.startMethod = options["StartMethod"].empty() ? "main" : options["StartMethod"];
    launch.startParams = splitProcrunList(options["StartParams"]);
    launch.stopClass = options["StopClass"];
    launch.stopMethod = options["StopMethod"].empty() ? "main" : options["StopMethod"];
    launch.stopParams = splitProcrunList(options["StopParams"]);
    launch.outFile = options["StdOutput"];
    launch.errFile = options["StdError"];
    const std::string prefix = options["LogPrefix"].empty() ? "commons-daemon" : options["LogPrefix"];
    if (!options["LogPath"].empty())
        launch.wrapperLog = options["LogPath"] + "\\" + prefix + "." + today("%04u-%02u-%02u") + ".log";
    return launch;
}

}  // namespace velmora::wrapper
