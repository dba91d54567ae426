#include "checks/PathRules.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

TEST(PathRules, ReplacementIsExactCaseAndClassPathEntriesAreLowerCasedWithShortPiecesSkipped) {
    EXPECT_EQ(replaceAll("C:\\tc\\b;C:\\TC\\c;C:\\tc", "C:\\tc", "D:\\t") + "|" + replaceAll("aaaa", "aa", "a") + "|" + replaceAll("abc", "", "x"),
              "D:\\t\\b;C:\\TC\\c;D:\\t|aa|abc");
    std::string entries;
    for (const auto& entry : classPathEntries("C:\\A.JAR;;x;c:\\;D:\\lib")) entries += entry.path + (entry.isJar ? " jar|" : "|");
    EXPECT_EQ(entries, "c:\\a.jar jar|d:\\lib|");
}

class ChecksTest : public DoConfigTest {};

TEST_F(ChecksTest, WithPromptsOffChecksOnlyReturnTheMessageWithPromptsOnAMissingFolderIsOfferedAndMadeOnYes) {
    EXPECT_EQ(dc.checkFileExists("C:\\p.policy", "Security Policy File"),
              "'C:\\p.policy' is specified for 'Security Policy File' but it does not exist. Tomcat may not start without it.");
    EXPECT_FALSE(dc.checkFolderOrCreate("C:\\nope", "System.out file").empty());
    EXPECT_EQ(dc.checkJvmLibrary("C:\\j\\jvm.dll"),
              "With your Tomcat home and JVM selection, the Tomcat service will expect to find the jvm at "
              "'C:\\j\\jvm.dll'. This file does not exist. Please check your settings against the actual location of the JVM.");
    os.files.addFile("c:\\ok.jar");
    EXPECT_EQ(dc.checkClassPath("C:\\A.JAR;C:\\OK.jar;;x;c:\\;D:\\lib"),
              (std::vector<std::string>{"'c:\\a.jar' is specified for 'Classpath' but it does not exist. Tomcat may not start without it.",
                                        "'d:\\lib' is specified for 'Classpath' but it does not exist. Tomcat may not start without it."}));
    EXPECT_FALSE(boxes().size() || os.files.folderExists("C:\\nope"));
    os.files.addFolder("C:\\here");
    EXPECT_EQ(dc.checkFolderExists("C:\\here", "Java home"), "");

    dc.loadConfiguration("svc");  // leaves prompts on
    boxes().clear();
    os.messageBoxes.answers = {kIdNo};
    EXPECT_EQ(dc.checkFolderOrCreate("C:\\x y", "Temp Directory"),
              "'C:\\x y' is specified for 'Temp Directory' but it does not exist. Create it?");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].title + std::to_string(boxes()[0].buttons), "Missing Folder4");
    EXPECT_FALSE(os.files.folderExists("C:\\x y"));

    // Yes creates every missing level through the file system, never a shell:
    // quotes and "&" in the path stay part of a folder name.
    const std::string hostile = "C:\\t1\" & echo X>C:\\marker.txt & rem \"\\logs";
    os.messageBoxes.answers = {kIdYes};
    dc.setSystemOut(hostile);
    EXPECT_TRUE(os.files.folderExists(hostile) && os.processes.ran.empty() && !os.files.fileExists("C:\\marker.txt"));
}

TEST_F(ChecksTest, SettersShowTheirValueAndRunTheirFollowUp) {
    dc.loadConfiguration("svc");
    boxes().clear();
    os.messageBoxes.answers = {kIdNo, kIdNo};
    dc.setSystemOut("C:\\logs");
    dc.setSystemOut("C:\\logs");  // an unchanged value is checked again
    EXPECT_EQ(window.fieldText(FieldControl::Text2) + std::to_string(boxes().size()), "C:\\logs2");

    // Check1 hands its value back once: the second call finds it unchanged and ends the chain.
    window.clicks.clear();
    dc.setUseSecurityManager(1);
    EXPECT_EQ(window.clicks.size() * 10 + dc.configuration().useSecurityManager, 11u);
    dc.setUseSecurityManager(0);
    EXPECT_EQ(window.clicks, (std::vector<int>{1, 0}));
    EXPECT_EQ(dc.configuration().useSecurityManager, 0);

    boxes().clear();
    dc.setSecurityPolicyFile("C:\\missing.policy");  // warned about even with the manager off
    EXPECT_EQ(lastBox().substr(0, 9) + std::to_string(boxes().size() * 100 + boxes()[0].buttons), "Warning: 148");

    addDemoLayout("C:\\tc", "C:\\j2");
    dc.setClassPath("custom");
    dc.setJavaHome("C:\\j2");  // the class path is rebuilt even when the home stays
    EXPECT_EQ(dc.configuration().classPath + "|" + window.fieldText(FieldControl::Text6), "\\bin\\bootstrap.jar;\\common\\lib;C:\\j2\\lib\\tools.jar|C:\\j2");

    dc.setJvmType(true);  // the window keeps its own choice
    EXPECT_EQ(dc.configuration().jvmType + "|" + std::to_string(window.serverSelected), "server|0");
}
