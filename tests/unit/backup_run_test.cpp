// One backup job through the scripted platform: target folder rotation, folder
// commands, the confirmation, the copy's command line and the messages.
#include "runtime/output.hpp"
#include "tests/support/program_fixture.hpp"

#include <filesystem>
#include <fstream>

namespace {

using test::ProgramTest;
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

TEST_F(BackupRun, AnyAnswerButYesCancelsAndKeepsTheFolderMade) {
    for (const int answer : {7, 2, 0}) {
        platform->setDate(2026, 5, 4);
        platform->dialogs.clear();
        platform->shellCalls.clear();
        platform->confirmAnswers = {answer};
        KOPIEREN(job("S", "R", "*.*", ""));
        ASSERT_EQ(platform->shellCalls.size(), 1u) << answer;
        EXPECT_EQ(platform->shellCalls[0].program, "") << "only the folder command ran";
        const auto messages = platform->dialogsOf("msgbox");
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "Datensicherung vor dem Start abgebrochen!");
        EXPECT_TRUE(isFolder("R/202604"));
        fs::remove_all(folder() / "R");
    }
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

TEST_F(BackupRun, FoldersWithBlanksOrShellCharactersAreQuoted) {
    platform->setDate(2026, 12, 8);
    platform->confirmAnswers = {6};
    KOPIEREN(job("C:\\Eigene Dateien\\", "Sicherung & Archiv", "*.*", "/E"));
    EXPECT_EQ(platform->shellCalls[0].parameters, "/C MD \"Sicherung & Archiv\\202611\"");
    EXPECT_TRUE(isFolder("Sicherung & Archiv/202611"));
    EXPECT_EQ(platform->shellCalls[1].parameters,
              "\"C:\\Eigene Dateien\\\\\" \"Sicherung & Archiv\\202611\" *.* /E");
    // The dialogs show the folders as written.
    EXPECT_EQ(platform->dialogsOf("confirm")[0].title,
              "Datensicherung von C:\\Eigene Dateien\\\\*.*\r\n nach Sicherung & Archiv\\202611");
}

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

struct MixedLineEnds {
    const char* name;
    std::string text;
    std::string shownJob; // source and selection as the message shows them
};

class MixedLineEndJob : public BackupRun, public ::testing::WithParamInterface<MixedLineEnds> {};

// A lone CR or LF left inside a line means the lines may be shifted: the job makes no
// folder, starts nothing and says why.
TEST_P(MixedLineEndJob, IsRefusedAndRunsNothing) {
    platform->setDate(2026, 12, 8);
    platform->confirmAnswers = {6};
    KOPIEREN(GetParam().text);
    EXPECT_TRUE(platform->shellCalls.empty());
    EXPECT_FALSE(fs::exists(folder() / "R"));
    const auto messages = platform->dialogsOf("msgbox");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Datensicherung von " + GetParam().shownJob +
                                    " nicht gestartet: gemischte Zeilenenden im Auftrag!");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MixedLineEndJob,
    ::testing::Values(MixedLineEnds{"LfInSource", "S\nX\r\nR\r\n*.*\r\n/E\r\n", "S\nX\\*.*"},
                      MixedLineEnds{"CrInRoot", "S\r\nR\rX\r\n*.*\r\n/E\r\n", "S\\*.*"},
                      MixedLineEnds{"LfInArguments", "S\r\nR\r\n*.*\r\n/E\n/MIR\r\n", "S\\*.*"},
                      MixedLineEnds{"LfInCrText", "S\rR\r*.*\n/E\r", "S\\*.*\n/E"},
                      MixedLineEnds{"CrInLastLineWithoutEnd", "S\r\nR\r\n*.*\r\n/E\r", "S\\*.*"}),
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
