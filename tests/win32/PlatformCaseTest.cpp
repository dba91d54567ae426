#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Text.h"

namespace velmora {
namespace {

bool windowsLess(wchar_t a, wchar_t b) { return CompareStringOrdinal(&a, 1, &b, 1, TRUE) == CSTR_LESS_THAN; }
bool windowsSame(wchar_t a, wchar_t b) { return CompareStringOrdinal(&a, 1, &b, 1, TRUE) == CSTR_EQUAL; }
bool oursLess(wchar_t a, wchar_t b) { return upperCase(a) < upperCase(b); }
bool oursSame(wchar_t a, wchar_t b) { return upperCase(a) == upperCase(b); }

// The BMP's units group as CompareStringOrdinal groups them; sorted either way, neighbours show any difference.
TEST(CaseTest, OurUpperCaseGroupsUnitsAsWindowsOrdinalComparisonIgnoringCase) {
    std::vector<wchar_t> units;
    for (unsigned code = 0; code <= 0xFFFF; ++code)
        if (code < 0xD800 || code > 0xDFFF) units.push_back(static_cast<wchar_t>(code));

    std::string disagreements;
    for (const auto& less :
         {std::function<bool(wchar_t, wchar_t)>(windowsLess), std::function<bool(wchar_t, wchar_t)>(oursLess)}) {
        std::stable_sort(units.begin(), units.end(), less);
        for (std::size_t i = 1; i < units.size(); ++i) {
            const wchar_t a = std::min(units[i - 1], units[i]), b = std::max(units[i - 1], units[i]);
            if (windowsSame(a, b) == oursSame(a, b)) continue;
            char line[48];
            std::snprintf(line, sizeof line, "U+%04X U+%04X: Windows %s\n", static_cast<unsigned>(a),
                          static_cast<unsigned>(b), windowsSame(a, b) ? "same" : "different");
            if (disagreements.find(line) == std::string::npos) disagreements += line;
        }
    }
    EXPECT_EQ(disagreements, "");
}

}  // namespace
}  // namespace velmora
