#pragma once
#include <windows.h>

#include <string>

namespace velmora::wrapper {

// The full path of the running program, which its service runs.
std::string ownExecutablePath();

// What both stand-in wrappers do with the service manager. Each returns
// ERROR_SUCCESS or the Win32 error.

// A demand-start service of its own process that runs binaryPath; returns
// once other processes can open it.
DWORD createDemandService(const std::string& serviceName, const std::string& displayName,
                          const std::string& binaryPath);

// Stops the service if it runs, waits for its process to end (so that its
// executable can be deleted next) and deletes it.
DWORD stopAndDeleteService(const std::string& serviceName);

}  // namespace velmora::wrapper
