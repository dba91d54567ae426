#pragma once
#include <string>
#include <vector>

namespace velmora {

// The stored name list after a save: the name moved to the end in the
// spelling given, other spellings of it and empty entries gone.
std::vector<std::string> listWithNameLast(const std::vector<std::string>& names, const std::string& name);
// The stored name list after a delete: every spelling of the name gone.
std::vector<std::string> listWithoutName(const std::vector<std::string>& names, const std::string& name);
bool listHoldsName(const std::vector<std::string>& names, const std::string& name);
// The list's own spelling of the name; empty when it holds none.
std::string spellingInList(const std::vector<std::string>& names, const std::string& name);

}  // namespace velmora
