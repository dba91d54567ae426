#pragma once
#include <string>
#include <string_view>
#include <variant>

namespace velmora::wrapper {

// <program> -install <name> <jvm.dll path> -start <method>
struct InstallCommand {
    std::string serviceName;
    std::string jvmLibrary;
};

// <program> -uninstall <name>
struct UninstallCommand {
    std::string serviceName;
};

// <program> -service <name>: how the service manager starts us.
constexpr const char* serviceSwitch = "-service";
struct ServiceCommand {
    std::string serviceName;
};

struct UsageError {};

using Command = std::variant<UsageError, InstallCommand, UninstallCommand, ServiceCommand>;

// Reads the whole command line as Windows hands it over, program path first.
// The program path may be unquoted and contain blanks (the installer does not
// quote it), so everything before the first switch is taken as that path.
// Blanks inside the JVM library path are kept as they were.
Command parseCommandLine(std::string_view commandLine);

}  // namespace velmora::wrapper
