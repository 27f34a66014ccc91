#include "tests/e2e/binary_run.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <sstream>

extern char** environ;

namespace e2e {

namespace fs = std::filesystem;

std::string monthFolderToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d%02d", local.tm_year + 1900, local.tm_mon);
    return buffer;
}

void BinaryTest::SetUp() {
    std::random_device random;
    dir_ = fs::temp_directory_path() / ("ds-e2e-" + std::to_string(random()));
    fs::create_directories(dir_);
    fs::copy_file(DS_BINARY, dir_ / "datensicherung");
    fs::permissions(dir_ / "datensicherung",
                    fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
}

void BinaryTest::TearDown() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

void BinaryTest::writeFile(const std::string& name, const std::string& content) const {
    fs::create_directories((dir_ / name).parent_path());
    std::ofstream(dir_ / name, std::ios::binary) << content;
}

std::string BinaryTest::readFile(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void BinaryTest::installRecordingCopyProgram(int status) const {
    const std::string script = "#!/bin/sh\n"
                               "for a in \"$@\"; do printf '%s\\n' \"$a\"; done >> \"" +
                               (dir_ / "ROBOCOPY.calls").string() +
                               "\"\n"
                               "echo -- >> \"" +
                               (dir_ / "ROBOCOPY.calls").string() + "\"\nexit " +
                               std::to_string(status) + "\n";
    writeFile("ROBOCOPY.exe", script);
    fs::permissions(dir_ / "ROBOCOPY.exe", fs::perms::owner_all);
}

std::vector<std::vector<std::string>> BinaryTest::recordedCopyCalls() const {
    std::vector<std::vector<std::string>> calls;
    std::istringstream in(readFile("ROBOCOPY.calls"));
    std::vector<std::string> current;
    for (std::string line; std::getline(in, line);) {
        if (line == "--") {
            calls.push_back(current);
            current.clear();
        } else {
            current.push_back(line);
        }
    }
    return calls;
}

namespace {

// Starts `program` under the name `argv0` in `folder` with its standard input from
// inFile and its output into outFile and errFile; returns its process id, or -1.
pid_t spawn(const fs::path& program, const std::string& argv0, const fs::path& folder,
            const fs::path& inFile, const fs::path& outFile, const fs::path& errFile,
            const std::vector<std::string>& environment,
            const std::vector<std::string>& arguments) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inFile.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "DISPLAY=", 8) != 0 && std::strncmp(*e, "WAYLAND_DISPLAY=", 16) != 0) {
            env.emplace_back(*e);
        }
    }
    env.insert(env.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (auto& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    std::vector<std::string> args{argv0};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    const std::string previous = fs::current_path().string();
    fs::current_path(folder);
    pid_t pid = 0;
    const int started =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    fs::current_path(previous);
    posix_spawn_file_actions_destroy(&actions);
    return started == 0 ? pid : -1;
}

int exitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

RunResult BinaryTest::runIn(const std::string& subfolder, const std::string& input,
                            const std::vector<std::string>& environment,
                            const std::vector<std::string>& arguments) const {
    const fs::path folder = subfolder.empty() ? dir_ : dir_ / subfolder;
    const fs::path program = folder / "datensicherung";
    return runAs(program, program.string(), folder, input, environment, arguments);
}

RunResult BinaryTest::runAs(const fs::path& program, const std::string& argv0,
                            const fs::path& folder, const std::string& input,
                            const std::vector<std::string>& environment,
                            const std::vector<std::string>& arguments) const {
    const fs::path inFile = dir_ / ".stdin";
    { std::ofstream(inFile, std::ios::binary) << input; }
    const pid_t pid = spawn(program, argv0, folder, inFile, dir_ / ".stdout", dir_ / ".stderr",
                            environment, arguments);
    RunResult result;
    if (pid < 0) {
        return result;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = exitCodeOf(status);
    result.out = readFile(".stdout");
    result.err = readFile(".stderr");
    return result;
}

pid_t BinaryTest::start(const std::string& stdinPath,
                        const std::vector<std::string>& environment) const {
    const fs::path program = dir_ / "datensicherung";
    return spawn(program, program.string(), dir_, stdinPath, dir_ / ".stdout", dir_ / ".stderr",
                 environment, {});
}

RunResult BinaryTest::finish(pid_t pid, int seconds) const {
    RunResult result;
    int status = 0;
    for (int waited = 0; waited < seconds * 20; ++waited) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            result.exitCode = exitCodeOf(status);
            result.out = readFile(".stdout");
            result.err = readFile(".stderr");
            return result;
        }
        usleep(50 * 1000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    result.out = readFile(".stdout");
    result.err = readFile(".stderr");
    return result;
}

} // namespace e2e
