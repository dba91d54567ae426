// What the main window shows of the configuration and its service.
#include "platform/win32/WideText.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/MainWindowControls.h"
#include "ui/win32/WindowText.h"

namespace velmora {

namespace {

constexpr struct {
    int controlId;
    std::string Configuration::*text;
} kShownTexts[] = {
    {IDC_SERVICE_NAME, &Configuration::serviceName},     {IDC_DESCRIPTION, &Configuration::description},
    {IDC_CATALINA_HOME, &Configuration::catalinaHome},   {IDC_CATALINA_BASE, &Configuration::catalinaBase},
    {IDC_CONFIG_FILE, &Configuration::tomcatConfigFile}, {IDC_POLICY_FILE, &Configuration::securityPolicyFile},
    {IDC_JAVA_HOME, &Configuration::javaHome},           {IDC_TEMP_DIRECTORY, &Configuration::tempDirectory},
    {IDC_SYSTEM_OUT, &Configuration::systemOut},         {IDC_SYSTEM_ERR, &Configuration::systemErr},
};

}  // namespace

// What the window shows waits for no box, nor the worker for it.
void MainWindow::showConfiguration(const Configuration& c, bool nameLocked, const std::string& tomcatVersion) {
    whileWorking([this, c, nameLocked, tomcatVersion] {
        for (const auto& shown : kShownTexts) setBoxText(shown.controlId, c.*shown.text);
        for (const ControlField& size : kSizeBoxes) setBoxText(size.controlId, fieldText(c, storedField(size.field)));
        setChecked(IDC_SECURITY_MANAGER, c.useSecurityManager);
        setChecked(IDC_REDUCE_OS_SIGNALS, c.reduceOsSignals);
        setChecked(IDC_SERVER_JVM, c.jvmType == JvmType::Server);
        setChecked(IDC_CLIENT_JVM, c.jvmType == JvmType::Client);
        setPolicyRowEnabled(c.useSecurityManager);
        setOptionList(c.additionalJvmOptions);
        setNameLocked(nameLocked);
        setTextOf(item(IDC_TOMCAT_VERSION),
                  tomcatVersion.empty() ? "not declared by the Catalina home" : tomcatVersion);
    });
}

void MainWindow::showServiceState(bool installed, ServiceStatus status, const std::string& failedStartCause) {
    whileWorking([this, installed, status, failedStartCause] {
        setTextOf(item(IDC_INSTALL), installed ? "Uninstall" : "Install");
        const std::string text =
            std::string(statusText(status)) + (failedStartCause.empty() ? "" : ": " + failedStartCause);
        if (textOf(item(IDC_STATUS_TEXT)) != text) {
            setTextOf(item(IDC_STATUS_TEXT), text);
            if (IsWindowVisible(window_)) status_.changed();
        }
        const bool stoppable = serviceIsUp(status);
        const bool known = stoppable || status == ServiceStatus::NotRunning;
        if (known) {
            const std::string caption = stoppable ? "Stop" : "Start";
            if (textOf(item(IDC_START)) != caption) setTextOf(item(IDC_START), caption);
        }
        followService();
        HWND start = item(IDC_START);
        // A disabled button keeps no focus: pass it on so the keyboard still works.
        if (!known && GetFocus() == start) SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);
        EnableWindow(start, known);
    });
}

// Rewriting the same text would only lose the caret and selection.
void MainWindow::setBoxText(int id, const std::string& text) {
    if (textOf(item(id)) == text) return;
    setTextOf(item(id), text);
    if (id == committedBoxId_) committedBoxId_ = 0;  // what was passed on is no longer shown
}

// A button's check costs a repaint and a style change even when it stays as it is.
void MainWindow::setChecked(int id, bool checked) {
    const UINT state = checked ? BST_CHECKED : BST_UNCHECKED;
    if (IsDlgButtonChecked(window_, id) == state) return;
    // Checked, an automatic radio button walks every control of the window
    // for its group to clear the others; both radio buttons are set here, so
    // it is checked as a plain one.
    HWND button = item(id);
    const auto style = static_cast<WORD>(GetWindowLongW(button, GWL_STYLE));
    const bool automatic = (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
    if (automatic) SendMessageW(button, BM_SETSTYLE, (style & ~BS_TYPEMASK) | BS_RADIOBUTTON, FALSE);
    SendMessageW(button, BM_SETCHECK, state, 0);
    if (automatic) SendMessageW(button, BM_SETSTYLE, style, FALSE);
}

// The name of a stored configuration reads like a label: flat, no border,
// the menu colour, and it cannot be edited.
void MainWindow::setNameLocked(bool locked) {
    if (serviceNameLocked_ == locked) return;
    HWND box = item(IDC_SERVICE_NAME);
    SendMessageW(box, EM_SETREADONLY, locked, 0);
    const LONG_PTR style = GetWindowLongPtrW(box, GWL_EXSTYLE);
    SetWindowLongPtrW(box, GWL_EXSTYLE, locked ? style & ~WS_EX_CLIENTEDGE : style | WS_EX_CLIENTEDGE);
    SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    serviceNameLocked_ = locked;
    InvalidateRect(box, nullptr, TRUE);
}

void MainWindow::setPolicyRowEnabled(bool enabled) {
    if (policyBoxWhite_ == enabled && IsWindowEnabled(item(IDC_POLICY_FILE)) == (enabled ? TRUE : FALSE)) return;
    policyBoxWhite_ = enabled;
    // A disabled control keeps no focus: pass it on so the keyboard still works.
    if (const HWND focus = GetFocus();
        !enabled && (focus == item(IDC_POLICY_FILE) || focus == item(IDC_BROWSE_POLICY_FILE)))
        SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(item(IDC_POLICY_FILE_LABEL), enabled);
    EnableWindow(item(IDC_POLICY_FILE), enabled);
    EnableWindow(item(IDC_BROWSE_POLICY_FILE), enabled);
    InvalidateRect(item(IDC_POLICY_FILE), nullptr, TRUE);
}

void MainWindow::setOptionList(const std::vector<std::string>& options) {
    HWND list = item(IDC_OPTION_LIST);
    std::vector<std::string> shown;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        shown.push_back(narrow(text));
    }
    if (shown == options) return;
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const auto& option : options)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(option).c_str()));
}

}  // namespace velmora
