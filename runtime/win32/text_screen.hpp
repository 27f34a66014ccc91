// The text of a console screen: rows of character cells and a cursor, as the console
// output writes them. No Windows calls: the console window draws what it holds.
//
// Writing: a line feed moves to the start of the next row, a carriage return to the start
// of the row, a tab to the next multiple of 8, a backspace one column back, a bell and
// the other control characters do nothing; any other character fills the cell under the
// cursor and moves it on, to the next row after the last column. Below the last row the
// screen scrolls up by one row.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rt::win32 {

class TextScreen {
  public:
    TextScreen(int rows = 25, int columns = 80);

    // A new size; what fits stays, the cursor is kept within the screen.
    void resize(int rows, int columns);
    void write(std::wstring_view text);
    void moveTo(int row, int col);

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    int row() const { return row_; }
    int col() const { return col_; }
    // The row's cells, blanks where nothing was written.
    const std::wstring& line(int row) const { return lines_.at(static_cast<std::size_t>(row)); }

  private:
    void newLine();

    int rows_;
    int columns_;
    int row_ = 0;
    int col_ = 0;
    std::vector<std::wstring> lines_;
};

} // namespace rt::win32
