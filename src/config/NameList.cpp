#include "config/NameList.h"

#include <algorithm>

#include "platform/Text.h"

namespace velmora {

std::vector<std::string> listWithoutName(const std::vector<std::string>& names, const std::string& name) {
    const std::u16string folded = foldedName(name);
    std::vector<std::string> kept;
    for (const auto& entry : names)
        if (!entry.empty() && foldedName(entry) != folded) kept.push_back(entry);
    return kept;
}

std::vector<std::string> listWithNameLast(const std::vector<std::string>& names, const std::string& name) {
    auto list = listWithoutName(names, name);
    if (!name.empty()) list.push_back(name);
    return list;
}

bool listHoldsName(const std::vector<std::string>& names, const std::string& name) {
    return !spellingInList(names, name).empty();
}

std::string spellingInList(const std::vector<std::string>& names, const std::string& name) {
    const std::u16string folded = foldedName(name);
    auto found =
        std::find_if(names.begin(), names.end(), [&](const std::string& e) { return foldedName(e) == folded; });
    return found == names.end() ? std::string() : *found;
}

}  // namespace velmora
