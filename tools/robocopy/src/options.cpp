#include "options.hpp"

#include "paths.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace rc {

namespace {

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

std::optional<std::uint64_t> number(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// A date value of /MAXAGE and friends: below 1900 a number of days, else YYYYMMDD.
bool validAge(std::uint64_t n) {
    if (n < 1900) {
        return true;
    }
    const std::uint64_t month = n / 100 % 100;
    const std::uint64_t day = n % 100;
    return n >= 19000101 && n <= 99991231 && month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

std::optional<CopyFlags> copyFlags(std::string_view text, std::string_view allowed) {
    if (text.empty()) {
        return std::nullopt;
    }
    CopyFlags flags{false, false, false, false, false};
    for (const char raw : text) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(raw)));
        if (allowed.find(c) == std::string_view::npos) {
            return std::nullopt;
        }
        switch (c) {
        case 'D':
            flags.data = true;
            break;
        case 'A':
            flags.attributes = true;
            break;
        case 'T':
            flags.times = true;
            break;
        case 'S':
            flags.security = true;
            break;
        case 'O':
            flags.owner = true;
            break;
        default:
            break; // U, X, E: nothing to carry over here
        }
    }
    return flags;
}

// Options accepted for compatibility that change nothing on this system.
constexpr std::string_view ignoredPlain[] = {
    "Z",      "B",       "ZB",  "J",         "256",      "REG",     "TBD", "SECFIX",
    "TIMFIX", "A",       "M",   "PF",        "EFSRAW",   "CREATE",  "FAT", "NOSD",
    "NODD",   "UNICODE", "ETA", "NOOFFLOAD", "COMPRESS", "NOCLONE", "IM",  "LFSM"};
constexpr std::string_view ignoredWithValue[] = {
    "IA", "XA", "A+", "A-", "MON", "MOT", "RH", "IPG", "IORATE", "IOMAXSIZE", "LFSM", "THRESHOLD"};

enum class ListMode { Includes, ExcludeFiles, ExcludeDirs };

} // namespace

std::string CopyFlags::text() const {
    std::string out;
    if (data) {
        out += 'D';
    }
    if (attributes) {
        out += 'A';
    }
    if (times) {
        out += 'T';
    }
    if (security) {
        out += 'S';
    }
    if (owner) {
        out += 'O';
    }
    return out;
}

bool looksLikeOption(const std::string& word) {
    if (word.size() < 2 || word[0] != '/') {
        return false;
    }
    const std::string_view name = std::string_view(word).substr(1, word.find(':') - 1);
    return name.find_first_of("/\\") == std::string_view::npos;
}

std::string ParseError::message() const {
    switch (kind) {
    case NoSource:
        return "ERROR : No Source Directory Specified.";
    case NoDestination:
        return "ERROR : No Destination Directory Specified.";
    case Refused:
        return "ERROR : Invalid Parameter #" + std::to_string(index) + " : \"" + word +
               "\" (this program never deletes from a source)";
    case InvalidParameter:
        break;
    }
    return "ERROR : Invalid Parameter #" + std::to_string(index) + " : \"" + word + "\"";
}

