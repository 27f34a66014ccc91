// The job file's text split into its job texts.
#pragma once

#include "app/job_refusal.hpp"

#include <string>
#include <vector>

// One job of the list: its text, and why it is not run (none when it is).
struct ListedJob {
    std::string text;
    Refusal refusal = Refusal::none;
    bool operator==(const ListedJob&) const = default;
};

// The jobs of a job list (the first 3000 bytes of the job file without leading and
// trailing blanks), in file order; `cut` when the file is longer than that:
// - no "[1]" anywhere: the whole list is one job text; it is refused as cut when the
//   file is longer and the text ends inside its four lines;
// - "[1]" at the very start: numbered sections "[n]", each ended by the header of the
//   next number. A section's text starts after its header line's end (CR LF, LF or CR);
//   a header line holding more than "[n]", blanks and tabs is refused, and the sections
//   after it still run. A section that is not followed by the next header is not run,
//   nor any after it (refused as cut when the file is longer, else left out); a list of
//   at most 10 characters left holds no section;
// - "[1]" later in the list: no job at all.
std::vector<ListedJob> jobTexts(std::string cText, bool cut = false);
