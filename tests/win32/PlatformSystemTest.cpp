#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#include <cwchar>

#include <gtest/gtest.h>

#include "e2eSession.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Accounts.h"
#include "platform/win32/Win32CommandLock.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32Network.h"
#include "platform/win32/Win32Services.h"

namespace velmora {
namespace {

template <typename Answer>
std::string failureOf(const Answer& answer) {
    const auto* failure = std::get_if<Failure>(&answer);
    return failure ? failure->source + " " + std::to_string(failure->number) : "none";
}

TEST(ServicesTest, TheServiceManagerAnswersForAnotherSpellingOfAName) {
    const std::string pid = std::to_string(GetCurrentProcessId()), name = "VelmoraTëst-" + pid;
    const std::string program = "\"C:\\Prögramme\\Tömcat 10\\bin\\tomcat.exe\" -service " + name;
    ASSERT_TRUE(e2e::createService(name, program));
    Win32Services services;
    // Other spellings change only ASCII letters: Wine 8's service manager
    // folds no others (the registry does).
    const auto started = services.isStarted("VELMORATëST-" + pid);
    const auto found = services.binaryPath("velmoratëst-" + pid);
    const auto state = services.state(name);
    e2e::removeService(name);

    ASSERT_EQ(failureOf(started), "none");
    EXPECT_FALSE(std::get<bool>(started));
    ASSERT_EQ(failureOf(found), "none");
    EXPECT_EQ(std::get<std::optional<std::string>>(found), program);
    ASSERT_EQ(failureOf(state), "none");
    EXPECT_EQ(std::get<ServiceState>(state).state, RunState::Stopped);
    EXPECT_EQ(failureOf(services.isStarted("VelmoraNoSuchService")), "OpenServiceW 1060");
    const auto unknown = services.binaryPath("VelmoraNoSuchService");
    ASSERT_EQ(failureOf(unknown), "none");
    EXPECT_EQ(std::get<std::optional<std::string>>(unknown), std::nullopt);
}

// Windows' own for its installer service: the virtual account's identifier follows from the name alone.
TEST(AccountsTest, AVirtualAccountIsKnownByItsServiceNameBeforeTheServiceExists) {
    const std::vector<BYTE> sid = virtualAccountSid("TrustedInstaller");
    LPWSTR text = nullptr;
    ASSERT_TRUE(!sid.empty() && ConvertSidToStringSidW(const_cast<BYTE*>(sid.data()), &text));
    EXPECT_EQ(std::wstring(text), L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464");
    LocalFree(text);
}

// A folder not there yet has no access list: nothing can be told of it, and nothing granted on it.
TEST(AccountsTest, AMissingFolderTellsNothingAndTakesNoGrant) {
    e2e::TempFolder folder;
    const std::string missing = folder.file("not-yet");
    Win32Accounts accounts;
    EXPECT_EQ(accounts.allows(missing, "NT AUTHORITY\\LocalService", Access::Read), std::nullopt);
    const MaybeFailure granted = accounts.grant(missing, "NT AUTHORITY\\LocalService", Access::Modify);
    ASSERT_TRUE(granted.has_value());
    EXPECT_EQ(granted->number, ERROR_FILE_NOT_FOUND);
}

// A folder only the administrators may change and Users may read: a service account reads it through the
// groups of its log-on, though it is listed in none of them. Wine's access lists cannot tell.
TEST(AccountsTest, RightsGivenToTheGroupsOfAServiceLogOnReachItsAccount) {
    if (e2e::underWine()) GTEST_SKIP() << "Wine's access lists are not Windows'";
    e2e::TempFolder folder;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)",
                                                                     SDDL_REVISION_1, &descriptor, nullptr));
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    std::wstring path = wide(folder.path());
    ASSERT_EQ(SetNamedSecurityInfoW(path.data(), SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                    dacl, nullptr),
              static_cast<DWORD>(ERROR_SUCCESS));
    LocalFree(descriptor);
    Win32Accounts accounts;
    for (const char* account : {"NT AUTHORITY\\LocalService", "NT SERVICE\\velmora-no-such-service"}) {
        EXPECT_EQ(accounts.allows(folder.path(), account, Access::Read), std::optional<bool>(true)) << account;
        EXPECT_EQ(accounts.allows(folder.path(), account, Access::Modify), std::optional<bool>(false)) << account;
    }
}

TEST(NetworkTest, AProgramListeningOnAPortIsFoundAtItsAddressUntilItsSocketCloses) {
    Win32Network network;
    e2e::LoopbackPort listener;
    ASSERT_NE(listener.port, 0);
    // A port bound a moment ago and let go again: nobody listens on it.
    std::uint16_t unused = 0;
    {
        const e2e::LoopbackPort bound(false);
        unused = bound.port;
    }
    ASSERT_NE(unused, 0);
    ASSERT_NE(unused, listener.port);
    const auto listening = network.listenersOn(listener.port), free = network.listenersOn(unused);
    listener.close();
    const auto closed = network.listenersOn(listener.port);
    for (const auto* answer : {&listening, &free, &closed}) ASSERT_EQ(failureOf(*answer), "none");
    const auto& found = std::get<std::vector<Listener>>(listening);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].address, "127.0.0.1");
    // Wine names no socket's owner (0: not known); Windows names the process.
    EXPECT_EQ(found[0].processId, e2e::underWine() ? 0u : GetCurrentProcessId());
    EXPECT_TRUE(std::get<std::vector<Listener>>(free).empty());
    EXPECT_TRUE(std::get<std::vector<Listener>>(closed).empty());
}

