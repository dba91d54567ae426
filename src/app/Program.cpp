#include "app/Program.h"

#include "app/Imports.h"
#include "checks/PathRules.h"

namespace velmora {

Program::Program(Platform& platform, FrontEnd& frontEnd, DebugLog& debugLog, SetterChecks checks)
    : platform(platform),
      frontEnd(frontEnd),
      store(platform.registry),
      editing(platform, store, frontEnd, checks),
      journal(platform.events, debugLog),
      logs(platform, store, journal),
      session(platform, store, editing, frontEnd, debugLog, journal, logs),
      transfer(
          store, platform.files, platform.environment,
          [&platform](const DecodedEntry& entry) { return completedEntry(entry, platform); },
          // What a save refuses is not imported either.
          [](const Configuration& c) { return startRefusal(c).why; }) {}

}  // namespace velmora
