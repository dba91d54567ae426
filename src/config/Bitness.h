#pragma once
#include <cstddef>
#include <string>

#include "platform/Files.h"

namespace velmora {

// The machine a Windows executable or DLL is built for, from its PE headers.
enum class Machine { Unknown, X86, X64, Arm64 };

// How many leading bytes of a file machineOfPe needs at most for the usual
// header layouts.
constexpr std::size_t kPeHeaderBytes = 4096;

// Reads the MZ header, follows e_lfanew to "PE\0\0" and takes the machine
// field after it. Unknown for anything else or too few bytes.
Machine machineOfPe(const std::string& firstBytes);

// "32-bit", "64-bit" or "64-bit ARM".
std::string bitnessName(Machine machine);

// Empty when both are known and equal, or when either cannot be told;
// otherwise why the service cannot load the JVM.
std::string bitnessMismatch(const std::string& jvmLibrary, Machine jvm, const std::string& wrapper,
                            Machine wrapperMachine);

// The same for the files themselves, read through files.
std::string bitnessProblem(Files& files, const std::string& jvmLibrary, const std::string& wrapper);

}  // namespace velmora
