// The console's cursor position as far as the program's own console output moved
// it. A terminal does not tell its cursor position cheaply, so the position is
// counted from what was written: row and column start at 0, a line feed moves to
// the start of the next row, a carriage return to the start of the row, a tab to
// the next multiple of 8, a backspace one column back, other control characters
// not at all; every other character (one UTF-8 sequence) is one column. Lines are not wrapped and
// the screen does not scroll.
#pragma once

#include <string_view>

namespace rt::posix {

class CursorTracker {
  public:
    void advance(std::string_view written);
    void moveTo(int row, int col) {
        row_ = row;
        col_ = col;
    }
    int row() const { return row_; }
    int col() const { return col_; }

  private:
    int row_ = 0;
    int col_ = 0;
};

} // namespace rt::posix