ParseResult parse(const std::vector<std::string>& words) {
    ParseResult result;
    Options& o = result.options;
    ListMode mode = ListMode::Includes;
    int positional = 0;

    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const int index = static_cast<int>(i) + 1;
        auto fail = [&](ParseError::Kind kind = ParseError::InvalidParameter) {
            result.error = ParseError{kind, index, word};
            return result;
        };

        if (!looksLikeOption(word)) {
            if (word.empty()) {
                return fail();
            }
            const std::string path = toSlashes(word);
            if (positional == 0 || positional == 1) {
                if (word.find_first_of("*?") != std::string::npos) {
                    return fail();
                }
                (positional == 0 ? o.source : o.destination) = path;
                ++positional;
                continue;
            }
            switch (mode) {
            case ListMode::Includes:
                if (path.find('/') != std::string::npos) {
                    return fail(); // a name pattern holds no folder part
                }
                o.includes.push_back(path);
                break;
            case ListMode::ExcludeFiles:
                o.excludeFiles.push_back(path);
                break;
            case ListMode::ExcludeDirs:
                o.excludeDirs.push_back(path);
                break;
            }
            continue;
        }

        const std::size_t colon = word.find(':');
        const std::string name = upper(std::string_view(word).substr(1, colon - 1));
        const bool hasValue = colon != std::string::npos;
        const std::string value = hasValue ? word.substr(colon + 1) : std::string();
        const auto plain = [&](bool& flag) {
            if (hasValue) {
                return false;
            }
            flag = true;
            return true;
        };
        const auto num = [&](std::optional<std::uint64_t>& target) {
            const auto n = number(value);
            if (!hasValue || !n) {
                return false;
            }
            target = n;
            return true;
        };
        const auto age = [&](std::optional<std::uint64_t>& target) {
            return num(target) && validAge(*target);
        };
        bool ok = true;
        mode = ListMode::Includes;

        if (name == "S") {
            ok = plain(o.subdirs);
        } else if (name == "E") {
            ok = plain(o.emptyDirs);
            o.subdirs = true;
        } else if (name == "LEV") {
            std::optional<std::uint64_t> n;
            ok = num(n) && *n >= 1 && *n <= 1000000;
            if (ok) {
                o.levels = static_cast<unsigned>(*n);
            }
        } else if (name == "PURGE") {
            ok = plain(o.purge);
        } else if (name == "MIR") {
            ok = plain(o.mirror);
            o.purge = o.subdirs = o.emptyDirs = true;
        } else if (name == "MOV" || name == "MOVE") {
            return fail(ParseError::Refused);
        } else if (name == "JOB" || name == "SAVE" || name == "QUIT") {
            return fail(); // job files are not supported
        } else if (name == "XO") {
            ok = plain(o.excludeOlder);
        } else if (name == "XN") {
            ok = plain(o.excludeNewer);
        } else if (name == "XC") {
            ok = plain(o.excludeChanged);
        } else if (name == "XX") {
            ok = plain(o.excludeExtra);
        } else if (name == "XL") {
            ok = plain(o.excludeLonely);
        } else if (name == "IS") {
            ok = plain(o.includeSame);
        } else if (name == "IT") {
            ok = plain(o.includeTweaked);
        } else if (name == "XF" || name == "XD" || name == "IF") {
            ok = !hasValue;
            mode = name == "XF"   ? ListMode::ExcludeFiles
                   : name == "XD" ? ListMode::ExcludeDirs
                                  : ListMode::Includes;
        } else if (name == "MAXAGE") {
            ok = age(o.maxAge);
        } else if (name == "MINAGE") {
            ok = age(o.minAge);
        } else if (name == "MAXLAD") {
            ok = age(o.maxLastAccess);
        } else if (name == "MINLAD") {
            ok = age(o.minLastAccess);
        } else if (name == "MAX") {
            ok = num(o.maxSize);
        } else if (name == "MIN") {
            ok = num(o.minSize);
        } else if (name == "L") {
            ok = plain(o.listOnly);
        } else if (name == "FFT") {
            ok = plain(o.fatTimes);
        } else if (name == "DST") {
            ok = plain(o.daylightSaving);
        } else if (name == "XJ") {
            ok = plain(o.skipLinkedDirs);
            o.skipLinkedFiles = true;
        } else if (name == "XJD") {
            ok = plain(o.skipLinkedDirs);
        } else if (name == "XJF") {
            ok = plain(o.skipLinkedFiles);
        } else if (name == "SL") {
            ok = plain(o.copyLinks);
        } else if (name == "MT") {
            std::optional<std::uint64_t> n = 8;
            ok = !hasValue || (num(n) && *n >= 1 && *n <= 128);
            o.threads = static_cast<unsigned>(ok ? *n : 0);
        } else if (name == "R" || name == "W") {
            std::optional<std::uint64_t> n;
            ok = num(n) && *n <= 1000000000;
            if (ok) {
                (name == "R" ? o.retries : o.waitSeconds) = static_cast<unsigned>(*n);
            }
        } else if (name == "COPY") {
            const auto flags = copyFlags(value, "DATSOUX");
            ok = hasValue && flags;
            if (ok) {
                o.copy = *flags;
            }
        } else if (name == "DCOPY") {
            const auto flags = copyFlags(value, "DATEX");
            ok = hasValue && flags;
            if (ok) {
                o.dirCopy = *flags;
            }
        } else if (name == "SEC") {
            ok = !hasValue;
            o.copy = CopyFlags{true, true, true, true, false};
        } else if (name == "COPYALL") {
            ok = !hasValue;
            o.copy = CopyFlags{true, true, true, true, true};
        } else if (name == "NOCOPY") {
            ok = !hasValue;
            o.copy = CopyFlags{false, false, false, false, false};
        } else if (name == "NP") {
            ok = plain(o.noProgress);
        } else if (name == "NFL") {
            ok = plain(o.noFileList);
        } else if (name == "NDL") {
            ok = plain(o.noDirList);
        } else if (name == "NJH") {
            ok = plain(o.noHeader);
        } else if (name == "NJS") {
            ok = plain(o.noSummary);
        } else if (name == "NS") {
            ok = plain(o.noSize);
        } else if (name == "NC") {
            ok = plain(o.noClass);
        } else if (name == "V") {
            ok = plain(o.verbose);
        } else if (name == "X") {
            ok = plain(o.reportAllExtras);
        } else if (name == "TS") {
            ok = plain(o.timestamps);
        } else if (name == "FP") {
            ok = plain(o.fullPaths);
        } else if (name == "BYTES") {
            ok = plain(o.rawBytes);
        } else if (name == "TEE") {
            ok = plain(o.tee);
        } else if (name == "LOG" || name == "LOG+" || name == "UNILOG" || name == "UNILOG+") {
            ok = hasValue && !value.empty();
            o.logFile = toSlashes(value);
            o.logAppend = name.back() == '+';
        } else if (name == "?") {
            ok = plain(o.help);
        } else if (!hasValue && std::find(std::begin(ignoredPlain), std::end(ignoredPlain), name) !=
                                    std::end(ignoredPlain)) {
            o.ignored.push_back("/" + name);
        } else if (hasValue && std::find(std::begin(ignoredWithValue), std::end(ignoredWithValue),
                                         name) != std::end(ignoredWithValue)) {
            ok = !value.empty();
            o.ignored.push_back("/" + name + ":" + value);
        } else {
            ok = false;
        }
        if (!ok) {
            return fail();
        }
    }

    if (o.help) {
        return result;
    }
    if (positional == 0) {
        result.error = ParseError{ParseError::NoSource, 0, {}};
    } else if (positional == 1) {
        result.error = ParseError{ParseError::NoDestination, 0, {}};
    }
    if (o.includes.empty()) {
        o.includes.push_back("*.*");
    }
    return result;
}

