// The program started as from a desktop launcher (standard input /dev/null, a display,
// no terminal) asks in dialog windows; on a virtual X display the tests read the
// windows' titles and answer them with keys and mouse clicks. Skipped where Xvfb,
// xdotool or GTK 3 is not installed.
#include "tests/e2e/binary_run.hpp"
#include "tests/e2e/virtual_display.hpp"

#include <chrono>
#include <memory>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

class DesktopDialogs : public e2e::BinaryTest {
  protected:
    static void SetUpTestSuite() {
        missing_ = e2e::virtualDisplayMissing(true);
        if (missing_.empty()) {
            screen_ = std::make_unique<e2e::VirtualDisplay>();
        }
    }
    static void TearDownTestSuite() { screen_.reset(); }

    void SetUp() override {
        BinaryTest::SetUp();
        if (!missing_.empty()) {
            GTEST_SKIP() << missing_;
        }
        ASSERT_TRUE(screen_->started()) << "the virtual display did not start";
        installRecordingCopyProgram(0);
        fs::create_directories(path("quelle"));
        writeFile("datensicherung.txt", "quelle\r\nziel\r\n*.*\r\n/E\r\n");
    }

    const e2e::VirtualDisplay& screen() const { return *screen_; }

    // As a launcher starts it: nothing to read on standard input, the display named.
    pid_t startFromLauncher() const {
        // GTK keeps memory to the end of the program on purpose; a sanitizer build would
        // count that as leaks. The virtual display has no accessibility bus to wait for.
        return start("/dev/null", {"DISPLAY=" + screen().name(), "ASAN_OPTIONS=detect_leaks=0",
                                   "NO_AT_BRIDGE=1"});
    }

