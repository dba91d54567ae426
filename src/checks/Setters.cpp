#include "checks/JdkLayout.h"
#include "config/DoConfig.h"

namespace velmora {

// A setter's follow-up check can only warn: with prompts off it would ask
// the disk and tell nobody, so it is left out.

void DoConfig::setServiceName(const std::string& value) {
    config_.serviceName = value;
    window_.setFieldText(FieldControl::Text5, value);
}

void DoConfig::setDescription(const std::string& value) {
    config_.description = value;
    window_.setFieldText(FieldControl::Text11, value);
}

void DoConfig::setCatalinaHome(const std::string& value) {
    config_.catalinaHome = value;
    window_.setFieldText(FieldControl::Text1, value);
    propagateCatalinaHomeChange();
}

void DoConfig::setCatalinaBase(const std::string& value) {
    config_.catalinaBase = value;
    window_.setFieldText(FieldControl::Text8, value);
    propagateCatalinaBaseChange();
}

void DoConfig::setTomcatConfigFile(const std::string& value) {
    config_.tomcatConfigFile = value;
    window_.setFieldText(FieldControl::Text4, value);
    if (showPrompts_) checkFileExists(value, "Tomcat Config File");
}

void DoConfig::setUseSecurityManager(std::int16_t value) {
    config_.useSecurityManager = value;
    window_.setCheckValue(CheckControl::Check1, value);
}

void DoConfig::setSecurityPolicyFile(const std::string& value) {
    config_.securityPolicyFile = value;
    window_.setFieldText(FieldControl::Text7, value);
    if (showPrompts_) checkFileExists(value, "Security Policy File");
}

void DoConfig::setJavaHome(const std::string& value) {
    config_.javaHome = value;
    setClassPath(defaultClassPathFor(config_.catalinaHome, value, platform_.files));
    window_.setFieldText(FieldControl::Text6, value);
}

void DoConfig::setTempDirectory(const std::string& value) {
    config_.tempDirectory = value;
    window_.setFieldText(FieldControl::Text9, value);
    if (showPrompts_) checkFolderOrCreate(value, "Temp Directory");
}

void DoConfig::setSystemOut(const std::string& value) {
    config_.systemOut = value;
    window_.setFieldText(FieldControl::Text2, value);
    if (showPrompts_) checkFolderOrCreate(value, "System.out file");
}

void DoConfig::setSystemErr(const std::string& value) {
    config_.systemErr = value;
    window_.setFieldText(FieldControl::Text3, value);
    if (showPrompts_) checkFolderOrCreate(value, "System.err file");
}

void DoConfig::setInitialHeapSize(const std::string& value) {
    config_.initialHeapSize = value;
    window_.setFieldText(FieldControl::Combo1, value);
}

void DoConfig::setMaxHeapSize(const std::string& value) {
    config_.maxHeapSize = value;
    window_.setFieldText(FieldControl::Combo2, value);
}

void DoConfig::setThreadStackSize(const std::string& value) {
    config_.threadStackSize = value;
    window_.setFieldText(FieldControl::Combo3, value);
}

void DoConfig::setReduceOsSignals(std::int16_t value) {
    config_.reduceOsSignals = value;
    window_.setCheckValue(CheckControl::Check2, value);
}

void DoConfig::setClassPath(const std::string& value) {
    config_.classPath = value;
    if (showPrompts_) checkClassPath(value);
}

void DoConfig::setJvmType(bool server) { config_.jvmType = server ? "server" : "client"; }

void DoConfig::selectJvmFromWindow() { setJvmType(window_.isServerJvmSelected()); }

void DoConfig::collectJvmOptions() {
    const int count = window_.list1Count();
    config_.additionalJvmOptions.assign(static_cast<std::size_t>(count) + 1, std::string());
    for (int i = 0; i < count; ++i) config_.additionalJvmOptions[static_cast<std::size_t>(i)] = window_.list1Item(i);
}

}  // namespace velmora
