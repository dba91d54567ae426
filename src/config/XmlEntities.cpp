#include "config/XmlEntities.h"

#include <algorithm>
#include <cctype>
#include <iterator>
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
// of a name counting; where the DOCTYPE ends; and whether it names a file of
// declarations of its own (SYSTEM or PUBLIC), which may declare others.
std::map<std::string, Declared> declaredEntities(const std::string& xml, std::size_t& bodyAt, bool& externalSubset) {
    std::map<std::string, Declared> entities;
    bodyAt = 0;
    externalSubset = false;
    const std::size_t doctype = xml.find("<!DOCTYPE");
    if (doctype == std::string::npos) return entities;
    std::size_t at = doctype + 9;
    while (at < xml.size() && xml[at] != '[' && xml[at] != '>') {
        if (quoted(xml, at)) continue;
        std::size_t end = at;
        while (end < xml.size() && std::isalpha(static_cast<unsigned char>(xml[end]))) ++end;
        const std::string keyword = xml.substr(at, end - at);
        externalSubset = externalSubset || keyword == "SYSTEM" || keyword == "PUBLIC";
        at = std::max(end, at + 1);
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

// Where a comment, character data or an instruction that starts at `at` ends; npos when none starts there.
// Nothing in them is a reference.
std::size_t verbatimEnd(const std::string& text, std::size_t at) {
    for (const auto& [open, close] :
         {std::pair<const char*, const char*>{"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}})
        if (text.compare(at, std::char_traits<char>::length(open), open) == 0) {
            const std::size_t end = text.find(close, at);
            return end == std::string::npos ? text.size() : end + std::char_traits<char>::length(close);
        }
    return std::string::npos;
}

bool startsName(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == ':' || static_cast<unsigned char>(c) >= 0x80;
}

bool inName(char c) { return startsName(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.'; }

// What is wrong with the first ampersand from `from` on that starts no reference Tomcat's parser takes: a
// character reference, one of XML's five, or an entity `known` says is declared. Such a document is not XML,
// though a lenient parser reads it ("a=1&b=2" in a JDBC URL stops Tomcat).
struct BadReference {
    std::string description;
    std::size_t at = 0;
};
std::optional<BadReference> firstBadReference(const std::string& text, std::size_t from,
                                              const std::function<bool(const std::string&)>& known) {
    for (std::size_t at = from; at < text.size();) {
        if (const std::size_t end = verbatimEnd(text, at); end != std::string::npos) {
            at = end;
            continue;
        }
        if (text[at] != '&') {
            ++at;
            continue;
        }
        std::size_t end = at + 1;
        const bool character = end < text.size() && text[end] == '#';
        bool named = false;
        if (character) {
            const bool hex = ++end < text.size() && text[end] == 'x';
            if (hex) ++end;
            const std::size_t digits = end;
            while (end < text.size() &&
                   (hex ? hexDigit(text[end]) >= 0 : std::isdigit(static_cast<unsigned char>(text[end]))))
                ++end;
            named = end > digits;
        } else if (end < text.size() && startsName(text[end])) {
            while (end < text.size() && inName(text[end])) ++end;
            named = true;
        }
        if (!named || end >= text.size() || text[end] != ';')
            return BadReference{"An ampersand (&) starts no reference: Tomcat's parser stops at it (write it as &amp;)",
                                at};
        const std::string name = text.substr(at + 1, end - at - 1);
        static const char* const kPredefined[] = {"amp", "lt", "gt", "quot", "apos"};
        if (!character && std::find(std::begin(kPredefined), std::end(kPredefined), name) == std::end(kPredefined) &&
            !known(name))
            return BadReference{"The entity \"" + name + "\" is referred to but not declared", at};
        at = end + 1;
    }
    return std::nullopt;
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
    bool externalSubset = false;
    const auto entities = declaredEntities(xml, bodyAt, externalSubset);
    // A name the internal subset does not declare may stand in the file of declarations the DOCTYPE names.
    const auto known = [&](const std::string& name) { return externalSubset || entities.count(name) > 0; };
    if (const auto bad = firstBadReference(xml, bodyAt, known)) return {{}, bad->description, bad->at};
    if (entities.empty()) return {xml, {}};
    const std::string kTooLarge = "The document grows too large with its entities";
    // A file is read the first time a reference that counts needs it: one declared and never used, or used
    // only in a comment, is no more read than Tomcat's parser reads it.
    std::map<std::string, std::string> texts;
    std::size_t bytesRead = 0;
    std::string body = xml.substr(bodyAt);
    std::size_t firstPutIn = std::string::npos;
    for (int depth = 0; depth < 4; ++depth) {
        std::string expanded;
        bool replaced = false;
        std::size_t at = 0;
        while (at < body.size()) {
            if (const std::size_t stop = verbatimEnd(body, at); stop != std::string::npos) {
                expanded.append(body, at, stop - at);
                at = stop;
                continue;
            }
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
                if (const auto bad = firstBadReference(texts[name], 0, known))
                    return {{}, bad->description + " in the text of the entity \"" + name + "\"", declared.at};
            }
            if (depth == 0 && firstPutIn == std::string::npos) firstPutIn = bodyAt + expanded.size();
            expanded += texts[name];
            at = semicolon + 1;
            replaced = true;
            if (expanded.size() > largest) return {{}, kTooLarge};
        }
        body = std::move(expanded);
        if (!replaced) break;
    }
    if (bodyAt + body.size() > largest) return {{}, kTooLarge};
    return {xml.substr(0, bodyAt) + body, {}, 0, firstPutIn};
}

}  // namespace velmora
