#include "service/WrapperParameters.h"

#include "config/Encodings.h"
#include "service/ServiceCommands.h"

namespace velmora {

namespace {
const std::string kBootstrap = "org.apache.catalina.startup.BootstrapService";
}

std::vector<std::string> conditionalJvmOptions(const Configuration& c) {
    std::vector<std::string> options;
    if (c.useSecurityManager == 1) {
        options.push_back("-Djava.security.manager");
        options.push_back("-Djava.security.policy=" + c.securityPolicyFile);
    }
    if (c.reduceOsSignals == 1) options.push_back("-Xrs");
    if (leadingNumber(c.initialHeapSize) > 0) options.push_back("-Xms" + c.initialHeapSize + "m");
    if (leadingNumber(c.threadStackSize) > 0) options.push_back("-Xss" + c.threadStackSize + "k");
    if (leadingNumber(c.maxHeapSize) > 0) options.push_back("-Xmx" + c.maxHeapSize + "m");
    for (const auto& option : c.additionalJvmOptions)
        if (!option.empty()) options.push_back(option);
    return options;
}

ServiceWrapperParameters serviceWrapperParameters(const Configuration& c) {
    const std::string service = serviceKey(c.serviceName);
    const std::string params = parametersKey(c.serviceName);
    std::vector<WrapperValue> values = {
        {service, "Description", c.description},
        {params, "Start Class", kBootstrap},
        {params, "Start Method", std::string("main")},
        {params, "Start Param Count", 3},
        {params, "Start Param Number 0", std::string("start")},
        {params, "Start Param Number 1", std::string("-config")},
        {params, "Start Param Number 2", c.tomcatConfigFile},
        {params, "Stop Param Count", 1},
        {params, "Stop Method", std::string("main")},
        {params, "Stop Class", kBootstrap},
        {params, "Stop Param Number 0", std::string("stop")},
        {params, "System.out File", c.systemOut + "\\" + c.serviceName + "_out.log"},
        {params, "System.err File", c.systemErr + "\\" + c.serviceName + "_err.log"},
    };
    std::vector<std::string> options = {
        "-Dcatalina.home=" + c.catalinaHome,
        "-Dcatalina.base=" + c.catalinaBase,
        "-Djava.io.tmpdir=" + c.tempDirectory,
        "-Djava.endorsed.dirs=" + c.catalinaHome + "\\common\\endorsed",
        "-Djava.class.path=" + c.classPath,
        "-Djava.home=" + c.javaHome + "\\jre",
    };
    for (auto& option : conditionalJvmOptions(c)) options.push_back(std::move(option));
    for (std::size_t n = 0; n < options.size(); ++n)
        values.push_back({params, "JVM Option Number " + std::to_string(n), options[n]});
    values.push_back({params, "JVM Option Count", static_cast<std::int32_t>(options.size())});
    return values;
}

}  // namespace velmora
