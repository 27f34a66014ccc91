// What the Windows layer tells about the program and the system, and its text
// conversions.
#include "runtime/win32/wide_text.hpp"
#include "runtime/win32/win32_platform.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using rt::win32::Win32Platform;

TEST(Win32System, IsAGraphicalApplication) {
    Win32Platform platform;
    EXPECT_EQ(platform.appType(), 3);
}

TEST(Win32System, ExecutablePathIsThisProgram) {
    Win32Platform platform;
    const std::string path = platform.executablePath();
    EXPECT_NE(path.find("win32_platform_tests.exe"), std::string::npos) << path;
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::u8path(path))) << path;
}

TEST(Win32System, DesktopSizeIsInPixelsOfAScreenAt100Percent) {
    Win32Platform platform;
    const auto size = platform.desktopSize();
    RECT desktop{};
    ASSERT_TRUE(::GetWindowRect(::GetDesktopWindow(), &desktop));
    const double scale = ::GetDpiForSystem() / 96.0;
    EXPECT_NEAR(size.width, (desktop.right - desktop.left) / scale, 1.0);
    EXPECT_NEAR(size.height, (desktop.bottom - desktop.top) / scale, 1.0);
}

// The manifest this test program carries is the program's own.
TEST(Win32System, IsAwareOfEachMonitorsDpi) {
    const DPI_AWARENESS_CONTEXT context = ::GetThreadDpiAwarenessContext();
    EXPECT_EQ(::GetAwarenessFromDpiAwarenessContext(context), DPI_AWARENESS_PER_MONITOR_AWARE);
    // Version 2 where the system knows it (Windows 10 from 1703 on; Wine 8 knows only the
    // first version).
    if (::IsValidDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) {
        EXPECT_TRUE(
            ::AreDpiAwarenessContextsEqual(context, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2));
    }
}

TEST(Win32System, OsNameNamesWindowsAndItsVersion) {
    Win32Platform platform;
    const std::string name = platform.osName();
    EXPECT_EQ(name.rfind("Windows ", 0), 0u) << name;
    EXPECT_NE(name.find("Build"), std::string::npos) << name;
}

TEST(Win32System, ErrorTextsComeFromWindowsWithoutTheLineEnd) {
    Win32Platform platform;
    for (const int code : {2, 3, 5, 32}) {
        const std::string text = platform.osErrorMessage(code);
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_NE(text, "Fehler " + std::to_string(code));
        EXPECT_NE(text.back(), '\n') << code;
        EXPECT_NE(text.back(), '\r') << code;
    }
    EXPECT_EQ(platform.osErrorMessage(0x2ABCDEF1), "Fehler " + std::to_string(0x2ABCDEF1));
}

TEST(Win32System, CtrlIsNotHeldWhenNobodyPressesIt) {
    Win32Platform platform;
    EXPECT_FALSE(platform.ctrlHeld());
}

TEST(Win32System, TheDateIsPlausible) {
    Win32Platform platform;
    const auto now = platform.now();
    EXPECT_GE(now.date.year, 2024);
    EXPECT_GE(now.date.month, 1);
    EXPECT_LE(now.date.month, 12);
    EXPECT_GE(now.date.day, 1);
    EXPECT_LE(now.date.day, 31);
}

TEST(Win32System, ConsoleOutputWithoutTheWindowMovesTheCursor) {
    Win32Platform platform;
    platform.consoleWrite("\r\nB\xC3\xBCro");
    EXPECT_EQ(platform.cursorRow(), 1);
    EXPECT_EQ(platform.cursorCol(), 4);
    platform.setCursor(10, 2);
    EXPECT_EQ(platform.cursorRow(), 10);
    EXPECT_EQ(platform.cursorCol(), 2);
}

struct JobFileCase {
    const char* name;
    std::string bytes;
    std::string text;
};

class JobFileText : public ::testing::TestWithParam<JobFileCase> {};

TEST_P(JobFileText, BecomesUtf8) {
    Win32Platform platform;
    EXPECT_EQ(platform.textFromFile(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JobFileText,
    ::testing::Values(JobFileCase{"codePage", "C:\\B\xFCro\r\n", "C:\\B\xC3\xBCro\r\n"},
                      JobFileCase{"utf8", "C:\\B\xC3\xBCro\r\n", "C:\\B\xC3\xBCro\r\n"},
                      JobFileCase{"utf8WithMark", "\xEF\xBB\xBF[1]\r\nC:\\B\xC3\xBCro\r\n",
                                  "[1]\r\nC:\\B\xC3\xBCro\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

struct WideCase {
    const char* name;
    std::string utf8;
    std::wstring wide;
};

class WideText : public ::testing::TestWithParam<WideCase> {};

TEST_P(WideText, ConvertsBothWays) {
    EXPECT_EQ(rt::win32::wide(GetParam().utf8), GetParam().wide);
    EXPECT_EQ(rt::win32::utf8(GetParam().wide), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WideText,
    ::testing::Values(WideCase{"empty", "", L""}, WideCase{"ascii", "C:\\Daten", L"C:\\Daten"},
                      WideCase{"umlauts",
                               "\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F",
                               L"\u00C4\u00D6\u00DC\u00E4\u00F6\u00FC\u00DF"},
                      WideCase{"euro", "\xE2\x82\xAC", L"\u20AC"},
                      WideCase{"beyondTheBasicPlane", "\xF0\x9F\x98\x80", L"\xD83D\xDE00"},
                      WideCase{"embeddedNul", std::string("a\0b", 3), std::wstring(L"a\0b", 3)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WideText, BytesThatAreNotUtf8BecomeReplacementCharacters) {
    EXPECT_EQ(rt::win32::wide("B\xFCro"), L"B\uFFFDro");
}

} // namespace
