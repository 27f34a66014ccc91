// A window title as it is shown in a title bar: on one line, and shortened inside its
// last path when even the widest window cannot hold it. The program's own texts are not
// changed; the Windows layer shows its titles in this form.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace rt {

// Every line end (CR LF, CR or LF) becomes one blank.
std::string oneLineTitle(std::string_view title);

// The title when `measure` gives it a width of at most `width`. Otherwise characters are
// taken out of the middle of its last path (from the drive or server on to the last
// backslash) and "…" stands in their place, as few as make it fit; when the whole middle
// is not enough, the cut reaches further towards the title's start. The text from the
// last backslash on, the folder name at the end, is always kept whole. The title is
// UTF-8 and is cut only between characters.
std::string shortenedTitle(std::string_view title, long width,
                           const std::function<long(std::string_view)>& measure);

} // namespace rt
