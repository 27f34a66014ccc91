// Runs the built program as a person would: from a folder of its own, with a job file
// and a recording copy program beside it, answers on standard input.
#pragma once

#include <gtest/gtest.h>

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace e2e {

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// The month folder a job started now is given: the year and the month before.
std::string monthFolderToday();

// A temporary folder holding a copy of the program (as datensicherung) that is also the
// current folder of every run; removed at the end of the test.
class BinaryTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    const std::filesystem::path& dir() const { return dir_; }
    std::filesystem::path path(const std::string& name) const { return dir_ / name; }
    void writeFile(const std::string& name, const std::string& content) const;
    std::string readFile(const std::string& name) const;

    // Puts a copy program beside the program that records its arguments, one per line,
    // into ROBOCOPY.calls (a line "--" after each call) and exits with `status`.
    void installRecordingCopyProgram(int status = 1) const;
    // The arguments of each recorded call.
    std::vector<std::vector<std::string>> recordedCopyCalls() const;

    // Runs the program in dir() with `input` on standard input; environment entries
    // "NAME=value" are added (DISPLAY and WAYLAND_DISPLAY are always removed so no display
    // is asked unless an entry names one).
    RunResult run(const std::string& input,
                  const std::vector<std::string>& environment = {}) const {
        return runIn("", input, environment);
    }
    // The same for the program moved into a subfolder, which is then the current folder.
    RunResult runIn(const std::string& subfolder, const std::string& input,
                    const std::vector<std::string>& environment = {},
                    const std::vector<std::string>& arguments = {}) const;
    // Starts `program` (a path) under the name `argv0` with `folder` as the current
    // folder.
    RunResult runAs(const std::filesystem::path& program, const std::string& argv0,
                    const std::filesystem::path& folder, const std::string& input,
                    const std::vector<std::string>& environment = {},
                    const std::vector<std::string>& arguments = {}) const;

    // Starts the program in dir() with standard input read from stdinPath (for instance
    // /dev/null, as a desktop launcher gives it) and returns at once.
    pid_t start(const std::string& stdinPath, const std::vector<std::string>& environment) const;
    // Waits at most `seconds` for a started program; one still running then is killed and
    // reported with exit code -1.
    RunResult finish(pid_t pid, int seconds) const;

  private:
    std::filesystem::path dir_;
};

} // namespace e2e
