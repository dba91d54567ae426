// velmora.exe driven through its windows under Wine, as a user would, on a prepared Catalina home.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "WindowDriver.h"
#include "e2eSession.h"
#include "ui/win32/ResourceIds.h"

namespace velmora::e2e {
namespace {

using Names = std::vector<std::string>;

// clang-format off
// Each box and the label just before it.
constexpr std::pair<int, int> kLabelledBoxes[] = {
    {IDC_SERVICE_NAME_LABEL, IDC_SERVICE_NAME}, {IDC_DESCRIPTION_LABEL, IDC_DESCRIPTION},
    {IDC_STATUS_LABEL, IDC_STATUS_TEXT}, {IDC_CATALINA_HOME_LABEL, IDC_CATALINA_HOME},
    {IDC_CATALINA_BASE_LABEL, IDC_CATALINA_BASE}, {IDC_CONFIG_FILE_LABEL, IDC_CONFIG_FILE},
    {IDC_POLICY_FILE_LABEL, IDC_POLICY_FILE}, {IDC_JAVA_HOME_LABEL, IDC_JAVA_HOME},
    {IDC_TEMP_DIRECTORY_LABEL, IDC_TEMP_DIRECTORY}, {IDC_SYSTEM_OUT_LABEL, IDC_SYSTEM_OUT},
    {IDC_SYSTEM_ERR_LABEL, IDC_SYSTEM_ERR}, {IDC_INITIAL_HEAP_LABEL, IDC_INITIAL_HEAP},
    {IDC_MAX_HEAP_LABEL, IDC_MAX_HEAP}, {IDC_STACK_SIZE_LABEL, IDC_STACK_SIZE}, {IDC_JVM_LABEL, IDC_SERVER_JVM}};
// Every control but labels and frames, in the order the Tab key goes: one frame a line.
constexpr int kKeyboardOrder[] = {
    IDC_SERVICE_NAME, IDC_DESCRIPTION,
    IDC_CATALINA_HOME, IDC_BROWSE_CATALINA_HOME, IDC_CATALINA_BASE, IDC_BROWSE_CATALINA_BASE, IDC_CONFIG_FILE,
        IDC_BROWSE_CONFIG_FILE, IDC_SECURITY_MANAGER, IDC_POLICY_FILE, IDC_BROWSE_POLICY_FILE,
    IDC_JAVA_HOME, IDC_BROWSE_JAVA_HOME, IDC_TEMP_DIRECTORY, IDC_BROWSE_TEMP_DIRECTORY, IDC_SYSTEM_OUT,
        IDC_BROWSE_SYSTEM_OUT, IDC_SYSTEM_ERR, IDC_BROWSE_SYSTEM_ERR, IDC_INITIAL_HEAP, IDC_MAX_HEAP, IDC_STACK_SIZE,
        IDC_SERVER_JVM, IDC_CLIENT_JVM, IDC_REDUCE_OS_SIGNALS,
    IDC_OPTION_ENTRY, IDC_ADD_OPTION, IDC_OPTION_LIST, IDC_DELETE_OPTION, IDC_MOVE_OPTION_UP, IDC_MOVE_OPTION_DOWN,
    IDC_INSTALL, IDC_START, IDC_REFRESH};
// clang-format on

class WindowEndToEnd : public ::testing::Test {
protected:
    void typeAndStay(int id, const std::string& text) { ASSERT_TRUE(session.type(id, text, false)) << id; }
    void typeAndTab(int id, const std::string& text) { ASSERT_TRUE(session.type(id, text)) << id; }

    bool waitForText(int id, const std::string& text) {
        return waitUntil([&] { return session.text(id) == text; });
    }

    bool enabled(int id) const { return IsWindowEnabled(session.control(id)) != FALSE; }
    bool checked(int id) const { return isChecked(session.control(id)); }
    bool readOnly(int id) const { return (GetWindowLongW(session.control(id), GWL_STYLE) & ES_READONLY) != 0; }
    bool sunken(int id) const { return (GetWindowLongW(session.control(id), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0; }

    // No box may have come up; give a late one the chance to show first.
    void expectNoMessageBox() {
        Sleep(500);
        HWND box = session.openMessageBox();
        EXPECT_EQ(box, nullptr) << (box ? windowText(box) + ": " + messageBoxText(box) : "");
    }

    void addOption(const std::string& option) {
        setWindowText(session.control(IDC_OPTION_ENTRY), option);
        click(session.control(IDC_ADD_OPTION));
        ASSERT_TRUE(waitForText(IDC_OPTION_ENTRY, ""));
    }

    // Types a path into the common file dialog of that title and presses its OK.
    void chooseFile(const std::string& title, const std::string& path) {
        HWND dialog = nullptr;
        ASSERT_TRUE(waitUntil([&] { return (dialog = findTopWindow(session.processId(), title)) != nullptr; }))
            << title;
        // The file name box is a combo in the newer dialog and an edit in the older one.
        HWND name = GetDlgItem(dialog, cmb13) ? GetDlgItem(dialog, cmb13) : GetDlgItem(dialog, edt1);
        setWindowText(name, path);
        click(GetDlgItem(dialog, IDOK));
        ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
    }

    HWND openDialogWithText(const std::string& expected) {
        HWND dialog = nullptr;
        waitUntil([&] {
            dialog = findTopWindow(session.processId(), "Open Config");
            return dialog && windowText(GetDlgItem(dialog, IDC_OPEN_NAME)) == expected;
        });
        return dialog;
    }

    void openStored(HWND dialog, const std::string& name) {
        postCommand(session.main(), IDM_OPEN);
        ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(dialog) != FALSE; }));
        setWindowText(GetDlgItem(dialog, IDC_OPEN_NAME), name);
        click(GetDlgItem(dialog, IDC_OPEN_OK));
        ASSERT_TRUE(waitForText(IDC_SERVICE_NAME, name));
    }

