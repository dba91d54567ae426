#include "config/XmlEntities.h"

#include <map>
#include <string>
#include <utility>

#include "platform/WindowsPaths.h"

namespace velmora {

namespace {

struct Declared {
    std::string value;     // the text written in the declaration
    std::string systemId;  // the file it names instead, when it names one
    std::size_t at = 0;    // where it is declared
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::size_t skipBlanks(const std::string& text, std::size_t at) {
    while (at < text.size() && isBlank(text[at])) ++at;
    return at;
}

// A quoted literal at `at`, and where it ends; none when there is none.
std::optional<std::string> quoted(const std::string& text, std::size_t& at) {
    if (at >= text.size() || (text[at] != '"' && text[at] != '\'')) return std::nullopt;
    const std::size_t close = text.find(text[at], at + 1);
    if (close == std::string::npos) return std::nullopt;
    std::string literal = text.substr(at + 1, close - at - 1);
    at = close + 1;
    return literal;
}

std::string word(const std::string& text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && !isBlank(text[at]) && text[at] != '>' && text[at] != '"' && text[at] != '\'') ++at;
    return text.substr(start, at - start);
}

// The general entities of the DOCTYPE's internal subset, the first declaration
// of a name counting; and where the DOCTYPE ends.
std::map<std::string, Declared> declaredEntities(const std::string& xml, std::size_t& bodyAt) {
    std::map<std::string, Declared> entities;
    bodyAt = 0;
    const std::size_t doctype = xml.find("<!DOCTYPE");
    if (doctype == std::string::npos) return entities;
    std::size_t at = doctype + 9;
    while (at < xml.size() && xml[at] != '[' && xml[at] != '>') {
        if (!quoted(xml, at)) ++at;
    }
    if (at >= xml.size() || xml[at] == '>') {
        bodyAt = at + 1;
        return entities;
    }
    ++at;
    while (at < xml.size() && xml[at] != ']') {
        if (xml.compare(at, 4, "<!--") == 0) {
            const std::size_t end = xml.find("-->", at + 4);
            at = end == std::string::npos ? xml.size() : end + 3;
        } else if (xml.compare(at, 8, "<!ENTITY") == 0) {
            Declared entity;
            entity.at = at;
            at = skipBlanks(xml, at + 8);
            const bool parameter = at < xml.size() && xml[at] == '%';
            if (parameter) at = skipBlanks(xml, at + 1);
            const std::string name = word(xml, at);
            at = skipBlanks(xml, at);
            if (auto value = quoted(xml, at)) {
                entity.value = *value;
            } else {
                const std::string kind = word(xml, at);
                at = skipBlanks(xml, at);
                if (kind == "PUBLIC") {
                    quoted(xml, at);
                    at = skipBlanks(xml, at);
                }
                entity.systemId = quoted(xml, at).value_or("");
            }
            if (!parameter && !name.empty()) entities.emplace(name, std::move(entity));
            while (at < xml.size() && xml[at] != '>')
                if (!quoted(xml, at)) ++at;
        } else if (!quoted(xml, at)) {
            ++at;
        }
    }
    const std::size_t close = xml.find('>', at);
    bodyAt = close == std::string::npos ? xml.size() : close + 1;
    return entities;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string entityFilePath(const std::string& systemId, const std::string& documentFolder) {
    std::string path;
    const bool url = systemId.compare(0, 5, "file:") == 0;
    for (std::size_t i = url ? 5 : 0; i < systemId.size(); ++i) {
        // A URL writes a byte it cannot hold as %XX.
        if (url && systemId[i] == '%' && i + 2 < systemId.size() && hexDigit(systemId[i + 1]) >= 0 &&
            hexDigit(systemId[i + 2]) >= 0) {
            path += static_cast<char>(hexDigit(systemId[i + 1]) * 16 + hexDigit(systemId[i + 2]));
            i += 2;
        } else {
            path += systemId[i] == '/' ? '\\' : systemId[i];
        }
    }
    // file:///C:/conf/x.xml: the slashes before a drive letter are the URL's.
    const std::size_t drive = path.find_first_not_of('\\');
    if (url && drive != std::string::npos && drive > 0 && path.compare(drive + 1, 1, ":") == 0) path.erase(0, drive);
    if (isAbsoluteWindowsPath(path)) return path;
    return documentFolder + "\\" + path;
}

ExpandedXml withEntitiesExpanded(const std::string& xml, const EntityFileReader& read, std::size_t largest) {
    std::size_t bodyAt = 0;
    const auto entities = declaredEntities(xml, bodyAt);
    if (entities.empty()) return {xml, {}};
    const std::string kTooLarge = "The document grows too large with its entities";
    // A file is read the first time a reference that counts needs it: one declared and never used, or used
    // only in a comment, is no more read than Tomcat's parser reads it.
    std::map<std::string, std::string> texts;
    std::size_t bytesRead = 0;
    std::string body = xml.substr(bodyAt);
    for (int depth = 0; depth < 4; ++depth) {
        std::string expanded;
        bool replaced = false;
        std::size_t at = 0;
        while (at < body.size()) {
            // Comments, character data and instructions are text as they stand: nothing in them is a reference.
            bool verbatim = false;
            for (const auto& [open, close] :
                 {std::pair<const char*, const char*>{"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}})
                if (body.compare(at, std::char_traits<char>::length(open), open) == 0) {
                    const std::size_t end = body.find(close, at);
                    const std::size_t stop =
                        end == std::string::npos ? body.size() : end + std::char_traits<char>::length(close);
                    expanded.append(body, at, stop - at);
                    at = stop;
                    verbatim = true;
                    break;
                }
            if (verbatim) continue;
            const std::size_t semicolon = body[at] == '&' ? body.find(';', at + 1) : std::string::npos;
            const auto entity = semicolon == std::string::npos ? entities.end()
                                                               : entities.find(body.substr(at + 1, semicolon - at - 1));
            if (entity == entities.end()) {
                expanded += body[at++];
                continue;
            }
            const auto& [name, declared] = *entity;
            if (!texts.count(name)) {
                if (declared.systemId.empty()) {
                    texts[name] = declared.value;
                } else {
                    auto text = read(declared.systemId);
                    if (!text)
                        return {{},
                                "The file \"" + declared.systemId + "\" that the entity \"" + name +
                                    "\" of the DOCTYPE names could not be read",
                                declared.at};
                    bytesRead += text->size();
                    if (bytesRead > largest) return {{}, kTooLarge};
                    texts[name] = std::move(*text);
                }
            }
            expanded += texts[name];
            at = semicolon + 1;
            replaced = true;
            if (expanded.size() > largest) return {{}, kTooLarge};
        }
        body = std::move(expanded);
        if (!replaced) break;
    }
    if (bodyAt + body.size() > largest) return {{}, kTooLarge};
    return {xml.substr(0, bodyAt) + body, {}};
}

}  // namespace velmora
