#include "data_copy.hpp"

#include <algorithm>
#include <atomic>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace rc {

namespace {

std::atomic<FaultHook> faultHook{nullptr};
std::atomic<CopyMethod> firstMethod{CopyMethod::clone};

constexpr std::uint64_t rangeChunk = std::uint64_t(1) << 30;
constexpr std::size_t bufferSize = 256 * 1024;

int injected(const std::string& source, std::uint64_t copied) {
    const FaultHook hook = faultHook.load();
    return hook ? hook(source, copied) : 0;
}

bool sameVersion(const struct stat& a, const struct stat& b) {
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
           a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// The answers with which the kernel says that copy_file_range is not offered
// for this pair of files, rather than that the copy failed.
bool rangeNotOffered(int error) {
    return error == EXDEV || error == ENOSYS || error == EOPNOTSUPP || error == EINVAL ||
           error == EBADF || error == ETXTBSY;
}

// One copy of one file's data. Every span is copied to the same offset in
// "out", so the parts between spans stay holes.
class SpanCopy {
  public:
    SpanCopy(int in, int out, CopyMethod method, const std::string& source, std::uint64_t& copied)
        : in_(in), out_(out), method_(method), source_(source), copied_(copied) {}

    // Copies the bytes [offset, end); the source ending before "end" means it
    // shrank while it was copied.
    int copy(std::uint64_t offset, std::uint64_t end) {
        if (method_ == CopyMethod::range) {
            if (const int error = byRange(offset, end)) {
                return error;
            }
        }
        return offset < end ? byReadWrite(offset, end) : 0;
    }

  private:
    int byRange(std::uint64_t& offset, std::uint64_t end) {
        while (offset < end) {
            loff_t inOffset = static_cast<loff_t>(offset);
            loff_t outOffset = inOffset;
            const ssize_t n =
                copy_file_range(in_, &inOffset, out_, &outOffset,
                                static_cast<std::size_t>(std::min(end - offset, rangeChunk)), 0);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                if (!rangeWorked_ && rangeNotOffered(errno)) {
                    method_ = CopyMethod::readWrite;
                    return 0;
                }
                return errno;
            }
            if (n == 0) {
                if (!rangeWorked_) {
                    // Some file systems report no data here; read it instead.
                    method_ = CopyMethod::readWrite;
                    return 0;
                }
                return sourceChangedError;
            }
            rangeWorked_ = true;
            if (const int fault = advance(offset, static_cast<std::uint64_t>(n))) {
                return fault;
            }
        }
        return 0;
    }

    int byReadWrite(std::uint64_t offset, std::uint64_t end) {
        thread_local std::vector<char> buffer(bufferSize);
        while (offset < end) {
            const std::size_t want =
                static_cast<std::size_t>(std::min<std::uint64_t>(end - offset, buffer.size()));
            const ssize_t got = pread(in_, buffer.data(), want, static_cast<off_t>(offset));
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return errno;
            }
            if (got == 0) {
                return sourceChangedError;
            }
            if (const int error = writeAll(buffer.data(), static_cast<std::size_t>(got), offset)) {
                return error;
            }
            if (const int fault = advance(offset, static_cast<std::uint64_t>(got))) {
                return fault;
            }
        }
        return 0;
    }

    int writeAll(const char* data, std::size_t size, std::uint64_t offset) {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t put =
                pwrite(out_, data + done, size - done, static_cast<off_t>(offset + done));
            if (put < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return errno;
            }
            done += static_cast<std::size_t>(put);
        }
        return 0;
    }

    int advance(std::uint64_t& offset, std::uint64_t bytes) {
        offset += bytes;
        copied_ += bytes;
        return injected(source_, copied_);
    }

    int in_;
    int out_;
    CopyMethod method_;
    bool rangeWorked_ = false;
    const std::string& source_;
    std::uint64_t& copied_;
};

// Copies the data spans of "in" below "size" and gives "out" that size, so
// that holes inside and at the end stay holes. Where the file system cannot
// tell holes from data, everything counts as data.
int copySpans(SpanCopy& spans, int in, int out, const struct stat& before) {
    const auto size = static_cast<std::uint64_t>(before.st_size);
    // A file with as many blocks as bytes has no holes: no need to look.
    const bool mayHaveHoles = static_cast<std::uint64_t>(before.st_blocks) * 512 < size;
    std::uint64_t offset = 0;
    while (offset < size) {
        std::uint64_t end = size;
        if (mayHaveHoles) {
            const off_t data = lseek(in, static_cast<off_t>(offset), SEEK_DATA);
            if (data < 0 && errno == ENXIO) {
                break; // only a hole up to the end
            }
            if (data >= 0) {
                offset = static_cast<std::uint64_t>(data);
                const off_t hole = lseek(in, data, SEEK_HOLE);
                end = hole < 0 ? size : std::min(size, static_cast<std::uint64_t>(hole));
            }
            if (offset >= size) {
                break;
            }
        }
        if (const int error = spans.copy(offset, end)) {
            return error;
        }
        offset = end;
    }
    const off_t written = lseek(out, 0, SEEK_END);
    if (written < 0) {
        return errno;
    }
    if (static_cast<std::uint64_t>(written) != size && ftruncate(out, before.st_size) != 0) {
        return errno;
    }
    return 0;
}

} // namespace

void setFaultHook(FaultHook hook) {
    faultHook.store(hook);
}

void setFirstCopyMethod(CopyMethod method) {
    firstMethod.store(method);
}

int copyContents(int in, int out, const struct stat& before, const std::string& source,
                 std::uint64_t& copied) {
    CopyMethod method = firstMethod.load();
    int error = 0;
    bool cloned = false;
    if (before.st_size > 0 && method == CopyMethod::clone) {
        // Shares the blocks, holes included. Whatever a failed clone may have
        // left in "out" is either overwritten or cut off by the copy below.
        cloned = ioctl(out, FICLONE, in) == 0;
        if (cloned) {
            copied = static_cast<std::uint64_t>(before.st_size);
            error = injected(source, copied);
        }
        method = CopyMethod::range;
    }
    if (!cloned && before.st_size > 0) {
        SpanCopy spans(in, out, method, source, copied);
        error = copySpans(spans, in, out, before);
    }
    if (error != 0) {
        return error;
    }
    struct stat after {};
    if (fstat(in, &after) != 0) {
        return errno;
    }
    return sameVersion(before, after) ? 0 : sourceChangedError;
}

} // namespace rc
