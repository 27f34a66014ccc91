#include "runtime/memo.hpp"

namespace rt {

namespace {

// The length of the UTF-8 sequence starting at text[i]; 1 for a byte that does not
// start a well-formed sequence.
std::size_t sequenceLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    }
    if (i + length > text.size()) {
        return 1;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if (next < 0x80 || next > 0xBF) {
            return 1;
        }
    }
    return length;
}

// Builds the lines of one paragraph (a stretch of text without line ends), one
// character at a time.
class LineBuilder {
  public:
    LineBuilder(std::vector<std::string>& lines, std::size_t width, std::size_t tabWidth,
                bool wordWrap)
        : lines_(lines), width_(width), tabWidth_(tabWidth), wordWrap_(wordWrap) {}

    void add(std::string_view character) {
        if (character == "\t") {
            const std::size_t blanks = tabWidth_ - line_.size() % tabWidth_;
            for (std::size_t k = 0; k < blanks; ++k) {
                put(" ");
            }
            return;
        }
        put(character);
    }

    // The paragraph's last line; an empty paragraph is one empty line.
    void finish() {
        if (!line_.empty() || !producedLine_) {
            emit(line_.begin(), line_.end());
        }
    }

  private:
    using Chars = std::vector<std::string>;

    void put(std::string_view character) {
        const bool blank = character == " ";
        if (skipBlanks_ && blank) {
            return;
        }
        skipBlanks_ = false;
        if (line_.size() < width_) {
            line_.emplace_back(character);
            return;
        }
        if (!wordWrap_) {
            emit(line_.begin(), line_.end());
            line_.assign(1, std::string(character));
            return;
        }
        if (blank) {
            emit(line_.begin(), line_.end());
            line_.clear();
            skipBlanks_ = true;
            return;
        }
        const std::size_t breakAt = lastBreak();
        if (breakAt == 0) {
            // No blank after a word: the word is cut at the width.
            emit(line_.begin(), line_.end());
            line_.assign(1, std::string(character));
            return;
        }
        emit(line_.begin(), line_.begin() + static_cast<long>(breakAt));
        auto restStart = line_.begin() + static_cast<long>(breakAt);
        while (restStart != line_.end() && *restStart == " ") {
            ++restStart;
        }
        Chars rest(restStart, line_.end());
        rest.emplace_back(character);
        line_ = std::move(rest);
    }

    // The position of the last blank that has a word before it; 0 when there is none.
    std::size_t lastBreak() const {
        std::size_t firstWord = 0;
        while (firstWord < line_.size() && line_[firstWord] == " ") {
            ++firstWord;
        }
        for (std::size_t i = line_.size(); i-- > firstWord + 1;) {
            if (line_[i] == " ") {
                return i;
            }
        }
        return 0;
    }

    void emit(Chars::const_iterator begin, Chars::const_iterator end) {
        while (end != begin && *(end - 1) == " ") {
            --end;
        }
        std::string text;
        for (auto it = begin; it != end; ++it) {
            text += *it;
        }
        lines_.push_back(std::move(text));
        producedLine_ = true;
    }

    std::vector<std::string>& lines_;
    std::size_t width_;
    std::size_t tabWidth_;
    bool wordWrap_;
    Chars line_;
    bool skipBlanks_ = false;
    bool producedLine_ = false;
};

int tabWidthOf(const Value& tabWidth) {
    if (tabWidth.isNumber() && tabWidth.number() >= 1 && tabWidth.number() <= 1000) {
        return static_cast<int>(tabWidth.number());
    }
    return MEMO_DEFAULT_TAB;
}

} // namespace

std::vector<std::string> wrapLines(std::string_view text, int width, int tabWidth, bool wordWrap) {
    std::vector<std::string> lines;
    const auto w = static_cast<std::size_t>(width >= 1 ? width : MEMO_DEFAULT_WIDTH);
    const auto tab = static_cast<std::size_t>(tabWidth >= 1 ? tabWidth : MEMO_DEFAULT_TAB);
    std::size_t i = 0;
    while (i < text.size()) {
        LineBuilder paragraph(lines, w, tab, wordWrap);
        while (i < text.size() && text[i] != '\r' && text[i] != '\n') {
            const std::size_t length = sequenceLength(text, i);
            paragraph.add(text.substr(i, length));
            i += length;
        }
        paragraph.finish();
        if (i < text.size()) {
            i += text.compare(i, 2, "\r\n") == 0 ? 2 : 1;
        }
    }
    return lines;
}

int MLCOUNT(const Value& text, int width, const Value& tabWidth, bool wordWrap) {
    if (!text.isText()) {
        return 0;
    }
    return static_cast<int>(wrapLines(text.text(), width, tabWidthOf(tabWidth), wordWrap).size());
}

std::string MEMOLINE(const Value& text, int width, int line, const Value& tabWidth, bool wordWrap) {
    if (!text.isText() || line < 1) {
        return "";
    }
    const auto lines = wrapLines(text.text(), width, tabWidthOf(tabWidth), wordWrap);
    return static_cast<std::size_t>(line) <= lines.size()
               ? lines[static_cast<std::size_t>(line - 1)]
               : std::string();
}

} // namespace rt
