#pragma once
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "platform/Files.h"

namespace velmora {

// The JVM options a bin\setenv.bat puts into CATALINA_OPTS or JAVA_OPTS. The
// startup scripts read it; a Windows service never does.
struct SetenvOptions {
    std::string script;
    std::string variable;
    std::vector<std::string> options;
};

// Every "set" line of the script for those variables, its options split as
// the command line splits them, without the %VARIABLE% references.
std::vector<SetenvOptions> setenvOptionsOf(const std::string& scriptText, const std::string& scriptPath);
// The home's and the base's bin\setenv.bat (one when they are the same).
std::vector<SetenvOptions> setenvOptions(const Configuration& c, Files& files);

// What taking the options over changes: heap and stack sizes go to their
// fields (MB and KB), the rest to the additional options that are not there yet.
struct SetenvTakeOver {
    std::string initialHeapSize;
    std::string maxHeapSize;
    std::string threadStackSize;
    std::vector<std::string> options;
    bool empty() const {
        return initialHeapSize.empty() && maxHeapSize.empty() && threadStackSize.empty() && options.empty();
    }
};
SetenvTakeOver setenvTakeOver(const std::vector<SetenvOptions>& found, const Configuration& c);

// A JVM size ("2g", "512m", "1024k", bytes) in the unit given by its bytes
// (1048576 for MB, 1024 for KB), rounded up; empty when it is no size.
std::string sizeIn(const std::string& size, unsigned long long unitBytes);

std::string setenvIgnoredMessage(const SetenvOptions& found, const std::string& serviceName);

}  // namespace velmora
