// velmora.exe driven through its windows under Wine: each test starts the
// program on a prepared Catalina home, acts as a user would, and checks the
// controls, the message boxes and the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "WindowDriver.h"
#include "e2eSession.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32Processes.h"
#include "ui/win32/ResourceIds.h"

namespace velmora::e2e {
namespace {

using Names = std::vector<std::string>;

class WindowEndToEnd : public ::testing::Test {
protected:
    // Puts the focus into a box and types over its text; the cursor stays there.
    void typeAndStay(int id, const std::string& text) {
        HWND box = session.control(id);
        focusControl(session.main(), box);
        ASSERT_TRUE(waitUntil([&] { return focusedWindow(session.main()) == box; })) << "focus into " << id;
        setWindowText(box, text);
    }

    // The same, then tabs on to the next control.
    void typeAndTab(int id, const std::string& text) {
        HWND box = session.control(id);
        typeAndStay(id, text);
        pressTab(box);
        ASSERT_TRUE(waitUntil([&] { return focusedWindow(session.main()) != box; })) << "tab out of " << id;
    }

    bool waitForText(int id, const std::string& text) {
        return waitUntil([&] { return session.text(id) == text; });
    }

    bool enabled(int id) const { return IsWindowEnabled(session.control(id)) != FALSE; }
    bool checked(int id) const { return isChecked(session.control(id)); }
    bool readOnly(int id) const { return (GetWindowLongA(session.control(id), GWL_STYLE) & ES_READONLY) != 0; }
    bool sunken(int id) const { return (GetWindowLongA(session.control(id), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0; }

    // No box may have come up; give a late one the chance to show first.
    void expectNoMessageBox() {
        Sleep(500);
        HWND box = session.openMessageBox();
        EXPECT_EQ(box, nullptr) << (box ? windowText(box) + ": " + messageBoxText(box) : "");
    }

    void addOption(const std::string& option) {
        setWindowText(session.control(IDC_TEXT14), option);
        click(session.control(IDC_COMMAND11));
        ASSERT_TRUE(waitForText(IDC_TEXT14, ""));
    }

    // Types a path into the common file dialog of that title and presses its OK.
    void chooseFile(const std::string& title, const std::string& path) {
        HWND dialog = nullptr;
        ASSERT_TRUE(waitUntil([&] { return (dialog = findTopWindow(session.processId(), title)) != nullptr; })) << title;
        // The file name box is a combo in the newer dialog and an edit in the older one.
        HWND name = GetDlgItem(dialog, cmb13) ? GetDlgItem(dialog, cmb13) : GetDlgItem(dialog, edt1);
        setWindowText(name, path);
        click(GetDlgItem(dialog, IDOK));
        ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
    }

    // System32's net, waited for.
    static void runNet(const std::string& arguments) {
        Win32Environment system;
        ASSERT_NE(Win32Processes().runHiddenAndWait(system.systemFolder() + "\\net.exe", "net " + arguments), -1);
    }

    HWND openDialogWithText(const std::string& expected) {
        HWND dialog = nullptr;
        waitUntil([&] {
            dialog = findTopWindow(session.processId(), "Open Config");
            return dialog && windowText(GetDlgItem(dialog, IDC_OPENDLG_COMBO1)) == expected;
        });
        return dialog;
    }

    Session session;
};

TEST_F(WindowEndToEnd, StartsWithTheDefaultsChecksThemAndMovesThemWithTheHome) {
    ASSERT_TRUE(session.start());
    const std::string& home = session.home();

    EXPECT_EQ(windowText(session.main()), kMainCaption);
    EXPECT_EQ(session.text(IDC_TEXT5), "SetInstanceName");
    EXPECT_EQ(session.text(IDC_TEXT8) + "|" + session.text(IDC_TEXT7) + "|" + session.text(IDC_TEXT6),
              home + "|" + home + "\\conf\\catalina.policy|" + session.jdk());
    EXPECT_EQ(comboItems(session.control(IDC_COMBO3)), (Names{"", "128", "256", "512", "768", "1024", "2048", "4096"}));
    EXPECT_TRUE(!checked(IDC_CHECK1) && checked(IDC_CHECK2) && checked(IDC_OPTION1));
    for (int id : {IDC_LABEL11, IDC_TEXT7, IDC_COMMAND8, IDC_COMMAND9}) EXPECT_FALSE(enabled(id)) << id;
    EXPECT_EQ(session.text(IDC_COMMAND6) + "|" + session.text(IDC_COMMAND9) + "|" + session.text(IDC_LABEL20),
              "Install|Start|Not installed");
    EXPECT_TRUE(!readOnly(IDC_TEXT5) && sunken(IDC_TEXT5));
    EXPECT_EQ(focusedWindow(session.main()), session.control(IDC_TEXT5));

    // Screen readers name a box from the label created just before it; the keyboard order stays.
    for (auto [label, box] : {std::pair{IDC_LABEL5, IDC_TEXT5}, {IDC_LABEL18, IDC_TEXT11}, {IDC_LABEL19, IDC_LABEL20},
                              {IDC_LABEL1, IDC_TEXT1}, {IDC_LABEL22, IDC_TEXT8}, {IDC_LABEL4, IDC_TEXT4},
                              {IDC_LABEL11, IDC_TEXT7}, {IDC_LABEL6, IDC_TEXT6}, {IDC_LABEL9, IDC_TEXT9},
                              {IDC_LABEL14, IDC_TEXT2}, {IDC_LABEL16, IDC_TEXT3}, {IDC_LABEL8, IDC_COMBO1},
                              {IDC_LABEL7, IDC_COMBO2}, {IDC_LABEL3, IDC_COMBO3}, {IDC_LABEL2, IDC_OPTION1}})
        EXPECT_EQ(GetWindow(session.control(box), GW_HWNDPREV), session.control(label)) << box;
    std::vector<int> keyboardOrder;
    for (HWND child = GetWindow(session.main(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (className(child) != "Static" &&
            !(className(child) == "Button" && (GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX))
            keyboardOrder.push_back(GetDlgCtrlID(child));
    EXPECT_EQ(keyboardOrder,
              (std::vector<int>{IDC_TEXT5, IDC_TEXT11, IDC_TEXT1, IDC_COMMAND1, IDC_TEXT8, IDC_COMMAND13, IDC_TEXT4,
                                IDC_COMMAND4, IDC_CHECK1, IDC_TEXT7, IDC_COMMAND8, IDC_TEXT6, IDC_COMMAND5, IDC_TEXT9,
                                IDC_COMMAND7, IDC_TEXT2, IDC_COMMAND2, IDC_TEXT3, IDC_COMMAND3, IDC_COMBO1, IDC_COMBO2,
                                IDC_COMBO3, IDC_OPTION1, IDC_OPTION2, IDC_CHECK2, IDC_TEXT14, IDC_COMMAND11, IDC_LIST1,
                                IDC_COMMAND12, IDC_COMMAND6, IDC_COMMAND9, IDC_COMMAND10}));
    expectNoMessageBox();
    EXPECT_TRUE(session.screenshot("01-start-up"));

    // The tips are made when the mouse first comes over the window; a label then shows its tip.
    RECT label{};
    GetWindowRect(session.control(IDC_LABEL1), &label);
    SetCursorPos(0, 0);
    Sleep(200);
    SetCursorPos((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    HWND toolTips = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (toolTips = findWindowOfClass(session.processId(), "tooltips_class32")); }));
    SetCursorPos((label.left + label.right) / 2 + 1, (label.top + label.bottom) / 2);
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(toolTips) != FALSE; }, 5000));
    SetCursorPos(0, 0);

    // Help > Check Configuration writes the report of the defaults, which pass every check.
    const std::string report = home + "\\bin\\quenby-SetInstanceName-debug.html";
    postCommand(session.main(), IDM_DEBUG);
    ASSERT_TRUE(waitUntil([&] { return contentOf(report).find("</html>") != std::string::npos; }));
    EXPECT_NE(contentOf(report).find("No errors or warnings detected."), std::string::npos) << contentOf(report);
    expectNoMessageBox();

    // A new home moves every path of a new configuration along without asking, the class path too.
    const std::string other = session.root() + "\\other";
    typeAndTab(IDC_TEXT1, other);
    EXPECT_EQ(focusedWindow(session.main()), session.control(IDC_COMMAND1));
    ASSERT_TRUE(waitForText(IDC_TEXT8, other));
    EXPECT_EQ(session.text(IDC_TEXT4), other + "\\conf\\server.xml");
    EXPECT_EQ(session.text(IDC_TEXT3), other + "\\logs");
    EXPECT_EQ(session.text(IDC_TEXT9), other + "\\temp");
    postCommand(session.main(), IDM_DEBUG);
    ASSERT_TRUE(waitUntil([&] { return contentOf(report).find(other + "\\bin\\bootstrap.jar;") != std::string::npos; }));
    expectNoMessageBox();
    EXPECT_TRUE(session.screenshot("02-home-edited"));

    // File > New by its shortcut brings the defaults back.
    pressControlKey(session.control(IDC_TEXT11), 'N');
    EXPECT_TRUE(waitForText(IDC_TEXT8, home));
}

TEST_F(WindowEndToEnd, SaveAnnouncesTheNameLocksItAndStoresTheFields) {
    ASSERT_TRUE(session.start());

    click(session.control(IDC_CHECK1));
    ASSERT_TRUE(waitUntil([&] { return enabled(IDC_TEXT7); }));
    EXPECT_TRUE(enabled(IDC_LABEL11));
    EXPECT_TRUE(enabled(IDC_COMMAND8));

    // The options list sorts, gives an entry back on double-click and deletes the selected one.
    HWND list = session.control(IDC_LIST1);
    addOption("-Xrs2");
    addOption("-Dx=1");
    EXPECT_EQ(listItems(list), (Names{"-Dx=1", "-Xrs2"}));
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    PostMessageA(session.main(), WM_COMMAND, MAKEWPARAM(IDC_LIST1, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    ASSERT_TRUE(waitForText(IDC_TEXT14, "-Xrs2"));
    EXPECT_EQ(listItems(list), (Names{"-Dx=1"}));
    click(session.control(IDC_COMMAND11));
    ASSERT_TRUE(waitForText(IDC_TEXT14, ""));
    addOption("-Xbatch");
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    click(session.control(IDC_COMMAND12));
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    click(session.control(IDC_COMMAND12));
    ASSERT_TRUE(waitUntil([&] { return listItems(list).size() == 2; }));
    EXPECT_EQ(listItems(list), (Names{"-Dx=1", "-Xrs2"}));

    // Choosing a size from the list stores it; typing one does not.
    HWND combo = session.control(IDC_COMBO2);
    SendMessageA(combo, CB_SETCURSEL, 4, 0);
    PostMessageA(session.main(), WM_COMMAND, MAKEWPARAM(IDC_COMBO2, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    ASSERT_TRUE(waitForText(IDC_COMBO2, "256"));
    setWindowText(session.control(IDC_COMBO1), "300");

    // Saved is what the window shows, also a name whose box still has the cursor.
    typeAndStay(IDC_TEXT5, "e2e-alpha");
    pressControlKey(session.control(IDC_TEXT5), 'S');
    ASSERT_TRUE(waitForMessageBox(session.processId(), "Info"));
    EXPECT_TRUE(session.screenshot("03-saved-message"));
    EXPECT_EQ(session.answer("Info", IDOK), "Instance saved as \"e2e-alpha\".");

    EXPECT_TRUE(readOnly(IDC_TEXT5) && !sunken(IDC_TEXT5));
    EXPECT_EQ(storedNameList(), (Names{"e2e-alpha"}));
    EXPECT_EQ(storedText("e2e-alpha", "tomcat.home") + "|" + storedText("e2e-alpha", "jvm"), session.home() + "|server");
    std::string numbers;  // the security manager, max and initial heap, installed
    for (const char* value : {"java.security.manager", "max.heap.size", "init.heap.size", "installedaservice"})
        numbers += std::to_string(storedNumber("e2e-alpha", value)) + " ";
    EXPECT_EQ(numbers, "1 256 0 0 ");
    EXPECT_EQ(storedOptions("e2e-alpha"), (Names{"-Dx=1", "-Xrs2"}));
    expectNoMessageBox();
    EXPECT_TRUE(session.screenshot("03-saved-locked"));

    typeAndStay(IDC_TEXT11, "Alpha instance");
    postCommand(session.main(), IDM_SAVE);
    EXPECT_EQ(session.answer("Info", IDOK), "Instance saved as \"e2e-alpha\".");
    EXPECT_EQ(storedText("e2e-alpha", "description"), "Alpha instance");

    // File > Export... writes the stored configurations; with the store
    // emptied, File > Import... brings them back; a second import is refused.
    const std::string file = session.root() + "\\configurations.json";
    postCommand(session.main(), IDM_EXPORT);
    chooseFile("Export Configurations", file);
    EXPECT_EQ(session.answer("Info", IDOK), "Exported 1 configuration(s) to \"" + file + "\".");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kStoreKey) + "\\e2e-alpha").c_str());
    storeNameList({});
    postCommand(session.main(), IDM_IMPORT);
    chooseFile("Import Configurations", file);
    EXPECT_EQ(session.answer("Info", IDOK), "Imported 1 configuration(s): \"e2e-alpha\".");
    EXPECT_EQ(storedNameList(), (Names{"e2e-alpha"}));
    EXPECT_EQ(storedNumber("e2e-alpha", "max.heap.size"), 256u);
    EXPECT_EQ(storedOptions("e2e-alpha"), (Names{"-Dx=1", "-Xrs2"}));
    postCommand(session.main(), IDM_IMPORT);
    chooseFile("Import Configurations", file);
    EXPECT_NE(session.answer("Warning", IDOK).find("\"e2e-alpha\" is already stored"), std::string::npos);
}

TEST_F(WindowEndToEnd, OpenListsTheStoredNamesAndLoadsTheChosenOne) {
    const std::string& home = session.home();
    storeConfiguration("zeta", {{{"tomcat.home", home}, {"catalina.base", home}, {"jvm", "server"}}, {}, {}});
    StoredConfiguration alpha;
    alpha.texts = {{"tomcat.home", home}, {"catalina.base", home}, {"java.home", session.jdk()}, {"jvm", "client"},
                   {"description", "Alpha instance"}};
    alpha.numbers = {{"java.security.manager", 1}, {"max.heap.size", 512}, {"reduce.os.signals", 0}};
    alpha.options = {"-Xprof", "-Da=1"};
    storeConfiguration("alpha", alpha);
    storeConfiguration("e2e-installed", {{{"tomcat.home", home}, {"catalina.base", home}}, {{"installedaservice", 1}}, {}});
    storeNameList({"zeta", "alpha", "e2e-installed"});
    ASSERT_TRUE(session.start());

    pressControlKey(session.control(IDC_TEXT5), 'O');
    HWND dialog = openDialogWithText("zeta");
    ASSERT_NE(dialog, nullptr);
    HWND combo = GetDlgItem(dialog, IDC_OPENDLG_COMBO1);
    EXPECT_EQ(comboItems(combo), (Names{"alpha", "e2e-installed", "zeta"}));
    EXPECT_TRUE(session.screenshot("04-open-dialog"));

    setWindowText(combo, "alpha");
    click(GetDlgItem(dialog, IDC_OPENDLG_OKBUTTON));
    ASSERT_TRUE(waitForText(IDC_TEXT5, "alpha"));
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(dialog); }));
    EXPECT_TRUE(readOnly(IDC_TEXT5));
    EXPECT_EQ(session.text(IDC_TEXT11), "Alpha instance");
    EXPECT_TRUE(checked(IDC_CHECK1));
    for (int id : {IDC_LABEL11, IDC_TEXT7, IDC_COMMAND8}) EXPECT_TRUE(enabled(id)) << id;
    EXPECT_TRUE(checked(IDC_OPTION2) && !checked(IDC_CHECK2));
    EXPECT_EQ(session.text(IDC_COMBO2), "512");
    EXPECT_EQ(listItems(session.control(IDC_LIST1)), (Names{"-Da=1", "-Xprof"}));
    EXPECT_EQ(session.text(IDC_COMMAND6) + "|" + session.text(IDC_LABEL20), "Install|Not installed");
    expectNoMessageBox();
    EXPECT_TRUE(session.screenshot("04-loaded"));

