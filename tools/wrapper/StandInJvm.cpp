// winsock2.h comes before windows.h.
#include <winsock2.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <variant>

#include "ServiceControl.h"
#include "StandInJvm.h"
#include "TextFile.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

namespace velmora::wrapper {

namespace {

std::string stamp(const char* format, bool withMonthName = false) {
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[64] = {};
    if (withMonthName)
        std::snprintf(text, sizeof text, format, now.wDay, months[now.wMonth - 1], now.wYear, now.wHour, now.wMinute,
                      now.wSecond, now.wMilliseconds);
    else
        std::snprintf(text, sizeof text, format, now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    return text;
}

}  // namespace

std::string today(const char* format) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[16] = {};
    std::snprintf(text, sizeof text, format, now.wYear, now.wMonth, now.wDay);
    return text;
}

namespace {

// "[2026-12-07 10:00:00] [error] [ 1234] text", as the wrapper logs.

// "07-Dec-2026 10:00:00.123 SEVERE [main] text", as Tomcat's log manager writes.
std::string julLine(const char* level, const std::string& text) {
    return stamp("%02u-%s-%04u %02u:%02u:%02u.%03u", true) + " " + level + " [main] " + text;
}

std::string systemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = length ? narrow(std::wstring(buffer, length)) : "error " + std::to_string(error);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}

// The reason Java gives in a FileNotFoundException: Windows' own words, which
// Wine words differently.
std::string javaReason(DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED: return "Access is denied";
        case ERROR_FILE_NOT_FOUND: return "The system cannot find the file specified";
        case ERROR_PATH_NOT_FOUND: return "The system cannot find the path specified";
        default: return systemMessage(error);
    }
}

std::optional<std::string> readWhole(const std::string& path, DWORD* error = nullptr) {
    const Handle file(CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        if (error) *error = GetLastError();
        return std::nullopt;
    }
    std::string text;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) text.append(chunk, read);
    return text;
}

bool isFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string folderOf(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }

bool startsWith(const std::string& text, const std::string& head) { return text.rfind(head, 0) == 0; }

// The last -Dname=value of the launch.
std::string property(const LaunchParameters& launch, const std::string& name) {
    std::string value;
    for (const auto& option : launch.jvmOptions)
        if (startsWith(option, "-D" + name + "=")) value = option.substr(name.size() + 3);
    return value;
}

// The machine type in a PE image's header; 0 for a file that is not one, such
// as the tests' placeholder jvm.dll, which stands for a library of our type.
WORD imageMachine(const std::string& path) {
    const auto bytes = readWhole(path);
    if (!bytes || bytes->size() < 0x40 || bytes->compare(0, 2, "MZ") != 0) return 0;
    const auto at = static_cast<std::size_t>(static_cast<unsigned char>((*bytes)[0x3C])) |
                    static_cast<std::size_t>(static_cast<unsigned char>((*bytes)[0x3D])) << 8;
    if (bytes->size() < at + 6 || bytes->compare(at, 4, std::string("PE\0\0", 4)) != 0) return 0;
    return static_cast<WORD>(static_cast<unsigned char>((*bytes)[at + 4]) | static_cast<unsigned char>((*bytes)[at + 5])
                                                                                << 8);
}

#ifdef _WIN64
constexpr WORD kOwnMachine = IMAGE_FILE_MACHINE_AMD64;
#else
constexpr WORD kOwnMachine = IMAGE_FILE_MACHINE_I386;
#endif

// The feature version in the JDK's release file, found above its jvm.dll;
// 0 when there is none (JDKs before 9 may have none).
int javaVersion(const std::string& jvmLibrary) {
    std::string folder = folderOf(jvmLibrary);
    for (int up = 0; up < 4 && folder.find_first_of("\\/") != std::string::npos; ++up, folder = folderOf(folder)) {
        const auto release = readWhole(folder + "\\release");
        if (!release) continue;
        const auto at = release->find("JAVA_VERSION=\"");
        if (at == std::string::npos) return 0;
        std::string version = release->substr(at + 14);
        if (startsWith(version, "1.")) version.erase(0, 2);
        return std::atoi(version.c_str());
    }
    return 0;
}

// -XX options and the feature version whose JVM no longer knows them.
const std::pair<const char*, int> kRemovedOptions[] = {
    {"UseParNewGC", 10}, {"UseConcMarkSweepGC", 14}, {"CMSClassUnloadingEnabled", 14},
    {"PermSize", 17},    {"MaxPermSize", 17},
};

