#include "service/Preflight.h"

#include "config/Bitness.h"
#include "config/StoreLayout.h"
#include "config/TomcatLayout.h"
#include "config/TomcatRelease.h"
#include "platform/Text.h"
#include "platform/WindowsPaths.h"
#include "service/JvmOptions.h"
#include "service/ModernWrapper.h"
#include "service/StartDiagnosis.h"

namespace velmora {

namespace {

constexpr std::size_t kReleaseBytes = 16384;
// java -version answers in well under a second; a JVM that does not is told of, not waited for.
constexpr unsigned kJavaBoundMs = 20000;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        if (c != '\n') {
            line += c;
            continue;
        }
        if (!line.empty()) lines.push_back(visibleText(line));
        line.clear();
    }
    if (!line.empty()) lines.push_back(visibleText(line));
    return lines;
}

// Which field a cause the JVM gives asks to change.
std::string fieldOfCause(const std::string& cause) {
    if (cause.find("security manager") != std::string::npos) return store::kSecurityManager;
    if (cause.find("heap") != std::string::npos) return store::kMaxHeap;
    if (cause.find("option") != std::string::npos) return store::kAdditionalOptions;
    return store::kJavaHome;
}

void checkHome(const Configuration& c, const TomcatLayout& layout, Files& files, std::vector<PreflightFinding>& found) {
    const std::string& home = c.catalinaHome;
    if (!files.folderExists(home)) {
        found.push_back({store::kCatalinaHome, "The Catalina home " + home + " does not exist."});
        return;
    }
    if (!files.fileExists(layout.wrapperProgram))
        found.push_back({store::kCatalinaHome, "The Catalina home " + home +
                                                   " has no service wrapper (bin\\tomcat.exe or bin\\tomcat<N>.exe)."});
    if (!files.fileExists(home + "\\bin\\bootstrap.jar"))
        found.push_back({store::kCatalinaHome,
                         "The Catalina home " + home + " has no bin\\bootstrap.jar: Tomcat would not start."});
    if (layout.family != WrapperFamily::Modern) return;
    const auto notes = files.readBytes(home + "\\RELEASE-NOTES", kReleaseBytes);
    const TomcatVersion declared = notes ? tomcatVersionFromReleaseNotes(*notes) : TomcatVersion{};
    const int wrapperMajor = modernWrapperMajor(layout.wrapperProgram);
    if (declared.known() && wrapperMajor != 0 && declared.major != wrapperMajor)
        found.push_back({store::kCatalinaHome, "The RELEASE-NOTES of " + home + " say Tomcat " + declared.text +
                                                   ", but its wrapper is " + lastPathPart(layout.wrapperProgram) +
                                                   ": the home mixes two versions. Install that Tomcat anew."});
}

// Whether the JDK has the JVM the service would load, so that java.exe may be asked about it.
bool checkJdk(const Configuration& c, const TomcatLayout& layout, Files& files, std::vector<PreflightFinding>& found) {
    const TomcatVersion version = tomcatVersionOf(c.catalinaHome, layout, files);
    const int baseline = javaBaselineOf(version);
    const auto release = files.readBytes(c.javaHome + "\\release", kReleaseBytes);
    const int java = release ? javaFeatureVersion(*release) : 0;
    if (baseline && java && java < baseline)
        found.push_back({store::kJavaHome, "Tomcat " + version.text + " needs Java " + std::to_string(baseline) +
                                               " or later; the JDK at " + c.javaHome + " is Java " +
                                               std::to_string(java) + ": choose a JDK of Java " +
                                               std::to_string(baseline) + " or later."});
    // java.exe takes no notice of a JVM library the wrapper would not find (-client on a 64-bit JDK).
    if (std::string missing = missingJvmLibrary(c.javaHome, c.jvmType, files); !missing.empty()) {
        found.push_back(
            {store::kJavaHome, missing + ": the service could not load its JVM. Choose a JDK that has one."});
        return false;
    }
    const std::string library = jvmLibraryPath(c.javaHome, c.jvmType, files);
    if (std::string why = bitnessProblem(files, library, layout.wrapperProgram); !why.empty())
        found.push_back({store::kJavaHome, why});
    return true;
}

