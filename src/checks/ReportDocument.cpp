#include "checks/ReportDocument.h"

#include "checks/PathRules.h"

namespace velmora {

std::vector<std::string> reportRows(const Configuration& c, const std::string& jvmLibrary) {
    std::vector<std::string> rows = {
        "Service name: " + c.serviceName,
        "Catalina home: " + c.catalinaHome,
        "Catalina base: " + c.catalinaBase,
        "Tomcat config file: " + c.tomcatConfigFile,
        "Use security manager: " + std::to_string(c.useSecurityManager),
        "Security policy file: " + c.securityPolicyFile,
        "Java home: " + c.javaHome,
        "JVM Path: " + jvmLibrary,
        "Classpath: " + c.classPath,
        "Temp directory: " + c.tempDirectory,
        "System.out file: " + c.systemOut,
        "System.err file: " + c.systemErr,
        "Initial heap: " + c.initialHeapSize,
        "Max heap: " + c.maxHeapSize,
        "Stack size: " + c.threadStackSize,
        "JVM: " + c.jvmType,
        "-Xrs: " + std::to_string(c.reduceOsSignals),
    };
    for (const auto& option : c.additionalJvmOptions)
        if (!option.empty()) rows.push_back("Additional JVM option: " + option);
    return rows;
}

std::string reportDocument(const std::vector<std::string>& rows, const CheckLog& checkLog) {
    std::string html =
        "<html><head><title>quenby log</title></head><body>"
        "<font size='4'><b>Configuration</b></font><br>"
        "<table border='0' cellpadding='0' cellspacing='0' width='100%' id='AutoNumber1'>";
    for (const auto& row : rows)
        html += "<tr><td width='25%'><font size='2'>" +
                replaceAll(escapeHtml(row), ": ", "</font></td><td width='75%'><font size='2'>") + "</font></td></tr>";
    html += "</table><br><br><font size='4'><b>Info, Errors and Warnings</b></font><br>";
    if (checkLog.empty()) html += "<font size='2'>No errors or warnings detected.</font><br>";
    for (const auto& line : checkLog) html += "<font size='2'>" + escapeHtml(line) + "</font><br>";
    html += "</body></html>";
    return html;
}

std::string reportFileName(const std::string& serviceName) { return "quenby-" + serviceName + "-debug.html"; }

// The report opens in a browser that may run with our rights: no value may
// bring markup into it.
std::string escapeHtml(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

}  // namespace velmora
