// The runtime's operating-system layer on Linux and other POSIX systems: dialogs on
// the terminal (or as desktop windows when there is no terminal to answer on), files with "\"
// accepted as a folder separator, programs started directly (looked up as Windows does) and the
// folder command done in-process.
#pragma once

#include "runtime/platform.hpp"
#include "runtime/posix/cursor_tracker.hpp"
#include "runtime/posix/desktop_dialogs.hpp"
#include "runtime/posix/terminal_dialogs.hpp"
#include "runtime/posix/unseen_output.hpp"

#include <iosfwd>
#include <memory>

namespace rt::posix {

class PosixPlatform : public Platform {
  public:
    // On the process's standard input, output and error. When standard input is not a
    // terminal, the dialogs write each answer they read after their prompt. When it can
    // give no answers at all (not a terminal, pipe or file) and a graphical session is
    // there, the dialogs are desktop windows, and what the console and standard error
    // channels write where no terminal shows it is shown in a window at the end of the run.
    PosixPlatform();
    // Dialogs and console output on these streams instead (for tests); programs that
    // are started still inherit the process's own ones.
    PosixPlatform(std::istream& in, std::ostream& out, std::ostream& err);

    LocalTime now() override;
    bool ctrlHeld() override;

    std::string executablePath() override;
    std::string startedName() override;
    int appType() override;
    DesktopSize desktopSize() override;

    void messageBox(const std::string& text) override;
    int confirmBox(bool ownedByDesktop, const std::string& text, const std::string& title,
                   int buttons, int style) override;
    int alert(const std::string& text, const std::vector<std::string>& options,
              bool* noAnswerPossible) override;
    void tone(int frequency, int duration) override;

    void consoleWrite(const std::string& text) override;
    void stdErrWrite(const std::string& text) override;
    int cursorRow() override;
    int cursorCol() override;
    void setCursor(int row, int col) override;
    void endOutput() override;

    bool folderExists(const std::string& path) override;
    bool fileExists(const std::string& path) override;
    OpenResult openRead(const std::string& path, int mode) override;
    OpenResult createWrite(const std::string& path) override;
    long read(int handle, char* buffer, long count, int* osCode) override;
    long write(int handle, const char* data, long count, int* osCode) override;
    bool close(int handle) override;

    int run(const std::string& program, const std::string& parameters, bool wait) override;

    std::string osErrorMessage(int osCode) override;
    std::string osName() override;

  private:
    // The dialogs in use: desktop windows when wanted and GTK can show them (decided at
    // the first dialog), otherwise the terminal, on a line of their own.
    DialogHost& dialogs();
    // The desktop windows when wanted and GTK can show them, otherwise nullptr.
    DesktopDialogs* desktop();

    std::ostream& out_;
    std::ostream& err_;
    TerminalDialogs terminal_;
    bool desktopWanted_ = false;
    std::unique_ptr<DesktopDialogs> desktop_;
    // Kept for the desktop: console and standard error output that no terminal shows.
    bool keepConsole_ = false;
    bool keepStdErr_ = false;
    UnseenOutput unseen_;
    // The console's last output did not end with a line end.
    bool lineOpen_ = false;
    CursorTracker cursor_;
};

} // namespace rt::posix
