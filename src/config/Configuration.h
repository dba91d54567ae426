#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// One configuration of a Tomcat instance and its service. Sizes stay the
// text their box shows; the check boxes are 0 or 1.
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
    std::vector<std::string> additionalJvmOptions;  // in list order; no empty entries

    bool operator==(const Configuration&) const = default;
};

}  // namespace velmora
