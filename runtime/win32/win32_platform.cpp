#include "runtime/win32/win32_platform.hpp"

#include "runtime/encoding.hpp"
#include "runtime/win32/dialogs.hpp"
#include "runtime/win32/files.hpp"
#include "runtime/win32/os_errors.hpp"
#include "runtime/win32/process_start.hpp"
#include "runtime/win32/system_info.hpp"
#include "runtime/win32/wide_text.hpp"

#include <cmath>

namespace rt {

std::shared_ptr<Platform> makeNativePlatform() {
    return std::make_shared<win32::Win32Platform>();
}

} // namespace rt

namespace rt::win32 {

namespace {

// The program's name without folder and extension, the title of its ALERT dialogs.
std::string programTitle(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

} // namespace

LocalTime Win32Platform::now() {
    return localNow();
}

bool Win32Platform::ctrlHeld() {
    return ctrlKeyHeld();
}

std::string Win32Platform::executablePath() {
    return ownExecutablePath();
}

int Win32Platform::appType() {
    return 3;
}

DesktopSize Win32Platform::desktopSize() {
    return desktopWindowSize();
}

HWND Win32Platform::dialogOwner() {
    const ConsoleWindow* window = consoleWindow();
    return window != nullptr ? window->handle() : nullptr;
}

void Win32Platform::messageBox(const std::string& text) {
    // No title: the box shows an empty title bar rather than Windows' "Error".
    win32::messageBox(dialogOwner(), text, "", MB_OK | MB_SETFOREGROUND);
}

int Win32Platform::confirmBox(bool ownedByDesktop, const std::string& text,
                              const std::string& title, int buttons, int style) {
    const HWND owner = ownedByDesktop ? ::GetDesktopWindow() : nullptr;
    return win32::messageBox(owner, text, title, static_cast<UINT>(buttons | style));
}

int Win32Platform::alert(const std::string& text, const std::vector<std::string>& options,
                         bool* noAnswerPossible) {
    const int choice = alertDialog(dialogOwner(), programTitle(executablePath()), text, options);
    if (choice < 0) {
        // The dialog could not be shown at all: asking again cannot help.
        if (noAnswerPossible != nullptr) {
            *noAnswerPossible = true;
        }
        return 0;
    }
    return choice;
}

void Win32Platform::tone(int frequency, int duration) {
    beep(frequency, duration);
}

void Win32Platform::consoleWrite(const std::string& text) {
    // Without the console window the text only moves the cursor: a program of the
    // graphical subsystem has no console to show it.
    console_->write(wide(text));
}

void Win32Platform::stdErrWrite(const std::string& text) {
    writeStandardError(text);
}

int Win32Platform::cursorRow() {
    return console_->screen().row();
}

int Win32Platform::cursorCol() {
    return console_->screen().col();
}

void Win32Platform::setCursor(int row, int col) {
    console_->screen().moveTo(row, col);
}

bool Win32Platform::folderExists(const std::string& path) {
    return isFolder(path);
}

bool Win32Platform::fileExists(const std::string& path) {
    return isFile(path);
}

OpenResult Win32Platform::openRead(const std::string& path, int mode) {
    return openForReading(path, mode);
}

OpenResult Win32Platform::createWrite(const std::string& path) {
    return createForWriting(path);
}

long Win32Platform::read(int handle, char* buffer, long count, int* osCode) {
    return readFrom(handle, buffer, count, osCode);
}

long Win32Platform::write(int handle, const char* data, long count, int* osCode) {
    return writeTo(handle, data, count, osCode);
}

bool Win32Platform::close(int handle) {
    return closeHandle(handle);
}

int Win32Platform::run(const std::string& program, const std::string& parameters, bool wait) {
    return startProgram(program, parameters, wait);
}

std::string Win32Platform::osErrorMessage(int osCode) {
    return windowsErrorText(osCode);
}

std::string Win32Platform::osName() {
    return systemName();
}

std::string Win32Platform::textFromFile(std::string bytes) {
    return utf8FromFileText(bytes);
}

bool Win32Platform::createGraphicalConsole(const GraphicalConsoleLayout& layout) {
    ConsoleWindowLayout window;
    window.x = static_cast<int>(std::lround(layout.x));
    window.y = static_cast<int>(std::lround(layout.y));
    window.rows = layout.rows;
    window.columns = layout.columns;
    window.cellWidth = layout.fontWidth > 0 ? layout.fontWidth : 8;
    window.cellHeight = layout.fontHeight > 0 ? layout.fontHeight : 16;
    window.title = layout.title;
    window.fontName = layout.fontName;
    return console_->create(window);
}

} // namespace rt::win32
