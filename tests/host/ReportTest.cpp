// The diagnostic report: findings in checking order, written as text, never as markup.
#include "app/Conversation.h"
#include "checks/Report.h"
#include "config/Bitness.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

TEST(ReportDocument, IsOneLineOfFixedHtmlWhoseValuesAreText) {
    Report report;
    report.rows = {"Service name: svc1", "Additional JVM option: -Da=b: c<&"};
    EXPECT_EQ(reportDocument(report),
              "<html><head><meta charset='utf-8'><title>quenby log</title></head><body><font size='4'><b>Configuration"
              "</b></font><br><table border='0' cellpadding='0' cellspacing='0' width='100%' id='AutoNumber1'>"
              "<tr><td width='25%'><font size='2'>Service name</font></td><td width='75%'><font size='2'>svc1</font>"
              "</td></tr><tr><td width='25%'><font size='2'>Additional JVM option</font></td><td width='75%'><font "
              "size='2'>-Da=b</font></td><td width='75%'><font size='2'>c&lt;&amp;</font></td></tr></table><br><br>"
              "<font size='4'><b>Info, Errors and Warnings</b></font><br><font size='2'>No errors or warnings detected."
              "</font><br></body></html>");
    report.findings = {{FindingKind::FileMissing, "x", "y", "one"},
                       {FindingKind::FolderMissing, "x", "y", "'C:\\<script>'"}};
    const std::string html = reportDocument(report);
    EXPECT_NE(html.find("<br><font size='2'>one</font><br><font size='2'>'C:\\&lt;script&gt;'</font><br></body>"),
              std::string::npos);
}

