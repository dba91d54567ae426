#pragma once
#include <string>

#include "CommandLine.h"

namespace velmora::wrapper {

// Both return the process exit code: 0, or the Win32 error through failureExitCode.

// Registers a demand-start service that runs ownPath with the service switch,
// keeps the JVM library path in its Parameters key, and returns once other
// processes can open the service.
int installService(const InstallCommand& command, const std::string& ownPath);

// Stops the service if it runs, waits for its process to end, deletes it.
int uninstallService(const UninstallCommand& command);

}  // namespace velmora::wrapper
