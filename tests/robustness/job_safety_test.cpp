// Hostile and unlucky job files and files in the program's way, through the built program
// with the real copy program: no job line ever takes another line's role, nothing is made
// outside the folders a job names, no special file blocks the program, the error log never
// writes through a link, and a cancelled first run of a month leaves no empty month folder.
#include "tests/robustness/process.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <random>
#include <set>

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// A job without any line end: it raises the argument error, and "2" at the error dialog
// ends the program with the error log.
const std::string jobRaisingAnError = "quelle ziel *.* /E";
const std::string endWithLog = "2\n";

class JobSafety : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("ds-safety-" + std::to_string(getpid()) + "-" +
                                            std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        fs::copy_file(DS_BINARY, dir_ / "datensicherung");
        fs::copy_file(ROBOCOPY_EXE, dir_ / "ROBOCOPY.exe");
        robust::writeFile(dir_ / "quelle" / "a.txt", "Inhalt");
        robust::writeFile(dir_ / "que\tlle" / "a.txt", "Inhalt");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    const fs::path& dir() const { return dir_; }

    // Runs the program in dir() with a bounded wait: a run that hangs ends as -2.
    robust::Finished backup(const std::string& input) const {
        return robust::runProgram({dir_ / "datensicherung", {}, dir_, input},
                                  std::chrono::seconds(30));
    }
    robust::Finished backup(const std::string& jobs, const std::string& input) const {
        robust::writeFile(dir_ / "datensicherung.txt", jobs);
        return backup(input);
    }

  private:
    fs::path dir_;
};

struct HostileJob {
    const char* name;
    std::string jobs;
    std::string input;                // answers: "j" at a confirmation, Enter at a message
    std::string shown;                // a text the run shows
    std::vector<std::string> changed; // the only entries allowed to change (and their trees)
    std::string copied;               // a file the copy must have made, if any
};

void PrintTo(const HostileJob& c, std::ostream* os) {
    *os << c.name;
}

class HostileJobFile : public JobSafety, public ::testing::WithParamInterface<HostileJob> {};

bool inside(const std::string& path, const std::vector<std::string>& roots) {
    for (const auto& root : roots) {
        if (path == root || path.rfind(root + "/", 0) == 0) {
            return true;
        }
    }
    return false;
}

TEST_P(HostileJobFile, ChangesOnlyWhatTheJobNames) {
    const auto& c = GetParam();
    // Earlier backups in a target root a cut line could name.
    robust::writeFile(dir() / "bk" / "202001" / "alt.txt", "alt");
    robust::writeFile(dir() / "bk" / "Montag" / "alt.txt", "alt");
    const std::string topMonth = "/" + robust::todaysMonthFolder();
    const bool topMonthBefore = fs::exists(topMonth);
    robust::writeFile(dir() / "datensicherung.txt", c.jobs);
    const auto before = robust::snapshot(dir());

    const auto result = backup(c.input);

    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.out.find(c.shown), std::string::npos) << result.out;
    const auto after = robust::snapshot(dir());
    std::set<std::string> keys;
    for (const auto* side : {&before, &after}) {
        for (const auto& entry : *side) {
            keys.insert(entry.first);
        }
    }
    for (const auto& key : keys) {
        const auto b = before.find(key);
        const auto a = after.find(key);
        const bool same = b != before.end() && a != after.end() && b->second == a->second;
        EXPECT_TRUE(same || inside(key, c.changed)) << "changed: " << key;
    }
    if (!c.copied.empty()) {
        EXPECT_EQ(robust::readFile(dir() / c.copied), "Inhalt") << c.copied;
    }
    EXPECT_EQ(fs::exists(topMonth), topMonthBefore) << "a folder at the top of the file system";
}

const std::string month = robust::todaysMonthFolder();
const std::string good = "quelle\r\nziel2\r\n*.*\r\n/E\r\n";
const std::string notStarted = " nicht gestartet: ";

