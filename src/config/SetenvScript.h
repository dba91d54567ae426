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

// What the startup scripts have set when they call setenv.bat.
struct ScriptVariables {
    std::string catalinaHome;
    std::string catalinaBase;
    std::string javaHome;
};

// A line about CATALINA_OPTS or JAVA_OPTS that the reader does not follow:
// what it sets depends on what only cmd knows when it runs the script.
struct NotFollowedLine {
    std::string script;
    std::size_t line = 0;
    std::string text;  // as visibleText shows it
};

struct SetenvScriptReading {
    std::vector<SetenvOptions> variables;  // in the order the JVM gets them: JAVA_OPTS, then CATALINA_OPTS
    std::vector<NotFollowedLine> notFollowed;
};

// The script read as cmd reads it, top to bottom up to its first top-level
// "goto :eof" or "exit": each plain set of CATALINA_OPTS or JAVA_OPTS gives
// the variable its value, with %CATALINA_HOME%, %CATALINA_BASE%,
// %JAVA_HOME% and the variables themselves expanded. Their last values are
// split into options as the JVM receives them through catalina.bat. Any
// other line about them (if, for, call, after setlocal, another %VARIABLE%,
// an operator, a value catalina.bat would read again) is not followed.
SetenvScriptReading setenvOptionsOf(const std::string& scriptText, const std::string& scriptPath,
                                    const ScriptVariables& known);
// The bin\setenv.bat catalina.bat calls: the base's when it has one, else the home's.
SetenvScriptReading setenvOptions(const Configuration& c, Files& files);
std::string setenvNotFollowedMessage(const NotFollowedLine& line);

struct NotTakenOption {
    std::string option;
    std::string reason;  // "larger than 32767 MB", "not a size"
    bool operator==(const NotTakenOption&) const = default;
};

// What taking the options over changes: heap and stack sizes go to their
// fields (MB and KB), the rest to the additional options that are not there
// yet. A size the field cannot hold is not taken, and changes nothing.
struct SetenvTakeOver {
    std::string initialHeapSize;
    std::string maxHeapSize;
    std::string threadStackSize;
    std::vector<std::string> options;
    std::vector<NotTakenOption> notTaken;
    bool empty() const {
        return initialHeapSize.empty() && maxHeapSize.empty() && threadStackSize.empty() && options.empty();
    }
    // Nothing left to take, and a size too large for its field held as an additional option.
    bool heldBy(const Configuration& c) const;
};
SetenvTakeOver setenvTakeOver(const std::vector<SetenvOptions>& found, const Configuration& c);

// A JVM size ("2g", "512m", "1024k", bytes) in the unit given by its bytes
// (1048576 for MB, 1024 for KB), rounded up; empty when it is no size or
// larger than a size field holds (32767).
std::string sizeIn(const std::string& size, unsigned long long unitBytes);

std::string setenvIgnoredMessage(const SetenvOptions& found, const std::string& serviceName);

}  // namespace velmora
