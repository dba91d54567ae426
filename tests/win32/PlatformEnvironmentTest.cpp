#include <gtest/gtest.h>

#include "platform/win32/CommandLine.h"

namespace velmora {
namespace {

TEST(EnvironmentTest, ArgumentsFollowTheProgramPathQuotedOrNot) {
    const std::pair<const char*, const char*> lines[] = {
        {"\"C:\\Program Files\\v.exe\" debug:C:\\log.txt", "debug:C:\\log.txt"},
        {"C:\\tomcat\\bin\\v.exe \t  debug  x ", "debug  x "}, {"\"C:\\a b\\v.exe\"debug", "debug"},
        {"\"C:\\a b\\v.exe\"", ""}, {"v.exe   ", ""}, {"\"C:\\unterminated arg", ""}, {"", ""}};
    for (const auto& [line, arguments] : lines) EXPECT_EQ(argumentsAfterProgram(line), arguments) << line;
}

}  // namespace
}  // namespace velmora
