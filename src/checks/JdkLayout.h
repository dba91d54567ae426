#pragma once
#include <string>

#include "config/Configuration.h"
#include "platform/Files.h"

namespace velmora {

// The feature version of the JDK whose "release" file this is: the first
// number of JAVA_VERSION, or the second for "1.x" (1.8.0_392 is 8); 0 when
// the text names none.
int javaFeatureVersion(const std::string& releaseText);

// A new configuration's class path for this JDK: tools.jar stays out when the
// JDK is 9 or later and has none.
std::string defaultClassPathFor(const std::string& catalinaHome, const std::string& javaHome, Files& files);

// The JVM library the service loads for this configuration.
std::string jvmLibraryFor(const Configuration& c, Files& files);

}  // namespace velmora
