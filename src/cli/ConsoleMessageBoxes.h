#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "platform/MessageBoxes.h"

namespace velmora::cli {

// Message boxes for a console: each box is printed, none waits for a user.
// Questions are answered No (Cancel) unless Yes was asked for; a "Confirm"
// answered so refuses the command. A "Confirm" answered Yes accepts the
// warnings that came before it, as a user clicking on would.
class ConsoleMessageBoxes : public MessageBoxes {
public:
    ConsoleMessageBoxes(std::ostream& info, std::ostream& problems) : info_(&info), problems_(problems) {}

    int show(const std::string& text, int buttons, const std::string& title) override;

    void answerYes(bool yes) { yes_ = yes; }
    void sendInfoTo(std::ostream& info) { info_ = &info; }

    // Forgets what was shown so far: a command judges only its own operation.
    void startOperation();
    bool refused() const { return refused_; }
    const std::vector<std::string>& warnings() const { return warnings_; }

private:
    std::ostream* info_;
    std::ostream& problems_;
    bool yes_ = false;
    bool refused_ = false;
    std::vector<std::string> warnings_;
};

}  // namespace velmora::cli
