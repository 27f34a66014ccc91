#include "report.hpp"

#include <cerrno>
#include <cmath>
#include <cstring>

namespace rc {

namespace {

const char* const dayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                "Thursday", "Friday", "Saturday"};
const char* const monthNames[] = {"January",   "February", "March",    "April",
                                  "May",       "June",     "July",     "August",
                                  "September", "October",  "November", "December"};

const std::string wideRule(79, '-');
const std::string rule(78, '-');

std::string padLeft(std::string_view text, std::size_t width) {
    std::string out;
    if (text.size() < width) {
        out.assign(width - text.size(), ' ');
    }
    out += text;
    return out;
}

std::string padRight(std::string_view text, std::size_t width) {
    std::string out(text);
    if (out.size() < width) {
        out.append(width - out.size(), ' ');
    }
    return out;
}

std::string fixed(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

std::string scaled(std::uint64_t bytes, const int decimals[4]) {
    static const char units[] = {'k', 'm', 'g', 't'};
    double value = static_cast<double>(bytes) / 1024.0;
    int unit = 0;
    while (value >= 1024.0 && unit < 3) {
        value /= 1024.0;
        ++unit;
    }
    return fixed(value, decimals[unit]) + " " + units[unit];
}

std::tm local(std::time_t when) {
    std::tm parts{};
    localtime_r(&when, &parts);
    return parts;
}

std::string labelled(std::string_view label, std::string_view value, bool set = true) {
    return padLeft(label, 9) + (set ? " : " : " - ") + std::string(value) + "\n";
}

std::mutex errorTextMutex;

} // namespace

void Output::write(std::string_view text) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (console_ != nullptr) {
        std::fwrite(text.data(), 1, text.size(), console_);
    }
    if (log_ != nullptr) {
        std::fwrite(text.data(), 1, text.size(), log_);
    }
}

void Output::flush() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (console_ != nullptr) {
        std::fflush(console_);
    }
    if (log_ != nullptr) {
        std::fflush(log_);
    }
}

std::string formatSize(std::uint64_t bytes, bool raw) {
    if (raw || bytes < 1024) {
        return std::to_string(bytes);
    }
    static const int decimals[] = {1, 1, 1, 1};
    return scaled(bytes, decimals);
}

std::string formatSummaryBytes(std::uint64_t bytes, bool raw) {
    if (raw || bytes < 1024) {
        return std::to_string(bytes);
    }
    static const int decimals[] = {1, 2, 3, 3};
    return scaled(bytes, decimals);
}

std::string formatDuration(double seconds) {
    const auto total = static_cast<long long>(seconds < 0 ? 0 : seconds);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60,
                  total % 60);
    return buffer;
}

std::string formatLongDate(std::time_t when) {
    const std::tm t = local(when);
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%s, %d %s %d %02d:%02d:%02d", dayNames[t.tm_wday % 7],
                  t.tm_mday, monthNames[t.tm_mon % 12], t.tm_year + 1900, t.tm_hour, t.tm_min,
                  t.tm_sec);
    return buffer;
}

std::string formatStamp(std::time_t when) {
    const std::tm t = local(when);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %02d:%02d:%02d", t.tm_year + 1900,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return buffer;
}

static std::string title() {
    return "\n" + wideRule + "\n   ROBOCOPY     ::     Robust File Copy for Linux\n" + wideRule +
           "\n\n";
}

static std::string listBlock(std::string_view label, const std::vector<std::string>& items) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        out += i == 0 ? labelled(label, items[i]) : std::string(12, ' ') + items[i] + "\n";
    }
    return out;
}

std::string headerText(const Options& options, const std::string& source, const std::string& dest,
                       std::time_t started) {
    std::string out = title();
    out += labelled("Started", formatLongDate(started));
    if (!options.logFile.empty()) {
        out += labelled("Log File", options.logFile);
    }
    out += labelled("Source", source);
    out += labelled("Dest", dest);
    out += "\n";
    out += listBlock("Files", options.includes);
    out += listBlock("Exc Files", options.excludeFiles);
    out += listBlock("Exc Dirs", options.excludeDirs);
    out += "\n";
    out += labelled("Options", options.echo());
    out += "\n" + rule + "\n\n";
    return out;
}

std::string rejectedHeaderText(std::time_t started) {
    Options defaults;
    defaults.includes.clear();
    std::string out = title();
    out += labelled("Started", formatLongDate(started));
    out += labelled("Source", "", false);
    out += labelled("Dest", "", false);
    out += "\n";
    out += labelled("Files", "");
    out += "\n";
    out += labelled("Options", defaults.echo());
    out += "\n" + rule + "\n\n";
    return out;
}

std::string usageText() {
    return "\n"
           "             Simple Usage :: ROBOCOPY source destination /MIR\n"
           "\n"
           "                   source :: Source folder (/path/to/folder/).\n"
           "              destination :: Destination folder (/path/to/folder/).\n"
           "                     /MIR :: Mirror a complete folder tree.\n"
           "\n"
           "    For more usage information run ROBOCOPY /?\n"
           "\n"
           "\n"
           "****  /MIR can DELETE files as well as copy them !\n";
}

