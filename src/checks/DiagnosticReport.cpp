#include "checks/Bitness.h"
#include "checks/CheckMessages.h"
#include "checks/JdkLayout.h"
#include "checks/PathRules.h"
#include "checks/ReportDocument.h"
#include "config/DoConfig.h"
#include "service/WrapperKind.h"

namespace velmora {

std::string DoConfig::reportFilePath() const {
    return platform_.environment.programFolder() + "\\" + reportFileName(config_.serviceName);
}

bool DoConfig::writeDiagnosticReport(ReportMode mode) {
    const Configuration& c = config_;
    CheckLog checkLog;
    auto log = [&checkLog](std::string message) {
        if (!message.empty()) checkLog.push_back(std::move(message));
    };

    log(checkFolderExists(c.catalinaHome, "Catalina home"));
    log(checkFolderExists(c.catalinaBase, "Catalina bome"));
    log(checkFileExists(c.tomcatConfigFile, "Tomcat config file"));
    if (c.useSecurityManager == 1) log(checkFileExists(c.securityPolicyFile, "Security policy file"));
    const auto kind = wrapperKindFor(c.catalinaHome, platform_.files);
    for (const auto& entry : kind->layoutEntries(c))
        log(entry.folder ? checkFolderExists(entry.path, entry.label) : checkFileExists(entry.path, entry.label));
    log(checkFolderExists(c.javaHome, "Java home"));
    const std::string jvmLibrary = jvmLibraryFor(c, platform_.files);
    log(checkJvmLibrary(jvmLibrary));
    if (std::string mismatch = bitnessProblem(platform_.files, jvmLibrary, kind->wrapperProgram(c)); !mismatch.empty()) {
        promptUser(mismatch, kMbOk | kMbIconExclamation, messages::kWarningTitle);
        log(std::move(mismatch));
    }
    for (auto& message : checkClassPath(c.classPath)) log(std::move(message));
    log(checkFolderOrCreate(c.tempDirectory, "Temp directory"));
    log(checkFolderOrCreate(c.systemOut, "System.outfile"));
    log(checkFolderOrCreate(c.systemErr, "System.err file"));

    const std::string document = reportDocument(reportRows(c, jvmLibrary), checkLog) + "\r\n";
    if (auto failure = platform_.files.writeText(reportFilePath(), document)) throw StepFailure(*failure);

    if (mode == ReportMode::Always || (mode == ReportMode::OnProblems && !checkLog.empty()))
        (void)platform_.processes.openDocument(reportFilePath());  // the path to it is in the install question
    return !checkLog.empty();
}

void DoConfig::checkConfiguration() {
    collectJvmOptions();
    try {
        writeDiagnosticReport(ReportMode::Always);
    } catch (const StepFailure& e) {
        platform_.messageBoxes.show(messages::reportNotWritten(reportFilePath(), e.failure().description),
                                    kMbOk | kMbIconExclamation, messages::kWarningTitle);
    }
}

}  // namespace velmora
