#include <windows.h>

#include <gtest/gtest.h>

#include "PlatformTestSupport.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/WideText.h"

namespace velmora {
namespace {

std::string shown(const std::variant<bool, Failure>& started) {
    if (const auto* failure = std::get_if<Failure>(&started)) return failure->source + " " + std::to_string(failure->number);
    return std::get<bool>(started) ? "started" : "stopped";
}

std::string shown(const ServiceLookup& lookup) {
    if (const auto* failure = std::get_if<Failure>(&lookup)) return failure->source + " " + std::to_string(failure->number);
    return std::get<std::optional<std::string>>(lookup).value_or("<none>");
}

TEST(ServicesTest, TheServiceManagerAnswersForAnotherSpellingOfAName) {
    const std::string name = "VelmoraTëst-" + std::to_string(GetCurrentProcessId());
    const std::string program = "\"C:\\Prögramme\\Tömcat 10\\bin\\tomcat.exe\" -service " + name;
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
    ASSERT_TRUE(manager);
    const ServiceHandle created(CreateServiceW(manager.get(), wide(name).c_str(), wide(name).c_str(), DELETE,
                                               SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                               wide(program).c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(created);

    Win32Services services;
    // Wine's service manager may take a moment to show a new service to others.
    for (int i = 0; i < 100 && std::holds_alternative<Failure>(services.isStarted(name)); ++i) Sleep(100);
    // Other spellings change only ASCII letters: Wine 8's service manager
    // folds no others (the registry does).
    const auto started = services.isStarted("VELMORATëST-" + std::to_string(GetCurrentProcessId()));
    const auto found = services.binaryPath("velmoratëst-" + std::to_string(GetCurrentProcessId()));
    const auto unknown = services.isStarted("VelmoraNoSuchService");
    DeleteService(created.get());

    EXPECT_EQ(shown(started), "stopped");
    EXPECT_EQ(shown(found), program);
    EXPECT_EQ(shown(unknown), "OpenServiceW 1060");
    EXPECT_EQ(shown(services.binaryPath("VelmoraNoSuchService")), "<none>");
}

TEST(EnvironmentTest, VariablesFoldersAndPathsComeBackInUtf8) {
    Win32Environment environment;
    Win32Files files;
    ASSERT_TRUE(SetEnvironmentVariableW(L"VELMORA_T\u00CBST", L"v\u00E4rde \u65E5\u672C"));
    EXPECT_EQ(environment.variable("VELMORA_TËST") + "|" + environment.variable("VELMORA_NO_SUCH_VARIABLE"), "värde 日本|");
    EXPECT_TRUE(files.fileExists(environment.programFolder() + "\\exitwith.exe"));
    EXPECT_TRUE(files.fileExists(environment.systemFolder() + "\\net.exe"));

    test::TempFolder folder;
    ASSERT_EQ(files.createFolders(folder.file("Tömcat 10")), std::nullopt);
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(wide(folder.file("Tömcat 10")).c_str()));
    const std::string absolute = environment.absolutePath("conf\\server.xml");
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(absolute, folder.file("Tömcat 10\\conf\\server.xml"));
}

}  // namespace
}  // namespace velmora
