// Why a start failed, under Wine: the stand-ins fail from what is really wrong, and the cause is named.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "WindowDriver.h"
#include "app/Program.h"
#include "e2eSession.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"
#include "support/RecordingFrontEnd.h"

namespace velmora {
namespace {

using e2e::Layout;

struct Machine {
    explicit Machine(Layout layout) : prepared(layout) {}
    e2e::Session prepared;
    Win32Platform system;
    testing::RecordingFrontEnd ui;
    DebugLog debugLog{system.files};
    Program program{system.platform, ui, debugLog, SetterChecks::OnceStored};
    Session& session = program.session;
    Editing& editing = program.editing;
};

// The start of a 32-bit PE image: enough for a loader to refuse it on 64 bits.
std::string thirtyTwoBitImage() {
    std::string image(0x100, '\0');
    image[0] = 'M', image[1] = 'Z', image[0x3C] = 0x40;
    image.replace(0x40, 6, std::string("PE\0\0\x4c\x01", 6));
    return image;
}

constexpr const char* kServerXml =
    "<?xml version=\"1.0\"?>\r\n<Server port=\"-1\" shutdown=\"SHUTDOWN\">\r\n</Server>\r\n";

// Every cause in turn, made real, started, named, undone; its lines stay, so none is blamed twice.
void startsFailForTheirCauses(Layout layout) {
    Machine m(layout);
    const bool modern = layout == Layout::Modern;
    const std::string name = "VelmoraWhy" + std::to_string(GetCurrentProcessId());
    const std::string home = m.prepared.home(), jdk = m.prepared.jdk();
    const std::string library = jdk + (modern ? "\\bin\\server\\jvm.dll" : "\\jre\\bin\\server\\jvm.dll");
    const std::string release = jdk + "\\release", serverXml = home + "\\conf\\server.xml";
    const std::string catalinaLog = home + "\\logs\\catalina." + e2e::localDate() + ".log";
    const std::string catalinaName = "catalina." + e2e::localDate() + ".log";
    const std::string wrapperName = modern ? "commons-daemon." + e2e::localDate() + ".log"
                                           : "jakarta_service_" + e2e::localDate(0, "%04u%02u%02u") + ".log";
    const std::string errName = name + "_err.log", q = "\"";
    m.prepared.removeServiceAtEnd(name);
    m.session.newConfiguration();
    m.editing.edit(Field::CatalinaHome, home);
    m.editing.edit(Field::ServiceName, name);
    m.editing.edit(Field::MaxHeapSize, "256");
    m.editing.edit(Field::StartTimeout, "5");
    const Outcome installed = m.session.install();
    ASSERT_TRUE(installed.done()) << installed.summary;

    // A start that comes up (with no connector to wait for) costs net and a look, and warns of nothing.
    auto startsClean = [&](const char* when) {
        m.ui.forget();
        const ULONGLONG begun = GetTickCount64();
        const Outcome started = m.session.start();
        const ULONGLONG took = GetTickCount64() - begun;
        EXPECT_TRUE(started.done()) << when << ": " << started.summary;
        EXPECT_FALSE(started.startFailure.has_value()) << when << ": " << started.startFailure->sentence;
        EXPECT_TRUE(m.ui.warnings.empty()) << when << ": " << m.ui.warnings.front();
        EXPECT_LT(took, 3000u) << when;
        EXPECT_TRUE(m.session.stop().done()) << when;
    };
    startsClean("before any cause");

    auto save = [&] {
        const Outcome saved = m.session.save();
        EXPECT_TRUE(saved.done()) << saved.summary;
    };
    // The JDK as prepared: 21 with a release file, or an old one without.
    auto restoreRelease = [&] {
        if (modern)
            e2e::makeFile(release, "JAVA_VERSION=\"21.0.5\"\r\n");
        else
            DeleteFileW(wide(release).c_str());
    };
    const e2e::LoopbackPort held;
    ASSERT_NE(held.port, 0);
    const std::string port = std::to_string(held.port);
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatusEx(&memory);
    // The largest heap Velmora takes, where the machine cannot back it; else an
    // initial heap above the maximum, which the JVM refuses in as many lines.
    const bool heapFits = memory.ullTotalPageFile >= 32767ull << 20;
    const Field heapField = heapFits ? Field::InitialHeapSize : Field::MaxHeapSize;

    struct Cause {
        const char* what;
        std::function<void()> make, undo;
        std::string sentence;
    };
    const std::vector<Cause> causes = {
        {"an option a JDK 17 does not know",
         [&] {
             e2e::makeFile(release, "JAVA_VERSION=\"17.0.9\"\r\n");
             m.editing.addOption("-XX:+UseParNewGC");
             save();
         },
         [&] {
             m.editing.replaceList(Field::AdditionalOptions, {});
             save();
             restoreRelease();
         },
         "Remove -XX:+UseParNewGC from the additional options: the JVM at " + jdk + " does not know it (" + errName +
             ", line 1)."},
        {"a heap the JVM cannot have",
         [&] {
             m.editing.edit(heapField, heapFits ? "512" : "32767");
             save();
         },
         [&] {
             m.editing.edit(heapField, heapFits ? "" : "256");
             save();
         },
         heapFits ? "Make the initial heap size (512 MB) no larger than the maximum heap size (256 MB) (" + errName +
                        ", line 5)."
                  : "Lower the maximum heap size (32767 MB): the JVM could not reserve that much memory (" + errName +
                        ", line 5)."},
        {"the security manager on a JDK updated to 24",
         [&] {
             m.editing.edit(Field::UseSecurityManager, "1");
             save();
             e2e::makeFile(release, "JAVA_VERSION=\"24.0.1\"\r\n");
         },
         [&] {
             m.editing.edit(Field::UseSecurityManager, "0");
             save();
             restoreRelease();
         },
         "Turn off Use Security Manager: the JDK at " + jdk + " refuses the security manager (" + errName +
             ", line 7)."},
        {"jvm.dll missing", [&] { DeleteFileW(wide(library).c_str()); }, [&] { e2e::makeFile(library); },
         "The JVM library " + library + " is missing: choose a Java Home that has one (" + wrapperName + ", line 13)."},
        {"a 32-bit jvm.dll", [&] { e2e::makeFile(library, thirtyTwoBitImage()); }, [&] { e2e::makeFile(library); },
         "The wrapper cannot load the JVM library " + library +
             ": choose a JDK of the wrapper's machine type (64-bit or 32-bit) in Java Home (" + wrapperName +
             ", line 15)."},
        {"the shutdown port held by another program",
         [&] {
             e2e::makeFile(serverXml, "<?xml version=\"1.0\"?>\r\n<Server port=\"" + port +
                                          "\" shutdown=\"SHUTDOWN\">\r\n</Server>\r\n");
         },
         [&] { e2e::makeFile(serverXml, kServerXml); },
         "Port " + port + " is already in use by another program: stop that program or change the port in " +
             serverXml + " (" + catalinaName + ", line 10)."},
        // A folder where the day's log goes: Windows, and Wine, deny writing
        // it, as they deny an account without rights (these tests run as root,
        // for whom Wine grants every file).
        {"a log the account may not write",
         [&] {
             MoveFileW(wide(catalinaLog).c_str(), wide(catalinaLog + ".kept").c_str());
             CreateDirectoryW(wide(catalinaLog).c_str(), nullptr);
         },
         [&] {
             RemoveDirectoryW(wide(catalinaLog).c_str());
             MoveFileW(wide(catalinaLog + ".kept").c_str(), wide(catalinaLog).c_str());
         },
         "The account NT SERVICE\\" + name + " may not write to " + home +
             "\\logs: grant it modify rights there (Install offers "
             "to) (" +
             errName + ", line 10)."},
        {"a Tomcat that never finishes starting", [&] { e2e::makeFile(home + "\\bin\\standin-hangs.txt"); },
         [&] {
             DeleteFileW(wide(home + "\\bin\\standin-hangs.txt").c_str());
             EXPECT_TRUE(e2e::stopService(name));
         },
         "The service was still starting after 5 seconds: Tomcat may be slow to start or hang; see its last lines "
         "(the service manager)."},
    };
    for (const Cause& cause : causes) {
        cause.make();
        m.ui.forget();
        const Outcome started = m.session.start();
        ASSERT_TRUE(started.startFailure.has_value()) << cause.what << ": " << started.summary;
        EXPECT_EQ(started.startFailure->sentence, cause.sentence) << cause.what;
        EXPECT_EQ(m.ui.warnings.size(), 1u) << cause.what;
        // A hung start is not running, whatever its process does.
        if (cause.what == std::string("a Tomcat that never finishes starting")) {
            EXPECT_EQ(m.session.status(), ServiceStatus::StartPending);
        }
        cause.undo();
    }

    // With every cause undone it starts again, and none of their lines is blamed.
    startsClean("after every cause");
    EXPECT_TRUE(m.session.uninstall().done());
}

// A connector that opens after 2 s, then never; a graceful stop, then one the wrapper must force.
TEST(Readiness, StartEndsWhenThePortAnswersAndEachStopSaysHowItWent) {
    Machine m(Layout::Modern);
    const std::string name = "VelmoraReady" + std::to_string(GetCurrentProcessId());
    const std::string home = m.prepared.home(), bin = home + "\\bin\\";
    const std::string port = std::to_string(20000 + GetCurrentProcessId() % 20000);
    m.prepared.removeServiceAtEnd(name);
    e2e::makeFile(home + "\\conf\\server.xml",
                  "<?xml version=\"1.0\"?>\r\n<Server port=\"-1\" shutdown=\"SHUTDOWN\">"
                  "<Service name=\"Catalina\"><Connector port=\"" +
                      port + "\"/></Service></Server>\r\n");
    m.session.newConfiguration();
    m.editing.edit(Field::CatalinaHome, home);
    m.editing.edit(Field::ServiceName, name);
    m.editing.edit(Field::StartTimeout, "6");
    m.editing.edit(Field::StopTimeout, "2");
    ASSERT_TRUE(m.session.install().done());

    e2e::makeFile(bin + "standin-connectors.txt", "2000");
    Outcome started = m.session.start();
    ASSERT_TRUE(started.done()) << started.summary;
    ASSERT_TRUE(started.started.has_value());
    // Running is seen a poll after the stand-in begins its 2 s: the start's own beginning is the sure mark.
    EXPECT_GE(started.started->readyAfterMs, 2000u);
    EXPECT_LT(started.started->readyAfterMs - started.started->runningAfterMs, 2500u);  // within half a second
    EXPECT_EQ(m.session.status(), ServiceStatus::Running);

    Outcome stopped = m.session.stop();
    EXPECT_TRUE(stopped.done()) << stopped.summary;
    ASSERT_TRUE(stopped.stopped.has_value());
    EXPECT_TRUE(stopped.stopped->graceful);
    EXPECT_NE(stopped.summary.find("Destroying ProtocolHandler"), std::string::npos) << stopped.summary;

    // A connector that never opens: the start fails at the timeout with the port named; the
    // service runs on without serving. Its stop is ignored until the wrapper ends it after 3 s.
    e2e::makeFile(bin + "standin-connectors.txt", "never");
    started = m.session.start();
    EXPECT_EQ(started.result, Outcome::Result::Failed);
    EXPECT_EQ(started.summary.substr(0, started.summary.find(". ") + 1),
              "Service \"" + name + "\" runs, but port " + port + " did not answer within 6 s.");
    EXPECT_EQ(m.session.status(), ServiceStatus::NotServing);
    e2e::makeFile(bin + "standin-ignores-stop.txt", "3");
    m.ui.forget();
    stopped = m.session.stop();
    ASSERT_TRUE(stopped.stopped.has_value()) << stopped.summary;
    EXPECT_FALSE(stopped.stopped->graceful);
    EXPECT_GE(stopped.stopped->stoppedAfterMs, 3000u);
    ASSERT_EQ(m.ui.warnings.size(), 1u);
    EXPECT_NE(m.ui.warnings[0].find("the JVM is ended"), std::string::npos) << m.ui.warnings[0];
    for (const char* setting : {"standin-connectors.txt", "standin-ignores-stop.txt"})
        DeleteFileW(wide(bin + setting).c_str());
    EXPECT_TRUE(m.session.uninstall().done());
}

TEST(StartFailure, EachCauseIsNamedWithItsFileAndLineForTheClassicWrapper) {
    startsFailForTheirCauses(Layout::Classic);
}

TEST(StartFailure, EachCauseIsNamedWithItsFileAndLineForTheModernWrapper) { startsFailForTheirCauses(Layout::Modern); }

}  // namespace
}  // namespace velmora
