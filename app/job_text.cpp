#include "app/job_text.hpp"

#include "common/windows_command_line.hpp"
#include "runtime/text.hpp"

using namespace rt;

std::array<Value, 4> jobLines(const std::string& cText) {
    std::array<Value, 4> aText; // four lines without values
    const std::string CRLF = CHR(13) + CHR(10);
    std::string separator;
    if (AT(CRLF, cText) > 0) {
        separator = CRLF;
    } else if (AT(CHR(13), cText) > 0) {
        separator = CHR(13);
    } else if (AT(CHR(10), cText) > 0) {
        separator = CHR(10);
    } else {
        return aText;
    }
    int start = 1;
    bool rest = false;
    for (auto& line : aText) {
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
    }
    return aText;
}

bool lineEndInLines(const std::array<Value, 4>& lines) {
    for (const auto& line : lines) {
        if (line.isText() && line.text().find_first_of("\r\n") != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::string folderCommand(const std::string& path) {
    const bool risky = path.find_first_of(" &|<>^()") != std::string::npos;
    const bool quoted = path.find('"') != std::string::npos;
    if (risky && !quoted) {
        return "/C MD \"" + path + "\"";
    }
    return "/C MD " + path;
}

std::string copyArgument(const std::string& folder) {
    if (folder.find(' ') != std::string::npos && folder.find('"') == std::string::npos) {
        return wincmd::quote(folder);
    }
    return folder;
}

std::string copyParameters(const std::string& source, const std::string& target,
                           const std::string& files, const std::string& arguments) {
    return copyArgument(source) + " " + copyArgument(target) + " " + files + " " + arguments;
}
