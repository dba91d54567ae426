#include <windows.h>

#include <set>

#include <gtest/gtest.h>

#include "e2eSession.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Files.h"

namespace velmora {
namespace {

using e2e::contentOf;

std::string failureShown(const MaybeFailure& failure) {
    return failure ? failure->source + " " + std::to_string(failure->number) : "none";
}

TEST(FilesTest, RealFilesAreWrittenCopiedListedAndDeletedAndKnownByAnySpelling) {
    Win32Files files;
    Win32Clock clock;
    e2e::TempFolder folder;
    const std::string a = folder.file("a.txt"), copy = folder.file("svc.exe");
    const FileTime before = clock.now();
    ASSERT_EQ(failureShown(files.writeText(a, "a long first text")), "none");
    EXPECT_EQ(failureShown(files.writeText(a, "short")), "none");
    EXPECT_EQ(contentOf(a), "short");
    EXPECT_EQ(files.listFiles(folder.path(), "*").size(), 1u);  // what was written beside it is gone
    EXPECT_TRUE(files.fileExists(folder.file("A.TXT")));
    EXPECT_FALSE(files.folderExists(a));
    EXPECT_FALSE(files.fileExists(folder.path()));
    EXPECT_TRUE(files.folderExists(folder.path()));
    EXPECT_FALSE(files.fileExists(""));
    EXPECT_FALSE(files.folderExists(""));
    EXPECT_EQ(files.readBytes(a, 3), "sho");
    EXPECT_EQ(files.readBytes(folder.path(), 100), std::nullopt);
    EXPECT_EQ(files.readBytes(folder.file("missing.txt"), 100), std::nullopt);

    ASSERT_EQ(failureShown(files.writeText(copy, "old wrapper, longer")), "none");
    EXPECT_EQ(failureShown(files.copyFile(a, copy)), "none");
    EXPECT_EQ(contentOf(copy), "short");
    EXPECT_EQ(failureShown(files.copyFile(folder.file("missing.exe"), copy)), "CopyFileW 2");

    // One file by any spelling; copied onto itself it would be emptied.
    ASSERT_EQ(failureShown(files.createFolders(folder.file("sub"))), "none");
    for (const std::string& other : {folder.file("A.TXT"), folder.file("sub\\..\\a.txt"), folder.path() + "/a.txt"})
        EXPECT_TRUE(files.sameFile(a, other)) << other;
    for (const std::string& other : {copy, folder.file("missing.txt"), folder.file("sub")})
        EXPECT_FALSE(files.sameFile(a, other)) << other;
    EXPECT_FALSE(files.sameFile(folder.file("sub"), folder.file("sub")));
    EXPECT_EQ(failureShown(files.copyFile(a, folder.file("sub\\..\\A.txt"))), "CopyFileW 32");
    EXPECT_EQ(contentOf(a), "short");

    EXPECT_EQ(failureShown(files.appendText(folder.file("debug.log"), "one\r\n")), "none");
    EXPECT_EQ(failureShown(files.appendText(folder.file("debug.log"), "two\r\n")), "none");
    EXPECT_EQ(contentOf(folder.file("debug.log")), "one\r\ntwo\r\n");
    const MaybeFailure failure = files.appendText(folder.file("missing\\debug.log"), "x");
    EXPECT_EQ(failureShown(failure), "CreateFileW 3");
    EXPECT_FALSE(failure && failure->description.empty());

    // Even a read-only file goes.
    ASSERT_TRUE(SetFileAttributesW(wide(copy).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(failureShown(files.deleteFile(copy)), "none");
    EXPECT_FALSE(files.fileExists(copy));
    EXPECT_EQ(failureShown(files.deleteFile(copy)), "DeleteFileW 2");

    // Logs by pattern, in any case, with their sizes and times, and read from an offset.
    ASSERT_EQ(failureShown(files.writeText(folder.file("catalina.2026-12-07.log"), "line 1\r\nline 2\r\n")), "none");
    ASSERT_EQ(failureShown(files.writeText(folder.file("Catalina.2026-12-06.LOG"), "old")), "none");
    ASSERT_EQ(failureShown(files.writeText(folder.file("localhost.2026-12-07.log"), "other")), "none");
    ASSERT_EQ(failureShown(files.createFolders(folder.file("catalina.folder.log"))), "none");
    std::set<std::string> listed;
    for (const auto& file : files.listFiles(folder.path(), "catalina.*.log")) {
        listed.insert(file.path.substr(folder.path().size() + 1) + " " + std::to_string(file.size));
        // File times are kept to the second or better; allow for a coarse clock.
        EXPECT_GE(file.modified + 2 * kTicksPerSecond, before);
        EXPECT_LE(file.modified, clock.now() + 2 * kTicksPerSecond);
    }
    EXPECT_EQ(listed, (std::set<std::string>{"Catalina.2026-12-06.LOG 3", "catalina.2026-12-07.log 16"}));
    EXPECT_EQ(files.readRange(folder.file("catalina.2026-12-07.log"), 8, 100), "line 2\r\n");
    EXPECT_EQ(files.readRange(folder.file("catalina.2026-12-07.log"), 99, 100), "");
    EXPECT_EQ(files.readRange(folder.file("missing.log"), 0, 100), std::nullopt);
    EXPECT_TRUE(files.listFiles(folder.file("no such folder"), "*").empty());
}

// Made through "\\?\", these names exist as files; by their ordinary paths they are the devices.
TEST(FilesTest, ADevicePathIsNeitherFoundReadCopiedNorDeleted) {
    Win32Files files;
    e2e::TempFolder folder;
    e2e::makeFile(folder.file("plain.txt"), "plain");
    for (const std::string name : {"COM1.exe", "NUL", "con.txt"}) {
        const std::string path = folder.file(name);
        e2e::makeFile("\\\\?\\" + path, "kept");
        ASSERT_EQ(contentOf("\\\\?\\" + path), "kept") << name;

        EXPECT_FALSE(files.fileExists(path)) << name;
        EXPECT_EQ(files.readBytes(path, 100), std::nullopt) << name;
        EXPECT_EQ(failureShown(files.copyFile(path, folder.file("copy.txt"))), "CopyFileW 2") << name;
        EXPECT_EQ(failureShown(files.copyFile(folder.file("plain.txt"), path)), "CopyFileW 2") << name;
        EXPECT_EQ(failureShown(files.writeText(path, "x")), "CreateFileW 5") << name;
        EXPECT_EQ(failureShown(files.deleteFile(path)), "DeleteFileW 2") << name;
        EXPECT_FALSE(files.sameFile(path, path)) << name;
        EXPECT_EQ(contentOf("\\\\?\\" + path), "kept") << name;
        DeleteFileW(wide("\\\\?\\" + path).c_str());
    }
    EXPECT_FALSE(files.fileExists(folder.file("copy.txt")));
}

}  // namespace
}  // namespace velmora
