#include "config/NewConfiguration.h"

#include "config/Encodings.h"
#include "config/JdkLookup.h"
#include "config/TomcatLayout.h"
#include "platform/WindowsPaths.h"

namespace velmora {

namespace {
const std::string kJdkKey = "SOFTWARE\\JavaSoft\\Java Development Kit";
}

std::string defaultJavaHome(Environment& environment, Registry& registry) {
    if (std::string set = environment.variable("java_home"); !set.empty()) return set;
    const auto text = [&](const std::string& key, const std::string& name) {
        return storedText(registry.read(kLocalMachine, key, name)).text;
    };
    if (std::string version = text(kJdkKey, "CurrentVersion"); !version.empty())
        if (std::string home = text(kJdkKey + "\\" + version, "JavaHome"); !home.empty())
            return withoutTrailingBackslash(home);
    return registeredJavaHome(registry);
}

std::string defaultCatalinaHome(Environment& environment) { return folderPart(environment.programFolder()); }

Configuration newConfiguration(const std::string& catalinaHome, const std::string& javaHome, JvmType jvmType,
                               Files& files) {
    const std::string& h = catalinaHome;
    Configuration c;
    c.serviceName = "SetInstanceName";
    c.javaHome = javaHome;
    c.catalinaHome = h;
    c.catalinaBase = h;
    c.systemOut = h + "\\logs";
    c.systemErr = h + "\\logs";
    c.tomcatConfigFile = h + "\\conf\\server.xml";
    c.securityPolicyFile = h + "\\conf\\catalina.policy";
    c.tempDirectory = h + "\\temp";
    c.classPath = defaultClassPath(tomcatLayoutOf(h, files), h, javaHome, jdkOffersToolsJar(javaHome, files));
    c.reduceOsSignals = true;
    c.useSecurityManager = false;
    c.jvmType = jvmType;
    return c;
}

}  // namespace velmora
