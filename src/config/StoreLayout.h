#pragma once
#include <string>

namespace velmora::store {

inline const std::string kStoreKey = "SOFTWARE\\velmoraconfigs";
inline const std::string kListValue = "services";
// Set once an older, 32-bit Velmora's configurations were taken into this store.
inline const std::string kOlderStoreTakenIn = "older.store.taken.in";
// Where 64-bit Windows keeps the store of an older, 32-bit Velmora.
inline const std::string kOlderStoreKey = "SOFTWARE\\WOW6432Node\\velmoraconfigs";

inline std::string configurationKey(const std::string& name) { return kStoreKey + "\\" + name; }

inline const std::string kCatalinaHome = "tomcat.home";
inline const std::string kSystemOut = "system.out";
inline const std::string kSystemErr = "system.err";
inline const std::string kTomcatConfig = "tomcat.config";
inline const std::string kCatalinaBase = "catalina.base";
inline const std::string kSecurityManager = "java.security.manager";
inline const std::string kSecurityPolicy = "java.security.policy";
inline const std::string kJvm = "jvm";
inline const std::string kJavaHome = "java.home";
inline const std::string kClassPath = "java.class.path";
inline const std::string kTempDirectory = "java.io.tmpdir";
inline const std::string kInitialHeap = "init.heap.size";
inline const std::string kMaxHeap = "max.heap.size";
inline const std::string kDescription = "description";
inline const std::string kReduceOsSignals = "reduce.os.signals";
inline const std::string kThreadStack = "thread.stack.size";
inline const std::string kInstalled = "installedaservice";
inline const std::string kAdditionalOptions = "additional.jvm.options";
inline const std::string kStartupType = "service.startup";
inline const std::string kServiceAccount = "service.account";
inline const std::string kDependencies = "service.depends.on";
inline const std::string kStopTimeout = "service.stop.timeout";
inline const std::string kRecoveryFirst = "service.recovery.first";
inline const std::string kRecoverySecond = "service.recovery.second";
inline const std::string kRecoveryLater = "service.recovery.later";
inline const std::string kRecoveryReset = "service.recovery.reset";
inline const std::string kRecoveryOnErrorExit = "service.recovery.on.error.exit";
inline const std::string kDisplayName = "service.display.name";
inline const std::string kEnvironment = "service.environment";
inline const std::string kReadyUrl = "service.ready.url";
inline const std::string kStartTimeout = "service.start.timeout";
inline const std::string kLogsKeepDays = "logs.keep.days";
inline const std::string kLogsMaxMb = "logs.max.mb";

// What Velmora installed, recorded at install: the service's program line as
// the service manager keeps it, the mark written into the service's own key,
// and the digest of the wrapper copy it made (none on the Tomcat 7-11 road).
inline const std::string kInstalledProgramLine = "installed.program.line";
inline const std::string kInstalledMark = "installed.mark";
inline const std::string kInstalledProgramDigest = "installed.program.digest";
inline const std::string kInstalledSettingsApplied = "installed.settings.applied";
// 1 for a service made elsewhere that Velmora took over (adopt) instead of installing it.
inline const std::string kInstalledAdopted = "installed.adopted";
// The folders Velmora created for the configuration (answering "Missing
// Folder" Yes): it may give the service's account rights on them.
inline const std::string kCreatedFolders = "created.folders";

}  // namespace velmora::store
