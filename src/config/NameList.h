#pragma once
#include <string>
#include <unordered_map>
#include <vector>

namespace velmora {

// The store's list of configuration names, each folded once, so that a name
// is found as Windows finds a registry key (case ignored over Unicode)
// without folding the list again for every look-up.
class NameList {
public:
    NameList() = default;
    explicit NameList(std::vector<std::string> names);

    const std::vector<std::string>& names() const { return names_; }
    // The list's own spelling of the name; empty when it holds none.
    std::string spellingOf(const std::string& name) const;
    bool holds(const std::string& name) const { return !spellingOf(name).empty(); }
    // After a delete: every spelling of the name gone, and empty entries.
    std::vector<std::string> without(const std::string& name) const;
    // After a save: the name moved to the end in the spelling given.
    std::vector<std::string> withLast(const std::string& name) const;

private:
    std::vector<std::string> names_;
    std::unordered_map<std::u16string, std::size_t> index_;  // folded name -> its first place
};

}  // namespace velmora
