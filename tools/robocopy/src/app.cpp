#include "app.hpp"

#include "job.hpp"
#include "options.hpp"
#include "paths.hpp"
#include "report.hpp"
#include "roots.hpp"
#include "selection.hpp"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace rc {

namespace {

const char* const helpText =
    "\n"
    "             Usage :: ROBOCOPY source destination [file [file]...] [options]\n"
    "\n"
    "             source :: Source folder (/path/to/folder/ or \\path\\to\\folder).\n"
    "        destination :: Destination folder (created when missing).\n"
    "               file :: File(s) to copy (names or wildcards: default is \"*.*\").\n"
    "\n"
    "  A word is an option when it starts with \"/\" and has no further \"/\" or \"\\\"\n"
    "  before its first \":\". Write a top-level folder with a trailing slash (/tmp/).\n"
    "\n"
    " Copy options :\n"
    "                 /S :: copy Subdirectories, but not empty ones.\n"
    "                 /E :: copy subdirectories, including Empty ones.\n"
    "             /LEV:n :: only copy the top n LEVels of the source tree.\n"
    "        /COPY:flags :: what to COPY for files (default /COPY:DAT):\n"
    "                       D=Data, A=Attributes (mode bits), T=Timestamps,\n"
    "                       S=Security (owner and mode bits), O=Owner, U and X ignored.\n"
    "       /DCOPY:flags :: what to COPY for folders (default /DCOPY:DA): D, A, T.\n"
    "               /SEC :: copy files with SECurity (/COPY:DATS).\n"
    "           /COPYALL :: COPY ALL file info (/COPY:DATSO).\n"
    "            /NOCOPY :: COPY NO file info (useful with /PURGE).\n"
    "             /PURGE :: delete dest files/folders that no longer exist in source.\n"
    "               /MIR :: MIRror a folder tree (equivalent to /E plus /PURGE).\n"
    "                /SL :: copy symbolic links as links instead of their targets.\n"
    "           /MT[:n] :: copy with n threads (default 8, 1..128).\n"
    "\n"
    " File selection options :\n"
    "   /XF file [file]... :: eXclude Files matching given names/paths/wildcards.\n"
    "   /XD dirs [dirs]... :: eXclude Directories matching given names/paths.\n"
    "   /XC /XN /XO        :: eXclude Changed / Newer / Older files.\n"
    "   /XX /XL            :: eXclude eXtra / Lonely files and folders.\n"
    "   /IS /IT            :: Include Same / Tweaked files.\n"
    "   /MAX:n /MIN:n      :: exclude files bigger / smaller than n bytes.\n"
    "   /MAXAGE:n /MINAGE:n :: exclude files older / newer than n days (or date YYYYMMDD).\n"
    "   /MAXLAD:n /MINLAD:n :: the same for the last access date.\n"
    "   /FFT /DST          :: two-second file times; tolerate a one-hour difference.\n"
    "   /XJ /XJD /XJF      :: skip symbolic links (all / to folders / to files).\n"
    "\n"
    " Retry options :\n"
    "               /R:n :: number of Retries on failed copies (default 1).\n"
    "               /W:n :: Wait time between retries in seconds (default 1).\n"
    "\n"
    " Logging options :\n"
    "   /L /V /X /TS /FP /BYTES /NS /NC /NFL /NDL /NP /NJH /NJS\n"
    "   /LOG:file /LOG+:file /UNILOG:file /UNILOG+:file /TEE\n"
    "\n"
    " Accepted and ignored : /Z /B /ZB /J /256 /EFSRAW /A /M /IA: /XA: /A+: /A-:\n"
    "   /MON: /MOT: /RH: /PF /IPG: /CREATE /FAT /REG /TBD /SECFIX /TIMFIX /UNICODE ...\n"
    " Refused : /MOV and /MOVE (this program never deletes from a source),\n"
    "   /JOB, /SAVE and /QUIT (job files are not supported).\n"
    "\n";

// The real path of "path", or "path" itself when it cannot be resolved.
std::string resolved(const std::string& path) {
    char buffer[PATH_MAX];
    return realpath(path.c_str(), buffer) != nullptr ? std::string(buffer) : path;
}

// The last "count" names of "path" (fewer when it has fewer).
std::vector<std::string> lastNames(const std::string& path, std::size_t count) {
    std::vector<std::string> names;
    std::size_t end = path.size();
    while (names.size() < count && end > 0) {
        const std::size_t slash = path.find_last_of('/', end - 1);
        if (slash == std::string::npos) {
            break;
        }
        if (slash + 1 < end) {
            names.insert(names.begin(), path.substr(slash + 1, end - slash - 1));
        }
        end = slash;
    }
    return names;
}

// True when a folder on the way from the source down to the destination
// ("names", one per level) is left out by /XD.
bool excludedOnTheWay(const Selector& selector, const std::string& source,
                      const std::vector<std::string>& names) {
    std::string real = resolved(source), lexical = source;
    for (const auto& name : names) {
        real = joinPath(real, name);
        lexical = joinPath(lexical, name);
        if (selector.dirNamedOut(name, lexical, real)) {
            return true;
        }
    }
    return false;
}

// Whether the destination lies inside the source (a copy into itself), where
// no /XD exclusion on the way down allows it. Decided by device and inode.
// A way up that cannot be followed counts as overlap: the job is not run.
bool destInsideSource(const Roots& roots, const Selector& selector, const std::string& source,
                      const std::string& dest) {
    // The part of the path that exists, which "roots.dest" holds open.
    std::string existing = dest;
    for (std::size_t i = 0; i < roots.missing.size(); ++i) {
        existing = existing.substr(0, std::max<std::size_t>(existing.find_last_of('/'), 1));
    }
    int error = 0;
    const int below = levelsBelow(roots.dest.get(), existing, roots.sourceState.id, error);
    if (below < 0) {
        return error != 0;
    }
    if (below == 0 && roots.missing.empty()) {
        return true;
    }
    // The names on the way down, as the existing part of the path resolves.
    std::vector<std::string> names = lastNames(resolved(existing), static_cast<std::size_t>(below));
    if (names.size() != static_cast<std::size_t>(below)) {
        return true; // the way down cannot be named: no exclusion can allow it
    }
    names.insert(names.end(), roots.missing.begin(), roots.missing.end());
    return !excludedOnTheWay(selector, source, names);
}

// The log is opened so that it can neither stall the run (a FIFO or device in
// its place) nor write through a link to some other file; it is emptied only
// once it is known to be a plain file. Sets errno when it gives no file.
std::FILE* openLog(const std::string& path, bool append) {
    const int fd = open(
        path.c_str(),
        O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (append ? O_APPEND : 0), 0666);
    if (fd < 0) {
        return nullptr;
    }
    struct stat st {};
    int error = fstat(fd, &st) != 0 ? errno : 0;
    if (error == 0 && !S_ISREG(st.st_mode)) {
        error = EINVAL;
    }
    if (error == 0 && !append && ftruncate(fd, 0) != 0) {
        error = errno;
    }
    std::FILE* file = error == 0 ? fdopen(fd, append ? "a" : "w") : nullptr;
    if (file == nullptr) {
        error = error != 0 ? error : errno;
        close(fd);
        errno = error;
    }
    return file;
}

} // namespace

