#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/ConfigurationList.h"
#include "config/DoConfig.h"
#include "config/Encodings.h"
#include "service/ModernWrapperCommands.h"
#include "platform/memory/MemoryPlatform.h"
#include "platform/win32/Win32Platform.h"
#include "support/RecordingWindow.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

// The real platform, but with the program's folder in the test's Catalina
// home and message boxes answered by the test.
class HomeEnvironment : public Win32Environment {
public:
    std::string folder;
    std::string programFolder() override { return folder; }
};

void makeFile(const std::string& path, const std::string& text = "x") { std::ofstream(path, std::ios::binary) << text; }

// Waits, bounded, for the service's account file to hold a line.
std::string waitForLine(const std::string& path, const std::string& line) {
    auto read = [&] {
        std::ostringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    };
    std::string text;
    for (int i = 0; i < 100 && (text = read()).find(line) == std::string::npos; ++i) Sleep(100);
    return text;
}

class ServiceFlowTest : public ::testing::Test {
protected:
    Win32Registry registry;
    Win32Processes processes;
    Win32Files files;
    Win32Services services;
    HomeEnvironment environment;
    MemoryMessageBoxes boxes;
    Platform platform{registry, processes, files, services, environment, boxes};
    RecordingWindow window;
    DoConfig dc{platform, window};

    const std::string name = "VelmoraFlow" + std::to_string(GetCurrentProcessId());
    const std::string root = (std::filesystem::temp_directory_path() / ("velmora flow " + name)).string();
    const std::string home = root + "\\tomcat", jdk = root + "\\jdk";

    void SetUp() override {
        for (const char* folder : {"\\tomcat\\bin", "\\tomcat\\conf", "\\tomcat\\logs", "\\tomcat\\temp", "\\tomcat\\common\\lib",
                                   "\\tomcat\\common\\endorsed", "\\jdk\\lib", "\\jdk\\jre\\bin\\server", "\\jdk\\jre\\bin\\client"})
            std::filesystem::create_directories(root + folder);
        ASSERT_TRUE(CopyFileA(VELMORA_WRAPPER_EXE, (home + "\\bin\\tomcat.exe").c_str(), FALSE));
        for (const char* file : {"\\tomcat\\bin\\bootstrap.jar", "\\tomcat\\conf\\server.xml", "\\tomcat\\conf\\catalina.policy",
                                 "\\jdk\\lib\\tools.jar", "\\jdk\\jre\\bin\\server\\jvm.dll", "\\jdk\\jre\\bin\\client\\jvm.dll"})
            makeFile(root + file);
        environment.folder = home + "\\bin";
        SetEnvironmentVariableA("java_home", jdk.c_str());
        window.config = &dc;
    }

