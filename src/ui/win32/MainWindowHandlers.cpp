// What the main window does when the user acts on it: pick the operation of
// DoConfig that the control stands for and pass the control's value.
#include "ui/win32/Explorer.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/MainWindowControls.h"
#include "ui/win32/TransferMenu.h"

namespace velmora {

namespace {

constexpr ControlSetter kFolderButtons[] = {
    {IDC_COMMAND1, &DoConfig::setCatalinaHome}, {IDC_COMMAND13, &DoConfig::setCatalinaBase},
    {IDC_COMMAND5, &DoConfig::setJavaHome},     {IDC_COMMAND7, &DoConfig::setTempDirectory},
    {IDC_COMMAND2, &DoConfig::setSystemOut},    {IDC_COMMAND3, &DoConfig::setSystemErr},
};

constexpr ControlSetter kSizeBoxes[] = {
    {IDC_COMBO1, &DoConfig::setInitialHeapSize},
    {IDC_COMBO2, &DoConfig::setMaxHeapSize},
    {IDC_COMBO3, &DoConfig::setThreadStackSize},
};

struct FilePicker {
    int controlId;
    const char* description;
    const char* pattern;
    const char* title;
    TextSetter set;
};

constexpr FilePicker kFilePickers[] = {
    {IDC_COMMAND4, "XML Documments (*.xml)", "*.XML", "Please select an config file...",
     &DoConfig::setTomcatConfigFile},
    {IDC_COMMAND8, "Policy Documments (*.policy)", "*.policy", "Please select a policy file...",
     &DoConfig::setSecurityPolicyFile},
};

constexpr int kHideReadOnlyFlag = 4;

template <typename Entry, std::size_t N>
const Entry* entryFor(const Entry (&table)[N], int controlId) {
    for (const Entry& entry : table)
        if (entry.controlId == controlId) return &entry;
    return nullptr;
}

bool isMenuItem(int id) { return id >= IDM_NEW && id <= IDM_IMPORT; }

}  // namespace

void MainWindow::onCommand(int id, int code) {
    if (!config_) return;
    if (isMenuItem(id)) {
        runPendingFieldUpdates();
        // Exit ends the program at once: no setter, so no check may ask anything first.
        if (id != IDM_EXIT) commitFocusedField();
        onMenuCommand(id);
        return;
    }
    if (entryFor(kFieldBoxes, id)) {
        if (code == EN_SETFOCUS) SendDlgItemMessageA(window_, id, EM_SETSEL, 0, -1);  // typing replaces the value
        return;
    }
    if (entryFor(kSizeBoxes, id)) {
        if (code == CBN_SELCHANGE) onSizeChosen(id);
        return;
    }
    if (id == IDC_LIST1) {
        if (code == LBN_DBLCLK) onOptionDoubleClicked();
        return;
    }
    if (code != BN_CLICKED) return;

    // A click that also moved the focus reaches us before the left field's update; run that first.
    runPendingFieldUpdates();
    commitFocusedField();
    if (entryFor(kFolderButtons, id)) return onFolderBrowse(id);
    if (entryFor(kFilePickers, id)) return onFileBrowse(id);
    switch (id) {
        case IDC_CHECK1:
        case IDC_CHECK2: return onCheckChanged(id);
        case IDC_OPTION1:
        case IDC_OPTION2: return config_->selectJvmFromWindow();
        case IDC_COMMAND11: return onAddOption();
        case IDC_COMMAND12: return onDeleteOption();
        case IDC_COMMAND6: return config_->installOrUninstall();
        case IDC_COMMAND9: return config_->startOrStop();
        case IDC_COMMAND10: return config_->checkServiceStatus();
    }
}

void MainWindow::onFieldLeft(int id) {
    const ControlSetter* box = entryFor(kFieldBoxes, id);
    if (!box || !config_) return;
    if (id == committedBoxId_) {
        // A command already passed this text on while the cursor stayed in the box.
        committedBoxId_ = 0;
        if (textOf(id) == committedText_) return;
    }
    (config_->*box->set)(textOf(id));
}

// A command acts on what the window shows: the box that has the cursor passes
// its text on first, as leaving it would.
void MainWindow::commitFocusedField() {
    HWND focus = GetFocus();
    if (!focus || GetParent(focus) != window_) return;
    const int id = GetDlgCtrlID(focus);
    const ControlSetter* box = entryFor(kFieldBoxes, id);
    if (!box || (id == committedBoxId_ && textOf(id) == committedText_)) return;
    (config_->*box->set)(textOf(id));
    committedBoxId_ = id;
    committedText_ = textOf(id);
}

void MainWindow::runPendingFieldUpdates() {
    MSG pending;
    while (PeekMessageA(&pending, window_, kFieldLeftMessage, kFieldLeftMessage, PM_REMOVE))
        onFieldLeft(static_cast<int>(pending.wParam));
}

void MainWindow::onCheckChanged(int id) {
    if (!config_) return;
    if (id == IDC_CHECK1) {
        const int value = checkValue(CheckControl::Check1);
        setPolicyRowEnabled(value == 1);
        config_->setUseSecurityManager(static_cast<std::int16_t>(value));
    } else {
        config_->setReduceOsSignals(static_cast<std::int16_t>(checkValue(CheckControl::Check2)));
    }
}

// Only a choice from the list counts; typing into the box does not reach the field.
void MainWindow::onSizeChosen(int id) {
    HWND combo = item(id);
    const LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (index == CB_ERR || length == CB_ERR) return;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    (config_->*entryFor(kSizeBoxes, id)->set)(text);
}

void MainWindow::onFolderBrowse(int id) {
    const std::string folder = BrowseForFolder(window_);
    if (!folder.empty()) (config_->*entryFor(kFolderButtons, id)->set)(folder);
}

void MainWindow::onFileBrowse(int id) {
    const FilePicker& picker = *entryFor(kFilePickers, id);
    int flags = kHideReadOnlyFlag;
    FileDialogRequest request;
    request.flags = &flags;
    request.initialFolder = textOf(IDC_TEXT1) + "\\conf\\";
    request.filter = AddFilterItem(AddFilterItem("", picker.description, picker.pattern), "All Files (*.*)", "*.*");
    request.title = picker.title;
    const std::string file = ShowFileDialog(window_, request);
    if (!file.empty()) (config_->*picker.set)(file);
}

void MainWindow::onAddOption() {
    const std::string option = optionEntryText();
    if (option.empty()) return;
    addToList1(option);
    setOptionEntryText("");
}

void MainWindow::onDeleteOption() {
    const int index = list1Selection();
    if (index >= 0) removeFromList1(index);
}

// The entry goes back to the box for editing; Add puts it back.
void MainWindow::onOptionDoubleClicked() {
    const int index = list1Selection();
    if (index < 0) return;
    setOptionEntryText(list1Item(index));
    removeFromList1(index);
}

void MainWindow::onMenuCommand(int id) {
    switch (id) {
        case IDM_NEW: return config_->newConfiguration();
        case IDM_OPEN: return openDialog_.show(instance_, window_, *config_);
        case IDM_SAVE: config_->saveConfiguration(true); return;
        case IDM_DELETECONFIG: config_->deleteConfiguration(false); return;
        case IDM_EXIT: DestroyWindow(window_); return;
        case IDM_DEBUG: return config_->checkConfiguration();
        case IDM_ABOUT: return aboutBox_.show(instance_, window_);
        case IDM_EXPORT: return exportFromMenu(window_, *config_);
        case IDM_IMPORT: return importFromMenu(window_, *config_);
    }
}

}  // namespace velmora
