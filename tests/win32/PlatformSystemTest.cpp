#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <iostream>

#include <gtest/gtest.h>

#include "PlatformTestSupport.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Network.h"
#include "platform/win32/Win32Services.h"

namespace velmora {
namespace {

std::string shown(const std::variant<bool, Failure>& started) {
    if (const auto* failure = std::get_if<Failure>(&started))
        return failure->source + " " + std::to_string(failure->number);
    return std::get<bool>(started) ? "started" : "stopped";
}

std::string shown(const ServiceLookup& lookup) {
    if (const auto* failure = std::get_if<Failure>(&lookup))
        return failure->source + " " + std::to_string(failure->number);
    return std::get<std::optional<std::string>>(lookup).value_or("<none>");
}

TEST(ServicesTest, TheServiceManagerAnswersForAnotherSpellingOfAName) {
    const std::string name = "VelmoraTëst-" + std::to_string(GetCurrentProcessId());
    const std::string program = "\"C:\\Prögramme\\Tömcat 10\\bin\\tomcat.exe\" -service " + name;
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
    ASSERT_TRUE(manager);
    const ServiceHandle created(CreateServiceW(manager.get(), wide(name).c_str(), wide(name).c_str(), DELETE,
                                               SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                               wide(program).c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(created);

    Win32Services services;
    // Wine's service manager may take a moment to show a new service to others.
    for (int i = 0; i < 100 && std::holds_alternative<Failure>(services.isStarted(name)); ++i) Sleep(100);
    // Other spellings change only ASCII letters: Wine 8's service manager
    // folds no others (the registry does).
    const auto started = services.isStarted("VELMORATëST-" + std::to_string(GetCurrentProcessId()));
    const auto found = services.binaryPath("velmoratëst-" + std::to_string(GetCurrentProcessId()));
    const auto unknown = services.isStarted("VelmoraNoSuchService");
    const auto state = services.state(name);
    DeleteService(created.get());

    ASSERT_TRUE(std::holds_alternative<ServiceState>(state));
    EXPECT_EQ(std::get<ServiceState>(state).state, RunState::Stopped);

    EXPECT_EQ(shown(started), "stopped");
    EXPECT_EQ(shown(found), program);
    EXPECT_EQ(shown(unknown), "OpenServiceW 1060");
    EXPECT_EQ(shown(services.binaryPath("VelmoraNoSuchService")), "<none>");
}
TEST(EnvironmentTest, VariablesFoldersAndPathsComeBackInUtf8) {
    Win32Environment environment;
    Win32Files files;
    ASSERT_TRUE(SetEnvironmentVariableW(L"VELMORA_T\u00CBST", L"v\u00E4rde \u65E5\u672C"));
    EXPECT_EQ(environment.variable("VELMORA_TËST"), "värde 日本");
    EXPECT_EQ(environment.variable("VELMORA_NO_SUCH_VARIABLE"), "");
    EXPECT_TRUE(files.fileExists(environment.programFolder() + "\\exitwith.exe"));
    EXPECT_TRUE(files.fileExists(environment.systemFolder() + "\\net.exe"));

    test::TempFolder folder;
    ASSERT_EQ(files.createFolders(folder.file("Tömcat 10")), std::nullopt);
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(wide(folder.file("Tömcat 10")).c_str()));
    const std::string absolute = environment.absolutePath("conf\\server.xml");
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(absolute, folder.file("Tömcat 10\\conf\\server.xml"));
}

// A TCP socket of this test's own on a loopback address, on a port the
// system picks; it listens when asked to.
class TestSocket {
public:
    TestSocket(int family, bool listening) : socket_(socket(family, SOCK_STREAM, IPPROTO_TCP)) {
        sockaddr_storage address{};
        address.ss_family = static_cast<ADDRESS_FAMILY>(family);
        if (family == AF_INET)
            reinterpret_cast<sockaddr_in&>(address).sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        else
            reinterpret_cast<sockaddr_in6&>(address).sin6_addr.s6_addr[15] = 1;  // ::1
        int length = family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
        if (socket_ == INVALID_SOCKET || bind(socket_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            (listening && listen(socket_, 1) != 0) ||
            getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        port = ntohs(family == AF_INET ? reinterpret_cast<sockaddr_in&>(address).sin_port
                                       : reinterpret_cast<sockaddr_in6&>(address).sin6_port);
    }
    ~TestSocket() { close(); }
    TestSocket(const TestSocket&) = delete;
    TestSocket& operator=(const TestSocket&) = delete;
    void close() {
        if (socket_ != INVALID_SOCKET) closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }

    std::uint16_t port = 0;  // 0 when the socket could not be set up

private:
    SOCKET socket_;
};

std::string inUse(const std::variant<bool, Failure>& answer) {
    if (const auto* failure = std::get_if<Failure>(&answer))
        return failure->source + " " + std::to_string(failure->number);
    return std::get<bool>(answer) ? "in use" : "free";
}

TEST(NetworkTest, APortAProgramListensOnIsInUseUntilItsSocketCloses) {
    WSADATA winsock{};
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &winsock), 0);
    Win32Network network;
    {
        TestSocket listener(AF_INET, true);
        ASSERT_NE(listener.port, 0);
        // A port bound a moment ago and let go again: nobody listens on it.
        std::uint16_t unused = 0;
        {
            const TestSocket probe(AF_INET, false);
            unused = probe.port;
        }
        ASSERT_NE(unused, 0);
        ASSERT_NE(unused, listener.port);

        EXPECT_EQ(inUse(network.portInUse(listener.port)), "in use");
        EXPECT_EQ(inUse(network.portInUse(unused)), "free");
        listener.close();
        EXPECT_EQ(inUse(network.portInUse(listener.port)), "free");

        // On IPv6 too, where the machine has it (Wine reads the host's sockets).
        TestSocket listener6(AF_INET6, true);
        if (listener6.port != 0) {
            EXPECT_EQ(inUse(network.portInUse(listener6.port)), "in use");
            listener6.close();
            EXPECT_EQ(inUse(network.portInUse(listener6.port)), "free");
        } else {
            std::cout << "no IPv6 loopback here: only IPv4 was checked\n";
        }
    }
    WSACleanup();
}

}  // namespace
}  // namespace velmora
