#pragma once
#include <windows.h>

#include <memory>
#include <type_traits>

namespace velmora::wrapper {

struct ServiceHandleCloser {
    void operator()(SC_HANDLE handle) const { CloseServiceHandle(handle); }
};

using ServiceHandle = std::unique_ptr<std::remove_pointer_t<SC_HANDLE>, ServiceHandleCloser>;

}  // namespace velmora::wrapper
