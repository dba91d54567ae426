#include "LaunchParameters.h"

#include <windows.h>

#include <algorithm>

namespace velmora::wrapper {

namespace {

// Guards against a damaged count keeping the service in start-up for ages.
constexpr DWORD maxListedValues = 1024;

std::string readString(HKEY key, const std::string& name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
    std::string data(size, '\0');
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return {};
    // The length the reading call returns is the true one; REG_SZ ends at its first NUL.
    data.resize(std::min<std::size_t>(size, data.size()));
    return data.substr(0, data.find('\0'));
}

DWORD readDword(HKEY key, const std::string& name) {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return 0;
    return value;
}

std::vector<std::string> readNumbered(HKEY key, const std::string& countName, const std::string& itemPrefix) {
    std::vector<std::string> items;
    DWORD count = std::min(readDword(key, countName), maxListedValues);
    for (DWORD n = 0; n < count; ++n) items.push_back(readString(key, itemPrefix + std::to_string(n)));
    return items;
}

}  // namespace

std::string serviceKeyPath(const std::string& serviceName) {
    return "SYSTEM\\CurrentControlSet\\Services\\" + serviceName;
}

std::string parametersKeyPath(const std::string& serviceName) {
    return serviceKeyPath(serviceName) + "\\Parameters";
}

LaunchParameters readLaunchParameters(const std::string& serviceName) {
    LaunchParameters parameters;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, parametersKeyPath(serviceName).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return parameters;
    parameters.jvmLibrary = readString(key, "JVM Library");
    parameters.jvmOptions = readNumbered(key, "JVM Option Count", "JVM Option Number ");
    parameters.startClass = readString(key, "Start Class");
    parameters.startMethod = readString(key, "Start Method");
    parameters.startParams = readNumbered(key, "Start Param Count", "Start Param Number ");
    parameters.stopClass = readString(key, "Stop Class");
    parameters.stopMethod = readString(key, "Stop Method");
    parameters.stopParams = readNumbered(key, "Stop Param Count", "Stop Param Number ");
    parameters.outFile = readString(key, "System.out File");
    parameters.errFile = readString(key, "System.err File");
    RegCloseKey(key);
    return parameters;
}

}  // namespace velmora::wrapper
