#include "ui/win32/ServiceSettingsDialog.h"

#include "app/Session.h"
#include "checks/Questions.h"
#include "config/ConfigurationFields.h"
#include "config/ServiceAccount.h"
#include "platform/Services.h"
#include "platform/win32/WideText.h"
#include "ui/BoxLines.h"
#include "ui/win32/ResourceIds.h"
#include "ui/win32/WindowText.h"

namespace velmora {

namespace {

// In the order of startupTypes().
const char* const kStartupCaptions[] = {"Automatic", "Automatic (Delayed Start)", "Manual", "Disabled"};
const char* const kBuiltInAccounts[] = {"LocalSystem", "LocalService", "NetworkService"};

// The boxes whose text goes to its field's rule as it stands.
struct TextBox {
    int id;
    Field field;
};

constexpr TextBox kTextBoxes[] = {
    {IDC_SETTINGS_STOP_TIMEOUT, Field::StopTimeout},       {IDC_SETTINGS_RECOVERY_FIRST, Field::RecoveryFirst},
    {IDC_SETTINGS_RECOVERY_SECOND, Field::RecoverySecond}, {IDC_SETTINGS_RECOVERY_LATER, Field::RecoveryLater},
    {IDC_SETTINGS_RECOVERY_RESET, Field::RecoveryReset},   {IDC_SETTINGS_LOGS_KEEP_DAYS, Field::LogsKeepDays},
    {IDC_SETTINGS_LOGS_MAX_MB, Field::LogsMaxMb},          {IDC_SETTINGS_READY_URL, Field::ReadyUrl},
    {IDC_SETTINGS_START_TIMEOUT, Field::StartTimeout},
};

std::string virtualAccountCaption(const std::string& serviceName) {
    return "Virtual account (" + virtualAccount(serviceName) + ")";
}

std::string joinedLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += (text.empty() ? "" : "\r\n") + line;
    return text;
}

}  // namespace

void ServiceSettingsDialog::show(HINSTANCE instance, HWND owner, Session& session, Editing& editing) {
    owner_ = owner;
    session_ = &session;
    editing_ = &editing;
    if (!window_ && !create(instance, IDD_SERVICE_SETTINGS, owner)) return;
    fill();
    showOverOwner(owner_, IDC_SETTINGS_STARTUP);
}

INT_PTR ServiceSettingsDialog::onMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: handOver(); return TRUE;
                case IDCANCEL: close(); return TRUE;
                case IDC_SETTINGS_ACCOUNT:
                    if (HIWORD(wParam) == CBN_SELCHANGE) takeChosenAccount();
                    if (HIWORD(wParam) == CBN_SELCHANGE || HIWORD(wParam) == CBN_KILLFOCUS) showRights();
                    return TRUE;
            }
            return FALSE;
        case WM_CLOSE: close(); return TRUE;
    }
    return FALSE;
}

void ServiceSettingsDialog::fill() {
    const Configuration& c = session_->configuration();
    HWND startup = item(IDC_SETTINGS_STARTUP);
    SendMessageW(startup, CB_RESETCONTENT, 0, 0);
    const auto& types = startupTypes();
    for (std::size_t i = 0; i < types.size(); ++i) {
        SendMessageW(startup, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(kStartupCaptions[i]).c_str()));
        if (types[i] == startupTypeName(c.startupType)) SendMessageW(startup, CB_SETCURSEL, i, 0);
    }

    HWND account = item(IDC_SETTINGS_ACCOUNT);
    SendMessageW(account, CB_RESETCONTENT, 0, 0);
    SendMessageW(account, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(wide(virtualAccountCaption(c.serviceName)).c_str()));
    for (const char* builtIn : kBuiltInAccounts)
        SendMessageW(account, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(builtIn).c_str()));
    setTextOf(account, c.serviceAccount == "virtual" ? virtualAccountCaption(c.serviceName) : c.serviceAccount);

    setTextOf(item(IDC_SETTINGS_DEPENDENCIES), joinedLines(c.dependencies));
    setTextOf(item(IDC_SETTINGS_DISPLAY_NAME), c.displayName.empty() ? c.serviceName : c.displayName);
    setTextOf(item(IDC_SETTINGS_ENVIRONMENT), joinedLines(c.environment));
    for (const TextBox& box : kTextBoxes) setTextOf(item(box.id), fieldText(c, storedField(box.field)));
    CheckDlgButton(window_, IDC_SETTINGS_ON_ERROR_EXIT, c.recoveryOnErrorExit ? BST_CHECKED : BST_UNCHECKED);
    showRights();
}

