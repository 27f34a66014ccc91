// Runtime errors in a run of the built program: the error dialog on the terminal, the
// error log and the exit code.
#include "tests/e2e/binary_run.hpp"

#include <filesystem>

namespace {

using e2e::BinaryTest;
namespace fs = std::filesystem;

// A job without any line end: its four lines stay without values, and joining the
// target root folder with the month folder raises the argument error in KOPIEREN.
const std::string jobWithoutLineEnd = "quelle ziel *.* /E";
// The same job first, then a good one.
const std::string twoJobsFirstBroken = "[1]\r\nquelle ziel *.* /E"
                                       "[2]\r\nquelle2\r\nziel2\r\n*.*\r\n/E\r\n"
                                       "[3]\r\n";

const std::string dialogText = "Fehler BASE/1\nBeschreibung : Argumentfehler\nOperation : +\n"
                               "Thread ID : 1\n  1) Abbrechen\n  2) Ende mit LOG-Datei\n";

class ErrorEndToEnd : public BinaryTest {};

TEST_F(ErrorEndToEnd, EndWithLogWritesTheLogAndExitsWithOne) {
    installRecordingCopyProgram();
    writeFile("datensicherung.txt", jobWithoutLineEnd);
    const auto result = run("2\n");
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_NE(result.out.find(dialogText), std::string::npos) << result.out;
    const std::string log = readFile("TVRERROR.LOG");
    EXPECT_EQ(log.substr(0, 2), "\r\n");
    EXPECT_NE(log.find("\r\noError:operation    : +\r\n"), std::string::npos) << log;
    const auto kopieren = log.find("\r\nAufgerufen von KOPIEREN(");
    const auto main = log.find("\r\nAufgerufen von MAIN(");
    ASSERT_NE(kopieren, std::string::npos) << log;
    ASSERT_NE(main, std::string::npos) << log;
    EXPECT_LT(kopieren, main) << "innermost first";
    EXPECT_EQ(log.find("STANDARDEH"), std::string::npos);
    EXPECT_NE(result.out.find("Fehlerprotokoll wurde in die Datei TVRERROR.LOG geschrieben"),
              std::string::npos);
    EXPECT_TRUE(recordedCopyCalls().empty());
}

TEST_F(ErrorEndToEnd, CancelRunsNoFurtherJobAndExitsWithZero) {
    installRecordingCopyProgram();
    writeFile("datensicherung.txt", twoJobsFirstBroken);
    const auto result = run("1\nj\n\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find(dialogText), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("quelle2"), std::string::npos) << "the second job never starts";
    EXPECT_TRUE(recordedCopyCalls().empty());
    EXPECT_FALSE(fs::exists(path("TVRERROR.LOG")));
}

TEST_F(ErrorEndToEnd, EndOfInputAtTheDialogWritesTheLogInsteadOfAskingForEver) {
    writeFile("datensicherung.txt", jobWithoutLineEnd);
    const auto result = run("");
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_NE(readFile("TVRERROR.LOG").find("Aufgerufen von KOPIEREN("), std::string::npos);
}

TEST_F(ErrorEndToEnd, LogFolderInTheWayGivesTheNextName) {
    writeFile("datensicherung.txt", jobWithoutLineEnd);
    fs::create_directory(path("TVRERROR.LOG"));
    const auto result = run("2\n");
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_NE(readFile("TVRERROR.001").find("Aufgerufen von MAIN("), std::string::npos);
    EXPECT_NE(result.out.find("Fehlerprotokoll wurde in die Datei TVRERROR.001 geschrieben"),
              std::string::npos);
}

} // namespace
