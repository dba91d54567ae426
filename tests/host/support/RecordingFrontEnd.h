#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/FrontEnd.h"

namespace velmora::testing {

// Keeps what the program shows; answers its questions as a test says, by kind, else Yes.
class RecordingFrontEnd : public FrontEnd {
public:
    Answer ask(const Question& question) override {
        asked.push_back(question);
        if (whileAsking) whileAsking(question);
        auto it = answers.find(question.kind);
        return it == answers.end() ? Answer::Yes : it->second;
    }
    void warn(const std::string& text) override { warnings.push_back(text); }
    void tell(const std::string& text) override { notices.push_back(text); }
    void waitingForTurn(bool waiting) override {
        if (waiting) notices.push_back("(waiting for the turn)");
    }
    void begin(const std::string&) override {}
    void end() override {}
    void showConfiguration(const Configuration& c, bool, const std::string& version) override {
        shown = c;
        tomcatVersion = version;
    }
    std::optional<std::string> password(const std::string& account) override {
        passwordsAskedFor.push_back(account);
        return givenPassword;
    }
    void showServiceState(bool, ServiceStatus shownStatus, const std::string& cause) override {
        status = shownStatus;
        failedStartCause = cause;
    }

    std::vector<QuestionKind> askedKinds() const {
        std::vector<QuestionKind> kinds;
        for (const auto& q : asked) kinds.push_back(q.kind);
        return kinds;
    }
    void forget() {
        asked.clear();
        warnings.clear();
        notices.clear();
    }

    std::map<QuestionKind, Answer> answers;
    // What goes on elsewhere while a question waits for its answer.
    std::function<void(const Question&)> whileAsking;
    std::vector<Question> asked;
    std::vector<std::string> warnings, notices, passwordsAskedFor;
    std::optional<std::string> givenPassword;
    Configuration shown;
    ServiceStatus status = ServiceStatus::NotInstalled;
    std::string failedStartCause, tomcatVersion;
};

}  // namespace velmora::testing
