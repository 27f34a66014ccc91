#include "runtime/win32/text_screen.hpp"

#include <algorithm>

namespace rt::win32 {

TextScreen::TextScreen(int rows, int columns) : rows_(1), columns_(1) {
    resize(rows, columns);
}

void TextScreen::resize(int rows, int columns) {
    rows_ = std::max(rows, 1);
    columns_ = std::max(columns, 1);
    lines_.resize(static_cast<std::size_t>(rows_));
    for (auto& l : lines_) {
        l.resize(static_cast<std::size_t>(columns_), L' ');
    }
    moveTo(row_, col_);
}

void TextScreen::moveTo(int row, int col) {
    row_ = std::clamp(row, 0, rows_ - 1);
    col_ = std::clamp(col, 0, columns_ - 1);
}

void TextScreen::newLine() {
    col_ = 0;
    if (row_ + 1 < rows_) {
        ++row_;
        return;
    }
    lines_.erase(lines_.begin());
    lines_.emplace_back(static_cast<std::size_t>(columns_), L' ');
}

void TextScreen::write(std::wstring_view text) {
    for (const wchar_t c : text) {
        switch (c) {
        case L'\n':
            newLine();
            break;
        case L'\r':
            col_ = 0;
            break;
        case L'\t':
            col_ = std::min((col_ / 8 + 1) * 8, columns_ - 1);
            break;
        case L'\b':
            col_ = std::max(col_ - 1, 0);
            break;
        default:
            if (c < L' ' || c == 0x7F) {
                break;
            }
            lines_[static_cast<std::size_t>(row_)][static_cast<std::size_t>(col_)] = c;
            if (++col_ >= columns_) {
                newLine();
            }
        }
    }
}

} // namespace rt::win32
