#include "service/ClassicWrapper.h"

#include <algorithm>

#include "platform/Text.h"
#include "platform/WindowsPaths.h"
#include "service/JvmOptions.h"
#include "service/ServiceNames.h"

namespace velmora {

namespace {
const std::string kBootstrap = "org.apache.catalina.startup.BootstrapService";
}

std::string wrapperCopyPath(const Configuration& c) { return c.catalinaHome + "\\bin\\" + c.serviceName + ".exe"; }

std::string registeringCommand(const Configuration& c, const std::string& jvmLibrary) {
    return wrapperCopyPath(c) + " -install " + c.serviceName + " " + jvmLibrary + " -start main";
}

std::string unregisteringCommand(const Configuration& c) { return wrapperCopyPath(c) + " -uninstall " + c.serviceName; }

std::optional<WrapperCopy> ClassicWrapper::copy(const Configuration& c) const {
    return WrapperCopy{c.catalinaHome + "\\bin\\tomcat.exe", wrapperCopyPath(c)};
}

ProcessRun ClassicWrapper::registering(const Configuration& c) const {
    return {wrapperCopyPath(c), registeringCommand(c, jvmLibraryPath(c.javaHome, c.jvmType, files_))};
}

ProcessRun ClassicWrapper::unregistering(const Configuration& c) const {
    return {wrapperCopyPath(c), unregisteringCommand(c)};
}

std::vector<WrapperValue> ClassicWrapper::parameters(const Configuration& c) const {
    return serviceWrapperParameters(c);
}

std::string ClassicWrapper::programLine(const Configuration& c) const {
    // Built up in place: GCC 12 takes a chain of + starting with a literal for an overlapping copy.
    std::string line = "\"";
    line.append(wrapperCopyPath(c)).append("\" -service ").append(c.serviceName);
    return line;
}

// The description goes through the service manager, which keeps it in the same place.
std::vector<WrapperValue> ClassicWrapper::changedValues(const Configuration& from, const Configuration& to) const {
    const std::vector<WrapperValue> before = startValues(from);
    std::vector<WrapperValue> changed;
    for (auto& value : startValues(to)) {
        if (value.name == "Description") continue;
        const bool same = std::any_of(before.begin(), before.end(), [&](const WrapperValue& old) {
            return old.key == value.key && old.name == value.name && old.data == value.data;
        });
        if (!same) changed.push_back(std::move(value));
    }
    return changed;
}

std::vector<WrapperValue> ClassicWrapper::startValues(const Configuration& c) const {
    std::vector<WrapperValue> values = {
        {parametersKey(c.serviceName), "JVM Library", jvmLibraryPath(c.javaHome, c.jvmType, files_)}};
    for (auto& value : serviceWrapperParameters(c)) values.push_back(std::move(value));
    return values;
}

std::vector<HeldValue> ClassicWrapper::heldValues(const std::string& serviceName, Registry& registry) const {
    return heldValuesBelow(registry, parametersKey(serviceName), RegistryView::Bits64);
}

void ClassicWrapper::readFields(const std::vector<HeldValue>& values, HeldFields& held) const {
    const auto text = [&](const std::string& place) { return heldText(heldValue(values, place)); };
    if (heldValue(values, "JVM Library")) takeJvmLibrary(held, text("JVM Library"));
    std::vector<std::string> options;
    // A damaged count reads no further than the values there are.
    const auto* count = heldValue(values, "JVM Option Count");
    for (std::uint32_t n = 0; count && n < count->number && n < values.size(); ++n)
        if (const auto* option = heldValue(values, "JVM Option Number " + std::to_string(n)))
            options.push_back(heldText(option));
    takeJvmOptions(held, options, {"-Dcatalina.home=", "-Djava.endorsed.dirs=", "-Djava.home="}, true);
    if (heldValue(values, "Start Param Number 2")) held.take(Field::TomcatConfigFile, text("Start Param Number 2"));
    takeLogFolder(held, Field::SystemOut, text("System.out File"), {});
    takeLogFolder(held, Field::SystemErr, text("System.err File"), {});
}

std::vector<std::string> ClassicWrapper::valuesNotKept(const std::vector<HeldValue>& values,
                                                       const Configuration& c) const {
    std::vector<std::string> notKept;
    const std::vector<WrapperValue> given = startValues(c);
    const std::string params = parametersKey(c.serviceName);
    for (const WrapperValue& value : given) {
        if (value.key != params) continue;
        const auto* number = std::get_if<std::uint32_t>(&value.data);
        const std::string text = number ? (*number ? std::to_string(*number) : "") : std::get<std::string>(value.data);
        if (const std::string held = heldText(heldValue(values, value.name)); held != text)
            notKept.push_back(wrapperValueNotKept(value.name, held, text));
    }
    for (const HeldValue& held : values)
        if (std::none_of(given.begin(), given.end(),
                         [&](const WrapperValue& v) { return sameName(v.name, held.place); }))
            notKept.push_back(wrapperValueUnknown(held.place, heldText(&held.value)));
    return notKept;
}

std::vector<WrapperValue> serviceWrapperParameters(const Configuration& c) {
    const std::string service = serviceKey(c.serviceName);
    const std::string params = parametersKey(c.serviceName);
    std::vector<WrapperValue> values = {
        {service, "Description", c.description},
        {params, "Start Class", kBootstrap},
        {params, "Start Method", std::string("main")},
        {params, "Start Param Count", 3u},
        {params, "Start Param Number 0", std::string("start")},
        {params, "Start Param Number 1", std::string("-config")},
        {params, "Start Param Number 2", c.tomcatConfigFile},
        {params, "Stop Param Count", 1u},
        {params, "Stop Method", std::string("main")},
        {params, "Stop Class", kBootstrap},
        {params, "Stop Param Number 0", std::string("stop")},
        {params, "System.out File", systemOutFile(c)},
        {params, "System.err File", systemErrFile(c)},
    };
    std::vector<std::string> options = {
        "-Dcatalina.home=" + c.catalinaHome,   "-Dcatalina.base=" + c.catalinaBase,
        "-Djava.io.tmpdir=" + c.tempDirectory, "-Djava.endorsed.dirs=" + c.catalinaHome + "\\common\\endorsed",
        "-Djava.class.path=" + c.classPath,    "-Djava.home=" + c.javaHome + "\\jre",
    };
    for (auto& option : conditionalJvmOptions(c, true)) options.push_back(std::move(option));
    for (std::size_t n = 0; n < options.size(); ++n)
        values.push_back({params, "JVM Option Number " + std::to_string(n), options[n]});
    values.push_back({params, "JVM Option Count", static_cast<std::uint32_t>(options.size())});
    return values;
}

}  // namespace velmora
