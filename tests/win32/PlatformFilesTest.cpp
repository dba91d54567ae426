#include <windows.h>

#include <gtest/gtest.h>

#include "PlatformTestSupport.h"
#include "platform/win32/Win32Files.h"

namespace velmora {
namespace {

class FilesTest : public ::testing::Test {
protected:
    Win32Files files;
    test::TempFolder folder;
};

TEST_F(FilesTest, ExistenceTellsFilesFromFoldersAndAnEmptyPathNeverExists) {
    ASSERT_EQ(files.writeText(folder.file("a.txt"), "a"), std::nullopt);

    EXPECT_TRUE(files.fileExists(folder.file("a.txt")));
    EXPECT_TRUE(files.fileExists(folder.file("A.TXT")));
    EXPECT_FALSE(files.folderExists(folder.file("a.txt")));
    EXPECT_TRUE(files.folderExists(folder.path()));
    EXPECT_FALSE(files.fileExists(folder.path()));
    EXPECT_FALSE(files.fileExists(folder.file("missing.txt")));
    EXPECT_FALSE(files.folderExists(folder.file("missing")));
    EXPECT_FALSE(files.fileExists(""));
    EXPECT_FALSE(files.folderExists(""));
}

TEST_F(FilesTest, ForcedDeleteRemovesEvenAReadOnlyFile) {
    const std::string path = folder.file("tomcat.exe");
    ASSERT_EQ(files.writeText(path, "wrapper"), std::nullopt);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_FALSE(DeleteFileA(path.c_str())) << "the file should resist a plain delete";

    EXPECT_EQ(files.deleteFileForced(path), std::nullopt);
    EXPECT_FALSE(files.fileExists(path));

    const Outcome missing = files.deleteFileForced(path);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->source, "DeleteFileA");
    EXPECT_EQ(missing->number, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(missing->description.empty());
}

TEST_F(FilesTest, CopyReplacesAnExistingTarget) {
    ASSERT_EQ(files.writeText(folder.file("tomcat.exe"), "new wrapper"), std::nullopt);
    ASSERT_EQ(files.writeText(folder.file("svc.exe"), "old wrapper, longer"), std::nullopt);

    EXPECT_EQ(files.copyFile(folder.file("tomcat.exe"), folder.file("svc.exe")), std::nullopt);
    EXPECT_EQ(test::contentOf(folder.file("svc.exe")), "new wrapper");

    const Outcome missing = files.copyFile(folder.file("missing.exe"), folder.file("svc.exe"));
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->source, "CopyFileA");
    EXPECT_EQ(missing->number, ERROR_FILE_NOT_FOUND);
}

TEST_F(FilesTest, WriteReplacesWhileAppendCreatesThenExtends) {
    const std::string report = folder.file("report.html");
    ASSERT_EQ(files.writeText(report, "a long first text"), std::nullopt);
    EXPECT_EQ(files.writeText(report, "short"), std::nullopt);
    EXPECT_EQ(test::contentOf(report), "short");

    const std::string log = folder.file("debug.log");
    EXPECT_EQ(files.appendText(log, "one\r\n"), std::nullopt);
    EXPECT_EQ(files.appendText(log, "two\r\n"), std::nullopt);
    EXPECT_EQ(test::contentOf(log), "one\r\ntwo\r\n");
}

TEST_F(FilesTest, WritingIntoAMissingFolderFailsWithTheSystemsReason) {
    const Outcome failure = files.appendText(folder.file("missing\\debug.log"), "x");
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->source, "CreateFileA");
    EXPECT_EQ(failure->number, ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(failure->description.empty());
    EXPECT_TRUE(files.writeText(folder.file("missing\\report.html"), "x"));
}

}  // namespace
}  // namespace velmora