std::optional<std::string> unknownOption(const std::string& option, int version) {
    if (!startsWith(option, "-XX:")) return std::nullopt;
    std::string named = option.substr(4);
    if (!named.empty() && (named[0] == '+' || named[0] == '-')) named.erase(0, 1);
    const std::string name = named.substr(0, named.find('='));
    for (const auto& [removed, since] : kRemovedOptions)
        if (name == removed && version >= since) return named;
    return std::nullopt;
}

// -Xmx512m and the like in bytes.
std::optional<unsigned long long> sizeOf(const std::vector<std::string>& options, const std::string& head) {
    std::optional<unsigned long long> size;
    for (const auto& option : options) {
        if (!startsWith(option, head) || option.size() == head.size()) continue;
        char* end = nullptr;
        unsigned long long value = std::strtoull(option.c_str() + head.size(), &end, 10);
        switch (*end) {
            case 't':
            case 'T': value <<= 10; [[fallthrough]];
            case 'g':
            case 'G': value <<= 10; [[fallthrough]];
            case 'm':
            case 'M': value <<= 10; [[fallthrough]];
            case 'k':
            case 'K': value <<= 10; break;
            default: break;
        }
        size = value;
    }
    return size;
}

// The heap is reserved from what the machine can back: its memory and page file.
unsigned long long reservableBytes() {
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    return GlobalMemoryStatusEx(&memory) ? memory.ullTotalPageFile : ~0ull;
}

bool securityManagerEnabled(const LaunchParameters& launch) {
    for (const auto& option : launch.jvmOptions)
        if (option == "-Djava.security.manager" ||
            (startsWith(option, "-Djava.security.manager=") && option != "-Djava.security.manager=disallow"))
            return true;
    return false;
}

// Catalina's start classes live in bin\bootstrap.jar.
bool startClassFound(const LaunchParameters& launch) {
    if (!startsWith(launch.startClass, "org.apache.catalina.")) return true;
    std::string path = property(launch, "java.class.path");
    for (std::size_t from = 0; from <= path.size();) {
        std::size_t end = path.find(';', from);
        if (end == std::string::npos) end = path.size();
        const std::string entry = path.substr(from, end - from);
        const std::string file = entry.substr(entry.find_last_of("\\/") + 1);
        if (CompareStringOrdinal(wide(file).c_str(), -1, L"bootstrap.jar", -1, TRUE) == CSTR_EQUAL && isFile(entry))
            return true;
        from = end + 1;
    }
    return false;
}

// The JVM's refusal on System.err; the wrapper then fails to create it.
std::optional<LaunchFailure> jvmRefused(const LaunchParameters& launch, const std::vector<std::string>& lines) {
    appendLines(launch.errFile, lines);
    wrapperLog(launch, "error", {"CreateJavaVM Failed", "Failed creating Java " + launch.jvmLibrary});
    return LaunchFailure{ERROR_SERVICE_SPECIFIC_ERROR, 1};
}

// A small reader of well-formed XML, enough for server.xml: elements with
// their attributes, or the first fault with its place, in the parser's words.
struct XmlElement {
    std::string name;
    std::map<std::string, std::string> attributes;
};
struct XmlFault {
    int line, column;
    std::string message;
};

class XmlReader {
public:
    explicit XmlReader(const std::string& text) : text_(text) {}

