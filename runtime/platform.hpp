// The runtime's operating-system boundary. Everything the runtime needs from the
// operating system goes through this one interface; runtime/posix and runtime/win32
// implement it, and the tests' scripted platform stands in for both.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rt {

struct CalendarDate {
    int year = 0;
    int month = 0; // 1..12
    int day = 0;   // 1..31
};

struct LocalTime {
    CalendarDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

struct DesktopSize {
    double width = 0;
    double height = 0;
};

// Result of a file open: a handle (>= 0) or -1 with the operating system's code.
struct OpenResult {
    int handle = -1;
    int osCode = 0;
};

// Windows message-box codes, used as numbers on every platform.
namespace mb {
inline constexpr int OK = 0, OKCANCEL = 1, ABORTRETRYIGNORE = 2, YESNOCANCEL = 3, YESNO = 4,
                     RETRYCANCEL = 5;
inline constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6,
                     IDNO = 7;
inline constexpr int DEFBUTTON2 = 256, DEFBUTTON3 = 512;
} // namespace mb

class Platform {
  public:
    virtual ~Platform() = default;

    // --- time and keyboard ---
    virtual LocalTime now() = 0;
    // True while the Ctrl key is held down.
    virtual bool ctrlHeld() = 0;

    // --- the program itself ---
    // The executable's full path: the program file itself.
    virtual std::string executablePath() = 0;
    // The executable's file name, without folder, as the program was started. Here the
    // last part of executablePath(); where a program can be started under another name
    // (a link to it), that name.
    virtual std::string startedName();
    // 3 graphical, 2 text console (POSIX), 1 text console.
    virtual int appType() = 0;
    virtual DesktopSize desktopSize() = 0;

    // --- dialogs; texts are in the runtime's encoding ---
    // A modal message with no choice; returns when it is acknowledged.
    virtual void messageBox(const std::string& text) = 0;
    // A Windows-style message box: buttons = button-set code, style = icon + default
    // button + further flags; ownedByDesktop when the desktop window owns it. Returns the
    // result code of the pressed button.
    virtual int confirmBox(bool ownedByDesktop, const std::string& text, const std::string& title,
                           int buttons, int style) = 0;
    // Text with ";" as the line separator, and options. Returns the 1-based choice, or
    // 0 when closed without a choice. *noAnswerPossible is set when no answer can ever come
    // (input ended), so that callers that repeat the question can stop.
    virtual int alert(const std::string& text, const std::vector<std::string>& options,
                      bool* noAnswerPossible) = 0;
    virtual void tone(int frequency, int duration) = 0;

    // --- console output ---
    // Text for the console (the terminal, or the application window where there is one).
    virtual void consoleWrite(const std::string& text) = 0;
    virtual void stdErrWrite(const std::string& text) = 0;
    virtual int cursorRow() = 0;
    virtual int cursorCol() = 0;
    virtual void setCursor(int row, int col) = 0;
    // Called once when the run is over: the console's last line is ended, so that
    // whatever comes after the program starts on a line of its own.
    virtual void endOutput() {}

    // --- files; paths are the program's, with "\" as a folder separator allowed ---
    virtual bool folderExists(const std::string& path) = 0;
    virtual bool fileExists(const std::string& path) = 0;
    // mode 0: read, shared; mode 16: read, no other process may have it open.
    virtual OpenResult openRead(const std::string& path, int mode) = 0;
    // Creates (or truncates) a file for writing.
    virtual OpenResult createWrite(const std::string& path) = 0;
    // Returns the number of bytes read, or -1 with *osCode set.
    virtual long read(int handle, char* buffer, long count, int* osCode) = 0;
    virtual long write(int handle, const char* data, long count, int* osCode) = 0;
    virtual bool close(int handle) = 0;

    // --- programs ---
    // program empty: the command interpreter with the parameters. Otherwise the program,
    // looked up as Windows does when it has no folder, with the parameter text split by the
    // Windows rules. wait: wait for the end and return the exit status; -1 when it could not
    // be started.
    virtual int run(const std::string& program, const std::string& parameters, bool wait) = 0;

    // --- texts about the system ---
    virtual std::string osErrorMessage(int osCode) = 0;
    virtual std::string osName() = 0;
    // The text of a file the program reads (its job file) in the runtime's encoding. Here
    // the bytes are kept as they are but for a leading UTF-8 byte-order mark, which is
    // dropped; Windows, where job files come in a code page or in UTF-8, converts (see
    // runtime/encoding.hpp).
    virtual std::string textFromFile(std::string bytes);
};

// The platform in force. Set once at start-up (the real one) or by a test.
Platform& platform();
void setPlatform(std::shared_ptr<Platform> p);

// The operating system's own platform for this build.
std::shared_ptr<Platform> makeNativePlatform();

} // namespace rt
