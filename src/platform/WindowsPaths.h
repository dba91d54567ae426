#pragma once
#include <string>

namespace velmora {

// Whether a file name is one Windows reserves for a device in any folder:
// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-COM9 and LPT0-LPT9 (also with the
// superscript digits 1, 2 and 3), with or without an extension.
bool isDeviceName(const std::string& fileName);
// The same for the last part of a path.
bool isDevicePath(const std::string& path);

// The last part of a path, after its last "\" or "/".
std::string lastPathPart(const std::string& path);

// Paths compared as Windows compares them: case ignored, "/" as "\".
bool samePath(const std::string& a, const std::string& b);

}  // namespace velmora
