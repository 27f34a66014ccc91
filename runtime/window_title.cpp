#include "runtime/window_title.hpp"

#include <algorithm>
#include <vector>

namespace rt {

namespace {

constexpr std::string_view ellipsis = "\xE2\x80\xA6";

bool continuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U;
}

bool driveRoot(std::string_view t, std::size_t at) {
    const auto letter = static_cast<unsigned char>(t[at]);
    return at + 2 < t.size() && ((letter | 0x20U) >= 'a' && (letter | 0x20U) <= 'z') &&
           t[at + 1] == ':' && t[at + 2] == '\\';
}

// Where the cut may start: behind the root ("C:\" or "\\") of the path that holds the
// last backslash, or the title's start when no path begins before it.
std::size_t pathMiddleStart(std::string_view t, std::size_t lastBackslash) {
    for (std::size_t at = lastBackslash + 1; at-- > 0;) {
        if (driveRoot(t, at)) {
            return std::min(at + 3, lastBackslash);
        }
        // A server path starts the title or follows a blank; a doubled backslash inside a
        // path (C:\Sicherung\\Montag) starts none.
        if (at + 1 < t.size() && t[at] == '\\' && t[at + 1] == '\\' &&
            (at == 0 || t[at - 1] == ' ')) {
            return std::min(at + 2, lastBackslash);
        }
    }
    return 0;
}

} // namespace

std::string oneLineTitle(std::string_view title) {
    std::string out;
    out.reserve(title.size());
    for (std::size_t i = 0; i < title.size(); ++i) {
        if (title[i] == '\r' || title[i] == '\n') {
            if (title[i] == '\r' && i + 1 < title.size() && title[i + 1] == '\n') {
                ++i;
            }
            out.push_back(' ');
        } else {
            out.push_back(title[i]);
        }
    }
    return out;
}

std::string shortenedTitle(std::string_view title, long width,
                           const std::function<long(std::string_view)>& measure) {
    if (measure(title) <= width) {
        return std::string(title);
    }
    // Character starts, so that no cut falls inside a character.
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < title.size(); ++i) {
        if (!continuationByte(title[i])) {
            starts.push_back(i);
        }
    }
    const std::size_t characters = starts.size();
    starts.push_back(title.size());
    const auto toCharacter = [&](std::size_t byte) {
        return static_cast<std::size_t>(std::lower_bound(starts.begin(), starts.end(), byte) -
                                        starts.begin());
    };

    const std::size_t lastBackslash = title.rfind('\\');
    const std::size_t keepFrom =
        lastBackslash == std::string_view::npos ? characters : toCharacter(lastBackslash);
    const std::size_t middleFrom = lastBackslash == std::string_view::npos
                                       ? 0
                                       : toCharacter(pathMiddleStart(title, lastBackslash));
    const std::size_t middle = keepFrom - middleFrom;

    std::string candidate(title);
    for (std::size_t cut = 1; cut <= keepFrom; ++cut) {
        std::size_t from = 0;
        if (cut <= middle) {
            // Centred in the path's middle: each longer cut holds the shorter one.
            from = middleFrom + (middle - cut) / 2;
        } else {
            from = keepFrom - cut;
        }
        candidate.assign(title.substr(0, starts[from]));
        candidate += ellipsis;
        candidate += title.substr(starts[from + cut]);
        if (measure(candidate) <= width) {
            break;
        }
    }
    return candidate;
}

} // namespace rt
