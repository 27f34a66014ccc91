// One job text to its four lines and the command texts made from them.
#include "app/job_refusal.hpp"
#include "app/job_text.hpp"
#include "common/windows_command_line.hpp"
#include "fuzz/require.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto lines = jobLines(text);
    const bool anyLineEnd = text.find_first_of("\r\n") != std::string::npos;
    for (const auto& line : lines) {
        REQUIRE(line.isText() == anyLineEnd);
        if (line.isText()) {
            REQUIRE(text.find(line.text()) != std::string::npos);
        }
    }
    if (!anyLineEnd) {
        return 0;
    }
    // A job whose lines still hold a line end is refused before any command is made.
    const bool refused = lineEndInLines(lines);
    bool lineEndInside = false;
    for (const auto& line : lines) {
        lineEndInside = lineEndInside || line.text().find_first_of("\r\n") != std::string::npos;
    }
    REQUIRE(refused == lineEndInside);
    if (refusalOf(lines) != Refusal::none) {
        return 0;
    }
    // A job that runs has a first line, a target root that is more than blanks and tabs,
    // and no control character but the tab in any line.
    REQUIRE(!lines[0].text().empty());
    REQUIRE(lines[1].text().find_first_not_of(" \t") != std::string::npos);
    for (const auto& line : lines) {
        for (const char c : line.text()) {
            const auto byte = static_cast<unsigned char>(c);
            REQUIRE(c == '\t' || (byte >= 0x20 && byte != 0x7F));
        }
    }
    const std::string& root = lines[1].text();
    const std::string folder = root + "\\202611";
    const std::string md = folderCommand(folder);
    const std::string rd = removeFolderCommand(folder);
    REQUIRE(md.rfind("/C MD ", 0) == 0);
    REQUIRE(rd.rfind("/C RD ", 0) == 0 && rd.substr(6) == md.substr(6));
    // No command text ever holds a line end or a NUL.
    const std::string copy =
        copyParameters(lines[0].text(), folder, lines[2].text(), lines[3].text());
    for (const std::string* command : {&md, &copy}) {
        REQUIRE(command->find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
    }
    // A folder with blanks, tabs or the interpreter's special characters reaches it as
    // one quoted word.
    if (folder.find_first_of(" \t&|<>^()") != std::string::npos &&
        folder.find('"') == std::string::npos) {
        REQUIRE(md == "/C MD \"" + folder + "\"");
    }
    // The source and target folders come back whole from the Windows splitting rules
    // whenever the program quoted them: a blank or a tab never splits them.
    for (const std::string& path : {lines[0].text(), folder}) {
        if (path.find_first_of(" \t") != std::string::npos && path.find('"') == std::string::npos) {
            const auto words = wincmd::split(copyArgument(path));
            REQUIRE(words.size() == 1 && words[0] == path);
        }
    }
    return 0;
}
