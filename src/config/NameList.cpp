#include "config/NameList.h"

#include "platform/Text.h"

namespace velmora {

NameList::NameList(std::vector<std::string> names) : names_(std::move(names)) {
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (!names_[i].empty()) index_.emplace(foldedName(names_[i]), i);
}

std::string NameList::spellingOf(const std::string& name) const {
    const auto found = index_.find(foldedName(name));
    return found == index_.end() ? std::string() : names_[found->second];
}

std::vector<std::string> NameList::without(const std::string& name) const {
    const std::u16string folded = foldedName(name);
    std::vector<std::string> kept;
    for (const auto& entry : names_)
        if (!entry.empty() && foldedName(entry) != folded) kept.push_back(entry);
    return kept;
}

std::vector<std::string> NameList::withLast(const std::string& name) const {
    auto list = without(name);
    if (!name.empty()) list.push_back(name);
    return list;
}

}  // namespace velmora
