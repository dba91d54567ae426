#pragma once
#include <functional>
#include <optional>
#include <string>

namespace velmora {

// A file's text by the system identifier an entity names it with; none when
// it cannot be read.
using EntityFileReader = std::function<std::optional<std::string>(const std::string& systemId)>;

// The document with the general entities its DOCTYPE declares put in where
// they are referred to, as Tomcat's XML parser does: a value written in the
// declaration, or the text of the file it names (SYSTEM or PUBLIC), so that
// connectors kept in another file are read too. Entities inside an entity's
// text are put in as well, as deep as four levels; the predefined ones
// (&amp;) and character references stay, as does every reference inside a
// comment, character data or an instruction. A file that a reference needs
// and that cannot be read is an error, in words; so is a document that grows,
// or files that add up, past the size given, and an ampersand that starts no
// reference the parser takes, which a lenient parser would read as text.
struct ExpandedXml {
    std::string text;
    std::string error;        // empty when the text is the document
    std::size_t errorAt = 0;  // in bytes of the document given: the declaration of the entity
    // Where the first entity's text was put in: bytes before it stand where the document has them.
    std::size_t firstPutIn = std::string::npos;
};

// The file an entity's system identifier names: a file: URL or a path, a
// relative one taken from the folder of the document.
std::string entityFilePath(const std::string& systemId, const std::string& documentFolder);
ExpandedXml withEntitiesExpanded(const std::string& xml, const EntityFileReader& read, std::size_t largest);

}  // namespace velmora
