// The program's version, for the resource script and the captions.
#pragma once

#define VELMORA_VERSION_MAJOR 0
#define VELMORA_VERSION_MINOR 2
#define VELMORA_VERSION_REVISION 5
#define VELMORA_VERSION_TEXT "0.2.5"

#ifndef RC_INVOKED
#include <string>

namespace velmora {

inline const char* const kProductName = "Velmora";

// "0.2.5 (beta)": each number in plain decimal.
inline std::string versionText() {
    return std::to_string(VELMORA_VERSION_MAJOR) + "." + std::to_string(VELMORA_VERSION_MINOR) + "." +
           std::to_string(VELMORA_VERSION_REVISION) + " (beta)";
}

}  // namespace velmora
#endif
