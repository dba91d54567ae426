#pragma once
#include <string>
#include <vector>

#include "config/Configuration.h"

namespace velmora {

// The options both wrappers pass after their own fixed ones, in order: the
// security manager and its policy, -Xrs, the sizes (where the wrapper takes
// them as options), then the additional options. A size counts when its
// leading number is above 0; its text goes into the option as typed.
std::vector<std::string> conditionalJvmOptions(const Configuration& c, bool withSizes);

}  // namespace velmora