    std::variant<XmlFault, std::vector<XmlElement>> read() {
        std::vector<std::string> open;
        std::vector<XmlElement> elements;
        bool rooted = false;
        while (at_ < text_.size()) {
            if (!skipTo('<')) break;
            if (ahead("<?")) {
                if (!skipPast("?>")) return endOfEntity();
            } else if (ahead("<!--")) {
                if (!skipPast("-->")) return endOfEntity();
            } else if (ahead("<!")) {
                if (!skipPast(">")) return endOfEntity();
            } else if (ahead("</")) {
                step(2);
                const std::string name = word();
                spaces();
                if (at_ >= text_.size()) return endOfEntity();
                if (open.empty())
                    return fault("The markup in the document following the root element must be well-formed.");
                if (name != open.back() || text_[at_] != '>')
                    return fault("The element type \"" + open.back() +
                                 "\" must be terminated by the matching end-tag \"</" + open.back() + ">\".");
                step(1);
                open.pop_back();
            } else {
                step(1);
                if (rooted && open.empty())
                    return fault("The markup in the document following the root element must be well-formed.");
                XmlElement element{word(), {}};
                for (;;) {
                    const bool spaced = spaces();
                    if (at_ >= text_.size()) return endOfEntity();
                    if (ahead("/>") || text_[at_] == '>') break;
                    const std::string name = spaced ? word() : std::string();
                    if (name.empty())
                        return fault("Element type \"" + element.name +
                                     "\" must be followed by either attributes, \">\" or \"/>\".");
                    spaces();
                    if (at_ >= text_.size() || text_[at_] != '=')
                        return fault("Attribute name \"" + name + "\" associated with an element type \"" +
                                     element.name + "\" must be followed by the ' = ' character.");
                    step(1);
                    spaces();
                    const char quote = at_ < text_.size() ? text_[at_] : '\0';
                    if (quote != '"' && quote != '\'')
                        return fault("Open quote is expected for attribute \"" + name +
                                     "\" associated with an  element type  \"" + element.name + "\".");
                    step(1);
                    const std::size_t from = at_;
                    if (!skipTo(quote)) return endOfEntity();
                    element.attributes[name] = text_.substr(from, at_ - from);
                    step(1);
                }
                const bool empty = ahead("/>");
                step(empty ? 2 : 1);
                if (!empty) open.push_back(element.name);
                rooted = true;
                elements.push_back(std::move(element));
            }
        }
        if (!rooted) return fault("Premature end of file.");
        if (!open.empty()) return endOfEntity();
        return elements;
    }

private:
    bool ahead(const char* part) const { return text_.compare(at_, std::strlen(part), part) == 0; }
    void step(std::size_t count) {
        for (; count > 0 && at_ < text_.size(); --count, ++at_) {
            if (text_[at_] == '\n') {
                ++line_;
                column_ = 1;
            } else {
                ++column_;
            }
        }
    }
    bool skipTo(char wanted) {
        while (at_ < text_.size() && text_[at_] != wanted) step(1);
        return at_ < text_.size();
    }
    bool skipPast(const char* end) {
        while (at_ < text_.size() && !ahead(end)) step(1);
        if (at_ >= text_.size()) return false;
        step(std::strlen(end));
        return true;
    }
    bool spaces() {
        const std::size_t from = at_;
        while (at_ < text_.size() && std::strchr(" \t\r\n", text_[at_])) step(1);
        return at_ > from;
    }
    std::string word() {
        const std::size_t from = at_;
        while (at_ < text_.size() &&
               (std::isalnum(static_cast<unsigned char>(text_[at_])) || std::strchr("_:.-", text_[at_])))
            step(1);
        return text_.substr(from, at_ - from);
    }
    XmlFault fault(std::string message) const { return {line_, column_, std::move(message)}; }
    XmlFault endOfEntity() const { return fault("XML document structures must start and end within the same entity."); }

    const std::string& text_;
    std::size_t at_ = 0;
    int line_ = 1, column_ = 1;
};

int portOf(const XmlElement& element, const char* attribute, int offset) {
    const auto found = element.attributes.find(attribute);
    const int port = found == element.attributes.end() ? 0 : std::atoi(found->second.c_str());
    return port > 0 ? port + offset : 0;
}

}  // namespace

std::vector<std::string> optionsRefusal(const LaunchParameters& launch) {
    const int version = javaVersion(launch.jvmLibrary);
    for (const auto& option : launch.jvmOptions)
        if (auto unknown = unknownOption(option, version))
            return {"Unrecognized VM option '" + *unknown + "'", "Error: Could not create the Java Virtual Machine.",
                    "Error: A fatal exception has occurred. Program will exit."};
    const auto initial = sizeOf(launch.jvmOptions, "-Xms"), maximum = sizeOf(launch.jvmOptions, "-Xmx");
    if (initial && maximum && *initial > *maximum)
        return {"Error occurred during initialization of VM",
                "Initial heap size set to a larger value than the maximum heap size"};
    if (maximum && *maximum > reservableBytes())
        return {"Error occurred during initialization of VM", "Could not reserve enough space for object heap"};
    if (version >= 24 && securityManagerEnabled(launch))
        return {"Error occurred during initialization of VM",
                "java.lang.Error: A command line option has attempted to allow or enable the "
                "Security Manager. Enabling a Security Manager is not supported.",
                "\tat java.lang.System.initPhase3(java.base/System.java:2067)"};
    return {};
}

