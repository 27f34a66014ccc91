// Whether another process has a file open, found through /proc.
#pragma once

namespace rt::posix {

// True when a process other than this one has an open file descriptor for the file
// with this device and inode number. Processes whose descriptors cannot be read
// (other users' ones, without the right to look) are not seen.
bool openInOtherProcess(unsigned long long device, unsigned long long inode);

} // namespace rt::posix
