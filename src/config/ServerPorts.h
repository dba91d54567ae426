#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "config/TomcatRelease.h"
#include "platform/Files.h"
#include "platform/Network.h"

namespace velmora {

// What a port in Tomcat's conf\server.xml is for: the root <Server>'s
// shutdown port, or a <Connector> of one of its <Service>s, AJP or not.
enum class PortRole { Shutdown, Connector, Ajp };

// What the port attribute says. Only Number names a port that can be
// checked; the others keep the text so that it can be shown as written.
enum class PortValue {
    Number,    // 1 to 65535
    Disabled,  // the shutdown port written as -1: Tomcat opens none
    AnyFree,   // 0: Tomcat takes a free port of its choosing, which no one can know before
    Unknown,   // a ${property} placeholder: its value is known only when Tomcat runs
    NotAPort,  // anything else: 70000, -5, " 8080", "http"
    Missing,   // a connector without a port attribute; the shutdown port is then 8005
};

struct DeclaredPort {
    PortRole role = PortRole::Connector;
    PortValue value = PortValue::Missing;
    std::uint16_t number = 0;  // when value is Number
    std::string text;          // the port attribute as written
    std::string protocol;      // a connector's protocol attribute as written; empty for the shutdown port
    // The address attribute as written; a connector without one takes every
    // address (an AJP one of a later release localhost), the shutdown port localhost.
    std::string address;
};

// Why server.xml could not be read: the XML parser's own words and where it
// stopped, or a root element that is not <Server>.
struct ServerXmlError {
    std::string description;
    std::size_t offset = 0;  // bytes from the start of the text
    std::size_t line = 1;    // counted from 1
    std::size_t column = 1;  // counted from 1, in bytes
    // Counted in the text with the DOCTYPE's entities put in, which past the
    // first of them is not where the file has it.
    bool withEntitiesPutIn = false;
};

// Whether a connector's address attribute takes every address: none, 0.0.0.0 or ::.
bool takesEveryAddress(const std::string& address);
// The address without the brackets an IPv6 literal may be written in ("[::1]" is "::1").
std::string bareAddress(const std::string& address);
// Whether two declared ports would be opened on the same port of the same
// address, so that only one of their Tomcats can start.
bool sameListeningPort(const DeclaredPort& a, const DeclaredPort& b);
// Whether a connector opening its address at a port would meet a program
// listening at that port on the listener's address (numeric): where either
// takes every address, where both are one address, and for a host name,
// which may stand for the address taken.
bool collidesWithListener(const std::string& connectorAddress, const std::string& listenerAddress);
// Whether another program already listens at the port where a connector
// opening the address would meet it; a table of sockets that cannot be read
// tells of none.
bool listenedOn(Network& network, const std::string& connectorAddress, std::uint16_t port);
// The socket that a connection to the address (numeric, or "localhost")
// reaches among those listening at its port: the one bound to that very
// address, else one taking every address of its kind, else of the other
// kind (a socket taking both); none for a host name or when none listens.
std::optional<Listener> reachedListener(const std::vector<Listener>& listeners, const std::string& address);

// "Error parsing start element tag (line 12, column 5, offset 341)".
std::string errorText(const ServerXmlError& error);

// The ports the text of a server.xml declares: the shutdown port first, then
// every <Server>/<Service>/<Connector> in document order, each with the
// Server's portOffset added as Tomcat adds it. Comments and other
// elements count for nothing; nothing is guessed or looked up.
// The release tells where an AJP connector without an address listens.
std::variant<std::vector<DeclaredPort>, ServerXmlError> serverPorts(std::string_view xml, const TomcatVersion& release);

// The same of the file; none when there is none, an error whose description
// is kServerXmlUnreadable for one that is there but cannot be read (access
// denied to this user), and kServerXmlTooLarge for one above 4 MB, which is
// not read.
constexpr std::size_t kLargestServerXml = 4 * 1024 * 1024;
inline const std::string kServerXmlTooLarge = "too large";
inline const std::string kServerXmlUnreadable = "unreadable";
std::variant<std::vector<DeclaredPort>, ServerXmlError> readServerPorts(Files& files, const std::string& path,
                                                                        const TomcatVersion& release);

}  // namespace velmora
