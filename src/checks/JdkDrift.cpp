#include "checks/JdkDrift.h"

#include "config/Bitness.h"
#include "config/JdkLookup.h"
#include "config/TomcatRelease.h"

namespace velmora {

namespace {

Machine machineOfFile(Files& files, const std::string& path) {
    return machineOfPe(files.readBytes(path, kPeHeaderBytes).value_or(""));
}

int majorOf(const std::string& javaHome, Files& files) {
    const int declared = jdkFeatureVersionOf(javaHome, files);
    return declared ? declared : javaMajorOfName(javaHome);
}

}  // namespace

std::optional<JdkReplacement> jdkReplacementFor(const Configuration& c, const TomcatLayout& layout,
                                                Platform& platform) {
    Files& files = platform.files;
    if (c.javaHome.empty() || files.fileExists(jvmLibraryPath(c.javaHome, c.jvmType, files))) return std::nullopt;
    const int major = javaMajorOfName(c.javaHome);
    if (major == 0) return std::nullopt;
    const Machine wrapper = machineOfFile(files, layout.wrapperProgram);
    std::vector<std::string> versions;
    std::vector<RegisteredJdk> candidates;
    for (const auto& jdk : registeredJdks(platform.registry)) {
        const std::string library = jvmLibraryPath(jdk.javaHome, c.jvmType, files);
        if (majorOf(jdk.javaHome, files) != major || !files.fileExists(library)) continue;
        const Machine machine = machineOfFile(files, library);
        if (wrapper != Machine::Unknown && machine != Machine::Unknown && machine != wrapper) continue;
        versions.push_back(jdk.version);
        candidates.push_back(jdk);
    }
    const std::string newest = newestVersionName(versions);
    for (const auto& jdk : candidates)
        if (jdk.version == newest) return JdkReplacement{jdk.javaHome, jdk.version};
    return std::nullopt;
}

std::string jdkMovedMessage(const Configuration& c, const JdkReplacement& replacement) {
    return "The JDK at " + c.javaHome +
           " is gone (a JDK update removes the folder of the one before). The newest "
           "registered JDK of the same version is " +
           replacement.javaHome + " (" + replacement.version + "): switch to it with \"velmora-cli repoint " +
           c.serviceName + "\".";
}

std::string switchJdkQuestion(const Configuration& c, const JdkReplacement& replacement) {
    return "The JDK at " + c.javaHome + " is gone. Switch this configuration and its service to " +
           replacement.javaHome + " (" + replacement.version + "), the newest registered JDK of the same version?";
}

}  // namespace velmora
