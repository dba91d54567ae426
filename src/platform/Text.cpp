#include "platform/Text.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace velmora {

namespace {

struct CaseRun {
    std::uint16_t first;
    std::uint16_t count;
    std::uint16_t stride;
    std::int32_t delta;
};

constexpr CaseRun kUpperCase[] = {
#include "platform/UpperCaseTable.inc"
};

constexpr char32_t kReplacement = 0xFFFD;

// One code point from UTF-8 at `at`, which moves past it.
char32_t decodeOne(const std::string& text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    if (extra < 0) {
        ++at;
        return kReplacement;
    }
    char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        if (at + i >= text.size() || (byte(at + i) & 0xC0) != 0x80) {
            at += i;
            return kReplacement;
        }
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    at += extra + 1;
    static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kReplacement;
    return code;
}

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

bool isValidUtf8(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        const bool replacementWritten = text.compare(start, 3, "\xEF\xBF\xBD") == 0;
        if (decodeOne(text, at) == kReplacement && !replacementWritten) return false;
    }
    return true;
}

std::u16string toUtf16(const std::string& utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t code = decodeOne(utf8, at);
        if (code < 0x10000) {
            out += static_cast<char16_t>(code);
        } else {
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::string fromUtf16(const std::u16string& utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t code = utf16[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = kReplacement;
        }
        appendUtf8(out, code);
    }
    return out;
}

std::size_t utf16Length(const std::string& utf8) { return toUtf16(utf8).size(); }

char16_t upperCase(char16_t unit) {
    for (const CaseRun& run : kUpperCase) {
        if (unit < run.first) break;
        const unsigned offset = unit - run.first;
        if (offset < static_cast<unsigned>(run.count) * run.stride && offset % run.stride == 0)
            return static_cast<char16_t>(unit + run.delta);
    }
    return unit;
}

std::u16string foldedName(const std::string& utf8) {
    std::u16string folded = toUtf16(utf8);
    std::transform(folded.begin(), folded.end(), folded.begin(), upperCase);
    return folded;
}

bool sameName(const std::string& a, const std::string& b) { return foldedName(a) == foldedName(b); }

bool isHiddenCharacter(char32_t code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F) || (code >= 0x202A && code <= 0x202E) ||
           (code >= 0x2066 && code <= 0x2069);
}

std::optional<char32_t> firstHiddenCharacter(const std::string& text) {
    for (std::size_t at = 0; at < text.size();)
        if (const char32_t code = decodeOne(text, at); isHiddenCharacter(code)) return code;
    return std::nullopt;
}

namespace {
std::string hexDigits(char32_t code, int digits) {
    static const char* hex = "0123456789ABCDEF";
    std::string text;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) text += hex[(code >> shift) & 0xF];
    return text;
}
}  // namespace

std::string codePointName(char32_t code) { return "U+" + hexDigits(code, code > 0xFFFF ? 6 : 4); }

std::string quotedNames(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) text += (text.empty() ? "\"" : ", \"") + name + "\"";
    return text;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string visibleText(const std::string& text) {
    if (!firstHiddenCharacter(text)) return text;
    std::string visible;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        const char32_t code = decodeOne(text, at);
        if (!isHiddenCharacter(code) || code == '\n' || code == '\t')
            visible.append(text, start, at - start);
        else
            visible += code < 0x100 ? "\\x" + hexDigits(code, 2) : "\\u" + hexDigits(code, 4);
    }
    return visible;
}

namespace {
// The UTF-16 units of a UTF-8 text, upper-cased, one at a time: names are
// compared without building their folded copies.
class FoldedUnits {
public:
    explicit FoldedUnits(const std::string& text) : text_(text) {}
    bool next(char16_t& unit) {
        if (pendingLow_) {
            unit = std::exchange(pendingLow_, u'\0');
            return true;
        }
        if (at_ >= text_.size()) return false;
        const char32_t code = decodeOne(text_, at_);
        if (code < 0x10000) {
            unit = upperCase(static_cast<char16_t>(code));
        } else {
            unit = static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            pendingLow_ = static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
        return true;
    }

private:
    const std::string& text_;
    std::size_t at_ = 0;
    char16_t pendingLow_ = u'\0';
};
}  // namespace

bool NameLess::operator()(const std::string& a, const std::string& b) const {
    FoldedUnits left(a), right(b);
    for (;;) {
        char16_t x = 0, y = 0;
        const bool moreLeft = left.next(x), moreRight = right.next(y);
        if (!moreLeft || !moreRight) return !moreLeft && moreRight;
        if (x != y) return x < y;
    }
}

}  // namespace velmora
