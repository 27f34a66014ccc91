// ALERT as a real dialog: its buttons carry the option texts and the answer is the
// position of the button pressed, 0 when the dialog is closed without a choice. The test
// presses the buttons itself, from the moment the dialog is shown.
#include "runtime/win32/dialogs.hpp"
#include "runtime/win32/wide_text.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using rt::win32::alertButtonId;
using rt::win32::alertDialog;

std::wstring windowText(HWND window) {
    wchar_t buffer[512] = {};
    const int length = ::GetWindowTextW(window, buffer, 512);
    return std::wstring(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

const std::vector<std::string> options{"Abbruch", "Wiederholen", "Standard"};

struct PressCase {
    const char* name;
    int command; // control id sent as WM_COMMAND
    int answer;
};

class AlertAnswers : public ::testing::TestWithParam<PressCase> {};

TEST_P(AlertAnswers, AreThePositionOfTheButtonPressed) {
    const int command = GetParam().command;
    const int answer = alertDialog(
        nullptr, "datensicherung", "Fehler;zweite Zeile", options, [command](HWND dialog) {
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
        });
    EXPECT_EQ(answer, GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(Presses, AlertAnswers,
                         ::testing::Values(PressCase{"first", alertButtonId(0), 1},
                                           PressCase{"second", alertButtonId(1), 2},
                                           PressCase{"third", alertButtonId(2), 3},
                                           PressCase{"escape", IDCANCEL, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AlertDialog, ClosingTheWindowGivesZero) {
    const int answer = alertDialog(nullptr, "datensicherung", "Text", options, [](HWND dialog) {
        ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(answer, 0);
}

TEST(AlertDialog, ButtonsCarryTheOptionTextsAndTheTextHasItsLineBreaks) {
    std::vector<std::wstring> labels;
    std::wstring text;
    std::wstring title;
    bool firstIsDefault = false;
    const int answer = alertDialog(
        nullptr, "datensicherung", "DBFNTX Database-Engine;konnte nicht erzeugt werden",
        {"OK", "B\xC3\xBCro & Co"}, [&](HWND dialog) {
            for (std::size_t i = 0; i < 2; ++i) {
                labels.push_back(windowText(::GetDlgItem(dialog, alertButtonId(i))));
            }
            text = windowText(::GetDlgItem(dialog, 999));
            title = windowText(dialog);
            firstIsDefault = LOWORD(::SendMessageW(dialog, DM_GETDEFID, 0, 0)) == alertButtonId(0);
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(alertButtonId(0), BN_CLICKED), 0);
        });
    EXPECT_EQ(answer, 1);
    const std::vector<std::wstring> expected{L"OK", L"B\u00FCro && Co"};
    EXPECT_EQ(labels, expected);
    EXPECT_EQ(text, L"DBFNTX Database-Engine\r\nkonnte nicht erzeugt werden");
    EXPECT_EQ(title, L"datensicherung");
    EXPECT_TRUE(firstIsDefault);
}

TEST(AlertDialog, ButtonsDoNotOverlapAndStayInsideTheDialog) {
    std::vector<RECT> buttons;
    RECT client{};
    alertDialog(nullptr, "t", "kurz", {"Abbruch", "Wiederholen", "Standard", "Beenden"},
                [&](HWND dialog) {
                    ::GetClientRect(dialog, &client);
                    for (std::size_t i = 0; i < 4; ++i) {
                        RECT r{};
                        const HWND button = ::GetDlgItem(dialog, alertButtonId(i));
                        ::GetWindowRect(button, &r);
                        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
                        buttons.push_back(r);
                    }
                    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
                });
    ASSERT_EQ(buttons.size(), 4u);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_GE(buttons[i].left, client.left);
        EXPECT_LE(buttons[i].right, client.right);
        EXPECT_LE(buttons[i].bottom, client.bottom);
        EXPECT_GT(buttons[i].right - buttons[i].left, 0);
        if (i > 0) {
            EXPECT_GE(buttons[i].left, buttons[i - 1].right);
        }
    }
}

} // namespace
