#include "config/ConfigurationList.h"

#include <algorithm>
#include <cctype>

namespace velmora {

bool sameConfigurationName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::vector<std::string> listWithoutName(const std::vector<std::string>& names, const std::string& name) {
    std::vector<std::string> kept;
    for (const auto& entry : names)
        if (!entry.empty() && !sameConfigurationName(entry, name)) kept.push_back(entry);
    return kept;
}

std::vector<std::string> listWithNameLast(const std::vector<std::string>& names, const std::string& name) {
    auto list = listWithoutName(names, name);
    if (!name.empty()) list.push_back(name);
    return list;
}

bool listHoldsName(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& entry) { return sameConfigurationName(entry, name); });
}

}  // namespace velmora
