#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace velmora::wrapper_test {

// Runs a command line without a window and returns its exit code; a failure
// to start it or a hang of more than a minute fails the running test.
DWORD runAndWait(const std::string& commandLine);

std::vector<std::string> readLines(const std::string& path);
void writeText(const std::string& path, const std::string& text);

// Below HKEY_LOCAL_MACHINE.
void setString(const std::string& key, const std::string& name, const std::string& value);
void setDword(const std::string& key, const std::string& name, DWORD value);
std::optional<std::string> queryString(const std::string& key, const std::string& name);
bool keyExists(const std::string& key);

struct ServiceConfig {
    DWORD serviceType = 0;
    DWORD startType = 0;
    std::string binaryPath;
};

// Empty when the service cannot be opened.
std::optional<ServiceConfig> serviceConfig(const std::string& serviceName);
std::optional<DWORD> serviceState(const std::string& serviceName);
// The error OpenServiceA gives for the name, 0 when it opens.
DWORD openServiceError(const std::string& serviceName);

// The process a running service lives in, held open from construction on.
class ServiceProcess {
public:
    explicit ServiceProcess(const std::string& serviceName);
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;
    bool found() const { return process_ != nullptr; }
    bool endsWithin(DWORD milliseconds) const;

private:
    HANDLE process_ = nullptr;
};

// Stops and deletes a service left over by an earlier, interrupted run.
void removeServiceIfPresent(const std::string& serviceName);

}  // namespace velmora::wrapper_test
