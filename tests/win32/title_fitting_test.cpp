// Dialog titles shown whole: a message box (the confirmation, the error dialog) and the
// ALERT dialog are widened to their title as far as the work area allows, show a line end
// as a blank, and shorten only a title too wide for the work area, keeping the folder name
// at its end. Each dialog is read back from the moment it is shown, then closed.
#include "runtime/win32/dialogs.hpp"
#include "runtime/win32/title_fitting.hpp"
#include "runtime/win32/wide_text.hpp"
#include "runtime/window_title.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using rt::win32::wide;

struct ShownDialog {
    std::wstring title;
    RECT frame{};
    RECT client{};
    RECT workArea{};
    int titleWidth = 0;        // the shown title's text in the caption font
    int closeBox = 0;          // the width Windows gives a caption button
    std::vector<RECT> buttons; // in client coordinates
};

ShownDialog readBack(HWND dialog) {
    ShownDialog shown;
    wchar_t buffer[4096] = {};
    const int length = ::GetWindowTextW(dialog, buffer, 4096);
    shown.title.assign(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
    ::GetWindowRect(dialog, &shown.frame);
    ::GetClientRect(dialog, &shown.client);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    shown.workArea = monitor.rcWork;
    shown.titleWidth = rt::win32::titleTextWidth(dialog, shown.title);
    shown.closeBox = ::GetSystemMetricsForDpi(SM_CXSIZE, ::GetDpiForWindow(dialog));
    int firstButton = 0;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t kind[16] = {};
        ::GetClassNameW(child, kind, 16);
        if (::lstrcmpiW(kind, L"Button") == 0) {
            RECT r{};
            ::GetWindowRect(child, &r);
            ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
            shown.buttons.push_back(r);
            if (firstButton == 0) {
                firstButton = ::GetDlgCtrlID(child);
            }
        }
    }
    // Pressed: not every box has a button for Esc (Abort, Retry, Ignore has none).
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(firstButton, BN_CLICKED), 0);
    return shown;
}

enum class Kind { confirmation, errorDialog, alert };

ShownDialog show(Kind kind, const std::string& title) {
    ShownDialog shown;
    const auto onShown = [&shown](HWND dialog) { shown = readBack(dialog); };
    switch (kind) {
    case Kind::confirmation:
        rt::win32::messageBox(nullptr, "durchf\xC3\xBChren mit <JA>  -  abbrechen mit <NEIN>/<Esc>",
                              title, MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON3, onShown);
        break;
    case Kind::errorDialog:
        rt::win32::messageBox(nullptr, "Fehler\rAufgerufen von KOPIEREN(42)", title,
                              MB_ABORTRETRYIGNORE | MB_ICONHAND, onShown);
        break;
    case Kind::alert:
        rt::win32::alertDialog(nullptr, title, "Fehler;zweite Zeile", {"Abbrechen", "Ende"},
                               onShown);
        break;
    }
    return shown;
}

std::string repeated(const std::string& part, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += part;
    }
    return out;
}

const std::string longConfirmation = "Datensicherung von C:\\Daten\\Buchhaltung\\*.*\r\n nach "
                                     "D:\\Sicherung\\Buchhaltung\\Jahresabschluss\\202611";
const std::string tooLongForTheScreen =
    "Datensicherung von C:\\Daten\\*.*\r\n nach D:\\Sicherung\\" +
    repeated("Unterordner mit langem Namen\\", 12) + "202611";

struct TitleCase {
    const char* name;
    Kind kind;
    std::string title;
};

class DialogTitle : public ::testing::TestWithParam<TitleCase> {};

TEST_P(DialogTitle, IsShownWholeOnOneLine) {
    const ShownDialog shown = show(GetParam().kind, GetParam().title);
    EXPECT_EQ(shown.title, wide(rt::oneLineTitle(GetParam().title)));
    // The title bar holds the text and the close box.
    EXPECT_GE(shown.frame.right - shown.frame.left, shown.titleWidth + shown.closeBox);
    EXPECT_GE(shown.frame.left, shown.workArea.left);
    EXPECT_LE(shown.frame.right, shown.workArea.right);
}

TEST_P(DialogTitle, TooWideForTheScreenIsShortenedInThePathKeepingTheFolderName) {
    const ShownDialog shown = show(GetParam().kind, tooLongForTheScreen);
    EXPECT_EQ(shown.frame.left, shown.workArea.left);
    EXPECT_EQ(shown.frame.right, shown.workArea.right);
    EXPECT_EQ(shown.title.rfind(L"Datensicherung von C:\\Daten\\*.*  nach D:\\", 0), 0u)
        << rt::win32::utf8(shown.title);
    EXPECT_NE(shown.title.find(L"\u2026"), std::wstring::npos) << rt::win32::utf8(shown.title);
    EXPECT_EQ(shown.title.substr(shown.title.size() - 7), L"\\202611");
    EXPECT_LE(shown.titleWidth + shown.closeBox, shown.frame.right - shown.frame.left);
}

TEST_P(DialogTitle, ButtonsStayInsideTheWidenedDialogWithoutOverlap) {
    const ShownDialog shown = show(GetParam().kind, GetParam().title);
    ASSERT_FALSE(shown.buttons.empty());
    for (std::size_t i = 0; i < shown.buttons.size(); ++i) {
        EXPECT_GE(shown.buttons[i].left, shown.client.left) << i;
        EXPECT_LE(shown.buttons[i].right, shown.client.right) << i;
        for (std::size_t j = 0; j < i; ++j) {
            const bool apart = shown.buttons[i].left >= shown.buttons[j].right ||
                               shown.buttons[j].left >= shown.buttons[i].right;
            EXPECT_TRUE(apart) << i << " " << j;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, DialogTitle,
    ::testing::Values(TitleCase{"confirmation", Kind::confirmation, longConfirmation},
                      TitleCase{"errorDialog", Kind::errorDialog,
                                "Telvaro Fehlermeldung f\xC3\xBCr " + longConfirmation},
                      TitleCase{"alert", Kind::alert, "datensicherung " + longConfirmation}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DialogTitle, AShortTitleLeavesTheBoxAsWindowsMadeIt) {
    const ShownDialog untitled = show(Kind::confirmation, "");
    const ShownDialog shortTitle = show(Kind::confirmation, "kurz");
    EXPECT_EQ(shortTitle.title, L"kurz");
    EXPECT_EQ(shortTitle.frame.right - shortTitle.frame.left,
              untitled.frame.right - untitled.frame.left);
}

} // namespace
