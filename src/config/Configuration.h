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

    // How the service runs; these defaults are also what a stored
    // configuration without them loads.
    std::string startupType = "auto";        // auto, delayed, manual, disabled
    std::string serviceAccount = "virtual";  // LocalSystem, LocalService, NetworkService, virtual, DOMAIN\name
    std::vector<std::string> dependencies;   // services started first
    std::string stopTimeout = "30";          // seconds a stop waits for Tomcat
    std::string recoveryFirst = "60";        // seconds before a restart after the first failure; 0: none
    std::string recoverySecond = "60";
    std::string recoveryLater = "300";
    std::string recoveryReset = "86400";   // seconds after which the failure count starts again
    std::int16_t recoveryOnErrorExit = 1;  // a stop with an error exit code counts as a failure

    bool operator==(const Configuration&) const = default;
};

}  // namespace velmora