int run(const std::vector<std::string>& words, std::FILE* console) {
    const std::time_t started = std::time(nullptr);
    ParseResult parsed = parse(words);
    if (parsed.options.help) {
        std::fputs(helpText, console);
        return ExitFatal;
    }
    if (parsed.error) {
        const std::string text =
            rejectedHeaderText(started) + parsed.error->message() + "\n" + usageText();
        std::fputs(text.c_str(), console);
        return ExitFatal;
    }
    const Options& options = parsed.options;

    std::FILE* log = nullptr;
    if (!options.logFile.empty()) {
        const std::string logPath = absolutePath(options.logFile);
        log = openLog(logPath, options.logAppend);
        if (log == nullptr) {
            std::fputs(errorLines(errno, "Opening Log File", logPath).c_str(), console);
            return ExitFatal;
        }
    }
    // The run never deletes its own log, wherever it lies.
    std::optional<Identity> logFile;
    struct stat logState {};
    if (log != nullptr && fstat(fileno(log), &logState) == 0) {
        logFile = Identity{logState.st_dev, logState.st_ino};
    }
    Output output(console, log, options.tee);
    const auto finish = [&](int code) {
        output.flush();
        if (log != nullptr) {
            std::fclose(log);
        }
        return code;
    };

    const std::string source = absolutePath(options.source);
    const std::string dest = absolutePath(options.destination);
    if (!options.noHeader) {
        output.write(headerText(options, displayDir(source), displayDir(dest), started));
    }
    for (const auto& [given, what] :
         {std::pair{options.source, "Source"}, std::pair{options.destination, "Destination"}}) {
        if (hasDriveLetter(given)) {
            output.write(errorLines(EINVAL, std::string("Accessing ") + what + " Directory", given,
                                    "A drive letter names no folder on this system."));
            return finish(ExitFatal);
        }
        if (isNetworkPath(given)) {
            output.write(errorLines(EINVAL, std::string("Accessing ") + what + " Directory", given,
                                    "A network path names no folder on this system."));
            return finish(ExitFatal);
        }
    }
    Roots roots;
    if (const int error = openSourceRoot(source, roots)) {
        output.write(errorLines(error, "Accessing Source Directory", displayDir(source)));
        return finish(ExitFatal);
    }
    if (const int error = openDestRoot(dest, roots)) {
        output.write(errorLines(error, "Accessing Destination Directory", displayDir(dest)));
        return finish(ExitFatal);
    }

    const Selector selector(options, started);
    if (destInsideSource(roots, selector, source, dest)) {
        output.write("ERROR : Destination Directory lies inside the Source Directory.\n"
                     "        The job would copy into itself; choose another destination or "
                     "exclude it with /XD.\n");
        return finish(ExitFatal);
    }
    int upError = 0;
    if (options.purge && roots.missing.empty() &&
        (levelsBelow(roots.source.get(), source, roots.destState.id, upError) >= 0 ||
         upError != 0)) {
        output.write("ERROR : Source Directory lies inside the Destination Directory.\n"
                     "        /PURGE and /MIR could delete the source; choose another "
                     "destination.\n");
        return finish(ExitFatal);
    }

    Job job(options, output, source, dest, std::move(roots), logFile, started);
    const int bits = job.run();
    if (bits & ExitFatal) {
        return finish(ExitFatal);
    }
    if (!options.noSummary) {
        output.write(summaryText(job.summary(), options.rawBytes, std::time(nullptr)));
    }
    return finish(bits);
}

} // namespace rc
