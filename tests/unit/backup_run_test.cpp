// One backup job through the scripted platform: target folder rotation, folder
// commands, the confirmation, the copy's command line and the messages.
#include "common/windows_command_line.hpp"
#include "runtime/output.hpp"
#include "tests/support/program_fixture.hpp"

#include <filesystem>
#include <fstream>

namespace {

using test::ProgramTest;
using namespace std::string_literals;
namespace fs = std::filesystem;

const std::string CRLF = "\r\n";

std::string job(const std::string& source, const std::string& root, const std::string& files,
                const std::string& arguments, const std::string& eol = CRLF) {
    return source + eol + root + eol + files + eol + arguments + eol;
}

class BackupRun : public ProgramTest {
  protected:
    // Runs KOPIEREN on `date` with the month folder already made, answering Yes.
    std::string targetFolderOn(int year, int month, int day, bool ctrl) {
        platform->setDate(year, month, day);
        platform->ctrl = ctrl;
        char monthName[16];
        std::snprintf(monthName, sizeof monthName, "%04d%02d", year, month - 1);
        fs::create_directories(folder() / "ziel" / monthName);
        platform->confirmAnswers = {6};
        KOPIEREN(job("quelle", "ziel", "*.*", "/E"));
        const auto calls = platform->shellCalls;
        const auto copy = std::find_if(calls.begin(), calls.end(),
                                       [](const auto& c) { return !c.program.empty(); });
        if (copy == calls.end()) {
            return "";
        }
        return copy->parameters.substr(std::string("quelle ziel").size());
    }
};

struct Rotation {
    const char* name;
    int year, month, day;
    bool ctrl;
    std::string subfolder;
};

class WeekdayRotation : public BackupRun, public ::testing::WithParamInterface<Rotation> {};

TEST_P(WeekdayRotation, PicksTheSubfolder) {
    const auto& r = GetParam();
    EXPECT_EQ(targetFolderOn(r.year, r.month, r.day, r.ctrl), "\\" + r.subfolder + " *.* /E");
}

// December 2026: the 6th is a Sunday.
INSTANTIATE_TEST_SUITE_P(
    Days, WeekdayRotation,
    ::testing::Values(Rotation{"Sunday", 2026, 12, 6, false, "Sonntag"},
                      Rotation{"SundayCtrl", 2026, 12, 6, true, "Samstag"},
                      Rotation{"Monday", 2026, 12, 7, false, "Montag"},
                      Rotation{"MondayCtrl", 2026, 12, 7, true, "Sonntag"},
                      Rotation{"Tuesday", 2026, 12, 8, false, "Dienstag"},
                      Rotation{"TuesdayCtrl", 2026, 12, 8, true, "Montag"},
                      Rotation{"Wednesday", 2026, 12, 9, false, "Mittwoch"},
                      Rotation{"WednesdayCtrl", 2026, 12, 9, true, "Dienstag"},
                      Rotation{"Thursday", 2026, 12, 10, false, "Donnerstag"},
                      Rotation{"ThursdayCtrl", 2026, 12, 10, true, "Mittwoch"},
                      Rotation{"Friday11th", 2026, 12, 11, false, "Freitag2"},
                      Rotation{"FridayCtrl", 2026, 12, 11, true, "Donnerstag"},
                      Rotation{"Saturday", 2026, 12, 12, false, "Samstag"},
                      Rotation{"SaturdayCtrlTakesTodaysDay", 2026, 12, 12, true, "Freitag2"},
                      Rotation{"SaturdayThe7thCtrl", 2026, 11, 7, true, "Freitag2"},
                      Rotation{"Friday1st", 2027, 1, 1, false, "Freitag1"},
                      Rotation{"Friday6th", 2026, 11, 6, false, "Freitag1"},
                      Rotation{"Friday13th", 2026, 11, 13, false, "Freitag2"},
                      Rotation{"Friday20th", 2026, 11, 20, false, "Freitag3"},
                      Rotation{"Friday27th", 2026, 11, 27, false, "Freitag4"},
                      Rotation{"Friday28th", 2025, 11, 28, false, "Freitag5"},
                      Rotation{"Friday31st", 2025, 10, 31, false, "Freitag5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BackupRun, FirstRunOfTheMonthMakesAndUsesTheMonthFolderThenTheWeekdayFolder) {
    platform->setDate(2026, 3, 10); // a Tuesday in March: month folder 202602
    platform->confirmAnswers = {6, 6, 6};
    KOPIEREN(job("C:\\Daten", "ziel", "*.*", "/E"));
    EXPECT_TRUE(isFolder("ziel/202602"));
    ASSERT_EQ(platform->shellCalls.size(), 2u);
    EXPECT_EQ(platform->shellCalls[0].program, "");
    EXPECT_EQ(platform->shellCalls[0].parameters, "/C MD ziel\\202602");
    EXPECT_EQ(platform->shellCalls[1].program, "ROBOCOPY.exe");
    EXPECT_EQ(platform->shellCalls[1].parameters, "C:\\Daten ziel\\202602 *.* /E");
    EXPECT_TRUE(platform->shellCalls[1].wait);

    platform->shellCalls.clear();
    KOPIEREN(job("C:\\Daten", "ziel", "*.*", "/E"));
    EXPECT_TRUE(isFolder("ziel/Dienstag"));
    ASSERT_EQ(platform->shellCalls.size(), 2u);
    EXPECT_EQ(platform->shellCalls[0].parameters, "/C MD ziel\\Dienstag");
    EXPECT_EQ(platform->shellCalls[1].parameters, "C:\\Daten ziel\\Dienstag *.* /E");

    platform->shellCalls.clear();
    KOPIEREN(job("C:\\Daten", "ziel", "*.*", "/E"));
    ASSERT_EQ(platform->shellCalls.size(), 1u) << "both folders exist: nothing is made";
    EXPECT_EQ(platform->shellCalls[0].program, "ROBOCOPY.exe");
}

TEST_F(BackupRun, JanuaryUsesTheYearFollowedByZeroZero) {
    platform->setDate(2027, 1, 5);
    platform->confirmAnswers = {6};
    KOPIEREN(job("q", "ziel", "*.*", ""));
    EXPECT_TRUE(isFolder("ziel/202700"));
    EXPECT_EQ(platform->shellCalls.back().parameters, "q ziel\\202700 *.* ");
}

TEST_F(BackupRun, ConfirmationShowsTheJobAndCopiesOnlyOnYes) {
    platform->setDate(2026, 12, 8);
    fs::create_directories(folder() / "R" / "202611");
    platform->confirmAnswers = {6};
    KOPIEREN(job("S", "R", "F", "A"));

    const auto confirms = platform->dialogsOf("confirm");
    ASSERT_EQ(confirms.size(), 1u);
    EXPECT_EQ(confirms[0].text, "durchführen mit <JA>  -  abbrechen mit <NEIN>/<Esc>");
    EXPECT_EQ(confirms[0].title, "Datensicherung von S\\F\r\n nach R\\Dienstag");
    EXPECT_EQ(confirms[0].buttons, 3);
    EXPECT_EQ(confirms[0].style, 48 + 512);
    EXPECT_TRUE(confirms[0].ownedByDesktop);
    EXPECT_EQ(platform->shellCalls.back().parameters, "S R\\Dienstag F A");
    const auto messages = platform->dialogsOf("msgbox");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Datensicherung von S\\F nach R\\Dienstag erledigt.");
}

TEST_F(BackupRun, AnyAnswerButYesCancelsAndRemovesTheEmptyMonthFolderAgain) {
    for (const int answer : {7, 2, 0}) {
        platform->setDate(2026, 5, 4);
        platform->dialogs.clear();
        platform->shellCalls.clear();
        platform->confirmAnswers = {answer};
        KOPIEREN(job("S", "R", "*.*", ""));
        ASSERT_EQ(platform->shellCalls.size(), 2u) << answer;
        EXPECT_EQ(platform->shellCalls[0].parameters, "/C MD R\\202604") << "nothing copied";
        EXPECT_EQ(platform->shellCalls[1].parameters, "/C RD R\\202604");
        const auto messages = platform->dialogsOf("msgbox");
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "Datensicherung vor dem Start abgebrochen!");
        EXPECT_FALSE(fs::exists(folder() / "R" / "202604")) << answer;
        EXPECT_TRUE(isFolder("R")) << "only the month folder goes";
    }
    // So the next run of the month still makes the month's backup.
    platform->confirmAnswers = {6};
    KOPIEREN(job("S", "R", "*.*", ""));
    EXPECT_EQ(platform->shellCalls.back().parameters, "S R\\202604 *.* ");
    EXPECT_TRUE(isFolder("R/202604"));
}

struct MonthFolderEnd {
    const char* name;
    int status;       // of the copy program (-1: not started)
    bool leavesFile;  // the copy put a file into the month folder
    bool removeTried; // RD was asked for (it removes an empty folder only)
    bool kept;
};

class MonthFolderAfterTheCopy : public BackupRun,
                                public ::testing::WithParamInterface<MonthFolderEnd> {};

// A month folder this run made stays only when the copy succeeded or put something in it.
TEST_P(MonthFolderAfterTheCopy, StaysOnlyWhenFilledOrDone) {
    const auto& c = GetParam();
    platform->setDate(2026, 5, 4);
    platform->confirmAnswers = {6};
    platform->programResult = [&](const test::ShellCall&) {
        if (c.leavesFile) {
            writeFile("R/202604/teil.txt", "x");
        }
        return c.status;
    };
    KOPIEREN(job("S", "R", "*.*", ""));
    EXPECT_EQ(isFolder("R/202604"), c.kept);
    EXPECT_EQ(platform->shellCalls.back().parameters == "/C RD R\\202604", c.removeTried);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, MonthFolderAfterTheCopy,
                         ::testing::Values(MonthFolderEnd{"NotStarted", -1, false, true, false},
                                           MonthFolderEnd{"FailedEmpty", 8, false, true, false},
                                           MonthFolderEnd{"FailedWithFiles", 16, true, true, true},
                                           MonthFolderEnd{"NothingToCopy", 0, false, false, true},
                                           MonthFolderEnd{"Copied", 1, true, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BackupRun, AMonthFolderMadeEarlierAndTheWeekdayFolderAreNeverRemoved) {
    platform->setDate(2026, 5, 4);
    fs::create_directories(folder() / "R" / "202604");
    platform->confirmAnswers = {7};
    KOPIEREN(job("S", "R", "*.*", ""));
    ASSERT_EQ(platform->shellCalls.size(), 1u);
    EXPECT_EQ(platform->shellCalls[0].parameters, "/C MD R\\Montag");
    EXPECT_TRUE(isFolder("R/202604"));
    EXPECT_TRUE(isFolder("R/Montag"));
}

struct Outcome {
    int status;
    std::string message;
};

class CopyOutcome : public BackupRun, public ::testing::WithParamInterface<Outcome> {};

TEST_P(CopyOutcome, ReportsTheCopyProgramsResult) {
    platform->setDate(2026, 12, 8);
    fs::create_directories(folder() / "R" / "202611");
    platform->confirmAnswers = {6};
    const int status = GetParam().status;
    platform->programResult = [status](const test::ShellCall&) { return status; };
    KOPIEREN(job("S", "R", "*.*", ""));
    const auto messages = platform->dialogsOf("msgbox");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Datensicherung von S\\*.* nach R\\Dienstag" + GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, CopyOutcome,
    ::testing::Values(Outcome{0, " erledigt."}, Outcome{1, " erledigt."}, Outcome{3, " erledigt."},
                      Outcome{7, " erledigt."}, Outcome{8, " fehlgeschlagen! (Rückgabewert 8)"},
                      Outcome{16, " fehlgeschlagen! (Rückgabewert 16)"},
                      Outcome{-1,
                              " fehlgeschlagen! (ROBOCOPY.exe konnte nicht gestartet werden)"}));

struct Separator {
    const char* name;
    std::string eol;
};

class LineEnds : public BackupRun, public ::testing::WithParamInterface<Separator> {};

TEST_P(LineEnds, FindTheFourLines) {
    platform->setDate(2026, 12, 8);
    fs::create_directories(folder() / "R" / "202611");
    platform->confirmAnswers = {6};
    KOPIEREN(job("S", "R", "*.doc", "/MIR", GetParam().eol) + "ignored after the fourth line");
    EXPECT_EQ(platform->shellCalls.back().parameters, "S R\\Dienstag *.doc /MIR");
}

INSTANTIATE_TEST_SUITE_P(Separators, LineEnds,
                         ::testing::Values(Separator{"CRLF", "\r\n"}, Separator{"CR", "\r"},
                                           Separator{"LF", "\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BackupRun, MissingLineEndsLeaveTheRestToTheLastLineFound) {
    platform->setDate(2026, 12, 8);
    fs::create_directories(folder() / "R" / "202611");
    platform->confirmAnswers = {6};
    KOPIEREN(std::string("S\r\nR\r\n*.*"));
    EXPECT_EQ(platform->shellCalls.back().parameters, "S R\\Dienstag *.* ");
}

TEST_F(BackupRun, TrailingBackslashOnTheRootGivesTwoBackslashes) {
    platform->setDate(2026, 12, 8);
    platform->confirmAnswers = {6};
    KOPIEREN(job("S", "R\\", "*.*", ""));
    EXPECT_EQ(platform->shellCalls[0].parameters, "/C MD R\\\\202611");
    EXPECT_EQ(platform->shellCalls[1].parameters, "S R\\\\202611 *.* ");
}

struct Quoting {
    const char* name;
    std::string source, root;
    std::string folderCommand, madeFolder, copyParameters, title;
};

// Windows names hold no tab: there the folder is not made, on Linux it is.
#ifdef _WIN32
const std::string tabFolder;
#else
const std::string tabFolder = "ziel\t/202611";
#endif

class QuotedFolders : public BackupRun, public ::testing::WithParamInterface<Quoting> {};

// A blank, a tab or a shell character never splits a folder: for the interpreter the
// path is quoted, and the copy program gets the source and target back whole by the
// Windows rules. A trailing tab must not leave "\202611" as a folder of its own at the
// top of the drive. The dialogs show the folders as written.
TEST_P(QuotedFolders, ReachTheCommandsAsOneWord) {
    const auto& c = GetParam();
    platform->setDate(2026, 12, 8);
    platform->confirmAnswers = {6};
    KOPIEREN(job(c.source, c.root, "*.*", "/E"));
    EXPECT_EQ(platform->shellCalls[0].parameters, c.folderCommand);
    if (!c.madeFolder.empty()) {
        EXPECT_TRUE(isFolder(c.madeFolder));
    }
    EXPECT_EQ(platform->shellCalls[1].parameters, c.copyParameters);
    const auto words = wincmd::split(platform->shellCalls[1].parameters);
    ASSERT_EQ(words.size(), 4u);
    EXPECT_EQ(words[0], c.source);
    EXPECT_EQ(words[1], c.root + "\\202611");
    EXPECT_EQ(platform->dialogsOf("confirm")[0].title, c.title);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, QuotedFolders,
    ::testing::Values(
        Quoting{"BlanksAndShellCharacters", "C:\\Eigene Dateien\\", "Sicherung & Archiv",
                "/C MD \"Sicherung & Archiv\\202611\"", "Sicherung & Archiv/202611",
                "\"C:\\Eigene Dateien\\\\\" \"Sicherung & Archiv\\202611\" *.* /E",
                "Datensicherung von C:\\Eigene Dateien\\\\*.*\r\n nach Sicherung & Archiv\\202611"},
        Quoting{"Tabs", "que\tlle", "ziel\t", "/C MD \"ziel\t\\202611\"", tabFolder,
                "\"que\tlle\" \"ziel\t\\202611\" *.* /E",
                "Datensicherung von que\tlle\\*.*\r\n nach ziel\t\\202611"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BackupRun, EmptyTargetRootMakesNothingAndCopiesNothing) {
    platform->setDate(2026, 12, 8);
    platform->confirmAnswers = {6};
    KOPIEREN(job("S", "  ", "*.*", ""));
    EXPECT_TRUE(platform->shellCalls.empty());
    const auto messages = platform->dialogsOf("msgbox");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "Datensicherung von S\\*.* nicht gestartet: kein Zielordner angegeben!");
}

struct Refused {
    const char* name;
    std::string text;
    std::string shownJob; // source and selection as the message shows them
    std::string why = "gemischte Zeilenenden im Auftrag";
};

class RefusedJob : public BackupRun, public ::testing::WithParamInterface<Refused> {};

// Lines that may play a role nobody gave them: a lone CR or LF left inside a line (the
// lines may be shifted), an empty first line (every line takes the next one's role), a
// control character (a NUL would cut the folder where it reaches the system), a target
// root of blanks and tabs. The job makes no folder, starts nothing and says why.
TEST_P(RefusedJob, RunsNothingAndSaysWhy) {
    platform->setDate(2026, 12, 8);
    platform->confirmAnswers = {6};
    KOPIEREN(GetParam().text);
    EXPECT_TRUE(platform->shellCalls.empty());
    EXPECT_FALSE(fs::exists(folder() / "R"));
    const auto messages = platform->dialogsOf("msgbox");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Datensicherung von " + GetParam().shownJob +
                                    " nicht gestartet: " + GetParam().why + "!");
}

const std::string controlCharacter = "Steuerzeichen im Auftrag";
const std::string emptyFirstLine = "erste Zeile des Auftrags ist leer";

INSTANTIATE_TEST_SUITE_P(
    Texts, RefusedJob,
    ::testing::Values(
        Refused{"LfInSource", "S\nX\r\nR\r\n*.*\r\n/E\r\n", "S\nX\\*.*"},
        Refused{"CrInRoot", "S\r\nR\rX\r\n*.*\r\n/E\r\n", "S\\*.*"},
        Refused{"LfInArguments", "S\r\nR\r\n*.*\r\n/E\n/MIR\r\n", "S\\*.*"},
        Refused{"LfInCrText", "S\rR\r*.*\n/E\r", "S\\*.*\n/E"},
        Refused{"CrInLastLineWithoutEnd", "S\r\nR\r\n*.*\r\n/E\r", "S\\*.*"},
        Refused{"NulInRoot", "S\r\nR\0junk\r\n*.*\r\n/MIR\r\n"s, "S\\*.*", controlCharacter},
        Refused{"NulAtTheEndOfTheSource", "S\0\r\nR\r\n*.*\r\n\r\n"s, "S?\\*.*", controlCharacter},
        Refused{"EscapeInSelection", "S\r\nR\r\n\x1b[2J*.*\r\n\r\n", "S\\?[2J*.*",
                controlCharacter},
        Refused{"DeleteInArguments", "S\r\nR\r\n*.*\r\n/E\x7f\r\n", "S\\*.*", controlCharacter},
        Refused{"EmptyFirstLine", "\r\nS\r\nR\r\n*.*\r\n/E\r\n", "\\R", emptyFirstLine},
        Refused{"EmptyFirstLineWithLf", "\nS\nR\n*.*\n", "\\R", emptyFirstLine},
        Refused{"TabsOnlyRoot", "S\r\n\t \t\r\n*.*\r\n\r\n", "S\\*.*",
                "kein Zielordner angegeben"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BackupRun, JobTextWithoutLineEndsRaisesTheArgumentError) {
    std::vector<rt::ErrorRef> raised;
    int reportedLine = 0;
    rt::ERRORBLOCK(rt::Value(rt::makeBlock("(B)TEST@0000", [&](const std::vector<rt::Value>& a) {
        raised.push_back(std::static_pointer_cast<rt::ErrorRecord>(a[0].object()));
        EXPECT_EQ(rt::PROCNAME(1), "KOPIEREN");
        reportedLine = rt::PROCLINE(1);
        rt::BREAK(a[0]);
        return rt::NIL;
    })));
    bool broke = false;
    rt::guarded([&] { KOPIEREN(std::string("no line end")); },
                [&](const rt::Value&) { broke = true; });
    EXPECT_TRUE(broke);
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0]->genCode.number(), rt::gen::ARGUMENT);
    EXPECT_EQ(raised[0]->operation.text(), "+");
    // Line 2, the backslash and the month are joined left to right: the first join fails,
    // before the month is added.
    EXPECT_EQ(rt::VAR2CHAR(raised[0]->args), "{NIL, \"\\\"}");
    EXPECT_TRUE(platform->shellCalls.empty());
    EXPECT_TRUE(platform->dialogs.empty());

    // The error shows the line of the failing expression in the program's source (where
    // the source can be read: not always so under an emulator).
    std::ifstream source(DS_SOURCE_DIR "/app/kopieren.cpp");
    if (!source.is_open()) {
        return;
    }
    int number = 0;
    int expressionLine = 0;
    for (std::string line; std::getline(source, line);) {
        ++number;
        if (line.find("traced(aText[1]) +") != std::string::npos) {
            expressionLine = number;
        }
    }
    EXPECT_NE(expressionLine, 0);
    EXPECT_EQ(reportedLine, expressionLine);
}

} // namespace
