#include <gtest/gtest.h>

#include "platform/memory/MemoryPlatform.h"
#include "ui/DebugLog.h"

using namespace velmora;

TEST(DebugLogPath, LowerCasedBlanksDroppedSplitAtTheFirstColon) {
    const std::pair<const char*, const char*> asked[] = {
        {"debug:C:\\Temp\\My Log.txt", "c:\\temp\\mylog.txt"}, {"Debug", "debug"}, {"-nodebug", "-nodebug"},
        {" d e b u g : x", "x"}, {"debug:", ""}};
    for (const auto& [arguments, path] : asked) EXPECT_EQ(debugLogPathFromArguments(arguments), path) << arguments;
    EXPECT_FALSE(debugLogPathFromArguments("") || debugLogPathFromArguments("/verbose:c:\\x"));
}

TEST(DebugLog, StartsOnceAtAnAbsolutePathOrSaysWhyNot) {
    MemoryPlatform os;
    os.files.addFile("c:\\x.log", "old");
    DebugLog log(os.files);
    os.environment.arguments = "debug:C:\\X.LOG";
    log.start(os.environment, os.messageBoxes);
    log.append("Err.Number: 5");
    log.append("errStatus: ");
    EXPECT_EQ(os.files.files["c:\\x.log"], "Err.Number: 5\r\nerrStatus: \r\n");

    // A relative path is fixed against the folder current at start-up.
    DebugLog relative(os.files);
    os.environment.arguments = "debug:logs\\v.log";
    relative.start(os.environment, os.messageBoxes);
    os.environment.currentFolder = "C:\\elsewhere";
    relative.append("line");
    EXPECT_EQ(relative.debugLogPath() + "|" + os.files.files["C:\\users\\admin\\logs\\v.log"], "C:\\users\\admin\\logs\\v.log|line\r\n");
    EXPECT_TRUE(os.messageBoxes.shown.empty());

    os.files.locked.insert("c:\\locked.log");
    DebugLog locked(os.files);
    os.environment.arguments = "debug:c:\\locked.log";
    locked.start(os.environment, os.messageBoxes);
    locked.append("line");
    ASSERT_EQ(os.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(std::to_string(os.files.fileExists("c:\\locked.log")) + locked.debugLogPath() + os.messageBoxes.shown[0].title, "0Warning");
}
