// The graphical console window: its size in character cells, place, title and font, and
// that it stays until the program ends.
#include "runtime/win32/console_window.hpp"
#include "runtime/win32/dpi.hpp"
#include "runtime/win32/wide_text.hpp"
#include "runtime/win32/win32_platform.hpp"

#include <gtest/gtest.h>

namespace {

using rt::win32::ConsoleWindow;
using rt::win32::ConsoleWindowLayout;

ConsoleWindowLayout standardLayout() {
    ConsoleWindowLayout layout;
    layout.x = 40;
    layout.y = 30;
    layout.rows = 25;
    layout.columns = 80;
    layout.cellWidth = 8;
    layout.cellHeight = 16;
    layout.title = "datensicherung.exe \xC3\x84";
    layout.fontName = "Brisko Crt";
    return layout;
}

TEST(ConsoleWindow, TextAreaIsRowsTimesColumnsOfCells) {
    ConsoleWindow window;
    ASSERT_TRUE(window.create(standardLayout()));
    RECT client{};
    ASSERT_TRUE(::GetClientRect(window.handle(), &client));
    EXPECT_EQ(client.right - client.left, 640);
    EXPECT_EQ(client.bottom - client.top, 400);
    EXPECT_EQ(window.screen().rows(), 25);
    EXPECT_EQ(window.screen().columns(), 80);
}

TEST(ConsoleWindow, StandsWhereItWasPutWithItsTitle) {
    ConsoleWindow window;
    ASSERT_TRUE(window.create(standardLayout()));
    RECT frame{};
    ASSERT_TRUE(::GetWindowRect(window.handle(), &frame));
    EXPECT_EQ(frame.left, 40);
    EXPECT_EQ(frame.top, 30);
    wchar_t title[64] = {};
    ::GetWindowTextW(window.handle(), title, 64);
    EXPECT_STREQ(title, L"datensicherung.exe \u00C4");
    EXPECT_TRUE(::IsWindowVisible(window.handle()));
}

TEST(ConsoleWindow, DrawsInTheNamedFontOrAFixedPitchOne) {
    ConsoleWindow window;
    ASSERT_TRUE(window.create(standardLayout()));
    if (rt::win32::fontInstalled(L"Brisko Crt")) {
        EXPECT_EQ(window.fontFace(), L"Brisko Crt");
        return;
    }
    // Windows (or Wine) picks the fixed-pitch face; its name depends on the fonts there.
    ASSERT_NE(window.font(), nullptr);
    EXPECT_FALSE(window.fontFace().empty());
    const HDC dc = ::GetDC(window.handle());
    const HGDIOBJ previous = ::SelectObject(dc, window.font());
    TEXTMETRICW metrics{};
    ASSERT_TRUE(::GetTextMetricsW(dc, &metrics));
    ::SelectObject(dc, previous);
    ::ReleaseDC(window.handle(), dc);
    // The flag is set for variable pitch.
    EXPECT_EQ(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH, 0) << rt::win32::utf8(window.fontFace());
}

TEST(ConsoleWindow, TheCloseBoxLeavesItOpen) {
    ConsoleWindow window;
    ASSERT_TRUE(window.create(standardLayout()));
    ::SendMessageW(window.handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(window.handle()));
}

TEST(ConsoleWindow, WrittenTextLandsOnItsScreen) {
    ConsoleWindow window;
    ASSERT_TRUE(window.create(standardLayout()));
    window.write(L"\r\nFehlerprotokoll B\u00FCro");
    EXPECT_EQ(window.screen().line(1).substr(0, 20), L"Fehlerprotokoll B\u00FCro");
    EXPECT_EQ(window.screen().row(), 1);
    EXPECT_EQ(window.screen().col(), 20);
}

// Moved to a monitor at 150 %: the same 80 by 25 cells, each half again as large, drawn in
// a font of that size. (At 200 % the window would not fit the test's display, and Windows
// keeps a window within the screen.)
TEST(ConsoleWindow, ScalesItsCellsToTheMonitorsDpi) {
    ConsoleWindow window;
    ASSERT_TRUE(window.create(standardLayout()));
    const UINT startDpi = window.dpi();
    RECT suggested{20, 10, 1000, 700};
    ::SendMessageW(window.handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                   reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(window.dpi(), 144u);
    EXPECT_EQ(window.cellWidth(), 12);
    EXPECT_EQ(window.cellHeight(), 24);
    // The frame holds 960 by 600 pixels of text with the frame and title bar of 150 %. (The
    // window stays on its monitor at 100 % here, so its own title bar is not scaled and the
    // client area is not measured.)
    RECT frame{}, expected{0, 0, 960, 600};
    ::GetWindowRect(window.handle(), &frame);
    ::AdjustWindowRectExForDpi(&expected,
                               static_cast<DWORD>(::GetWindowLongPtrW(window.handle(), GWL_STYLE)),
                               FALSE, 0, 144);
    EXPECT_EQ(frame.right - frame.left, expected.right - expected.left);
    EXPECT_EQ(frame.bottom - frame.top, expected.bottom - expected.top);
    EXPECT_EQ(frame.left, 20);
    EXPECT_EQ(frame.top, 10);
    EXPECT_EQ(window.screen().rows(), 25);
    EXPECT_EQ(window.screen().columns(), 80);
    const HDC dc = ::GetDC(window.handle());
    const HGDIOBJ previous = ::SelectObject(dc, window.font());
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, previous);
    ::ReleaseDC(window.handle(), dc);
    // The font is made to the cell (its renderer may round a pixel off).
    EXPECT_GE(metrics.tmHeight, 22);
    EXPECT_LE(metrics.tmHeight, 24);

    // And back.
    ::SendMessageW(window.handle(), WM_DPICHANGED, MAKEWPARAM(startDpi, startDpi),
                   reinterpret_cast<LPARAM>(&suggested));
    RECT client{};
    ::GetClientRect(window.handle(), &client);
    EXPECT_EQ(client.right, rt::win32::toDevice(640, startDpi));
}

TEST(ConsoleWindow, AnotherSizeOfCellsAndScreen) {
    ConsoleWindowLayout layout = standardLayout();
    layout.rows = 10;
    layout.columns = 40;
    layout.cellWidth = 10;
    layout.cellHeight = 20;
    ConsoleWindow window;
    ASSERT_TRUE(window.create(layout));
    RECT client{};
    ::GetClientRect(window.handle(), &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 200);
}

} // namespace