std::string Options::echo() const {
    std::string out;
    const auto add = [&out](const std::string& word) {
        if (!out.empty()) {
            out += ' ';
        }
        out += word;
    };
    for (const auto& pattern : includes) {
        add(pattern);
    }
    const std::pair<bool, const char*> leading[] = {
        {verbose, "/V"},      {reportAllExtras, "/X"}, {timestamps, "/TS"}, {fullPaths, "/FP"},
        {rawBytes, "/BYTES"}, {listOnly, "/L"},        {noSize, "/NS"},     {noClass, "/NC"},
        {noFileList, "/NFL"}, {noDirList, "/NDL"},     {noProgress, "/NP"}, {tee, "/TEE"},
        {subdirs, "/S"},      {emptyDirs, "/E"}};
    for (const auto& [on, word] : leading) {
        if (on) {
            add(word);
        }
    }
    if (levels != 0) {
        add("/LEV:" + std::to_string(levels));
    }
    add("/DCOPY:" + dirCopy.text());
    add(copy.text().empty() ? std::string("/NOCOPY") : "/COPY:" + copy.text());
    const std::pair<bool, const char*> middle[] = {{copyLinks, "/SL"},
                                                   {purge, "/PURGE"},
                                                   {mirror, "/MIR"},
                                                   {includeSame, "/IS"},
                                                   {includeTweaked, "/IT"},
                                                   {excludeChanged, "/XC"},
                                                   {excludeNewer, "/XN"},
                                                   {excludeOlder, "/XO"},
                                                   {excludeExtra, "/XX"},
                                                   {excludeLonely, "/XL"},
                                                   {fatTimes, "/FFT"},
                                                   {daylightSaving, "/DST"},
                                                   {skipLinkedDirs && skipLinkedFiles, "/XJ"},
                                                   {skipLinkedDirs && !skipLinkedFiles, "/XJD"},
                                                   {skipLinkedFiles && !skipLinkedDirs, "/XJF"}};
    for (const auto& [on, word] : middle) {
        if (on) {
            add(word);
        }
    }
    const std::pair<const std::optional<std::uint64_t>&, const char*> values[] = {
        {maxSize, "/MAX:"},   {minSize, "/MIN:"},          {maxAge, "/MAXAGE:"},
        {minAge, "/MINAGE:"}, {maxLastAccess, "/MAXLAD:"}, {minLastAccess, "/MINLAD:"}};
    for (const auto& [value, word] : values) {
        if (value) {
            add(word + std::to_string(*value));
        }
    }
    if (threads != 0) {
        add("/MT:" + std::to_string(threads));
    }
    add("/R:" + std::to_string(retries));
    add("/W:" + std::to_string(waitSeconds));
    for (const auto& word : ignored) {
        add(word);
    }
    return out;
}

} // namespace rc
