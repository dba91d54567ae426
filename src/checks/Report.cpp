#include "checks/Report.h"

#include <string_view>

#include "checks/Checks.h"
#include "checks/JdkDrift.h"
#include "checks/PathRules.h"
#include "checks/PortCheck.h"
#include "checks/Rights.h"
#include "config/Bitness.h"
#include "config/ConfigurationFields.h"
#include "config/Encodings.h"
#include "config/ServiceAccount.h"
#include "config/SetenvScript.h"
#include "config/StoreLayout.h"
#include "config/TomcatLayout.h"
#include "config/TomcatRelease.h"

namespace velmora {

namespace {

std::vector<std::string> reportRows(const Configuration& c, const std::string& jvmLibrary) {
    const auto text = [&c](Field field) { return fieldText(c, storedField(field)); };
    std::vector<std::string> rows = {
        "Service name: " + c.serviceName,
        "Catalina home: " + c.catalinaHome,
        "Catalina base: " + c.catalinaBase,
        "Tomcat config file: " + c.tomcatConfigFile,
        "Use security manager: " + text(Field::UseSecurityManager),
        "Security policy file: " + c.securityPolicyFile,
        "Java home: " + c.javaHome,
        "JVM Path: " + jvmLibrary,
        "Classpath: " + c.classPath,
        "Temp directory: " + c.tempDirectory,
        "System.out file: " + c.systemOut,
        "System.err file: " + c.systemErr,
        "Initial heap: " + text(Field::InitialHeapSize),
        "Max heap: " + text(Field::MaxHeapSize),
        "Stack size: " + text(Field::ThreadStackSize),
        "JVM: " + text(Field::JvmType),
        "-Xrs: " + text(Field::ReduceOsSignals),
    };
    for (const auto& option : c.additionalJvmOptions) rows.push_back("Additional JVM option: " + option);
    auto recovery = [](std::uint32_t seconds) {
        return seconds == 0 ? std::string("none") : "restart after " + std::to_string(seconds) + " s";
    };
    std::string dependencies;
    for (const auto& dependency : c.dependencies) dependencies += (dependencies.empty() ? "" : ", ") + dependency;
    rows.push_back("Display name: " + (c.displayName.empty() ? c.serviceName : c.displayName));
    rows.push_back("Start-up type: " + text(Field::StartupType));
    rows.push_back("Account: " + serviceAccountName(c));
    rows.push_back("Depends on: " + dependencies);
    for (const auto& variable : c.environment) rows.push_back("Environment: " + variable);
    rows.push_back("Stop timeout (s): " + text(Field::StopTimeout));
    rows.push_back("Recovery: " + recovery(c.recoveryFirst) + ", " + recovery(c.recoverySecond) + ", then " +
                   recovery(c.recoveryLater) + "; count reset after " + text(Field::RecoveryReset) +
                   " s; error exits " + (c.recoveryOnErrorExit ? "count" : "do not count"));
    rows.push_back("Logs kept (days): " + text(Field::LogsKeepDays));
    rows.push_back("Logs at most (MB): " + text(Field::LogsMaxMb));
    return rows;
}

// The store's name of the field a finding is about, by its label, for scripts (set takes it).
std::string fieldOfLabel(const std::string& label) {
    static const std::pair<const char*, const std::string*> kFields[] = {
        {"Catalina home", &store::kCatalinaHome},
        {"Catalina bome", &store::kCatalinaBase},
        {"Tomcat config file", &store::kTomcatConfig},
        {"Tomcat Config File", &store::kTomcatConfig},
        {"Security policy file", &store::kSecurityPolicy},
        {"Use Security Manager", &store::kSecurityManager},
        {"Java home", &store::kJavaHome},
        {"JVM", &store::kJvm},
        {"JVM library", &store::kJavaHome},
        {"Classpath", &store::kClassPath},
        {"Temp directory", &store::kTempDirectory},
        {"Temp Directory", &store::kTempDirectory},
        {"System.outfile", &store::kSystemOut},
        {"System.err file", &store::kSystemErr},
        {"Account rights", &store::kServiceAccount},
        {"CATALINA_OPTS", &store::kAdditionalOptions},
        {"JAVA_OPTS", &store::kAdditionalOptions},
        {"Additional JVM Options", &store::kAdditionalOptions},
        {"Environment", &store::kEnvironment},
        {"Catalina Home", &store::kCatalinaHome},
        {"Catalina Base", &store::kCatalinaBase},
        {"Security Policy File", &store::kSecurityPolicy},
        {"Tomcat logging config file", &store::kCatalinaBase},
    };
    for (const auto& [shown, field] : kFields)
        if (label == shown) return *field;
    return store::kCatalinaHome;  // the files of the home's own layout
}

}  // namespace

Report examineConfiguration(const Configuration& c, Platform& platform, Questions& questions,
                            const CheckContext& context) {
    Files& files = platform.files;
    std::vector<std::string> noList;
    std::vector<std::string>& created = context.createdFolders ? *context.createdFolders : noList;
    Checker check(files, questions, &created);
    CheckLog log;
    auto note = [&log](std::optional<Finding> finding) {
        if (finding) log.push_back(std::move(*finding));
    };
    const TomcatLayout layout = tomcatLayoutOf(c.catalinaHome, files);

    note(check.folderExists(c.catalinaHome, "Catalina home"));
    // "Catalina bome" and, below, "System.outfile" are these findings' long-standing labels, kept on purpose.
    note(check.folderExists(c.catalinaBase, "Catalina bome"));
    note(check.fileExists(c.tomcatConfigFile, "Tomcat config file"));
    if (c.useSecurityManager == 1) note(check.fileExists(c.securityPolicyFile, "Security policy file"));
    for (const auto& entry : layoutEntries(layout, c))
        note(entry.folder ? check.folderExists(entry.path, entry.label) : check.fileExists(entry.path, entry.label));
    note(check.folderExists(c.javaHome, "Java home"));
    const TomcatVersion tomcat = tomcatVersionOf(c.catalinaHome, layout, files);
    const int javaFeature = jdkFeatureVersionOf(c.javaHome, files);
    auto refuse = [&](const std::string& label, const std::string& value, const std::string& why) {
        if (why.empty()) return;
        questions.warn(why);
        log.push_back({FindingKind::ValueUnusable, label, value, why});
    };
    for (const auto& choice : unrunnableChoices(c, tomcat, javaFeature, files)) {
        const StoredField& field = storedField(choice.field);
        refuse(field.label, fieldText(c, field), choice.why);
    }
    // A finding only: the JDK may be chosen before the home that can start it.
    refuse(storedField(Field::JavaHome).label, c.javaHome,
           classicWrapperJdkRefusal(c.catalinaHome, c.javaHome, javaFeature, files));
    const std::string jvmLibrary = jvmLibraryPath(c.javaHome, c.jvmType, files);
    note(check.jvmLibrary(jvmLibrary));
    if (const auto replacement = jdkReplacementFor(c, layout, platform)) {
        questions.warn(jdkMovedMessage(c, *replacement));
        Finding moved{FindingKind::JvmLibraryMissing, "Java home", c.javaHome, jdkMovedMessage(c, *replacement)};
        moved.suggestedJdk = replacement->javaHome;
        log.push_back(std::move(moved));
    }
    if (std::string mismatch = bitnessProblem(files, jvmLibrary, layout.wrapperProgram); !mismatch.empty()) {
        questions.warn(mismatch);
        log.push_back({FindingKind::MachineMismatch, "JVM library", jvmLibrary, mismatch});
    }
    for (auto& finding : check.classPath(c.classPath)) log.push_back(std::move(finding));
    if (const StartRefusal refused = startRefusal(c); !refused.why.empty()) {
        refuse(c.classPath.empty() ? "Classpath" : "JVM", "", refused.why);
        log.back().field = storedField(refused.field).name;
    }
    for (const auto& value : uncarriedValues(layout, c, platform.environment)) {
        questions.warn(uncarriedValueMessage(value));
        log.push_back({FindingKind::ValueUnusable, value.label, value.value, uncarriedValueMessage(value)});
    }
    const auto options9 = wrapperJvmOptions9(c, files);
    if (options9)
        for (const auto& option : unusableScriptOptions(*options9)) {
            const std::string why = unusableScriptOptionMessage(option, options9->script);
            questions.warn(why);
            log.push_back({FindingKind::ValueUnusable, "JVM options for Java 9 and later", options9->script, why});
        }
    note(check.folderOrCreate(c.tempDirectory, "Temp directory"));
    note(check.folderOrCreate(c.systemOut, "System.outfile"));
    note(check.folderOrCreate(c.systemErr, "System.err file"));
    PortReview ports = reviewPorts(c, context.others, context.serviceRunning, platform);
    for (auto& finding : ports.findings) {
        questions.warn(finding.message);
        log.push_back(std::move(finding));
    }
    const SetenvScriptReading setenv = setenvOptions(c, files);
    // Once the configuration holds what the script sets, the script is no longer worth a word; a size is
    // judged by the one the JVM ends up with, which may come from the other variable.
    const bool allHeld = setenvTakeOver(setenv.variables, c).heldBy(c);
    for (const auto& found : setenv.variables) {
        if (allHeld || setenvTakeOver({found}, c).heldBy(c)) continue;
        questions.warn(setenvIgnoredMessage(found, c.serviceName));
        log.push_back(
            {FindingKind::OptionsIgnored, found.variable, found.script, setenvIgnoredMessage(found, c.serviceName)});
    }
    for (const auto& line : setenv.notFollowed) ports.notices.push_back(setenvNotFollowedMessage(line));
    for (auto& finding : missingRights(c, created, platform)) {
        questions.warn(finding.message);
        log.push_back(std::move(finding));
    }
    for (Finding& finding : log)
        if (finding.field.empty()) finding.field = fieldOfLabel(finding.label);
    std::vector<std::string> rows = reportRows(c, jvmLibrary);
    rows.push_back("Tomcat version: " + (tomcat.known() ? tomcat.text : std::string("not declared")));
    rows.push_back("Java version: " + (javaFeature ? std::to_string(javaFeature) : std::string("not declared")));
    Report report{std::move(rows), std::move(log), {}, std::move(ports.notices)};
    if (!report.notices.empty()) report.sections.push_back({"Notices", report.notices});
    if (options9) report.sections.push_back({"JVM options for Java 9 and later", jvmOptions9Lines(*options9)});
    return report;
}

std::string reportDocument(const Report& report) {
    std::string html =
        "<html><head><meta charset='utf-8'><title>quenby log</title></head><body>"
        "<font size='4'><b>Configuration</b></font><br>"
        "<table border='0' cellpadding='0' cellspacing='0' width='100%' id='AutoNumber1'>";
    for (const auto& row : report.rows)
        html += "<tr><td width='25%'><font size='2'>" +
                replaceAll(escapeHtml(row), ": ", "</font></td><td width='75%'><font size='2'>") + "</font></td></tr>";
    html += "</table><br><br><font size='4'><b>Info, Errors and Warnings</b></font><br>";
    if (report.findings.empty()) html += "<font size='2'>No errors or warnings detected.</font><br>";
    for (const auto& finding : report.findings) html += "<font size='2'>" + escapeHtml(finding.message) + "</font><br>";
    for (const auto& section : report.sections) {
        html += "<br><br><font size='4'><b>" + escapeHtml(section.title) + "</b></font><br>";
        for (const auto& line : section.lines) html += "<font size='2'>" + escapeHtml(line) + "</font><br>";
    }
    html += "</body></html>";
    return html;
}

// A name the name rule refuses still names a file beside the program, never one elsewhere.
std::string reportFileName(const std::string& serviceName) {
    std::string name = serviceName;
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            c = '_';
    return "quenby-" + name + "-debug.html";
}

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
