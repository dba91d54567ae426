// The session's service commands in this process on the real platform:
// Wine's registry, processes, files and service manager with the stand-in
// wrappers, and a front end that records what it is shown.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "WindowDriver.h"
#include "app/Session.h"
#include "e2eSession.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"
#include "support/RecordingFrontEnd.h"

namespace velmora {
namespace {

using e2e::Layout;
using Names = std::vector<std::string>;

// The program is this test's executable: a new configuration is pointed at
// the prepared home, and the reports of its checks are removed at the end.
struct Machine {
    explicit Machine(Layout layout) : prepared(layout) {}
    ~Machine() {
        const std::string folder = system.environment.programFolder() + "\\";
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW(wide(folder + "quenby-*-debug.html").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
            DeleteFileW((wide(folder) + found.cFileName).c_str());
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
    }
    void newConfiguration(const std::string& name) {
        session.newConfiguration();
        session.edit(Field::CatalinaHome, prepared.home());
        session.edit(Field::ServiceName, name);
    }

    e2e::Session prepared;
    Win32Platform system;
    testing::RecordingFrontEnd ui;
    DebugLog debugLog{system.files};
    Session session{system.platform, ui, debugLog};
};

// Bounded: the service writes its account once the service manager runs it.
std::string accountWith(const std::string& path, const std::string& line) {
    e2e::waitUntil([&] { return e2e::holds(e2e::contentOf(path), line); });
    return e2e::contentOf(path);
}

TEST(ServiceFlow, AClassicServiceIsReinstalledWhileItRunsAndFollowedWhenStoppedElsewhere) {
    Machine m(Layout::Classic);
    const std::string name = "VelmoraFlow" + std::to_string(GetCurrentProcessId());
    const std::string home = m.prepared.home(), copy = m.prepared.bin(name + ".exe");
    m.prepared.removeServiceAtEnd(name);
    m.newConfiguration(name);
    m.session.edit(Field::MaxHeapSize, "256");
    m.session.addOption("-Dflow=1");
    const Outcome installed = m.session.install();
    ASSERT_TRUE(installed.done()) << installed.summary;
    EXPECT_EQ(installed.warnings, e2e::wineSettingsWarnings(name));
    EXPECT_EQ(m.ui.notices.back(), "Service \"" + name + "\" installed.");
    EXPECT_EQ(e2e::serviceProgramLine(name), e2e::quoted(copy) + " -service " + name);
    EXPECT_EQ(e2e::storedText(name, "installed.program.line"), e2e::quoted(copy) + " -service " + name);
    const std::string serviceKey = "SYSTEM\\CurrentControlSet\\Services\\" + name;
    EXPECT_EQ(e2e::machineText(serviceKey, "VelmoraInstallMark"), e2e::storedText(name, "installed.mark"));
    EXPECT_EQ(e2e::machineText(serviceKey + "\\Parameters", "JVM Option Number 7"), "-Xmx256m");
    EXPECT_EQ(e2e::machineText(serviceKey + "\\Parameters", "System.out File"), home + "\\logs\\" + name + "_out.log");

    ASSERT_TRUE(m.session.start().done());
    EXPECT_EQ(m.ui.progress.back(), "Starting the \"" + name + "\" service...");
    const std::string account = home + "\\logs\\" + name + "_out.log";
    const std::string started = accountWith(account, "start: ");
    EXPECT_TRUE(e2e::holds(started, "option 0: -Dcatalina.home=" + home + "\r\n")) << started;
    EXPECT_TRUE(e2e::holds(started, "option 6: -Xrs\r\noption 7: -Xmx256m\r\noption 8: -Dflow=1\r\nSystem.out: "))
        << started;
    EXPECT_TRUE(e2e::holds(started, "library: " + m.prepared.jdk() + "\\jre\\bin\\server\\jvm.dll\r\n")) << started;

    // A save while it runs asks, then stops, removes, installs and starts it again with the new values.
    m.ui.forget();
    m.session.edit(Field::MaxHeapSize, "300");
    const Outcome saved = m.session.save(true);
    ASSERT_TRUE(saved.done()) << saved.summary;
    EXPECT_EQ(m.ui.askedKinds(), std::vector<QuestionKind>{QuestionKind::RestartRunningService});
    EXPECT_EQ(saved.steps, (Names{"stop", "uninstall :" + copy + " -uninstall " + name, "delete the wrapper copy",
                                  "mark not installed", "save", "copy the wrapper",
                                  "install :" + copy + " -install " + name + " " + m.prepared.jdk() +
                                      "\\jre\\bin\\server\\jvm.dll -start main",
                                  "quote the program line", "write the wrapper's values", "apply the service settings",
                                  "mark installed", "start"}));
    EXPECT_TRUE(e2e::holds(accountWith(account, "option 7: -Xmx300m\r\n"), "option 7: -Xmx300m\r\n"));
    EXPECT_EQ(m.ui.status, ServiceStatus::Running);

    ASSERT_TRUE(e2e::stopService(name));
    m.session.follow();
    EXPECT_EQ(m.ui.status, ServiceStatus::NotRunning);

    ASSERT_TRUE(m.session.uninstall().done());
    EXPECT_FALSE(e2e::serviceRegistered(name));
    EXPECT_FALSE(e2e::fileExists(copy));
    EXPECT_FALSE(e2e::machineKeyExists(serviceKey));
    EXPECT_EQ(e2e::storedNumber(name, "installedaservice"), 0u);
    EXPECT_EQ(m.ui.status, ServiceStatus::NotInstalled);

    // Another spelling of the stored name is the same configuration and asks first.
    m.newConfiguration("VELMORAFLOW" + name.substr(11));
    m.ui.answers[QuestionKind::ReplaceStored] = Answer::No;
    EXPECT_EQ(m.session.save(true).result, Outcome::Result::Declined);
    EXPECT_EQ(m.ui.asked.back().text,
              "A configuration named \"" + name + "\" is already stored. Replace it with this one?");

    // Without bin\tomcat.exe nothing is registered.
    DeleteFileW(wide(m.prepared.bin("tomcat.exe")).c_str());
    m.session.edit(Field::ServiceName, name + "X");
    m.prepared.removeServiceAtEnd(name + "X");
    const Outcome missing = m.session.install();
    EXPECT_EQ(missing.result, Outcome::Result::Failed);
    EXPECT_EQ(missing.summary.substr(0, missing.summary.find(": ")),
              "The service wrapper " + m.prepared.bin("tomcat.exe") + " could not be copied to " +
                  m.prepared.bin(name + "X.exe"));
    EXPECT_FALSE(e2e::serviceRegistered(name + "X"));
    EXPECT_EQ(e2e::storedNumber(name + "X", "installedaservice"), 0u);
    e2e::clearStore();
}

// A Tomcat 10 home with its own wrapper, a JDK 21 registered only under
// SOFTWARE\JavaSoft\JDK: found, installed through //IS//, run, removed.
TEST(ServiceFlow, ATomcat10HomeAndARegisteredJdk21GoThroughTheirOwnWrapperAndLeaveNothing) {
    Machine m(Layout::Modern);
    const std::string jdkKey = "SOFTWARE\\JavaSoft\\JDK";
    const std::string jdk = m.prepared.root() + "\\jdk 21", home = m.prepared.home();
    e2e::makeJdk(jdk, Layout::Modern);
    SetEnvironmentVariableW(L"java_home", nullptr);
    m.system.registry.write(kLocalMachine, jdkKey, {RegistryWrite::textValue("CurrentVersion", "21")});
    m.system.registry.write(kLocalMachine, jdkKey + "\\21", {RegistryWrite::textValue("JavaHome", jdk)});
    const std::string name = "VelmoraTen" + std::to_string(GetCurrentProcessId());
    m.prepared.removeServiceAtEnd(name);

    m.newConfiguration(name);
    EXPECT_EQ(m.session.configuration().javaHome, jdk);
    EXPECT_EQ(m.session.configuration().classPath, home + "\\bin\\bootstrap.jar;" + home + "\\bin\\tomcat-juli.jar");
    m.session.edit(Field::MaxHeapSize, "256");
    m.session.addOption("-Dshop=a#b;c d");
    const Outcome installed = m.session.install();
    ASSERT_TRUE(installed.done()) << installed.summary;
    EXPECT_EQ(e2e::serviceProgramLine(name), e2e::quoted(home + "\\bin\\tomcat10.exe") + " //RS//" + name);

    ASSERT_TRUE(m.session.start().done());
    const std::string account = accountWith(home + "\\logs\\" + name + "_out.log", "start: ");
    const Names options = {"-Dcatalina.home=" + home,
                           "-Dcatalina.base=" + home,
                           "-Djava.io.tmpdir=" + home + "\\temp",
                           "-Djava.util.logging.manager=org.apache.juli.ClassLoaderLogManager",
                           "-Djava.util.logging.config.file=" + home + "\\conf\\logging.properties",
                           "-Xrs",
                           "-Dshop=a#b;c d",
                           "--add-opens=java.base/java.lang=ALL-UNNAMED",
                           "--add-opens=java.base/java.io=ALL-UNNAMED",
                           "--add-opens=java.base/java.util=ALL-UNNAMED",
                           "--add-opens=java.base/java.util.concurrent=ALL-UNNAMED",
                           "--add-opens=java.rmi/sun.rmi.transport=ALL-UNNAMED",
                           "-Djava.class.path=" + home + "\\bin\\bootstrap.jar;" + home + "\\bin\\tomcat-juli.jar",
                           "-Xmx256m"};
    for (std::size_t n = 0; n < options.size(); ++n)
        EXPECT_TRUE(e2e::holds(account, "option " + std::to_string(n) + ": " + options[n] + "\r\n")) << n << "\n"
                                                                                                     << account;
    EXPECT_FALSE(e2e::holds(account, "option 14: ")) << account;
    EXPECT_TRUE(e2e::holds(account, "library: " + jdk + "\\bin\\server\\jvm.dll\r\n")) << account;
    EXPECT_TRUE(e2e::holds(account, "start: org.apache.catalina.startup.Bootstrap.main(start)")) << account;

    ASSERT_TRUE(m.session.stop().done());
    EXPECT_EQ(m.ui.status, ServiceStatus::NotRunning);
    ASSERT_TRUE(m.session.uninstall().done());
    EXPECT_EQ(m.ui.status, ServiceStatus::NotInstalled);
    // Nothing left: no service (the service manager's own answer), key, wrapper key, copy or mark.
    const auto answer = m.system.services.isStarted(name);
    ASSERT_TRUE(std::holds_alternative<Failure>(answer));
    EXPECT_EQ(std::get<Failure>(answer).number, ERROR_SERVICE_DOES_NOT_EXIST);
    EXPECT_FALSE(e2e::machineKeyExists("SYSTEM\\CurrentControlSet\\Services\\" + name));
    EXPECT_FALSE(e2e::machineKeyExists("SOFTWARE\\Apache Software Foundation\\Procrun 2.0\\" + name));
    EXPECT_FALSE(e2e::fileExists(m.prepared.bin(name + ".exe")));
    EXPECT_EQ(e2e::storedNumber(name, "installedaservice"), 0u);
    m.system.registry.deleteKey(kLocalMachine, jdkKey + "\\21");
    m.system.registry.deleteKey(kLocalMachine, jdkKey);
}

}  // namespace
}  // namespace velmora
