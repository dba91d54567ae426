#include "service/ModernWrapper.h"

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

ProcessRun ModernWrapper::registering(const Configuration& c) const {
    const TomcatVersion version = tomcatVersionOf(c.catalinaHome, {WrapperFamily::Modern, wrapperExe_}, files_);
    return {wrapperExe_, modernInstallCommand(c, wrapperExe_, jvmLibraryPath(c.javaHome, c.jvmType, files_),
                                              jvmOptions9For(c.catalinaHome, version, files_).options)};
}

ProcessRun ModernWrapper::unregistering(const Configuration& c) const {
    return {wrapperExe_, modernUninstallCommand(c.serviceName, wrapperExe_)};
}

std::optional<ProcessRun> ModernWrapper::updatingStopTimeout(const Configuration& c) const {
    return ProcessRun{wrapperExe_, quoteArgument(wrapperExe_) + " //US//" + c.serviceName + " --StopTimeout " +
                                       std::to_string(c.stopTimeout)};
}

std::optional<ProcessRun> ModernWrapper::updatingJvm(const Configuration& c) const {
    return ProcessRun{wrapperExe_, quoteArgument(wrapperExe_) + " //US//" + c.serviceName + " --Jvm " +
                                       quoteArgument(jvmLibraryPath(c.javaHome, c.jvmType, files_)) + " --Classpath " +
                                       quoteArgument(c.classPath)};
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
        {"DisplayName", c.serviceName},
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
    options.push_back({"StdOutput", c.systemOut + "\\" + c.serviceName + "_out.log"});
    options.push_back({"StdError", c.systemErr + "\\" + c.serviceName + "_err.log"});
    options.push_back({"StopTimeout", std::to_string(c.stopTimeout), false});
    return options;
}

std::string modernInstallCommand(const Configuration& c, const std::string& wrapperPath, const std::string& jvmLibrary,
                                 const std::vector<std::string>& jvmOptions9) {
    std::string command = quoteArgument(wrapperPath) + " //IS//" + c.serviceName;
    for (const auto& option : modernInstallOptions(c, wrapperPath, jvmLibrary, jvmOptions9))
        command += " --" + option.name + " " + (option.quoted ? quoteArgument(option.value) : option.value);
    return command;
}

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
