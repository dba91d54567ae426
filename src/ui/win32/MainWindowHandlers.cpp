// What the main window does when the user acts on it: pick the operation
// the control stands for and hand over the control's value.
#include "platform/win32/WideText.h"
#include "ui/win32/Explorer.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/MainWindowControls.h"
#include "ui/win32/TransferMenu.h"
#include "ui/win32/WindowText.h"

namespace velmora {

namespace {

struct FilePicker {
    int controlId;
    const char* description;
    const char* pattern;
    const char* title;
    Field field;
};

constexpr FilePicker kFilePickers[] = {
    {IDC_BROWSE_CONFIG_FILE, "XML Documments (*.xml)", "*.XML", "Please select an config file...",
     Field::TomcatConfigFile},
    {IDC_BROWSE_POLICY_FILE, "Policy Documments (*.policy)", "*.policy", "Please select a policy file...",
     Field::SecurityPolicyFile},
};

constexpr int kHideReadOnlyFlag = 4;

bool isMenuItem(int id) { return (id >= IDM_NEW && id <= IDM_ADOPT) || id == IDM_RESTART || id == IDM_UPGRADE; }

}  // namespace

void MainWindow::onCommand(int id, int code) {
    if (!session_) return;
    if (isMenuItem(id)) {
        // A command does not run on the stored value of a box whose text was
        // just refused: the refusal was shown, and the user chooses again.
        bool taken = runPendingFieldUpdates();
        // Exit ends the program at once: no setter, so no check may ask anything first.
        if (id == IDM_EXIT) return onMenuCommand(id);
        taken = commitFocusedField() && taken;
        if (taken) onMenuCommand(id);
        return;
    }
    if (entryFor(kFieldBoxes, id)) {
        if (code == EN_SETFOCUS) SendDlgItemMessageW(window_, id, EM_SETSEL, 0, -1);  // typing replaces the value
        if (code == EN_KILLFOCUS) noteFieldLeft(id);
        return;
    }
    if (entryFor(kSizeBoxes, id)) {
        if (code == CBN_SETFOCUS || code == CBN_DROPDOWN) fillSizeList(id);
        if (code == CBN_SELCHANGE) onSizeChosen(id);
        if (code == CBN_KILLFOCUS) noteFieldLeft(id);  // a size may be typed too
        return;
    }
    if (id == IDC_OPTION_LIST) {
        if (code == LBN_DBLCLK) onOptionDoubleClicked();
        return;
    }
    if (code != BN_CLICKED) return;

    // Read before the field updates below: they show the configuration again,
    // which would set the box back to the state it had before this click.
    const char* checked = IsDlgButtonChecked(window_, id) == BST_CHECKED ? "1" : "0";
    // A click that also moved the focus reaches us before the left field's update; run that first.
    const bool taken = runPendingFieldUpdates();
    if (!(commitFocusedField() && taken)) return;
    if (entryFor(kFolderButtons, id)) return onFolderBrowse(id);
    if (entryFor(kFilePickers, id)) return onFileBrowse(id);
    // The window has shown whatever an edit told; its outcome is for scripts.
    switch (id) {
        case IDC_SECURITY_MANAGER: (void)editing_->edit(Field::UseSecurityManager, checked); return;
        case IDC_REDUCE_OS_SIGNALS: (void)editing_->edit(Field::ReduceOsSignals, checked); return;
        case IDC_SERVER_JVM: (void)editing_->edit(Field::JvmType, "server"); return;
        case IDC_CLIENT_JVM: (void)editing_->edit(Field::JvmType, "client"); return;
        case IDC_ADD_OPTION: return onAddOption();
        case IDC_DELETE_OPTION: return onDeleteOption();
        case IDC_MOVE_OPTION_UP: return onMoveOption(-1);
        case IDC_MOVE_OPTION_DOWN: return onMoveOption(+1);
        case IDC_INSTALL: return onInstallButton();
        case IDC_START: return onStartButton();
        case IDC_REFRESH: return askStatus(true);
    }
}

void MainWindow::onInstallButton() {
    Session& session = *session_;
    if (session.installed())
        runCommand([&session] { return session.uninstall(); });
    else
        runCommand([&session] { return session.install(); });
}

void MainWindow::onStartButton() {
    Session& session = *session_;
    // A start that hangs can be stopped too.
    if (serviceIsUp(session.status()))
        runCommand([&session] { return session.stop(); });
    else
        runCommand([&session] { return session.start(); });
}

// Only a move to another control of this window counts as leaving the
// field: a message box or another program taking the focus does not, or
// every warning would raise the next field's warning. Either takes the
// activation before the focus; the value is handed over once the focus has
// settled.
void MainWindow::noteFieldLeft(int id) {
    if (GetActiveWindow() == window_) PostMessageW(window_, kFieldLeftMessage, id, 0);
}

bool MainWindow::onFieldLeft(int id) {
    const ControlField* box = entryFor(kFieldBoxes, id);
    if (!box) box = entryFor(kSizeBoxes, id);
    if (!box || !session_ || busy_) return true;
    if (id == committedBoxId_) {
        // A command already passed this text on while the cursor stayed in the box.
        committedBoxId_ = 0;
        if (textOf(item(id)) == committedText_) return true;
    }
    return editing_->edit(box->field, textOf(item(id))).result != Outcome::Result::Refused;
}

// A command acts on what the window shows: the box that has the cursor passes
// its text on first, as leaving it would.
HWND MainWindow::controlHolding(HWND window) const {
    if (window && IsWindow(window) && GetParent(window) != window_) window = GetParent(window);
    return window && GetParent(window) == window_ ? window : nullptr;
}

bool MainWindow::commitFocusedField() {
    const HWND focus = controlHolding(GetFocus());
    if (!focus) return true;
    const int id = GetDlgCtrlID(focus);
    const ControlField* box = entryFor(kFieldBoxes, id);
    if (!box) box = entryFor(kSizeBoxes, id);
    if (!box || (id == committedBoxId_ && textOf(item(id)) == committedText_)) return true;
    const bool taken = editing_->edit(box->field, textOf(item(id))).result != Outcome::Result::Refused;
    committedBoxId_ = id;
    committedText_ = textOf(item(id));
    return taken;
}

bool MainWindow::runPendingFieldUpdates() {
    bool taken = true;
    MSG pending;
    while (PeekMessageW(&pending, window_, kFieldLeftMessage, kFieldLeftMessage, PM_REMOVE))
        taken = onFieldLeft(static_cast<int>(pending.wParam)) && taken;
    return taken;
}

// A size chosen from the list counts at once; one typed counts when the box is left.
void MainWindow::onSizeChosen(int id) {
    if (const auto size = chosenComboEntry(item(id))) editing_->edit(entryFor(kSizeBoxes, id)->field, *size);
}

void MainWindow::onFolderBrowse(int id) {
    const std::string folder = pick([&] { return BrowseForFolder(window_); });
    if (!folder.empty()) editing_->edit(entryFor(kFolderButtons, id)->field, folder);
}

void MainWindow::onFileBrowse(int id) {
    const FilePicker& picker = *entryFor(kFilePickers, id);
    int flags = kHideReadOnlyFlag;
    FileDialogRequest request;
    request.flags = &flags;
    request.initialFolder = textOf(item(IDC_CATALINA_HOME)) + "\\conf\\";
    request.filter = AddFilterItem(AddFilterItem("", picker.description, picker.pattern), "All Files (*.*)", "*.*");
    request.title = picker.title;
    const std::string file = pick([&] { return ShowFileDialog(window_, request); });
    if (!file.empty()) editing_->edit(picker.field, file);
}

void MainWindow::onAddOption() {
    const std::string option = textOf(item(IDC_OPTION_ENTRY));
    if (!option.empty() && editing_->addOption(option)) setTextOf(item(IDC_OPTION_ENTRY), "");
}

void MainWindow::onDeleteOption() {
    const LRESULT index = SendDlgItemMessageW(window_, IDC_OPTION_LIST, LB_GETCURSEL, 0, 0);
    if (index != LB_ERR) editing_->takeOption(static_cast<int>(index));
}

// The JVM reads the options in order, and the later of two settings wins: the
// selected one moves, and stays selected.
void MainWindow::onMoveOption(int by) {
    const LRESULT index = SendDlgItemMessageW(window_, IDC_OPTION_LIST, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR || !editing_->moveOption(static_cast<int>(index), by)) return;
    SendDlgItemMessageW(window_, IDC_OPTION_LIST, LB_SETCURSEL, static_cast<WPARAM>(index + by), 0);
}

// The entry goes back to the box for editing; Add puts it back.
void MainWindow::onOptionDoubleClicked() {
    const LRESULT index = SendDlgItemMessageW(window_, IDC_OPTION_LIST, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return;
    setTextOf(item(IDC_OPTION_ENTRY), editing_->takeOption(static_cast<int>(index)));
}

void MainWindow::onMenuCommand(int id) {
    Session& session = *session_;
    switch (id) {
        case IDM_NEW: return session.newConfiguration();
        case IDM_OPEN:
            // Off this thread too: the status of an opened service waits for Tomcat's ports and ready URL.
            return openDialog_.show(
                instance_, window_, [&session] { return session.storedNames(); },
                [this, &session](const std::string& name) {
                    runCommand([&session, name] { return session.open(name); });
                });
        case IDM_SAVE:
            // As a save fixes the name, the cursor goes to it.
            return runCommand([&session] { return session.save(); },
                              [this] {
                                  SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(IDC_SERVICE_NAME)),
                                               TRUE);
                              });
        case IDM_DELETE: return runCommand([&session] { return session.remove(); });
        case IDM_EXIT: DestroyWindow(window_); return;
        // Off this thread like every command: the check may create folders, and a JDK that an update took
        // away is offered in its place, which may restart the service.
        case IDM_CHECK_CONFIGURATION:
            return runCommand([&session] {
                const CheckResult check = session.checkConfiguration(ReportOpening::Always);
                return check.replacement ? session.offerRepoint(*check.replacement) : check.outcome;
            });
        case IDM_ABOUT: return aboutBox_.show(instance_, window_);
        case IDM_SERVICE_SETTINGS: return settingsDialog_.show(instance_, window_, session, *editing_);
        case IDM_RESTART: return runCommand([&session] { return session.restart(); });
        case IDM_UPGRADE:
            return upgradeDialog_.show(
                instance_, window_, session.configuration().serviceName, session.configuration().catalinaHome,
                session.configuration().javaHome,
                [this, &session](const std::string& home, const std::string& javaHome, bool checkOnly) {
                    runCommand(
                        [&session, home, javaHome, checkOnly] { return session.upgrade(home, javaHome, checkOnly); });
                });
        case IDM_SERVICE_LOGS:
            return logsDialog_.show(instance_, window_, *logs_, *processes_, session.configuration());
        case IDM_ADOPT:
            return adoptDialog_.show(instance_, window_, session, [this, &session](const std::string& name) {
                runCommand([&session, name] { return session.adopt(name, false); });
            });
        case IDM_EXPORT: {
            const std::string path = pick([&] { return chooseExportFile(window_); });
            if (!path.empty()) exportTo(path, *transfer_, files_, *this);
            return;
        }
        case IDM_IMPORT: {
            const std::string path = pick([&] { return chooseImportFile(window_); });
            if (!path.empty()) runCommand([this, path] { return importFile(path, *transfer_, files_, *this); });
            return;
        }
    }
}

}  // namespace velmora