int javaFeatureOf(const std::string& jvmLibrary) { return javaVersion(jvmLibrary); }

std::optional<LaunchFailure> createJvm(const LaunchParameters& launch) {
    const std::string& library = launch.jvmLibrary;
    wrapperLog(launch, "info", {"Starting service..."});
    if (!isFile(library)) {
        wrapperLog(launch, "error", {systemMessage(ERROR_MOD_NOT_FOUND), "Failed creating Java " + library});
        return LaunchFailure{ERROR_SERVICE_SPECIFIC_ERROR, 1};
    }
    if (const WORD machine = imageMachine(library); machine != 0 && machine != kOwnMachine) {
        wrapperLog(launch, "error",
                   {"Invalid RuntimeLib '" + library + "'", systemMessage(ERROR_BAD_EXE_FORMAT),
                    "Failed creating Java " + library});
        return LaunchFailure{ERROR_BAD_EXE_FORMAT, 0};
    }

    if (const auto refusal = optionsRefusal(launch); !refusal.empty()) return jvmRefused(launch, refusal);

    if (!startClassFound(launch)) {
        std::string slashed = launch.startClass;
        std::replace(slashed.begin(), slashed.end(), '.', '/');
        appendLines(launch.errFile,
                    {"java.lang.NoClassDefFoundError: " + slashed,
                     "Caused by: java.lang.ClassNotFoundException: " + launch.startClass,
                     "\tat java.base/jdk.internal.loader.BuiltinClassLoader.loadClass(Unknown Source)"});
        wrapperLog(launch, "error", {"FindClass " + slashed + " failed", "Load main class failed"});
        return LaunchFailure{ERROR_SERVICE_SPECIFIC_ERROR, 1};
    }
    return std::nullopt;
}

void wrapperLog(const LaunchParameters& launch, const char* level, const std::vector<std::string>& texts) {
    std::vector<std::string> lines;
    const std::string head =
        stamp("[%04u-%02u-%02u %02u:%02u:%02u] [") + level + "] [" + std::to_string(GetCurrentProcessId()) + "] ";
    for (const auto& text : texts) lines.push_back(head + text);
    appendLines(launch.wrapperLog, lines);
}

std::optional<std::string> standInSetting(const char* fileName) {
    const std::string own = ownExecutablePath();
    auto text = readWhole(own.substr(0, own.find_last_of('\\') + 1) + fileName);
    if (text) text->erase(text->find_last_not_of(" \t\r\n") + 1);
    return text;
}

void StandInTomcat::shutDown() {
    if (logPath_.empty()) return;
    appendLines(
        logPath_,
        {julLine("INFO", "org.apache.coyote.AbstractProtocol.pause Pausing ProtocolHandler [\"http-nio\"]"),
         julLine("INFO", "org.apache.catalina.core.StandardService.stopInternal Stopping service [Catalina]"),
         julLine("INFO", "org.apache.coyote.AbstractProtocol.stop Stopping ProtocolHandler [\"http-nio\"]"),
         julLine("INFO", "org.apache.coyote.AbstractProtocol.destroy Destroying ProtocolHandler [\"http-nio\"]")});
    for (auto socket : sockets_) closesocket(static_cast<SOCKET>(socket));
    sockets_.clear();
}

StandInTomcat::StandInTomcat(const LaunchParameters& launch) {
    WSADATA data{};
    winsock_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    running_ = start(launch);
    if (!running_) wrapperLog(launch, "info", {"Run service finished."});
}

StandInTomcat::~StandInTomcat() {
    for (auto socket : sockets_) closesocket(static_cast<SOCKET>(socket));
    if (winsock_) WSACleanup();
}

