#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "LaunchParameters.h"

namespace velmora::wrapper {

// Where the Tomcat 7-11 wrapper keeps a service's options, below
// HKEY_LOCAL_MACHINE in the 32-bit view: its Parameters key with the subkeys
// Java, Start, Stop and Log, lists as multi-strings, sizes and the stop
// timeout as numbers, as the wrapper's documentation says.
std::string procrunKeyPath(const std::string& serviceName);

// Writes the options over what is stored; those the service manager keeps
// are not written. ERROR_SUCCESS or the Win32 error.
DWORD storeOptions(const std::string& serviceName, const std::vector<std::pair<std::string, std::string>>& options);
// The stored options by name, each as its entries (a text or a number is one).
std::map<std::string, std::vector<std::string>> storedOptions(const std::string& serviceName);
// Removes the service's key with everything below it.
DWORD removeStoredOptions(const std::string& serviceName);

// The JVM launch the options stand for, in the order the JVM gets them: the
// JvmOptions, the JvmOptions9, the class path, then the heap and stack sizes.
LaunchParameters procrunLaunchParameters(const std::string& serviceName);

}  // namespace velmora::wrapper
