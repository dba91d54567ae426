// The ports of Tomcat's server.xml: which count, which cannot be known, and
// what a document that is not one says.
#include <gtest/gtest.h>

#include "config/ServerPorts.h"

using namespace velmora;

namespace {

// One line per port, as a test reads it: role, value, protocol.
std::string described(const DeclaredPort& port) {
    std::string line = port.role == PortRole::Shutdown ? "shutdown" : port.role == PortRole::Ajp ? "AJP" : "connector";
    switch (port.value) {
        case PortValue::Number: line += " " + std::to_string(port.number); break;
        case PortValue::Disabled: line += " disabled"; break;
        case PortValue::Unknown: line += " unknown"; break;
        case PortValue::NotAPort: line += " not a port"; break;
        case PortValue::Missing: line += " missing"; break;
    }
    line += " [" + port.text + "]";
    if (!port.protocol.empty()) line += " " + port.protocol;
    return line;
}

std::vector<std::string> describedPorts(const std::string& xml) {
    const auto result = serverPorts(xml);
    if (const auto* error = std::get_if<ServerXmlError>(&result)) return {"error: " + errorText(*error)};
    std::vector<std::string> lines;
    for (const DeclaredPort& port : std::get<std::vector<DeclaredPort>>(result)) lines.push_back(described(port));
    return lines;
}

std::string errorOf(const std::string& xml) {
    const auto result = serverPorts(xml);
    const auto* error = std::get_if<ServerXmlError>(&result);
    return error ? errorText(*error) : "no error";
}

}  // namespace

TEST(ServerPorts, ATomcatServerXmlGivesItsShutdownPortAndEveryConnectorButThoseInComments) {
    const std::string xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- Note: a "Server" is not itself a "Container" -->
<Server port="8005" shutdown="SHUTDOWN">
  <Listener className="org.apache.catalina.startup.VersionLoggerListener" />
  <GlobalNamingResources>
    <Resource name="UserDatabase" auth="Container" type="org.apache.catalina.UserDatabase" />
  </GlobalNamingResources>
  <Service name="Catalina">
    <Executor name="tomcatThreadPool" namePrefix="catalina-exec-" maxThreads="150" minSpareThreads="4"/>
    <Connector port="8080" protocol="HTTP/1.1" connectionTimeout="20000" redirectPort="8443" />
    <!--
    <Connector port="8443" protocol="org.apache.coyote.http11.Http11NioProtocol" SSLEnabled="true" />
    -->
    <!-- <Connector port="8010" protocol="AJP/1.3" redirectPort="8443" /> -->
    <Connector protocol="AJP/1.3" address="::1" port="8009" redirectPort="8443" />
    <Engine name="Catalina" defaultHost="localhost">
      <Connector port="7070" protocol="HTTP/1.1" />
      <Host name="localhost" appBase="webapps" unpackWARs="true" autoDeploy="true" />
    </Engine>
  </Service>
  <Service name="Reports">
    <Connector port="9090" />
    <Connector port="09009" protocol="org.apache.coyote.ajp.AjpNioProtocol" />
  </Service>
  <Connector port="6060" protocol="HTTP/1.1" />
</Server>
)";
    EXPECT_EQ(describedPorts(xml), (std::vector<std::string>{
                                       "shutdown 8005 [8005]",
                                       "connector 8080 [8080] HTTP/1.1",
                                       "AJP 8009 [8009] AJP/1.3",
                                       "connector 9090 [9090]",
                                       "AJP 9009 [09009] org.apache.coyote.ajp.AjpNioProtocol",
                                   }));

    const auto ports = std::get<std::vector<DeclaredPort>>(serverPorts(xml));
    ASSERT_EQ(ports.size(), 5u);
    EXPECT_EQ(ports[0].role, PortRole::Shutdown);
    EXPECT_EQ(ports[0].value, PortValue::Number);
    EXPECT_EQ(ports[0].number, 8005);
    EXPECT_EQ(ports[0].protocol, "");
    EXPECT_EQ(ports[2].role, PortRole::Ajp);
    EXPECT_EQ(ports[2].number, 8009);
    EXPECT_EQ(ports[2].protocol, "AJP/1.3");
}

