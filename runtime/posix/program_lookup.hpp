// Finding a program the way Windows does when it is named without a folder.
#pragma once

#include <optional>
#include <string>

namespace rt::posix {

struct ProgramSearch {
    std::string ownFolder;     // the folder of the running program
    std::string currentFolder; // the current folder
    std::string pathList;      // the value of PATH, folders separated by ":"
};

// A program named with a folder part ("/" or "\") is taken as it is (relative to the
// current folder). A bare name is looked for in the program's own folder, then the
// current folder, then each PATH folder in order (empty entries are skipped); the
// first regular, executable file with exactly that name wins. The found path, with
// "\" turned into "/", or nothing.
std::optional<std::string> findProgram(const std::string& program, const ProgramSearch& where);

// Where the running program looks: its own folder, the current folder and PATH.
ProgramSearch currentSearch(const std::string& executablePath);

} // namespace rt::posix
