#pragma once
#include <string>

#include "platform/Processes.h"
#include "service/StartDiagnosis.h"

namespace velmora::messages {

inline std::string stoppingNotice(const std::string& name) { return "Stopping the \"" + name + "\" service..."; }
inline std::string startingNotice(const std::string& name) { return "Starting the \"" + name + "\" service..."; }

inline std::string serviceInstalled(const std::string& name) { return "Service \"" + name + "\" installed."; }
inline std::string serviceUninstalled(const std::string& name) {
    return "Service \"" + name + "\" has been uninstalled.";
}

// How a program run ended, for a message: "exit code 2", or why it did not.
std::string howItEnded(const ProcessRun& run, const ProcessResult& result);
// net is asked to start or stop a service the service manager does not know.
std::string noSuchService(const std::string& name, const std::string& verb);
std::string stillStopping(const std::string& name, std::uint32_t waitedSeconds);
std::string stopNotTaken(const std::string& name, const std::string& state);
std::string notStoppedWithin(const std::string& name, std::uint32_t seconds, const std::string& state);

// A message with what the program wrote, when it wrote anything.
std::string withOutput(const std::string& message, const std::string& program, const std::string& output);

// Refusals and outcomes of the safety rules: Velmora touches only what it made.
std::string foreignService(const std::string& name, const std::string& programLine);
// Found where the wrapper should have registered the service: someone else's, made meanwhile.
std::string serviceAppearedMeanwhile(const std::string& name, const std::string& programLine);
std::string serviceNoLongerOurs(const std::string& name, const std::string& programLine);
std::string serviceNotRecorded(const std::string& name, const std::string& programLine);
std::string unrecordedServiceLeft(const std::string& name, const std::string& programLine);
// refusedAct: what Velmora does not do with it ("run it to remove the service").
std::string changedWrapperCopy(const std::string& name, const std::string& path, const std::string& refusedAct);
std::string serviceGoneBeforeChange(const std::string& name);
std::string serviceLookupFailed(const std::string& name, const std::string& reason);
// The same once the wrapper ran to register or remove it: what it did is not known.
std::string serviceUnknownAfterWrapper(const std::string& name, const std::string& reason);
// A start or stop handed over, whose end could not be watched; verb: "start", "stop".
std::string serviceStateNotWatched(const std::string& name, const std::string& verb, const std::string& reason);
std::string foreignWrapperCopy(const std::string& path, const std::string& source);
std::string serviceNotRegistered(const std::string& name, const std::string& ending, const std::string& leftBehind);
std::string serviceStillRegistered(const std::string& name, const std::string& ending);
// Removed by its wrapper, yet kept while a program has it open: marked for deletion.
std::string serviceRemovalPending(const std::string& name);
std::string wrapperCopyStillThere(const std::string& name, const std::string& path);
std::string wrapperNotCopied(const std::string& source, const std::string& target, const std::string& reason);
std::string storeNotWritten(const std::string& name, const std::string& reason);
std::string serviceValuesNotWritten(const std::string& name, const std::string& reason);
// The start's diagnosis: its sentence, then the lines that show it.
std::string startFailed(const StartDiagnosis& diagnosis);
inline std::string readinessNotAsked(const std::string& name, const std::string& why) {
    return "The service \"" + name + "\" runs; whether Tomcat answers could not be asked: " + why;
}
std::string netNotRun(const std::string& verb, const std::string& name, const std::string& ending);

}  // namespace velmora::messages
