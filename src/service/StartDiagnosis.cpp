#include "service/StartDiagnosis.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "platform/Numbers.h"
#include "platform/TextScan.h"
#include "platform/WindowsPaths.h"

namespace velmora {

namespace {

constexpr std::size_t kLastLines = 10;

// What a known cause makes of one line: a short cause and the sentence,
// without its source.
struct Found {
    std::string cause;
    std::string sentence;
};

// A line with the lines around it, as some causes say the detail a line or two away.
struct LineAt {
    const EvidenceFile& file;
    std::size_t index;
    const std::string& text() const { return file.lines[index]; }
};

using LineCause = std::optional<Found> (*)(const LineAt& line, const DiagnosisContext& context);

bool isNotQuote(char c) { return c != '\''; }
bool isJavaNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '$' || c == '/';
}

// A run of characters the test accepts, right after `lead` and right before `end`.
struct Shape {
    const char* lead;
    bool (*accepts)(char);
    const char* end = "";
};

// What the first shape that stands in the text holds.
std::optional<std::string> firstOf(const std::string& text, std::initializer_list<Shape> shapes) {
    for (const Shape& shape : shapes)
        if (auto found = scanAfter(text, shape.lead, [&](TextScanner& s) -> std::optional<std::string> {
                std::string run = s.takeWhile(shape.accepts);
                if (run.empty() || !s.take(shape.end)) return std::nullopt;
                return run;
            }))
            return found;
    return std::nullopt;
}

// A port's digits, after an opening bracket where one may stand, then one of these ends.
ScanRest portThen(std::initializer_list<const char*> ends, bool afterBracket = false) {
    std::vector<std::string> endings(ends.begin(), ends.end());
    return [endings, afterBracket](TextScanner& s) -> std::optional<std::string> {
        if (afterBracket) s.skip('[');
        const auto port = s.takeDigits(2, 5);
        if (!port) return std::nullopt;
        for (const auto& end : endings)
            if (TextScanner(s).take(end)) return port;
        return std::nullopt;
    };
}

std::optional<std::string> portNamed(const std::string& text) {
    if (auto port = scanAfter(text, "-", portThen({"\"]", "]"}))) return port;  // ProtocolHandler ["http-nio-8080"]
    if (auto port = scanAfter(text, ":", portThen({"]"}))) return port;         // create[localhost:8005]
    if (auto port = scanAfter(text, "<null>:", portThen({""}))) return port;    // bind <null>:8080
    for (const char* lead : {"Port ", "port "})
        if (auto port = scanAfter(text, lead, portThen({""}, true))) return port;
    return std::nullopt;
}

std::optional<std::string> codeAfter(const std::string& text, const char* lead) {
    return scanAfter(text, lead, [](TextScanner& s) { return s.takeDigits(1, 9); });
}

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

std::optional<Found> securityManagerRefused(const LineAt& line, const DiagnosisContext& context) {
    if (!contains(line.text(), "enable the Security Manager")) return std::nullopt;
    return Found{"the JDK refuses the security manager", "Turn off Use Security Manager: the JDK at " +
                                                             context.config.javaHome + " refuses the security manager"};
}

std::optional<Found> optionRejected(const LineAt& line, const DiagnosisContext& context) {
    const auto named = firstOf(line.text(), {{"Unrecognized VM option '", isNotQuote, "'"},
                                             {"Unrecognized option: ", isNotBlank},
                                             {"VM option '", isNotQuote, "' is experimental"},
                                             {"VM option '", isNotQuote, "' is diagnostic"},
                                             {"Improperly specified VM option '", isNotQuote, "'"}});
    if (named) {
        std::string bare = *named;
        if (!bare.empty() && (bare.front() == '+' || bare.front() == '-')) bare.erase(0, 1);
        const auto& options = context.config.additionalJvmOptions;
        const auto given = std::find_if(options.begin(), options.end(),
                                        [&](const std::string& option) { return contains(option, bare.c_str()); });
        if (given != options.end())
            return Found{"a JVM option the JVM rejects (" + *given + ")",
                         "Remove " + *given + " from the additional options: the JVM at " + context.config.javaHome +
                             " does not know it"};
        return Found{"a JVM option the JVM rejects (" + *named + ")",
                     "The JVM at " + context.config.javaHome + " does not know the option " + *named + ": remove it"};
    }
    return std::nullopt;
}

std::optional<Found> heapNotReserved(const LineAt& line, const DiagnosisContext& context) {
    const Configuration& c = context.config;
    const std::string& text = line.text();
    if (contains(text, "Initial heap size set to a larger value than the maximum heap size"))
        return Found{"an initial heap larger than the maximum",
                     "Make the initial heap size (" + std::to_string(c.initialHeapSize) +
                         " MB) no larger than the maximum heap size (" + std::to_string(c.maxHeapSize) + " MB)"};
    if (contains(text, "Could not reserve enough space for") || contains(text, "Invalid maximum heap size") ||
        contains(text, "insufficient memory for the Java Runtime Environment"))
        return Found{"a heap the JVM cannot reserve",
                     c.maxHeapSize == 0
                         ? "Set a maximum heap size the machine can give: the JVM could not reserve its memory"
                         : "Lower the maximum heap size (" + std::to_string(c.maxHeapSize) +
                               " MB): the JVM could not reserve that much memory"};
    return std::nullopt;
}

Found jvmLibraryCause(const DiagnosisContext& context) {
    if (!context.jvmLibraryExists)
        return Found{"the JVM library is missing",
                     "The JVM library " + context.jvmLibrary + " is missing: choose a Java Home that has one"};
    return Found{"the JVM library cannot be loaded",
                 "The wrapper cannot load the JVM library " + context.jvmLibrary +
                     ": choose a JDK of the wrapper's machine type (64-bit or 32-bit) in Java Home"};
}

std::optional<Found> jvmLibraryUnusable(const LineAt& line, const DiagnosisContext& context) {
    const std::string& text = line.text();
    if (!contains(text, "Failed creating Java") && !contains(text, "Invalid RuntimeLib") &&
        !contains(text, "is not a valid Win32 application") && !contains(text, "Failed loading"))
        return std::nullopt;
    return jvmLibraryCause(context);
}

std::optional<Found> startClassNotFound(const LineAt& line, const DiagnosisContext&) {
    if (auto named = firstOf(line.text(), {{"ClassNotFoundException: ", isJavaNameChar},
                                           {"NoClassDefFoundError: ", isJavaNameChar},
                                           {"Could not find or load main class ", isJavaNameChar},
                                           {"FindClass ", isJavaNameChar, " failed"}})) {
        std::string name = *named;
        std::replace(name.begin(), name.end(), '/', '.');
        return Found{"the start class was not found",
                     "The start class " + name +
                         " was not found through the class path: check the class path (Tomcat's bin\\bootstrap.jar "
                         "belongs on it)"};
    }
    return std::nullopt;
}

std::optional<Found> portInUse(const LineAt& line, const DiagnosisContext& context) {
    const std::string& text = line.text();
    if (!contains(text, "BindException") && !contains(text, "Address already in use")) return std::nullopt;
    const std::size_t from = line.index >= 3 ? line.index - 3 : 0;
    const std::size_t to = std::min(line.file.lines.size(), line.index + 4);
    for (std::size_t i = from; i < to; ++i)
        if (auto port = portNamed(line.file.lines[i]))
            return Found{"port " + *port + " is in use",
                         "Port " + *port +
                             " is already in use by another program: stop that program or change the port in " +
                             context.config.tomcatConfigFile};
    return Found{"a port is in use",
                 "A port Tomcat opens is already in use by another program: stop that program or "
                 "change the ports in " +
                     context.config.tomcatConfigFile};
}

std::optional<Found> configUnparsable(const LineAt& line, const DiagnosisContext& context) {
    const std::string& text = line.text();
    std::optional<std::string> number;
    if (const auto sax = text.find("SAXParseException"); sax != std::string::npos)
        number = scanAfter(std::string_view(text).substr(sax),
                           "lineNumber: ", [](TextScanner& s) { return s.takeDigits(); });
    if (!number) {
        std::string lowered = text;
        for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        number = scanAfter(lowered, "parse fatal error at line ", [](TextScanner& s) {
            s.skip('[');
            return s.takeDigits();
        });
    }
    if (number) {
        const auto semicolon = text.rfind("; "), colon = text.rfind(": ");
        const auto last = semicolon == std::string::npos ? colon
                          : colon == std::string::npos   ? semicolon
                                                         : std::max(semicolon, colon);
        const std::string why = last == std::string::npos ? std::string() : " (" + text.substr(last + 2) + ")";
        return Found{"the Tomcat config file does not parse",
                     "The Tomcat config file " + context.config.tomcatConfigFile + " does not parse at line " +
                         *number + why + ": correct it"};
    }
    return std::nullopt;
}

std::optional<Found> folderDenied(const LineAt& line, const DiagnosisContext& context) {
    auto path = scanAfter(line.text(),
                          "FileNotFoundException: ", [](TextScanner& s) { return s.takeUntil(" (Access is denied)"); });
    if (!path) path = firstOf(line.text(), {{"AccessDeniedException: ", isNotBlank}});
    if (path) {
        const std::string folder = folderPart(*path);
        return Found{"access denied on " + folder, "The account " + context.account + " may not write to " + folder +
                                                       ": grant it modify rights there (Install offers to)"};
    }
    return std::nullopt;
}

// The most telling first: a rejected option also makes the wrapper fail to create the JVM.
constexpr LineCause kLineCauses[] = {securityManagerRefused, optionRejected, heapNotReserved, startClassNotFound,
                                     configUnparsable,       portInUse,      folderDenied,    jvmLibraryUnusable};

// The service manager's codes, from its state, net's words and its events.
std::vector<std::uint32_t> serviceCodes(const StartEvidence& evidence) {
    std::vector<std::uint32_t> codes;
    auto note = [&](std::uint32_t code) {
        if (code != 0 && std::find(codes.begin(), codes.end(), code) == codes.end()) codes.push_back(code);
    };
    note(evidence.state.exitCode);
    if (auto code = codeAfter(evidence.netOutput, "System error ")) note(wholeNumber<std::uint32_t>(*code).value_or(0));
    for (const auto& event : evidence.events) {
        if (event.eventId == 7009) note(1053);
        for (const auto& text : event.strings)
            if (auto code = codeAfter(text, "%%")) note(wholeNumber<std::uint32_t>(*code).value_or(0));
    }
    return codes;
}

std::optional<Found> codeCause(std::uint32_t code, const StartEvidence& evidence, const DiagnosisContext& context) {
    switch (code) {
        case 1069:
            return Found{"the account could not log on",
                         "The account " + context.account +
                             " could not log on: check its password and that it may log on as a service"};
        case 1072:
            return Found{
                "the service is marked for deletion",
                "The service is marked for deletion: close the Services console and any other program that has "
                "it open, or restart Windows, then install it again"};
        case 1058:
            return Found{"the service is disabled",
                         "The service's start-up type is Disabled: choose Automatic or Manual in Service Settings"};
        case 193: return jvmLibraryCause(context);
        case 1053:
            return Found{"the start timed out",
                         "The service did not report that it was running in time: Tomcat may be slow to start or "
                         "hang; see its last lines"};
        default: break;
    }
    if (evidence.timedOut)
        return Found{"the start timed out", "The service was still starting after " +
                                                std::to_string(evidence.boundSeconds) +
                                                " seconds: Tomcat may be slow to start or hang; see its last lines"};
    return std::nullopt;
}

std::string codeSource(std::uint32_t code) {
    return code ? "the service manager, error " + std::to_string(code) : "the service manager";
}

}  // namespace

