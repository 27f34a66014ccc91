// The job file's text split into its job texts.
#pragma once

#include <string>
#include <vector>

// The job texts of a job list (the first 3000 bytes of the job file without leading
// and trailing blanks), in file order:
// - no "[1]" anywhere: the whole list is one job text;
// - "[1]" at the very start: numbered sections "[n]" CR LF, each ended by the header of
//   the next number; a section that is not followed by that header is not run, and no
//   section after it either; a list of at most 10 characters left holds no section;
// - "[1]" later in the list: no job at all.
std::vector<std::string> jobTexts(std::string cText);
