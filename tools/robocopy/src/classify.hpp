// How a source file compares with its counterpart in the destination.
#pragma once

#include "options.hpp"
#include "selection.hpp"

namespace rc {

enum class FileClass { Lonely, Same, Tweaked, Changed, Newer, Older };

struct TimeRules {
    bool twoSeconds = false;  // /FFT
    bool wholeHour = false;   // /DST
    bool compareMode = false; // permission bits count for "Tweaked"
};

// Classifies a source file against an existing destination file.
FileClass classify(const FileFacts& source, const FileFacts& dest, const TimeRules& rules);

// True when the options say a file of this class is to be copied.
bool wantsCopy(FileClass cls, const Options& options);

// The tag of a file line: capitalised when the file is copied, lower case when
// it is skipped.
const char* classTag(FileClass cls, bool copied);

} // namespace rc
