#include "config/ServerPorts.h"

#include <algorithm>
#include <unordered_set>

#include <pugixml.hpp>

#include "config/XmlEntities.h"
#include "platform/IpAddress.h"
#include "platform/Numbers.h"
#include "platform/Text.h"
#include "platform/WindowsPaths.h"

namespace velmora {

namespace {

// Tomcat replaces ${name} with a system property when it reads the file, so
// such a port is known only to the running server.
// A ${property}, or a reference to an entity ("&http.port;") that was not
// put in before the document was read: Tomcat resolves both.
bool hasPlaceholder(std::string_view text) {
    const auto open = text.find("${");
    const auto entity = text.find('&');
    return (open != std::string_view::npos && text.find('}', open + 2) != std::string_view::npos) ||
           (entity != std::string_view::npos && text.find(';', entity + 1) != std::string_view::npos);
}

DeclaredPort declared(PortRole role, const pugi::xml_node& element) {
    DeclaredPort port;
    port.role = role;
    const pugi::xml_attribute attribute = element.attribute("port");
    // Tomcat's server waits for the shutdown word on 8005 unless told otherwise.
    if (!attribute && role == PortRole::Shutdown) {
        port.value = PortValue::Number;
        port.number = 8005;
    }
    if (!attribute) return port;
    port.text = attribute.value();

    if (role == PortRole::Shutdown && port.text == "-1") {
        port.value = PortValue::Disabled;
    } else if (hasPlaceholder(port.text)) {
        port.value = PortValue::Unknown;
    } else {
        // Digits only, as Tomcat's integer parsing takes them; blanks or a
        // sign make it no port. The sum stops growing once it is too large.
        unsigned long number = 0;
        bool digits = !port.text.empty();
        for (char c : port.text) {
            if (c < '0' || c > '9') {
                digits = false;
                break;
            }
            number = std::min(number * 10 + static_cast<unsigned long>(c - '0'), 65536UL);
        }
        if (digits && number >= 1 && number <= 65535) {
            port.value = PortValue::Number;
            port.number = static_cast<std::uint16_t>(number);
        } else if (digits && number == 0) {
            port.value = PortValue::AnyFree;  // which portOffset leaves alone, as Tomcat does
        } else {
            port.value = PortValue::NotAPort;
        }
    }
    return port;
}

// An AJP connector is named by its protocol, "AJP/1.3", or by the class
// that implements it.
bool isAjp(std::string_view protocol) {
    return protocol.starts_with("AJP") || protocol.starts_with("org.apache.coyote.ajp.");
}

ServerXmlError errorAt(std::string description, std::string_view xml, std::ptrdiff_t at) {
    ServerXmlError error;
    error.description = std::move(description);
    error.offset = std::min(static_cast<std::size_t>(std::max<std::ptrdiff_t>(at, 0)), xml.size());
    for (std::size_t i = 0; i < error.offset; ++i) {
        if (xml[i] == '\n') {
            ++error.line;
            error.column = 1;
        } else {
            ++error.column;
        }
    }
    return error;
}

}  // namespace

bool takesEveryAddress(const std::string& address) {
    const auto canonical = canonicalIpAddress(address);
    return address.empty() || canonical == "0.0.0.0" || canonical == "::";
}

std::string bareAddress(const std::string& address) {
    const bool bracketed = address.size() > 2 && address.front() == '[' && address.back() == ']';
    return bracketed ? address.substr(1, address.size() - 2) : address;
}

namespace {

// The address written, or the one Java binds for localhost on Windows, without asking a name server.
std::optional<std::string> boundAddress(const std::string& address) {
    if (auto canonical = canonicalIpAddress(address)) return canonical;
    if (sameName(bareAddress(address), "localhost")) return "127.0.0.1";
    return std::nullopt;
}

// Two spellings of one address are one address; host names are compared by name.
bool sameAddress(const std::string& a, const std::string& b) {
    const auto boundA = boundAddress(a), boundB = boundAddress(b);
    if (boundA && boundB) return *boundA == *boundB;
    return foldedName(bareAddress(a)) == foldedName(bareAddress(b));
}

}  // namespace

bool sameListeningPort(const DeclaredPort& a, const DeclaredPort& b) {
    if (a.value != PortValue::Number || b.value != PortValue::Number || a.number != b.number) return false;
    return takesEveryAddress(a.address) || takesEveryAddress(b.address) || sameAddress(a.address, b.address);
}

bool collidesWithListener(const std::string& connectorAddress, const std::string& listenerAddress) {
    if (takesEveryAddress(connectorAddress) || takesEveryAddress(listenerAddress)) return true;
    // Which addresses a host name stands for is not known here: it may be the one taken.
    if (!boundAddress(connectorAddress)) return true;
    return sameAddress(connectorAddress, listenerAddress);
}

bool listenedOn(Network& network, const std::string& connectorAddress, std::uint16_t port) {
    const auto listeners = network.listenersOn(port);
    const auto* found = std::get_if<std::vector<Listener>>(&listeners);
    return found && std::any_of(found->begin(), found->end(), [&](const Listener& listener) {
               return collidesWithListener(connectorAddress, listener.address);
           });
}

std::optional<Listener> reachedListener(const std::vector<Listener>& listeners, const std::string& address) {
    const auto bound = boundAddress(address);
    if (!bound) return std::nullopt;
    const bool v6 = bound->find(':') != std::string::npos;
    for (const std::string& wanted : {*bound, std::string(v6 ? "::" : "0.0.0.0"), std::string(v6 ? "0.0.0.0" : "::")})
        for (const Listener& listener : listeners)
            if (listener.address == wanted) return listener;
    return std::nullopt;
}

std::string errorText(const ServerXmlError& error) {
    return error.description + " (line " + std::to_string(error.line) + ", column " + std::to_string(error.column) +
           ", offset " + std::to_string(error.offset) +
           (error.withEntitiesPutIn ? " of the text with its entities put in)" : ")");
}

std::variant<std::vector<DeclaredPort>, ServerXmlError> serverPorts(std::string_view xml,
                                                                    const TomcatVersion& release) {
    pugi::xml_document document;
    // The default options leave comments out of the tree: a commented-out
    // connector is no connector.
    const pugi::xml_parse_result parsed = document.load_buffer(xml.data(), xml.size());
    if (!parsed) return errorAt(parsed.description(), xml, parsed.offset);

    const pugi::xml_node server = document.document_element();
    if (std::string_view(server.name()) != "Server")
        return errorAt("The root element is <" + std::string(server.name()) + ">, not <Server>", xml,
                       server.offset_debug());
    // pugixml takes a second element after the root; Tomcat's parser does not.
    for (pugi::xml_node second = server.next_sibling(); second; second = second.next_sibling()) {
        if (second.type() == pugi::node_element)
            return errorAt("A second root element <" + std::string(second.name()) + "> follows <Server>", xml,
                           second.offset_debug());
    }

    // pugixml keeps an attribute written twice on one element; Tomcat's parser stops at it.
    for (pugi::xml_node node = document.first_child(); node;) {
        std::unordered_set<std::string_view> names;
        for (const pugi::xml_attribute attribute : node.attributes())
            if (!names.insert(attribute.name()).second)
                return errorAt(
                    "The attribute \"" + std::string(attribute.name()) + "\" is written twice on <" + node.name() + ">",
                    xml, node.offset_debug());
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && !node.next_sibling()) node = node.parent();
        if (node) node = node.next_sibling();
    }

