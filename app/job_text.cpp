#include "app/job_text.hpp"

#include "common/windows_command_line.hpp"
#include "runtime/text.hpp"

#include <algorithm>

using namespace rt;

namespace {

struct SplitText {
    std::array<Value, 4> lines; // four lines without values
    int ended = 0;              // lines ended by a line end
};

SplitText split(const std::string& cText) {
    SplitText result;
    const std::string CRLF = CHR(13) + CHR(10);
    std::string separator;
    if (AT(CRLF, cText) > 0) {
        separator = CRLF;
    } else if (AT(CHR(13), cText) > 0) {
        separator = CHR(13);
    } else if (AT(CHR(10), cText) > 0) {
        separator = CHR(10);
    } else {
        return result;
    }
    int start = 1;
    bool rest = false;
    for (auto& line : result.lines) {
        if (rest) {
            line = "";
            continue;
        }
        const int e = AT(separator, cText, start);
        if (e == 0) {
            line = SUBSTR(cText, start);
            rest = true;
            continue;
        }
        line = SUBSTR(cText, start, e - start);
        start = e + LEN(separator);
        ++result.ended;
    }
    return result;
}

// A control character other than the tab and the line ends (which lineEndInLines sees).
bool isControlCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t' && c != '\r' && c != '\n') || byte == 0x7F;
}

// Blanks and tabs separate words for the command interpreter and by the Windows
// command-line rules alike.
bool holdsBlank(const std::string& text) {
    return text.find_first_of(" \t") != std::string::npos;
}

std::string interpreterCommand(const std::string& verb, const std::string& path) {
    const bool risky = holdsBlank(path) || path.find_first_of("&|<>^()") != std::string::npos;
    const bool quoted = path.find('"') != std::string::npos;
    if (risky && !quoted) {
        return "/C " + verb + " \"" + path + "\"";
    }
    return "/C " + verb + " " + path;
}

} // namespace

std::array<Value, 4> jobLines(const std::string& cText) {
    return split(cText).lines;
}

int endedLines(const std::string& cText) {
    return split(cText).ended;
}

bool lineEndInLines(const std::array<Value, 4>& lines) {
    for (const auto& line : lines) {
        if (line.isText() && line.text().find_first_of("\r\n") != std::string::npos) {
            return true;
        }
    }
    return false;
}

bool controlCharacterInLines(const std::array<Value, 4>& lines) {
    for (const auto& line : lines) {
        if (line.isText() &&
            std::any_of(line.text().begin(), line.text().end(), isControlCharacter)) {
            return true;
        }
    }
    return false;
}

std::string shownLine(const Value& line) {
    std::string shown = line.isText() ? line.text() : std::string();
    for (char& c : shown) {
        if (isControlCharacter(c)) {
            c = '?';
        }
    }
    return shown;
}

std::string folderCommand(const std::string& path) {
    return interpreterCommand("MD", path);
}

std::string removeFolderCommand(const std::string& path) {
    return interpreterCommand("RD", path);
}

std::string copyArgument(const std::string& folder) {
    if (holdsBlank(folder) && folder.find('"') == std::string::npos) {
        return wincmd::quote(folder);
    }
    return folder;
}

std::string copyParameters(const std::string& source, const std::string& target,
                           const std::string& files, const std::string& arguments) {
    return copyArgument(source) + " " + copyArgument(target) + " " + files + " " + arguments;
}
