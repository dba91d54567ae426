#include "ProcrunStore.h"

#include "ProcrunCommand.h"

namespace velmora::wrapper {

std::string procrunKeyPath(const std::string& serviceName) {
    return "SOFTWARE\\Apache Software Foundation\\Procrun 2.0\\" + serviceName;
}

namespace {
std::string parametersPath(const std::string& serviceName) { return procrunKeyPath(serviceName) + "\\Parameters"; }
}  // namespace

DWORD storeOptions(const std::string& serviceName, const std::vector<std::pair<std::string, std::string>>& options) {
    HKEY key = nullptr;
    DWORD error = RegCreateKeyExA(HKEY_LOCAL_MACHINE, parametersPath(serviceName).c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &key, nullptr);
    if (error != ERROR_SUCCESS) return error;
    for (const auto& [name, value] : options) {
        error = RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>(value.size() + 1));
        if (error != ERROR_SUCCESS) break;
    }
    RegCloseKey(key);
    return error;
}

std::map<std::string, std::string> storedOptions(const std::string& serviceName) {
    std::map<std::string, std::string> options;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, parametersPath(serviceName).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return options;
    char name[256];
    std::string data(32768, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = sizeof name;
        DWORD dataLength = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG status = RegEnumValueA(key, index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data.data()), &dataLength);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_SUCCESS && type == REG_SZ)
            options[std::string(name, nameLength)] = std::string(data.data(), dataLength).c_str();
    }
    RegCloseKey(key);
    return options;
}

DWORD removeStoredOptions(const std::string& serviceName) {
    const LONG status = RegDeleteTreeA(HKEY_LOCAL_MACHINE, procrunKeyPath(serviceName).c_str());
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
    return launch;
}

}  // namespace velmora::wrapper
