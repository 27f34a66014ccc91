// The runtime's operating-system layer on Windows: a program of the graphical subsystem
// (application type 3) with message boxes and dialogs, files through CreateFileW,
// programs started with CreateProcessW, and the graphical console window. Texts are UTF-8
// in the runtime and UTF-16 at every Windows call.
#pragma once

#include "runtime/console_windows.hpp"
#include "runtime/platform.hpp"
#include "runtime/win32/console_window.hpp"

#include <memory>

namespace rt::win32 {

class Win32Platform : public Platform, public GraphicalConsoleHost {
  public:
    LocalTime now() override;
    bool ctrlHeld() override;

    std::string executablePath() override;
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
    std::string textFromFile(std::string bytes) override;

    // The graphical console window: at the position given (fractions rounded), the cell
    // size given (8 by 16 when none), titled, in the named font when it is installed.
    // Console output goes into it from then on.
    bool createGraphicalConsole(const GraphicalConsoleLayout& layout) override;

    // The graphical console window, once made; nullptr before.
    ConsoleWindow* consoleWindow() {
        return console_ && console_->handle() ? console_.get() : nullptr;
    }

  protected:
    // The window that owns the program's dialogs: the console window when there is one.
    HWND dialogOwner();

    std::unique_ptr<ConsoleWindow> console_ = std::make_unique<ConsoleWindow>();
};

} // namespace rt::win32
