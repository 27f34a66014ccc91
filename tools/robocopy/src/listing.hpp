// Reading one folder of the source or the destination: every entry with the
// facts the walk compares. An entry that cannot be examined is kept with its
// error, never taken for absent.
#pragma once

#include "handle.hpp"
#include "selection.hpp"

#include <ctime>
#include <string>
#include <vector>

namespace rc {

struct Entry {
    std::string name;
    int error = 0;        // errno when the entry could not be examined
    bool isDir = false;   // a folder (in the source: also a followed link to one)
    bool isLink = false;  // a symbolic link (in the source: followed unless /SL)
    bool special = false; // FIFO, socket or device: never copied
    bool broken = false;  // a source link whose target is missing
    FileFacts facts;
    Identity id;
    timespec atime{}, mtime{};
};

struct Listing {
    int error = 0;              // errno when the folder could not be opened or read
    FolderState folder;         // the folder that was read
    std::vector<Entry> entries; // sorted by name
    bool complete() const;      // every entry could be examined
};

enum class Side { Source, Dest };

// Lists the open folder "fd". In the source, symbolic links are followed
// unless "keepLinks" (/SL); in the destination they are never followed.
Listing listFolder(int fd, Side side, bool keepLinks);

// Opens the folder "name" of the open folder "parent" as the walk does and
// lists it.
Listing listFolderAt(int parent, const std::string& name, bool followLink, Side side,
                     bool keepLinks);

} // namespace rc
