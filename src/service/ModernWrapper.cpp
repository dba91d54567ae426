#include "service/ModernWrapper.h"

#include <algorithm>
#include <map>

#include "config/Encodings.h"
#include "config/TomcatRelease.h"
#include "platform/WindowsPaths.h"
#include "service/JvmOptions.h"

namespace velmora {

namespace {
const std::string kBootstrap = "org.apache.catalina.startup.Bootstrap";

void addSize(std::vector<WrapperOption>& options, const std::string& name, std::uint16_t size) {
    if (size > 0) options.push_back({name, std::to_string(size), false});
}
}  // namespace

std::optional<WrapperCopy> ModernWrapper::copy(const Configuration&) const { return std::nullopt; }

std::vector<WrapperOption> ModernWrapper::options(const Configuration& c) const {
    const TomcatVersion version = tomcatVersionOf(c.catalinaHome, {WrapperFamily::Modern, wrapperExe_}, files_);
    return modernInstallOptions(c, wrapperExe_, jvmLibraryPath(c.javaHome, c.jvmType, files_),
                                jvmOptions9For(c.catalinaHome, version, files_).options);
}

ProcessRun ModernWrapper::registering(const Configuration& c) const {
    std::string command = quoteArgument(wrapperExe_) + " //IS//" + c.serviceName;
    for (const auto& option : options(c)) command += " --" + option.name + " " + option.text();
    return {wrapperExe_, command};
}

ProcessRun ModernWrapper::unregistering(const Configuration& c) const {
    return {wrapperExe_, modernUninstallCommand(c.serviceName, wrapperExe_)};
}

std::string ModernWrapper::programLine(const Configuration& c) const {
    return modernProgramLine(c.serviceName, wrapperExe_);
}

// The display name and the description go through the service manager, which
// then reports them itself; the program is the same, or this is a reinstall.
std::optional<ProcessRun> ModernWrapper::updating(const Configuration& from, const Configuration& to) const {
    // An install leaves out a size or an environment that is none; an update gives it as none.
    const auto withNone = [](std::vector<WrapperOption> options) {
        const WrapperOption none[] = {
            {"JvmMs", "0", false}, {"JvmMx", "0", false}, {"JvmSs", "0", false}, {"Environment", ""}};
        for (const WrapperOption& noneGiven : none)
            if (std::none_of(options.begin(), options.end(),
                             [&](const WrapperOption& o) { return o.name == noneGiven.name; }))
                options.push_back(noneGiven);
        return options;
    };
    std::map<std::string, std::string> before;
    for (const auto& option : withNone(options(from))) before[option.name] = option.text();
    std::string command = quoteArgument(wrapperExe_) + " //US//" + to.serviceName;
    bool any = false;
    for (const auto& option : withNone(options(to))) {
        if (option.name == "DisplayName" || option.name == "Description" || option.name == "Install") continue;
        if (before[option.name] == option.text()) continue;
        command += " --" + option.name + " " + option.text();
        any = true;
    }
    if (!any) return std::nullopt;
    return ProcessRun{wrapperExe_, command};
}

// Everything went to the wrapper as options; it keeps them itself.
std::vector<WrapperValue> ModernWrapper::parameters(const Configuration&) const { return {}; }

std::vector<std::string> modernJvmOptions(const Configuration& c) {
    std::vector<std::string> options = {
        "-Dcatalina.home=" + c.catalinaHome,
        "-Dcatalina.base=" + c.catalinaBase,
        "-Djava.io.tmpdir=" + c.tempDirectory,
        "-Djava.util.logging.manager=org.apache.juli.ClassLoaderLogManager",
        "-Djava.util.logging.config.file=" + c.catalinaBase + "\\conf\\logging.properties",
    };
    for (auto& option : conditionalJvmOptions(c, false)) options.push_back(std::move(option));
    return options;
}

std::vector<WrapperOption> modernInstallOptions(const Configuration& c, const std::string& wrapperPath,
                                                const std::string& jvmLibrary,
                                                const std::vector<std::string>& jvmOptions9) {
    std::vector<WrapperOption> options = {
        {"DisplayName", c.displayName.empty() ? c.serviceName : c.displayName},
        {"Description", c.description},
        {"Install", wrapperPath},
        {"LogPath", c.catalinaBase + "\\logs"},
        {"Jvm", jvmLibrary},
        {"StartPath", c.catalinaHome},
        {"StopPath", c.catalinaHome},
        {"Classpath", c.classPath},
        {"StartClass", kBootstrap, false},
        {"StopClass", kBootstrap, false},
        {"StartParams", "start", false},
        {"StopParams", "stop", false},
        {"StartMode", "jvm", false},
        {"StopMode", "jvm", false},
        {"JvmOptions", joinWrapperList(modernJvmOptions(c))},
        {"JvmOptions9", joinWrapperList(jvmOptions9)},
    };
    addSize(options, "JvmMs", c.initialHeapSize);
    addSize(options, "JvmMx", c.maxHeapSize);
    addSize(options, "JvmSs", c.threadStackSize);
    options.push_back({"StdOutput", systemOutFile(c)});
    options.push_back({"StdError", systemErrFile(c)});
    options.push_back({"StopTimeout", std::to_string(c.stopTimeout), false});
    if (!c.environment.empty()) options.push_back({"Environment", joinWrapperList(c.environment)});
    return options;
}

std::string WrapperOption::text() const { return quoted ? quoteArgument(value) : value; }

std::string modernUninstallCommand(const std::string& serviceName, const std::string& wrapperPath) {
    return quoteArgument(wrapperPath) + " //DS//" + serviceName;
}

std::string modernProgramLine(const std::string& serviceName, const std::string& wrapperPath) {
    return quoteArgument(wrapperPath) + " //RS//" + serviceName;
}

std::string joinWrapperList(const std::vector<std::string>& entries) {
    std::string joined;
    for (const auto& entry : entries) {
        if (!joined.empty()) joined += '#';
        const bool holdsSeparator = entry.find_first_of("#;") != std::string::npos;
        joined += holdsSeparator ? "'" + entry + "'" : entry;
    }
    return joined;
}

std::string quoteArgument(const std::string& argument) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as escapes only before a quote.
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

}  // namespace velmora
