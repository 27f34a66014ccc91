// Starting the built programs from the tests: in a folder of their own, with standard
// input from a text and the output kept, in a process group of their own so that a run
// can be cut short with everything it started. Every wait is bounded.
#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace robust {

struct Launch {
    std::filesystem::path program;
    std::vector<std::string> arguments;
    std::filesystem::path folder; // the current folder of the run
    std::string input;            // standard input
    // Writes beyond this many bytes fail as on a full disk (0: no limit).
    unsigned long fileSizeLimit = 0;
};

struct Finished {
    int exitCode = -1; // 128 + signal when killed; -2 when it did not end in time
    std::string out;
    std::string err;
};

class Process {
  public:
    // Starts the program; with `gate` set it waits before starting until the gate opens.
    explicit Process(const Launch& launch, int gate = -1);
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    // Waits for the end, at most `limit`; a run that takes longer is killed.
    Finished finish(std::chrono::milliseconds limit = std::chrono::seconds(120));
    // Kills the program and everything it started.
    void kill();

  private:
    int pid_ = -1;
    std::filesystem::path scratch_;
};

// Lets every process started behind it go at the same moment.
class Gate {
  public:
    Gate();
    ~Gate();
    int fd() const { return read_; }
    void open(int waiting);

  private:
    int read_ = -1;
    int write_ = -1;
};

Finished runProgram(const Launch& launch,
                    std::chrono::milliseconds limit = std::chrono::seconds(120));

// Every entry below a folder (links not followed): "d" for a folder, "l:<target>" for a
// link, "f:<size>:<content hash>" for a file, with ":<mtime>" when withTimes.
std::map<std::string, std::string> snapshot(const std::filesystem::path& root,
                                            bool withTimes = true);

// A tree of folders and files made from the seed: names with blanks, "&" and umlauts,
// files of 0 to maxSize bytes. Always holds a folder "sub".
void generateTree(const std::filesystem::path& root, unsigned seed, int files, int depth,
                  std::size_t maxSize = 3000);

void writeFile(const std::filesystem::path& path, const std::string& content);
std::string readFile(const std::filesystem::path& path);

// The weekday folder the program picks today (no Ctrl key held): "Montag" ..., the
// Fridays numbered by the week of the month.
std::string todaysWeekdayFolder();
// The month folder of today: the year and the month before ("202611" in December).
std::string todaysMonthFolder();

} // namespace robust
