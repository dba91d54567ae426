#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

enum class JvmType { Server, Client };
enum class StartupType { Automatic, Delayed, Manual, Disabled };

// One configuration of a Tomcat instance and its service, typed: how the
// store, an export or a box writes a value is their codec's business.
struct Configuration {
    std::string serviceName;
    std::string catalinaHome;
    std::string catalinaBase;
    std::string tomcatConfigFile;
    bool useSecurityManager = false;
    std::string securityPolicyFile;
    JvmType jvmType = JvmType::Server;
    std::string javaHome;
    std::string classPath;
    std::string tempDirectory;
    std::string systemOut;
    std::string systemErr;
    std::uint16_t initialHeapSize = 0;  // MB, 1 to 32767; 0: none given
    std::uint16_t maxHeapSize = 0;      // MB
    std::uint16_t threadStackSize = 0;  // KB
    std::string description;
    bool reduceOsSignals = false;
    std::vector<std::string> additionalJvmOptions;  // in the order given; no empty entries

    // How the service runs; these defaults are also what a stored
    // configuration without them loads.
    std::string displayName;               // what the Services console shows; empty: the name
    std::vector<std::string> environment;  // NAME=VALUE for the JVM's environment, once per variable
    StartupType startupType = StartupType::Automatic;
    std::string serviceAccount = "virtual";  // LocalSystem, LocalService, NetworkService, virtual, DOMAIN\name
    std::vector<std::string> dependencies;   // services started first
    std::uint32_t stopTimeout = 30;          // seconds a stop waits for Tomcat
    std::uint32_t recoveryFirst = 60;        // seconds before a restart after the first failure; 0: none
    std::uint32_t recoverySecond = 60;
    std::uint32_t recoveryLater = 300;
    std::uint32_t recoveryReset = 86400;  // seconds after which the failure count starts again
    bool recoveryOnErrorExit = true;      // a stop with an error exit code counts as a failure

    // When a start counts as done: Tomcat answers on every connector port, and
    // on this URL when one is given, within so many seconds (0: once it runs).
    std::string readyUrl;
    std::uint32_t startTimeout = 120;
    // How much of its logs Velmora keeps; 0: no bound of that kind.
    std::uint16_t logsKeepDays = 0;  // files last written longer ago go
    std::uint16_t logsMaxMb = 0;     // the oldest files beyond this size in all go

    bool operator==(const Configuration&) const = default;
};

const char* jvmTypeName(JvmType type);          // "server", "client"
const char* startupTypeName(StartupType type);  // "auto", "delayed", "manual", "disabled"

}  // namespace velmora
