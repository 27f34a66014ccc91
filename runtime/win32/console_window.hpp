// The graphical console window: a desktop window showing a text screen of rows and
// columns in character cells of a fixed size, drawn in a fixed-pitch font.
//
// The window is made once and stays until the program ends; closing it with the close
// box is not offered while the program runs (the program ends by itself when its jobs are
// done). It is repainted whenever text is written to it and whenever Windows asks, which
// happens in the program's modal dialogs and while it waits for a program it started.
//
// Position and cell size are given in the program's pixels (a screen at 100 %); the window
// scales them to its monitor's DPI, so its text is drawn sharp at every scaling, and
// scales again when it is moved to a monitor of another DPI. It keeps its rows and columns.
#pragma once

#include "runtime/win32/text_screen.hpp"

#include "runtime/win32/windows_api.hpp"

#include <string>

namespace rt::win32 {

struct ConsoleWindowLayout {
    int x = 0; // the window's top-left corner on the desktop
    int y = 0;
    int rows = 25;
    int columns = 80;
    int cellWidth = 8;
    int cellHeight = 16;
    std::string title;
    std::string fontName; // used when installed, else a fixed-pitch font of the cell size
};

class ConsoleWindow {
  public:
    ConsoleWindow() = default;
    ConsoleWindow(const ConsoleWindow&) = delete;
    ConsoleWindow& operator=(const ConsoleWindow&) = delete;
    ~ConsoleWindow();

    // Makes and shows the window; false when Windows refused. A second call makes a new
    // window in place of the first.
    bool create(const ConsoleWindowLayout& layout);
    HWND handle() const { return window_; }
    // The DPI the window is laid out for, and its cell size in pixels of that DPI.
    UINT dpi() const { return dpi_; }
    int cellWidth() const { return cellWidth_; }
    int cellHeight() const { return cellHeight_; }
    // The font the window draws with, and its face name.
    HFONT font() const { return font_; }
    const std::wstring& fontFace() const { return face_; }

    TextScreen& screen() { return screen_; }
    // Writes to the screen and repaints at once.
    void write(std::wstring_view text);

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void destroy();
    // Cells and font for the DPI; the window's frame to fit them, its top-left corner at
    // `at` when given.
    void scaleTo(UINT dpi, const POINT* at);

    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    std::wstring wantedFace_;
    std::wstring face_;
    int programCellWidth_ = 8;
    int programCellHeight_ = 16;
    UINT dpi_ = 96;
    int cellWidth_ = 8;
    int cellHeight_ = 16;
    TextScreen screen_;
};

// True when a font of this face name is installed.
bool fontInstalled(const std::wstring& face);

} // namespace rt::win32
