#include "runtime/posix/posix_platform.hpp"

#include "runtime/posix/command_interpreter.hpp"
#include "runtime/posix/files.hpp"
#include "runtime/posix/os_errors.hpp"
#include "runtime/posix/process_start.hpp"
#include "runtime/posix/program_lookup.hpp"
#include "runtime/posix/system_info.hpp"
#include "runtime/posix/x_display.hpp"
#include "windows_command_line.hpp"

#include <filesystem>
#include <iostream>

namespace rt {

std::shared_ptr<Platform> makeNativePlatform() {
    return std::make_shared<posix::PosixPlatform>();
}

} // namespace rt

namespace rt::posix {

// Answers that do not come from the terminal (a pipe or a file) are not echoed by it,
// so the dialogs write them out themselves.
// Standard input is looked at once, at the start: a closed one could later be taken by a
// file the program opens.
PosixPlatform::PosixPlatform()
    : out_(std::cout), err_(std::cerr), terminal_(std::cin, std::cout, !standardInputIsTerminal()),
      desktopWanted_(!standardInputCanAnswer() && graphicalSessionNamed()),
      keepConsole_(desktopWanted_ && !standardOutputIsTerminal()),
      keepStdErr_(desktopWanted_ && !standardErrorIsTerminal()) {}

PosixPlatform::PosixPlatform(std::istream& in, std::ostream& out, std::ostream& err)
    : out_(out), err_(err), terminal_(in, out) {}

DesktopDialogs* PosixPlatform::desktop() {
    if (desktopWanted_) {
        desktopWanted_ = false;
        // ALERT's window bears the program's name, as on Windows; so does the window of
        // console output at the end.
        desktop_ = openDesktopDialogs(std::filesystem::path(executablePath()).stem().string());
    }
    return desktop_.get();
}

DialogHost& PosixPlatform::dialogs() {
    if (DesktopDialogs* windows = desktop()) {
        return *windows;
    }
    // A dialog that follows other console output starts on a line of its own; the
    // terminal dialogs end their own last line.
    if (lineOpen_) {
        out_ << '\n';
        lineOpen_ = false;
    }
    return terminal_;
}

LocalTime PosixPlatform::now() {
    return localNow();
}

bool PosixPlatform::ctrlHeld() {
    return ctrlHeldOnDisplay(displayName());
}

std::string PosixPlatform::executablePath() {
    return ownExecutablePath();
}

// A link to the program (arbeit -> datensicherung) names its own job file; the copy
// program is still looked for beside the program file (executablePath).
std::string PosixPlatform::startedName() {
    const std::string name = startedProgramName();
    return name.empty() ? Platform::startedName() : name;
}

int PosixPlatform::appType() {
    return 2;
}

DesktopSize PosixPlatform::desktopSize() {
    if (const auto size = screenSizeOfDisplay(displayName())) {
        return DesktopSize{static_cast<double>(size->width), static_cast<double>(size->height)};
    }
    // Without a display: the classic text screen of 80 x 25 cells of 8 x 16 pixels.
    return DesktopSize{640, 400};
}

void PosixPlatform::messageBox(const std::string& text) {
    dialogs().messageBox(text);
}

int PosixPlatform::confirmBox(bool /*ownedByDesktop*/, const std::string& text,
                              const std::string& title, int buttons, int style) {
    return dialogs().confirmBox(text, title, buttons, style);
}

int PosixPlatform::alert(const std::string& text, const std::vector<std::string>& options,
                         bool* noAnswerPossible) {
    return dialogs().alert(text, options, noAnswerPossible);
}

void PosixPlatform::tone(int /*frequency*/, int /*duration*/) {
    // A terminal has one sound of its own, the bell; pitch and length cannot be
    // chosen. Where the output is not a terminal nothing is written.
    if (&out_ == &std::cout && standardOutputIsTerminal()) {
        out_ << '\a' << std::flush;
    }
}

void PosixPlatform::consoleWrite(const std::string& text) {
    if (keepConsole_) {
        unseen_.add(text);
    }
    out_ << text << std::flush;
    cursor_.advance(text);
    if (!text.empty()) {
        lineOpen_ = text.back() != '\n';
    }
}

void PosixPlatform::stdErrWrite(const std::string& text) {
    if (keepStdErr_) {
        unseen_.add(text);
    }
    err_ << text << std::flush;
}

int PosixPlatform::cursorRow() {
    return cursor_.row();
}

int PosixPlatform::cursorCol() {
    return cursor_.col();
}

void PosixPlatform::setCursor(int row, int col) {
    cursor_.moveTo(row, col);
}

void PosixPlatform::endOutput() {
    if (lineOpen_) {
        out_ << '\n' << std::flush;
        lineOpen_ = false;
    }
    // Started from the desktop: what the program wrote where nobody sees it (the error
    // log's report, a message on standard error) is shown before the program ends.
    const std::string text = unseen_.text();
    unseen_.clear();
    if (!text.empty()) {
        if (DesktopDialogs* windows = desktop()) {
            windows->showText(text);
        }
    }
}

bool PosixPlatform::folderExists(const std::string& path) {
    return isFolder(path);
}

bool PosixPlatform::fileExists(const std::string& path) {
    return isFile(path);
}

OpenResult PosixPlatform::openRead(const std::string& path, int mode) {
    return openForReading(path, mode);
}

OpenResult PosixPlatform::createWrite(const std::string& path) {
    return createForWriting(path);
}

long PosixPlatform::read(int handle, char* buffer, long count, int* osCode) {
    return readFrom(handle, buffer, count, osCode);
}

long PosixPlatform::write(int handle, const char* data, long count, int* osCode) {
    return writeTo(handle, data, count, osCode);
}

bool PosixPlatform::close(int handle) {
    return closeHandle(handle);
}

int PosixPlatform::run(const std::string& program, const std::string& parameters, bool wait) {
    out_.flush();
    err_.flush();
    if (program.empty()) {
        const int result = runCommandInterpreter(parameters, err_);
        // Not waiting gives 0 once the command has started, as for a program.
        return wait ? result : 0;
    }
    const auto path = findProgram(program, currentSearch(executablePath()));
    if (!path) {
        return -1;
    }
    return startProgram(*path, wincmd::split(parameters), wait);
}

std::string PosixPlatform::osErrorMessage(int osCode) {
    return windowsErrorText(osCode);
}

std::string PosixPlatform::osName() {
    return systemName();
}

} // namespace rt::posix
