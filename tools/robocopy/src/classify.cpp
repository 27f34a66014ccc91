#include "classify.hpp"

namespace rc {

namespace {

constexpr std::int64_t second = 1000000000;

bool timesEqual(std::int64_t a, std::int64_t b, const TimeRules& rules) {
    const std::int64_t diff = a > b ? a - b : b - a;
    const std::int64_t slack = rules.twoSeconds ? 2 * second : 0;
    if (diff <= slack) {
        return true;
    }
    if (rules.wholeHour) {
        const std::int64_t off = diff > 3600 * second ? diff - 3600 * second : 3600 * second - diff;
        return off <= slack;
    }
    return false;
}

} // namespace

FileClass classify(const FileFacts& source, const FileFacts& dest, const TimeRules& rules) {
    if (timesEqual(source.mtimeNs, dest.mtimeNs, rules)) {
        if (source.size != dest.size) {
            return FileClass::Changed;
        }
        if (rules.compareMode && source.mode != dest.mode) {
            return FileClass::Tweaked;
        }
        return FileClass::Same;
    }
    return source.mtimeNs > dest.mtimeNs ? FileClass::Newer : FileClass::Older;
}

bool wantsCopy(FileClass cls, const Options& options) {
    switch (cls) {
    case FileClass::Lonely:
        return !options.excludeLonely;
    case FileClass::Same:
        return options.includeSame;
    case FileClass::Tweaked:
        return options.includeTweaked || options.includeSame;
    case FileClass::Changed:
        return !options.excludeChanged;
    case FileClass::Newer:
        return !options.excludeNewer;
    case FileClass::Older:
        return !options.excludeOlder;
    }
    return false;
}

const char* classTag(FileClass cls, bool copied) {
    switch (cls) {
    case FileClass::Lonely:
        return copied ? "New File" : "lonely";
    case FileClass::Same:
        return copied ? "Same" : "same";
    case FileClass::Tweaked:
        return copied ? "Tweaked" : "tweaked";
    case FileClass::Changed:
        return copied ? "Changed" : "changed";
    case FileClass::Newer:
        return copied ? "Newer" : "newer";
    case FileClass::Older:
        return copied ? "Older" : "older";
    }
    return "";
}

} // namespace rc