std::string cutTargetRoot() {
    std::string root = "ziel";
    while (root.size() < 3100) {
        root += "\\abcdefghi";
    }
    return "quelle\r\n" + root + "\r\n*.*\r\n/E\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, HostileJobFile,
    ::testing::Values(
        HostileJob{"BlanksAndTabsAfterTheHeader",
                   "[1] \t\r\nquelle\r\nziel\r\n*.*\r\n/E\r\n[2]\t \r\n" + good + "[3]\r\n",
                   "j\n\nj\n\n",
                   "erledigt.",
                   {"ziel", "ziel2"},
                   "ziel2/" + month + "/a.txt"},
        HostileJob{"TextAfterTheHeader",
                   "[1]\talt\r\nquelle\r\nziel\r\n*.*\r\n/E\r\n[2]\r\n" + good + "[3]\r\n",
                   "\nj\n\n",
                   "quelle\\*.*" + notStarted + "weiterer Text in der Kopfzeile",
                   {"ziel2"},
                   "ziel2/" + month + "/a.txt"},
        HostileJob{"EmptyLineAfterTheHeader",
                   "[1]\r\n\r\nquelle\r\nziel\r\n*.*\r\n/E\r\n[2]\r\n" + good + "[3]\r\n",
                   "\nj\n\n",
                   notStarted + "erste Zeile des Auftrags ist leer",
                   {"ziel2"},
                   "ziel2/" + month + "/a.txt"},
        HostileJob{"EmptyFirstLineOfASingleJob",
                   "\r\nquelle\r\nziel\r\n*.*\r\n/E\r\n",
                   "\n",
                   "erste Zeile des Auftrags ist leer",
                   {},
                   ""},
        HostileJob{"TrailingTabInTheTargetRoot",
                   "quelle\r\nziel\t\r\n*.*\r\n/E\r\n",
                   "j\n\n",
                   "erledigt.",
                   {"ziel\t"},
                   "ziel\t/" + month + "/a.txt"},
        HostileJob{"TabInsideTheTargetRoot",
                   "quelle\r\nzi\tel\r\n*.*\r\n/E\r\n",
                   "j\n\n",
                   "erledigt.",
                   {"zi\tel"},
                   "zi\tel/" + month + "/a.txt"},
        HostileJob{"TabInsideTheSource",
                   "que\tlle\r\nziel\r\n*.*\r\n/E\r\n",
                   "j\n\n",
                   "erledigt.",
                   {"ziel"},
                   "ziel/" + month + "/a.txt"},
        HostileJob{"NulInTheTargetRoot",
                   "quelle\r\nbk\0junk\r\n*.*\r\n/MIR\r\n"s,
                   "\n",
                   notStarted + "Steuerzeichen im Auftrag",
                   {},
                   ""},
        HostileJob{"NulInASectionsSource",
                   "[1]\r\nquelle\0x\r\nbk\r\n*.*\r\n/MIR\r\n[2]\r\n"s + good + "[3]\r\n",
                   "\nj\n\n",
                   "quelle?x\\*.*" + notStarted + "Steuerzeichen",
                   {"ziel2"},
                   "ziel2/" + month + "/a.txt"},
        HostileJob{"EscapeInTheSelection",
                   "quelle\r\nziel\r\n\x1b[2J*.*\r\n/E\r\n",
                   "\n",
                   "Steuerzeichen im Auftrag",
                   {},
                   ""},
        HostileJob{"SingleJobCutInsideItsTargetRoot",
                   cutTargetRoot(),
                   "\n",
                   "Auftrag nach 3000 Bytes abgeschnitten",
                   {},
                   ""},
        HostileJob{"DriveLetterTargetRoot",
                   "quelle\r\nC:\\Sicherung\r\n*.*\r\n/E\r\n",
                   "j\n\n",
                   "fehlgeschlagen",
                   {},
                   ""},
        HostileJob{"DriveRelativeTargetRoot",
                   "quelle\r\nd:Sicherung\r\n*.*\r\n/E\r\n",
                   "j\n\n",
                   "fehlgeschlagen",
                   {},
                   ""},
        HostileJob{"DriveLetterTargetRootCancelled",
                   "quelle\r\nC:\\Sicherung\r\n*.*\r\n/E\r\n",
                   "n\n\n",
                   "abgebrochen",
                   {},
                   ""}),
    [](const auto& info) { return std::string(info.param.name); });

