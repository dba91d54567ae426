#pragma once
#include <windows.h>

#include "platform/Registry.h"

namespace velmora {

// Predefined roots are sign-extended handle values (HKEY_LOCAL_MACHINE is
// 0xFFFFFFFF80000002 on 64-bit Windows).
inline HKEY rootKeyHandle(RootKey root) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

}  // namespace velmora
