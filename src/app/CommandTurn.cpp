#include "app/CommandTurn.h"

namespace velmora {

CommandTurn::CommandTurn(CommandLock& lock, FrontEnd& frontEnd, ConfigurationStore& store) : lock_(lock) {
    bool waited = false;
    const MaybeFailure failure = lock_.acquire([&] {
        waited = true;
        frontEnd.waitingForTurn(true);
    });
    if (waited) frontEnd.waitingForTurn(false);
    held_ = !failure;
    givenUp_ = failure && failure->number == kWaitGivenUp;
    if (givenUp_)
        refusal_ = "The wait for another Velmora command on this computer was given up. Nothing was changed.";
    else if (failure)
        refusal_ = "Another Velmora command on this computer did not finish in time (" + failure->description +
                   "). Nothing was changed; try again once it has.";
    else if (const MaybeFailure notTakenIn = store.takeInOlderStore()) {
        refusal_ = "Nothing was changed: " + notTakenIn->description;
        lock_.release();
        held_ = false;
    }
}

CommandTurn::~CommandTurn() {
    if (held_) lock_.release();
}

}  // namespace velmora
