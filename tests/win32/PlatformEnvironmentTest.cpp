#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/CommandLine.h"
#include "platform/win32/Win32Environment.h"

namespace velmora {
namespace {

TEST(EnvironmentTest, VariablesIgnoreCaseAndTheProgramFolderHasNoTrailingBackslash) {
    Win32Environment environment;
    const std::string longValue(600, 'x');
    ASSERT_TRUE(SetEnvironmentVariableA("Velmora_Java_Home", longValue.c_str()));
    EXPECT_EQ(environment.variable("VELMORA_JAVA_HOME"), longValue);
    SetEnvironmentVariableA("Velmora_Java_Home", nullptr);
    EXPECT_EQ(environment.variable("velmora_java_home"), "");

    char module[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, module, MAX_PATH), 0u);
    const std::string folder = environment.programFolder();
    EXPECT_EQ(std::string(module).rfind(folder + "\\", 0), 0u);
    EXPECT_EQ(std::string(module).find('\\', folder.size() + 1), std::string::npos);
}

TEST(EnvironmentTest, ArgumentsFollowTheProgramPathQuotedOrNot) {
    const std::pair<const char*, const char*> lines[] = {
        {"\"C:\\Program Files\\v.exe\" debug:C:\\log.txt", "debug:C:\\log.txt"},
        {"C:\\tomcat\\bin\\v.exe \t  debug  x ", "debug  x "}, {"\"C:\\a b\\v.exe\"debug", "debug"},
        {"\"C:\\a b\\v.exe\"", ""}, {"v.exe   ", ""}, {"\"C:\\unterminated arg", ""}, {"", ""}};
    for (const auto& [line, arguments] : lines) EXPECT_EQ(argumentsAfterProgram(line), arguments) << line;
}

}  // namespace
}  // namespace velmora