    // Shown again, the list is read afresh; Cancel leaves the window as it was.
    postCommand(session.main(), IDM_OPEN);
    ASSERT_EQ(openDialogWithText("zeta"), dialog);
    click(GetDlgItem(dialog, IDC_OPENDLG_CANCELBUTTON));
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(dialog); }));
    EXPECT_EQ(session.text(IDC_TEXT5), "alpha");

    // Ctrl+S passes the box's text to its setter, whose check asks; leaving the box then asks nothing again.
    const std::string temp = session.root() + "\\no-temp";
    typeAndStay(IDC_TEXT9, temp);
    pressControlKey(session.control(IDC_TEXT9), 'S');
    EXPECT_NE(session.answer("Missing Folder", IDNO).find("no-temp"), std::string::npos);
    EXPECT_EQ(session.answer("Info", IDOK), "Instance saved as \"alpha\".");
    EXPECT_EQ(storedText("alpha", "java.io.tmpdir"), temp);
    pressTab(session.control(IDC_TEXT9));
    expectNoMessageBox();

    // An installed configuration asks before its delete; No keeps it, Yes deletes it and shows a new one.
    postCommand(session.main(), IDM_OPEN);
    ASSERT_EQ(openDialogWithText("zeta"), dialog);
    setWindowText(combo, "e2e-installed");
    click(GetDlgItem(dialog, IDC_OPENDLG_OKBUTTON));
    ASSERT_TRUE(waitForText(IDC_COMMAND6, "Uninstall"));
    pressControlKey(session.control(IDC_TEXT11), 'D');
    ASSERT_TRUE(waitForMessageBox(session.processId(), "Confirm"));
    EXPECT_TRUE(session.screenshot("06-delete-question"));
    EXPECT_NE(session.answer("Confirm", IDNO).find("also installed as a service"), std::string::npos);
    Sleep(500);
    EXPECT_TRUE(storeHasKey(std::string(kStoreKey) + "\\e2e-installed"));
    postCommand(session.main(), IDM_DELETECONFIG);
    session.answer("Confirm", IDYES);
    EXPECT_EQ(session.answer("Info", IDOK), "Deleted instance \"e2e-installed\".");
    EXPECT_TRUE(waitForText(IDC_TEXT5, "SetInstanceName"));
    EXPECT_EQ(session.text(IDC_COMMAND6), "Install");
    EXPECT_FALSE(storeHasKey(std::string(kStoreKey) + "\\e2e-installed"));
    EXPECT_EQ(storedNameList(), (Names{"zeta", "alpha"}));
    expectNoMessageBox();
}

