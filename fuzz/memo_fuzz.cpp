// Wrapping texts: MLCOUNT, MEMOLINE and LINESPLIT over any text, width, tab width and
// wrapping mode.
#include "app/procedures.hpp"
#include "fuzz/require.hpp"
#include "runtime/memo.hpp"
#include "runtime/runtime.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Characters of a line: a lower bound of the wrapping's own count (bytes that continue a
// UTF-8 sequence are not counted, whether or not the sequence is well formed).
std::size_t characters(const std::string& line) {
    std::size_t n = 0;
    for (const unsigned char c : line) {
        n += (c & 0xC0) != 0x80;
    }
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const int width = static_cast<int>(data[0]) - 8; // also below 1: the default width
    const int tab = data[1] % 12;                    // 0 as well
    const bool wordWrap = (data[2] & 1) != 0;
    const std::string text(reinterpret_cast<const char*>(data) + 3, size - 3);
    const int effective = width < 1 ? rt::MEMO_DEFAULT_WIDTH : width;

    const auto lines = rt::wrapLines(text, width, tab == 0 ? rt::MEMO_DEFAULT_TAB : tab, wordWrap);
    const rt::Value tabValue = tab == 0 ? rt::NIL : rt::Value(tab);
    const int count = rt::MLCOUNT(rt::Value(text), width, tabValue, wordWrap);
    REQUIRE(count == static_cast<int>(lines.size()));
    for (int i = 1; i <= count; ++i) {
        const std::string line = rt::MEMOLINE(rt::Value(text), width, i, tabValue, wordWrap);
        REQUIRE(line == lines[static_cast<std::size_t>(i - 1)]);
        // Every wrapped line is at most the width, holds no line end and no trailing blank.
        REQUIRE(characters(line) <= static_cast<std::size_t>(effective));
        REQUIRE(line.find_first_of("\r\n") == std::string::npos);
        REQUIRE(line.empty() || line.back() != ' ');
    }
    REQUIRE(rt::MEMOLINE(rt::Value(text), width, count + 1, tabValue, wordWrap).empty());
    // Without line ends and blanks, nothing is lost: the lines joined give the text.
    if (text.find_first_of("\r\n \t") == std::string::npos) {
        std::string joined;
        for (const auto& line : lines) {
            joined += line;
        }
        REQUIRE(joined == text);
    }

    // LINESPLIT: the lines at the default tab width with word wrapping, each followed by
    // ";".
    const rt::Value split = LINESPLIT(rt::Value(text), rt::Value(width));
    std::string expected;
    for (const auto& line : rt::wrapLines(text, width, rt::MEMO_DEFAULT_TAB, true)) {
        expected += line + ";";
    }
    REQUIRE(split.isText() && split.text() == expected);
    return 0;
}
