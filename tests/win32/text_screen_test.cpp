// The console window's text screen: where written text lands and where the cursor goes.
#include "runtime/win32/text_screen.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using rt::win32::TextScreen;

struct ScreenCase {
    const char* name;
    std::wstring written;
    std::vector<std::wstring> lines; // the first rows, trailing blanks dropped
    int row;
    int col;
};

std::wstring trimmed(const std::wstring& line) {
    const auto end = line.find_last_not_of(L' ');
    return end == std::wstring::npos ? L"" : line.substr(0, end + 1);
}

class ScreenWriting : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(ScreenWriting, PutsTextAndCursorWhereAConsoleWould) {
    const ScreenCase& c = GetParam();
    TextScreen screen(4, 10);
    screen.write(c.written);
    for (std::size_t r = 0; r < c.lines.size(); ++r) {
        EXPECT_EQ(trimmed(screen.line(static_cast<int>(r))), c.lines[r]) << "row " << r;
    }
    EXPECT_EQ(screen.row(), c.row);
    EXPECT_EQ(screen.col(), c.col);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScreenWriting,
    ::testing::Values(
        ScreenCase{"plain", L"abc", {L"abc", L""}, 0, 3},
        ScreenCase{"crlf", L"\r\nab\r\ncd", {L"", L"ab", L"cd"}, 2, 2},
        ScreenCase{"carriageReturnOverwrites", L"abc\rX", {L"Xbc"}, 0, 1},
        ScreenCase{"umlauts", L"Büro Ä", {L"Büro Ä"}, 0, 6},
        ScreenCase{"tab", L"a\tb", {L"a       b"}, 0, 9},
        ScreenCase{"backspace", L"ab\bc", {L"ac"}, 0, 2},
        ScreenCase{"controlsIgnored",
                   L"a\a\x01"
                   L"b",
                   {L"ab"},
                   0,
                   2},
        ScreenCase{"wrapsAtLastColumn", L"0123456789xy", {L"0123456789", L"xy"}, 1, 2},
        ScreenCase{"scrollsBelowLastRow", L"1\n2\n3\n4\n5", {L"2", L"3", L"4", L"5"}, 3, 1}),
    [](const ::testing::TestParamInfo<ScreenCase>& info) { return std::string(info.param.name); });

TEST(ScreenCursor, MovesWithinTheScreenOnly) {
    TextScreen screen(25, 80);
    screen.moveTo(30, 100);
    EXPECT_EQ(screen.row(), 24);
    EXPECT_EQ(screen.col(), 79);
    screen.moveTo(-1, -5);
    EXPECT_EQ(screen.row(), 0);
    EXPECT_EQ(screen.col(), 0);
}

TEST(ScreenSize, ResizeKeepsWhatFits) {
    TextScreen screen(2, 5);
    screen.write(L"abcd\r\nxy");
    screen.resize(3, 3);
    EXPECT_EQ(screen.line(0), L"abc");
    EXPECT_EQ(screen.line(1), L"xy ");
    EXPECT_EQ(screen.line(2), L"   ");
    EXPECT_EQ(screen.row(), 1);
    EXPECT_EQ(screen.col(), 2);
}

} // namespace
