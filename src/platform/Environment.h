#pragma once
#include <string>

namespace velmora {

class Environment {
public:
    virtual ~Environment() = default;
    // The value of an environment variable (names ignore case); empty when unset.
    virtual std::string variable(const std::string& name) = 0;
    // The folder that holds the program's executable, without a trailing "\".
    virtual std::string programFolder() = 0;
    // Everything on the command line after the program's own path.
    virtual std::string commandLineArguments() = 0;
};

}  // namespace velmora
