#pragma once
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// What cmd.exe makes of a batch file's text, as far as Tomcat's service.bat
// and setenv.bat need it read.

// A line as cmd reads it: physical lines (CRLF or LF) joined where one ends
// in a caret outside double quotes. The caret stays in the text, as it
// escapes the first character of the line that follows.
struct ScriptLine {
    std::size_t number = 0;  // of its first physical line, from 1
    std::string text;
};
std::vector<ScriptLine> logicalLines(const std::string& script);

// The line without its leading blanks and "@" signs.
std::string commandText(const std::string& line);
// Whether the command's first word is `word` (lower case) in any case, ended
// as cmd ends a command's name: by a blank, the end or one of . : / \ (
bool startsWithWord(const std::string& command, const std::string& word);
// A remark (rem, ::), a label or echo text: nothing of it runs as a command.
// An echo followed by "&" or "|" is not, for the command after it runs.
bool isCommentOrEcho(const std::string& line);

// cmd's caret escapes outside double quotes applied ("^&" is "&", "^^" is
// "^"; inside quotes a caret is literal), and the operators & | < > ( ) that
// stand there unescaped, in order.
struct CaretReading {
    std::string text;
    std::string operators;
    bool quoteLeftOpen = false;
};
CaretReading readCarets(const std::string& text);

// The %NAME% references replaced by the values `valueOf` knows and "%%" by
// "%"; nothing when the text refers to anything else (another variable, an
// argument such as %1 or %~dp0, a lone percent sign).
using VariableLookup = std::function<std::optional<std::string>(const std::string& name)>;
std::optional<std::string> expandPercents(const std::string& text, const VariableLookup& valueOf);

// The arguments as a Windows program's C runtime splits its command line:
// blanks outside double quotes separate, quotes go, and 2n backslashes before
// a quote give n with the quote toggling, 2n+1 give n and a literal quote.
struct CommandLineArguments {
    std::vector<std::string> arguments;
    bool quoteLeftOpen = false;
};
CommandLineArguments commandLineArguments(const std::string& text);

}  // namespace velmora
