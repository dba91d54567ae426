#include "platform/Clock.h"

#include <cstdio>

namespace velmora {

std::string isoUtcText(FileTime time) {
    // Days since 1601-01-01 to a civil date, by 400-year eras counted from 0000-03-01.
    constexpr long long kDaysFrom0000To1601 = 584694;
    const long long seconds = static_cast<long long>(time / kTicksPerSecond);
    const long long days = seconds / 86400 + kDaysFrom0000To1601;
    const long long era = days / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthIndex = (5 * dayOfYear + 2) / 153;
    const long long day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const long long month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    const long long second = seconds % 86400;
    char text[96];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lldZ", year, month, day, second / 3600,
                  second / 60 % 60, second % 60);
    return text;
}

}  // namespace velmora
