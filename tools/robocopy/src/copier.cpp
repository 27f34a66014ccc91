#include "copier.hpp"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace rc {

namespace {

std::atomic<unsigned long> tempCounter{0};

std::string tempName() {
    static const std::string prefix = std::string(tempPrefix) + std::to_string(getpid()) + ".";
    return prefix + std::to_string(tempCounter.fetch_add(1)) + ".tmp";
}

CopyOutcome copyLink(const CopyRequest& request, const std::string& temp) {
    std::vector<char> target(4096);
    for (;;) {
        const ssize_t n =
            readlinkat(request.sourceDir, request.sourceName.c_str(), target.data(), target.size());
        if (n < 0) {
            return {errno, 0};
        }
        if (static_cast<std::size_t>(n) < target.size()) {
            target.resize(static_cast<std::size_t>(n));
            break;
        }
        target.resize(target.size() * 2);
    }
    const std::string text(target.begin(), target.end());
    if (symlinkat(text.c_str(), request.destDir, temp.c_str()) != 0) {
        return {errno, 0};
    }
    struct stat st {};
    if (fstatat(request.sourceDir, request.sourceName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (request.flags.owner || request.flags.security) {
            (void)fchownat(request.destDir, temp.c_str(), st.st_uid, st.st_gid,
                           AT_SYMLINK_NOFOLLOW);
        }
        if (request.flags.times) {
            const timespec times[2] = {st.st_atim, st.st_mtim};
            (void)utimensat(request.destDir, temp.c_str(), times, AT_SYMLINK_NOFOLLOW);
        }
    }
    if (renameat(request.destDir, temp.c_str(), request.destDir, request.name.c_str()) != 0) {
        const int error = errno;
        unlinkat(request.destDir, temp.c_str(), 0);
        return {error, 0};
    }
    return {0, text.size()};
}

} // namespace

CopyOutcome copyFile(const CopyRequest& request) {
    const std::string temp = tempName();
    if (request.asLink) {
        return copyLink(request, temp);
    }

    // O_NONBLOCK keeps a FIFO that took the place of a file from stalling the job.
    const int in =
        openat(request.sourceDir, request.sourceName.c_str(),
               O_RDONLY | O_CLOEXEC | O_NONBLOCK | (request.followLink ? 0 : O_NOFOLLOW));
    if (in < 0) {
        return {errno, 0};
    }
    struct stat st {};
    if (fstat(in, &st) != 0) {
        const int error = errno;
        close(in);
        return {error, 0};
    }
    if (!S_ISREG(st.st_mode)) {
        close(in);
        return {EINVAL, 0};
    }
    // Created with its final mode where the umask allows, which saves a chmod;
    // special bits are set only once the data is complete.
    const bool keepMode = request.flags.attributes || request.flags.security;
    const mode_t mode = keepMode ? (st.st_mode & 07777) : request.newFileMode;
    const mode_t createMode = (mode & 07000) != 0 ? 0600 : (mode & 0777);
    const bool chmodLater = (mode & 07000) != 0 || (createMode & request.creationMask) != 0;
    const int out = openat(request.destDir, temp.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, createMode);
    if (out < 0) {
        const int error = errno;
        close(in);
        return {error, 0};
    }

    std::uint64_t copied = 0;
    int error = copyContents(in, out, st, request.source, copied);
    close(in);
    if (error == 0 && (request.flags.owner || request.flags.security)) {
        if (fchown(out, st.st_uid, st.st_gid) != 0 && errno != EPERM) {
            error = errno;
        }
    }
    if (error == 0 && chmodLater && fchmod(out, mode) != 0) {
        error = errno;
    }
    if (error == 0 && request.flags.times) {
        const timespec times[2] = {st.st_atim, st.st_mtim};
        if (futimens(out, times) != 0) {
            error = errno;
        }
    }
    if (close(out) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 &&
        renameat(request.destDir, temp.c_str(), request.destDir, request.name.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlinkat(request.destDir, temp.c_str(), 0);
        return {error, copied};
    }
    return {0, copied};
}

} // namespace rc
