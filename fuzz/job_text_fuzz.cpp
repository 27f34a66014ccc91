// One job text to its four lines and the command texts made from them.
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
    if (refused) {
        return 0;
    }
    const std::string& root = lines[1].text();
    const std::string folder = root + "\\202611";
    const std::string md = folderCommand(folder);
    REQUIRE(md.rfind("/C MD ", 0) == 0);
    // No command text ever holds a line end.
    const std::string copy =
        copyParameters(lines[0].text(), folder, lines[2].text(), lines[3].text());
    REQUIRE(md.find_first_of("\r\n") == std::string::npos);
    REQUIRE(copy.find_first_of("\r\n") == std::string::npos);
    // A folder with blanks or the interpreter's special characters reaches it as one
    // quoted word.
    if (folder.find_first_of(" &|<>^()") != std::string::npos &&
        folder.find('"') == std::string::npos) {
        REQUIRE(md == "/C MD \"" + folder + "\"");
    }
    // The source and target folders come back whole from the Windows splitting rules
    // whenever the program quoted them.
    const std::string& source = lines[0].text();
    if (source.find(' ') != std::string::npos && source.find('"') == std::string::npos &&
        source.find_first_of("\t\r\n") == std::string::npos) {
        const auto words = wincmd::split(copyArgument(source));
        REQUIRE(words.size() == 1 && words[0] == source);
    }
    return 0;
}
