#include "LaunchParameters.h"

#include <algorithm>
#include <cstdint>

#include "StandInJvm.h"
#include "platform/win32/Win32Registry.h"

namespace velmora::wrapper {

namespace {

// Guards against a damaged count keeping the service in start-up for ages.
constexpr std::uint32_t maxListedValues = 1024;

// A text as the wrapper reads it: up to its first NUL.
std::string textOf(const std::optional<RegistryValue>& value) {
    if (!value || (value->type != kRegSz && value->type != kRegExpandSz)) return {};
    return value->text.substr(0, value->text.find('\0'));
}

}  // namespace

std::string serviceKeyPath(const std::string& serviceName) {
    return "SYSTEM\\CurrentControlSet\\Services\\" + serviceName;
}

std::string parametersKeyPath(const std::string& serviceName) { return serviceKeyPath(serviceName) + "\\Parameters"; }

LaunchParameters readLaunchParameters(const std::string& serviceName) {
    Win32Registry registry;
    const std::string key = parametersKeyPath(serviceName);
    const auto text = [&](const std::string& name) { return textOf(registry.read(kLocalMachine, key, name)); };
    const auto numbered = [&](const std::string& countName, const std::string& itemPrefix) {
        const auto count = registry.read(kLocalMachine, key, countName);
        const std::uint32_t listed = count && count->type == kRegDword ? std::min(count->number, maxListedValues) : 0;
        std::vector<std::string> items;
        for (std::uint32_t n = 0; n < listed; ++n) items.push_back(text(itemPrefix + std::to_string(n)));
        return items;
    };

    LaunchParameters parameters;
    parameters.jvmLibrary = text("JVM Library");
    parameters.jvmOptions = numbered("JVM Option Count", "JVM Option Number ");
    parameters.startClass = text("Start Class");
    parameters.startMethod = text("Start Method");
    parameters.startParams = numbered("Start Param Count", "Start Param Number ");
    parameters.stopClass = text("Stop Class");
    parameters.stopMethod = text("Stop Method");
    parameters.stopParams = numbered("Stop Param Count", "Stop Param Number ");
    parameters.outFile = text("System.out File");
    parameters.errFile = text("System.err File");
    // It keeps its log of the day in the base's logs folder.
    for (const auto& option : parameters.jvmOptions)
        if (option.rfind("-Dcatalina.base=", 0) == 0)
            parameters.wrapperLog = option.substr(16) + "\\logs\\jakarta_service_" + today("%04u%02u%02u") + ".log";
    return parameters;
}

}  // namespace velmora::wrapper
