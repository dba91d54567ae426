#include "service/ServiceController.h"

#include <algorithm>
#include <map>
#include <utility>

#include "config/ConfigurationFields.h"
#include "config/ServiceAccount.h"
#include "platform/Text.h"
#include "platform/WindowsPaths.h"
#include "service/LastFailedStart.h"
#include "service/LastStop.h"
#include "service/ProgramDigest.h"
#include "service/ServiceMessages.h"
#include "service/ServiceNames.h"
#include "service/ServiceSettings.h"
#include "service/StartWatch.h"

namespace velmora {

namespace {
// The wrapper may hold its file for a moment after it stops; the delete is
// retried without a pause until it goes or the attempts run out.
constexpr int kMaxDeleteRetries = 50000;
// How long a removed service may take to go while another program still has it open.
constexpr std::uint32_t kGoneWithinMs = 3000;
// Larger than any service wrapper; a file this size is not one we copied.
constexpr std::size_t kMaxWrapperBytes = 64u << 20;
}  // namespace

Survey ServiceController::survey(const Configuration& c, bool installed, const InstallRecord& record,
                                 const Configuration* held) {
    Survey s;
    s.config = c;
    s.layout = tomcatLayoutOf(c.catalinaHome, platform_.files);
    s.kind = wrapperKindFor(s.layout, platform_.files);
    s.installed = installed;
    s.record = record;
    s.facts = lookUpService(platform_.services, platform_.registry, c.serviceName);
    s.ownership = ownershipOf(s.facts, installed, record);
    s.installedKind = s.kind;
    s.installedConfig = held ? *held : c;
    if (!record.programLine.empty()) {
        InstalledWrapper installedWrapper = installedWrapperOf(record.programLine, platform_.files);
        s.installedKind = installedWrapper.kind;
        s.installedConfig.catalinaHome = installedWrapper.catalinaHome;
    }
    return s;
}

std::string ServiceController::digestOf(const std::string& path) {
    const auto bytes = platform_.files.readBytes(path, kMaxWrapperBytes);
    return bytes ? sha256Hex(*bytes) : std::string();
}

bool ServiceController::copyIsOurs(const Survey& s, const std::string& target) {
    return !s.record.programDigest.empty() && digestOf(target) == s.record.programDigest;
}

std::string ServiceController::installRefusal(const Survey& s) {
    const std::string& name = s.config.serviceName;
    if (s.ownership == Ownership::Unknown) return messages::serviceLookupFailed(name, s.facts.failure.description);
    if (s.facts.present() && !isOurs(s.ownership)) return messages::foreignService(name, s.facts.programLine);
    return copyRefusal(s);
}

std::string ServiceController::copyRefusal(const Survey& s) {
    const auto copy = s.kind->copy(s.config);
    if (!copy || !platform_.files.fileExists(copy->target) || copyIsOurs(s, copy->target)) return {};
    return messages::foreignWrapperCopy(copy->target, copy->source);
}

std::string ServiceController::actRefusal(const Survey& s) {
    const std::string& name = s.config.serviceName;
    switch (s.ownership) {
        case Ownership::Unknown: return messages::serviceLookupFailed(name, s.facts.failure.description);
        case Ownership::Foreign: return messages::serviceNoLongerOurs(name, s.facts.programLine);
        case Ownership::Unrecorded: return messages::serviceNotRecorded(name, s.facts.programLine);
        case Ownership::Ours:
        case Ownership::NoService: break;
    }
    return {};
}

std::string ServiceController::removalRefusal(const Survey& s) {
    return installedCopyRefusal(s, "run it to remove the service");
}

std::string ServiceController::startRefusal(const Survey& s) {
    return installedCopyRefusal(s, "start the service, which would run it");
}

std::string ServiceController::installedCopyRefusal(const Survey& s, const std::string& refusedAct) {
    if (std::string why = actRefusal(s); !why.empty()) return why;
    const auto copy = s.installedKind->copy(s.installedConfig);
    if (!s.facts.present() || !copy || copyIsOurs(s, copy->target)) return {};
    return messages::changedWrapperCopy(s.config.serviceName, copy->target, refusedAct);
}

// net waits while the service starts or stops: it is given as long as that may take.
ServiceController::NetRun ServiceController::runNet(const std::string& verb, const std::string& name,
                                                    std::uint32_t boundSeconds, std::string* output) {
    const std::uint64_t boundMs = std::max<std::uint64_t>(kProcessBoundMs, std::uint64_t{boundSeconds} * 1000);
    const ProcessRun run{platform_.environment.systemFolder() + "\\net.exe", netCommand(verb, name),
                         static_cast<unsigned>(std::min<std::uint64_t>(boundMs, 0x7FFFFFFF))};
    const ProcessResult result = platform_.processes.run(run);
    progress_.detail(result.output);
    if (output) *output = result.output;
    NetRun net;
    net.asked = result.ending != ProcessResult::Ending::NotStarted;
    // net's own exit code is not looked at: the watch and the status that follow show the outcome.
    if (result.ending == ProcessResult::Ending::Exited) {
        net.failed = result.exitCode != 0;
        if (net.failed) net.step.note = messages::withOutput("", run.program, result.output);
    } else if (!net.asked) {
        net.step = StepResult::failed(messages::withOutput(
            messages::netNotRun(verb, name, messages::howItEnded(run, result)), run.program, result.output));
    } else if (result.ending != ProcessResult::Ending::StoppedAtBound) {
        net.step.warn(messages::withOutput(messages::netNotRun(verb, name, messages::howItEnded(run, result)),
                                           run.program, result.output));
    }
    return net;
}

// net takes a service's display name as well as its own: it is given only a
// name the service manager knows as a service's own, lest it act on another.
std::optional<StepResult> ServiceController::refusalForNet(const std::string& name, const StatusCheck& check,
                                                           const char* verb) {
    if (check.status == ServiceStatus::Gone) return StepResult::failed(messages::noSuchService(name, verb));
    if (check.status == ServiceStatus::Unknown)
        return StepResult::failed(messages::serviceLookupFailed(name, check.failure ? check.failure->description : ""));
    return std::nullopt;
}

// The wrapper has the stop timeout to let Tomcat stop; after that it ends the JVM.
constexpr std::uint32_t kStopMarginSeconds = 30;

Step ServiceController::start(Survey& s) {
    return {"start", [this, &s] {
                progress_.begin(messages::startingNotice(s.config.serviceName));
                StepResult step = startAndWatch(s);
                progress_.end();
                return step;
            }};
}

StepResult ServiceController::startAndWatch(Survey& s) {
    const std::string& name = s.config.serviceName;
    StatusCheck before = askServiceState(platform_.services, name);
    // A service still stopping takes no start: its stop is let end first, for as long as a stop may take, and
    // what it writes meanwhile is not the start's.
    if (before.status == ServiceStatus::StopPending) {
        const std::uint32_t bound = s.config.stopTimeout + kStopMarginSeconds;
        (void)watchStop(platform_.services, platform_.clock, name, platform_.clock.now(), bound);
        before = askServiceState(platform_.services, name);
        if (before.status == ServiceStatus::StopPending)
            return StepResult::failed(messages::stillStopping(name, bound));
    }
    if (auto refused = refusalForNet(name, before, "started")) return *refused;
    const auto sources = evidenceSources(s.config, *s.kind, platform_.environment.systemFolder());
    const EvidenceSnapshot snapshot = EvidenceSnapshot::take(platform_.files, sources);
    StartEvidence evidence;
    evidence.serviceName = name;
    auto probes = readinessProbesOf(s.config, platform_.files);
    if (before.status == ServiceStatus::NotRunning) markHeldBeforeStart(probes, platform_.network);
    evidence.startedAt = platform_.clock.now();
    // The log keeps whole seconds: what stood in it before the start is known by its number.
    const std::uint32_t eventsBefore = platform_.events.newestServiceManagerRecord();
    NetRun net = runNet("start", name, startBoundSeconds(s.config.startTimeout), &evidence.netOutput);
    if (!net.asked) return net.step;
    StepResult& step = net.step;

    const StartWatch watch = watchStart(platform_.services, platform_.network, platform_.clock, name, probes,
                                        evidence.startedAt, s.config.startTimeout);
    if (watch.failure) {
        step.logged.push_back({*watch.failure, "start"});
        step.warn(messages::serviceStateNotWatched(name, "start", watch.failure->description));
        return step;
    }
    if (watch.end == StartWatch::End::Serving) {
        (void)forgetLastFailedStart(platform_.registry, name);
        s.started = StartTimes{watch.runningAfterMs, watch.readyAfterMs, !probes.empty() && s.config.startTimeout};
        if (watch.probeFailure) step.warn(messages::readinessNotAsked(name, watch.probeFailure->description));
        step.note.clear();
        return step;
    }
    evidence.reachedRunning = watch.reachedRunning;
    evidence.timedOut = watch.end == StartWatch::End::StillStarting;
    if (watch.end == StartWatch::End::NotServing) evidence.unanswered = watch.unanswered;
    evidence.boundSeconds = watch.boundSeconds;
    evidence.state = watch.last;
    evidence.files = snapshot.newLines(platform_.files, platform_.environment, evidence.startedAt, watch.processId);
    // The service manager names the service by its display name; its log keeps whole seconds.
    std::vector<std::string> names = {name};
    const auto held = platform_.services.configuration(name);
    if (const auto* config = std::get_if<ServiceConfiguration>(&held); config && !config->displayName.empty())
        names.push_back(config->displayName);
    const FileTime startSecond = evidence.startedAt - evidence.startedAt % kTicksPerSecond;
    std::vector<ServiceManagerEvent> events = platform_.events.serviceManagerEvents(startSecond);
    events.erase(std::remove_if(events.begin(), events.end(),
                                [&](const ServiceManagerEvent& e) { return e.record && e.record <= eventsBefore; }),
                 events.end());
    evidence.events = eventsAbout(events, names);
    for (const auto& source : sources) evidence.lookedAt.push_back(source.where.folder + "\\" + source.where.pattern);
    const std::string jvmLibrary = jvmLibraryPath(s.config.javaHome, s.config.jvmType, platform_.files);
    const DiagnosisContext context{s.config, serviceAccountName(s.config), jvmLibrary,
                                   platform_.files.fileExists(jvmLibrary)};
    s.startFailure = diagnoseStart(evidence, context);
    if (auto failure = keepLastFailedStart(platform_.registry, name, *s.startFailure))
        step.logged.push_back({*failure, "keep the failed start"});
    step.warn(messages::startFailed(*s.startFailure));
    step.note.clear();
    return step;
}

KeptFailedStart ServiceController::lastFailedStart(const std::string& name) {
    KeptFailedStart kept = velmora::lastFailedStart(platform_.registry, name);
    if (kept.unreadable) (void)forgetLastFailedStart(platform_.registry, name);
    return kept;
}

Step ServiceController::stop(Survey& s) {
    return {"stop", [this, &s] {
                progress_.begin(messages::stoppingNotice(s.config.serviceName));
                StepResult step = stopAndWatch(s);
                progress_.end();
                return step;
            }};
}

StepResult ServiceController::stopAndWatch(Survey& s) {
    const std::string& name = s.config.serviceName;
    if (auto refused = noLongerOurs(s)) return *refused;
    // The wrapper stops by the timeout it holds, which someone may have changed past Velmora.
    const std::uint32_t timeout =
        s.heldStopTimeout ? *s.heldStopTimeout : wrapperStopTimeout(s, s.installedConfig.stopTimeout);
    const std::uint32_t boundSeconds = std::max(timeout, s.installedConfig.stopTimeout) + kStopMarginSeconds;
    StatusCheck before = askServiceState(platform_.services, name);
    // A start still under way takes no stop: it is let end first, for as long as a stop may take.
    if (before.status == ServiceStatus::StartPending) {
        waitForStartToEnd(platform_.services, platform_.clock, name, boundSeconds);
        before = askServiceState(platform_.services, name);
    }
    if (auto refused = refusalForNet(name, before, "stopped")) return *refused;
    // A service still starting or stopping has a process that a removal or a start must not run past.
    const bool running = serviceHasProcess(before.status);
    // What the running service writes while it stops: its wrapper's and Catalina's logs.
    std::vector<EvidenceSource> sources;
    for (auto& source : evidenceSources(s.installedConfig, *s.installedKind, platform_.environment.systemFolder()))
        if (source.role == kWrapperLogRole || source.role == kCatalinaLogRole) sources.push_back(std::move(source));
    const EvidenceSnapshot snapshot =
        running ? EvidenceSnapshot::take(platform_.files, sources) : EvidenceSnapshot::take(platform_.files, {});
    const FileTime askedAt = platform_.clock.now();
    NetRun net = runNet("stop", name, boundSeconds);
    StepResult& step = net.step;
    if (!running || !net.asked) return step;
    // A stop net could not hand over (a start still pending, a question about dependent services) is not waited for.
    if (net.failed)
        if (const StatusCheck after = askServiceState(platform_.services, name);
            after.status != ServiceStatus::StopPending && after.status != ServiceStatus::NotRunning)
            return StepResult::failed(messages::stopNotTaken(name, statusWord(after.status)) + step.note);

    const StopWatch watch = watchStop(platform_.services, platform_.clock, name, askedAt, boundSeconds);
    // A stop whose end is not known is no stop: what would follow it does not run.
    if (watch.failure) {
        StepResult unknown =
            StepResult::failed(messages::serviceStateNotWatched(name, "stop", watch.failure->description));
        unknown.logged.push_back({*watch.failure, "stop"});
        return unknown;
    }
    // Nothing that follows a stop (a removal, a start) may find the service still running.
    if (!watch.stopped)
        return StepResult::failed(
            messages::notStoppedWithin(name, boundSeconds, statusWord(statusOf(watch.last.state))) + step.note);
    StopEvidence evidence =
        judgeStop(watch.stoppedAfterMs, timeout, snapshot.newLines(platform_.files, platform_.environment, askedAt));
    evidence.at = askedAt;
    if (auto failure = keepLastStop(platform_.registry, name, evidence))
        step.logged.push_back({*failure, "keep the last stop"});
    if (!evidence.graceful) step.warn(stopSentence(name, evidence));
    s.stopped = std::move(evidence);
    step.note.clear();
    return step;
}

StatusCheck ServiceController::state(const std::string& name) { return askServiceState(platform_.services, name); }

StatusCheck ServiceController::status(const Configuration& c, bool installed) {
    return installed ? status(statusQuestion(c)) : StatusCheck{};
}

StatusQuestion ServiceController::statusQuestion(const Configuration& c) {
    return {c.serviceName, readinessProbesOf(c, platform_.files)};
}

StatusCheck ServiceController::status(const StatusQuestion& question) {
    StatusCheck check = checkServiceStatus(platform_.services, platform_.network, platform_.processes,
                                           question.serviceName, true, question.probes);
    const FileTime now = platform_.clock.now();
    if (check.processStartedAt && now > check.processStartedAt)
        check.runningSeconds = (now - check.processStartedAt) / kTicksPerSecond;
    return check;
}

std::optional<StopEvidence> ServiceController::lastStop(const std::string& name) {
    return velmora::lastStop(platform_.registry, name);
}

StepResult ServiceController::unregister(Survey& s) {
    if (auto refused = noLongerOurs(s)) return *refused;
    const ProcessRun run = s.installedKind->unregistering(s.installedConfig);
    const ProcessResult result = platform_.processes.run(run);
    progress_.detail(result.output);
    // A service another program still has open (the Services console, a window
    // that follows it) goes only once that handle closes: given a moment.
    s.facts = lookUpService(platform_.services, platform_.registry, s.config.serviceName);
    for (std::uint32_t waited = 0; s.facts.presence == ServiceFacts::Presence::Present && waited < kGoneWithinMs;
         waited += kStatePollMilliseconds) {
        platform_.clock.sleep(kStatePollMilliseconds);
        s.facts = lookUpService(platform_.services, platform_.registry, s.config.serviceName);
    }
    if (s.facts.presence == ServiceFacts::Presence::Absent) return {};
    if (s.facts.presence == ServiceFacts::Presence::Unknown)
        return StepResult::failed(
            messages::serviceUnknownAfterWrapper(s.config.serviceName, s.facts.failure.description));
    // The wrapper says it removed it: Windows has marked it for deletion and deletes it once the last program
    // that has it open lets go. It is not the service it was any more.
    if (result.exitedWith(0)) {
        s.removalPending = true;
        return StepResult::failed(messages::serviceRemovalPending(s.config.serviceName));
    }
    return StepResult::failed(
        messages::withOutput(messages::serviceStillRegistered(s.config.serviceName, messages::howItEnded(run, result)),
                             run.program, result.output));
}

StepResult ServiceController::deleteCopy(Survey& s) {
    const auto copy = s.installedKind->copy(s.installedConfig);
    // An adopted service's copy was made by whoever installed it: its digest checks it, it is not Velmora's to delete.
    if (!copy || s.record.adopted || !platform_.files.fileExists(copy->target) || !copyIsOurs(s, copy->target)) {
        s.record.programDigest.clear();
        return {};
    }
    for (int attempts = 0; attempts <= kMaxDeleteRetries; ++attempts)
        if (!platform_.files.deleteFile(copy->target)) break;
    StepResult step;
    if (platform_.files.fileExists(copy->target))
        step.warn(messages::wrapperCopyStillThere(s.config.serviceName, copy->target));
    else
        s.record.programDigest.clear();
    return step;
}

Plan ServiceController::removal(Survey& s) {
    Plan plan;
    const std::string name = s.config.serviceName;
    if (s.facts.present()) {
        plan.push_back(stop(s));
        plan.push_back({"uninstall :" + s.installedKind->unregistering(s.installedConfig).commandLine,
                        [this, &s] { return unregister(s); }});
    }
    plan.push_back({"delete the wrapper copy", [this, &s] { return deleteCopy(s); }});
    plan.push_back({"mark not installed", [this, &s, name] {
                        if (auto failure = store_.markNotInstalled(name, s.record.programDigest))
                            return StepResult::failed(messages::storeNotWritten(name, failure->description));
                        s.installed = false;
                        // What is installed next is recorded afresh.
                        s.installedKind = s.kind;
                        s.installedConfig = s.config;
                        removeLeftoverServiceKey(name);
                        return StepResult{};
                    }});
    return plan;
}

std::uint32_t ServiceController::wrapperStopTimeout(const Survey& s, std::uint32_t configured) {
    const WrapperKind& kind = *s.installedKind;
    if (!kind.takesStopTimeout()) return 0;
    const auto values = kind.heldValues(s.config.serviceName, platform_.registry);
    if (values.empty()) return heldStopTimeout(kind, configured);
    HeldFields held;
    kind.readFields(values, held);
    return held.holds(Field::StopTimeout) ? held.config.stopTimeout : 0;
}

StepResult ServiceController::copyWrapper(Survey& s) {
    const auto copy = s.kind->copy(s.config);
    if (!copy) return {};
    // An existing copy is run only when it is the one an earlier install of this configuration left.
    if (platform_.files.fileExists(copy->target)) {
        if (copyIsOurs(s, copy->target)) return {};
        return StepResult::failed(messages::foreignWrapperCopy(copy->target, copy->source));
    }
    if (auto failure = platform_.files.copyFile(copy->source, copy->target))
        return StepResult::failed(messages::wrapperNotCopied(copy->source, copy->target, failure->description));
    s.copyMadeNow = true;
    return {};
}

StepResult ServiceController::registerService(Survey& s) {
    const std::string& name = s.config.serviceName;
    const auto copy = s.kind->copy(s.config);
    // A service of the name that another program registered meanwhile is left as it is, and the copy made for
    // the install goes again.
    const auto leftTheirs = [&](const std::string& programLine) {
        if (copy && s.copyMadeNow) platform_.files.deleteFile(copy->target);
        return StepResult::failed(messages::serviceAppearedMeanwhile(name, programLine));
    };
    // One registered while the install asked its questions is theirs, even with the very line the wrapper
    // writes (Tomcat's own script writes it too): the wrapper is not run over it.
    if (const ServiceFacts now = lookUpService(platform_.services, platform_.registry, name); now.present())
        return leftTheirs(now.programLine);
    const ProcessRun run = s.kind->registering(s.config);
    const ProcessResult result = platform_.processes.run(run);
    progress_.detail(result.output);
    const std::string ending = messages::howItEnded(run, result);
    s.facts = lookUpService(platform_.services, platform_.registry, name);
    if (s.facts.presence == ServiceFacts::Presence::Unknown)
        return StepResult::failed(messages::serviceUnknownAfterWrapper(name, s.facts.failure.description));
    if (!s.facts.present()) {
        std::string leftBehind;
        if (copy && s.copyMadeNow && platform_.files.deleteFile(copy->target)) leftBehind = copy->target;
        return StepResult::failed(
            messages::withOutput(messages::serviceNotRegistered(name, ending, leftBehind), run.program, result.output));
    }
    // One registered just before the wrapper ran runs another program: it is not marked or changed as if the
    // wrapper had made it. The wrapper registers its own path as Windows spells it, a home typed "C:\Tomcat9\"
    // or with ".." written out.
    if (!sameProgram(s.facts.programLine, s.kind->programLine(s.config))) {
        const std::string foreign = std::exchange(s.facts, {}).programLine;
        return leftTheirs(foreign);
    }
    s.registeredNow = true;
    StepResult step;
    // The values the wrapper would have written are written by Velmora all the same; what else went wrong
    // only its output can tell.
    if (!result.exitedWith(0))
        step.warn(messages::withOutput(
            "The service \"" + name + "\" was registered, but " +
                (result.ending == ProcessResult::Ending::Exited ? "its wrapper ended with " : "") + ending + ".",
            run.program, result.output));
    s.record = {s.facts.programLine, newInstallMark(), copy ? digestOf(copy->target) : std::string()};
    if (auto failure = platform_.registry.write(kLocalMachine, serviceKey(name),
                                                {RegistryWrite::textValue(kInstallMarkValue, s.record.mark)}))
        return StepResult::failed(messages::serviceValuesNotWritten(name, failure->description));
    s.facts.mark = s.record.mark;
    s.ownership = Ownership::Ours;
    return step;
}

StepResult ServiceController::writeParameters(const Survey& s) { return writeValues(s, s.kind->parameters(s.config)); }

StepResult ServiceController::writeValues(const Survey& s, const std::vector<WrapperValue>& values) {
    std::vector<std::string> order;
    std::map<std::string, std::vector<RegistryWrite>> byKey;
    for (const WrapperValue& value : values) {
        if (!byKey.count(value.key)) order.push_back(value.key);
        if (const auto* text = std::get_if<std::string>(&value.data))
            byKey[value.key].push_back(RegistryWrite::textValue(value.name, *text));
        else
            byKey[value.key].push_back(RegistryWrite::numberValue(value.name, std::get<std::uint32_t>(value.data)));
    }
    StepResult step;
    for (const auto& key : order)
        if (auto failure = platform_.registry.write(kLocalMachine, key, byKey[key])) {
            step.warn(messages::serviceValuesNotWritten(s.config.serviceName, failure->description));
            step.logged.push_back({*failure, "write the wrapper's values"});
            break;
        }
    return step;
}

std::optional<StepResult> ServiceController::noLongerOurs(const Survey& s, IfGone ifGone) {
    const ServiceFacts now = lookUpService(platform_.services, platform_.registry, s.config.serviceName);
    // Whose a service is that cannot be looked up is not known: it is not acted on.
    if (now.presence == ServiceFacts::Presence::Unknown)
        return StepResult::failed(messages::serviceLookupFailed(s.config.serviceName, now.failure.description));
    if (!now.present() && ifGone == IfGone::Refused)
        return StepResult::failed(messages::serviceGoneBeforeChange(s.config.serviceName));
    // One this command registered is its own even before its mark is written (an install undone for a mark the
    // registry refused).
    if (!now.present() || isOurs(ownershipOf(now, true, s.record)) ||
        (s.registeredNow && sameProgram(now.programLine, s.record.programLine)))
        return std::nullopt;
    return StepResult::failed(messages::serviceNoLongerOurs(s.config.serviceName, now.programLine));
}

Step ServiceController::markInstalled(Survey& s) {
    return {"mark installed", [this, &s] {
                const std::string& name = s.config.serviceName;
                if (auto failure = store_.markInstalled(name, s.record))
                    return StepResult::failed(messages::storeNotWritten(name, failure->description));
                s.installed = true;
                return StepResult{};
            }};
}

Plan ServiceController::installation(Survey& s) {
    return {
        {"copy the wrapper", [this, &s] { return copyWrapper(s); }},
        {"install :" + s.kind->registering(s.config).commandLine, [this, &s] { return registerService(s); }},
        {"quote the program line", [this, &s] { return quoteProgramLine(s); }},
        // A service without its wrapper's values would not run Tomcat: the install stops there.
        {"write the wrapper's values",
         [this, &s] {
             StepResult step = writeParameters(s);
             step.done = step.warnings.empty();
             return step;
         }},
        {"apply the service settings", [this, &s] { return applySettings(s); }},
        markInstalled(s),
    };
}

namespace {
const std::string kUpdateStep = "update :";
const std::string kWriteValuesStep = "write the changed start-up values";
}  // namespace

bool ServiceController::changedStartUpValues(const std::string& stepName) {
    return stepName.rfind(kUpdateStep, 0) == 0 || stepName == kWriteValuesStep;
}

// The wrapper's update directive.
Step ServiceController::update(Survey& s, const ProcessRun& run) {
    return {kUpdateStep + run.commandLine, [this, &s, run] {
                if (auto refused = noLongerOurs(s, IfGone::Refused)) return *refused;
                const auto before = platform_.services.configuration(s.config.serviceName);
                const ProcessResult result = platform_.processes.run(run);
                progress_.detail(result.output);
                if (result.exitedWith(0)) return keepSettings(s.config.serviceName, before);
                return StepResult::failed(messages::withOutput("The start-up values of the service \"" +
                                                                   s.config.serviceName + "\" were not changed (" +
                                                                   messages::howItEnded(run, result) + ").",
                                                               run.program, result.output));
            }};
}

// The wrapper's update may rewrite its service's record with the service manager as well (a start type
// without its delay): what it changed there is set back as it was, changed past Velmora or not.
StepResult ServiceController::keepSettings(const std::string& name,
                                           const std::variant<ServiceConfiguration, Failure>& before) {
    StepResult step;
    const auto after = platform_.services.configuration(name);
    const auto* held = std::get_if<ServiceConfiguration>(&before);
    const auto* now = std::get_if<ServiceConfiguration>(&after);
    if (!held || !now) return step;
    std::vector<ServiceSetting> changed = differingSettings(*held, *now);
    // An account cannot be set back without its password, which an update never asks for.
    changed.erase(std::remove(changed.begin(), changed.end(), ServiceSetting::Account), changed.end());
    for (const SettingFailure& refusal : platform_.services.configure(name, *held, {}, changed))
        step.warn("The wrapper's update changed the " + std::string(settingName(refusal.setting)) +
                  " of the service \"" + name +
                  "\", and the service manager refused to set it back: " + refusal.failure.description);
    return step;
}

bool ServiceController::wrapperChanges(const Survey& s) {
    if (s.record.programLine.empty()) return false;
    return !sameProgram(s.record.programLine, s.kind->programLine(s.config));
}

Plan ServiceController::changeInPlace(Survey& s, const Configuration& from, Plan storing) {
    Plan plan;
    // The wrapper that runs now stops by the timeout it read at its start, not by one the update writes.
    s.heldStopTimeout = wrapperStopTimeout(s, from.stopTimeout);
    if (const auto run = s.kind->updating(from, s.config)) plan.push_back(update(s, *run));
    if (auto values = s.kind->changedValues(from, s.config); !values.empty())
        plan.push_back({kWriteValuesStep, [this, &s, values = std::move(values)] {
                            if (auto refused = noLongerOurs(s, IfGone::Refused)) return *refused;
                            StepResult step = writeValues(s, values);
                            step.done = step.warnings.empty();
                            return step;
                        }});
    append(plan, std::move(storing));
    // Settings the service manager once refused are not tried again for a change that is not theirs.
    const auto differing = differingFields(from, s.config);
    if (std::any_of(differing.begin(), differing.end(),
                    [](const StoredField* field) { return isServiceSetting(field->field); }))
        plan.push_back({"apply the service settings", [this, &s] { return applySettings(s); }});
    plan.push_back(markInstalled(s));
    return plan;
}

// A program path with a blank that is not quoted could be read as a shorter
// path followed by arguments: the service manager gets it quoted.
StepResult ServiceController::quoteProgramLine(Survey& s) {
    const std::string& line = s.facts.programLine;
    const std::string program = programOfBinaryPath(line);
    const auto start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '"' || program.find(' ') == std::string::npos) return {};
    const std::string quoted = "\"" + program + "\"" + line.substr(start + program.size());
    StepResult step;
    if (auto failure = platform_.services.setProgramLine(s.config.serviceName, quoted)) {
        step.warn("The program line of the service \"" + s.config.serviceName +
                  "\" could not be quoted: " + failure->description);
        return step;
    }
    s.facts.programLine = quoted;
    s.record.programLine = quoted;
    return step;
}

