#include "LaunchAccount.h"

namespace velmora::wrapper {

namespace {

std::string call(const std::string& className, const std::string& method, const std::vector<std::string>& params) {
    std::string text = className + "." + method + "(";
    for (std::size_t i = 0; i < params.size(); ++i) {
        if (i > 0) text += ' ';
        text += params[i];
    }
    return text + ")";
}

}  // namespace

std::vector<std::string> launchAccount(const std::string& serviceName, const LaunchParameters& parameters) {
    std::vector<std::string> lines{"service: " + serviceName, "library: " + parameters.jvmLibrary};
    for (std::size_t n = 0; n < parameters.jvmOptions.size(); ++n)
        lines.push_back("option " + std::to_string(n) + ": " + parameters.jvmOptions[n]);
    lines.push_back("System.out: " + parameters.outFile);
    lines.push_back("System.err: " + parameters.errFile);
    lines.push_back("start: " + call(parameters.startClass, parameters.startMethod, parameters.startParams));
    return lines;
}

std::string stopAccount(const LaunchParameters& parameters) {
    return "stop: " + call(parameters.stopClass, parameters.stopMethod, parameters.stopParams);
}

}  // namespace velmora::wrapper
