// Text beyond ASCII from the boxes of the window to the store, the command
// line, an export and its import, the wrapper's command line, the JVM the
// service stands for and the report: every copy unchanged.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "WindowDriver.h"
#include "e2eSession.h"
#include "ui/win32/ResourceIds.h"

namespace velmora::e2e {
namespace {

// What the wrapper keeps in one of its keys (Start, Log), each text up to its terminating NUL.
std::string wrapperValue(const std::string& service, const std::string& key, const std::string& value) {
    return machineText(procrunKey(service) + "\\" + key, value);
}

// A path as a JSON document writes it: each backslash doubled.
std::string inJson(const std::string& text) {
    std::string escaped;
    for (char c : text) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return escaped;
}

TEST(Unicode, AHomeAndADescriptionBeyondAsciiGoEverywhereUnchanged) {
    Session session;
    const std::string home = session.root() + "\\Prögramme\\Tömcat 10";
    const std::string description = "日本語の説明：テスト用サービス";
    const std::string classPath = home + "\\bin\\bootstrap.jar;" + home + "\\bin\\tomcat-juli.jar";
    makeCatalinaHome(home, Layout::Modern);
    session.removeServiceAtEnd("uni");

    // Typed into the boxes of a new configuration, the home takes every path along.
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.type(IDC_SERVICE_NAME, "uni"));
    ASSERT_TRUE(session.type(IDC_DESCRIPTION, description));
    ASSERT_TRUE(session.type(IDC_CATALINA_HOME, home));
    ASSERT_TRUE(waitUntil([&] { return session.text(IDC_CATALINA_BASE) == home; }));
    EXPECT_EQ(session.text(IDC_DESCRIPTION), description);
    EXPECT_EQ(session.text(IDC_SYSTEM_OUT), home + "\\logs");
    postCommand(session.main(), IDM_SAVE);
    EXPECT_EQ(session.answer("Info", IDOK), "Instance saved as \"uni\".");
    ASSERT_TRUE(session.waitUntilIdle());
    EXPECT_EQ(storedText("uni", "tomcat.home"), home);
    EXPECT_EQ(storedText("uni", "catalina.base"), home);
    EXPECT_EQ(storedText("uni", "java.class.path"), classPath);
    EXPECT_EQ(storedText("uni", "description"), description);
    EXPECT_TRUE(session.screenshot("unicode-saved"));

    // The report declares its encoding and carries the values as they are.
    const std::string report = session.bin("quenby-uni-debug.html");
    postCommand(session.main(), IDM_CHECK_CONFIGURATION);
    ASSERT_TRUE(waitUntil([&] { return holds(contentOf(report), "</html>"); }));
    EXPECT_TRUE(holds(contentOf(report), "<meta charset='utf-8'>"));
    EXPECT_TRUE(holds(contentOf(report), "Catalina home</font></td><td width='75%'><font size='2'>" + home + "</font>"))
        << contentOf(report);
    EXPECT_TRUE(holds(contentOf(report), "No errors or warnings detected."));

    // The command line prints the values in UTF-8, takes them back from an export, and lists the name.
    const CliRun show = session.cli("show uni");
    EXPECT_TRUE(holds(show.out, "tomcat.home = " + home + "\n")) << show.out;
    EXPECT_TRUE(holds(show.out, "description = " + description + "\n")) << show.out;
    EXPECT_EQ(session.cli("list").out, "uni\n");
    const CliRun json = session.cli("show uni --json");
    EXPECT_TRUE(holds(json.out, "\"tomcat.home\": \"" + inJson(home) + "\"")) << json.out;
    EXPECT_TRUE(holds(json.out, "\"description\": \"" + description + "\"")) << json.out;
    const std::string file = session.root() + "\\Éxport.json";
    EXPECT_EQ(session.cli("export uni --out \"" + file + "\"").code, 0);
    EXPECT_TRUE(holds(contentOf(file), "\"description\": \"" + description + "\""));
    EXPECT_EQ(session.cli("delete uni").code, 0);
    EXPECT_FALSE(storeHasKey("uni"));
    const CliRun imported = session.cli("import \"" + file + "\"");
    EXPECT_EQ(imported.code, 0) << imported.err;
    EXPECT_EQ(storedText("uni", "tomcat.home"), home);
    EXPECT_EQ(storedText("uni", "description"), description);

    // The wrapper is given the paths and the description whole.
    click(session.control(IDC_INSTALL));
    for (const std::string& warning : wineSettingsWarnings("uni")) EXPECT_EQ(session.answer("Warning", IDOK), warning);
    EXPECT_EQ(session.answer("Info", IDOK), "Service \"uni\" installed.");
    ASSERT_TRUE(session.waitUntilIdle());
    EXPECT_EQ(serviceConfig("uni").programLine, quoted(home + "\\bin\\tomcat10.exe") + " //RS//uni");
    EXPECT_EQ(serviceDescription("uni"), description);
    EXPECT_EQ(wrapperValue("uni", "Start", "WorkingPath"), home);
    EXPECT_EQ(wrapperValue("uni", "Log", "StdOutput"), home + "\\logs\\uni_out.log");

    // And so does the JVM it stands for, in its account of the launch.
    click(session.control(IDC_START));
    ASSERT_TRUE(waitUntil([&] { return session.text(IDC_STATUS_TEXT) == "Installed - Running"; }));
    const std::string account = home + "\\logs\\uni_out.log";
    ASSERT_TRUE(waitUntil([&] { return holds(contentOf(account), "start: "); }));
    EXPECT_TRUE(holds(contentOf(account), "option 0: -Dcatalina.home=" + home + "\r\n")) << contentOf(account);
    EXPECT_TRUE(holds(contentOf(account), "option 11: -Djava.class.path=" + classPath + "\r\n")) << contentOf(account);
    EXPECT_TRUE(holds(contentOf(account), "System.out: " + home + "\\logs\\uni_out.log\r\n")) << contentOf(account);
    EXPECT_EQ(session.cli("status uni").out.rfind("uni: running (process ", 0), 0u);

    EXPECT_EQ(session.cli("uninstall uni --yes").code, 0);
    EXPECT_FALSE(serviceRegistered("uni"));
    EXPECT_FALSE(machineKeyExists("SYSTEM\\CurrentControlSet\\Services\\uni"));
    EXPECT_FALSE(machineKeyExists(procrunKey("uni")));
}

}  // namespace
}  // namespace velmora::e2e
