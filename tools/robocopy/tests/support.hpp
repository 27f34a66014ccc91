// Helpers for the tests: temporary folders, small files, tree snapshots and
// running the built program.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace rctest {

// A fresh folder under the system's temporary folder, removed with all its
// content when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

  private:
    std::string path_;
};

// "size" bytes of a pattern that repeats only after long stretches, so that a
// byte out of place shows.
std::string pattern(std::size_t size, unsigned seed = 0);

// Writes a file, creating missing parent folders.
void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
bool exists(const std::string& path);
void makeDirs(const std::string& path);
// Sets the modification (and access) time, in seconds since the epoch.
void setMtime(const std::string& path, std::int64_t seconds, long nanoseconds = 0);
std::int64_t mtimeNs(const std::string& path);
unsigned modeOf(const std::string& path);

// What a tree holds: for every entry below the root, its kind and content
// ("d" for folders, "l:<target>" for links, "f:<content>" for files), and with
// "withMeta" also the permission bits and modification time of files.
std::map<std::string, std::string> snapshot(const std::string& root, bool withMeta = false);

struct RunResult {
    int code = -1;
    std::string output;
};

// Runs the built program with these arguments; "fileSizeLimit" (bytes, 0 = none)
// makes writes beyond that size fail as on a full quota; "asNobody" runs it as
// the unprivileged user nobody (through setpriv; the caller must be root).
RunResult runProgram(const std::vector<std::string>& args, std::uint64_t fileSizeLimit = 0,
                     bool asNobody = false);

// Why a test that needs root and setpriv cannot run here, or empty when it can.
std::string whyNotAsNobody();
inline constexpr unsigned nobodyId = 65534;

// Number of occurrences of "needle" in "text".
int occurrences(const std::string& text, const std::string& needle);

// The six figures of a summary row ("Dirs :", "Files :"), or empty when missing.
std::vector<std::string> summaryRow(const std::string& output, const std::string& label);

} // namespace rctest