TEST(EnvironmentTest, TheCodePageForProgramsThatAreNotUnicodeHoldsOnlyWhatItHasACharacterFor) {
    Win32Environment environment;
    EXPECT_TRUE(environment.ansiCodePageHolds("C:\\tomcat\\conf\\server.xml"));
    EXPECT_TRUE(environment.ansiCodePageHolds(""));
    // The machine's, as the wrapper runs with it; this test program's own is the same.
    wchar_t machine[16] = {};
    DWORD size = sizeof machine;
    ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage", L"ACP",
                           RRF_RT_REG_SZ, nullptr, machine, &size),
              ERROR_SUCCESS);
    const UINT codePage = static_cast<UINT>(std::wcstoul(machine, nullptr, 10));
    ASSERT_TRUE(codePage == 1252 || codePage == CP_UTF8) << codePage;  // Wine's and an English Windows' own
    const bool utf8 = codePage == CP_UTF8;
    EXPECT_TRUE(environment.ansiCodePageHolds("C:\\Caf\xC3\xA9 \xE2\x82\xAC"));      // é and the euro sign are in 1252
    EXPECT_EQ(environment.ansiCodePageHolds("D:\\Us\xC5\x82ugi"), utf8);             // ł is not
    EXPECT_EQ(environment.ansiCodePageHolds("C:\\\xE4\xB8\xAD\xE6\x96\x87"), utf8);  // nor are Chinese characters
    // A JVM's output in that code page reads back as text: the euro sign and a-umlaut of 1252.
    EXPECT_EQ(environment.fromAnsiCodePage("Fehler \x80 \xE4"),
              utf8 ? "Fehler \xEF\xBF\xBD \xEF\xBF\xBD" : "Fehler \xE2\x82\xAC \xC3\xA4");
    EXPECT_EQ(environment.fromAnsiCodePage(""), "");
}

// Another Velmora holds the turn from its own thread (a mutex is its owner thread's) until told to let go.
class OtherCommand {
public:
    OtherCommand()
        : letGo_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), holds_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = CreateThread(nullptr, 0, &OtherCommand::run, this, 0, nullptr);
        WaitForSingleObject(holds_, 5000);
    }
    ~OtherCommand() {
        SetEvent(letGo_);
        WaitForSingleObject(thread_, 5000);
        for (const HANDLE handle : {thread_, letGo_, holds_}) CloseHandle(handle);
    }
    void letGoIn(DWORD ms) {
        timer_ = ms;
        SetEvent(letGo_);
    }

private:
    static DWORD WINAPI run(void* self) {
        auto& other = *static_cast<OtherCommand*>(self);
        const HANDLE turn = CreateMutexW(nullptr, FALSE, L"Global\\VelmoraCommandLock");
        WaitForSingleObject(turn, INFINITE);
        SetEvent(other.holds_);
        WaitForSingleObject(other.letGo_, INFINITE);
        Sleep(other.timer_);
        ReleaseMutex(turn);
        CloseHandle(turn);
        return 0;
    }
    HANDLE letGo_, holds_, thread_ = nullptr;
    DWORD timer_ = 0;
};

TEST(CommandLockTest, AGiveUpEndsTheWaitItComesBeforeButNotTheNextOneNorAFreeTurn) {
    Win32CommandLock lock;
    int waited = 0;
    const auto waiting = [&] { ++waited; };
    {
        // Told in the instant before the wait begins, it still ends that wait, at once.
        OtherCommand other;
        lock.giveUpWaiting();
        const DWORD before = GetTickCount();
        const MaybeFailure failure = lock.acquire(waiting);
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->number, kWaitGivenUp);
        EXPECT_LT(GetTickCount() - before, 900u);
        EXPECT_EQ(waited, 0);
        EXPECT_FALSE(lock.held());
        // Spent on that wait: the next one waits for the turn.
        other.letGoIn(1500);
        EXPECT_FALSE(lock.acquire(waiting).has_value());
        EXPECT_EQ(waited, 1);
        EXPECT_TRUE(lock.held());
        // Told while the turn is held, it is for no wait and ends with the turn.
        lock.giveUpWaiting();
        lock.release();
    }
    OtherCommand next;
    next.letGoIn(1500);
    EXPECT_FALSE(lock.acquire(waiting).has_value());
    EXPECT_EQ(waited, 2);
    lock.release();
    // A free turn is taken even when a give-up was told.
    lock.giveUpWaiting();
    EXPECT_FALSE(lock.acquire(waiting).has_value());
    lock.release();
}

}  // namespace
}  // namespace velmora
