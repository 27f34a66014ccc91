// What the program prints: job header, entry lines, error lines and the
// closing summary, and where it goes (console, log file or both).
#pragma once

#include "options.hpp"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>
#include <string_view>

namespace rc {

// Writes text to the console and/or the log file; safe to call from several threads.
class Output {
  public:
    Output(std::FILE* console, std::FILE* log, bool tee)
        : console_(log == nullptr || tee ? console : nullptr), log_(log) {}
    void write(std::string_view text);
    void flush();

  private:
    std::mutex mutex_;
    std::FILE* console_;
    std::FILE* log_;
};

struct Tally {
    std::uint64_t total = 0, copied = 0, skipped = 0, mismatch = 0, failed = 0, extras = 0;
};

struct Summary {
    Tally dirs, files, bytes;
    double totalSeconds = 0, copySeconds = 0, failedSeconds = 0, extraSeconds = 0;
};

// Sizes in entry lines: plain bytes below 1 KiB (or always with /BYTES),
// otherwise scaled to k, m, g or t with one decimal.
std::string formatSize(std::uint64_t bytes, bool raw);
// Byte figures in the summary: plain below 1 KiB, "k" with one decimal,
// "m" with two, "g" and "t" with three.
std::string formatSummaryBytes(std::uint64_t bytes, bool raw);
// h:mm:ss
std::string formatDuration(double seconds);
// "Tuesday, 5 March 2024 18:02:11"
std::string formatLongDate(std::time_t when);
// "2024/03/05 18:02:11"
std::string formatStamp(std::time_t when);

std::string headerText(const Options& options, const std::string& source, const std::string& dest,
                       std::time_t started);
// The header shown when the command line was rejected: unset fields get " - ".
std::string rejectedHeaderText(std::time_t started);
std::string usageText();

// One directory line: a tag ("New Dir", "*EXTRA Dir" or empty), the number of
// files (-1 for extra folders) and the path.
std::string dirLine(std::string_view tag, long long count, std::string_view path);
// One file line; options decide whether tag and size are shown.
std::string fileLine(const Options& options, std::string_view tag, std::uint64_t size,
                     std::string_view name, std::time_t stamp);

// The Windows-style error number and text used in error lines for an errno value.
unsigned errorNumber(int errnum);
std::string errorText(int errnum);
// "2024/03/05 18:02:12 ERROR 2 (0x00000002) Copying File /a/b" and the text line.
std::string errorLines(int errnum, std::string_view action, std::string_view path,
                       std::string_view text = {});

std::string summaryText(const Summary& summary, bool rawBytes, std::time_t ended);

} // namespace rc
