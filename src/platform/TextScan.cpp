#include "platform/TextScan.h"

namespace velmora {

bool TextScanner::take(std::string_view literal) {
    if (text_.substr(at_, literal.size()) != literal) return false;
    at_ += literal.size();
    return true;
}

void TextScanner::skip(char c) {
    if (at_ < text_.size() && text_[at_] == c) ++at_;
}

std::string TextScanner::takeWhile(bool (*accepts)(char)) {
    const std::size_t from = at_;
    while (at_ < text_.size() && accepts(text_[at_])) ++at_;
    return std::string(text_.substr(from, at_ - from));
}

std::optional<std::string> TextScanner::takeUntil(std::string_view end) {
    const std::size_t found = text_.find(end, at_ + 1);
    if (at_ >= text_.size() || found == std::string_view::npos) return std::nullopt;
    std::string taken(text_.substr(at_, found - at_));
    at_ = found + end.size();
    return taken;
}

std::optional<std::string> TextScanner::takeDigits(std::size_t fewest, std::size_t most) {
    std::string digits = takeWhile(isAsciiDigit);
    if (digits.size() < fewest || digits.size() > most) return std::nullopt;
    return digits;
}

std::optional<std::string> scanAfter(std::string_view text, std::string_view lead, const ScanRest& rest) {
    for (std::size_t at = text.find(lead); at != std::string_view::npos; at = text.find(lead, at + 1)) {
        TextScanner scanner(text, at + lead.size());
        if (auto found = rest(scanner)) return found;
    }
    return std::nullopt;
}

bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool isNotBlank(char c) { return c != ' ' && c != '\t' && c != '\r' && c != '\n'; }

}  // namespace velmora
