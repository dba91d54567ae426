#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "LaunchParameters.h"

namespace velmora::wrapper {

// Where the Tomcat 7-11 wrapper keeps a service's options, below
// HKEY_LOCAL_MACHINE; the stand-in keeps each one as a string named after it.
std::string procrunKeyPath(const std::string& serviceName);

// Writes the options over what is stored; ERROR_SUCCESS or the Win32 error.
DWORD storeOptions(const std::string& serviceName, const std::vector<std::pair<std::string, std::string>>& options);
std::map<std::string, std::string> storedOptions(const std::string& serviceName);
// Removes the service's key with everything below it.
DWORD removeStoredOptions(const std::string& serviceName);

// The JVM launch the options stand for, in the order the JVM gets them: the
// JvmOptions, the JvmOptions9, the class path, then the heap and stack sizes.
LaunchParameters procrunLaunchParameters(const std::string& serviceName);

}  // namespace velmora::wrapper
