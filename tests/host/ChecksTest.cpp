#include "checks/PathRules.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

TEST(PathRules, ReplacementIsExactCaseNonOverlappingAndLeavesTextForEmptySearch) {
    EXPECT_EQ(replaceAll("C:\\tc\\b;C:\\TC\\c;C:\\tc", "C:\\tc", "D:\\t"), "D:\\t\\b;C:\\TC\\c;D:\\t");
    EXPECT_EQ(replaceAll("aaaa", "aa", "a"), "aa");
    EXPECT_EQ(replaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(defaultClassPath("C:\\tc", "C:\\jdk"), "C:\\tc\\bin\\bootstrap.jar;C:\\tc\\common\\lib;C:\\jdk\\lib\\tools.jar");
}

TEST(PathRules, ClassPathEntriesAreLowerCasedAndShortPiecesSkipped) {
    auto entries = classPathEntries("C:\\A.JAR;;x;c:\\;D:\\lib");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].path, "c:\\a.jar");
    EXPECT_TRUE(entries[0].isJar);
    EXPECT_EQ(entries[1].path, "d:\\lib");
    EXPECT_FALSE(entries[1].isJar);
}

class ChecksTest : public DoConfigTest {};

TEST_F(ChecksTest, MissingFolderIsOfferedAndCreatedOnlyOnYesWithPromptsOn) {
    dc.loadConfiguration("svc");  // leaves prompts on
    boxes().clear();
    os.messageBoxes.answers = {kIdNo};
    EXPECT_EQ(dc.checkFolderOrCreate("C:\\x y", "Temp Directory"),
              "'C:\\x y' is specified for 'Temp Directory' but it does not exist. Create it?");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].title, "Missing Folder");
    EXPECT_EQ(boxes()[0].buttons, 4);
    EXPECT_FALSE(os.files.folderExists("C:\\x y"));

    os.messageBoxes.answers = {kIdYes};
    dc.setTempDirectory("");
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_EQ(boxes()[1].text, "'' is specified for 'Temp Directory' but it does not exist. Create it?");

    // Yes creates every missing level through the file system, never a shell:
    // quotes and "&" in the path stay part of a folder name.
    const std::string hostile = "C:\\t1\" & echo X>C:\\marker.txt & rem \"\\logs";
    os.messageBoxes.answers = {kIdYes};
    dc.setSystemOut(hostile);
    EXPECT_TRUE(os.files.folderExists(hostile));
    EXPECT_TRUE(os.processes.ran.empty());
    EXPECT_FALSE(os.files.fileExists("C:\\marker.txt"));
}

TEST_F(ChecksTest, PromptsOffShowNothingCreateNothingButStillReturnTheMessage) {
    EXPECT_FALSE(dc.showPrompts());
    EXPECT_EQ(dc.checkFileExists("C:\\p.policy", "Security Policy File"),
              "'C:\\p.policy' is specified for 'Security Policy File' but it does not exist. Tomcat may not start without it.");
    EXPECT_FALSE(dc.checkFolderOrCreate("C:\\nope", "System.out file").empty());
    EXPECT_EQ(dc.checkJvmLibrary("C:\\j\\jvm.dll"),
              "With your Tomcat home and JVM selection, the Tomcat service will expect to find the jvm at "
              "'C:\\j\\jvm.dll'. This file does not exist. Please check your settings against the actual location of the JVM.");
    EXPECT_TRUE(boxes().empty());
    EXPECT_FALSE(os.files.folderExists("C:\\nope"));
    os.files.addFolder("C:\\here");
    EXPECT_EQ(dc.checkFolderExists("C:\\here", "Java home"), "");
}

TEST_F(ChecksTest, ClassPathReportsEveryMissingEntryAsFileOrFolder) {
    os.files.addFile("c:\\ok.jar");
    auto missing = dc.checkClassPath("C:\\A.JAR;C:\\OK.jar;;x;c:\\;D:\\lib");
    ASSERT_EQ(missing.size(), 2u);
    EXPECT_EQ(missing[0], "'c:\\a.jar' is specified for 'Classpath' but it does not exist. Tomcat may not start without it.");
    EXPECT_EQ(missing[1], "'d:\\lib' is specified for 'Classpath' but it does not exist. Tomcat may not start without it.");
}

TEST_F(ChecksTest, SettersShowTheirValueAndRunTheirFollowUp) {
    dc.loadConfiguration("svc");
    boxes().clear();
    os.messageBoxes.answers = {kIdNo, kIdNo};
    dc.setSystemOut("C:\\logs");
    dc.setSystemOut("C:\\logs");  // an unchanged value is checked again
    EXPECT_EQ(window.text(FieldControl::Text2), "C:\\logs");
    EXPECT_EQ(boxes().size(), 2u);

    boxes().clear();
    dc.setUseSecurityManager(0);
    dc.setSecurityPolicyFile("C:\\missing.policy");  // warned about even with the manager off
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].title, "Warning");
    EXPECT_EQ(boxes()[0].buttons, 48);

    addDemoLayout("C:\\tc", "C:\\j2");
    dc.setClassPath("custom");
    dc.setJavaHome("C:\\j2");  // the class path is rebuilt even when the home stays
    EXPECT_EQ(dc.configuration().classPath, defaultClassPath(dc.configuration().catalinaHome, "C:\\j2"));
    EXPECT_EQ(window.text(FieldControl::Text6), "C:\\j2");
}

TEST_F(ChecksTest, JvmChoiceAndOptionsComeFromTheWindow) {
    window.serverSelected = false;
    dc.selectJvmFromWindow();
    EXPECT_EQ(dc.configuration().jvmType, "client");
    dc.setJvmType(true);
    EXPECT_EQ(dc.configuration().jvmType, "server");
    EXPECT_FALSE(window.serverSelected);

    dc.collectJvmOptions();
    EXPECT_EQ(dc.configuration().additionalJvmOptions, std::vector<std::string>{""});
    window.addOption("-Xrs2");
    window.addOption("-Dx=1");
    dc.collectJvmOptions();
    EXPECT_EQ(dc.configuration().additionalJvmOptions, (std::vector<std::string>{"-Dx=1", "-Xrs2", ""}));
}
