#include "checks/Questions.h"

namespace velmora {

QuestionLook lookOf(QuestionKind kind) {
    switch (kind) {
        case QuestionKind::InstallDespiteProblems: return {"Confirm", true, true};
        case QuestionKind::CreateMissingFolder: return {"Missing Folder", false, false};
        case QuestionKind::MoveWithHome:
        case QuestionKind::MoveWithBase: return {"Change Detected", false, false};
        case QuestionKind::GrantRights:
        case QuestionKind::GrantLogOnRight: return {"Account Rights", false, false};
        case QuestionKind::SwitchJdk: return {"JDK Moved", false, false};
        case QuestionKind::RestartAfterChange: return {"Confirm", false, false};
        default: return {"Confirm", false, true};
    }
}

}  // namespace velmora
