#include "WrapperTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace velmora::wrapper_test {

namespace {

constexpr DWORD processTimeoutMs = 60000;
constexpr DWORD stopTimeoutMs = 20000;
constexpr DWORD pollIntervalMs = 100;

struct ServiceHandles {
    SC_HANDLE manager = nullptr;
    SC_HANDLE service = nullptr;
    DWORD error = 0;

    ServiceHandles(const std::string& serviceName, DWORD access) {
        manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
        if (manager) service = OpenServiceA(manager, serviceName.c_str(), access);
        if (!service) error = GetLastError();
    }
    ~ServiceHandles() {
        if (service) CloseServiceHandle(service);
        if (manager) CloseServiceHandle(manager);
    }
    ServiceHandles(const ServiceHandles&) = delete;
    ServiceHandles& operator=(const ServiceHandles&) = delete;
};

}  // namespace

DWORD runAndWait(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process)) {
        ADD_FAILURE() << "cannot run " << commandLine << ": error " << GetLastError();
        return ~DWORD{0};
    }
    DWORD exitCode = ~DWORD{0};
    if (WaitForSingleObject(process.hProcess, processTimeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    else {
        ADD_FAILURE() << "still running after " << processTimeoutMs << " ms: " << commandLine;
        TerminateProcess(process.hProcess, exitCode);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

std::vector<std::string> readLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    ASSERT_TRUE(out.good()) << path;
}

void setString(const std::string& key, const std::string& name, const std::string& value) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(handle);
}

void setDword(const std::string& key, const std::string& name, DWORD value) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
              ERROR_SUCCESS);
    RegCloseKey(handle);
}

std::optional<std::string> queryString(const std::string& key, const std::string& name) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return {};
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    LONG result = RegQueryValueExA(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS || type != REG_SZ) return {};
    return std::string(data);
}

bool keyExists(const std::string& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

std::optional<ServiceConfig> serviceConfig(const std::string& serviceName) {
    ServiceHandles handles(serviceName, SERVICE_QUERY_CONFIG);
    if (!handles.service) return {};
    alignas(QUERY_SERVICE_CONFIGA) BYTE buffer[8192];
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer);
    DWORD needed = 0;
    if (!QueryServiceConfigA(handles.service, config, sizeof buffer, &needed)) return {};
    return ServiceConfig{config->dwServiceType, config->dwStartType,
                         config->lpBinaryPathName ? config->lpBinaryPathName : ""};
}

std::optional<DWORD> serviceState(const std::string& serviceName) {
    ServiceHandles handles(serviceName, SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    if (!handles.service || !QueryServiceStatus(handles.service, &status)) return {};
    return status.dwCurrentState;
}

DWORD openServiceError(const std::string& serviceName) {
    return ServiceHandles(serviceName, SERVICE_QUERY_STATUS).error;
}

ServiceProcess::ServiceProcess(const std::string& serviceName) {
    ServiceHandles handles(serviceName, SERVICE_QUERY_STATUS);
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    if (handles.service &&
        QueryServiceStatusEx(handles.service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                             &needed) &&
        status.dwProcessId != 0)
        process_ = OpenProcess(SYNCHRONIZE, FALSE, status.dwProcessId);
}

ServiceProcess::~ServiceProcess() {
    if (process_) CloseHandle(process_);
}

bool ServiceProcess::endsWithin(DWORD milliseconds) const {
    return process_ && WaitForSingleObject(process_, milliseconds) == WAIT_OBJECT_0;
}

void removeServiceIfPresent(const std::string& serviceName) {
    ServiceHandles handles(serviceName, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE);
    if (!handles.service) return;
    SERVICE_STATUS status{};
    ControlService(handles.service, SERVICE_CONTROL_STOP, &status);
    for (DWORD waited = 0; waited < stopTimeoutMs; waited += pollIntervalMs) {
        if (!QueryServiceStatus(handles.service, &status) || status.dwCurrentState == SERVICE_STOPPED) break;
        Sleep(pollIntervalMs);
    }
    DeleteService(handles.service);
}

}  // namespace velmora::wrapper_test
