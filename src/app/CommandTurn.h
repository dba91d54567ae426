#pragma once
#include <string>

#include "app/FrontEnd.h"
#include "config/ConfigurationStore.h"
#include "platform/CommandLock.h"

namespace velmora {

// One command's turn: the machine's command lock, held from before the
// command looks at the store or a service until it is done. A second command
// waits for the first (and says so), then sees what the first left.
class CommandTurn {
public:
    // An older Velmora's store is taken in first: a store it keeps from being written refuses the turn.
    CommandTurn(CommandLock& lock, FrontEnd& frontEnd, ConfigurationStore& store);
    ~CommandTurn();
    CommandTurn(const CommandTurn&) = delete;
    CommandTurn& operator=(const CommandTurn&) = delete;

    // Why the turn could not be had; empty while it is held.
    const std::string& refusal() const { return refusal_; }
    // Whether its wait was given up (the window closed meanwhile): no one waits for the refusal then.
    bool givenUp() const { return givenUp_; }

private:
    CommandLock& lock_;
    bool held_ = false;
    bool givenUp_ = false;
    std::string refusal_;
};

}  // namespace velmora
