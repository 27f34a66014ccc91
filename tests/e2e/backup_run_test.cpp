// The program run as a person runs it: job file beside it, answers typed in.
#include "tests/e2e/binary_run.hpp"

#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <thread>

namespace {

using e2e::BinaryTest;
namespace fs = std::filesystem;

const std::string twoJobs = "[1]\r\nquelle1\r\nziel\r\n*.*\r\n/E\r\n"
                            "[2]\r\nquelle 2\r\nziel 2\r\n*.txt\r\n/R:0 /W:0\r\n"
                            "[3]\r\n";

class BackupRun : public BinaryTest {};

TEST_F(BackupRun, TwoJobsAnsweredYesMakeTheMonthFolderAndCopyIntoIt) {
    installRecordingCopyProgram(1);
    writeFile("datensicherung.txt", twoJobs);
    const auto result = run("j\n\nj\n\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(fs::is_directory(path("ziel") / e2e::monthFolderToday()));
    EXPECT_TRUE(fs::is_directory(path("ziel 2") / e2e::monthFolderToday()));
    const auto calls = recordedCopyCalls();
    ASSERT_EQ(calls.size(), 2u);
    const std::vector<std::string> first{"quelle1", "ziel\\" + e2e::monthFolderToday(), "*.*",
                                         "/E"};
    const std::vector<std::string> second{"quelle 2", "ziel 2\\" + e2e::monthFolderToday(), "*.txt",
                                          "/R:0", "/W:0"};
    EXPECT_EQ(calls[0], first);
    EXPECT_EQ(calls[1], second);
    EXPECT_NE(result.out.find("Datensicherung von quelle1\\*.* nach ziel\\" +
                              e2e::monthFolderToday() + " erledigt."),
              std::string::npos)
        << result.out;
}

TEST_F(BackupRun, CancelledJobCopiesNothingButTheNextJobRuns) {
    installRecordingCopyProgram(0);
    writeFile("datensicherung.txt", twoJobs);
    const auto result = run("n\n\nj\n\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Datensicherung vor dem Start abgebrochen!"), std::string::npos);
    const auto calls = recordedCopyCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0][0], "quelle 2");
}

TEST_F(BackupRun, EndOfInputCancelsEveryJob) {
    installRecordingCopyProgram(0);
    writeFile("datensicherung.txt", twoJobs);
    const auto result = run("");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(recordedCopyCalls().empty());
}

TEST_F(BackupRun, MissingJobFileIsRefused) {
    const auto result = run("\n");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("Es ist bereits ein SicherungsJob offen!"), std::string::npos);
    EXPECT_NE(result.out.find("Bitte zuerst schließen, dann nochmal versuchen!"),
              std::string::npos);
}

TEST_F(BackupRun, JobFileHeldOpenByAnotherProcessIsRefusedThenRunsAfterwards) {
    installRecordingCopyProgram(0);
    writeFile("datensicherung.txt", twoJobs);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        const int fd = open(path("datensicherung.txt").c_str(), O_RDONLY);
        (void)!write(ready[1], "x", 1);
        sleep(30);
        close(fd);
        _exit(0);
    }
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    const auto refused = run("\n");
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
    EXPECT_NE(refused.out.find("Es ist bereits ein SicherungsJob offen!"), std::string::npos)
        << refused.out;
    EXPECT_TRUE(recordedCopyCalls().empty());

    const auto later = run("j\n\nj\n\n");
    EXPECT_EQ(recordedCopyCalls().size(), 2u) << later.out;
}

TEST_F(BackupRun, CopyProgramMissingIsReportedAsFailure) {
    writeFile("datensicherung.txt", "quelle\r\nziel\r\n*.*\r\n\r\n");
    const auto result = run("j\n\n", {"PATH=/nonexistent"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("fehlgeschlagen! (ROBOCOPY.exe konnte nicht gestartet werden)"),
              std::string::npos)
        << result.out;
}

TEST_F(BackupRun, CopyFailureStatusIsReported) {
    installRecordingCopyProgram(16);
    writeFile("datensicherung.txt", "quelle\r\nziel\r\n*.*\r\n\r\n");
    const auto result = run("j\n\n");
    EXPECT_NE(result.out.find("fehlgeschlagen! (Rückgabewert 16)"), std::string::npos)
        << result.out;
}

} // namespace
