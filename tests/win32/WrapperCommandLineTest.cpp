#include <gtest/gtest.h>

#include "CommandLine.h"

using namespace velmora::wrapper;

TEST(WrapperCommandLine, ReadsTheCommandLinesItIsGivenAndRefusesTheRest) {
    // The installer quotes nothing: blanks in the program path and in the library path.
    auto install = parseCommandLine(
        "C:\\Program Files\\Tomcat 5\\bin\\svc.exe -install svc C:\\Program Files\\Java\\jre\\bin\\server\\jvm.dll "
        "-start main");
    ASSERT_TRUE(std::holds_alternative<InstallCommand>(install));
    EXPECT_EQ(std::get<InstallCommand>(install).serviceName + "|" + std::get<InstallCommand>(install).jvmLibrary,
              "svc|C:\\Program Files\\Java\\jre\\bin\\server\\jvm.dll");
    EXPECT_EQ(std::get<InstallCommand>(parseCommandLine("svc.exe -install svc C:\\a  b\\jvm.dll\t-start main")).jvmLibrary,
              "C:\\a  b\\jvm.dll");
    EXPECT_EQ(std::get<UninstallCommand>(parseCommandLine("\"C:\\odd -install folder\\svc.exe\" -uninstall svc")).serviceName +
                  std::get<ServiceCommand>(parseCommandLine("\"C:\\a b\\svc.exe\" -service svc")).serviceName, "svcsvc");

    for (const char* line : {"svc.exe", "svc.exe -bogus svc", "svc.exe -INSTALL svc C:\\jvm.dll -start main",
                             "svc.exe -install svc", "svc.exe -install svc C:\\jvm.dll -start",
                             "svc.exe -install svc -start main", "svc.exe -install svc C:\\jvm.dll main -start",
                             "svc.exe -install svc C:\\jvm.dll -start main now", "svc.exe -uninstall a b",
                             "svc.exe -service", "\"C:\\x -uninstall svc\""})
        EXPECT_TRUE(std::holds_alternative<UsageError>(parseCommandLine(line))) << line;
}
