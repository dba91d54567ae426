#include "checks/JdkLayout.h"
#include "config/JdkLookup.h"
#include "config/DoConfig.h"
#include "service/ServiceMessages.h"

namespace velmora {

namespace {
const std::string kJdkKey = "SOFTWARE\\JavaSoft\\Java Development Kit";

// The Catalina home is the parent of the program's folder: a program in
// C:\tomcat\bin finds C:\tomcat.
std::string parentFolder(const std::string& folder) {
    const auto slash = folder.rfind('\\');
    return slash == std::string::npos ? folder : folder.substr(0, slash);
}
}  // namespace

void DoConfig::newConfiguration() {
    showPrompts_ = false;
    installedAsService_ = false;

    std::string javaHome = platform_.environment.variable("java_home");
    if (javaHome.empty()) {
        const std::string version = readMachineString(kJdkKey, "CurrentVersion");
        javaHome = readMachineString(kJdkKey + "\\" + version, "JavaHome");
    }
    if (javaHome.empty()) javaHome = registeredJavaHome(platform_.registry);
    setJavaHome(javaHome);

    const std::string home = parentFolder(platform_.environment.programFolder());
    lastCatalinaHome_ = home;
    lastCatalinaBase_ = home;
    setCatalinaHome(home);

    window_.unlockServiceName();
    newName_ = true;
    window_.setInstallCaption(messages::kInstallCaption);
    setDescription("");
    setServiceName("SetInstanceName");
    setCatalinaBase(config_.catalinaHome);

    const std::string& h = config_.catalinaHome;
    setSystemOut(h + "\\logs");
    setSystemErr(h + "\\logs");
    setTomcatConfigFile(h + "\\conf\\server.xml");
    setSecurityPolicyFile(h + "\\conf\\catalina.policy");
    setTempDirectory(h + "\\temp");
    setClassPath(defaultClassPathFor(h, javaHome, platform_.files));

    window_.setStatusText("");
    window_.clearList1();
    setReduceOsSignals(1);
    setUseSecurityManager(0);
    setInitialHeapSize("");
    setMaxHeapSize("");
    setThreadStackSize("");
    setJvmType(true);
    selectJvmFromWindow();
    checkServiceStatus();
    showPrompts_ = false;
}

}  // namespace velmora
