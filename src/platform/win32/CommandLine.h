#pragma once
#include <string>

namespace velmora {

// What follows the program's own path on a Windows command line: the path is
// either quoted or runs to the first blank, and the blanks after it go too.
std::string argumentsAfterProgram(const std::string& commandLine);

}  // namespace velmora
