#include "runtime/text.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace rt {

std::string text(std::string_view utf8) {
    // The runtime's texts are UTF-8 on this platform: nothing to convert.
    return std::string(utf8);
}

int AT(std::string_view needle, std::string_view haystack, int start) {
    if (needle.empty() || start < 1 || static_cast<std::size_t>(start) > haystack.size()) {
        return 0;
    }
    const auto found = haystack.find(needle, static_cast<std::size_t>(start - 1));
    return found == std::string_view::npos ? 0 : static_cast<int>(found + 1);
}

namespace {
std::size_t startIndex(std::string_view s, int start) {
    const auto size = static_cast<long>(s.size());
    long index = start > 0 ? start - 1L : (start == 0 ? 0L : size + start);
    if (index < 0) {
        index = 0;
    }
    return static_cast<std::size_t>(std::min(index, size));
}
} // namespace

std::string SUBSTR(std::string_view s, int start) {
    return std::string(s.substr(startIndex(s, start)));
}

std::string SUBSTR(std::string_view s, int start, int count) {
    if (count < 0) {
        return "";
    }
    return std::string(s.substr(startIndex(s, start), static_cast<std::size_t>(count)));
}

int LEN(const Value& v) {
    if (v.isText()) {
        return static_cast<int>(v.text().size());
    }
    if (v.isArray()) {
        return static_cast<int>(v.array()->size());
    }
    return 0;
}

std::string LTRIM(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    return first == std::string_view::npos ? "" : std::string(s.substr(first));
}

std::string TRIM(std::string_view s) {
    const auto last = s.find_last_not_of(' ');
    return last == std::string_view::npos ? "" : std::string(s.substr(0, last + 1));
}

std::string ALLTRIM(std::string_view s) {
    return LTRIM(TRIM(s));
}

std::string SPACE(int count) {
    return std::string(count > 0 ? count : 0, ' ');
}

std::string REPLICATE(std::string_view s, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += s;
    }
    return out;
}

std::string PADL(const Value& v, int width, char fill) {
    std::string s;
    if (v.isText()) {
        s = v.text();
    } else if (v.isNumber()) {
        s = ALLTRIM(STR(v.number()));
    }
    if (width <= 0) {
        return "";
    }
    const auto w = static_cast<std::size_t>(width);
    if (s.size() >= w) {
        return s.substr(s.size() - w);
    }
    return std::string(w - s.size(), fill) + s;
}

std::string STR(double n) {
    const bool whole = std::floor(n) == n;
    return STR(n, 10, whole ? 0 : 2);
}

std::string STR(double n, int width) {
    return STR(n, width, 0);
}

std::string STR(double n, int width, int decimals) {
    if (width < 1) {
        width = 10;
    }
    if (decimals < 0) {
        decimals = 0;
    }
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%*.*f", width, decimals, n);
    std::string s = buffer;
    if (!std::isfinite(n) || s.size() > static_cast<std::size_t>(width)) {
        return std::string(static_cast<std::size_t>(width), '*');
    }
    return s;
}

std::string STRZERO(double n, int width, int decimals) {
    std::string s = STR(n, width, decimals);
    if (s.find('*') != std::string::npos) {
        return s;
    }
    const bool negative = s.find('-') != std::string::npos;
    for (auto& c : s) {
        if (c == ' ' || c == '-') {
            c = '0';
        }
    }
    if (negative) {
        s[0] = '-';
    }
    return s;
}

double VAL(std::string_view s) {
    std::string copy(LTRIM(s));
    const char* begin = copy.c_str();
    char* end = nullptr;
    const double n = std::strtod(begin, &end);
    if (end == begin || !std::isfinite(n)) {
        return 0;
    }
    return n;
}

double INT(double n) {
    return std::trunc(n);
}

std::string CHR(int code) {
    return std::string(1, static_cast<char>(code & 0xFF));
}

std::string STRTRAN(std::string_view s, std::string_view search, std::string_view replace) {
    if (search.empty()) {
        return std::string(s);
    }
    std::string out;
    std::size_t from = 0;
    for (;;) {
        const auto found = s.find(search, from);
        if (found == std::string_view::npos) {
            out += s.substr(from);
            return out;
        }
        out += s.substr(from, found - from);
        out += replace;
        from = found + search.size();
    }
}

bool EMPTY(const Value& v) {
    switch (v.typeLetter()) {
    case 'U':
        return true;
    case 'C':
        return v.text().find_first_not_of(" \t\r\n") == std::string::npos;
    case 'N':
        return v.number() == 0;
    case 'L':
        return !v.logical();
    case 'D':
        return v.date().empty();
    case 'A':
        return v.array()->empty();
    default:
        return false;
    }
}

std::string VALTYPE(const Value& v) {
    return std::string(1, v.typeLetter());
}

} // namespace rt
