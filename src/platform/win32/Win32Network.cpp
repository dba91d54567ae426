#include "platform/win32/Win32Network.h"

// Winsock's functions are loaded at their first use, so that the program
// does not load ws2_32.dll at start-up. winsock2.h comes before windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <iphlpapi.h>

#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/IpAddress.h"
#include "platform/win32/SystemFailure.h"
#include "platform/win32/SystemLibrary.h"

namespace velmora {

namespace {

// The table's ports are in network byte order in the low 16 bits.
std::uint16_t hostOrder(DWORD tablePort) {
    return static_cast<std::uint16_t>(((tablePort & 0xFF) << 8) | ((tablePort >> 8) & 0xFF));
}

// One address family's listening sockets at the port, added to those found, or the call's error. The table can grow
// between asking its size and reading it: then ask again. iphlpapi.dll and what it brings along load at the first
// check, not at start-up.
using GetExtendedTcpTableFunction = DWORD(WINAPI*)(PVOID, PDWORD, BOOL, ULONG, TCP_TABLE_CLASS, ULONG);

std::string localAddressOf(const MIB_TCPROW_OWNER_PID& row) {
    std::array<std::uint8_t, 4> bytes{};
    std::memcpy(bytes.data(), &row.dwLocalAddr, bytes.size());  // in network order, as it is written
    return ipv4Text(bytes);
}

std::string localAddressOf(const MIB_TCP6ROW_OWNER_PID& row) {
    std::array<std::uint8_t, 16> bytes{};
    std::memcpy(bytes.data(), row.ucLocalAddr, bytes.size());
    return ipv6Text(bytes);
}

template <typename Table>
std::optional<Failure> addListeners(ULONG family, std::uint16_t port, std::vector<Listener>& found) {
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
        if (status == ERROR_NOT_SUPPORTED && family == AF_INET6) return std::nullopt;
        if (status != NO_ERROR) return systemFailure("GetExtendedTcpTable", status);
        const auto* table = reinterpret_cast<const Table*>(buffer.data());
        for (DWORD i = 0; i < table->dwNumEntries; ++i)
            if (hostOrder(table->table[i].dwLocalPort) == port)
                found.push_back({localAddressOf(table->table[i]), table->table[i].dwOwningPid});
        return std::nullopt;
    }
    return systemFailure("GetExtendedTcpTable", ERROR_INSUFFICIENT_BUFFER);
}

struct Winsock {
    decltype(&::WSAStartup) startup = nullptr;
    decltype(&::getaddrinfo) resolve = nullptr;
    decltype(&::freeaddrinfo) freeResolved = nullptr;
    decltype(&::socket) openSocket = nullptr;
    decltype(&::ioctlsocket) control = nullptr;
    decltype(&::connect) connectTo = nullptr;
    decltype(&::select) wait = nullptr;
    decltype(&::getsockopt) option = nullptr;
    decltype(&::send) sendTo = nullptr;
    decltype(&::recv) receive = nullptr;
    decltype(&::closesocket) close = nullptr;
    bool ready = false;
};

const Winsock& winsock() {
    static const Winsock loaded = [] {
        Winsock w;
        auto load = [](auto& function, const char* name) {
            function = systemFunctionAs<std::remove_reference_t<decltype(function)>>("ws2_32.dll", name);
            return function != nullptr;
        };
        bool all = load(w.startup, "WSAStartup") && load(w.resolve, "getaddrinfo") &&
                   load(w.freeResolved, "freeaddrinfo") && load(w.openSocket, "socket") &&
                   load(w.control, "ioctlsocket") && load(w.connectTo, "connect") && load(w.wait, "select") &&
                   load(w.option, "getsockopt") && load(w.sendTo, "send") && load(w.receive, "recv") &&
                   load(w.close, "closesocket");
        WSADATA data{};
        w.ready = all && w.startup(MAKEWORD(2, 2), &data) == 0;
        return w;
    }();
    return loaded;
}

// A socket that is closed when it goes.
class Connection {
public:
    explicit Connection(SOCKET socket = INVALID_SOCKET) : socket_(socket) {}
    ~Connection() {
        if (socket_ != INVALID_SOCKET) winsock().close(socket_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    Connection(Connection&& other) noexcept : socket_(other.socket_) { other.socket_ = INVALID_SOCKET; }
    Connection& operator=(Connection&& other) noexcept {
        std::swap(socket_, other.socket_);
        return *this;
    }
    SOCKET get() const { return socket_; }
    explicit operator bool() const { return socket_ != INVALID_SOCKET; }

private:
    SOCKET socket_;
};

ULONGLONG deadlineAfter(std::uint32_t ms) { return GetTickCount64() + ms; }

timeval timeLeft(ULONGLONG deadline) {
    const ULONGLONG now = GetTickCount64();
    const ULONGLONG left = deadline > now ? deadline - now : 0;
    return timeval{static_cast<long>(left / 1000), static_cast<long>((left % 1000) * 1000)};
}

// Waits until the socket can be written (connected) or read. The sets are
// filled by hand: FD_ISSET would call into ws2_32.dll at load time.
bool waitFor(SOCKET socket, bool reading, ULONGLONG deadline) {
    fd_set ready{}, failed{};
    ready.fd_count = failed.fd_count = 1;
    ready.fd_array[0] = failed.fd_array[0] = socket;
    timeval left = timeLeft(deadline);
    const int count = winsock().wait(0, reading ? &ready : nullptr, reading ? nullptr : &ready, &failed, &left);
    return count > 0 && ready.fd_count == 1 && failed.fd_count == 0;
}

// The first of the address's resolutions that accepts a connection before the
// deadline. Each has its share of the time left: Windows tries a refused
// connection again for about 2 s, even on the loopback, and localhost gives ::1
// before 127.0.0.1, which a Tomcat on every IPv4 address answers.
std::variant<Connection, Failure> connectBy(const std::string& address, std::uint16_t port, ULONGLONG deadline) {
    const Winsock& w = winsock();
    if (!w.ready) return systemFailure("WSAStartup", ERROR_PROC_NOT_FOUND);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int error = w.resolve(address.c_str(), service.c_str(), &hints, &found); error != 0)
        return systemFailure("getaddrinfo", static_cast<DWORD>(error));
    Connection connected;
    ULONGLONG untried = 0;
    for (const addrinfo* at = found; at; at = at->ai_next) ++untried;
    for (const addrinfo* at = found; at && !connected; at = at->ai_next, --untried) {
        const ULONGLONG now = GetTickCount64();
        const ULONGLONG share = deadline > now ? now + (deadline - now) / untried : now;
        Connection attempt(w.openSocket(at->ai_family, at->ai_socktype, at->ai_protocol));
        u_long nonBlocking = 1;
        if (!attempt || w.control(attempt.get(), FIONBIO, &nonBlocking) != 0) continue;
        if (w.connectTo(attempt.get(), at->ai_addr, static_cast<int>(at->ai_addrlen)) != 0 &&
            !waitFor(attempt.get(), false, share))
            continue;
        int error = 0;
        int size = sizeof error;
        if (w.option(attempt.get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) == 0 && error == 0)
            connected = std::move(attempt);
    }
    w.freeResolved(found);
    return connected;
}

}  // namespace

std::variant<bool, Failure> Win32Network::accepts(const std::string& address, std::uint16_t port,
                                                  std::uint32_t timeoutMs) {
    auto connected = connectBy(address, port, deadlineAfter(timeoutMs));
    if (auto* failure = std::get_if<Failure>(&connected)) return *failure;
    return static_cast<bool>(std::get<Connection>(connected));
}

std::variant<int, Failure> Win32Network::httpStatus(const std::string& address, std::uint16_t port,
                                                    const std::string& path, std::uint32_t timeoutMs) {
    const ULONGLONG deadline = deadlineAfter(timeoutMs);
    auto connected = connectBy(address, port, deadline);
    if (auto* failure = std::get_if<Failure>(&connected)) return *failure;
    const Connection& connection = std::get<Connection>(connected);
    if (!connection) return 0;
    const bool numericV6 = address.find(':') != std::string::npos;
    const std::string host = (numericV6 ? "[" + address + "]" : address) + ":" + std::to_string(port);
    const std::string request =
        "GET " + path + " HTTP/1.1\r\nHost: " + host + "\r\nUser-Agent: Velmora\r\nConnection: close\r\n\r\n";
    const Winsock& w = winsock();
    for (std::size_t sent = 0; sent < request.size();) {
        if (!waitFor(connection.get(), false, deadline)) return 0;
        const int n = w.sendTo(connection.get(), request.data() + sent, static_cast<int>(request.size() - sent), 0);
        if (n <= 0) return 0;
        sent += static_cast<std::size_t>(n);
    }
    std::string answer;
    char buffer[512];
    while (answer.find("\r\n") == std::string::npos && answer.size() < 4096) {
        if (!waitFor(connection.get(), true, deadline)) return 0;
        const int n = w.receive(connection.get(), buffer, sizeof buffer, 0);
        if (n <= 0) break;
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    // "HTTP/1.1 200 OK": the three digits after the first blank.
    const auto blank = answer.find(' ');
    if (answer.rfind("HTTP/", 0) != 0 || blank == std::string::npos || answer.size() < blank + 4) return 0;
    int status = 0;
    for (std::size_t i = blank + 1; i < blank + 4; ++i) {
        if (answer[i] < '0' || answer[i] > '9') return 0;
        status = status * 10 + (answer[i] - '0');
    }
    return status;
}

std::variant<std::vector<Listener>, Failure> Win32Network::listenersOn(std::uint16_t port) {
    std::vector<Listener> found;
    if (auto failure = addListeners<MIB_TCPTABLE_OWNER_PID>(AF_INET, port, found)) return *failure;
    if (auto failure = addListeners<MIB_TCP6TABLE_OWNER_PID>(AF_INET6, port, found)) return *failure;
    return found;
}

}  // namespace velmora
