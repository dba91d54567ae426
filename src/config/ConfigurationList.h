#pragma once
#include <string>
#include <vector>

namespace velmora {

// The stored name list after a save: the name moved to the end, exact-case
// duplicates and empty entries gone.
std::vector<std::string> listWithNameLast(const std::vector<std::string>& names, const std::string& name);
// The stored name list after a delete.
std::vector<std::string> listWithoutName(const std::vector<std::string>& names, const std::string& name);

// Why a name cannot be a configuration key of its own; empty when it can.
std::string unusableNameReason(const std::string& name);

}  // namespace velmora
