#pragma once
#include <string>
#include <vector>

#include "app/FrontEnd.h"
#include "app/Outcome.h"

namespace velmora {

// What one operation told and asked the user, as it goes: every warning told
// is noted, and a "Confirm" answered Yes accepts those that came before it,
// as a user who clicks on does.
class Conversation : public Questions {
public:
    explicit Conversation(FrontEnd& frontEnd) : frontEnd_(frontEnd) {}
    Answer ask(const Question& question) override {
        const Answer answer = frontEnd_.ask(question);
        const bool move = question.kind == QuestionKind::MoveWithHome || question.kind == QuestionKind::MoveWithBase;
        // A restart declined leaves the change for the next start: nothing went wrong.
        const bool restart = question.kind == QuestionKind::RestartAfterChange;
        if (lookOf(question.kind).confirms && answer == Answer::Yes) warnings.clear();
        if (move && answer == Answer::No) declinedMove = true;
        if (!move && !restart && !lookOf(question.kind).confirms && answer == Answer::No)
            warnings.push_back(question.text);
        return answer;
    }
    void warn(const std::string& text) override {
        warnings.push_back(text);
        frontEnd_.warn(text);
    }
    bool confirmed(QuestionKind kind, const std::string& text, const std::string& subject = {}) {
        return ask({kind, text, subject}) == Answer::Yes;
    }
    Outcome refuse(const std::string& why) {
        warn(why);
        Outcome outcome = Outcome::refused(why);
        outcome.warnings = warnings;
        return outcome;
    }

    // The outcome of handing over a value: refused when it was not taken,
    // declined when the user would not have the paths moved with it.
    Outcome edited(bool taken) const {
        Outcome outcome;
        outcome.warnings = warnings;
        if (!taken) outcome.result = Outcome::Result::Refused;
        if (taken && declinedMove) outcome.result = Outcome::Result::Declined;
        if (!outcome.done()) outcome.summary = warnings.empty() ? "The paths were not moved." : warnings.back();
        return outcome;
    }

    std::vector<std::string> warnings;
    bool declinedMove = false;

private:
    FrontEnd& frontEnd_;
};

}  // namespace velmora
