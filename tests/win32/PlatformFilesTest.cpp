#include <windows.h>

#include <set>

#include <gtest/gtest.h>

#include "PlatformTestSupport.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Files.h"

namespace velmora {
namespace {

std::string failureShown(const MaybeFailure& failure) {
    return failure ? failure->source + " " + std::to_string(failure->number) : "none";
}

TEST(FilesTest, WritesAppendsCopiesAndDeletesRealFiles) {
    Win32Files files;
    test::TempFolder folder;
    ASSERT_EQ(failureShown(files.writeText(folder.file("a.txt"), "a long first text")), "none");
    EXPECT_EQ(failureShown(files.writeText(folder.file("a.txt"), "short")), "none");
    EXPECT_EQ(test::contentOf(folder.file("a.txt")), "short");
    EXPECT_TRUE(files.fileExists(folder.file("A.TXT")));  // another spelling of a.txt
    EXPECT_FALSE(files.folderExists(folder.file("A.TXT")));
    EXPECT_FALSE(files.fileExists(folder.path()));
    EXPECT_TRUE(files.folderExists(folder.path()));
    EXPECT_FALSE(files.fileExists(""));
    EXPECT_FALSE(files.folderExists(""));

    ASSERT_EQ(failureShown(files.writeText(folder.file("svc.exe"), "old wrapper, longer")), "none");
    EXPECT_EQ(failureShown(files.copyFile(folder.file("a.txt"), folder.file("svc.exe"))), "none");
    EXPECT_EQ(test::contentOf(folder.file("svc.exe")), "short");
    EXPECT_EQ(failureShown(files.copyFile(folder.file("missing.exe"), folder.file("svc.exe"))), "CopyFileW 2");

    EXPECT_EQ(failureShown(files.appendText(folder.file("debug.log"), "one\r\n")), "none");
    EXPECT_EQ(failureShown(files.appendText(folder.file("debug.log"), "two\r\n")), "none");
    EXPECT_EQ(test::contentOf(folder.file("debug.log")), "one\r\ntwo\r\n");
    const MaybeFailure failure = files.appendText(folder.file("missing\\debug.log"), "x");
    EXPECT_EQ(failureShown(failure), "CreateFileW 3");
    EXPECT_FALSE(failure && failure->description.empty());

    // Even a read-only file goes.
    ASSERT_TRUE(SetFileAttributesW(wide(folder.file("svc.exe")).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(failureShown(files.deleteFile(folder.file("svc.exe"))), "none");
    EXPECT_FALSE(files.fileExists(folder.file("svc.exe")));
    EXPECT_EQ(failureShown(files.deleteFile(folder.file("svc.exe"))), "DeleteFileW 2");
}

// Files with these names can exist, made through the "\\?\" form that skips
// the device names; by their ordinary paths they are the devices themselves.
TEST(FilesTest, ALogIsListedByPatternWithItsSizeAndTimeAndReadFromAnOffset) {
    Win32Files files;
    Win32Clock clock;
    test::TempFolder folder;
    const FileTime before = clock.now();
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
    EXPECT_EQ(files.readRange(folder.file("catalina.2026-12-07.log"), 8, 100),
              std::optional<std::string>("line 2\r\n"));
    EXPECT_EQ(files.readRange(folder.file("catalina.2026-12-07.log"), 99, 100), std::optional<std::string>(""));
    EXPECT_EQ(files.readRange(folder.file("missing.log"), 0, 100), std::nullopt);
    EXPECT_TRUE(files.listFiles(folder.file("no such folder"), "*").empty());
}

TEST(FilesTest, ADevicePathIsNeitherFoundReadCopiedNorDeleted) {
    Win32Files files;
    test::TempFolder folder;
    ASSERT_EQ(failureShown(files.writeText(folder.file("plain.txt"), "plain")), "none");
    for (const std::string name : {"COM1.exe", "NUL", "con.txt"}) {
        const std::string path = folder.file(name);
        test::createWithContent("\\\\?\\" + path, "kept");
        ASSERT_EQ(test::contentOf("\\\\?\\" + path), "kept") << name;

        EXPECT_FALSE(files.fileExists(path)) << name;
        EXPECT_EQ(files.readBytes(path, 100), std::nullopt) << name;
        EXPECT_EQ(failureShown(files.copyFile(path, folder.file("copy.txt"))), "CopyFileW 2") << name;
        EXPECT_EQ(failureShown(files.copyFile(folder.file("plain.txt"), path)), "CopyFileW 2") << name;
        EXPECT_EQ(failureShown(files.writeText(path, "x")), "CreateFileW 5") << name;
        EXPECT_EQ(failureShown(files.deleteFile(path)), "DeleteFileW 2") << name;
        EXPECT_FALSE(files.sameFile(path, path)) << name;
        EXPECT_EQ(test::contentOf("\\\\?\\" + path), "kept") << name;
        DeleteFileW(wide("\\\\?\\" + path).c_str());
    }
    EXPECT_FALSE(files.fileExists(folder.file("copy.txt")));
}

TEST(FilesTest, OnlyOrdinaryFilesAreReadAndOneFileIsKnownByAnySpelling) {
    Win32Files files;
    test::TempFolder folder;
    ASSERT_EQ(failureShown(files.createFolders(folder.file("sub"))), "none");
    ASSERT_EQ(failureShown(files.writeText(folder.file("a.txt"), "first text")), "none");
    ASSERT_EQ(failureShown(files.writeText(folder.file("b.txt"), "first text")), "none");
    EXPECT_EQ(files.readBytes(folder.file("a.txt"), 5), "first");
    EXPECT_EQ(files.readBytes(folder.file("a.txt"), 100), "first text");
    EXPECT_EQ(files.readBytes(folder.path(), 100), std::nullopt);
    EXPECT_EQ(files.readBytes(folder.file("missing.txt"), 100), std::nullopt);

    const std::string a = folder.file("a.txt");
    for (const std::string& other : {folder.file("A.TXT"), folder.file("sub\\..\\a.txt"), folder.path() + "/a.txt"})
        EXPECT_TRUE(files.sameFile(a, other)) << other;
    for (const std::string& other : {folder.file("b.txt"), folder.file("missing.txt"), folder.file("sub")})
        EXPECT_FALSE(files.sameFile(a, other)) << other;
    EXPECT_FALSE(files.sameFile(folder.file("sub"), folder.file("sub")));

    // Copied onto itself, a file would be emptied.
    EXPECT_EQ(failureShown(files.copyFile(a, folder.file("sub\\..\\A.txt"))), "CopyFileW 32");
    EXPECT_EQ(failureShown(files.copyFile(a, folder.file("A.TXT"))), "CopyFileW 32");
    EXPECT_EQ(test::contentOf(a), "first text");
}

TEST(FilesTest, FoldersAndFilesNamedInAnyScriptWorkEndToEnd) {
    Win32Files files;
    test::TempFolder folder;
    const std::string home = folder.file("Prögramme\\Tömcat 10");
    const std::string settings = home + "\\設定ファイル.txt";
    const std::string copy = home + "\\コピー.txt";
    ASSERT_EQ(failureShown(files.createFolders(home)), "none");
    EXPECT_TRUE(files.folderExists(folder.file("PRÖGRAMME")));
    EXPECT_EQ(failureShown(files.writeText(settings, "Grüße")), "none");
    EXPECT_EQ(failureShown(files.appendText(settings, ", 日本")), "none");
    EXPECT_TRUE(files.fileExists(settings));
    EXPECT_EQ(files.readBytes(settings, 100), "Grüße, 日本");
    EXPECT_EQ(failureShown(files.copyFile(settings, copy)), "none");
    EXPECT_TRUE(files.sameFile(copy, folder.file("prögramme\\TÖMCAT 10\\コピー.txt")));
    EXPECT_FALSE(files.sameFile(settings, copy));

    // The names on disk are those characters, not some code page's guess.
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(wide(home + "\\*.txt").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        names.insert(found.cFileName);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    EXPECT_EQ(names, (std::set<std::wstring>{L"\u8A2D\u5B9A\u30D5\u30A1\u30A4\u30EB.txt", L"\u30B3\u30D4\u30FC.txt"}));
    EXPECT_NE(GetFileAttributesW((wide(folder.path()) + L"\\Pr\u00F6gramme\\T\u00F6mcat 10").c_str()),
              INVALID_FILE_ATTRIBUTES);

    EXPECT_EQ(failureShown(files.deleteFile(settings)), "none");
    EXPECT_FALSE(files.fileExists(settings));
    EXPECT_TRUE(files.fileExists(copy));
}

}  // namespace
}  // namespace velmora
