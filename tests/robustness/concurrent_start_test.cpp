// Two copies of the program started at the same moment on the same job file: one is
// refused and the other runs every job, or both run every job; never a crash, never a
// job list read in part.
#include "tests/robustness/process.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;

const std::string refusal = "Es ist bereits ein SicherungsJob offen!";

// Two runs at once may both find a job's month folder missing and both make it; the
// later folder command then says that it exists already. Nothing else may be said.
bool onlyFolderExistsMessages(const std::string& err) {
    std::size_t start = 0;
    while (start < err.size()) {
        std::size_t end = err.find('\n', start);
        end = end == std::string::npos ? err.size() : end;
        const std::string line = err.substr(start, end - start);
        if (line.find_first_not_of("\r") != std::string::npos &&
            line.find("existiert bereits.") == std::string::npos) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

TEST(ConcurrentStart, OneRefusalOrTwoCleanRunsNeverHalfAJobList) {
    const fs::path dir = fs::temp_directory_path() / ("ds-twice-" + std::to_string(getpid()) + "-" +
                                                      std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    fs::copy_file(DS_BINARY, dir / "datensicherung");
    // A copy program that copies nothing and reports success, so that the two runs
    // meet only at the job file.
    robust::writeFile(dir / "ROBOCOPY.exe", "#!/bin/sh\nexit 1\n");
    fs::permissions(dir / "ROBOCOPY.exe", fs::perms::owner_all);
    std::string jobs;
    std::string answers;
    for (int i = 1; i <= 9; ++i) {
        jobs += "[" + std::to_string(i) + "]\r\nQuelle" + std::to_string(i) + "\r\nZiel" +
                std::to_string(i) + "\r\n*.*\r\n/E\r\n";
        answers += "j\n\n";
    }
    jobs += "[10]\r\n";
    robust::writeFile(dir / "datensicherung.txt", jobs);

    int refusals = 0;
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        robust::Gate gate;
        robust::Process first({dir / "datensicherung", {}, dir, answers}, gate.fd());
        robust::Process second({dir / "datensicherung", {}, dir, answers}, gate.fd());
        gate.open(2);
        const auto a = first.finish(std::chrono::seconds(60));
        const auto b = second.finish(std::chrono::seconds(60));
        int clean = 0;
        for (const auto* run : {&a, &b}) {
            ASSERT_EQ(run->exitCode, 0) << run->out << run->err;
            EXPECT_TRUE(onlyFolderExistsMessages(run->err)) << run->err;
            if (run->out.find(refusal) != std::string::npos) {
                ++refusals;
                EXPECT_EQ(run->out.find("Datensicherung von"), std::string::npos) << run->out;
                continue;
            }
            // Every job, in file order.
            std::size_t at = 0;
            for (int i = 1; i <= 9; ++i) {
                const std::string done = "Datensicherung von Quelle" + std::to_string(i) +
                                         "\\*.* nach Ziel" + std::to_string(i);
                at = run->out.find(done, at);
                ASSERT_NE(at, std::string::npos) << "job " << i << " missing:\n" << run->out;
            }
            ++clean;
        }
        EXPECT_GE(clean, 1) << "both were refused";
    }
    RecordProperty("refusals", refusals);
    std::error_code ec;
    fs::remove_all(dir, ec);
}

} // namespace
