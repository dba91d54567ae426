#include "ui/win32/AdoptDialog.h"

#include "app/Session.h"
#include "config/ConfigurationFields.h"
#include "platform/win32/WideText.h"
#include "ui/win32/ResourceIds.h"
#include "ui/win32/WindowText.h"

namespace velmora {

namespace {

std::string joinedLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += (text.empty() ? "" : "\r\n") + line;
    return text;
}

}  // namespace

void AdoptDialog::show(HINSTANCE instance, HWND owner, Session& session, Adopt adopt) {
    owner_ = owner;
    session_ = &session;
    adopt_ = std::move(adopt);
    if (!window_) {
        if (!create(instance, IDD_ADOPT, owner)) return;
        setTabStops();
    }
    fillList();
    showOverOwner(owner_, IDC_ADOPT_LIST);
}

void AdoptDialog::onDpiChanged(UINT dpi, const RECT* suggested) {
    DialogWindow::onDpiChanged(dpi, suggested);
    setTabStops();
    InvalidateRect(item(IDC_ADOPT_LIST), nullptr, TRUE);
}

// Name, state, Tomcat version and why it is not Velmora's, in dialog units.
void AdoptDialog::setTabStops() {
    const int tabs[] = {110, 160, 210};
    SendDlgItemMessageW(window_, IDC_ADOPT_LIST, LB_SETTABSTOPS, 3, reinterpret_cast<LPARAM>(tabs));
}

INT_PTR AdoptDialog::onMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: adoptChosen(); return TRUE;
                case IDCANCEL: close(); return TRUE;
                case IDC_ADOPT_LIST:
                    if (HIWORD(wParam) == LBN_SELCHANGE) showChosen();
                    if (HIWORD(wParam) == LBN_DBLCLK) adoptChosen();
                    return TRUE;
            }
            return FALSE;
        case WM_CLOSE: close(); return TRUE;
    }
    return FALSE;
}

void AdoptDialog::fillList() {
    HWND list = item(IDC_ADOPT_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    names_.clear();
    const AdoptableServices found = session_->adoptableServices();
    for (const AdoptableService& service : found.services) {
        const std::string line = service.name + "\t" + statusWord(service.status) + "\t" +
                                 (service.tomcatVersion.empty() ? "?" : service.tomcatVersion) + "\t" + service.reason;
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(line).c_str()));
        names_.push_back(service.name);
    }
    std::string said = "Choose a service to see what taking it over would store.";
    if (found.failure) said = "The services of this computer could not be listed: " + found.failure->description;
    if (!found.failure && names_.empty())
        said = "No service of this computer runs a Tomcat service wrapper without being Velmora's.";
    setTextOf(item(IDC_ADOPT_PREVIEW), said);
    EnableWindow(item(IDOK), FALSE);
}

void AdoptDialog::showChosen() {
    const LRESULT chosen = SendDlgItemMessageW(window_, IDC_ADOPT_LIST, LB_GETCURSEL, 0, 0);
    if (chosen == LB_ERR || static_cast<std::size_t>(chosen) >= names_.size()) return;
    const AdoptionPreview preview = session_->previewAdoption(names_[static_cast<std::size_t>(chosen)]);
    std::vector<std::string> lines;
    if (!preview.check.service) {
        lines.push_back(preview.check.refusal);
    } else if (!preview.failure.empty()) {
        lines.push_back(preview.failure);
    } else {
        const AdoptableService& service = *preview.check.service;
        lines = {"Display name: " + service.displayName, "Runs: " + service.programLine,
                 "Tomcat home: " + service.catalinaHome, "Wrapper: " + service.road,
                 "Not Velmora's: " + service.reason};
        if (service.stored)
            lines.push_back("A configuration of this name is stored: taking the service over replaces it.");
        lines.push_back("");
        lines.push_back("The configuration it would be stored as:");
        lines.push_back("name = " + service.name);
        for (const StoredField& field : storedFields())
            for (auto& line : fieldLines(preview.config, field)) lines.push_back(std::move(line));
        if (!preview.notKept.empty()) {
            lines.push_back("");
            lines.push_back("What the service holds that the configuration cannot keep:");
            for (const auto& line : preview.notKept) lines.push_back(line);
        }
    }
    setTextOf(item(IDC_ADOPT_PREVIEW), joinedLines(lines));
    EnableWindow(item(IDOK), preview.check.service && preview.failure.empty());
}

void AdoptDialog::adoptChosen() {
    const LRESULT chosen = SendDlgItemMessageW(window_, IDC_ADOPT_LIST, LB_GETCURSEL, 0, 0);
    if (chosen == LB_ERR || static_cast<std::size_t>(chosen) >= names_.size()) return;
    const std::string name = names_[static_cast<std::size_t>(chosen)];
    close();
    adopt_(name);
}

void AdoptDialog::close() { hideForOwner(owner_); }

}  // namespace velmora
