#include "runtime/posix/cursor_tracker.hpp"

namespace rt::posix {

void CursorTracker::advance(std::string_view written) {
    for (const char c : written) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\n':
            ++row_;
            col_ = 0;
            break;
        case '\r':
            col_ = 0;
            break;
        case '\t':
            col_ = (col_ / 8 + 1) * 8;
            break;
        case '\b':
            if (col_ > 0) {
                --col_;
            }
            break;
        default:
            // UTF-8 continuation bytes belong to the character before them; other
            // control characters take no room.
            if (byte >= 0x20 && byte != 0x7F && (byte & 0xC0) != 0x80) {
                ++col_;
            }
            break;
        }
    }
}

} // namespace rt::posix
