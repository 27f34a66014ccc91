// A platform for tests: a fixed date and Ctrl key, dialogs answered from a queue and
// recorded, program starts recorded (the interpreter's MD really makes the folders and
// its RD removes an empty one), and the real file system for files and folders.
#pragma once

#include "runtime/console_windows.hpp"
#include "runtime/platform.hpp"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace test {

struct Dialog {
    std::string kind; // "msgbox", "confirm" or "alert"
    std::string text;
    std::string title;
    int buttons = 0;
    int style = 0;
    bool ownedByDesktop = false;
    std::vector<std::string> options;
};

struct ShellCall {
    std::string program; // empty: the command interpreter
    std::string parameters;
    bool wait = true;
};

class ScriptedPlatform : public rt::Platform, public rt::GraphicalConsoleHost {
  public:
    // --- what the test sets ---
    rt::LocalTime clock{{2026, 12, 8}, 10, 30, 0}; // a Tuesday
    bool ctrl = false;
    int applicationType = 2;
    rt::DesktopSize desktop{1024, 768};
    std::string exePath = "/opt/sicherung/datensicherung.exe";
    // Answers for confirmation boxes and alerts, taken in order; when the queue is
    // empty a confirmation gets Cancel (2) and an alert 0 with no answer possible.
    std::deque<int> confirmAnswers;
    std::deque<int> alertAnswers;
    // The exit status of every program start other than the interpreter (-1: could
    // not be started).
    std::function<int(const ShellCall&)> programResult = [](const ShellCall&) { return 0; };
    // Files that another process holds open: an exclusive open of them fails.
    std::vector<std::string> heldElsewhere;
    // Files that cannot be created, by name as the program gives it, with the operating
    // system's code the attempt reports (32 in use, 33 locked, 5 access denied, ...).
    std::map<std::string, int> createFailures;
    // Every file the program tried to create, in order.
    std::vector<std::string> createAttempts;
    // Whether a graphical console window can be shown (as on a desktop).
    bool graphicalConsoleAvailable = true;

    // --- what the test reads ---
    std::vector<Dialog> dialogs;
    std::vector<ShellCall> shellCalls;
    std::string console;
    std::string stdErr;
    std::vector<int> tones;
    std::vector<std::pair<int, int>> toneCalls; // frequency and duration of each tone
    // The graphical console windows shown, in order.
    std::vector<rt::GraphicalConsoleLayout> graphicalConsoles;

    void setDate(int year, int month, int day) { clock.date = {year, month, day}; }
    std::vector<Dialog> dialogsOf(const std::string& kind) const;

    rt::LocalTime now() override { return clock; }
    bool ctrlHeld() override { return ctrl; }
    std::string executablePath() override { return exePath; }
    int appType() override { return applicationType; }
    rt::DesktopSize desktopSize() override { return desktop; }
    void messageBox(const std::string& text) override;
    int confirmBox(bool ownedByDesktop, const std::string& text, const std::string& title,
                   int buttons, int style) override;
    int alert(const std::string& text, const std::vector<std::string>& options,
              bool* noAnswerPossible) override;
    void tone(int frequency, int duration) override {
        tones.push_back(frequency);
        toneCalls.emplace_back(frequency, duration);
    }
    void consoleWrite(const std::string& text) override { console += text; }
    void stdErrWrite(const std::string& text) override { stdErr += text; }
    int cursorRow() override { return row; }
    int cursorCol() override { return col; }
    void setCursor(int r, int c) override {
        row = r;
        col = c;
    }
    bool folderExists(const std::string& path) override;
    bool fileExists(const std::string& path) override;
    rt::OpenResult openRead(const std::string& path, int mode) override;
    rt::OpenResult createWrite(const std::string& path) override;
    long read(int handle, char* buffer, long count, int* osCode) override;
    long write(int handle, const char* data, long count, int* osCode) override;
    bool close(int handle) override;
    int run(const std::string& program, const std::string& parameters, bool wait) override;
    std::string osErrorMessage(int osCode) override {
        return "OS-Fehler " + std::to_string(osCode);
    }
    std::string osName() override { return "TestOS 1.0"; }
    bool createGraphicalConsole(const rt::GraphicalConsoleLayout& layout) override {
        if (graphicalConsoleAvailable) {
            graphicalConsoles.push_back(layout);
        }
        return graphicalConsoleAvailable;
    }

  private:
    int row = 0;
    int col = 0;
};

// "\" turned into "/".
std::string hostPath(const std::string& path);

} // namespace test
