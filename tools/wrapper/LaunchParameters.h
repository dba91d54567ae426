#pragma once
#include <string>
#include <vector>

namespace velmora::wrapper {

// What the installer leaves under the service's Parameters key: the JVM to
// load, its options, the class and method to call on start and on stop, and
// where the JVM's standard streams go.
struct LaunchParameters {
    std::string jvmLibrary;
    std::vector<std::string> jvmOptions;
    std::string startClass;
    std::string startMethod;
    std::vector<std::string> startParams;
    std::string stopClass;
    std::string stopMethod;
    std::vector<std::string> stopParams;
    std::string outFile;
    std::string errFile;
    std::string wrapperLog;  // the wrapper's own log of the day
};

// Below HKEY_LOCAL_MACHINE.
std::string serviceKeyPath(const std::string& serviceName);
std::string parametersKeyPath(const std::string& serviceName);

// Missing values read as empty texts and zero counts.
LaunchParameters readLaunchParameters(const std::string& serviceName);

}  // namespace velmora::wrapper