    Session session;
};

TEST_F(WindowEndToEnd, StartsWithTheDefaultsChecksThemAndMovesThemWithTheHome) {
    ASSERT_TRUE(session.start());
    const std::string& home = session.home();

    EXPECT_EQ(windowText(session.main()), kMainCaption);
    EXPECT_EQ(session.text(IDC_SERVICE_NAME), "SetInstanceName");
    EXPECT_EQ(session.text(IDC_CATALINA_BASE), home);
    EXPECT_EQ(session.text(IDC_POLICY_FILE), home + "\\conf\\catalina.policy");
    EXPECT_EQ(session.text(IDC_JAVA_HOME), session.jdk());
    EXPECT_FALSE(checked(IDC_SECURITY_MANAGER));
    EXPECT_TRUE(checked(IDC_REDUCE_OS_SIGNALS));
    EXPECT_TRUE(checked(IDC_SERVER_JVM));
    // Not installed: no state to start from, and no policy file without the security manager.
    for (int id : {IDC_POLICY_FILE_LABEL, IDC_POLICY_FILE, IDC_BROWSE_POLICY_FILE, IDC_START})
        EXPECT_FALSE(enabled(id)) << id;
    EXPECT_EQ(session.text(IDC_INSTALL), "Install");
    EXPECT_EQ(session.text(IDC_START), "Start");
    EXPECT_EQ(session.text(IDC_STATUS_TEXT), "Not installed");
    EXPECT_FALSE(readOnly(IDC_SERVICE_NAME));
    EXPECT_TRUE(sunken(IDC_SERVICE_NAME));
    EXPECT_EQ(focusedWindow(session.main()), session.control(IDC_SERVICE_NAME));
    // A size list is there once its box has the focus, for the arrow keys to walk.
    SendMessageW(session.main(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(session.control(IDC_STACK_SIZE)), TRUE);
    EXPECT_EQ(comboItems(session.control(IDC_STACK_SIZE)),
              (Names{"", "128", "256", "512", "768", "1024", "2048", "4096"}));
    SendMessageW(session.main(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(session.control(IDC_SERVICE_NAME)), TRUE);

    // Screen readers name a box from the label created just before it; the keyboard order stays.
    for (auto [label, box] : kLabelledBoxes)
        EXPECT_EQ(GetWindow(session.control(box), GW_HWNDPREV), session.control(label)) << box;
    std::vector<int> keyboardOrder;
    for (HWND child = GetWindow(session.main(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (className(child) != "Static" &&
            !(className(child) == "Button" && (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX))
            keyboardOrder.push_back(GetDlgCtrlID(child));
    EXPECT_EQ(keyboardOrder, std::vector<int>(std::begin(kKeyboardOrder), std::end(kKeyboardOrder)));
    expectNoMessageBox();
    EXPECT_TRUE(session.screenshot("01-start-up"));

    // The tips are made when the mouse first comes over the window; a label then shows its tip.
    RECT label{};
    GetWindowRect(session.control(IDC_CATALINA_HOME_LABEL), &label);
    SetCursorPos(0, 0);
    Sleep(200);
    SetCursorPos((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    HWND toolTips = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (toolTips = findWindowOfClass(session.processId(), "tooltips_class32")); }));
    SetCursorPos((label.left + label.right) / 2 + 1, (label.top + label.bottom) / 2);
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(toolTips) != FALSE; }, 5000));
    SetCursorPos(0, 0);

    // A new home moves every path of a new configuration along without asking.
    const std::string other = session.root() + "\\other";
    typeAndTab(IDC_CATALINA_HOME, other);
    EXPECT_EQ(focusedWindow(session.main()), session.control(IDC_BROWSE_CATALINA_HOME));
    ASSERT_TRUE(waitForText(IDC_CATALINA_BASE, other));
    EXPECT_EQ(session.text(IDC_CONFIG_FILE), other + "\\conf\\server.xml");
    EXPECT_EQ(session.text(IDC_SYSTEM_ERR), other + "\\logs");
    EXPECT_EQ(session.text(IDC_TEMP_DIRECTORY), other + "\\temp");
    expectNoMessageBox();
    EXPECT_TRUE(session.screenshot("02-home-edited"));

    // File > New by its shortcut brings the defaults back.
    pressControlKey(session.control(IDC_DESCRIPTION), 'N');
    EXPECT_TRUE(waitForText(IDC_CATALINA_BASE, home));
}

TEST_F(WindowEndToEnd, SaveStoresWhatTheWindowShowsLocksTheNameAndExportsIt) {
    ASSERT_TRUE(session.start());

    click(session.control(IDC_SECURITY_MANAGER));
    ASSERT_TRUE(waitUntil([&] { return enabled(IDC_BROWSE_POLICY_FILE); }));  // the last of the row to follow
    EXPECT_TRUE(enabled(IDC_POLICY_FILE_LABEL));
    EXPECT_TRUE(enabled(IDC_POLICY_FILE));

    // The options keep the order they were added in, as the JVM reads them; a double-click gives one back
    // for editing, Del takes the selected one and nothing without a selection.
    HWND list = session.control(IDC_OPTION_LIST);
    addOption("-Xrs2");
    addOption("-D_z");
    addOption("-dx=1");
    EXPECT_EQ(listItems(list), (Names{"-Xrs2", "-D_z", "-dx=1"}));
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    PostMessageW(session.main(), WM_COMMAND, MAKEWPARAM(IDC_OPTION_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    ASSERT_TRUE(waitForText(IDC_OPTION_ENTRY, "-D_z"));
    EXPECT_EQ(listItems(list), (Names{"-Xrs2", "-dx=1"}));
    click(session.control(IDC_ADD_OPTION));
    ASSERT_TRUE(waitForText(IDC_OPTION_ENTRY, ""));
    addOption("-Xbatch");
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    click(session.control(IDC_DELETE_OPTION));
    SendMessageW(list, LB_SETCURSEL, 3, 0);
    click(session.control(IDC_DELETE_OPTION));
    ASSERT_TRUE(waitUntil([&] { return listItems(list).size() == 3; }));
    EXPECT_EQ(listItems(list), (Names{"-Xrs2", "-dx=1", "-D_z"}));
    // Move Up takes the selected option one place up, and it stays selected; the top one stays on top.
    SendMessageW(list, LB_SETCURSEL, 2, 0);
    click(session.control(IDC_MOVE_OPTION_UP));
    ASSERT_TRUE(waitUntil([&] { return listItems(list) == Names{"-Xrs2", "-D_z", "-dx=1"}; }));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    click(session.control(IDC_MOVE_OPTION_UP));
    EXPECT_EQ(listItems(list), (Names{"-Xrs2", "-D_z", "-dx=1"}));

    // A size counts chosen from the list or typed; one beyond the range is refused and the box shows what was.
    // The list is there once it drops.
    HWND combo = session.control(IDC_MAX_HEAP);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_EQ(comboItems(combo), (Names{"", "32", "64", "128", "256", "512", "1024", "2048", "4096", "8192"}));
    SendMessageW(combo, CB_SETCURSEL, 5, 0);
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    PostMessageW(session.main(), WM_COMMAND, MAKEWPARAM(IDC_MAX_HEAP, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    ASSERT_TRUE(waitForText(IDC_MAX_HEAP, "512"));
    typeAndTab(IDC_INITIAL_HEAP, "99999");
    EXPECT_EQ(session.answer("Warning", IDOK),
              "The value \"99999\" was not stored in Initial Heap Size (MB): expected a whole number from 0 to "
              "32767 (0 or nothing: no size).");
    EXPECT_TRUE(waitForText(IDC_INITIAL_HEAP, ""));
    // Nor does a command run past a value it would carry that was refused: Save then stores nothing.
    typeAndTab(IDC_SERVICE_NAME, "e2e-alpha");
    typeAndStay(IDC_INITIAL_HEAP, "99999");
    pressControlKey(session.control(IDC_INITIAL_HEAP), 'S');
    EXPECT_TRUE(holds(session.answer("Warning", IDOK), "The value \"99999\" was not stored"));
    ASSERT_TRUE(session.waitUntilIdle());
    expectNoMessageBox();
    EXPECT_TRUE(storedNameList().empty());
    typeAndTab(IDC_INITIAL_HEAP, "300");

    // Saved is what the window shows, also a name whose box still has the cursor.
    typeAndStay(IDC_SERVICE_NAME, "e2e-alpha");
    pressControlKey(session.control(IDC_SERVICE_NAME), 'S');
    ASSERT_TRUE(waitForMessageBox(session.processId(), "Info"));
    EXPECT_TRUE(session.screenshot("03-saved-message"));
    EXPECT_EQ(session.answer("Info", IDOK), "Instance saved as \"e2e-alpha\".");
    ASSERT_TRUE(session.waitUntilIdle());
    EXPECT_TRUE(readOnly(IDC_SERVICE_NAME));
    EXPECT_FALSE(sunken(IDC_SERVICE_NAME));
    EXPECT_EQ(storedNameList(), (Names{"e2e-alpha"}));
    EXPECT_EQ(storedNumber("e2e-alpha", "java.security.manager"), 1u);
    EXPECT_EQ(storedNumber("e2e-alpha", "max.heap.size"), 512u);
    EXPECT_EQ(storedNumber("e2e-alpha", "init.heap.size"), 300u);
    EXPECT_EQ(storedOptions("e2e-alpha"), (Names{"-Xrs2", "-D_z", "-dx=1"}));
    expectNoMessageBox();
    EXPECT_TRUE(session.screenshot("03-saved-locked"));

    // File > Export... writes the stored configurations; with the store
    // emptied, File > Import... brings them back.
    const std::string file = session.root() + "\\configurations.json";
    postCommand(session.main(), IDM_EXPORT);
    chooseFile("Export Configurations", file);
    EXPECT_EQ(session.answer("Info", IDOK), "Exported 1 configuration(s) to \"" + file + "\".");
    clearStore();
    postCommand(session.main(), IDM_IMPORT);
    chooseFile("Import Configurations", file);
    EXPECT_EQ(session.answer("Info", IDOK), "Imported 1 configuration(s): \"e2e-alpha\".");
    EXPECT_EQ(storedNumber("e2e-alpha", "init.heap.size"), 300u);
    EXPECT_EQ(storedOptions("e2e-alpha"), (Names{"-Xrs2", "-D_z", "-dx=1"}));
}

TEST_F(WindowEndToEnd, OpenLoadsAStoredConfigurationWhoseEditsAskAndWhoseDeleteAsks) {
    const std::string& home = session.home();
    storeConfiguration("zeta", {{{"tomcat.home", home}, {"catalina.base", home}, {"jvm", "server"}}, {}, {}});
    storeConfiguration("alpha", {{{"tomcat.home", home},
                                  {"catalina.base", home},
                                  {"java.home", session.jdk()},
                                  {"jvm", "client"},
                                  {"description", "Alpha instance"},
                                  {"java.class.path", home + "\\bin\\bootstrap.jar"},
                                  {"tomcat.config", home + "\\conf\\server.xml"}},
                                 {{"java.security.manager", 1}, {"max.heap.size", 512}, {"reduce.os.signals", 0}},
                                 {"-Xprof", "-Da=1"}});
    storeConfiguration("e2e-installed",
                       {{{"tomcat.home", home}, {"catalina.base", home}}, {{"installedaservice", 1}}, {}});
    storeNameList({"zeta", "alpha", "e2e-installed"});
    const std::string other = session.root() + "\\other";
    makeCatalinaHome(other, Layout::Classic);
    ASSERT_TRUE(session.start());

    pressControlKey(session.control(IDC_SERVICE_NAME), 'O');
    HWND dialog = openDialogWithText("zeta");
    ASSERT_NE(dialog, nullptr);
    HWND combo = GetDlgItem(dialog, IDC_OPEN_NAME);
    EXPECT_EQ(comboItems(combo), (Names{"alpha", "e2e-installed", "zeta"}));
    EXPECT_TRUE(session.screenshot("04-open-dialog"));

    setWindowText(combo, "alpha");
    click(GetDlgItem(dialog, IDC_OPEN_OK));
    ASSERT_TRUE(waitForText(IDC_SERVICE_NAME, "alpha"));
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(dialog); }));
    EXPECT_TRUE(readOnly(IDC_SERVICE_NAME));
    EXPECT_EQ(session.text(IDC_DESCRIPTION), "Alpha instance");
    EXPECT_TRUE(checked(IDC_SECURITY_MANAGER));
    for (int id : {IDC_POLICY_FILE_LABEL, IDC_POLICY_FILE, IDC_BROWSE_POLICY_FILE}) EXPECT_TRUE(enabled(id)) << id;
    EXPECT_TRUE(checked(IDC_CLIENT_JVM));
    EXPECT_FALSE(checked(IDC_SERVER_JVM));
    // Set as plain ones, both radio buttons are automatic again for the mouse and the arrow keys.
    for (int id : {IDC_SERVER_JVM, IDC_CLIENT_JVM})
        EXPECT_EQ(GetWindowLongW(session.control(id), GWL_STYLE) & BS_TYPEMASK, BS_AUTORADIOBUTTON) << id;
    EXPECT_FALSE(checked(IDC_REDUCE_OS_SIGNALS));
    EXPECT_EQ(session.text(IDC_MAX_HEAP), "512");
    EXPECT_EQ(listItems(session.control(IDC_OPTION_LIST)), (Names{"-Xprof", "-Da=1"}));  // as stored
    EXPECT_EQ(session.text(IDC_INSTALL), "Install");
    EXPECT_EQ(session.text(IDC_STATUS_TEXT), "Not installed");
    expectNoMessageBox();
    EXPECT_TRUE(session.screenshot("04-loaded"));

    // Ctrl+S passes the box's text to its setter, whose check asks; leaving the box then asks nothing again.
    const std::string temp = session.root() + "\\no-temp";
    typeAndStay(IDC_TEMP_DIRECTORY, temp);
    pressControlKey(session.control(IDC_TEMP_DIRECTORY), 'S');
    EXPECT_EQ(session.answer("Missing Folder", IDNO),
              "'" + temp + "' is specified for 'Temp Directory' but it does not exist. Create it?");
    EXPECT_EQ(session.answer("Info", IDOK), "Instance saved as \"alpha\".");
    EXPECT_EQ(storedText("alpha", "java.io.tmpdir"), temp);
    ASSERT_TRUE(session.waitUntilIdle());
    pressTab(session.control(IDC_TEMP_DIRECTORY));
    expectNoMessageBox();

    // A new home of a stored configuration asks whether the paths follow: the base does, what lies below it not.
    typeAndTab(IDC_CATALINA_HOME, other);
    EXPECT_EQ(session.answer("Change Detected", IDYES),
              "Your Catalina Home appears to have changed. Do you want to update your Catalina Base and Classpath to "
              "reflect this change?");
    EXPECT_EQ(session.answer("Change Detected", IDNO),
              "Your Catalina Base appears to have changed. Do you want to update the paths to '/conf', '/log', and "
              "'/temp' to reflect this change?");
    EXPECT_TRUE(waitForText(IDC_CATALINA_BASE, other));
    EXPECT_EQ(session.text(IDC_CONFIG_FILE), home + "\\conf\\server.xml");
    EXPECT_EQ(session.text(IDC_TEMP_DIRECTORY), temp);
    expectNoMessageBox();

    // An installed configuration asks before its delete; No keeps it, Yes deletes it and shows a new one.
    openStored(dialog, "e2e-installed");
    ASSERT_TRUE(waitForText(IDC_INSTALL, "Uninstall"));
    // The Open dialog hands the window the activation before its command runs.
    EXPECT_EQ(GetForegroundWindow(), session.main());

    // The folders given to Upgrade stay for the upgrade after their check.
    postCommand(session.main(), IDM_UPGRADE);
    HWND upgrade = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        return (upgrade = findTopWindow(session.processId(), "Upgrade")) != nullptr && IsWindowVisible(upgrade);
    }));
    setWindowText(GetDlgItem(upgrade, IDC_UPGRADE_HOME), other);
    click(GetDlgItem(upgrade, IDC_UPGRADE_CHECK));
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(upgrade); }));
    HWND told = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        for (const char* title : {"Warning", "Info"})
            if ((told = findTopWindow(session.processId(), title))) return true;
        return false;
    }));
    PostMessageW(told, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(session.waitUntilIdle());
    postCommand(session.main(), IDM_UPGRADE);
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(upgrade) != FALSE; }));
    EXPECT_EQ(windowText(GetDlgItem(upgrade, IDC_UPGRADE_HOME)), other);
    click(GetDlgItem(upgrade, IDCANCEL));
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(upgrade); }));
    pressControlKey(session.control(IDC_DESCRIPTION), 'D');
    ASSERT_TRUE(waitForMessageBox(session.processId(), "Confirm"));
    EXPECT_TRUE(session.screenshot("06-delete-question"));
    // Windows may not log off while the command runs; once it is done, it may.
    EXPECT_EQ(SendMessageW(session.main(), WM_QUERYENDSESSION, 0, 0), 0);
    EXPECT_EQ(session.answer("Confirm", IDNO),
              "This configuration is also installed as a service. If you delete the "
              "configuration, the service will be also be deleted. Continue?");
    ASSERT_TRUE(session.waitUntilIdle());
    EXPECT_NE(SendMessageW(session.main(), WM_QUERYENDSESSION, 0, 0), 0);
    EXPECT_TRUE(storeHasKey("e2e-installed"));
    postCommand(session.main(), IDM_DELETE);
    session.answer("Confirm", IDYES);
    EXPECT_EQ(session.answer("Info", IDOK), "Deleted instance \"e2e-installed\".");
    EXPECT_TRUE(waitForText(IDC_SERVICE_NAME, "SetInstanceName"));
    EXPECT_EQ(session.text(IDC_INSTALL), "Install");
    EXPECT_FALSE(storeHasKey("e2e-installed"));
    EXPECT_EQ(storedNameList(), (Names{"zeta", "alpha"}));
    expectNoMessageBox();

    // The session ends while a command waits for its question: Windows gets its answer at once, and the command,
    // once answered, ends before the window closes.
    typeAndStay(IDC_SERVICE_NAME, "zeta");
    pressControlKey(session.control(IDC_SERVICE_NAME), 'S');
    ASSERT_TRUE(waitForMessageBox(session.processId(), "Confirm"));
    DWORD_PTR ended = 0;
    EXPECT_NE(SendMessageTimeoutW(session.main(), WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 5000, &ended), 0);
    EXPECT_EQ(session.answer("Confirm", IDNO),
              "A configuration named \"zeta\" is already stored. Replace it with this one?");
    EXPECT_TRUE(session.exited(10000));
    EXPECT_EQ(storedNameList(), (Names{"zeta", "alpha"}));
}

