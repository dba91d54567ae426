#pragma once

namespace velmora::wrapper {

constexpr int usageExitCode = 2;

// Failures leave with their Win32 error number (1073: the service exists,
// 1060: no such service), kept apart from success and from the usage code.
inline int failureExitCode(unsigned long error) {
    constexpr int generalFailure = 31;  // ERROR_GEN_FAILURE
    return error == 0 || error == usageExitCode ? generalFailure : static_cast<int>(error);
}

}  // namespace velmora::wrapper