void runJava(const Configuration& c, Files& files, Processes& processes, std::vector<PreflightFinding>& found) {
    const std::string java = c.javaHome + "\\bin\\java.exe";
    if (!files.fileExists(java)) {
        found.push_back(
            {store::kJavaHome, "The JDK at " + c.javaHome + " has no bin\\java.exe: choose a complete JDK."});
        return;
    }
    std::string commandLine = quoteArgument(java);
    if (c.jvmType == JvmType::Client) commandLine += " -client";
    for (const std::string& option : conditionalJvmOptions(c, true))
        commandLine += " " + (option.find_first_of(" \t\"") == std::string::npos ? option : quoteArgument(option));
    commandLine += " -version";
    const ProcessResult result = processes.run({java, commandLine, kJavaBoundMs, true});
    if (result.ending != ProcessResult::Ending::Exited) {
        found.push_back({store::kJavaHome,
                         java + " did not answer -version: " +
                             (result.ending == ProcessResult::Ending::NotStarted ? result.failure.description
                                                                                 : "it still ran after 20 seconds")});
        return;
    }
    if (result.exitCode == 0) return;
    const std::vector<std::string> lines = linesOf(result.output);
    const std::string library = jvmLibraryPath(c.javaHome, c.jvmType, files);
    const DiagnosisContext context{c, {}, library, files.fileExists(library)};
    if (const auto cause = knownCauseOf(lines, context)) {
        found.push_back({fieldOfCause(cause->cause), cause->sentence + "."});
        return;
    }
    found.push_back({store::kAdditionalOptions, "The JVM at " + c.javaHome + " refuses the configuration's options" +
                                                    (lines.empty() ? std::string(".") : ": " + lines.front())});
}

// Tomcat puts the base's lib before the home's on its class path: a base that
// holds Tomcat's own classes, the old home's above all, would run them instead.
void checkBase(const Configuration& target, const Configuration& current, Files& files,
               std::vector<PreflightFinding>& found) {
    if (samePlace(target.catalinaHome, current.catalinaHome) || samePlace(target.catalinaBase, target.catalinaHome))
        return;
    const std::string classes = target.catalinaBase + "\\lib\\catalina.jar";
    if (files.fileExists(classes))
        found.push_back({store::kCatalinaBase,
                         "The Catalina base " + target.catalinaBase + " holds Tomcat's own classes (" + classes +
                             "), which Tomcat loads before those of " + target.catalinaHome +
                             ": the service would still run the Tomcat of that base. Give the configuration a "
                             "Catalina base of its own first: a folder that holds copies of the base's conf, "
                             "webapps and work folders, and no Tomcat classes."});
}

// A class data sharing or ahead-of-time archive is made by one JDK for itself.
void checkArchives(const Configuration& target, const Configuration& current, std::vector<PreflightFinding>& found) {
    if (samePath(target.javaHome, current.javaHome)) return;
    for (const std::string& option : target.additionalJvmOptions)
        for (const char* head : {"-XX:SharedArchiveFile=", "-XX:AOTCache="})
            if (option.rfind(head, 0) == 0)
                found.push_back({store::kAdditionalOptions,
                                 "The option " + option + " names an archive the JDK at " + current.javaHome +
                                     " made for itself; the JDK at " + target.javaHome +
                                     " does not take it: make the archive again with the new JDK, or remove the "
                                     "option."});
}

}  // namespace

std::vector<PreflightFinding> preflight(const Configuration& target, const Configuration& current, Files& files,
                                        Processes& processes) {
    std::vector<PreflightFinding> found;
    const TomcatLayout layout = tomcatLayoutOf(target.catalinaHome, files);
    checkHome(target, layout, files, found);
    if (!found.empty()) return found;
    checkBase(target, current, files, found);
    if (checkJdk(target, layout, files, found)) runJava(target, files, processes, found);
    checkArchives(target, current, found);
    return found;
}

}  // namespace velmora
