#include "config/TomcatLayout.h"

#include <algorithm>
#include <cctype>

#include "config/JdkLookup.h"
#include "platform/Numbers.h"
#include "platform/TextScan.h"

namespace velmora {

namespace {
constexpr std::size_t kReleaseFileBytes = 4096;

int leadingInteger(const std::string& text, std::size_t at) {
    int number = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && number < 100000; ++at)
        number = number * 10 + (text[at] - '0');
    return number;
}
}  // namespace

TomcatLayout tomcatLayoutOf(const std::string& catalinaHome, Files& files) {
    const std::string bin = catalinaHome + "\\bin\\";
    int newest = 0;
    if (!catalinaHome.empty() && !files.fileExists(bin + "tomcat.exe"))
        for (const auto& file : files.listFiles(catalinaHome + "\\bin", "tomcat*.exe"))
            newest = std::max(newest, modernWrapperMajor(file.path));
    if (newest > 0) return {WrapperFamily::Modern, bin + "tomcat" + std::to_string(newest) + ".exe"};
    return {WrapperFamily::Classic, bin + "tomcat.exe"};
}

int modernWrapperMajor(const std::string& program) {
    std::string name = program.substr(program.find_last_of("\\/") + 1);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    TextScanner s(name, 0);
    const auto major = s.take("tomcat") ? s.takeDigits(1, 3) : std::nullopt;
    if (!major || name != "tomcat" + *major + ".exe") return 0;
    const int number = wholeNumber<int>(*major).value_or(0);
    return number >= 7 ? number : 0;
}

std::string defaultClassPath(const TomcatLayout& layout, const std::string& catalinaHome, const std::string& javaHome,
                             bool withToolsJar) {
    const std::string bootstrap = catalinaHome + "\\bin\\bootstrap.jar;";
    if (layout.family == WrapperFamily::Modern) return bootstrap + catalinaHome + "\\bin\\tomcat-juli.jar";
    const std::string catalina = bootstrap + catalinaHome + "\\common\\lib";
    return withToolsJar ? catalina + ";" + javaHome + "\\lib\\tools.jar" : catalina;
}

std::vector<LayoutEntry> layoutEntries(const TomcatLayout& layout, const Configuration& c) {
    if (layout.family == WrapperFamily::Classic) return {{layout.wrapperProgram, "Tomcat service executable"}};
    return {{layout.wrapperProgram, "Tomcat service executable"},
            {c.catalinaHome + "\\lib", "Tomcat lib folder", true},
            {c.catalinaBase + "\\conf\\logging.properties", "Tomcat logging config file"}};
}

int javaFeatureVersion(const std::string& releaseText) {
    const std::string key = "JAVA_VERSION=";
    std::size_t at = 0;
    // The key must start a line; IMPLEMENTOR_VERSION and the like do not count.
    while ((at = releaseText.find(key, at)) != std::string::npos && at > 0 && releaseText[at - 1] != '\n') ++at;
    if (at == std::string::npos) return 0;
    at += key.size();
    if (at < releaseText.size() && releaseText[at] == '"') ++at;
    if (releaseText.compare(at, 2, "1.") == 0) return leadingInteger(releaseText, at + 2);
    return leadingInteger(releaseText, at);
}

bool jdkOffersToolsJar(const std::string& javaHome, Files& files) {
    // Without a release file, a JDK without a jre folder is one of 9 or later.
    const auto release = files.readBytes(javaHome + "\\release", kReleaseFileBytes);
    const bool modular = release ? javaFeatureVersion(*release) >= 9
                                 : files.folderExists(javaHome) && !files.folderExists(javaHome + "\\jre");
    return !modular || files.fileExists(javaHome + "\\lib\\tools.jar");
}

std::string jvmLibraryPath(const std::string& javaHome, JvmType jvmType, Files& files) {
    const std::string type = jvmTypeName(jvmType);
    const std::string classic = javaHome + "\\jre\\bin\\" + type + "\\jvm.dll";
    const std::string modular = javaHome + "\\bin\\" + type + "\\jvm.dll";
    // A JDK without a jre folder (9 and later) keeps it in bin, also while it is missing; of a JDK that is
    // gone, only its folder's name tells.
    const bool modularJdk =
        files.folderExists(javaHome) ? !files.folderExists(javaHome + "\\jre") : javaMajorOfName(javaHome) >= 9;
    return !files.fileExists(classic) && (files.fileExists(modular) || modularJdk) ? modular : classic;
}

