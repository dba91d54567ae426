#include <windows.h>

#include <gtest/gtest.h>

#include "PlatformTestSupport.h"
#include "platform/win32/Win32Services.h"

namespace velmora {
namespace {

TEST(ServicesTest, ARunningSystemServiceIsStartedAndAnUnknownNameFails) {
    Win32Services services;
    const auto running = services.isStarted("RpcSs");
    ASSERT_TRUE(std::holds_alternative<bool>(running));
    EXPECT_TRUE(std::get<bool>(running));

    const auto unknown = services.isStarted("VelmoraNoSuchService");
    ASSERT_TRUE(std::holds_alternative<Failure>(unknown));
    const Failure& failure = std::get<Failure>(unknown);
    EXPECT_EQ(failure.source, "OpenServiceA");
    EXPECT_EQ(failure.number, ERROR_SERVICE_DOES_NOT_EXIST);
    EXPECT_FALSE(failure.description.empty());
}

TEST(ServicesTest, AnInstalledServiceThatWasNeverStartedIsNotStarted) {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE);
    ASSERT_NE(manager, nullptr);
    const std::string name = "VelmoraPlatformTest" + std::to_string(GetCurrentProcessId());
    const std::string binary = test::quotedHelper() + " 0";
    SC_HANDLE service = CreateServiceA(manager, name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                       binary.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(service, nullptr) << GetLastError();

    // A service just created may take a moment to be known everywhere.
    Win32Services services;
    auto answer = services.isStarted(name);
    for (int i = 0; i < 50 && std::holds_alternative<Failure>(answer); ++i) {
        Sleep(100);
        answer = services.isStarted(name);
    }
    DeleteService(service);
    CloseServiceHandle(service);
    CloseServiceHandle(manager);

    ASSERT_TRUE(std::holds_alternative<bool>(answer));
    EXPECT_FALSE(std::get<bool>(answer));
}

}  // namespace
}  // namespace velmora
