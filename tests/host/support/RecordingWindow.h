#pragma once
#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "config/DoConfig.h"
#include "ui/WindowSurface.h"

namespace velmora::testing {

// Keeps what the logic shows, the way the real window would: the options
// list sorted ignoring case, and a changed check box acting like a click,
// which hands its value back to DoConfig.
class RecordingWindow : public WindowSurface {
public:
    std::string fieldText(FieldControl c) override { return fields[c]; }
    void setFieldText(FieldControl c, const std::string& text) override { fields[c] = text; }

    int checkValue(CheckControl c) override { return checks[c]; }
    void setCheckValue(CheckControl c, int value) override {
        const int checked = value != 0;
        if (checks[c] == checked) return;
        checks[c] = checked;
        clicks.push_back(checked);
        if (!config) return;
        auto flag = static_cast<std::int16_t>(checked);
        c == CheckControl::Check1 ? config->setUseSecurityManager(flag) : config->setReduceOsSignals(flag);
    }

    bool isServerJvmSelected() override { return serverSelected; }
    void selectJvmOption(bool server) override { serverSelected = server; }

    void clearList1() override { options.clear(); }
    void addToList1(const std::string& option) override {
        auto less = [](const std::string& a, const std::string& b) {
            return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
                return std::tolower(x) < std::tolower(y);
            });
        };
        options.insert(std::upper_bound(options.begin(), options.end(), option, less), option);
    }
    int list1Count() override { return static_cast<int>(options.size()); }
    std::string list1Item(int i) override { return options.at(static_cast<std::size_t>(i)); }
    void removeFromList1(int i) override { options.erase(options.begin() + i); }
    int list1Selection() override { return selectedOption; }

    std::string optionEntryText() override { return entryText; }
    void setOptionEntryText(const std::string& text) override { entryText = text; }

    std::string installCaption() override { return install; }
    void setInstallCaption(const std::string& caption) override { install = caption; }
    std::string startCaption() override { return start; }
    void setStartCaption(const std::string& caption) override { start = caption; }
    void setStartEnabled(bool enabled) override { startEnabled = enabled; }

    std::string statusText() override { return status; }
    void setStatusText(const std::string& text) override { status = text; }

    void lockServiceName() override { serviceNameLocked = true; }
    void unlockServiceName() override { serviceNameLocked = false; }
    void focusServiceName() override {}
    void setPolicyRowEnabled(bool) override {}
    void setCaption(const std::string& text) override { caption = text; }

    void showNotice(const std::string& text) override { noticeVisible = true, notices.push_back(text); }
    void hideNotice() override { noticeVisible = false; }

    void appendDebugLog(const std::string& line) override { debugLines.push_back(line); }


    std::map<FieldControl, std::string> fields;
    std::map<CheckControl, int> checks{{CheckControl::Check1, 0}, {CheckControl::Check2, 1}};
    std::vector<std::string> options, notices, debugLines;
    std::string entryText, install = "Install", start = "Start", status, caption;
    int selectedOption = -1;
    bool serverSelected = true, startEnabled = false, serviceNameLocked = false, noticeVisible = false;
    DoConfig* config = nullptr;
    std::vector<int> clicks;  // check box values handed back
};

}  // namespace velmora::testing
