#include "platform/win32/Win32Network.h"

// winsock2.h only for the address families: nothing here calls Winsock, so
// the program does not load ws2_32.dll for it. It comes before windows.h.
#include <winsock2.h>

#include <windows.h>

#include <iphlpapi.h>

#include <vector>

#include "platform/win32/SystemFailure.h"
#include "platform/win32/SystemLibrary.h"

namespace velmora {

namespace {

// The table's ports are in network byte order in the low 16 bits.
std::uint16_t hostOrder(DWORD tablePort) {
    return static_cast<std::uint16_t>(((tablePort & 0xFF) << 8) | ((tablePort >> 8) & 0xFF));
}

// The listening sockets of one address family, or the call's error. The
// table can grow between asking its size and reading it: then ask again.
// iphlpapi.dll and what it brings along load at the first check, not at start-up.
using GetExtendedTcpTableFunction = DWORD(WINAPI*)(PVOID, PDWORD, BOOL, ULONG, TCP_TABLE_CLASS, ULONG);

template <typename Table>
std::variant<bool, Failure> listensOn(ULONG family, std::uint16_t port) {
    static const auto getExtendedTcpTable =
        systemFunctionAs<GetExtendedTcpTableFunction>("iphlpapi.dll", "GetExtendedTcpTable");
    if (!getExtendedTcpTable) return systemFailure("GetExtendedTcpTable", ERROR_PROC_NOT_FOUND);
    std::vector<DWORD> buffer(64);
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(DWORD));
        const DWORD status = getExtendedTcpTable(buffer.data(), &size, FALSE, family, TCP_TABLE_OWNER_PID_LISTENER, 0);
        if (status == ERROR_INSUFFICIENT_BUFFER) {
            buffer.resize(size / sizeof(DWORD) + 16);
            continue;
        }
        // A machine without IPv6 has no IPv6 sockets to find.
        if (status == ERROR_NOT_SUPPORTED && family == AF_INET6) return false;
        if (status != NO_ERROR) return systemFailure("GetExtendedTcpTable", status);
        const auto* table = reinterpret_cast<const Table*>(buffer.data());
        for (DWORD i = 0; i < table->dwNumEntries; ++i)
            if (hostOrder(table->table[i].dwLocalPort) == port) return true;
        return false;
    }
    return systemFailure("GetExtendedTcpTable", ERROR_INSUFFICIENT_BUFFER);
}

}  // namespace

std::variant<bool, Failure> Win32Network::portInUse(std::uint16_t port) {
    const auto v4 = listensOn<MIB_TCPTABLE_OWNER_PID>(AF_INET, port);
    if (!std::holds_alternative<bool>(v4) || std::get<bool>(v4)) return v4;
    return listensOn<MIB_TCP6TABLE_OWNER_PID>(AF_INET6, port);
}

}  // namespace velmora
