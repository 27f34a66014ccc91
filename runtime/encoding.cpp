#include "runtime/encoding.hpp"

#include "runtime/platform.hpp"

#include <array>
#include <cstdint>

namespace rt {

namespace {

// The characters of code page 1252 from 0x80 to 0x9F; from 0xA0 on the code page equals
// Unicode (Latin-1).
constexpr std::array<char32_t, 32> cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

} // namespace

namespace {

// The length of the well-formed UTF-8 sequence that starts at bytes[i]: 0 when the bytes
// there are not one, -1 when they begin one that the end of the bytes cuts off. The
// allowed range of the second byte keeps out overlong forms, surrogates and code points
// above U+10FFFF.
int sequenceLength(std::string_view bytes, std::size_t i) {
    const auto b = static_cast<std::uint8_t>(bytes[i]);
    if (b < 0x80) {
        return 1;
    }
    int length = 0;
    std::uint8_t low = 0x80, high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0) {
            low = 0xA0;
        } else if (b == 0xED) {
            high = 0x9F;
        }
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0) {
            low = 0x90;
        } else if (b == 0xF4) {
            high = 0x8F;
        }
    } else {
        return 0;
    }
    for (int k = 1; k < length; ++k) {
        if (i + k >= bytes.size()) {
            return -1;
        }
        const auto c = static_cast<std::uint8_t>(bytes[i + k]);
        const std::uint8_t lo = k == 1 ? low : 0x80;
        const std::uint8_t hi = k == 1 ? high : 0xBF;
        if (c < lo || c > hi) {
            return 0;
        }
    }
    return length;
}

} // namespace

bool isUtf8(std::string_view bytes, bool allowCutEnd) {
    for (std::size_t i = 0; i < bytes.size();) {
        const int length = sequenceLength(bytes, i);
        if (length <= 0) {
            return length < 0 && allowCutEnd;
        }
        i += static_cast<std::size_t>(length);
    }
    return true;
}

std::string withReplacementCharacters(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const int length = sequenceLength(bytes, i);
        if (length > 0) {
            out.append(bytes.substr(i, static_cast<std::size_t>(length)));
            i += static_cast<std::size_t>(length);
        } else {
            // One replacement character for each byte that is not part of a character.
            appendUtf8(out, 0xFFFD);
            ++i;
        }
    }
    return out;
}

std::string utf8FromCodePage1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char ch : bytes) {
        const auto b = static_cast<std::uint8_t>(ch);
        if (b < 0x80) {
            out.push_back(ch);
        } else if (b < 0xA0) {
            appendUtf8(out, cp1252High[b - 0x80]);
        } else {
            appendUtf8(out, b);
        }
    }
    return out;
}

std::string_view withoutByteOrderMark(std::string_view bytes) {
    if (bytes.substr(0, byteOrderMark.size()) == byteOrderMark) {
        bytes.remove_prefix(byteOrderMark.size());
    }
    return bytes;
}

std::string utf8FromFileText(std::string_view bytes) {
    bytes = withoutByteOrderMark(bytes);
    if (isUtf8(bytes, true)) {
        return std::string(bytes);
    }
    return utf8FromCodePage1252(bytes);
}

std::string textFromFile(std::string_view bytes) {
    return platform().textFromFile(std::string(bytes));
}

} // namespace rt