    std::vector<DeclaredPort> ports{declared(PortRole::Shutdown, server)};
    const pugi::xml_attribute shutdownAddress = server.attribute("address");
    // Java takes an empty address for the loopback one, as it takes none.
    ports.front().address = *shutdownAddress.value() ? shutdownAddress.value() : "localhost";
    for (const pugi::xml_node service : server.children("Service")) {
        for (const pugi::xml_node connector : service.children("Connector")) {
            const std::string protocol = connector.attribute("protocol").value();
            DeclaredPort port = declared(isAjp(protocol) ? PortRole::Ajp : PortRole::Connector, connector);
            port.protocol = protocol;
            port.address = connector.attribute("address").value();
            if (port.role == PortRole::Ajp && port.address.empty() && ajpListensOnLoopback(release))
                port.address = "localhost";
            ports.push_back(std::move(port));
        }
    }
    // Tomcat 9 and later add <Server portOffset> to every port it opens; an
    // offset of digits too large for any port pushes every port out of range.
    // A placeholder for the offset, or for where a connector listens, leaves
    // its ports known only once Tomcat runs.
    const std::string offsetText = server.attribute("portOffset").value();
    for (auto& port : ports)
        if (port.value == PortValue::Number && (hasPlaceholder(offsetText) || hasPlaceholder(port.address)))
            port.value = PortValue::Unknown;
    const bool digits = !offsetText.empty() && offsetText.find_first_not_of("0123456789") == std::string::npos;
    if (digits) {
        const unsigned long offset = wholeNumber<unsigned long>(offsetText).value_or(65536);
        for (auto& port : ports) {
            if (port.value != PortValue::Number) continue;
            if (offset > 65535 || port.number + offset > 65535) {
                port.value = PortValue::NotAPort;
            } else {
                port.number = static_cast<std::uint16_t>(port.number + offset);
            }
        }
    }
    return ports;
}

std::variant<std::vector<DeclaredPort>, ServerXmlError> readServerPorts(Files& files, const std::string& path,
                                                                        const TomcatVersion& release) {
    const auto text = files.readBytes(path, kLargestServerXml + 1);
    if (!text)
        return files.fileExists(path)
                   ? std::variant<std::vector<DeclaredPort>, ServerXmlError>(ServerXmlError{kServerXmlUnreadable})
                   : std::vector<DeclaredPort>{};
    if (text->size() > kLargestServerXml) return ServerXmlError{kServerXmlTooLarge};
    const std::string folder = folderPart(path);
    const ExpandedXml expanded = withEntitiesExpanded(
        *text,
        [&](const std::string& systemId) -> std::optional<std::string> {
            auto entity = files.readBytes(entityFilePath(systemId, folder), kLargestServerXml + 1);
            if (entity && entity->size() > kLargestServerXml) return std::nullopt;
            return entity;
        },
        kLargestServerXml);
    if (!expanded.error.empty()) return errorAt(expanded.error, *text, static_cast<std::ptrdiff_t>(expanded.errorAt));
    auto ports = serverPorts(expanded.text, release);
    if (auto* error = std::get_if<ServerXmlError>(&ports))
        error->withEntitiesPutIn = error->offset >= expanded.firstPutIn;
    return ports;
}

}  // namespace velmora
