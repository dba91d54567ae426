#include "service/ModernWrapper.h"

#include <algorithm>
#include <map>

#include "config/Encodings.h"
#include "config/TomcatRelease.h"
#include "platform/Text.h"
#include "platform/WindowsPaths.h"
#include "service/JvmOptions.h"

namespace velmora {

namespace {
const std::string kBootstrap = "org.apache.catalina.startup.Bootstrap";

// Where the wrapper keeps what each of its options gives, below its Parameters key.
struct OptionPlace {
    const char* option;
    const char* place;
};
constexpr OptionPlace kOptionPlaces[] = {
    {"LogPath", "Log\\Path"},
    {"Jvm", "Java\\Jvm"},
    {"StartPath", "Start\\WorkingPath"},
    {"StopPath", "Stop\\WorkingPath"},
    {"Classpath", "Java\\Classpath"},
    {"StartClass", "Start\\Class"},
    {"StopClass", "Stop\\Class"},
    {"StartParams", "Start\\Params"},
    {"StopParams", "Stop\\Params"},
    {"StartMode", "Start\\Mode"},
    {"StopMode", "Stop\\Mode"},
    {"JvmOptions", "Java\\Options"},
    {"JvmOptions9", "Java\\Options9"},
    {"JvmMs", "Java\\JvmMs"},
    {"JvmMx", "Java\\JvmMx"},
    {"JvmSs", "Java\\JvmSs"},
    {"StdOutput", "Log\\StdOutput"},
    {"StdError", "Log\\StdError"},
    {"StopTimeout", "Stop\\Timeout"},
    {"Environment", "Environment"},
};

const char* placeOfOption(const std::string& option) {
    for (const OptionPlace& known : kOptionPlaces)
        if (option == known.option) return known.place;
    return nullptr;
}

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

std::string procrunParametersKey(const std::string& serviceName) {
    return "SOFTWARE\\Apache Software Foundation\\Procrun 2.0\\" + serviceName + "\\Parameters";
}

std::vector<HeldValue> ModernWrapper::heldValues(const std::string& serviceName, Registry& registry) const {
    return heldValuesBelow(registry, procrunParametersKey(serviceName), RegistryView::Bits32);
}

void ModernWrapper::readFields(const std::vector<HeldValue>& values, HeldFields& held) const {
    const auto text = [&](const char* place) { return heldText(heldValue(values, place)); };
    if (const auto* jvm = heldValue(values, "Java\\Jvm")) takeJvmLibrary(held, heldText(jvm));
    if (heldValue(values, "Java\\Classpath")) held.take(Field::ClassPath, text("Java\\Classpath"));
    takeJvmOptions(held, heldList(heldValue(values, "Java\\Options")),
                   {"-Dcatalina.home=", "-Djava.util.logging.manager=", "-Djava.util.logging.config.file="}, false);
    held.take(Field::InitialHeapSize, text("Java\\JvmMs"));
    held.take(Field::MaxHeapSize, text("Java\\JvmMx"));
    held.take(Field::ThreadStackSize, text("Java\\JvmSs"));
    takeLogFolder(held, Field::SystemOut, text("Log\\StdOutput"), text("Log\\Path"));
    takeLogFolder(held, Field::SystemErr, text("Log\\StdError"), text("Log\\Path"));
    // Without a timeout of its own the wrapper waits as long as it does by default.
    if (const auto* timeout = heldValue(values, "Stop\\Timeout"); timeout && timeout->type == kRegDword)
        held.take(Field::StopTimeout, std::to_string(timeout->number));
    held.takeList(Field::Environment, heldList(heldValue(values, "Environment")));
    const std::vector<std::string> start = heldList(heldValue(values, "Start\\Params"));
    for (std::size_t i = 0; i + 1 < start.size(); ++i)
        if (start[i] == "-config") held.take(Field::TomcatConfigFile, start[i + 1]);
}

std::vector<std::string> ModernWrapper::valuesNotKept(const std::vector<HeldValue>& values,
                                                      const Configuration& c) const {
    std::vector<std::string> notKept;
    for (const auto& option : options(c))
        if (const char* place = placeOfOption(option.name))
            if (const std::string held = heldText(heldValue(values, place)); held != option.value)
                notKept.push_back(wrapperValueNotKept(place, held, option.value));
    for (const HeldValue& value : values)
        if (std::none_of(std::begin(kOptionPlaces), std::end(kOptionPlaces),
                         [&](const OptionPlace& known) { return sameName(known.place, value.place); }))
            notKept.push_back(wrapperValueUnknown(value.place, heldText(&value.value)));
    return notKept;
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

// Tomcat reads its base's conf\server.xml unless Bootstrap is given another
// with -config, and its stop looks for the shutdown port in the same file.
static WrapperOption bootstrapParams(const Configuration& c, const char* option, const char* command) {
    if (c.tomcatConfigFile.empty() || samePath(c.tomcatConfigFile, c.catalinaBase + "\\conf\\server.xml"))
        return {option, command, false};
    return {option, joinWrapperList({"-config", c.tomcatConfigFile, command})};
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
        bootstrapParams(c, "StartParams", "start"),
        bootstrapParams(c, "StopParams", "stop"),
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
