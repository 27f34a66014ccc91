#include "dest_folder.hpp"

#include <sys/stat.h>

namespace rc {

DestFolder::~DestFolder() {
    // Failures here change nothing that was copied; the folder keeps what it has.
    if (mode_ || opened_) {
        (void)fchmod(fd_.get(), mode_ ? *mode_ : state_.mode);
    }
    if (times_) {
        const timespec times[2] = {times_->first, times_->second};
        (void)futimens(fd_.get(), times);
    }
}

void DestFolder::prepareChange() {
    if (!opened_ && fd_.valid()) {
        opened_ = makeWritable(fd_.get(), state_);
    }
}

void DestFolder::finish(std::optional<unsigned> mode,
                        std::optional<std::pair<timespec, timespec>> times) {
    mode_ = mode;
    times_ = times;
}

} // namespace rc