std::string missingJvmLibrary(const std::string& javaHome, JvmType jvmType, Files& files) {
    const std::string library = jvmLibraryPath(javaHome, jvmType, files);
    if (files.fileExists(library)) return {};
    return "The JDK at " + javaHome + " has no " + jvmTypeName(jvmType) + " JVM library (" + library + ")";
}

}  // namespace velmora

namespace velmora {

std::optional<char> quoteTheWrapperListCannotCarry(const std::string& entry) {
    if (entry.find('\'') != std::string::npos) return '\'';
    if (std::count(entry.begin(), entry.end(), '"') % 2 != 0) return '"';
    return std::nullopt;
}

namespace {

std::vector<UncarriedValue> valuesTheWrapperCannotCarry(const TomcatLayout& layout, const Configuration& c) {
    std::vector<UncarriedValue> found;
    if (layout.family != WrapperFamily::Modern) {
        for (const auto& variable : c.environment) found.push_back({"Environment", variable, true});
        return found;
    }
    auto look = [&](const std::string& label, const std::string& value) {
        if (const auto quote = quoteTheWrapperListCannotCarry(value)) found.push_back({label, value, false, *quote});
    };
    look("Catalina Home", c.catalinaHome);
    look("Catalina Base", c.catalinaBase);
    look("Temp Directory", c.tempDirectory);
    look("Tomcat Config File", c.tomcatConfigFile);  // a list entry too, after -config
    if (c.useSecurityManager == 1) look("Security Policy File", c.securityPolicyFile);
    for (const auto& option : c.additionalJvmOptions) look("Additional JVM Options", option);
    for (const auto& variable : c.environment) look("Environment", variable);
    return found;
}

std::vector<UncarriedValue> valuesOutsideAnsiCodePage(const TomcatLayout& layout, const Configuration& c,
                                                      Environment& environment) {
    std::vector<UncarriedValue> found;
    auto look = [&](const std::string& label, const std::string& value) {
        if (!environment.ansiCodePageHolds(value)) found.push_back({label, value, false, '\'', true});
    };
    look("Catalina Home", c.catalinaHome);
    look("Catalina Base", c.catalinaBase);
    look("Temp Directory", c.tempDirectory);
    look("Classpath", c.classPath);
    if (layout.family == WrapperFamily::Classic) look("Java Home", c.javaHome);  // as java.home
    if (c.useSecurityManager == 1) look("Security Policy File", c.securityPolicyFile);
    for (const auto& option : c.additionalJvmOptions) look("Additional JVM Options", option);
    return found;
}

}  // namespace

std::vector<UncarriedValue> uncarriedValues(const TomcatLayout& layout, const Configuration& c,
                                            Environment& environment) {
    std::vector<UncarriedValue> found = valuesTheWrapperCannotCarry(layout, c);
    for (auto& value : valuesOutsideAnsiCodePage(layout, c, environment)) found.push_back(std::move(value));
    return found;
}

std::string uncarriedValueMessage(const UncarriedValue& value) {
    if (value.outsideCodePage)
        return "The service wrapper hands the JVM its options in the code page Windows uses for programs that are "
               "not Unicode, which has no character for part of '" +
               value.value + "' (" + value.label +
               "): the JVM would read '?' in its place and Tomcat would not find its files. Choose a value in that "
               "code page's characters, or change the system locale (Region, Administrative).";
    if (value.noEnvironment)
        return "The classic service wrapper (bin\\tomcat.exe) hands the JVM no environment of its own, so '" +
               value.value +
               "' (Environment) would never reach Tomcat. Set it for the machine instead, or use a "
               "Tomcat 7 or later home.";
    if (value.quote == '"')
        return "The Tomcat service wrapper of this Catalina home takes the JVM options and Tomcat's start parameters "
               "as lists in which a double quote (\") opens a part that only the next one closes, so '" +
               value.value + "' (" + value.label +
               ") would swallow the entries after it. Choose a value whose double quotes come in pairs.";
    return "The Tomcat service wrapper of this Catalina home takes the JVM options and Tomcat's start parameters as "
           "lists in which a single quote (') cannot stand, so '" +
           value.value + "' (" + value.label +
           ") would not reach the JVM whole. Choose a value without a single quote.";
}

}  // namespace velmora
