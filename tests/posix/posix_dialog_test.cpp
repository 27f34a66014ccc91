// The terminal dialogs, answered through string streams.
#include "runtime/posix/terminal_dialogs.hpp"

#include "runtime/platform.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using rt::posix::TerminalDialogs;
namespace mb = rt::mb;

struct Dialog {
    explicit Dialog(const std::string& answers) : in(answers), dialogs(in, out) {}
    std::istringstream in;
    std::ostringstream out;
    TerminalDialogs dialogs;
};

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

struct ConfirmCase {
    const char* what;
    int buttons;
    int style;
    std::string answers;
    int expected;
};

void PrintTo(const ConfirmCase& c, std::ostream* os) {
    *os << c.what;
}

class ConfirmBoxAnswers : public testing::TestWithParam<ConfirmCase> {};

TEST_P(ConfirmBoxAnswers, GiveTheButtonsResult) {
    const ConfirmCase& c = GetParam();
    Dialog dialog(c.answers);
    EXPECT_EQ(dialog.dialogs.confirmBox("Frage", "Titel", c.buttons, c.style), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Letters, ConfirmBoxAnswers,
    testing::Values(ConfirmCase{"j is yes", mb::YESNOCANCEL, 0, "j\n", mb::IDYES},
                    ConfirmCase{"J is yes", mb::YESNOCANCEL, 0, "J\n", mb::IDYES},
                    ConfirmCase{"n is no", mb::YESNOCANCEL, 512, "n\n", mb::IDNO},
                    ConfirmCase{"a is cancel", mb::YESNOCANCEL, 0, "a\n", mb::IDCANCEL},
                    ConfirmCase{"o is ok", mb::OKCANCEL, 0, "o\n", mb::IDOK},
                    ConfirmCase{"a is cancel beside ok", mb::OKCANCEL, 0, "A\n", mb::IDCANCEL},
                    ConfirmCase{"a is abort", mb::ABORTRETRYIGNORE, 0, "a\n", mb::IDABORT},
                    ConfirmCase{"w is retry", mb::ABORTRETRYIGNORE, 0, "w\n", mb::IDRETRY},
                    ConfirmCase{"i is ignore", mb::ABORTRETRYIGNORE, 0, "i\n", mb::IDIGNORE},
                    ConfirmCase{"w is retry beside cancel", mb::RETRYCANCEL, 0, "W\n", mb::IDRETRY},
                    ConfirmCase{"a is cancel beside retry", mb::RETRYCANCEL, 0, "a\n",
                                mb::IDCANCEL},
                    ConfirmCase{"n is no of two", mb::YESNO, 0, "N\n", mb::IDNO}));

INSTANTIATE_TEST_SUITE_P(
    WholeLabels, ConfirmBoxAnswers,
    testing::Values(
        ConfirmCase{"Ja", mb::YESNOCANCEL, 512, "Ja\n", mb::IDYES},
        ConfirmCase{"JA", mb::YESNOCANCEL, 512, "JA\n", mb::IDYES},
        ConfirmCase{"nein", mb::YESNOCANCEL, 0, "nein\n", mb::IDNO},
        ConfirmCase{"aBBrechen", mb::YESNOCANCEL, 0, "aBBrechen\n", mb::IDCANCEL},
        ConfirmCase{"ok", mb::OK, 0, "ok\n", mb::IDOK},
        ConfirmCase{"Ignorieren", mb::ABORTRETRYIGNORE, 0, "Ignorieren\n", mb::IDIGNORE},
        ConfirmCase{"Abbrechen is abort", mb::ABORTRETRYIGNORE, 512, "abbrechen\n", mb::IDABORT},
        ConfirmCase{"wiederholen", mb::RETRYCANCEL, 0, "wiederholen\n", mb::IDRETRY},
        ConfirmCase{"blanks and CR LF around", mb::YESNOCANCEL, 0, "  nein \r\n", mb::IDNO}));

INSTANTIATE_TEST_SUITE_P(
    EmptyLinePicksTheDefault, ConfirmBoxAnswers,
    testing::Values(ConfirmCase{"no default: first", mb::YESNOCANCEL, 0, "\n", mb::IDYES},
                    ConfirmCase{"256: second", mb::YESNOCANCEL, 256, "\n", mb::IDNO},
                    ConfirmCase{"512: third", mb::YESNOCANCEL, 512, "\n", mb::IDCANCEL},
                    ConfirmCase{"512 with icon 48", mb::YESNOCANCEL, 48 + 512, "\n", mb::IDCANCEL},
                    ConfirmCase{"icon and high flags", mb::YESNO, 131120, "\n", mb::IDYES},
                    ConfirmCase{"third of two: first", mb::YESNO, 512, "\n", mb::IDYES},
                    ConfirmCase{"256 of abort set", mb::ABORTRETRYIGNORE, 256, "\n", mb::IDRETRY},
                    ConfirmCase{"blanks only", mb::YESNO, 256, "   \n", mb::IDNO},
                    ConfirmCase{"unknown set is OK", 9, 0, "\n", mb::IDOK}));

INSTANTIATE_TEST_SUITE_P(
    EndOfInput, ConfirmBoxAnswers,
    testing::Values(
        ConfirmCase{"OK box: OK", mb::OK, 0, "", mb::IDOK},
        ConfirmCase{"OK box, 256: OK", mb::OK, 256, "", mb::IDOK},
        ConfirmCase{"OK/Cancel: Cancel", mb::OKCANCEL, 0, "", mb::IDCANCEL},
        ConfirmCase{"Abort set: default first", mb::ABORTRETRYIGNORE, 0, "", mb::IDABORT},
        ConfirmCase{"Abort set: default third", mb::ABORTRETRYIGNORE, 512, "", mb::IDIGNORE},
        ConfirmCase{"Yes/No/Cancel: Cancel", mb::YESNOCANCEL, 0, "", mb::IDCANCEL},
        ConfirmCase{"Yes/No: default first", mb::YESNO, 0, "", mb::IDYES},
        ConfirmCase{"Yes/No: default second", mb::YESNO, 256, "", mb::IDNO},
        ConfirmCase{"Retry/Cancel: Cancel", mb::RETRYCANCEL, 0, "", mb::IDCANCEL},
        ConfirmCase{"after a wrong answer", mb::YESNO, 256, "vielleicht\n", mb::IDNO},
        ConfirmCase{"last line without line end", mb::YESNO, 0, "n", mb::IDNO}));

// A line of only Esc is the Esc key: Cancel where the box has it, OK for the OK box;
// boxes without either ignore it, as on Windows. A key's escape sequence is no Esc.
INSTANTIATE_TEST_SUITE_P(
    EscapeLine, ConfirmBoxAnswers,
    testing::Values(
        ConfirmCase{"Yes/No/Cancel: Cancel", mb::YESNOCANCEL, 0, "\x1b\n", mb::IDCANCEL},
        ConfirmCase{"with blanks and CR LF", mb::YESNOCANCEL, 0, " \x1b \r\n", mb::IDCANCEL},
        ConfirmCase{"OK/Cancel: Cancel", mb::OKCANCEL, 0, "\x1b\n", mb::IDCANCEL},
        ConfirmCase{"Retry/Cancel: Cancel", mb::RETRYCANCEL, 0, "\x1b\n", mb::IDCANCEL},
        ConfirmCase{"OK box: OK", mb::OK, 0, "\x1b\n", mb::IDOK},
        ConfirmCase{"Yes/No asks again", mb::YESNO, 0, "\x1b\nn\n", mb::IDNO},
        ConfirmCase{"Abort set asks again", mb::ABORTRETRYIGNORE, 0, "\x1b\nw\n", mb::IDRETRY},
        ConfirmCase{"arrow key is no Esc", mb::YESNOCANCEL, 0, "\x1b[A\nj\n", mb::IDYES},
        ConfirmCase{"Esc and a letter", mb::YESNOCANCEL, 0, "\x1bj\nn\n", mb::IDNO}));

// Only the first few KiB of a line are kept: a longer line is no answer, however it
// begins or ends, and the next line is read from its start.
INSTANTIATE_TEST_SUITE_P(
    OverlongLine, ConfirmBoxAnswers,
    testing::Values(ConfirmCase{"letter and many blanks", mb::YESNOCANCEL, 0,
                                "j" + std::string(5000, ' ') + "\nn\n", mb::IDNO},
                    ConfirmCase{"blanks only", mb::YESNO, 0, std::string(5000, ' ') + "\nn\n",
                                mb::IDNO},
                    ConfirmCase{"then end of input", mb::YESNOCANCEL, 512, std::string(70000, 'j'),
                                mb::IDCANCEL},
                    ConfirmCase{"just short enough", mb::YESNO, 0,
                                "n" + std::string(TerminalDialogs::maxAnswerLength - 1, ' ') + "\n",
                                mb::IDNO}));

INSTANTIATE_TEST_SUITE_P(
    OtherAnswersAskAgain, ConfirmBoxAnswers,
    testing::Values(ConfirmCase{"word, then letter", mb::YESNOCANCEL, 0, "vielleicht\nn\n",
                                mb::IDNO},
                    ConfirmCase{"English yes", mb::YESNOCANCEL, 512, "yes\ny\nj\n", mb::IDYES},
                    ConfirmCase{"label prefix", mb::YESNOCANCEL, 0, "nei\nabb\nja\n", mb::IDYES},
                    ConfirmCase{"button of another set", mb::YESNO, 0, "a\no\nn\n", mb::IDNO},
                    ConfirmCase{"number", mb::YESNOCANCEL, 0, "1\nj\n", mb::IDYES},
                    ConfirmCase{"Cancel letter without Cancel", mb::ABORTRETRYIGNORE, 512, "c\nw\n",
                                mb::IDRETRY}));

TEST(ConfirmBoxShows, TitleTextAndButtonsWithTheDefaultMarked) {
    Dialog dialog("j\n");
    dialog.dialogs.confirmBox("durchführen mit <JA>",
                              "Datensicherung von C:\\a\\*.*\r\n nach D:\\z", mb::YESNOCANCEL,
                              48 + 512);
    const std::string shown = dialog.out.str();
    EXPECT_EQ(shown.find('\r'), std::string::npos) << shown;
    EXPECT_NE(shown.find("Datensicherung von C:\\a\\*.*\n nach D:\\z\n"), std::string::npos)
        << shown;
    EXPECT_NE(shown.find("durchführen mit <JA>\n"), std::string::npos) << shown;
    EXPECT_LT(shown.find("nach D:\\z"), shown.find("durchführen"));
    EXPECT_NE(shown.find("[J]a / [N]ein / [A]bbrechen (Eingabetaste = Abbrechen)"),
              std::string::npos)
        << shown;
}

TEST(ConfirmBoxShows, LabelsOfEveryButtonSet) {
    const std::pair<int, const char*> sets[] = {
        {mb::OK, "[O]K (Eingabetaste = OK)"},
        {mb::OKCANCEL, "[O]K / [A]bbrechen (Eingabetaste = OK)"},
        {mb::ABORTRETRYIGNORE, "[A]bbrechen / [W]iederholen / [I]gnorieren (Eingabetaste = "
                               "Abbrechen)"},
        {mb::YESNOCANCEL, "[J]a / [N]ein / [A]bbrechen (Eingabetaste = Ja)"},
        {mb::YESNO, "[J]a / [N]ein (Eingabetaste = Ja)"},
        {mb::RETRYCANCEL, "[W]iederholen / [A]bbrechen (Eingabetaste = Wiederholen)"},
    };
    for (const auto& [buttons, line] : sets) {
        Dialog dialog("\n");
        dialog.dialogs.confirmBox("Text", "", buttons, 0);
        EXPECT_NE(dialog.out.str().find(line), std::string::npos)
            << buttons << ": " << dialog.out.str();
    }
}

TEST(ConfirmBoxShows, NoTitleLineWhenTheTitleIsEmptyAndLoneCrAsLineBreak) {
    Dialog dialog("j\n");
    dialog.dialogs.confirmBox("erste\rzweite", "", mb::YESNO, 0);
    EXPECT_EQ(dialog.out.str().rfind("erste\nzweite\n[J]a", 0), 0u) << dialog.out.str();
}

TEST(ConfirmBoxShows, TheValidKeysAndTheButtonsAgainAfterAWrongAnswer) {
    Dialog dialog("x\ny\nn\n");
    EXPECT_EQ(dialog.dialogs.confirmBox("Text", "Titel", mb::YESNO, 0), mb::IDNO);
    EXPECT_EQ(occurrences(dialog.out.str(), "[J]a / [N]ein"), 3u);
    EXPECT_EQ(occurrences(dialog.out.str(), "): Bitte J oder N eingeben (Eingabetaste = Ja).\n"),
              2u)
        << dialog.out.str();
    EXPECT_EQ(occurrences(dialog.out.str(), "Titel"), 1u);

    Dialog withCancel("?\n\n");
    withCancel.dialogs.confirmBox("Text", "", mb::YESNOCANCEL, 512);
    EXPECT_NE(withCancel.out.str().find(
                  "Bitte J, N oder A eingeben (Eingabetaste = Abbrechen, Esc = Abbrechen).\n"),
              std::string::npos)
        << withCancel.out.str();
}

TEST(ConfirmBoxShows, BytesThatAreNotUtf8AsReplacementCharacters) {
    Dialog dialog("j\n");
    dialog.dialogs.confirmBox("Quelle C:\\B\xFCro", "von C:\\B\xFCro", mb::YESNO, 0);
    EXPECT_EQ(occurrences(dialog.out.str(), "C:\\B\xEF\xBF\xBDro"), 2u) << dialog.out.str();
    EXPECT_EQ(dialog.out.str().find('\xFC'), std::string::npos);
}

TEST(ConfirmBoxReads, OneLinePerBoxSoTheNextBoxGetsTheNextLine) {
    Dialog dialog("n\nj\n");
    EXPECT_EQ(dialog.dialogs.confirmBox("1", "", mb::YESNO, 0), mb::IDNO);
    EXPECT_EQ(dialog.dialogs.confirmBox("2", "", mb::YESNO, 0), mb::IDYES);
    EXPECT_EQ(dialog.dialogs.confirmBox("3", "", mb::YESNO, 256), mb::IDNO);
}

TEST(DialogAnswers, AreEchoedWhenAsked) {
    std::istringstream in("x\r\nn\n\n");
    std::ostringstream out;
    TerminalDialogs dialogs(in, out, true);
    EXPECT_EQ(dialogs.confirmBox("Text", "", mb::YESNO, 0), mb::IDNO);
    dialogs.messageBox("Fertig");
    EXPECT_EQ(out.str(), "Text\n[J]a / [N]ein (Eingabetaste = Ja): x\n"
                         "Bitte J oder N eingeben (Eingabetaste = Ja).\n"
                         "[J]a / [N]ein (Eingabetaste = Ja): n\n"
                         "Fertig\n(Weiter mit der Eingabetaste) \n");
}

TEST(DialogAnswers, EchoNamesEscAndDropsAnOverlongLine) {
    std::istringstream in("\x1b\n" + std::string(10000, 'x') + "\nj\n");
    std::ostringstream out;
    TerminalDialogs dialogs(in, out, true);
    EXPECT_EQ(dialogs.confirmBox("Text", "", mb::YESNO, 0), mb::IDYES);
    EXPECT_EQ(out.str(), "Text\n[J]a / [N]ein (Eingabetaste = Ja): <Esc>\n"
                         "Bitte J oder N eingeben (Eingabetaste = Ja).\n"
                         "[J]a / [N]ein (Eingabetaste = Ja): \n"
                         "Bitte J oder N eingeben (Eingabetaste = Ja).\n"
                         "[J]a / [N]ein (Eingabetaste = Ja): j\n");
}

TEST(MessageBox, ShowsTheTextWithAPromptAndConsumesOneLine) {
    Dialog dialog("weiter\nn\n");
    dialog.dialogs.messageBox("Hallo\r\nWelt");
    EXPECT_EQ(dialog.out.str(), "Hallo\nWelt\n(Weiter mit der Eingabetaste) ");
    EXPECT_EQ(dialog.dialogs.confirmBox("?", "", mb::YESNO, 0), mb::IDNO);
}

TEST(MessageBox, ContinuesAtTheEndOfInput) {
    Dialog dialog("");
    dialog.dialogs.messageBox("Ende");
    dialog.dialogs.messageBox("noch einmal");
    EXPECT_EQ(dialog.out.str(), "Ende\n(Weiter mit der Eingabetaste) \n"
                                "noch einmal\n(Weiter mit der Eingabetaste) \n");
}

struct AlertCase {
    const char* what;
    std::string answers;
    int expected;
    bool inputEnded = false;
};

void PrintTo(const AlertCase& c, std::ostream* os) {
    *os << c.what;
}

class AlertAnswers : public testing::TestWithParam<AlertCase> {};

TEST_P(AlertAnswers, GiveTheChoice) {
    const AlertCase& c = GetParam();
    Dialog dialog(c.answers);
    bool noAnswerPossible = false;
    EXPECT_EQ(dialog.dialogs.alert("Fehler;Datei fehlt", {"Wiederholen", "Abbrechen", "Beenden"},
                                   &noAnswerPossible),
              c.expected);
    EXPECT_EQ(noAnswerPossible, c.inputEnded);
}

INSTANTIATE_TEST_SUITE_P(
    Alert, AlertAnswers,
    testing::Values(AlertCase{"number 1", "1\n", 1}, AlertCase{"number 3", "3\n", 3},
                    AlertCase{"number with blanks", " 2 \r\n", 2},
                    AlertCase{"text", "Abbrechen\n", 2},
                    AlertCase{"text in other case", "bEENDEN\n", 3},
                    AlertCase{"zero, then number", "0\n2\n", 2},
                    AlertCase{"beyond the last, then text", "4\nwiederholen\n", 1},
                    AlertCase{"huge number, then number", "99999999999999999999\n3\n", 3},
                    AlertCase{"empty line asks again", "\n1\n", 1},
                    AlertCase{"first letter is no answer", "a\n", 0, true},
                    AlertCase{"end of input", "", 0, true},
                    AlertCase{"wrong answers, then end", "x\n-1\n", 0, true},
                    AlertCase{"Esc closes without a choice", " \x1b\r\n", 0, false},
                    AlertCase{"overlong line, then number", "1" + std::string(5000, ' ') + "\n3\n",
                              3}));

TEST(Alert, ShowsTheTextLineByLineAndTheOptionsNumbered) {
    Dialog dialog("1\n");
    dialog.dialogs.alert("Erste Zeile;Zweite Zeile;", {"Wiederholen", "Beenden"}, nullptr);
    const std::string shown = dialog.out.str();
    EXPECT_EQ(shown.rfind("Erste Zeile\nZweite Zeile\n\n  1) Wiederholen\n  2) Beenden\n", 0), 0u)
        << shown;
    EXPECT_NE(shown.find("Auswahl (1-2): "), std::string::npos) << shown;
}

TEST(Alert, NamesTheValidKeysAfterAWrongAnswer) {
    Dialog dialog("7\n2\n");
    EXPECT_EQ(dialog.dialogs.alert("Text", {"Wiederholen", "Beenden"}, nullptr), 2);
    EXPECT_NE(dialog.out.str().find(
                  "Auswahl (1-2): Bitte eine Zahl von 1 bis 2 eingeben (Esc = ohne Auswahl).\n"
                  "Auswahl (1-2): "),
              std::string::npos)
        << dialog.out.str();
}

TEST(Alert, EndOfInputWithoutAFlagToSet) {
    Dialog dialog("");
    EXPECT_EQ(dialog.dialogs.alert("Text", {"OK"}, nullptr), 0);
}

TEST(Alert, WithoutOptionsOffersOK) {
    Dialog dialog("1\n");
    EXPECT_EQ(dialog.dialogs.alert("Text", {}, nullptr), 1);
    EXPECT_NE(dialog.out.str().find("1) OK"), std::string::npos);
}

} // namespace
