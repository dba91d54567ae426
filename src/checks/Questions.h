#pragma once
#include <string>

namespace velmora {

// Everything the program may ask a user, by what it is about.
enum class QuestionKind {
    ReplaceStored,           // a new configuration takes a stored one's name
    RestartRunningService,   // a save stops and restarts the running service
    DeleteInstalled,         // a delete removes the service too
    UninstallRunning,        // an uninstall stops the running service
    ReinstallRunning,        // an install finds the service running
    InstallDespiteProblems,  // the check before an install found problems
    CreateMissingFolder,
    MoveWithHome,        // the Catalina home changed
    MoveWithBase,        // the Catalina base changed
    GrantRights,         // the service's account lacks a right on a folder
    GrantLogOnRight,     // a named account may not log on as a service
    SwitchJdk,           // the configured JDK is gone and another of its version is registered
    RestartAfterChange,  // a change of the running service's JDK takes a restart
    TakeOverSetenv,      // setenv.bat's options go into the configuration
    TakeOverService,     // a service made elsewhere becomes Velmora's (adopt)
    UninstallAdopted,    // an uninstall removes a service Velmora took over and did not create
    Upgrade,             // an upgrade stops Tomcat and moves its service to another home or JDK
};

struct Question {
    QuestionKind kind;
    std::string text;          // as the window asks it
    std::string subject = {};  // the file or folder it is about, where a front end words it its own way
};

// Yes (or OK), No (or Cancel), or None when nobody could be asked.
enum class Answer { Yes, No, None };

// How a question is shown: its box title, whether it offers OK and Cancel
// rather than Yes and No, and whether No refuses the whole command (the
// "Confirm" questions) rather than one step of it.
struct QuestionLook {
    const char* title;
    bool okCancel;
    bool confirms;
};
QuestionLook lookOf(QuestionKind kind);

inline const char* const kWarningTitle = "Warning";
inline const char* const kInfoTitle = "Info";

// Where questions and warnings go.
class Questions {
public:
    virtual ~Questions() = default;
    virtual Answer ask(const Question& question) = 0;
    virtual void warn(const std::string& text) = 0;
    // False when nothing asked or warned reaches anyone: a check that can
    // only warn need not look at the disk then.
    virtual bool heard() const { return true; }
};

// Asks nobody: the answer is None and warnings go nowhere. A new
// configuration and a load fill their fields this way.
class NobodyToAsk : public Questions {
public:
    Answer ask(const Question&) override { return Answer::None; }
    void warn(const std::string&) override {}
    bool heard() const override { return false; }
};

}  // namespace velmora
