#pragma once
#include <string>
#include <vector>

#include "LaunchParameters.h"

namespace velmora::wrapper {

// The lines the stand-in writes instead of starting a JVM:
//   service: <name>
//   library: <JVM Library>
//   option <n>: <JVM Option Number n>        for n = 0 .. count-1
//   System.out: <System.out File>
//   System.err: <System.err File>
//   start: <Start Class>.<Start Method>(<start params, blank-separated>)
std::vector<std::string> launchAccount(const std::string& serviceName, const LaunchParameters& parameters);

// stop: <Stop Class>.<Stop Method>(<stop params, blank-separated>)
std::string stopAccount(const LaunchParameters& parameters);

}  // namespace velmora::wrapper
