#pragma once
#include <optional>
#include <string>

#include "config/Configuration.h"
#include "config/TomcatLayout.h"
#include "platform/Platform.h"

namespace velmora {

// A JDK to move a configuration to when its own is gone.
struct JdkReplacement {
    std::string javaHome;
    std::string version;  // as its registry key names it
};

// When the configured JVM library is missing (a JDK update took its folder
// away): the newest registered JDK of the same feature version whose JVM
// library is there and built for the wrapper's machine. Nothing otherwise.
std::optional<JdkReplacement> jdkReplacementFor(const Configuration& c, const TomcatLayout& layout, Platform& platform);

std::string jdkMovedMessage(const Configuration& c, const JdkReplacement& replacement);
std::string switchJdkQuestion(const Configuration& c, const JdkReplacement& replacement);

}  // namespace velmora