TEST_F(SessionTest, CheckConfigurationWritesTheReportBesideTheProgramAndFindsAJvmOfAnotherMachineType) {
    saveNew("svc1");
    editing.addOption("-Dk=v");
    CheckResult result = session.checkConfiguration(ReportOpening::Always);
    const std::string path = "C:\\tomcat\\bin\\quenby-svc1-debug.html";
    EXPECT_EQ(result.reportPath, path);
    EXPECT_TRUE(result.report.findings.empty());
    EXPECT_EQ(result.report.rows[17], "Additional JVM option: -Dk=v");
    EXPECT_EQ(result.report.rows[18], "Display name: svc1");
    // The service's own name and environment, written as text.
    ASSERT_TRUE(editing.edit(Field::DisplayName, "Shop <web>").done());
    result = session.checkConfiguration(ReportOpening::Never);
    EXPECT_EQ(result.report.rows[18], "Display name: Shop <web>");
    EXPECT_NE(os.files.files[path].find(">Shop &lt;web&gt;<"), std::string::npos);
    Configuration modern = session.configuration();
    modern.environment = {"A=1&2", "B=3"};
    Conversation conversation(ui);
    const auto rows = examineConfiguration(modern, os.platform, conversation).rows;
    EXPECT_EQ(std::vector<std::string>(rows.begin() + 22, rows.begin() + 24),
              (std::vector<std::string>{"Environment: A=1&2", "Environment: B=3"}));
    const std::string end = "No errors or warnings detected.</font><br></body></html>\r\n";
    EXPECT_EQ(os.files.files[path].substr(os.files.files[path].size() - end.size()), end);
    EXPECT_EQ(os.processes.opened, std::vector<std::string>{path});

    // What is missing, in checking order and with the report's own labels.
    os.files.files.erase("C:\\tomcat\\bin\\tomcat.exe");
    os.files.files.erase("C:\\tomcat\\conf\\catalina.policy");  // not looked for: the manager is off
    os.files.folders.erase("C:\\tomcat\\logs");
    os.files.files.erase("C:\\jdk\\lib\\tools.jar");
    os.files.folders.erase("C:\\tomcat\\common\\lib");
    ui.answers[QuestionKind::CreateMissingFolder] = Answer::No;
    result = session.checkConfiguration(ReportOpening::Never);
    std::vector<std::pair<std::string, std::string>> labels;
    for (const Finding& finding : result.report.findings) labels.emplace_back(finding.label, finding.path);
    EXPECT_EQ(labels, (std::vector<std::pair<std::string, std::string>>{
                          {"Tomcat service executable", "C:\\tomcat\\bin\\tomcat.exe"},
                          {"Classpath", "c:\\tomcat\\common\\lib"},
                          {"Classpath", "c:\\jdk\\lib\\tools.jar"},
                          {"System.outfile", "C:\\tomcat\\logs"},
                          {"System.err file", "C:\\tomcat\\logs"}}));
    EXPECT_EQ(result.report.findings[3].message,
              "'C:\\tomcat\\logs' is specified for 'System.outfile' but it does not "
              "exist. Create it?");
    EXPECT_EQ(os.processes.opened.size(), 1u);
    // A value Tomcat could never start with, not saved yet: filed under the field to change.
    editing.edit(Field::MaxHeapSize, "256");
    editing.edit(Field::InitialHeapSize, "512");
    std::string heapField;
    for (const Finding& finding : session.checkConfiguration(ReportOpening::Never).report.findings)
        if (finding.message.rfind("The initial heap size", 0) == 0) heapField = finding.field;
    EXPECT_EQ(heapField, "init.heap.size");

    // A report that cannot be written says where and why.
    os.files.locked.insert(path);
    result = session.checkConfiguration(ReportOpening::Always);
    EXPECT_EQ(result.outcome.result, Outcome::Result::Failed);
    EXPECT_EQ(lastOf(ui.warnings),
              "The diagnostic report could not be written to 'C:\\tomcat\\bin\\quenby-svc1-debug.html': "
              "Access is denied.\r\n\r\nCheck that the program's folder exists and that you may write "
              "to it.");
    // Nor does an install go on past what its check found unasked: the warnings name the findings and the
    // report that is not there, and the question opens no file.
    editing.edit(Field::InitialHeapSize, "");
    ui.answers[QuestionKind::CreateMissingFolder] = Answer::No;
    editing.edit(Field::TempDirectory, "C:\\nowhere");
    ui.forget();
    ui.answers[QuestionKind::InstallDespiteProblems] = Answer::No;
    os.processes.opened.clear();
    EXPECT_EQ(session.install().result, Outcome::Result::Declined);
    EXPECT_FALSE(serviceExists("svc1"));
    ASSERT_FALSE(ui.asked.empty());
    EXPECT_EQ(ui.asked.back().kind, QuestionKind::InstallDespiteProblems);
    EXPECT_EQ(ui.asked.back().subject, "");
    EXPECT_EQ(ui.asked.back().text,
              "The check found the problems shown before, and its diagnostic report could not be written. Click 'OK' "
              "to continue anyway or 'Cancel' to abort.");
    EXPECT_EQ(lastOf(ui.warnings).rfind("The diagnostic report could not be written to", 0), 0u);
    EXPECT_TRUE(os.processes.opened.empty());
    ui.answers.clear();

    // A JVM of another machine type than the wrapper is a finding: the machine field of the PE header, read
    // up to its last byte and never past the bytes read.
    auto lfanew = [](std::string bytes, std::uint32_t at) {
        for (int i = 0; i < 4; ++i) bytes[0x3C + i] = static_cast<char>((at >> (8 * i)) & 0xFF);
        return bytes;
    };
    const std::pair<std::string, Machine> headers[] = {
        {tinyPe(0x8664), Machine::X64},
        {tinyPe(0x014C), Machine::X86},
        {tinyPe(0xAA64), Machine::Arm64},
        {tinyPe(0x01C4), Machine::Unknown},
        {tinyPe(0x0200), Machine::Unknown},
        {tinyPe(0x6486), Machine::Unknown},
        {tinyPe(0x8664).substr(0, 0x45), Machine::Unknown},  // one byte short of the machine
        {"MZ" + std::string(0x3E, '\0'), Machine::Unknown},  // one byte short of e_lfanew
        {"ZM" + tinyPe(0x8664).substr(2), Machine::Unknown},
        {tinyPe(0x8664).replace(0x43, 1, "\1"), Machine::Unknown},  // "PE\0\1"
        {lfanew(tinyPe(0x8664), 0x41), Machine::Unknown},
        {lfanew(tinyPe(0x8664), 0xFFFFFFFF), Machine::Unknown}};
    for (const auto& [bytes, machine] : headers) EXPECT_EQ(machineOfPe(bytes), machine) << bytes.size();
    EXPECT_EQ(bitnessName(Machine::X86) + bitnessName(Machine::X64) + bitnessName(Machine::Arm64) +
                  bitnessName(Machine::Unknown),
              "32-bit64-bit64-bit ARMof an unknown kind");
    // The check reads the first 4096 bytes: a header that ends there is read, one byte further is not.
    os.files.addFile("C:\\w.exe", tinyPe(0xAA64));
    os.files.addFile("C:\\edge.dll", tinyPe(0x8664, 4096 - 6));
    os.files.addFile("C:\\beyond.dll", tinyPe(0x014C, 4096 - 5));
    EXPECT_EQ(bitnessProblem(os.files, "C:\\edge.dll", "C:\\w.exe"),
              "The JVM library 'C:\\edge.dll' is 64-bit but the service wrapper 'C:\\w.exe' is 64-bit ARM, so the "
              "service cannot load that JVM. Choose a JDK or a wrapper of the same kind.");
    EXPECT_EQ(bitnessProblem(os.files, "C:\\beyond.dll", "C:\\w.exe"), "");
    EXPECT_EQ(bitnessProblem(os.files, "C:\\w.exe", "C:\\beyond.dll"), "");  // a wrapper of no known kind

    useModernLayout();
    os.files.addFile("C:\\tomcat10\\bin\\tomcat10.exe", tinyPe(0x014C));
    os.files.addFile("C:\\jdk-21\\bin\\server\\jvm.dll", tinyPe(0x8664));
    session.newConfiguration();
    result = session.checkConfiguration(ReportOpening::Never);
    ASSERT_EQ(result.report.findings.size(), 1u);
    EXPECT_EQ(result.report.findings[0].message.rfind(
                  "The JVM library 'C:\\jdk-21\\bin\\server\\jvm.dll' is 64-bit but the service wrapper", 0),
              0u);
}
