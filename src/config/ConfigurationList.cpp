#include "config/ConfigurationList.h"

namespace velmora {

std::vector<std::string> listWithoutName(const std::vector<std::string>& names, const std::string& name) {
    std::vector<std::string> kept;
    for (const auto& entry : names)
        if (!entry.empty() && entry != name) kept.push_back(entry);
    return kept;
}

std::vector<std::string> listWithNameLast(const std::vector<std::string>& names, const std::string& name) {
    auto list = listWithoutName(names, name);
    if (!name.empty()) list.push_back(name);
    return list;
}

std::string unusableNameReason(const std::string& name) {
    if (name.empty())
        return "The Service Name is empty. A configuration and its service need a name: enter one in the "
               "Service Name box and try again.";
    if (name.find('\\') != std::string::npos)
        return "The Service Name \"" + name +
               "\" cannot be used: a configuration or service name must not contain a backslash (\\). "
               "Enter another name and try again.";
    return {};
}

}  // namespace velmora
