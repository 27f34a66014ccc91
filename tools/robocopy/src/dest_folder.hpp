// A destination folder the run holds open. Its final permission bits and
// times are set when the last holder lets go: after the walk has left it and
// every copy into it has ended, since each change in a folder changes its time.
#pragma once

#include "handle.hpp"

#include <ctime>
#include <optional>

namespace rc {

class DestFolder {
  public:
    DestFolder(Fd fd, const FolderState& state) : fd_(std::move(fd)), state_(state) {}
    ~DestFolder();
    DestFolder(const DestFolder&) = delete;
    DestFolder& operator=(const DestFolder&) = delete;

    int fd() const { return fd_.get(); }
    const FolderState& state() const { return state_; }

    // Called before each change in the folder: one whose bits keep the running
    // user out (a copy of a read-only source folder) is made writable for the
    // run and gets its bits back at the end.
    void prepareChange();

    // The bits and times (access, modification) the folder gets at the end.
    void finish(std::optional<unsigned> mode, std::optional<std::pair<timespec, timespec>> times);

  private:
    Fd fd_;
    FolderState state_;
    bool opened_ = false; // made writable for the run
    std::optional<unsigned> mode_;
    std::optional<std::pair<timespec, timespec>> times_;
};

} // namespace rc
