#include <gtest/gtest.h>

#include "ProcrunCommand.h"

using namespace velmora::wrapper;

TEST(ModernWrapperArguments, ReadsDirectivesAndKnownOptionsAndRefusesTheRest) {
    auto install = parseProcrunArguments({"//IS//web", "--Jvm", "C:\\a b\\jvm.dll", "--jvmms=64", "--Description", ""});
    ASSERT_TRUE(std::holds_alternative<ProcrunCommand>(install));
    const auto& command = std::get<ProcrunCommand>(install);
    EXPECT_TRUE(command.verb == ProcrunCommand::Verb::Install && command.serviceName == "web");
    using Options = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(command.options, (Options{{"Jvm", "C:\\a b\\jvm.dll"}, {"JvmMs", "64"}, {"Description", ""}}));
    EXPECT_EQ(std::get<ProcrunCommand>(parseProcrunArguments({"//DS//web"})).verb, ProcrunCommand::Verb::Delete);

    const std::vector<std::vector<std::string>> refused = {
        {}, {"//XX//web"}, {"//IS//"}, {"//IS//web", "--Bogus", "1"}, {"//IS//web", "--Jvm"},
        {"//IS//web", "Jvm", "x"}, {"//DS//web", "--Jvm", "x"}, {"//RS//web", "--StartMode=jvm"}};
    for (const auto& arguments : refused)
        EXPECT_TRUE(std::holds_alternative<ProcrunUsageError>(parseProcrunArguments(arguments)))
            << (arguments.empty() ? "" : arguments.back());

    EXPECT_EQ(splitProcrunList("-Da='x#y'#-Db=p';'q;;-Dc"), (std::vector<std::string>{"-Da=x#y", "-Db=p;q", "-Dc"}));
}