StepResult ServiceController::applySettings(Survey& s) {
    const std::string& name = s.config.serviceName;
    if (auto refused = noLongerOurs(s)) return *refused;
    const ServiceConfiguration wanted = wantedServiceConfiguration(s.config);
    // Only what differs is set: a part the service manager cannot set but has as wanted is no refusal.
    std::vector<ServiceSetting> toSet = allServiceSettings();
    const auto before = platform_.services.configuration(name);
    if (const auto* found = std::get_if<ServiceConfiguration>(&before)) toSet = differingSettings(wanted, *found);
    // A password given goes with the account even when the account is the same.
    if (!s.password.empty() && std::find(toSet.begin(), toSet.end(), ServiceSetting::Account) == toSet.end())
        toSet.push_back(ServiceSetting::Account);
    StepResult step;
    std::vector<ServiceSetting> refused;
    for (const SettingFailure& refusal : platform_.services.configure(name, wanted, s.password, toSet)) {
        refused.push_back(refusal.setting);
        step.warn("The service manager refused the " + std::string(settingName(refusal.setting)) +
                  " of the service \"" + name + "\": " + refusal.failure.description);
        step.logged.push_back({refusal.failure, "apply the service settings"});
    }
    const auto found = platform_.services.configuration(name);
    bool asWanted = refused.empty();
    if (const Failure* failure = std::get_if<Failure>(&found)) {
        step.warn("How the service \"" + name + "\" runs could not be read back: " + failure->description);
        asWanted = false;
    } else {
        for (ServiceSetting differing : differingSettings(wanted, std::get<ServiceConfiguration>(found))) {
            if (std::find(refused.begin(), refused.end(), differing) != refused.end()) continue;
            step.warn("The " + std::string(settingName(differing)) + " of the service \"" + name +
                      "\" reads back other than it was set.");
            asWanted = false;
        }
    }
    s.record.settingsApplied = asWanted;
    return step;
}

