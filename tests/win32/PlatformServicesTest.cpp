#include <windows.h>

#include <gtest/gtest.h>

#include "PlatformTestSupport.h"
#include "platform/win32/Win32Services.h"

namespace velmora {
namespace {

TEST(ServicesTest, RunningNeverStartedAndUnknownServicesAnswerAsTheyAre) {
    Win32Services services;
    const auto running = services.isStarted("RpcSs");
    ASSERT_TRUE(std::holds_alternative<bool>(running));
    EXPECT_TRUE(std::get<bool>(running));
    const auto unknown = services.isStarted("VelmoraNoSuchService");
    ASSERT_TRUE(std::holds_alternative<Failure>(unknown));
    EXPECT_EQ(std::get<Failure>(unknown).source, "OpenServiceA");
    EXPECT_EQ(std::get<Failure>(unknown).number, ERROR_SERVICE_DOES_NOT_EXIST);

    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE);
    const std::string name = "VelmoraPlatformTest" + std::to_string(GetCurrentProcessId());
    SC_HANDLE service = CreateServiceA(manager, name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                       (test::quotedHelper() + " 0").c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(service, nullptr) << GetLastError();
    // A service just created may take a moment to be known everywhere.
    auto answer = services.isStarted(name);
    for (int i = 0; i < 50 && std::holds_alternative<Failure>(answer); ++i, Sleep(100)) answer = services.isStarted(name);
    DeleteService(service);
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    ASSERT_TRUE(std::holds_alternative<bool>(answer));
    EXPECT_FALSE(std::get<bool>(answer));
}

}  // namespace
}  // namespace velmora
