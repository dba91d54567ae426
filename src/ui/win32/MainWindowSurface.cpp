// The main window as the logic sees it: each call reads or updates controls.
#include "ui/DebugLog.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/MainWindowControls.h"

namespace velmora {

int controlIdOf(FieldControl control) {
    switch (control) {
        case FieldControl::Text1: return IDC_TEXT1;
        case FieldControl::Text2: return IDC_TEXT2;
        case FieldControl::Text3: return IDC_TEXT3;
        case FieldControl::Text4: return IDC_TEXT4;
        case FieldControl::Text5: return IDC_TEXT5;
        case FieldControl::Text6: return IDC_TEXT6;
        case FieldControl::Text7: return IDC_TEXT7;
        case FieldControl::Text8: return IDC_TEXT8;
        case FieldControl::Text9: return IDC_TEXT9;
        case FieldControl::Text11: return IDC_TEXT11;
        case FieldControl::Combo1: return IDC_COMBO1;
        case FieldControl::Combo2: return IDC_COMBO2;
        case FieldControl::Combo3: return IDC_COMBO3;
    }
    return 0;
}

int controlIdOf(CheckControl control) { return control == CheckControl::Check1 ? IDC_CHECK1 : IDC_CHECK2; }

std::string MainWindow::fieldText(FieldControl control) { return textOf(controlIdOf(control)); }

void MainWindow::setFieldText(FieldControl control, const std::string& text) {
    // Rewriting the same text would only lose the caret and selection.
    const int id = controlIdOf(control);
    if (textOf(id) == text) return;
    SetDlgItemTextA(window_, id, text.c_str());
    if (id == committedBoxId_) committedBoxId_ = 0;  // what was passed on is no longer shown
}

int MainWindow::checkValue(CheckControl control) {
    return IsDlgButtonChecked(window_, controlIdOf(control)) == BST_CHECKED ? 1 : 0;
}

void MainWindow::setCheckValue(CheckControl control, int value) {
    const int id = controlIdOf(control);
    const bool changed = checkValue(control) != (value != 0 ? 1 : 0);
    CheckDlgButton(window_, id, value != 0 ? BST_CHECKED : BST_UNCHECKED);
    // BM_SETCHECK notifies nobody; a change made here must act like a click.
    if (changed) onCheckChanged(id);
}

bool MainWindow::isServerJvmSelected() { return IsDlgButtonChecked(window_, IDC_OPTION1) == BST_CHECKED; }

void MainWindow::selectJvmOption(bool server) {
    CheckRadioButton(window_, IDC_OPTION1, IDC_OPTION2, server ? IDC_OPTION1 : IDC_OPTION2);
}

void MainWindow::clearList1() { SendDlgItemMessageA(window_, IDC_LIST1, LB_RESETCONTENT, 0, 0); }

void MainWindow::addToList1(const std::string& option) {
    SendDlgItemMessageA(window_, IDC_LIST1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(option.c_str()));
}

int MainWindow::list1Count() {
    const LRESULT count = SendDlgItemMessageA(window_, IDC_LIST1, LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::string MainWindow::list1Item(int index) {
    const LRESULT length = SendDlgItemMessageA(window_, IDC_LIST1, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return "";
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = SendDlgItemMessageA(window_, IDC_LIST1, LB_GETTEXT, static_cast<WPARAM>(index),
                                               reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

void MainWindow::removeFromList1(int index) {
    SendDlgItemMessageA(window_, IDC_LIST1, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

int MainWindow::list1Selection() {
    const LRESULT index = SendDlgItemMessageA(window_, IDC_LIST1, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

std::string MainWindow::optionEntryText() { return textOf(IDC_TEXT14); }
void MainWindow::setOptionEntryText(const std::string& text) { SetDlgItemTextA(window_, IDC_TEXT14, text.c_str()); }

std::string MainWindow::installCaption() { return textOf(IDC_COMMAND6); }
void MainWindow::setInstallCaption(const std::string& caption) { SetDlgItemTextA(window_, IDC_COMMAND6, caption.c_str()); }
std::string MainWindow::startCaption() { return textOf(IDC_COMMAND9); }
void MainWindow::setStartCaption(const std::string& caption) {
    if (startCaption() != caption) SetDlgItemTextA(window_, IDC_COMMAND9, caption.c_str());
}

void MainWindow::setStartEnabled(bool enabled) {
    HWND button = item(IDC_COMMAND9);
    // A disabled button keeps no focus: pass it on so the keyboard still works.
    if (!enabled && GetFocus() == button) SendMessageA(window_, WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(button, enabled);
}

std::string MainWindow::statusText() { return textOf(IDC_LABEL20); }
void MainWindow::setStatusText(const std::string& text) {
    if (statusText() == text) return;
    SetDlgItemTextA(window_, IDC_LABEL20, text.c_str());
    if (IsWindowVisible(window_)) status_.changed();
}

void MainWindow::lockServiceName() {
    HWND box = item(IDC_TEXT5);
    SendMessageA(box, EM_SETREADONLY, TRUE, 0);
    SetWindowLongPtrA(box, GWL_EXSTYLE, GetWindowLongPtrA(box, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
    SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    serviceNameLocked_ = true;
    InvalidateRect(box, nullptr, TRUE);
}

void MainWindow::unlockServiceName() {
    if (!serviceNameLocked_) return;  // made editable, as the window starts
    HWND box = item(IDC_TEXT5);
    SendMessageA(box, EM_SETREADONLY, FALSE, 0);
    SetWindowLongPtrA(box, GWL_EXSTYLE, GetWindowLongPtrA(box, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    serviceNameLocked_ = false;
    InvalidateRect(box, nullptr, TRUE);
}

void MainWindow::focusServiceName() {
    SendMessageA(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(IDC_TEXT5)), TRUE);
}

void MainWindow::setPolicyRowEnabled(bool enabled) {
    policyBoxWhite_ = enabled;
    EnableWindow(item(IDC_LABEL11), enabled);
    EnableWindow(item(IDC_TEXT7), enabled);
    EnableWindow(item(IDC_COMMAND8), enabled);
    InvalidateRect(item(IDC_TEXT7), nullptr, TRUE);
}

void MainWindow::setCaption(const std::string& caption) { SetWindowTextA(window_, caption.c_str()); }

void MainWindow::showNotice(const std::string& text) { notice_.show(instance_, window_, text); }
void MainWindow::hideNotice() { notice_.hide(); }

void MainWindow::appendDebugLog(const std::string& line) { debugLog_.append(line); }

}  // namespace velmora
