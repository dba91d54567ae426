#pragma once
#include <string>

#include "LaunchParameters.h"

namespace velmora::wrapper {

// Where a stand-in keeps what its service launches.
using LaunchReader = LaunchParameters (*)(const std::string& serviceName);

// Hands the process to the service manager until the service stops. While
// running, the service writes an account of the JVM launch it stands for
// into its System.out file instead of loading a JVM. Returns the exit code.
int runService(const std::string& serviceName, LaunchReader readParameters);

}  // namespace velmora::wrapper
