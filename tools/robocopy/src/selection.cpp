#include "selection.hpp"

#include "paths.hpp"

#include <ctime>

namespace rc {

const char* exclusionTag(Exclusion reason) {
    switch (reason) {
    case Exclusion::Named:
        return "named";
    case Exclusion::Large:
        return "large";
    case Exclusion::Small:
        return "small";
    case Exclusion::TooOld:
        return "too old";
    case Exclusion::TooNew:
        return "too new";
    case Exclusion::NotIncluded:
    case Exclusion::None:
        break;
    }
    return "";
}

std::int64_t ageCutoff(std::uint64_t value, std::int64_t now) {
    if (value < 1900) {
        return now - static_cast<std::int64_t>(value) * 86400;
    }
    std::tm date{};
    date.tm_year = static_cast<int>(value / 10000) - 1900;
    date.tm_mon = static_cast<int>(value / 100 % 100) - 1;
    date.tm_mday = static_cast<int>(value % 100);
    date.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&date));
}

std::vector<Selector::Rule> Selector::rules(const std::vector<std::string>& words) {
    std::vector<Rule> out;
    for (const auto& word : words) {
        if (word.find('/') != std::string::npos) {
            out.push_back({absolutePath(word), true});
        } else {
            out.push_back({word, false});
        }
    }
    return out;
}

bool Selector::matches(const std::vector<Rule>& list, std::string_view name,
                       std::string_view path) {
    for (const auto& rule : list) {
        if (matchName(rule.pattern, rule.isPath ? path : name)) {
            return true;
        }
    }
    return false;
}

Selector::Selector(const Options& options, std::int64_t now)
    : includes_(options.includes), excludeFiles_(rules(options.excludeFiles)),
      excludeDirs_(rules(options.excludeDirs)), maxSize_(options.maxSize),
      minSize_(options.minSize) {
    const auto cutoff = [now](const std::optional<std::uint64_t>& v) {
        return v ? std::optional<std::int64_t>(ageCutoff(*v, now)) : std::nullopt;
    };
    oldest_ = cutoff(options.maxAge);
    newest_ = cutoff(options.minAge);
    oldestAccess_ = cutoff(options.maxLastAccess);
    newestAccess_ = cutoff(options.minLastAccess);
}

bool Selector::included(std::string_view name) const {
    for (const auto& pattern : includes_) {
        if (matchName(pattern, name)) {
            return true;
        }
    }
    return false;
}

bool Selector::fileNamedOut(std::string_view name, std::string_view fullPath) const {
    return matches(excludeFiles_, name, fullPath);
}

bool Selector::dirNamedOut(std::string_view name, std::string_view sourcePath,
                           std::string_view destPath) const {
    return matches(excludeDirs_, name, sourcePath) || matches(excludeDirs_, name, destPath);
}

Exclusion Selector::file(std::string_view name, std::string_view fullPath,
                         const FileFacts& facts) const {
    if (!included(name)) {
        return Exclusion::NotIncluded;
    }
    if (fileNamedOut(name, fullPath)) {
        return Exclusion::Named;
    }
    if (maxSize_ && facts.size > *maxSize_) {
        return Exclusion::Large;
    }
    if (minSize_ && facts.size < *minSize_) {
        return Exclusion::Small;
    }
    const std::int64_t mtime = facts.mtimeNs / 1000000000;
    const std::int64_t atime = facts.atimeNs / 1000000000;
    if ((oldest_ && mtime < *oldest_) || (oldestAccess_ && atime < *oldestAccess_)) {
        return Exclusion::TooOld;
    }
    if ((newest_ && mtime > *newest_) || (newestAccess_ && atime > *newestAccess_)) {
        return Exclusion::TooNew;
    }
    return Exclusion::None;
}

} // namespace rc