bool StandInTomcat::start(const LaunchParameters& launch) {
    const std::string base = property(launch, "catalina.base");
    const std::string logPath = base + "\\logs\\catalina." + today("%04u-%02u-%02u") + ".log";
    if (!appendLines(logPath, {julLine("INFO", "org.apache.catalina.startup.Catalina.load Server initialization")})) {
        const DWORD error = GetLastError();
        appendLines(launch.errFile, {"java.util.logging.ErrorManager: 4",
                                     "java.io.FileNotFoundException: " + logPath + " (" + javaReason(error) + ")",
                                     "\tat java.base/java.io.FileOutputStream.open0(Native Method)"});
        return false;
    }
    auto log = [&](const std::vector<std::string>& lines) { appendLines(logPath, lines); };
    logPath_ = logPath;

    std::string config = base + "\\conf\\server.xml";
    for (std::size_t i = 0; i + 1 < launch.startParams.size(); ++i)
        if (launch.startParams[i] == "-config") config = launch.startParams[i + 1];
    DWORD readError = 0;
    const auto text = readWhole(config, &readError);
    std::string systemId = "file:/" + config;
    std::replace(systemId.begin(), systemId.end(), '\\', '/');
    const auto parsed = text ? XmlReader(*text).read() : XmlFault{0, 0, ""};
    if (const auto* fault = std::get_if<XmlFault>(&parsed)) {
        const std::string why = text ? "org.xml.sax.SAXParseException; systemId: " + systemId +
                                           "; lineNumber: " + std::to_string(fault->line) +
                                           "; columnNumber: " + std::to_string(fault->column) + "; " + fault->message
                                     : "java.io.FileNotFoundException: " + config + " (" + javaReason(readError) + ")";
        log({julLine("WARNING",
                     "org.apache.catalina.startup.Catalina.parseServerXml Unable to load server "
                     "configuration from [" +
                         config + "]"),
             "\t" + why,
             julLine("SEVERE",
                     "org.apache.catalina.startup.Catalina.start Cannot start server, server instance is "
                     "not configured")});
        return false;
    }

    const auto& elements = std::get<std::vector<XmlElement>>(parsed);
    const XmlElement* server = elements.empty() || elements.front().name != "Server" ? nullptr : &elements.front();
    const int offset = server ? portOf(*server, "portOffset", 0) : 0;
    // The connectors bind first; one that cannot is reported and left out.
    auto bound = [&](int port, u_long address) {
        const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = htons(static_cast<u_short>(port));
        at.sin_addr.s_addr = htonl(address);
        if (socket != INVALID_SOCKET && bind(socket, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 &&
            listen(socket, SOMAXCONN) == 0) {
            sockets_.push_back(static_cast<std::uintptr_t>(socket));
            return true;
        }
        if (socket != INVALID_SOCKET) closesocket(socket);
        return false;
    };
    const auto connectors = standInSetting("standin-connectors.txt");
    if (connectors && *connectors != "never") Sleep(static_cast<DWORD>(std::strtoul(connectors->c_str(), nullptr, 10)));
    for (const auto& element : elements) {
        if (connectors && *connectors == "never") break;
        const int port = element.name == "Connector" ? portOf(element, "port", offset) : 0;
        if (port == 0 || bound(port, INADDR_ANY)) continue;
        const auto protocol = element.attributes.find("protocol");
        const bool ajp = protocol != element.attributes.end() && protocol->second.find("AJP") != std::string::npos;
        const std::string connector = std::string(ajp ? "ajp" : "http") + "-nio-" + std::to_string(port);
        log({julLine("SEVERE",
                     "org.apache.catalina.util.LifecycleBase.handleSubClassException Failed to initialize "
                     "component [Connector[\"" +
                         connector + "\"]]"),
             "\torg.apache.catalina.LifecycleException: Protocol handler initialization failed",
             "\tCaused by: java.net.BindException: Address already in use: bind"});
    }
    log({julLine("INFO", "org.apache.catalina.startup.Catalina.start Server startup in [120] milliseconds")});

    // Then it waits for the shutdown command on its port; without it the server stops.
    const int shutdownPort = server ? portOf(*server, "port", offset) : 0;
    if (shutdownPort != 0 && !bound(shutdownPort, INADDR_LOOPBACK)) {
        const std::string port = std::to_string(shutdownPort);
        log({julLine("SEVERE",
                     "org.apache.catalina.core.StandardServer.await Failed to create server shutdown socket "
                     "on address [localhost] and port [" +
                         port + "] (base port [" + std::to_string(shutdownPort - offset) + "] and offset [" +
                         std::to_string(offset) + "])"),
             "\tjava.net.BindException: Address already in use: bind"});
        return false;
    }
    return true;
}

}  // namespace velmora::wrapper
