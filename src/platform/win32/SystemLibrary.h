#pragma once
#include <windows.h>

namespace velmora {

// A function of one of Windows' own libraries, loaded from the system folder
// at its first use: the pickers' and the accessibility libraries cost start-up
// nothing. Null when the library or the function is missing.
FARPROC systemFunction(const char* library, const char* name);

template <typename Function>
Function systemFunctionAs(const char* library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(systemFunction(library, name)));
}

// COM for this thread, once: the shell's folder browser and the
// accessibility properties need it. False when it is not to be had.
bool comReady();

}  // namespace velmora
