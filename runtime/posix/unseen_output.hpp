// Console output that nobody can see: a program started from a desktop launcher writes
// its console lines into /dev/null or a session log. The last part of that text is kept
// so that it can be shown to the person at the end of the run, bounded in lines and bytes
// however much was written.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rt::posix {

class UnseenOutput {
  public:
    // At most maxLines lines of at most maxBytes bytes in all are shown (besides the mark
    // that lines were left out).
    explicit UnseenOutput(std::size_t maxLines = 20, std::size_t maxBytes = 4096);

    void add(std::string_view text);
    void clear();

    // The last lines written, joined by "\n". CR LF, LF CR, LF and a CR that does not
    // follow a line end each end one line. Empty lines at the start and the end are left
    // out; when earlier lines were left out for the bounds, the first line is "…". A
    // line longer than the byte bound shows its end. Empty when only blanks and line ends
    // were written.
    std::string text() const;

  private:
    std::size_t maxLines_;
    std::size_t maxBytes_;
    // The end of what was written; its first line may be cut when dropped_ is set.
    std::string kept_;
    bool dropped_ = false;
};

} // namespace rt::posix
