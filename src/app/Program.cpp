#include "app/Program.h"

#include "app/Imports.h"

namespace velmora {

Program::Program(Platform& platform, FrontEnd& frontEnd, DebugLog& debugLog, SetterChecks checks)
    : platform(platform),
      frontEnd(frontEnd),
      store(platform.registry),
      editing(platform, store, frontEnd, checks),
      journal(platform.events, debugLog),
      logs(platform, store, journal),
      session(platform, store, editing, frontEnd, debugLog, journal, logs),
      transfer(store, platform.files,
               [&platform](const DecodedEntry& entry) { return completedEntry(entry, platform); }) {}

}  // namespace velmora
