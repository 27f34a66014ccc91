// Whether another process has a file open: asked of the kernel through a write lease
// where it can answer, found through /proc where it cannot.
#pragma once

namespace rt::posix {

enum class SoleOpen {
    yes,    // no other open file description of the file exists anywhere
    no,     // another one exists (this process's own, or another process's)
    unknown // the kernel cannot say: no lease on this file system or for this user
};

// Asks the kernel whether "fd" is the only open file description of its file, by
// taking a write lease and giving it back at once. Leases are granted only to the
// file's owner (or with CAP_LEASE) and only on local file systems.
SoleOpen soleOpenDescription(int fd);

// True when a process other than this one has an open file descriptor for the file
// with this device and inode number. Processes whose descriptors cannot be read
// (other users' ones, without the right to look) are not seen.
bool openInOtherProcess(unsigned long long device, unsigned long long inode);

} // namespace rt::posix
