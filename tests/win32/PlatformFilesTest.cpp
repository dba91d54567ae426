#include <windows.h>

#include <gtest/gtest.h>

#include "PlatformTestSupport.h"
#include "platform/win32/Win32Files.h"

namespace velmora {
namespace {

TEST(FilesTest, ExistenceCopyWriteAndAppendActOnRealFiles) {
    Win32Files files;
    test::TempFolder folder;
    ASSERT_EQ(files.writeText(folder.file("a.txt"), "a long first text"), std::nullopt);
    EXPECT_EQ(files.writeText(folder.file("a.txt"), "short"), std::nullopt);
    EXPECT_EQ(test::contentOf(folder.file("a.txt")), "short");
    std::string found;
    for (const std::string& path : {folder.file("A.TXT"), folder.path(), std::string()})
        found += std::to_string(files.fileExists(path)) + std::to_string(files.folderExists(path));
    EXPECT_EQ(found, "100100");

    ASSERT_EQ(files.writeText(folder.file("svc.exe"), "old wrapper, longer"), std::nullopt);
    EXPECT_EQ(files.copyFile(folder.file("a.txt"), folder.file("svc.exe")), std::nullopt);
    EXPECT_EQ(test::contentOf(folder.file("svc.exe")), "short");
    const Outcome missing = files.copyFile(folder.file("missing.exe"), folder.file("svc.exe"));
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->source + " " + std::to_string(missing->number), "CopyFileA " + std::to_string(ERROR_FILE_NOT_FOUND));

    EXPECT_EQ(files.appendText(folder.file("debug.log"), "one\r\n"), std::nullopt);
    EXPECT_EQ(files.appendText(folder.file("debug.log"), "two\r\n"), std::nullopt);
    EXPECT_EQ(test::contentOf(folder.file("debug.log")), "one\r\ntwo\r\n");
    const Outcome failure = files.appendText(folder.file("missing\\debug.log"), "x");
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->source + " " + std::to_string(failure->number), "CreateFileA " + std::to_string(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(failure->description.empty());
    EXPECT_TRUE(files.writeText(folder.file("missing\\report.html"), "x"));
}

TEST(FilesTest, ForcedDeleteRemovesEvenAReadOnlyFile) {
    Win32Files files;
    test::TempFolder folder;
    const std::string path = folder.file("tomcat.exe");
    ASSERT_EQ(files.writeText(path, "wrapper"), std::nullopt);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_FALSE(DeleteFileA(path.c_str())) << "the file should resist a plain delete";
    EXPECT_EQ(files.deleteFileForced(path), std::nullopt);
    EXPECT_FALSE(files.fileExists(path));
    const Outcome missing = files.deleteFileForced(path);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->source + " " + std::to_string(missing->number), "DeleteFileA " + std::to_string(ERROR_FILE_NOT_FOUND));
}

}  // namespace
}  // namespace velmora
