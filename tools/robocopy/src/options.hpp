// The command line of the copy program: which words are options, which are
// paths and name patterns, and what each option sets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rc {

// What is carried over for a file (/COPY:) or a folder (/DCOPY:).
struct CopyFlags {
    bool data = true;       // D: file content
    bool attributes = true; // A: permission bits
    bool times = true;      // T: modification and access time
    bool security = false;  // S: owner and group (where permitted) and permission bits
    bool owner = false;     // O: owner and group (where permitted)
    std::string text() const;
};

struct Options {
    std::string source;                    // as given, "\" already turned into "/"
    std::string destination;               // likewise
    std::vector<std::string> includes;     // name patterns; "*.*" when none was given
    std::vector<std::string> excludeFiles; // /XF names, patterns or paths
    std::vector<std::string> excludeDirs;  // /XD names, patterns or paths

    bool subdirs = false;   // /S or /E
    bool emptyDirs = false; // /E
    unsigned levels = 0;    // /LEV:n, 0 = no limit
    bool purge = false;     // /PURGE or /MIR
    bool mirror = false;    // /MIR
    bool excludeOlder = false, excludeNewer = false, excludeChanged = false;
    bool excludeExtra = false, excludeLonely = false;
    bool includeSame = false, includeTweaked = false;
    std::optional<std::uint64_t> maxAge, minAge, maxLastAccess, minLastAccess; // raw n
    std::optional<std::uint64_t> maxSize, minSize;
    bool listOnly = false;
    bool fatTimes = false;                              // /FFT: two-second tolerance
    bool daylightSaving = false;                        // /DST: an exact hour counts as equal
    bool skipLinkedDirs = false;                        // /XJ, /XJD
    bool skipLinkedFiles = false;                       // /XJ, /XJF
    bool copyLinks = false;                             // /SL
    unsigned threads = 0;                               // /MT[:n]; 0 = one at a time
    unsigned retries = 1;                               // /R:n
    unsigned waitSeconds = 1;                           // /W:n
    CopyFlags copy;                                     // /COPY:, /SEC, /COPYALL, /NOCOPY
    CopyFlags dirCopy{true, true, false, false, false}; // /DCOPY:

    bool noProgress = false, noFileList = false, noDirList = false;
    bool noHeader = false, noSummary = false, noSize = false, noClass = false;
    bool verbose = false, reportAllExtras = false, timestamps = false, fullPaths = false;
    bool rawBytes = false;
    std::string logFile;
    bool logAppend = false;
    bool tee = false;
    bool help = false;

    std::vector<std::string> ignored; // accepted options that change nothing here

    // The option part of the header: include patterns, then the effective options.
    std::string echo() const;
};

struct ParseError {
    enum Kind { InvalidParameter, NoSource, NoDestination, Refused } kind = InvalidParameter;
    int index = 0;    // 1-based position of the offending word
    std::string word; // the word as given
    std::string message() const;
};

struct ParseResult {
    Options options;
    std::optional<ParseError> error;
};

// Turns the words after the program name into options. A word that starts with
// "/" is an option when the text between that "/" and the first ":" holds no
// further "/" or "\"; it must then be a known option with a valid value.
// Any other word is a path or a pattern, so "/home/x" is a folder, "/FOO" is an
// invalid parameter, and a top-level folder is written "/tmp/".
ParseResult parse(const std::vector<std::string>& words);

// True when the word would be read as an option rather than as a path.
bool looksLikeOption(const std::string& word);

} // namespace rc