TEST(ServerPorts, WhatIsNoPortIsSaidAsWrittenAndNothingIsGuessed) {
    const std::string xml =
        "\xEF\xBB\xBF<Server port=\"-1\" shutdown=\"SHUTDOWN\">\n"
        "  <Service name=\"Catalina\">\n"
        "    <Connector port=\"${port.http}\" protocol=\"HTTP/1.1\"/>\n"
        "    <Connector port=\"80${suffix}\" protocol=\"AJP/1.3\"/>\n"
        "    <Connector port=\"${unclosed\"/>\n"
        "    <Connector port=\"1\"/>\n"
        "    <Connector port=\"65535\"/>\n"
        "    <Connector port=\"65536\"/>\n"
        "    <Connector port=\"0\"/>\n"
        "    <Connector port=\"-1\"/>\n"
        "    <Connector port=\"+8080\"/>\n"
        "    <Connector port=\" 8080\"/>\n"
        "    <Connector port=\"99999999999999999999999\"/>\n"
        "    <Connector port=\"http\"/>\n"
        "    <Connector port=\"\"/>\n"
        "    <Connector protocol=\"HTTP/1.1\"/>\n"
        "    <Connector port=\"8&#x30;81\"/>\n"
        "  </Service>\n"
        "</Server>\n";
    EXPECT_EQ(describedPorts(xml), (std::vector<std::string>{
                                       "shutdown disabled [-1]",
                                       "connector unknown [${port.http}] HTTP/1.1",
                                       "AJP unknown [80${suffix}] AJP/1.3",
                                       "connector not a port [${unclosed]",
                                       "connector 1 [1]",
                                       "connector 65535 [65535]",
                                       "connector not a port [65536]",
                                       "connector not a port [0]",
                                       "connector not a port [-1]",
                                       "connector not a port [+8080]",
                                       "connector not a port [ 8080]",
                                       "connector not a port [99999999999999999999999]",
                                       "connector not a port [http]",
                                       "connector not a port []",
                                       "connector missing [] HTTP/1.1",
                                       "connector 8081 [8081]",
                                   }));

    // A server without a port attribute says so; one with -2 has a port that is no port.
    EXPECT_EQ(describedPorts("<Server><Service/></Server>"), (std::vector<std::string>{"shutdown missing []"}));
    EXPECT_EQ(describedPorts("<Server port='-2'/>"), (std::vector<std::string>{"shutdown not a port [-2]"}));
}

TEST(ServerPorts, ABrokenDocumentSaysWhatAndWhere) {
    // The mismatched end tag on line 3: the parser stops at its name, as it
    // stops at the value of an attribute whose quote is never closed.
    EXPECT_EQ(errorOf("<Server port=\"8005\">\n"
                      "  <Service name=\"Catalina\">\n"
                      "    <Connector port=\"8080\"></Service>\n"
                      "</Server>\n"),
              "Start-end tags mismatch (line 3, column 30, offset 78)");
    EXPECT_EQ(errorOf("<Server port=\"8005>\n</Server>\n"),
              "Error parsing element attribute (line 1, column 15, offset 14)");
    EXPECT_EQ(errorOf(""), "No document element found (line 1, column 1, offset 0)");
    EXPECT_EQ(errorOf("<!-- <Server port=\"8005\"/> -->\n"), "No document element found (line 2, column 1, offset 31)");
    EXPECT_EQ(errorOf("<?xml version=\"1.0\"?>\n<Context port=\"8005\"/>"),
              "The root element is <Context>, not <Server> (line 2, column 2, offset 23)");
    EXPECT_EQ(errorOf("<Server port=\"8005\"/>\n<!-- ports -->\n<Server port=\"8006\"/>"),
              "A second root element <Server> follows <Server> (line 3, column 2, offset 38)");
    EXPECT_EQ(errorOf("<Server port=\"8005\"/>\n<!-- ports -->\n"), "no error");
}