    // The first visible window of the program, other than `other`, whose title begins
    // with titleStart; empty when none shows within 30 seconds (GTK's first start on a
    // loaded machine, or under the sanitizers, takes seconds).
    std::string waitForWindow(const std::string& titleStart, const std::string& other = "") const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < deadline) {
            std::istringstream ids(
                screen().xdotool({"search", "--onlyvisible", "--class", "datensicherung"}));
            for (std::string id; std::getline(ids, id);) {
                if (id != other &&
                    screen().xdotool({"getwindowname", id}).rfind(titleStart, 0) == 0) {
                    return id;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return {};
    }

    void pressKey(const std::string& window, const std::string& key) const {
        screen().xdotool({"windowfocus", "--sync", window});
        screen().xdotool({"key", "--clearmodifiers", key});
    }

    // Clicks at a point given in thousandths of the window's width and height.
    void clickAt(const std::string& window, int x, int y) const {
        std::istringstream shell(screen().xdotool({"getwindowgeometry", "--shell", window}));
        int width = 0, height = 0;
        for (std::string line; std::getline(shell, line);) {
            if (line.rfind("WIDTH=", 0) == 0) {
                width = std::stoi(line.substr(6));
            } else if (line.rfind("HEIGHT=", 0) == 0) {
                height = std::stoi(line.substr(7));
            }
        }
        screen().xdotool({"mousemove", "--window", window, std::to_string(width * x / 1000),
                          std::to_string(height * y / 1000), "click", "1"});
    }

    // Acknowledges the message that follows the window `previous`.
    void acknowledgeMessage(const std::string& previous) const {
        const std::string message = waitForWindow("", previous);
        ASSERT_FALSE(message.empty()) << "no message followed";
        pressKey(message, "Return");
    }

  private:
    static inline std::string missing_;
    static inline std::unique_ptr<e2e::VirtualDisplay> screen_;
};

struct Answer {
    const char* name;
    const char* key; // nullptr: a click on the button "Ja"
    bool copies;
};

void PrintTo(const Answer& answer, std::ostream* os) {
    *os << answer.name;
}

class ConfirmationWindow : public DesktopDialogs, public testing::WithParamInterface<Answer> {};

TEST_P(ConfirmationWindow, ShowsTheJobInItsTitleAndTakesTheAnswer) {
    const Answer& answer = GetParam();
    const pid_t program = startFromLauncher();
    ASSERT_GT(program, 0);

    const std::string window = waitForWindow("Datensicherung von ");
    if (window.empty()) {
        const std::string windows = screen().xdotool({"search", "--name", "."}) + " / visible: " +
                                    screen().xdotool({"search", "--onlyvisible", "--name", "."});
        const e2e::RunResult result = finish(program, 1);
        FAIL() << "no confirmation window; windows: " << windows << "; exit " << result.exitCode
               << "\n"
               << result.out << result.err;
    }
    // The title's line end is shown as a blank.
    EXPECT_EQ(screen().xdotool({"getwindowname", window}),
              "Datensicherung von quelle\\*.*  nach ziel\\" + e2e::monthFolderToday());
    if (answer.key != nullptr) {
        pressKey(window, answer.key);
    } else {
        // The buttons fill the bottom of the window, Ja the left third.
        clickAt(window, 170, 950);
    }
    acknowledgeMessage(window);
    const e2e::RunResult result = finish(program, 20);

    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    const auto calls = recordedCopyCalls();
    if (answer.copies) {
        ASSERT_EQ(calls.size(), 1u) << result.out;
        EXPECT_EQ(calls[0], (std::vector<std::string>{"quelle", "ziel\\" + e2e::monthFolderToday(),
                                                      "*.*", "/E"}));
    } else {
        EXPECT_TRUE(calls.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, ConfirmationWindow,
                         testing::Values(Answer{"letterJ", "j", true},
                                         Answer{"clickOnJa", nullptr, true},
                                         Answer{"letterN", "n", false},
                                         Answer{"escape", "Escape", false},
                                         Answer{"enterPicksTheDefaultAbbrechen", "Return", false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct LogCase {
    const char* name;
    bool logFolderFree; // false: every log file name is taken by a folder
    const char* report;
};

void PrintTo(const LogCase& c, std::ostream* os) {
    *os << c.name;
}

class ErrorEnd : public DesktopDialogs, public testing::WithParamInterface<LogCase> {};

// The error dialog: a job text without line ends is an argument error; its window bears
// the program's name and the handler's options as buttons. Asked to end with the log, the
// program reports where the log went (or that none could be written) in a last window,
// since the console it writes that report to is seen by nobody.
TEST_P(ErrorEnd, EndsWithTheLogAndAWindowReportingIt) {
    const LogCase& c = GetParam();
    const std::string missing = e2e::markedTextReaderMissing();
    if (!missing.empty()) {
        GTEST_SKIP() << missing;
    }
    writeFile("datensicherung.txt", "quelle");
    if (!c.logFolderFree) {
        fs::create_directory(path("TVRERROR.LOG"));
        for (int n = 1; n <= 999; ++n) {
            std::string number = std::to_string(n);
            fs::create_directory(path("TVRERROR." + std::string(3 - number.size(), '0') + number));
        }
    }
    const pid_t program = startFromLauncher();
    ASSERT_GT(program, 0);
    const std::string window = waitForWindow("datensicherung");
    if (window.empty()) {
        finish(program, 1);
        FAIL() << "no error dialog";
    }
    // "Abbrechen" has the focus; Tab goes on to "Ende mit LOG-Datei".
    pressKey(window, "Tab");
    pressKey(window, "Return");

    const std::string report = waitForWindow("datensicherung", window);
    if (report.empty()) {
        finish(program, 1);
        FAIL() << "no window reported the log";
    }
    EXPECT_EQ(screen().xdotool({"getwindowname", report}), "datensicherung");
    // The focus goes back from "OK" to the text, which marks it whole.
    pressKey(report, "shift+Tab");
    std::string shown;
    for (int attempt = 0; attempt < 50 && shown.empty(); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        shown = screen().markedText();
    }
    EXPECT_NE(shown.find(c.report), std::string::npos) << shown;
    pressKey(report, "Escape");

    const e2e::RunResult result = finish(program, 20);
    EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
    // The console still has the report too.
    EXPECT_NE(result.out.find(c.report), std::string::npos) << result.out;
    EXPECT_EQ(fs::is_regular_file(path("TVRERROR.LOG")), c.logFolderFree);
    EXPECT_TRUE(recordedCopyCalls().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Logs, ErrorEnd,
    testing::Values(
        LogCase{"logWritten", true, "Fehlerprotokoll wurde in die Datei TVRERROR.LOG geschrieben"},
        LogCase{"noLogPossible", false, "Datei für Fehlerprotokoll kann nicht geöffnet werden"}),
    [](const auto& info) { return std::string(info.param.name); });

// Answers that come through a pipe or a file keep the text protocol, display or not.
TEST_F(DesktopDialogs, PipedAnswersStayOnTheTerminal) {
    const e2e::RunResult result = run("j\n\n", {"DISPLAY=" + screen().name()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("[J]a / [N]ein / [A]bbrechen"), std::string::npos) << result.out;
    EXPECT_EQ(recordedCopyCalls().size(), 1u);
}

} // namespace