TEST_F(WindowEndToEnd, PickersAndTheAboutBoxComeAndGoAndCtrlXEndsAtOnce) {
    // The debug argument is lower-cased and loses its spaces; the log starts empty.
    ASSERT_TRUE(session.start("Debug:" + session.root() + "\\My Log.txt"));
    EXPECT_TRUE(fileExists(session.root() + "\\mylog.txt"));
    const std::string home = session.home();

    // Cancel in the folder picker changes nothing. The Open dialog beside the window takes no input while the
    // picker waits, so that it cannot load another configuration under it.
    postCommand(session.main(), IDM_OPEN);
    HWND open = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (open = findTopWindow(session.processId(), "Open Config")) != nullptr; }));
    click(session.control(IDC_BROWSE_CATALINA_HOME));
    HWND folders = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        for (HWND window : topWindows(session.processId()))
            if (className(window) == "#32770" && window != session.main() && window != open) folders = window;
        return folders != nullptr;
    }));
    EXPECT_FALSE(IsWindowEnabled(open));
    click(GetDlgItem(folders, IDCANCEL));
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(folders); }));
    EXPECT_EQ(session.text(IDC_CATALINA_HOME), home);
    EXPECT_TRUE(IsWindowEnabled(open));
    click(GetDlgItem(open, IDC_OPEN_CANCEL));
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(open); }));
    // Shown again after the window has moved, it stands over the window where it is now; while shown, it stays put.
    const auto centre = [](HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return std::make_pair((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    const auto moveMain = [&](int left, int top) {
        SetWindowPos(session.main(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    moveMain(60, 20);
    postCommand(session.main(), IDM_OPEN);
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(open) != FALSE; }));
    const auto shownAt = centre(open);
    EXPECT_LE(std::abs(shownAt.first - centre(session.main()).first), 1);
    EXPECT_LE(std::abs(shownAt.second - centre(session.main()).second), 1);
    moveMain(20, 10);
    postCommand(session.main(), IDM_OPEN);
    Sleep(300);
    EXPECT_EQ(centre(open), shownAt);
    click(GetDlgItem(open, IDC_OPEN_CANCEL));
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(open); }));

    const std::string chosen = home + "\\conf\\other.xml";
    makeFile(chosen, "<Server/>");
    click(session.control(IDC_BROWSE_CONFIG_FILE));
    HWND files = nullptr;
    ASSERT_TRUE(
        waitUntil([&] { return (files = findTopWindow(session.processId(), "Please select an config file...")); }));
    EXPECT_EQ(comboItems(GetDlgItem(files, cmb1)), (Names{"XML Documments (*.xml)", "All Files (*.*)"}));
    chooseFile("Please select an config file...", chosen);
    EXPECT_TRUE(waitForText(IDC_CONFIG_FILE, chosen));

    // About, chosen twice, is one box; OK discards it and it comes again.
    postCommand(session.main(), IDM_ABOUT);
    postCommand(session.main(), IDM_ABOUT);
    HWND about = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (about = findTopWindow(session.processId(), "About Velmora")) != nullptr; }));
    Sleep(500);
    EXPECT_EQ(topWindows(session.processId(), "About Velmora").size(), 1u);
    EXPECT_EQ(windowText(GetDlgItem(about, IDC_ABOUT_VERSION)), "Version " + versionText());
    EXPECT_TRUE(session.screenshot("08-about"));
    click(GetDlgItem(about, IDC_ABOUT_OK));
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(about); }));

    // Ctrl+X ends the program at once, with the text typed left unsaved.
    HWND description = session.control(IDC_DESCRIPTION);
    typeAndStay(IDC_DESCRIPTION, "not saved");
    pressControlKey(description, 'X');
    EXPECT_TRUE(session.exited(10000));
    EXPECT_EQ(storedNameList(), Names{});
}

