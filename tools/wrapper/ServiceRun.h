#pragma once
#include "CommandLine.h"

namespace velmora::wrapper {

// Hands the process to the service manager until the service stops. While
// running, the service writes an account of the JVM launch it stands for
// into its System.out file instead of loading a JVM. Returns the exit code.
int runService(const ServiceCommand& command);

}  // namespace velmora::wrapper
