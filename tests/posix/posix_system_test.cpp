// What the POSIX platform tells about the program and the system, console output
// and the texts for error codes.
#include "runtime/posix/cursor_tracker.hpp"
#include "runtime/posix/os_errors.hpp"
#include "runtime/posix/posix_platform.hpp"
#include "runtime/posix/x_display.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <sstream>

namespace {

TEST(PosixSystem, ExecutablePathIsThisProgram) {
    rt::posix::PosixPlatform platform;
    EXPECT_EQ(platform.executablePath(), std::filesystem::read_symlink("/proc/self/exe").string());
    EXPECT_EQ(platform.executablePath().front(), '/');
}

TEST(PosixSystem, IsATextConsoleApplication) {
    rt::posix::PosixPlatform platform;
    EXPECT_EQ(platform.appType(), 2);
}

TEST(PosixSystem, NowIsTheLocalTime) {
    rt::posix::PosixPlatform platform;
    const auto local = [](std::time_t t) {
        std::tm parts{};
        parts = *std::localtime(&t);
        return parts;
    };
    const std::tm before = local(std::time(nullptr));
    const rt::LocalTime now = platform.now();
    const std::tm after = local(std::time(nullptr));
    const auto matches = [&](const std::tm& t) {
        return now.date.year == t.tm_year + 1900 && now.date.month == t.tm_mon + 1 &&
               now.date.day == t.tm_mday && now.hour == t.tm_hour && now.minute == t.tm_min;
    };
    EXPECT_TRUE(matches(before) || matches(after));
    EXPECT_GE(now.second, 0);
    EXPECT_LE(now.second, 60);
}

TEST(PosixSystem, OsNameComesFromTheKernel) {
    rt::posix::PosixPlatform platform;
    const std::string name = platform.osName();
#ifdef __linux__
    EXPECT_EQ(name.rfind("Linux ", 0), 0u) << name;
#endif
    EXPECT_EQ(std::count(name.begin(), name.end(), ' '), 2) << name;
}

TEST(XDisplay, NoDisplayMeansCtrlNotHeldAndNoScreenSize) {
    for (const std::string display : {"", ":4711", "nirgends.invalid:0"}) {
        EXPECT_FALSE(rt::posix::ctrlHeldOnDisplay(display)) << display;
        EXPECT_FALSE(rt::posix::screenSizeOfDisplay(display).has_value()) << display;
    }
}

TEST(ConsoleOutput, WritesUnchangedAndCountsTheCursor) {
    std::istringstream in;
    std::ostringstream out, err;
    rt::posix::PosixPlatform platform(in, out, err);
    EXPECT_EQ(platform.cursorRow(), 0);
    EXPECT_EQ(platform.cursorCol(), 0);
    platform.consoleWrite("Zeile\r\nÄnderung");
    EXPECT_EQ(out.str(), "Zeile\r\nÄnderung");
    EXPECT_EQ(platform.cursorRow(), 1);
    EXPECT_EQ(platform.cursorCol(), 8);
    platform.setCursor(10, 4);
    platform.consoleWrite("ab");
    EXPECT_EQ(platform.cursorRow(), 10);
    EXPECT_EQ(platform.cursorCol(), 6);

    platform.stdErrWrite("Fehler\n");
    EXPECT_EQ(err.str(), "Fehler\n");
    EXPECT_EQ(out.str(), "Zeile\r\nÄnderungab");
    platform.tone(440, 100);
    EXPECT_EQ(out.str(), "Zeile\r\nÄnderungab");
}

// QOUT ends the line before its text, so console output usually leaves a line open: a
// terminal dialog after it starts on a line of its own, and the run's end closes it.
TEST(ConsoleOutput, DialogsAndTheEndOfTheRunStartOnALineOfTheirOwn) {
    std::istringstream in("\n");
    std::ostringstream out, err;
    rt::posix::PosixPlatform platform(in, out, err);
    platform.consoleWrite("\r\nFehler");
    platform.messageBox("Meldung");
    EXPECT_EQ(out.str(), "\r\nFehler\nMeldung\n(Weiter mit der Eingabetaste) ");

    platform.consoleWrite("Zeile\n");
    platform.messageBox("zweite");
    EXPECT_EQ(out.str().substr(out.str().rfind("Zeile")),
              "Zeile\nzweite\n(Weiter mit der Eingabetaste) \n");

    platform.consoleWrite("\r\nFehlerprotokoll geschrieben");
    platform.endOutput();
    EXPECT_EQ(out.str().substr(out.str().rfind("Fehlerprotokoll")),
              "Fehlerprotokoll geschrieben\n");
    platform.endOutput();
    EXPECT_EQ(out.str().back(), '\n');
    EXPECT_NE(out.str().substr(out.str().size() - 2), "\n\n");
}

TEST(ConsoleOutput, CursorCountingOfControlCharacters) {
    struct Case {
        std::string written;
        int row;
        int col;
    };
    const Case cases[] = {
        {"", 0, 0},       {"abc", 0, 3},    {"abc\n", 1, 0},       {"ab\n\ncd", 2, 2},
        {"abc\rx", 0, 1}, {"a\tb", 0, 9},   {"12345678\t", 0, 16}, {"ab\b\bc", 0, 1},
        {"\b", 0, 0},     {"\a\x1b", 0, 0}, {"Grüße €", 0, 7},
    };
    for (const Case& c : cases) {
        rt::posix::CursorTracker cursor;
        cursor.advance(c.written);
        EXPECT_EQ(cursor.row(), c.row) << c.written;
        EXPECT_EQ(cursor.col(), c.col) << c.written;
    }
}

TEST(ErrorTexts, WindowsCodesFromErrno) {
    const std::pair<int, int> cases[] = {
        {0, 0},       {ENOENT, 2},   {ENOTDIR, 3},        {EACCES, 5},
        {EPERM, 5},   {EISDIR, 5},   {EMFILE, 4},         {EBADF, 6},
        {ENOMEM, 8},  {EROFS, 19},   {EWOULDBLOCK, 32},   {EEXIST, 183},
        {EINVAL, 87}, {ENOSPC, 112}, {ENAMETOOLONG, 206},
    };
    for (const auto& [error, code] : cases) {
        EXPECT_EQ(rt::posix::windowsCodeFromErrno(error), code) << error;
    }
    EXPECT_EQ(rt::posix::windowsCodeFromErrno(EXDEV), 0x20000000 | EXDEV);
}

TEST(ErrorTexts, TextsForCodes) {
    rt::posix::PosixPlatform platform;
    const std::pair<int, std::string> cases[] = {
        {2, "Das System kann die angegebene Datei nicht finden."},
        {3, "Das System kann den angegebenen Pfad nicht finden."},
        {5, "Zugriff verweigert"},
        {32, "Der Prozess kann nicht auf die Datei zugreifen, da sie von einem anderen Prozess "
             "verwendet wird."},
        {4711, "Fehler 4711"},
        {-3, "Fehler -3"},
    };
    for (const auto& [code, text] : cases) {
        EXPECT_EQ(platform.osErrorMessage(code), text) << code;
    }
    const std::string crossDevice = platform.osErrorMessage(rt::posix::windowsCodeFromErrno(EXDEV));
    EXPECT_FALSE(crossDevice.empty());
    EXPECT_EQ(crossDevice.rfind("Fehler", 0), std::string::npos) << crossDevice;
}

} // namespace
