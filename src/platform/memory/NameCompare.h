#pragma once
#include <algorithm>
#include <cctype>
#include <string>

namespace velmora {

// Windows compares key, value, file and variable names without regard to case.
struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
        });
    }
};

inline bool sameName(const std::string& a, const std::string& b) { return !NoCaseLess()(a, b) && !NoCaseLess()(b, a); }

}  // namespace velmora
