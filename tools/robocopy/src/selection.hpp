// Which source entries take part in a job: include patterns, /XF and /XD,
// size and age limits.
#pragma once

#include "options.hpp"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rc {

// The file facts the selection and the comparison look at.
struct FileFacts {
    std::uint64_t size = 0;
    std::int64_t mtimeNs = 0;
    std::int64_t atimeNs = 0;
    unsigned mode = 0; // permission bits (07777)
};

enum class Exclusion { None, NotIncluded, Named, Large, Small, TooOld, TooNew };

// The lower-case reason shown for an excluded file in a verbose listing.
const char* exclusionTag(Exclusion reason);

// Seconds since the epoch for an age value: below 1900 it counts days back from
// "now", otherwise it is a date YYYYMMDD (local midnight).
std::int64_t ageCutoff(std::uint64_t value, std::int64_t now);

class Selector {
  public:
    Selector(const Options& options, std::int64_t now);

    // True when the file name matches one of the include patterns.
    bool included(std::string_view name) const;
    // True when /XF names the file by name, pattern or full path.
    bool fileNamedOut(std::string_view name, std::string_view fullPath) const;
    // True when /XD names the folder by name, pattern or full path (either the
    // source or the destination path).
    bool dirNamedOut(std::string_view name, std::string_view sourcePath,
                     std::string_view destPath) const;
    // Why a source file is left out, or Exclusion::None.
    Exclusion file(std::string_view name, std::string_view fullPath, const FileFacts& facts) const;

  private:
    struct Rule {
        std::string pattern;
        bool isPath;
    };
    static std::vector<Rule> rules(const std::vector<std::string>& words);
    static bool matches(const std::vector<Rule>& list, std::string_view name,
                        std::string_view path);

    std::vector<std::string> includes_;
    std::vector<Rule> excludeFiles_;
    std::vector<Rule> excludeDirs_;
    std::optional<std::uint64_t> maxSize_, minSize_;
    std::optional<std::int64_t> oldest_, newest_, oldestAccess_, newestAccess_;
};

} // namespace rc
