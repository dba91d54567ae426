#include <gtest/gtest.h>

#include "platform/memory/MemoryPlatform.h"
#include "ui/DebugLog.h"

using namespace velmora;

TEST(DebugLogPath, LowerCasedBlanksDroppedSplitAtTheFirstColon) {
    EXPECT_EQ(debugLogPathFromArguments("debug:C:\\Temp\\My Log.txt"), "c:\\temp\\mylog.txt");
    EXPECT_EQ(debugLogPathFromArguments("Debug"), "debug");
    EXPECT_EQ(debugLogPathFromArguments("-nodebug"), "-nodebug");
    EXPECT_EQ(debugLogPathFromArguments("debug:c:\\x.log"), "c:\\x.log");
    EXPECT_EQ(debugLogPathFromArguments(" d e b u g : x"), "x");
    EXPECT_EQ(debugLogPathFromArguments("debug:"), "");
    EXPECT_FALSE(debugLogPathFromArguments(""));
    EXPECT_FALSE(debugLogPathFromArguments("/verbose:c:\\x"));
}

TEST(DebugLog, StartEmptiesTheFileAndEachLineEndsInCrLf) {
    MemoryFiles files;
    files.addFile("c:\\x.log", "old");
    DebugLog log(files);
    log.start("debug:C:\\X.LOG");
    EXPECT_EQ(files.files["c:\\x.log"], "");
    log.append("Err.Number: 5");
    log.append("errStatus: ");
    EXPECT_EQ(files.files["c:\\x.log"], "Err.Number: 5\r\nerrStatus: \r\n");
}

TEST(DebugLog, StaysOffWhenNotAskedForOrTheFileCannotBeCreated) {
    MemoryFiles files;
    DebugLog off(files);
    off.start("");
    off.append("line");
    EXPECT_TRUE(files.files.empty());

    DebugLog empty(files);
    empty.start("debug:");
    EXPECT_EQ(empty.path(), "");

    files.locked.insert("c:\\locked.log");
    DebugLog locked(files);
    locked.start("debug:c:\\locked.log");
    locked.append("line");
    EXPECT_EQ(locked.path(), "");
    EXPECT_TRUE(files.files.empty());
}
