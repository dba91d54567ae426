#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/CommandLine.h"
#include "platform/win32/Win32Environment.h"

namespace velmora {
namespace {

TEST(EnvironmentTest, VariableNamesIgnoreCaseAndAnUnsetOneIsEmpty) {
    Win32Environment environment;
    const std::string longValue(600, 'x');
    ASSERT_TRUE(SetEnvironmentVariableA("Velmora_Java_Home", "C:\\jdk"));
    ASSERT_TRUE(SetEnvironmentVariableA("VELMORA_LONG", longValue.c_str()));

    EXPECT_EQ(environment.variable("VELMORA_JAVA_HOME"), "C:\\jdk");
    EXPECT_EQ(environment.variable("velmora_java_home"), "C:\\jdk");
    EXPECT_EQ(environment.variable("VELMORA_LONG"), longValue);

    SetEnvironmentVariableA("Velmora_Java_Home", nullptr);
    EXPECT_EQ(environment.variable("VELMORA_JAVA_HOME"), "");
}

TEST(EnvironmentTest, ProgramFolderIsThisExecutablesFolderWithoutTrailingBackslash) {
    char module[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, module, MAX_PATH), 0u);
    const std::string folder = Win32Environment().programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_EQ(std::string(module).rfind(folder + "\\", 0), 0u);
    EXPECT_EQ(std::string(module).find('\\', folder.size() + 1), std::string::npos);
}

TEST(EnvironmentTest, ArgumentsFollowTheProgramPathQuotedOrNot) {
    EXPECT_EQ(argumentsAfterProgram("\"C:\\Program Files\\v.exe\" debug:C:\\log.txt"), "debug:C:\\log.txt");
    EXPECT_EQ(argumentsAfterProgram("C:\\tomcat\\bin\\v.exe \t  debug  x "), "debug  x ");
    EXPECT_EQ(argumentsAfterProgram("\"C:\\a b\\v.exe\"debug"), "debug");
    EXPECT_EQ(argumentsAfterProgram("\"C:\\a b\\v.exe\""), "");
    EXPECT_EQ(argumentsAfterProgram("v.exe"), "");
    EXPECT_EQ(argumentsAfterProgram("v.exe   "), "");
    EXPECT_EQ(argumentsAfterProgram("\"C:\\unterminated arg"), "");
    EXPECT_EQ(argumentsAfterProgram(""), "");
}

}  // namespace
}  // namespace velmora
