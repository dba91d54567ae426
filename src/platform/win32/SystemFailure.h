#pragma once
#include <windows.h>

#include <string>

#include "platform/Failure.h"

namespace velmora {

// A Failure for the given Windows error code, named after the call that failed.
Failure systemFailure(const std::string& source, DWORD errorCode);

// The same for the calling thread's last error.
inline Failure lastErrorFailure(const std::string& source) { return systemFailure(source, GetLastError()); }

}  // namespace velmora
