#include "config/TomcatRelease.h"

#include "config/BatchScript.h"
#include "platform/Numbers.h"
#include "platform/Text.h"
#include "platform/TextScan.h"

namespace velmora {

namespace {

constexpr std::size_t kReleaseNotesBytes = 8192;
constexpr std::size_t kServiceScriptBytes = 256 * 1024;

const std::vector<std::string>& baseOpens() {
    static const std::vector<std::string> options = {
        "--add-opens=java.base/java.lang=ALL-UNNAMED",        "--add-opens=java.base/java.io=ALL-UNNAMED",
        "--add-opens=java.base/java.util=ALL-UNNAMED",        "--add-opens=java.base/java.util.concurrent=ALL-UNNAMED",
        "--add-opens=java.rmi/sun.rmi.transport=ALL-UNNAMED",
    };
    return options;
}

const std::string kOpensInvoke = "--add-opens=java.base/java.lang.invoke=ALL-UNNAMED";
const std::string kOpensReflect = "--add-opens=java.base/java.lang.reflect=ALL-UNNAMED";
// The mitigation of CVE-2024-56337 on the JDKs that still cache canonical paths.
const std::string kNoCanonCaches = "-Dsun.io.useCanonCaches=false";
const std::string kNativeAccess = "--enable-native-access=ALL-UNNAMED";

// The argument that follows `name` on the command.
std::optional<std::string> argumentAfter(const std::vector<std::string>& arguments, const std::string& name) {
    for (std::size_t at = 0; at + 1 < arguments.size(); ++at)
        if (arguments[at] == name) return arguments[at + 1];
    return std::nullopt;
}

// The arguments of the script's install command ("%EXECUTABLE%" //IS//...) as
// the wrapper receives them; remarks and echo text that look like it are not it.
std::optional<std::vector<std::string>> installCommandArguments(const std::string& script) {
    for (const auto& line : logicalLines(script)) {
        if (isCommentOrEcho(line.text)) continue;
        auto arguments = commandLineArguments(readCarets(commandText(line.text)).text).arguments;
        if (arguments.size() >= 2 && arguments[1].rfind("//IS//", 0) == 0) return arguments;
    }
    return std::nullopt;
}

std::vector<std::string> listEntries(const std::string& list) {
    std::vector<std::string> entries;
    std::string entry;
    for (char ch : list + "#") {
        if (ch == '#' || ch == ';') {
            if (!entry.empty()) entries.push_back(entry);
            entry.clear();
        } else {
            entry += ch;
        }
    }
    return entries;
}

}  // namespace

TomcatVersion tomcatVersionFromReleaseNotes(const std::string& text) {
    TomcatVersion version;
    scanAfter(text, "Apache Tomcat Version ", [&](TextScanner& s) -> std::optional<std::string> {
        const auto major = s.takeDigits(1, 4);
        if (!major || !s.take(".")) return std::nullopt;
        const auto minor = s.takeDigits(1, 4);
        if (!minor || !s.take(".")) return std::nullopt;
        const auto patch = s.takeDigits();
        if (!patch) return std::nullopt;
        // Only the number: whatever follows it in the file is not shown anywhere.
        const std::string number = *major + "." + *minor + "." + *patch;
        version = {wholeNumber<int>(*major).value_or(0), wholeNumber<int>(*minor).value_or(-1), number};
        return number;
    });
    return version;
}

TomcatVersion tomcatVersionOf(const std::string& catalinaHome, const TomcatLayout& layout, Files& files) {
    if (catalinaHome.empty()) return {};
    TomcatVersion declared;
    if (const auto notes = files.readBytes(catalinaHome + "\\RELEASE-NOTES", kReleaseNotesBytes))
        declared = tomcatVersionFromReleaseNotes(*notes);
    if (layout.family == WrapperFamily::Classic)
        return declared.known() && declared.major < 7 ? declared : TomcatVersion{};
    // The wrapper's name is the home's own word on its major version: notes
    // that claim another, copied in or edited, are not believed.
    const int major = modernWrapperMajor(layout.wrapperProgram);
    if (major == 0) return {};
    if (declared.major == major) return declared;
    return {major, -1, std::to_string(major)};
}

TomcatVersion tomcatVersionAt(const std::string& catalinaHome, Files& files) {
    return tomcatVersionOf(catalinaHome, tomcatLayoutOf(catalinaHome, files), files);
}

std::optional<std::vector<std::string>> serviceScriptJvmOptions9(const std::string& serviceBat) {
    const auto arguments = installCommandArguments(serviceBat);
    if (!arguments) return std::nullopt;
    const auto options9 = argumentAfter(*arguments, "--JvmOptions9");
    if (!options9) return std::nullopt;
    std::vector<std::string> options = listEntries(*options9);
    // Fixed entries of --JvmOptions (no %VARIABLE%) are the script's own additions, such as a -D flag.
    if (const auto general = argumentAfter(*arguments, "--JvmOptions"))
        for (const auto& entry : listEntries(*general))
            if (entry.find('%') == std::string::npos) options.push_back(entry);
    return options;
}

int javaBaselineOf(const TomcatVersion& version) {
    if (version.major >= 12) return 21;
    if (version.major == 11) return 17;
    if (version.major == 10 && version.minor >= 1) return 11;
    if (version.major == 10 && version.minor == 0) return 8;
    if (version.major == 9) return 8;
    return 0;
}

bool ajpListensOnLoopback(const TomcatVersion& version) {
    if (version.major >= 10) return true;
    const auto lastDot = version.text.rfind('.');
    if (version.minor < 0 || lastDot == std::string::npos) return false;
    const int patch = wholeNumber<int>(version.text.substr(lastDot + 1)).value_or(-1);
    if (version.major == 9) return version.minor > 0 || patch >= 31;
    if (version.major == 8) return version.minor == 5 && patch >= 51;
    return version.major == 7 && patch >= 100;
}

std::vector<std::string> branchJvmOptions9(const TomcatVersion& version) {
    std::vector<std::string> options = baseOpens();
    // Each branch's own service.bat: 12 and later only add native access to the base opens.
    const bool branch90 = version.major == 9;
    const bool branch101 = version.major == 10 && version.minor == 1;
    const bool branch11 = version.major == 11;
    const bool branch12 = version.major >= 12;
    if (branch90) options.insert(options.begin() + 1, {kOpensInvoke, kOpensReflect});
    if (branch101 || branch11) options.insert(options.begin() + 1, kOpensReflect);
    if (branch11 || branch12) options.push_back(kNativeAccess);
    if (branch90 || branch101) options.push_back(kNoCanonCaches);
    return options;
}

JvmOptions9 jvmOptions9For(const std::string& catalinaHome, const TomcatVersion& version, Files& files) {
    if (!catalinaHome.empty()) {
        const std::string script = catalinaHome + "\\bin\\service.bat";
        if (const auto text = files.readBytes(script, kServiceScriptBytes))
            if (auto options = serviceScriptJvmOptions9(*text)) return {*options, script};
    }
    return {branchJvmOptions9(version), {}};
}

std::optional<JvmOptions9> wrapperJvmOptions9(const Configuration& c, Files& files) {
    const TomcatLayout layout = tomcatLayoutOf(c.catalinaHome, files);
    if (layout.family != WrapperFamily::Modern) return std::nullopt;
    return jvmOptions9For(c.catalinaHome, tomcatVersionOf(c.catalinaHome, layout, files), files);
}

std::vector<std::string> unusableScriptOptions(const JvmOptions9& options) {
    std::vector<std::string> unusable;
    for (const auto& option : options.options)
        if (quoteTheWrapperListCannotCarry(option) || firstHiddenCharacter(option)) unusable.push_back(option);
    return unusable;
}

std::vector<std::string> jvmOptions9Lines(const JvmOptions9& options) {
    std::vector<std::string> lines = {
        options.script.empty() ? "From the Tomcat branch's own list (the home has no bin\\service.bat that gives one):"
                               : "From " + options.script + ", its install command:"};
    for (const auto& option : options.options) lines.push_back("  " + visibleText(option));
    return lines;
}

std::string unusableScriptOptionMessage(const std::string& option, const std::string& script) {
    const std::string entry =
        "The JVM option \"" + visibleText(option) + "\" that " + script + " passes to the service wrapper";
    const std::string fix = ": correct the script. Nothing is installed until then.";
    if (const auto hidden = firstHiddenCharacter(option))
        return entry + " holds " + codePointName(*hidden) +
               (*hidden <= 0x9F ? ", a control character" : ", a bidirectional formatting character") +
               ", which Velmora does not pass on to the JVM" + fix;
    if (quoteTheWrapperListCannotCarry(option) == '"')
        return entry + " holds a double quote (\") without its pair, which would take the options after it along" + fix;
    return entry + " holds a single quote ('), which the wrapper cannot pass to the JVM whole" + fix;
}

int jdkFeatureVersionOf(const std::string& javaHome, Files& files) {
    const auto release = files.readBytes(javaHome + "\\release", 4096);
    return release ? javaFeatureVersion(*release) : 0;
}

std::string securityManagerRefusal(const TomcatVersion& tomcat, int jdkFeature, const std::string& javaHome) {
    if (tomcat.major >= 11)
        return "Tomcat " + tomcat.text + " no longer supports the security manager: the service would not start.";
    if (jdkFeature >= 24)
        return "The JDK at " + javaHome + " (Java " + std::to_string(jdkFeature) +
               ") refuses to start with the security manager: the service would not start.";
    return {};
}

bool hasClientJvm(const std::string& javaHome, Files& files) {
    return files.fileExists(javaHome + "\\jre\\bin\\client\\jvm.dll") ||
           files.fileExists(javaHome + "\\bin\\client\\jvm.dll");
}

std::string clientJvmRefusal(const std::string& javaHome, Files& files) {
    if (javaHome.empty() || !files.folderExists(javaHome) || hasClientJvm(javaHome, files)) return {};
    return "The JDK at " + javaHome +
           " has no client JVM (64-bit JDKs bring only the server JVM): the service could not "
           "load it.";
}

std::string classicWrapperJdkRefusal(const std::string& catalinaHome, const std::string& javaHome, int jdkFeature,
                                     Files& files) {
    if (jdkFeature < 9) return {};
    const TomcatLayout layout = tomcatLayoutOf(catalinaHome, files);
    if (layout.family != WrapperFamily::Classic || !files.fileExists(layout.wrapperProgram)) return {};
    return "The classic service wrapper (bin\\tomcat.exe) of " + catalinaHome +
           " starts the JVM with java.endorsed.dirs, which Java 9 and later refuse: the JDK at " + javaHome +
           " (Java " + std::to_string(jdkFeature) +
           ") could not start Tomcat. Choose a Java 8 JDK, or a Tomcat 7 or later home.";
}

std::vector<UnrunnableChoice> unrunnableChoices(const Configuration& c, const TomcatVersion& tomcat, int jdkFeature,
                                                Files& files) {
    std::vector<UnrunnableChoice> found;
    if (c.useSecurityManager)
        if (std::string why = securityManagerRefusal(tomcat, jdkFeature, c.javaHome); !why.empty())
            found.push_back({Field::UseSecurityManager, why});
    if (c.jvmType == JvmType::Client)
        if (std::string why = clientJvmRefusal(c.javaHome, files); !why.empty()) found.push_back({Field::JvmType, why});
    return found;
}

}  // namespace velmora