namespace {

// The platform makes the console window of APPSYS from the window object's layout and
// sends the console output there from then on.
TEST(PlatformConsole, MadeFromTheLayoutAndShowsTheConsoleOutput) {
    rt::win32::Win32Platform platform;
    platform.consoleWrite("vorher");
    EXPECT_EQ(platform.consoleWindow(), nullptr);

    rt::GraphicalConsoleLayout layout;
    layout.x = 80.5; // a desktop 801 pixels wide
    layout.y = -3;
    layout.rows = 25;
    layout.columns = 80;
    layout.fontWidth = 0; // not given: 8 by 16
    layout.fontHeight = 0;
    layout.title = "datensicherung.exe";
    layout.fontName = "Brisko Crt";
    ASSERT_TRUE(platform.createGraphicalConsole(layout));
    ASSERT_NE(platform.consoleWindow(), nullptr);
    const HWND window = platform.consoleWindow()->handle();
    RECT frame{};
    RECT client{};
    ::GetWindowRect(window, &frame);
    ::GetClientRect(window, &client);
    EXPECT_EQ(frame.left, 81);
    EXPECT_EQ(frame.top, -3);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 400);

    platform.setCursor(0, 0);
    platform.consoleWrite("\r\nFehlerprotokoll");
    EXPECT_EQ(platform.consoleWindow()->screen().line(1).substr(0, 15), L"Fehlerprotokoll");
    EXPECT_EQ(platform.cursorRow(), 1);
    EXPECT_EQ(platform.cursorCol(), 15);
}

} // namespace