std::string dirLine(std::string_view tag, long long count, std::string_view path) {
    const std::size_t width = tag.size() < 20 ? 20 - tag.size() : 1;
    return "\t" + std::string(tag) + padLeft(std::to_string(count), width) + "\t" +
           std::string(path) + "\n";
}

std::string fileLine(const Options& options, std::string_view tag, std::uint64_t size,
                     std::string_view name, std::time_t stamp) {
    std::string out = "\t";
    if (!options.noClass) {
        out += !tag.empty() && tag[0] == '*' ? padRight(tag, 14) : "    " + padRight(tag, 10);
    }
    out += "\t\t";
    if (!options.noSize) {
        out += padLeft(formatSize(size, options.rawBytes), 8);
    }
    out += "\t";
    if (options.timestamps) {
        out += formatStamp(stamp) + " ";
    }
    out += name;
    out += "\n";
    return out;
}

unsigned errorNumber(int errnum) {
    switch (errnum) {
    case ENOENT:
        return 2;
    case ENOTDIR:
        return 267;
    case EACCES:
    case EPERM:
        return 5;
    case EMFILE:
    case ENFILE:
        return 4;
    case ENOMEM:
        return 8;
    case EROFS:
        return 19;
    case EXDEV:
        return 17;
    case EBUSY:
    case ETXTBSY:
        return 32;
    case EINVAL:
        return 87;
    case ENOSPC:
    case EDQUOT:
        return 112;
    case ENOTEMPTY:
        return 145;
    case EEXIST:
        return 183;
    case ENAMETOOLONG:
        return 206;
    case EFBIG:
        return 223;
    case EISDIR:
        return 267;
    case EIO:
        return 1117;
    case ELOOP:
        return 1921;
    default:
        return 1;
    }
}

std::string errorText(int errnum) {
    const std::lock_guard<std::mutex> lock(errorTextMutex);
    return std::string(std::strerror(errnum)) + ".";
}

std::string errorLines(int errnum, std::string_view action, std::string_view path,
                       std::string_view text) {
    const unsigned number = errorNumber(errnum);
    char code[48];
    std::snprintf(code, sizeof code, "ERROR %u (0x%08X) ", number, number);
    return formatStamp(std::time(nullptr)) + " " + code + std::string(action) + " " +
           std::string(path) + "\n" + (text.empty() ? errorText(errnum) : std::string(text)) + "\n";
}

std::string summaryText(const Summary& s, bool rawBytes, std::time_t ended) {
    const auto row = [](std::string_view label, const std::string cells[6]) {
        std::string out = padLeft(label, 10);
        for (int i = 0; i < 6; ++i) {
            out += padLeft(cells[i], 10);
        }
        return out + "\n";
    };
    const auto counts = [&](std::string_view label, const Tally& t) {
        const std::string cells[6] = {std::to_string(t.total),   std::to_string(t.copied),
                                      std::to_string(t.skipped), std::to_string(t.mismatch),
                                      std::to_string(t.failed),  std::to_string(t.extras)};
        return row(label, cells);
    };
    const Tally& b = s.bytes;
    const std::string bytes[6] = {
        formatSummaryBytes(b.total, rawBytes),   formatSummaryBytes(b.copied, rawBytes),
        formatSummaryBytes(b.skipped, rawBytes), formatSummaryBytes(b.mismatch, rawBytes),
        formatSummaryBytes(b.failed, rawBytes),  formatSummaryBytes(b.extras, rawBytes)};
    const std::string times[6] = {
        formatDuration(s.totalSeconds),  formatDuration(s.copySeconds), "", "",
        formatDuration(s.failedSeconds), formatDuration(s.extraSeconds)};
    const std::string heads[6] = {"Total", "Copied", "Skipped", "Mismatch", "FAILED", "Extras"};

    std::string out = "\n" + rule + "\n\n";
    out += row("", heads);
    out += counts("Dirs :", s.dirs);
    out += counts("Files :", s.files);
    out += row("Bytes :", bytes);
    out += row("Times :", times);

    const double seconds = s.copySeconds > 0.001 ? s.copySeconds : s.totalSeconds;
    if (b.copied > 0 && seconds > 0.0) {
        const double perSecond = static_cast<double>(b.copied) / seconds;
        char line[128];
        std::snprintf(line, sizeof line, "\n   Speed :%20.0f Bytes/sec.\n", perSecond);
        out += line;
        std::snprintf(line, sizeof line, "   Speed :%20.3f MegaBytes/min.\n",
                      perSecond * 60.0 / (1024.0 * 1024.0));
        out += line;
    } else {
        out += "\n";
    }
    out += "   Ended : " + formatLongDate(ended) + "\n";
    out += "\n";
    return out;
}

} // namespace rc
