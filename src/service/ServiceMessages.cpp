#include "service/ServiceMessages.h"

#include "platform/Text.h"
#include "platform/WindowsPaths.h"

namespace velmora::messages {

std::string howItEnded(const ProcessRun& run, const ProcessResult& result) {
    const std::string& program = run.program;
    switch (result.ending) {
        case ProcessResult::Ending::Exited: return "exit code " + std::to_string(result.exitCode);
        case ProcessResult::Ending::NotStarted: return program + " could not be started: " + result.failure.description;
        case ProcessResult::Ending::StoppedAtBound:
            return program + " did not finish within " + std::to_string(run.boundMs / 1000) +
                   " seconds and was stopped";
        case ProcessResult::Ending::LeftRunning:
            return program + " did not finish within " + std::to_string(run.boundMs / 1000) +
                   " seconds and could not be stopped: it is still running";
    }
    return {};
}

std::string stillStopping(const std::string& name, std::uint32_t waitedSeconds) {
    return "The service \"" + name + "\" was still stopping after " + std::to_string(waitedSeconds) +
           " s: it was not started. Start it once it has stopped.";
}

std::string noSuchService(const std::string& name, const std::string& verb) {
    return "The service manager knows no service named \"" + name + "\": it was removed outside Velmora. Nothing was " +
           verb + ".";
}

std::string stopNotTaken(const std::string& name, const std::string& state) {
    return "The service \"" + name + "\" did not take the stop; its state: " + state + ". Nothing more was done.";
}

std::string notStoppedWithin(const std::string& name, std::uint32_t seconds, const std::string& state) {
    return "The service \"" + name + "\" did not stop within " + std::to_string(seconds) + " s; its state: " + state +
           ". Nothing more was done.";
}

std::string withOutput(const std::string& message, const std::string& program, const std::string& output) {
    std::string said = output;
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r' || said.back() == ' ')) said.pop_back();
    if (said.empty()) return message;
    // Its line ends are line ends, not control characters to write out.
    for (auto at = said.find("\r\n"); at != std::string::npos; at = said.find("\r\n", at)) said.erase(at, 1);
    return message + " " + lastPathPart(program) + " said: " + visibleText(said);
}

std::string foreignService(const std::string& name, const std::string& programLine) {
    return "A service named \"" + name +
           "\" already exists on this computer and was not installed by Velmora "
           "for this configuration (it runs " +
           programLine + "). Nothing was changed.";
}

std::string serviceAppearedMeanwhile(const std::string& name, const std::string& programLine) {
    return "The service wrapper did not register the service \"" + name +
           "\": a service of that name that runs another program (" + programLine +
           ") was registered meanwhile. Velmora left it as it is.";
}

std::string serviceNoLongerOurs(const std::string& name, const std::string& programLine) {
    return "The service \"" + name + "\" is not the one Velmora installed for this configuration (it now runs " +
           programLine + "), so Velmora neither stops, replaces nor removes it.";
}

std::string serviceNotRecorded(const std::string& name, const std::string& programLine) {
    return "The configuration \"" + name +
           "\" is marked as installed but keeps no record of what Velmora installed (an older store or a restored "
           "backup), so the service \"" +
           name + "\" (it runs " + programLine +
           ") is not taken for Velmora's: Velmora neither stops, changes nor removes it. Nothing was changed. To "
           "manage "
           "it with Velmora, take it over on purpose: velmora-cli adopt " +
           name + " --replace (File > Adopt... in the window). Deleting the configuration leaves the service as it is.";
}

std::string unrecordedServiceLeft(const std::string& name, const std::string& programLine) {
    return "The configuration \"" + name +
           "\" keeps no record of what Velmora installed (an older store or a restored backup), so the service \"" +
           name + "\" (it runs " + programLine + ") is not taken for Velmora's and stays as it is.";
}

std::string changedWrapperCopy(const std::string& name, const std::string& path, const std::string& refusedAct) {
    return "The file " + path +
           " is no longer the copy of the service wrapper that Velmora made when it installed the service \"" + name +
           "\" (it has changed or is gone), so Velmora does not " + refusedAct + ". Nothing was changed.";
}

std::string serviceGoneBeforeChange(const std::string& name) {
    return "The service \"" + name +
           "\" is no longer installed, so its start-up values were not changed. Save again to install it anew.";
}

std::string serviceLookupFailed(const std::string& name, const std::string& reason) {
    return "The service manager could not be asked about the service \"" + name + "\": " + reason +
           " Nothing was changed.";
}

std::string serviceUnknownAfterWrapper(const std::string& name, const std::string& reason) {
    return "The service wrapper ran, but the service manager could not be asked about the service \"" + name +
           "\" afterwards: " + reason +
           " Whether it is registered is not known: look at it in the Services console "
           "before you try again.";
}

std::string serviceStateNotWatched(const std::string& name, const std::string& verb, const std::string& reason) {
    return "The service \"" + name + "\" was asked to " + verb +
           ", but the service manager could not be asked how that went: " + reason + " Whether it runs is not known.";
}

std::string foreignWrapperCopy(const std::string& path, const std::string& source) {
    return "The file " + path + " is not a copy of " + source +
           " made by Velmora, so Velmora neither runs, replaces nor deletes it. Nothing was changed.";
}

std::string serviceNotRegistered(const std::string& name, const std::string& ending, const std::string& leftBehind) {
    return "The service wrapper did not register the service \"" + name + "\" (" + ending +
           "). The service is not installed; see the diagnostic report and the wrapper's own log for the reason." +
           (leftBehind.empty() ? "" : " Left behind: " + leftBehind + ".");
}

std::string serviceStillRegistered(const std::string& name, const std::string& ending) {
    return "The service \"" + name + "\" is still registered: the service wrapper did not remove it (" + ending +
           "). Stop it and try again.";
}

std::string serviceRemovalPending(const std::string& name) {
    return "The service \"" + name +
           "\" was removed by its wrapper but is still registered: a program that has it open (the Services "
           "console, Event Viewer, a monitoring agent) keeps it until that program closes, and then Windows deletes "
           "it. Close those programs; install it again once it is gone.";
}

std::string wrapperCopyStillThere(const std::string& name, const std::string& path) {
    return "The service \"" + name + "\" has been removed, but its wrapper copy " + path +
           " could not be deleted: it may still be in use. Delete it once the service's program has ended.";
}

std::string wrapperNotCopied(const std::string& source, const std::string& target, const std::string& reason) {
    return "The service wrapper " + source + " could not be copied to " + target + ": " + reason +
           " The service is not installed.";
}

std::string storeNotWritten(const std::string& name, const std::string& reason) {
    return "The configuration \"" + name + "\" could not be written to the registry: " + reason +
           " Run Velmora as an administrator.";
}

std::string serviceValuesNotWritten(const std::string& name, const std::string& reason) {
    return "The start-up values of the service \"" + name + "\" could not be written to the registry: " + reason;
}

std::string netNotRun(const std::string& verb, const std::string& name, const std::string& ending) {
    const bool ended = !ending.empty() && ending.back() == '.';  // a system message ends with its own
    return "\"net " + verb + "\" for the service \"" + name + "\" did not run as it should: " + ending +
           (ended ? "" : ".");
}

std::string startFailed(const StartDiagnosis& diagnosis) {
    std::string text = diagnosis.sentence;
    if (!diagnosis.evidence.empty()) {
        text += "\r\n";
        for (const auto& line : diagnosis.evidence) text += "\r\n" + line;
    }
    return text;
}

}  // namespace velmora::messages