void ServiceSettingsDialog::showRights() {
    Configuration candidate = session_->configuration();
    candidate.serviceAccount = chosenAccount();
    std::vector<std::string> lines;
    if (accountValueProblem(candidate.serviceAccount).empty())
        for (const Finding& finding : session_->missingRightsFor(candidate)) lines.push_back(finding.message);
    const auto untold = accountValueProblem(candidate.serviceAccount).empty() ? session_->rightsUntoldFor(candidate)
                                                                              : std::vector<std::string>();
    if (!untold.empty()) {
        std::string folders;
        for (const auto& folder : untold) folders += (folders.empty() ? "" : ", ") + folder;
        lines.push_back("Velmora could not tell whether the account can use " + folders +
                        ": Windows did not say (an account that does not exist yet, or access lists it cannot read).");
    }
    if (lines.empty()) lines.push_back("The account can use every folder Tomcat needs.");
    setTextOf(item(IDC_SETTINGS_RIGHTS), joinedLines(lines));
}

// The edit box shows a chosen entry only after this notification; the rights are for the entry.
void ServiceSettingsDialog::takeChosenAccount() {
    if (const auto chosen = chosenComboEntry(item(IDC_SETTINGS_ACCOUNT)))
        setTextOf(item(IDC_SETTINGS_ACCOUNT), *chosen);
}

std::string ServiceSettingsDialog::chosenAccount() {
    const std::string& serviceName = session_->configuration().serviceName;
    const std::string typed = textOf(item(IDC_SETTINGS_ACCOUNT));
    if (typed == virtualAccountCaption(serviceName)) return "virtual";
    return storedAccountSpelling(typed, serviceName);
}

std::vector<std::string> ServiceSettingsDialog::typedDependencies() {
    return trimmedLines(textOf(item(IDC_SETTINGS_DEPENDENCIES)));
}

// Only what changed is handed over, so a value the session would question
// is not asked about again when the user did not touch it.
void ServiceSettingsDialog::handOver() {
    Editing& editing = *editing_;
    const Configuration before = editing.configuration();
    bool taken = true;
    auto hand = [&](Field field, const std::string& value, const std::string& was) {
        if (value != was) taken = editing.edit(field, value).done() && taken;
    };
    const LRESULT startup = SendDlgItemMessageW(window_, IDC_SETTINGS_STARTUP, CB_GETCURSEL, 0, 0);
    if (startup >= 0 && static_cast<std::size_t>(startup) < startupTypes().size())
        hand(Field::StartupType, startupTypes()[static_cast<std::size_t>(startup)],
             startupTypeName(before.startupType));
    hand(Field::ServiceAccount, chosenAccount(), before.serviceAccount);
    for (const TextBox& box : kTextBoxes)
        hand(box.field, textOf(item(box.id)), fieldText(before, storedField(box.field)));
    hand(Field::RecoveryOnErrorExit, IsDlgButtonChecked(window_, IDC_SETTINGS_ON_ERROR_EXIT) == BST_CHECKED ? "1" : "0",
         before.recoveryOnErrorExit ? "1" : "0");
    // The name shown as the display name is no display name of its own.
    const std::string displayName = textOf(item(IDC_SETTINGS_DISPLAY_NAME));
    hand(Field::DisplayName, displayName == before.serviceName ? "" : displayName, before.displayName);
    if (const auto dependencies = typedDependencies(); dependencies != before.dependencies)
        taken = editing.replaceList(Field::Dependencies, dependencies).done() && taken;
    if (const auto environment = typedLines(textOf(item(IDC_SETTINGS_ENVIRONMENT))); environment != before.environment)
        taken = editing.replaceList(Field::Environment, environment).done() && taken;
    // One refused value takes back the others: the dialog stays open with what was typed.
    if (!taken) {
        editing.restore(before);
        return;
    }
    close();
}

void ServiceSettingsDialog::close() { hideForOwner(owner_); }

}  // namespace velmora
