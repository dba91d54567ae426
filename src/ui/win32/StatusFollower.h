#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <thread>

#include "service/ServiceStatus.h"

namespace velmora {

// Asks for a service's status off the window's thread: the answer may wait
// for a ready URL for seconds, and the window must not. One question is out
// at a time; when its answer is found the window is sent a posted message,
// and takes the answer with take(). A question asked while another is out
// is remembered, for the window to ask once that one is back.
class StatusFollower {
public:
    struct Answered {
        StatusQuestion question;
        StatusCheck check;
        bool showAnyway = false;
        unsigned era = 0;  // the window's count of commands when it asked
    };
    using Answering = std::function<StatusCheck(const StatusQuestion&)>;

    StatusFollower(HWND window, UINT answeredMessage) : window_(window), message_(answeredMessage) {}
    ~StatusFollower() { finish(); }
    StatusFollower(const StatusFollower&) = delete;
    StatusFollower& operator=(const StatusFollower&) = delete;

    void ask(StatusQuestion question, bool showAnyway, unsigned era, Answering answering);
    // On the message; nothing when no question was out.
    std::optional<Answered> take();
    // Whether to ask again, and whether that answer is shown anyway; once.
    std::optional<bool> askedMeanwhile();
    // Waits for a question still out; its answer is not taken.
    void finish();

private:
    HWND window_;
    UINT message_;
    std::thread thread_;
    Answered answered_;
    std::optional<bool> askedMeanwhile_;
};

}  // namespace velmora
