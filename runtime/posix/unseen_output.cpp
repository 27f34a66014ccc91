#include "runtime/posix/unseen_output.hpp"

#include <algorithm>
#include <vector>

namespace rt::posix {

namespace {

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// The text's lines: CR LF, LF CR and a lone CR or LF each end one.
std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!isLineEnd(c)) {
            lines.back().push_back(c);
            continue;
        }
        if (i + 1 < text.size() && isLineEnd(text[i + 1]) && text[i + 1] != c) {
            ++i;
        }
        lines.emplace_back();
    }
    return lines;
}

bool isBlank(const std::string& line) {
    return line.find_first_not_of(' ') == std::string::npos;
}

// The last maxBytes bytes of a line, starting on a whole UTF-8 character.
std::string endOf(const std::string& line, std::size_t maxBytes) {
    std::size_t start = line.size() - maxBytes;
    while (start < line.size() && (static_cast<unsigned char>(line[start]) & 0xC0) == 0x80) {
        ++start;
    }
    return line.substr(start);
}

} // namespace

UnseenOutput::UnseenOutput(std::size_t maxLines, std::size_t maxBytes)
    : maxLines_(std::max<std::size_t>(maxLines, 1)), maxBytes_(std::max<std::size_t>(maxBytes, 1)) {
}

void UnseenOutput::add(std::string_view text) {
    kept_.append(text);
    // Line ends count twice as bytes (CR LF) as they do once shown, so twice the bound is
    // kept; dropped in large steps, so that a long run copies little.
    if (kept_.size() > 4 * maxBytes_) {
        kept_.erase(0, kept_.size() - 2 * maxBytes_);
        dropped_ = true;
    }
}

void UnseenOutput::clear() {
    kept_.clear();
    dropped_ = false;
}

std::string UnseenOutput::text() const {
    std::vector<std::string> lines = linesOf(kept_);
    bool leftOut = dropped_;
    if (dropped_) {
        lines.erase(lines.begin()); // it may have lost its start
    }
    const auto first = std::find_if_not(lines.begin(), lines.end(), isBlank);
    if (first == lines.end()) {
        return {};
    }
    const auto last = std::find_if_not(lines.rbegin(), lines.rend(), isBlank).base();

    // From the last line back, as many as the bounds allow; each line counts with its
    // line end.
    std::vector<std::string> shown;
    std::size_t bytes = 0;
    for (auto line = last; line != first && shown.size() < maxLines_;) {
        --line;
        if (shown.empty() && line->size() > maxBytes_) {
            shown.push_back(endOf(*line, maxBytes_));
            leftOut = true;
            break;
        }
        if (bytes + line->size() > maxBytes_) {
            break;
        }
        bytes += line->size() + 1;
        shown.push_back(*line);
    }
    leftOut = leftOut || shown.size() < static_cast<std::size_t>(last - first);

    if (leftOut) {
        shown.push_back("…");
    }
    std::string text;
    for (auto line = shown.rbegin(); line != shown.rend(); ++line) {
        text += *line;
        if (line + 1 != shown.rend()) {
            text += '\n';
        }
    }
    return text;
}

} // namespace rt::posix
