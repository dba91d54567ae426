#include "ui/win32/StatusFollower.h"

#include <utility>

namespace velmora {

void StatusFollower::ask(StatusQuestion question, bool showAnyway, unsigned era, Answering answering) {
    if (thread_.joinable()) {
        askedMeanwhile_ = askedMeanwhile_.value_or(false) || showAnyway;
        return;
    }
    answered_ = {std::move(question), {}, showAnyway, era};
    // The answer is written before the message is posted and read after the join: never at once.
    thread_ = std::thread([this, answering = std::move(answering)] {
        answered_.check = answering(answered_.question);
        PostMessageW(window_, message_, 0, 0);
    });
}

std::optional<StatusFollower::Answered> StatusFollower::take() {
    if (!thread_.joinable()) return std::nullopt;
    thread_.join();
    return answered_;
}

std::optional<bool> StatusFollower::askedMeanwhile() { return std::exchange(askedMeanwhile_, std::nullopt); }

void StatusFollower::finish() {
    if (thread_.joinable()) thread_.join();
    askedMeanwhile_.reset();
}

}  // namespace velmora
