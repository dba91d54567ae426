#pragma once
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "config/Configuration.h"

namespace velmora {

// One value the service wrapper reads at start-up.
struct WrapperValue {
    std::string key;
    std::string name;
    std::variant<std::string, std::int32_t> data;
};

// The values written under the service's key and its Parameters key.
using ServiceWrapperParameters = std::vector<WrapperValue>;

// The values written on every install, in writing order: the description,
// start and stop, the log files, the numbered JVM options and their count.
ServiceWrapperParameters serviceWrapperParameters(const Configuration& c);

// The options after the six fixed ones, in the order they are numbered.
std::vector<std::string> conditionalJvmOptions(const Configuration& c);

}  // namespace velmora
