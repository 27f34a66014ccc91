// Ctrl held on a virtual X display while a job starts picks yesterday's weekday folder.
// Needs Xvfb and xdotool; skipped where they are not installed.
#include "tests/e2e/binary_run.hpp"
#include "tests/e2e/virtual_display.hpp"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <thread>

extern char** environ;

namespace {

namespace fs = std::filesystem;

pid_t spawn(std::vector<std::string> args, const std::string& display) {
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> env{"DISPLAY=" + display, "PATH=/usr/bin:/bin"};
    std::vector<char*> envp{env[0].data(), env[1].data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 1, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 1, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void stop(pid_t pid) {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

// The weekday folder the program picks with Ctrl held: yesterday's name, and for
// "Freitag" the week number of today's day of the month.
std::string yesterdaysFolder() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    static const char* names[] = {"Samstag",  "Sonntag",    "Montag",  "Dienstag",
                                  "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
    std::string name = names[local.tm_wday]; // tm_wday 0 = Sunday: yesterday's entry
    if (name == "Freitag") {
        name += std::to_string(local.tm_mday / 7 + 1);
    }
    return name;
}

class CtrlKey : public e2e::BinaryTest {};

TEST_F(CtrlKey, HeldOnTheDisplayPicksYesterdaysWeekdayFolder) {
    if (const std::string missing = e2e::virtualDisplayMissing(false); !missing.empty()) {
        GTEST_SKIP() << missing;
    }
    const e2e::VirtualDisplay screen;
    ASSERT_TRUE(screen.started()) << "the virtual display did not start";
    const std::string& display = screen.name();

    installRecordingCopyProgram(0);
    fs::create_directories(path("ziel") / e2e::monthFolderToday());
    writeFile("datensicherung.txt", "quelle\r\nziel\r\n*.*\r\n\r\n");

    // A key pressed by xdotool is released when xdotool disconnects: press, wait and
    // release in one run, and start the program while it holds the key.
    const pid_t presser = spawn(
        {"/usr/bin/xdotool", "keydown", "Control_L", "sleep", "4", "keyup", "Control_L"}, display);
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    const auto result = run("j\n\n", {"DISPLAY=" + display});
    stop(presser);

    EXPECT_EQ(result.exitCode, 0) << result.err;
    const auto calls = recordedCopyCalls();
    ASSERT_EQ(calls.size(), 1u) << result.out;
    EXPECT_EQ(calls[0][1], "ziel\\" + yesterdaysFolder());
}

} // namespace
