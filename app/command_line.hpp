// What a person may type after the program's name on Linux. The program reads no
// arguments for its work; "--help" and "--version" only describe it and end at once,
// before anything is made or asked.
#pragma once

#include <optional>
#include <string>
#include <vector>

// The text to print for the arguments (the program's path first), or nothing when they
// ask for no description and the program is to run as always.
std::optional<std::string> descriptionRequested(const std::vector<std::string>& arguments);