// A command that waits for another Velmora's turn has changed nothing: the session may end, and does not wait
// for it.
TEST_F(WindowEndToEnd, ACommandWaitingForItsTurnKeepsNoLogoffBack) {
    const HANDLE other = CreateMutexW(nullptr, TRUE, L"Global\\VelmoraCommandLock");
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(session.start());
    typeAndTab(IDC_SERVICE_NAME, "waits");
    postCommand(session.main(), IDM_SAVE);
    HWND notice = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        return (notice = findTopWindow(session.processId(), "Working...")) != nullptr && IsWindowVisible(notice);
    }));
    EXPECT_EQ(windowText(GetDlgItem(notice, IDC_NOTICE_TEXT)),
              "Waiting for another Velmora command on this computer to finish...");
    EXPECT_NE(SendMessageW(session.main(), WM_QUERYENDSESSION, 0, 0), 0);
    DWORD_PTR ended = 0;
    EXPECT_NE(SendMessageTimeoutW(session.main(), WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 10000, &ended), 0);
    EXPECT_TRUE(session.exited(5000));
    ReleaseMutex(other);
    CloseHandle(other);
    EXPECT_EQ(storedNameList(), Names{});
}

// Text beyond ASCII goes everywhere unchanged; the buttons install, start, follow, stop and uninstall.
TEST_F(WindowEndToEnd, TextBeyondAsciiGoesEverywhereAndTheServiceButtonsInstallStartFollowStopAndUninstall) {
    const std::string name = "VelmoraE2E" + std::to_string(GetCurrentProcessId());
    const std::string home = session.root() + "\\Prögramme\\Tömcat 10", account = home + "\\logs\\" + name + "_out.log";
    const std::string description = "日本語の説明：テスト用サービス";
    const std::string classPath = home + "\\bin\\bootstrap.jar;" + home + "\\bin\\tomcat-juli.jar";
    makeCatalinaHome(home, Layout::Modern);
    session.removeServiceAtEnd(name);
    ASSERT_TRUE(session.start());
    typeAndTab(IDC_SERVICE_NAME, name);
    typeAndTab(IDC_DESCRIPTION, description);
    typeAndTab(IDC_CATALINA_HOME, home);
    ASSERT_TRUE(waitForText(IDC_CATALINA_BASE, home));
    EXPECT_EQ(session.text(IDC_SYSTEM_OUT), home + "\\logs");
    postCommand(session.main(), IDM_SAVE);
    EXPECT_EQ(session.answer("Info", IDOK), "Instance saved as \"" + name + "\".");
    ASSERT_TRUE(session.waitUntilIdle());
    EXPECT_EQ(storedText(name, "catalina.base"), home);
    EXPECT_EQ(storedText(name, "java.class.path"), classPath);
    EXPECT_EQ(storedText(name, "description"), description);

    // The report declares its encoding and carries the values as they are.
    const std::string report = session.bin("quenby-" + name + "-debug.html");
    postCommand(session.main(), IDM_CHECK_CONFIGURATION);
    ASSERT_TRUE(waitUntil([&] { return holds(contentOf(report), "</html>"); }));
    EXPECT_TRUE(holds(contentOf(report), "<meta charset='utf-8'>"));
    EXPECT_TRUE(holds(contentOf(report), "Catalina home</font></td><td width='75%'><font size='2'>" + home + "</font>"))
        << contentOf(report);

    // The command line prints the values in UTF-8 and takes them back from an export.
    EXPECT_TRUE(holds(session.cli("show " + name).out, "description = " + description + "\n"));
    // JSON writes it out in ASCII, as Windows PowerShell would read UTF-8 in its old code page.
    EXPECT_TRUE(holds(session.cli("show " + name + " --json").out,
                      "\"description\": "
                      "\"\\u65e5\\u672c\\u8a9e\\u306e\\u8aac\\u660e\\uff1a\\u30c6\\u30b9\\u30c8\\u7528\\u30b5\\u30fc\\u"
                      "30d3\\u30b9\""));
    const std::string file = session.root() + "\\Éxport.json";
    EXPECT_EQ(session.cli("export " + name + " --out \"" + file + "\"").code, 0);
    EXPECT_EQ(session.cli("delete " + name).code, 0);
    const CliRun imported = session.cli("import \"" + file + "\"");
    EXPECT_EQ(imported.code, 0) << imported.err;
    EXPECT_EQ(storedText(name, "tomcat.home"), home);
    EXPECT_EQ(storedText(name, "description"), description);

    // The wrapper is given the paths and the description whole.
    click(session.control(IDC_INSTALL));
    for (const std::string& warning : settingsWarnings(name)) EXPECT_EQ(session.answer("Warning", IDOK), warning);
    EXPECT_EQ(session.answer("Info", IDOK), "Service \"" + name + "\" installed.");
    ASSERT_TRUE(waitForText(IDC_STATUS_TEXT, "Installed - Not Running"));
    ASSERT_TRUE(session.waitUntilIdle());
    EXPECT_EQ(session.text(IDC_INSTALL), "Uninstall");
    EXPECT_EQ(session.text(IDC_START), "Start");
    EXPECT_TRUE(enabled(IDC_START));
    EXPECT_EQ(storedNumber(name, "installedaservice"), 1u);
    EXPECT_EQ(serviceConfig(name).programLine, quoted(home + "\\bin\\tomcat10.exe") + " //RS//" + name);
    EXPECT_EQ(serviceDescription(name), description);
    EXPECT_EQ(machineText(procrunKey(name) + "\\Start", "WorkingPath"), home);
    EXPECT_TRUE(session.screenshot("10-installed"));

    // The notice is shown and painted before net start holds the command up.
    click(session.control(IDC_START));
    HWND notice = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (notice = findTopWindow(session.processId(), "Working...")) != nullptr; }));
    EXPECT_TRUE(session.screenshot("11-starting", 0));
    EXPECT_EQ(windowTitle(GetDlgItem(notice, IDC_NOTICE_TEXT)), "Starting the \"" + name + "\" service...");
    ASSERT_TRUE(waitForText(IDC_STATUS_TEXT, "Installed - Running"));
    ASSERT_TRUE(session.waitUntilIdle());
    EXPECT_EQ(session.text(IDC_START), "Stop");
    EXPECT_FALSE(IsWindowVisible(notice));
    EXPECT_TRUE(serviceRunning(name));
    // And so does the JVM it stands for, in its account of the launch.
    ASSERT_TRUE(waitUntil([&] { return holds(contentOf(account), "start: "); }));
    EXPECT_TRUE(holds(contentOf(account), "option 0: -Dcatalina.home=" + home + "\r\n")) << contentOf(account);
    EXPECT_TRUE(holds(contentOf(account), "option 11: -Djava.class.path=" + classPath + "\r\n"));
    EXPECT_TRUE(holds(contentOf(account), "System.out: " + account + "\r\n"));

    // Stopped and started outside the program, the service shows so within 3 s without a click,
    // and screen readers are told of the new status line.
    static HWND announced = nullptr;
    constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED, Windows 8 and later
    HWINEVENTHOOK hook = SetWinEventHook(
        kLiveRegionChanged, kLiveRegionChanged, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND window, LONG, LONG, DWORD, DWORD) { announced = window; }, session.processId(), 0,
        WINEVENT_OUTOFCONTEXT);
    ASSERT_TRUE(stopService(name));
    EXPECT_TRUE(waitForText(IDC_STATUS_TEXT, "Installed - Not Running"));
    EXPECT_EQ(session.text(IDC_START), "Start");
    EXPECT_TRUE(waitUntil(
        [&] {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            return announced == session.control(IDC_STATUS_TEXT);
        },
        3000));
    UnhookWinEvent(hook);
    // The service manager tells the window of the change: it shows within half a second.
    ASSERT_TRUE(startService(name));
    EXPECT_TRUE(waitUntil([&] { return session.text(IDC_STATUS_TEXT) == "Installed - Running"; }, 500));
    ASSERT_EQ(session.text(IDC_START), "Stop");

    click(session.control(IDC_START));
    ASSERT_TRUE(waitForText(IDC_STATUS_TEXT, "Installed - Not Running"));
    ASSERT_TRUE(session.waitUntilIdle());
    EXPECT_EQ(session.text(IDC_START), "Start");
    EXPECT_EQ(windowTitle(GetDlgItem(notice, IDC_NOTICE_TEXT)), "Stopping the \"" + name + "\" service...");
    EXPECT_FALSE(serviceRunning(name));

    // Minimized, the window does not follow the service; Refresh asks the service manager all the same.
    ShowWindow(session.main(), SW_MINIMIZE);
    ASSERT_TRUE(waitUntil([&] { return IsIconic(session.main()) != FALSE; }));
    ASSERT_TRUE(startService(name));
    Sleep(3000);
    EXPECT_EQ(session.text(IDC_STATUS_TEXT), "Installed - Not Running");
    click(session.control(IDC_REFRESH));
    EXPECT_TRUE(waitForText(IDC_STATUS_TEXT, "Installed - Running"));
    ShowWindow(session.main(), SW_RESTORE);

    // A ready URL that takes the connection and never answers holds up its 5 s probe, not the window. Saved, it
    // is what the service is followed by.
    {
        LoopbackPort deaf;
        const std::string url = "http://127.0.0.1:" + std::to_string(deaf.port) + "/ready";
        postCommand(session.main(), IDM_SERVICE_SETTINGS);
        HWND settings = nullptr;
        ASSERT_TRUE(waitUntil([&] {
            settings = findTopWindow(session.processId(), "Service Settings");
            return settings && IsWindowVisible(settings);
        }));
        setWindowText(GetDlgItem(settings, IDC_SETTINGS_READY_URL), url);
        click(GetDlgItem(settings, IDOK));
        ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(settings); }));
        EXPECT_EQ(session.text(IDC_STATUS_TEXT), "Installed - Running");
        postCommand(session.main(), IDM_SAVE);
        EXPECT_EQ(session.answer("Info", IDOK), "Instance saved as \"" + name + "\".");
        ASSERT_TRUE(session.waitUntilIdle());
        const std::string deafText = "Installed - Running, Not Serving: " + url + " does not answer";
        EXPECT_TRUE(waitForText(IDC_STATUS_TEXT, deafText)) << session.text(IDC_STATUS_TEXT);
        click(session.control(IDC_REFRESH));
        Sleep(500);
        DWORD_PTR ignored = 0;
        EXPECT_NE(SendMessageTimeoutW(session.main(), WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored), 0);
        EXPECT_TRUE(waitForText(IDC_STATUS_TEXT, deafText)) << session.text(IDC_STATUS_TEXT);
    }

    // Uninstalling stops Tomcat: the window asks first.
    click(session.control(IDC_INSTALL));
    EXPECT_EQ(
        session.answer("Confirm", IDYES),
        "The service \"" + name + "\" is running. Uninstalling it stops Tomcat and removes the service. Continue?");
    EXPECT_EQ(session.answer("Info", IDOK), "Service \"" + name + "\" has been uninstalled.")
        << messageBoxText(session.openMessageBox());
    ASSERT_TRUE(waitForText(IDC_INSTALL, "Install"));
    ASSERT_TRUE(session.waitUntilIdle());
    EXPECT_EQ(session.text(IDC_STATUS_TEXT), "Not installed");
    EXPECT_FALSE(enabled(IDC_START));
    EXPECT_FALSE(serviceRegistered(name));
    EXPECT_FALSE(machineKeyExists(procrunKey(name)));
    expectNoMessageBox();
}

}  // namespace
}  // namespace velmora::e2e