TEST_F(WindowEndToEnd, PickersAndTheAboutBoxComeAndGoAndCtrlXEndsAtOnce) {
    // The debug argument is lower-cased and loses its spaces; the log starts empty.
    ASSERT_TRUE(session.start("Debug:" + session.root() + "\\My Log.txt"));
    EXPECT_TRUE(fileExists(session.root() + "\\mylog.txt"));
    const std::string home = session.home();

    // Cancel in the folder picker changes nothing.
    click(session.control(IDC_COMMAND1));
    HWND folders = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        for (HWND window : topWindows(session.processId()))
            if (className(window) == "#32770" && window != session.main()) folders = window;
        return folders != nullptr;
    }));
    click(GetDlgItem(folders, IDCANCEL));
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(folders); }));
    EXPECT_EQ(session.text(IDC_TEXT1), home);

    const std::string chosen = home + "\\conf\\other.xml";
    std::ofstream(chosen) << "<Server/>";
    click(session.control(IDC_COMMAND4));
    HWND files = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (files = findTopWindow(session.processId(), "Please select an config file...")); }));
    EXPECT_EQ(comboItems(GetDlgItem(files, cmb1)), (Names{"XML Documments (*.xml)", "All Files (*.*)"}));
    chooseFile("Please select an config file...", chosen);
    EXPECT_TRUE(waitForText(IDC_TEXT4, chosen));

    // About, chosen twice, is one box; OK discards it and it comes again.
    postCommand(session.main(), IDM_ABOUT);
    postCommand(session.main(), IDM_ABOUT);
    HWND about = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (about = findTopWindow(session.processId(), "About Velmora")) != nullptr; }));
    Sleep(500);
    EXPECT_EQ(topWindows(session.processId(), "About Velmora").size(), 1u);
    EXPECT_EQ(windowText(GetDlgItem(about, IDC_FRMABOUT_LBLVERSION)), "Version 0.2.5 (beta)");
    EXPECT_TRUE(session.screenshot("08-about"));
    click(GetDlgItem(about, IDC_FRMABOUT_CMDOK));
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(about); }));

    // Ctrl+X ends the program at once, with the text typed left unsaved.
    HWND description = session.control(IDC_TEXT11);
    typeAndStay(IDC_TEXT11, "not saved");
    pressControlKey(description, 'X');
    EXPECT_TRUE(session.exited(10000));
    EXPECT_TRUE(storedNameList().empty());
}