Step ServiceController::grant(const std::string& path, const std::string& account, Access access) {
    return {"grant " + account + " rights on " + path, [this, path, account, access] {
                StepResult step;
                const char* verb = access == Access::Modify ? "modify" : "read";
                if (auto failure = platform_.accounts.grant(path, account, access))
                    step.warn("The rights of " + account + " on " + path +
                              " could not be changed: " + failure->description);
                else
                    step.notices.push_back("Granted " + account + " " + verb + " rights on " + path +
                                           ", inherited by everything below it.");
                return step;
            }};
}

Step ServiceController::grantLogOn(const std::string& account) {
    return {"grant " + account + " the right to log on as a service", [this, account] {
                StepResult step;
                if (auto failure = platform_.accounts.grantLogOnAsService(account))
                    step.warn("The account " + account +
                              " could not be given the right to log on as a service: " + failure->description);
                return step;
            }};
}

// Once the service is gone its key may still hold what Velmora wrote for it
// (the description, the mark and the wrapper's parameters); anything else is not ours.
void ServiceController::removeLeftoverServiceKey(const std::string& name) {
    const std::string key = serviceKey(name);
    Registry& registry = platform_.registry;
    const auto contents = registry.contents(kLocalMachine, key);
    if (!contents) return;
    for (const auto& value : contents->valueNames)
        if (!sameName(value, "Description") && !sameName(value, kInstallMarkValue) &&
            !sameName(value, kLastStopValue) && !sameName(value, kLastFailedStartValue))
            return;
    for (const auto& subkey : contents->subkeyNames) {
        const auto inner = registry.contents(kLocalMachine, key + "\\" + subkey);
        if (!sameName(subkey, "Parameters") || !inner || !inner->subkeyNames.empty()) return;
    }
    (void)registry.deleteKey(kLocalMachine, parametersKey(name));
    (void)registry.deleteKey(kLocalMachine, key);
}

