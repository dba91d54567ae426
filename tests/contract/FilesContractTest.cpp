// What log keeping relies on: an open file stays put, a closed one moves, the disk tells its free space.
#include <gtest/gtest.h>

#include <map>

#include "FilesFixture.h"

using namespace velmora;

TEST(FilesContract, AFileHeldOpenForWritingStaysWhereItIsUntilItIsLetGo) {
    const auto fixture = makeFilesFixture();
    Files& files = fixture->files();
    const std::string current = fixture->folder() + "\\shop_out.log";
    const std::string rolled = fixture->folder() + "\\shop_out.2026-12-07.log";
    ASSERT_FALSE(files.writeText(current, "line\r\n"));
    ASSERT_FALSE(files.writeText(rolled, "earlier\r\n"));
    EXPECT_FALSE(files.openForWriting(current));
    EXPECT_FALSE(files.openForWriting(fixture->folder() + "\\missing.log"));

    fixture->holdOpenForWriting(current);
    fixture->writeWhileHeld(current, "more\r\n");
    EXPECT_TRUE(files.openForWriting(current));
    EXPECT_FALSE(files.openForWriting(rolled));
    EXPECT_EQ(files.readBytes(current, 100), "line\r\nmore\r\n");  // still read
    // Listed at its size now, not at the one NTFS's folder entry keeps until the file is closed.
    const auto listed = files.listFiles(fixture->folder(), "shop_out.log");
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].size, 12u);
    EXPECT_TRUE(files.deleteFile(current));
    EXPECT_TRUE(files.moveFile(current, fixture->folder() + "\\elsewhere.log"));
    EXPECT_TRUE(files.fileExists(current));

    fixture->release(current);
    EXPECT_FALSE(files.openForWriting(current));
    EXPECT_TRUE(files.moveFile(current, rolled));  // an existing file is never replaced
    EXPECT_EQ(files.readBytes(rolled, 100), "earlier\r\n");
    EXPECT_FALSE(files.moveFile(current, fixture->folder() + "\\shop_out.2026-12-07.1.log"));
    EXPECT_FALSE(files.fileExists(current));
    EXPECT_EQ(files.readBytes(fixture->folder() + "\\shop_out.2026-12-07.1.log", 100), "line\r\nmore\r\n");
    EXPECT_FALSE(files.deleteFile(rolled));

    // A folder made goes again only while it holds nothing.
    const std::string made = fixture->folder() + "\\emptied";
    ASSERT_FALSE(files.createFolders(made + "\\below"));
    ASSERT_FALSE(files.writeText(made + "\\below\\kept.txt", "kept"));
    EXPECT_TRUE(files.removeEmptyFolder(made + "\\below"));
    EXPECT_TRUE(files.removeEmptyFolder(made));
    EXPECT_FALSE(files.deleteFile(made + "\\below\\kept.txt"));
    EXPECT_TRUE(files.removeEmptyFolder(made));
    EXPECT_FALSE(files.removeEmptyFolder(made + "\\below"));
    EXPECT_FALSE(files.removeEmptyFolder(made));
    EXPECT_FALSE(files.folderExists(made));

    const auto space = files.diskSpace(fixture->folder());
    ASSERT_TRUE(space);
    EXPECT_GT(space->total, 0u);
    EXPECT_LE(space->free, space->total);
}

// A listing tells a file marked read-only, which a delete still removes.
TEST(FilesContract, AListingTellsAReadOnlyFile) {
    const auto fixture = makeFilesFixture();
    Files& files = fixture->files();
    const std::string kept = fixture->folder() + "\\catalina.2020-01-01.log";
    ASSERT_FALSE(files.writeText(kept, "kept\r\n"));
    ASSERT_FALSE(files.writeText(fixture->folder() + "\\catalina.2020-01-02.log", "not\r\n"));
    fixture->markReadOnly(kept);
    std::map<std::string, bool> readOnly;
    for (const auto& file : files.listFiles(fixture->folder(), "catalina.*.log")) readOnly[file.path] = file.readOnly;
    EXPECT_EQ(readOnly,
              (std::map<std::string, bool>{{kept, true}, {fixture->folder() + "\\catalina.2020-01-02.log", false}}));
    EXPECT_FALSE(files.deleteFile(kept));
    EXPECT_FALSE(files.fileExists(kept));
}

// A folder that is not a whole path is taken from the current folder, and its files are named by it.
TEST(FilesContract, AFolderThatIsNotAWholePathIsTakenFromTheCurrentFolder) {
    const auto fixture = makeFilesFixture();
    Files& files = fixture->files();
    const std::string& folder = fixture->folder();
    ASSERT_FALSE(files.writeText(folder + "\\catalina.2020-01-01.log", "another Tomcat's\r\n"));
    fixture->enterParent();
    const std::string name = folder.substr(folder.find_last_of('\\') + 1);
    const std::string fromRoot = folder.substr(2);  // "\\...": the current drive's
    for (const std::string& given : {name, fromRoot}) {
        const auto listed = files.listFiles(given, "catalina.*.log");
        ASSERT_EQ(listed.size(), 1u) << given;
        EXPECT_EQ(listed[0].path, given + "\\catalina.2020-01-01.log");
        EXPECT_TRUE(files.fileExists(listed[0].path)) << given;
    }
    EXPECT_TRUE(files.listFiles("", "catalina.*.log").empty());
    EXPECT_FALSE(files.deleteFile(name + "\\catalina.2020-01-01.log"));
    EXPECT_FALSE(files.fileExists(folder + "\\catalina.2020-01-01.log"));
}

// A file goes only into a folder that is there; a folder Windows will not make is refused with its reason.
TEST(FilesContract, NothingIsWrittenIntoAFolderThatIsNotThereAndARefusedFolderSaysWhy) {
    const auto fixture = makeFilesFixture();
    Files& files = fixture->files();
    const std::string& folder = fixture->folder();
    const auto written = files.writeText(folder + "\\missing\\x.txt", "x");
    ASSERT_TRUE(written);
    EXPECT_EQ(written->number, 3);
    EXPECT_FALSE(files.fileExists(folder + "\\missing\\x.txt"));
    for (const char* below : {"\\a<b", "\\a<b\\c"}) {
        const auto refused = files.createFolders(folder + below);
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->number, 123) << below;
    }
    EXPECT_FALSE(files.createFolders(folder + "\\made\\below"));
    EXPECT_TRUE(files.folderExists(folder + "\\made\\below"));
    EXPECT_TRUE(files.folderExists(folder + "\\made\\below\\"));  // a folder's path may end in its separator
    EXPECT_FALSE(files.writeText(folder + "\\made\\below\\x.txt", "x"));
    // A folder typed with its separator at the end and joined to a name: the separator counts once.
    EXPECT_TRUE(files.folderExists(folder + "\\made\\\\below"));
    EXPECT_TRUE(files.fileExists(folder + "\\made\\below\\\\x.txt"));
    EXPECT_EQ(files.readBytes(folder + "\\made\\.\\below\\..\\below\\\\x.txt", 10), "x");
    EXPECT_FALSE(files.appendText(folder + "\\made\\\\below\\x.txt", "y"));
    EXPECT_EQ(files.readBytes(folder + "\\made\\below\\x.txt", 10), "xy");
}
