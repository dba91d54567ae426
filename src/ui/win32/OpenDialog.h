#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/win32/DialogWindow.h"

namespace velmora {

// "Open Config": picks a stored configuration by name. Modeless, created on
// first use and then only shown and hidden; its list is read afresh
// whenever it becomes active.
class OpenDialog : public DialogWindow {
public:
    using Names = std::function<std::vector<std::string>()>;
    using Choose = std::function<void(const std::string&)>;

    void show(HINSTANCE instance, HWND owner, Names names, Choose choose);

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void createControls();
    void fillList();
    void chooseTypedName();

    HINSTANCE instance_ = nullptr;
    Names names_;
    Choose choose_;
};

}  // namespace velmora