std::variant<ServiceHoldings, Failure> ServiceController::holdings(const Survey& s) {
    auto manager = platform_.services.configuration(s.config.serviceName);
    if (const Failure* failure = std::get_if<Failure>(&manager)) return *failure;
    return ServiceHoldings{std::get<ServiceConfiguration>(std::move(manager)),
                           s.installedKind->heldValues(s.config.serviceName, platform_.registry)};
}

HeldFields ServiceController::heldFields(const Survey& s, const ServiceHoldings& holdings, const Configuration& over) {
    HeldFields held{over, {}, {}};
    // The home is the one whose wrapper the service runs.
    held.take(Field::CatalinaHome, installedWrapperOf(holdings.manager.programLine, platform_.files).catalinaHome);
    takeManagerFields(held, holdings.manager);
    // A wrapper that keeps nothing says nothing of the fields it would hold.
    if (holdings.wrapper.empty())
        held.notKept.push_back("The wrapper keeps no values for the service \"" + s.config.serviceName +
                               "\": only what the service manager holds is read.");
    else
        s.installedKind->readFields(holdings.wrapper, held);
    return held;
}

Plan ServiceController::adoption(Survey& s) {
    const auto copy = s.kind->copy(s.config);
    s.record = {s.facts.programLine, newInstallMark(), copy ? digestOf(copy->target) : std::string()};
    // What it holds is what the configuration says: every setting is as stored.
    s.record.settingsApplied = true;
    s.record.adopted = true;
    const std::string key = serviceKey(s.config.serviceName);
    // A service left marked without a stored record would carry a mark nobody holds: taken off again.
    auto unmark = [this, key, before = platform_.registry.read(kLocalMachine, key, kInstallMarkValue)] {
        if (before)
            (void)platform_.registry.write(kLocalMachine, key,
                                           {RegistryWrite::textValue(kInstallMarkValue, before->text)});
        else
            (void)platform_.registry.deleteValue(kLocalMachine, key, kInstallMarkValue);
    };
    return {{"mark the service as Velmora's",
             [this, &s, key] {
                 if (auto failure = platform_.registry.write(
                         kLocalMachine, key, {RegistryWrite::textValue(kInstallMarkValue, s.record.mark)}))
                     return StepResult::failed(
                         messages::serviceValuesNotWritten(s.config.serviceName, failure->description));
                 s.facts.mark = s.record.mark;
                 return StepResult{};
             }},
            {"store the configuration", [this, &s, unmark] {
                 if (auto failure = store_.save(s.config, true, s.record)) {
                     unmark();
                     return StepResult::failed(messages::storeNotWritten(s.config.serviceName, failure->description));
                 }
                 s.installed = true;
                 s.ownership = Ownership::Ours;
                 return StepResult{};
             }}};
}

}  // namespace velmora