std::string serviceErrorText(std::uint32_t code) {
    switch (code) {
        case 5: return "access is denied";
        case 193: return "the program is not a valid application for this machine";
        case 1053: return "the service did not respond to the start in time";
        case 1058: return "the service is disabled";
        case 1067: return "the process terminated unexpectedly";
        case 1069: return "the service did not start due to a logon failure";
        case 1072: return "the service has been marked for deletion";
        case 1077: return "the service has not been started since the computer started";
        default: return "error " + std::to_string(code);
    }
}

std::optional<KnownCause> knownCauseOf(const std::vector<std::string>& lines, const DiagnosisContext& context) {
    const EvidenceFile file{{}, {}, 1, lines, 0};
    for (LineCause cause : kLineCauses)
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (auto found = cause(LineAt{file, i}, context)) return KnownCause{found->cause, found->sentence};
    return std::nullopt;
}

StartDiagnosis diagnoseStart(const StartEvidence& evidence, const DiagnosisContext& context) {
    StartDiagnosis diagnosis;
    diagnosis.at = evidence.startedAt;
    diagnosis.notServing = !evidence.unanswered.empty();
    for (const auto& file : evidence.files) diagnosis.filesRead.push_back(file.path);

    // A service that runs without answering is told first, then why, when the lines say it.
    const std::string notServing = evidence.unanswered.empty()
                                       ? std::string()
                                       : "Service \"" + evidence.serviceName + "\" runs, but " + evidence.unanswered +
                                             " did not answer within " + std::to_string(evidence.boundSeconds) + " s.";
    for (LineCause cause : kLineCauses)
        for (const auto& file : evidence.files)
            for (std::size_t i = 0; i < file.lines.size(); ++i)
                if (auto found = cause(LineAt{file, i}, context)) {
                    diagnosis.cause = found->cause;
                    diagnosis.file = file.path;
                    diagnosis.line = file.firstLine + i;
                    diagnosis.sentence = (notServing.empty() ? "" : notServing + " ") + found->sentence + " (" +
                                         lastPathPart(file.path) + ", line " + std::to_string(diagnosis.line) + ").";
                    diagnosis.evidence = {file.lines[i]};
                    return diagnosis;
                }

    const std::vector<std::uint32_t> codes = notServing.empty() ? serviceCodes(evidence) : std::vector<std::uint32_t>{};
    const std::uint32_t first = codes.empty() ? 0 : codes.front();
    for (std::uint32_t code : codes.empty() && notServing.empty() ? std::vector<std::uint32_t>{0} : codes)
        if (auto found = codeCause(code, evidence, context)) {
            diagnosis.cause = found->cause;
            diagnosis.sentence = found->sentence + " (" + codeSource(code ? code : first) + ").";
            break;
        }

    // The last lines of the newest file read, so that the user is never left with a number alone.
    const auto newest =
        std::max_element(evidence.files.begin(), evidence.files.end(),
                         [](const EvidenceFile& a, const EvidenceFile& b) { return a.modified < b.modified; });
    if (newest != evidence.files.end()) {
        const auto& lines = newest->lines;
        const std::size_t from = lines.size() > kLastLines ? lines.size() - kLastLines : 0;
        diagnosis.evidence.assign(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end());
        diagnosis.file = newest->path;
        diagnosis.line = newest->firstLine + from;
    }
    if (!diagnosis.cause.empty()) return diagnosis;

    const std::string how = evidence.reachedRunning ? "stopped soon after it started" : "did not start";
    const std::string code =
        first == 1066 ? "service-specific error " + std::to_string(evidence.state.serviceExitCode)
                      : (first ? "error " + std::to_string(first) + ": " + serviceErrorText(first) : "no error code");
    if (!notServing.empty()) {
        diagnosis.cause = evidence.unanswered + " did not answer";
        diagnosis.sentence = notServing;
    } else {
        diagnosis.cause = evidence.reachedRunning ? "it stopped after starting" : "it did not start";
        diagnosis.sentence = "Service \"" + evidence.serviceName + "\" " + how + " (" + code + ").";
    }
    if (newest != evidence.files.end()) {
        diagnosis.sentence += " The last lines of " + newest->path + " follow; read: ";
        for (std::size_t i = 0; i < diagnosis.filesRead.size(); ++i)
            diagnosis.sentence += (i ? ", " : "") + diagnosis.filesRead[i];
        diagnosis.sentence += ".";
    } else {
        diagnosis.sentence += " Nothing was written since the start to any of: ";
        for (std::size_t i = 0; i < evidence.lookedAt.size(); ++i)
            diagnosis.sentence += (i ? ", " : "") + evidence.lookedAt[i];
        diagnosis.sentence += ".";
    }
    return diagnosis;
}

}  // namespace velmora
