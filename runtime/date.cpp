#include "runtime/date.hpp"

#include "runtime/platform.hpp"
#include "runtime/procedure_stack.hpp"
#include "runtime/settings.hpp"
#include "runtime/text.hpp"

#include <cstdio>

namespace rt {

namespace {

// Days since 1970-01-01 for a proleptic Gregorian date, and back.
long daysFromCivil(int y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153L * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date civilFromDays(long z) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
    return {y, m, d};
}

std::string twoDigits(int n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", n % 100);
    return buffer;
}

} // namespace

Date DATE(Loc loc) {
    trace(loc);
    const auto now = platform().now();
    return {now.date.year, now.date.month, now.date.day};
}

int DOW(const Date& d) {
    if (d.empty()) {
        return 0;
    }
    // 1970-01-01 was a Thursday (5).
    const long days = daysFromCivil(d.year, d.month, d.day);
    const long weekday = ((days % 7) + 7 + 4) % 7; // 0 Sunday
    return static_cast<int>(weekday) + 1;
}

int DAY(const Date& d) {
    return d.day;
}
int MONTH(const Date& d) {
    return d.month;
}
int YEAR(const Date& d) {
    return d.year;
}

std::string DTOS(const Date& d) {
    if (d.empty()) {
        return SPACE(8);
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", d.year, d.month, d.day);
    return buffer;
}

std::string DTOC(const Date& d) {
    const Value format = SET(setting::DATEFORMAT);
    std::string pattern = format.isText() ? format.text() : "dd.mm.yyyy";
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        auto starts = [&](const char* token) {
            return pattern.compare(i, std::char_traits<char>::length(token), token) == 0;
        };
        if (starts("yyyy")) {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "%04d", d.year);
            out += d.empty() ? "    " : buffer;
            i += 4;
        } else if (starts("yy")) {
            out += d.empty() ? "  " : twoDigits(d.year);
            i += 2;
        } else if (starts("mm")) {
            out += d.empty() ? "  " : twoDigits(d.month);
            i += 2;
        } else if (starts("dd")) {
            out += d.empty() ? "  " : twoDigits(d.day);
            i += 2;
        } else {
            out += pattern[i++];
        }
    }
    return out;
}

std::string TIME(Loc loc) {
    trace(loc);
    const auto now = platform().now();
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", now.hour, now.minute, now.second);
    return buffer;
}

Date addDays(const Date& d, int days) {
    if (d.empty()) {
        return d;
    }
    return civilFromDays(daysFromCivil(d.year, d.month, d.day) + days);
}

} // namespace rt