TEST_F(WindowEndToEnd, ServiceButtonsInstallStartStopAndUninstall) {
    const std::string name = "VelmoraE2E" + std::to_string(GetCurrentProcessId());
    const std::string copy = session.home() + "\\bin\\" + name + ".exe";
    session.removeServiceAtEnd(name);
    ASSERT_TRUE(session.start());
    typeAndTab(IDC_TEXT5, name);

    click(session.control(IDC_COMMAND6));
    EXPECT_EQ(session.answer("Info", IDOK), "Service \"" + name + "\" installed.");
    ASSERT_TRUE(waitForText(IDC_LABEL20, "Installed - Not Running"));
    EXPECT_EQ(session.text(IDC_COMMAND6) + "|" + session.text(IDC_COMMAND9), "Uninstall|Start");
    EXPECT_TRUE(enabled(IDC_COMMAND9) && fileExists(copy) && storedNumber(name, "installedaservice") == 1u);
    // A service just created takes a moment to reach every process.
    ASSERT_TRUE(waitUntil([&] { return serviceRegistered(name); }));
    EXPECT_TRUE(session.screenshot("10-installed"));

    // The notice is shown and painted before net start holds the program up.
    click(session.control(IDC_COMMAND9));
    HWND notice = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (notice = findTopWindow(session.processId(), "Working...")) != nullptr; }));
    EXPECT_TRUE(session.screenshot("11-starting", 0));
    EXPECT_EQ(windowTitle(GetDlgItem(notice, IDC_DLG_LABEL1)), "Starting the \"" + name + "\" service...");
    ASSERT_TRUE(waitForText(IDC_LABEL20, "Installed - Running"));
    EXPECT_EQ(session.text(IDC_COMMAND9), "Stop");
    EXPECT_FALSE(IsWindowVisible(notice));

    // Stopped and started outside the program, the service shows so within 3 s without a click,
    // and screen readers are told of the new status line.
    static HWND announced = nullptr;
    constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED, Windows 8 and later
    HWINEVENTHOOK hook = SetWinEventHook(
        kLiveRegionChanged, kLiveRegionChanged, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND window, LONG, LONG, DWORD, DWORD) { announced = window; }, session.processId(), 0,
        WINEVENT_OUTOFCONTEXT);
    runNet("stop " + name);
    EXPECT_TRUE(waitUntil([&] { return session.text(IDC_LABEL20) == "Installed - Not Running"; }, 3000));
    EXPECT_EQ(session.text(IDC_COMMAND9), "Start");
    EXPECT_TRUE(waitUntil([&] {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        return announced == session.control(IDC_LABEL20);
    }, 2000));
    UnhookWinEvent(hook);
    runNet("start " + name);
    EXPECT_TRUE(waitUntil([&] { return session.text(IDC_LABEL20) == "Installed - Running"; }, 3000));
    ASSERT_EQ(session.text(IDC_COMMAND9), "Stop");

    click(session.control(IDC_COMMAND9));
    ASSERT_TRUE(waitForText(IDC_LABEL20, "Installed - Not Running"));
    EXPECT_EQ(session.text(IDC_COMMAND9), "Start");
    EXPECT_EQ(windowTitle(GetDlgItem(notice, IDC_DLG_LABEL1)), "Stopping the \"" + name + "\" service...");

    click(session.control(IDC_COMMAND6));
    EXPECT_EQ(session.answer("Info", IDOK), "Service \"" + name + "\" has been uninstalled.");
    ASSERT_TRUE(waitForText(IDC_COMMAND6, "Install"));
    EXPECT_EQ(session.text(IDC_LABEL20), "Not installed");
    EXPECT_FALSE(enabled(IDC_COMMAND9) || fileExists(copy) || serviceRegistered(name));
    expectNoMessageBox();
}

}  // namespace
}  // namespace velmora::e2e