// The program must never wait on a file that is not a plain one: a FIFO as the job file
// is refused like a job file in use; a FIFO as TVRERROR.LOG is a name that cannot be used.
TEST_F(JobSafety, AFifoJobFileIsRefusedAtOnce) {
    ASSERT_EQ(::mkfifo((dir() / "datensicherung.txt").c_str(), 0600), 0);
    const auto result = backup("");
    EXPECT_EQ(result.exitCode, 0) << "-2: the program hung\n" << result.err;
    EXPECT_NE(result.out.find("Es ist bereits ein SicherungsJob offen!"), std::string::npos)
        << result.out;
}

struct LogInTheWay {
    const char* name;
    std::function<void(const fs::path&)> place; // puts something at TVRERROR.LOG
};

void PrintTo(const LogInTheWay& c, std::ostream* os) {
    *os << c.name;
}

class ErrorLogInTheWay : public JobSafety, public ::testing::WithParamInterface<LogInTheWay> {};

// The log goes to the next name; whatever stands at TVRERROR.LOG, and what a link there
// points to, stays as it was.
TEST_P(ErrorLogInTheWay, TheLogGoesToTheNextName) {
    robust::writeFile(dir() / "anderswo.txt", "bleibt");
    GetParam().place(dir() / "TVRERROR.LOG");
    const auto placed = fs::symlink_status(dir() / "TVRERROR.LOG").type();

    const auto result = backup(jobRaisingAnError, endWithLog);

    EXPECT_EQ(result.exitCode, 1) << "-2: the program hung\n" << result.err;
    EXPECT_NE(result.out.find("Fehlerprotokoll wurde in die Datei TVRERROR.001 geschrieben"),
              std::string::npos)
        << result.out;
    EXPECT_NE(robust::readFile(dir() / "TVRERROR.001").find("Aufgerufen von KOPIEREN("),
              std::string::npos);
    EXPECT_EQ(fs::symlink_status(dir() / "TVRERROR.LOG").type(), placed);
    EXPECT_EQ(robust::readFile(dir() / "anderswo.txt"), "bleibt");
    EXPECT_FALSE(fs::exists(dir() / "fehlt.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ErrorLogInTheWay,
    ::testing::Values(
        LogInTheWay{"Fifo", [](const fs::path& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); }},
        LogInTheWay{"LinkToAFile",
                    [](const fs::path& at) { fs::create_symlink("anderswo.txt", at); }},
        LogInTheWay{"DanglingLink",
                    [](const fs::path& at) { fs::create_symlink("fehlt.txt", at); }},
        LogInTheWay{"SecondNameOfAFile",
                    [](const fs::path& at) {
                        fs::create_hard_link(at.parent_path() / "anderswo.txt", at);
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

// A first run of the month that ends without a copy leaves no empty month folder behind,
// so the next run that month still makes the month's backup.
TEST_F(JobSafety, ACancelledFirstRunOfTheMonthLeavesTheMonthToTheNextRun) {
    const std::string job = "quelle\r\nziel\r\n*.*\r\n/E\r\n";
    const auto cancelled = backup(job, "n\n\n");
    EXPECT_EQ(cancelled.exitCode, 0) << cancelled.err;
    EXPECT_NE(cancelled.out.find("abgebrochen"), std::string::npos) << cancelled.out;
    EXPECT_FALSE(fs::exists(dir() / "ziel" / month));

    const auto copied = backup(job, "j\n\n");
    EXPECT_EQ(copied.exitCode, 0) << copied.err;
    EXPECT_EQ(robust::readFile(dir() / "ziel" / month / "a.txt"), "Inhalt");
}

} // namespace
