// MAIN through the scripted platform: the job file's name, the exclusive-open test and
// the jobs it runs.
#include "tests/support/program_fixture.hpp"

namespace {

using test::ProgramTest;

std::string job(const std::string& source) {
    return source + "\r\nR\r\n*.*\r\n\r\n";
}

class MainProcedure : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        platform->setDate(2026, 12, 8);
        std::filesystem::create_directories(folder() / "R" / "202611");
    }
    // The sources of the copies started, in order.
    std::vector<std::string> copiedSources() const {
        std::vector<std::string> sources;
        for (const auto& call : platform->shellCalls) {
            if (!call.program.empty()) {
                sources.push_back(call.parameters.substr(0, call.parameters.find(' ')));
            }
        }
        return sources;
    }
};

struct Name {
    const char* program;
    const char* jobFile;
};

class JobFileName : public MainProcedure, public ::testing::WithParamInterface<Name> {};

TEST_P(JobFileName, IsTheProgramNameWithTxt) {
    platform->exePath = std::string("/opt/x/") + GetParam().program;
    writeFile(GetParam().jobFile, job("Q"));
    platform->confirmAnswers = {6};
    MAIN();
    EXPECT_EQ(copiedSources(), std::vector<std::string>{"Q"});
}

INSTANTIATE_TEST_SUITE_P(Names, JobFileName,
                         ::testing::Values(Name{"datensicherung.exe", "datensicherung.txt"},
                                           Name{"DatenSicherung.EXE", "DatenSicherung.txt"},
                                           Name{"datensicherung", "datensicherung.txt"},
                                           Name{"sicher.ung", "sicher.txt"},
                                           Name{"v1.2", "v1.2.txt"}));

TEST_F(MainProcedure, RefusesWhenTheJobFileIsMissingOrInUse) {
    const std::string refusal = "Es ist bereits ein SicherungsJob offen!\r\n"
                                "Bitte zuerst schließen, dann nochmal versuchen!";
    MAIN();
    ASSERT_EQ(platform->dialogs.size(), 1u);
    EXPECT_EQ(platform->dialogs[0].kind, "msgbox");
    EXPECT_EQ(platform->dialogs[0].text, refusal);

    platform->dialogs.clear();
    writeFile("datensicherung.txt", job("Q"));
    platform->heldElsewhere = {"datensicherung.txt"};
    MAIN();
    ASSERT_EQ(platform->dialogs.size(), 1u);
    EXPECT_EQ(platform->dialogs[0].text, refusal);
    EXPECT_TRUE(platform->shellCalls.empty());
}

TEST_F(MainProcedure, RunsSectionsInOrderAndACancelDoesNotStopTheNext) {
    writeFile("datensicherung.txt",
              "[1]\r\n" + job("Q1") + "[2]\r\n" + job("Q2") + "[3]\r\n" + job("Q3") + "[4]\r\n");
    platform->confirmAnswers = {6, 7, 6};
    MAIN();
    EXPECT_EQ(copiedSources(), (std::vector<std::string>{"Q1", "Q3"}));
    EXPECT_EQ(platform->dialogsOf("confirm").size(), 3u);
}

TEST_F(MainProcedure, SingleJobAndBlanksAroundTheList) {
    writeFile("datensicherung.txt", "   " + job("Q") + "   ");
    platform->confirmAnswers = {6};
    MAIN();
    EXPECT_EQ(copiedSources(), std::vector<std::string>{"Q"});
}

TEST_F(MainProcedure, AByteOrderMarkBeforeTheFirstHeaderIsNotText) {
    writeFile("datensicherung.txt", "\xEF\xBB\xBF[1]\r\n" + job("Q1") + "[2]\r\n");
    platform->confirmAnswers = {6};
    MAIN();
    EXPECT_EQ(copiedSources(), std::vector<std::string>{"Q1"});
}

TEST_F(MainProcedure, HeaderAfterACommentRunsNoJobAndShowsNothing) {
    writeFile("datensicherung.txt", "; Sicherungen\r\n[1]\r\n" + job("Q") + "[2]\r\n");
    MAIN();
    EXPECT_TRUE(platform->dialogs.empty());
    EXPECT_TRUE(platform->shellCalls.empty());
}

TEST_F(MainProcedure, OnlyTheFirst3000BytesCount) {
    std::string list = "[1]\r\n" + job("Q1") + "[2]\r\n" + job("Q2");
    list += std::string(3000 - list.size() - 3, 'x') + "\r\n";
    list += "[3]\r\n" + job("Q3") + "[4]\r\n"; // beyond byte 3000
    writeFile("datensicherung.txt", list);
    platform->confirmAnswers = {6, 6, 6};
    MAIN();
    // Section 2 has no closing header within the bytes read, so it does not run.
    EXPECT_EQ(copiedSources(), std::vector<std::string>{"Q1"});
    const auto messages = platform->dialogsOf("msgbox");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text,
              "Datensicherung von Q2\\*.* nicht gestartet: Auftrag nach 3000 Bytes abgeschnitten!");
}

struct Cut {
    const char* name;
    std::size_t rootLength;  // of the target root folder line
    std::size_t blanksAfter; // after the four lines
    bool runs;
};

class SingleJobAtTheLimit : public MainProcedure, public ::testing::WithParamInterface<Cut> {};

// A single job whose target root runs past byte 3000: cut inside its lines it would make
// and fill a folder the job never named.
TEST_P(SingleJobAtTheLimit, RunsOnlyWhenItsFourLinesEndWithinTheBytesRead) {
    std::string root = "R";
    while (root.size() < GetParam().rootLength) {
        root += "\\abcdefghi";
    }
    writeFile("datensicherung.txt",
              "Q\r\n" + root + "\r\n*.*\r\n\r\n" + std::string(GetParam().blanksAfter, ' '));
    platform->confirmAnswers = {6};
    MAIN();
    EXPECT_EQ(copiedSources().size(), GetParam().runs ? 1u : 0u);
    if (!GetParam().runs) {
        EXPECT_TRUE(platform->shellCalls.empty()) << "no folder made";
        ASSERT_EQ(platform->dialogs.size(), 1u);
        EXPECT_EQ(platform->dialogs[0].text,
                  "Datensicherung von Q\\ nicht gestartet: Auftrag nach 3000 Bytes abgeschnitten!");
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, SingleJobAtTheLimit,
                         ::testing::Values(Cut{"CutInTheTargetRoot", 3100, 0, false},
                                           Cut{"FourLinesWithinThe3000Bytes", 2900, 0, true},
                                           Cut{"CutInTheBlanksAfterTheFourLines", 2900, 500, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainProcedure, AHeaderLineWithMoreTextRefusesItsJobAndTheNextRuns) {
    writeFile("datensicherung.txt",
              "[1]\tQ0\r\n" + job("Q1") + "[2] \t\r\n" + job("Q2") + "[3]\r\n");
    platform->confirmAnswers = {6};
    MAIN();
    EXPECT_EQ(copiedSources(), std::vector<std::string>{"Q2"});
    const auto messages = platform->dialogsOf("msgbox");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "Datensicherung von Q1\\*.* nicht gestartet: weiterer Text in der "
                                "Kopfzeile des Abschnitts!");
}

} // namespace
