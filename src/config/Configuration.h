#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// The one configuration in memory. Sizes stay the text their box shows.
struct Configuration {
    std::string serviceName;
    std::string catalinaHome;
    std::string catalinaBase;
    std::string tomcatConfigFile;
    std::int16_t useSecurityManager = 0;
    std::string securityPolicyFile;
    std::string jvmType = "server";
    std::string javaHome;
    std::string classPath;
    std::string tempDirectory;
    std::string systemOut;
    std::string systemErr;
    std::string initialHeapSize;
    std::string maxHeapSize;
    std::string threadStackSize;
    std::string description;
    std::int16_t reduceOsSignals = 0;
    std::vector<std::string> additionalJvmOptions;  // empty slots carry no option
};

}  // namespace velmora
