#include "checks/PathRules.h"
#include "checks/ReportDocument.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

TEST(ReportDocument, IsOneLineOfFixedHtmlWithEveryColonBlankSplittingACellAndRowsForEveryOption) {
    const std::string html = reportDocument({"Service name: svc1", "Additional JVM option: -Da=b: c<&"}, {});
    EXPECT_EQ(html,
              "<html><head><title>quenby log</title></head><body><font size='4'><b>Configuration</b></font><br>"
              "<table border='0' cellpadding='0' cellspacing='0' width='100%' id='AutoNumber1'>"
              "<tr><td width='25%'><font size='2'>Service name</font></td><td width='75%'><font size='2'>svc1</font></td></tr>"
              "<tr><td width='25%'><font size='2'>Additional JVM option</font></td><td width='75%'><font size='2'>-Da=b"
              "</font></td><td width='75%'><font size='2'>c&lt;&amp;</font></td></tr>"
              "</table><br><br><font size='4'><b>Info, Errors and Warnings</b></font><br>"
              "<font size='2'>No errors or warnings detected.</font><br></body></html>");
    const std::string withLog = reportDocument({"Service name: <b>"}, {"one", "'C:\\<script>' x"});
    EXPECT_NE(withLog.find("<br><font size='2'>one</font><br><font size='2'>'C:\\&lt;script&gt;' x</font><br></body>"),
              std::string::npos);
    EXPECT_TRUE(withLog.find("&lt;b&gt;") != std::string::npos && withLog.find("No errors") == std::string::npos);

    // The rows: the seventeen fixed ones, then every non-empty option, without limit.
    Configuration c;
    c.serviceName = "svc";
    c.javaHome = "C:\\jdk";
    c.jvmType = "client";
    c.reduceOsSignals = 1;
    for (int i = 0; i < 40; ++i) c.additionalJvmOptions.push_back(i % 2 ? "" : "-D" + std::to_string(i));
    const auto rows = reportRows(c, jvmLibraryPath(c.javaHome, c.jvmType));
    ASSERT_EQ(rows.size(), 17u + 20u);
    EXPECT_EQ(rows[0] + "|" + rows[4] + "|" + rows[7] + "|" + rows[15] + "|" + rows[16] + "|" + rows[17],
              "Service name: svc|Use security manager: 0|JVM Path: C:\\jdk\\jre\\bin\\client\\jvm.dll|JVM: client|"
              "-Xrs: 1|Additional JVM option: -D0");
}

class DiagnosticReportTest : public DoConfigTest {
protected:
    void SetUp() override {
        DoConfigTest::SetUp();
        addDemoLayout();
        dc.newConfiguration();
        dc.setServiceName("svc1");
    }
    std::string reportFile() { return os.files.files["C:\\tomcat\\bin\\quenby-svc1-debug.html"]; }
};

TEST_F(DiagnosticReportTest, AllPresentWritesButDoesNotOpenAndSaysWhenItCannotWrite) {
    window.addToList1("-Dk=v");
    dc.checkConfiguration();  // with the window's options, opened
    EXPECT_NE(reportFile().find("Additional JVM option</font></td><td width='75%'><font size='2'>-Dk=v"), std::string::npos);
    const std::string end = "No errors or warnings detected.</font><br></body></html>\r\n";
    EXPECT_EQ(reportFile().substr(reportFile().size() - end.size()), end);
    EXPECT_EQ(os.processes.opened, std::vector<std::string>{"C:\\tomcat\\bin\\quenby-svc1-debug.html"});
    EXPECT_FALSE(dc.writeDiagnosticReport(ReportMode::OnProblems));
    EXPECT_EQ(os.processes.opened.size() * 100 + os.processes.ran.size() * 10 + boxes().size(), 100u);

    os.files.locked.insert("C:\\tomcat\\bin\\quenby-svc1-debug.html");
    dc.checkConfiguration();
    EXPECT_EQ(std::to_string(boxes().size()) + lastBox().substr(0, 9), "1Warning: ");
    EXPECT_NE(lastBox().find("'C:\\tomcat\\bin\\quenby-svc1-debug.html'"), std::string::npos);
}

TEST_F(DiagnosticReportTest, FailedChecksAreLoggedInOrderWithTheReportsOwnLabels) {
    os.files.files.erase("C:\\tomcat\\bin\\tomcat.exe");
    os.files.files.erase("C:\\tomcat\\conf\\catalina.policy");  // not checked: manager off
    os.files.folders.erase("C:\\tomcat\\logs");
    os.files.files.erase("C:\\jdk\\lib\\tools.jar");
    os.files.folders.erase("C:\\tomcat\\common\\lib");
    EXPECT_TRUE(dc.writeDiagnosticReport(ReportMode::OnProblems));
    const std::string html = reportFile();
    auto at = [&](const std::string& text) { return html.find(text); };
    EXPECT_NE(at("'C:\\tomcat\\bin\\tomcat.exe' is specified for 'Tomcat service executable'"), std::string::npos);
    EXPECT_EQ(at("catalina.policy' is specified"), std::string::npos);
    EXPECT_LT(at("'c:\\tomcat\\common\\lib' is specified for 'Classpath'"), at("'c:\\jdk\\lib\\tools.jar' is specified for 'Classpath'"));
    EXPECT_TRUE(at("for 'Classpath'") < at("for 'System.outfile'") && at("for 'System.outfile'") < at("for 'System.err file'"));
    EXPECT_EQ(os.processes.opened.size(), 1u);

    dc.setUseSecurityManager(1);
    dc.setCatalinaBase("C:\\missing");
    dc.writeDiagnosticReport(ReportMode::OnProblems);
    EXPECT_NE(reportFile().find("'C:\\missing\\conf\\catalina.policy' is specified for 'Security policy file'"), std::string::npos);
    EXPECT_NE(reportFile().find("for 'Catalina bome'"), std::string::npos);
}