    void TearDown() override {
        if (dc.installedAsService()) dc.uninstallService(false);
        processes.runHiddenAndWait(home + "\\bin\\tomcat.exe", "tomcat.exe -uninstall " + name);
        registry.deleteKey(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs\\" + name);
        // Wine hands out the same process ids again: the next run must not find this name listed.
        const auto list = registry.queryStringValue(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs", "services");
        registry.setMultiStringValue(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs", "services",
                                     encodeMultiString(listWithoutName(decodeMultiString(list.value_or("")), name)));
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

};

// What Velmora did not create stays untouched: a service of the same name,
// and commands hidden in a path.
TEST_F(ServiceFlowTest, WhatIsNotOursStaysUntouchedAndAPathRunsNoCommand) {
    const std::string foreign = name + "X";
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = CreateServiceA(manager, foreign.c_str(), foreign.c_str(), SERVICE_ALL_ACCESS,
                                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                       "C:\\windows\\system32\\notepad.exe", nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(service, nullptr);
    dc.newConfiguration();
    dc.setServiceName(foreign);
    dc.saveConfiguration(true);
    dc.installService(true);
    dc.uninstallService(true);
    dc.deleteConfiguration(false);
    const bool stillThere = !std::holds_alternative<Failure>(services.isStarted(foreign));
    DeleteService(service);
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    ASSERT_EQ(boxes.shown.size(), 4u);
    for (const auto& box : boxes.shown) EXPECT_NE(box.text.find("notepad.exe"), std::string::npos) << box.text;
    EXPECT_TRUE(stillThere);
    EXPECT_FALSE(files.fileExists(home + "\\bin\\" + foreign + ".exe"));
    EXPECT_EQ(registry.keyContents(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs\\" + foreign), std::nullopt);

    // A path holding a command: Yes creates folders, no command runs.
    dc.loadConfiguration(name);  // prompts on
    boxes.answerByTitle["Missing Folder"] = 6;
    const std::string marker = root + "\\marker.txt";
    dc.setTempDirectory(root + "\\t1\" & echo X>\"" + marker + "\" & rem \"");
    dc.setSystemOut(root + "\\new\\logs");
    EXPECT_TRUE(!files.fileExists(marker) && files.folderExists(root + "\\new\\logs"));

    // The wrapper's own name and one reaching out of bin leave bin\tomcat.exe alone; another
    // spelling of a stored name asks first; without bin\tomcat.exe no install is called a success.
    const std::string wrapper = waitForLine(home + "\\bin\\tomcat.exe", "");
    dc.saveConfiguration(false);
    for (const char* bad : {"Tomcat", "x/../tomcat", name.c_str()}) {
        dc.newConfiguration();
        dc.setServiceName(bad == name ? "VELMORAFLOW" + name.substr(11) : bad);
        boxes.answerByTitle["Confirm"] = 7;
        dc.saveConfiguration(true);
    }
    EXPECT_EQ(boxes.shown.back().text, "A configuration named \"" + name + "\" is already stored. Replace it with this one?");
    EXPECT_EQ(waitForLine(home + "\\bin\\tomcat.exe", "") + std::to_string(window.serviceNameLocked), wrapper + "0");
    DeleteFileA((home + "\\bin\\tomcat.exe").c_str());
    dc.loadConfiguration(name);
    boxes.answerByTitle["Confirm"] = 1;
    dc.installOrUninstall();
    EXPECT_NE(boxes.shown.back().text.find("did not register"), std::string::npos) << boxes.shown.back().text;
    EXPECT_EQ(std::to_string(registry.keyContents(HKEY_LOCAL_MACHINE_ROOT, "SYSTEM\\CurrentControlSet\\Services\\" + name)
                  .has_value()) + window.install, "0Install");
}

// A Tomcat 10 home with its own wrapper, a JDK 21 registered only under
// SOFTWARE\JavaSoft\JDK: found, checked, installed through //IS//, run, removed.
TEST_F(ServiceFlowTest, ATomcat10HomeAndAJdk21GoThroughTheirOwnWrapperAndLeaveNothingBehind) {
    DeleteFileA((home + "\\bin\\tomcat.exe").c_str());
    ASSERT_TRUE(CopyFileA(VELMORA_MODERN_WRAPPER_EXE, (home + "\\bin\\tomcat10.exe").c_str(), FALSE));
    for (const char* folder : {"\\lib", "\\webapps", "\\work"}) std::filesystem::create_directories(home + folder);
    for (const char* file : {"\\bin\\tomcat-juli.jar", "\\conf\\logging.properties"}) makeFile(home + file);
    const std::string jdk21 = root + "\\jdk 21";
    std::filesystem::create_directories(jdk21 + "\\bin\\server");
    std::filesystem::create_directories(jdk21 + "\\lib");
    // MZ, e_lfanew 0x40, PE\0\0, machine x64
    makeFile(jdk21 + "\\bin\\server\\jvm.dll", "MZ" + std::string(0x3A, '\0') + "\x40" + std::string("\0\0\0PE\0\0\x64\x86", 9));
    makeFile(jdk21 + "\\lib\\modules");
    makeFile(jdk21 + "\\release", "JAVA_VERSION=\"21.0.5\"\r\n");
    SetEnvironmentVariableA("java_home", nullptr);
    const std::string jdkKey = "SOFTWARE\\JavaSoft\\JDK";
    registry.setStringValue(HKEY_LOCAL_MACHINE_ROOT, jdkKey, "CurrentVersion", "21");
    registry.setStringValue(HKEY_LOCAL_MACHINE_ROOT, jdkKey + "\\21", "JavaHome", jdk21);

    dc.newConfiguration();
    dc.setServiceName(name);
    dc.setMaxHeapSize("256");
    window.addToList1("-Dshop=a#b;c d");
    EXPECT_TRUE(dc.configuration().javaHome == jdk21 && !dc.writeDiagnosticReport(ReportMode::OnProblems));
    dc.installOrUninstall();
    EXPECT_EQ(window.status + "|" + (boxes.shown.empty() ? "" : boxes.shown.back().text),
              "Installed - Not Running|Service \"" + name + "\" installed.");

    dc.startOrStop();
    EXPECT_EQ(window.status, "Installed - Running");
    const std::string account = waitForLine(home + "\\logs\\" + name + "_out.log", "start: ");
    std::vector<std::string> expected = modernJvmOptions(dc.configuration());
    for (const auto& option : modernJvmOptions9()) expected.push_back(option);
    expected.push_back("-Djava.class.path=" + home + "\\bin\\bootstrap.jar;" + home + "\\bin\\tomcat-juli.jar");
    expected.push_back("-Xmx256m");
    EXPECT_EQ(expected[6], "-Dshop=a#b;c d");
    for (std::size_t n = 0; n < expected.size(); ++n)
        EXPECT_NE(account.find("option " + std::to_string(n) + ": " + expected[n] + "\r\n"), std::string::npos)
            << n << "\n" << account;
    EXPECT_EQ(account.find("option " + std::to_string(expected.size()) + ": "), std::string::npos) << account;
    EXPECT_TRUE(account.find("library: " + jdk21 + "\\bin\\server\\jvm.dll\r\n") != std::string::npos &&
                account.find("start: org.apache.catalina.startup.Bootstrap.main(start)") != std::string::npos) << account;

    dc.startOrStop();
    EXPECT_EQ(window.status, "Installed - Not Running");
    dc.installOrUninstall();
    EXPECT_EQ(window.status, "Not installed");
    // Nothing left: no service (the real failure source and number), key, Procrun key, file or mark.
    const auto answer = services.isStarted(name);
    const Failure* gone = std::get_if<Failure>(&answer);
    auto has = [&](const std::string& key) { return std::to_string(registry.keyContents(HKEY_LOCAL_MACHINE_ROOT, key).has_value()); };
    EXPECT_EQ((gone ? gone->source + " " + std::to_string(gone->number) : "running") + has("SYSTEM\\CurrentControlSet\\Services\\" + name) +
                  has("SOFTWARE\\Apache Software Foundation\\Procrun 2.0\\" + name) + std::to_string(files.fileExists(home + "\\bin\\" + name + ".exe")) +
                  std::to_string(registry.queryDwordValue(HKEY_LOCAL_MACHINE_ROOT, "SOFTWARE\\velmoraconfigs\\" + name, "installedaservice")),
              "OpenServiceA " + std::to_string(ERROR_SERVICE_DOES_NOT_EXIST) + "0000");
    registry.deleteKey(HKEY_LOCAL_MACHINE_ROOT, jdkKey + "\\21");
    registry.deleteKey(HKEY_LOCAL_MACHINE_ROOT, jdkKey);
}

}  // namespace
