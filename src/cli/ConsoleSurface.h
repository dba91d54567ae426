#pragma once
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "ui/WindowSurface.h"

namespace velmora::cli {

// The main window's state without a window: what the logic shows is kept in
// memory, so the command line reads it back as the window's user would. The
// options stay sorted as the window's sorted list keeps them.
class ConsoleSurface : public WindowSurface {
public:
    // The "Working..." notices are printed only where a command asks for
    // them: a save also runs a removal, whose "Stopping" would mislead there.
    void printNoticesTo(std::ostream& notices) { notices_ = &notices; }

    std::string fieldText(FieldControl control) override { return fields_[control]; }
    void setFieldText(FieldControl control, const std::string& text) override { fields_[control] = text; }
    int checkValue(CheckControl control) override { return checks_[control]; }
    void setCheckValue(CheckControl control, int value) override { checks_[control] = value; }
    bool isServerJvmSelected() override { return serverJvm_; }
    void selectJvmOption(bool server) override { serverJvm_ = server; }

    void clearList1() override { options_.clear(); }
    void addToList1(const std::string& option) override;
    int list1Count() override { return static_cast<int>(options_.size()); }
    std::string list1Item(int index) override { return options_.at(static_cast<std::size_t>(index)); }
    void removeFromList1(int index) override { options_.erase(options_.begin() + index); }
    int list1Selection() override { return -1; }
    std::string optionEntryText() override { return {}; }
    void setOptionEntryText(const std::string&) override {}

    std::string installCaption() override { return installCaption_; }
    void setInstallCaption(const std::string& caption) override { installCaption_ = caption; }
    std::string startCaption() override { return startCaption_; }
    void setStartCaption(const std::string& caption) override { startCaption_ = caption; }
    void setStartEnabled(bool) override {}
    std::string statusText() override { return status_; }
    void setStatusText(const std::string& text) override { status_ = text; }

    void lockServiceName() override {}
    void unlockServiceName() override {}
    void focusServiceName() override {}
    void setPolicyRowEnabled(bool) override {}
    void setCaption(const std::string&) override {}

    void showNotice(const std::string& text) override {
        if (notices_) *notices_ << text << std::endl;  // before the command's own output
    }
    void hideNotice() override {}
    // Failure lines go to the debug log only when one is asked for; the
    // command line prints its outcome instead.
    void appendDebugLog(const std::string&) override {}

private:
    std::ostream* notices_ = nullptr;
    std::map<FieldControl, std::string> fields_;
    std::map<CheckControl, int> checks_;
    bool serverJvm_ = true;
    std::vector<std::string> options_;
    std::string installCaption_ = "Install";
    std::string startCaption_ = "Start";
    std::string status_;
};

}  // namespace velmora::cli
