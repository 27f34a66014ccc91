// Copying one file's data by each way the file systems offer: every byte
// arrives, holes stay holes, the size is exact, and the read/write way that
// network mounts force works as well as the in-kernel ones.
#include "data_copy.hpp"
#include "support.hpp"

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace rctest;

namespace {

constexpr rc::CopyMethod everyMethod[] = {rc::CopyMethod::clone, rc::CopyMethod::range,
                                          rc::CopyMethod::readWrite};

const char* methodName(rc::CopyMethod method) {
    switch (method) {
    case rc::CopyMethod::clone:
        return "clone";
    case rc::CopyMethod::range:
        return "range";
    case rc::CopyMethod::readWrite:
        return "read/write";
    }
    return "?";
}

struct MethodGuard {
    explicit MethodGuard(rc::CopyMethod method) { rc::setFirstCopyMethod(method); }
    ~MethodGuard() { rc::setFirstCopyMethod(rc::CopyMethod::clone); }
};

struct Span {
    std::uint64_t offset;
    std::size_t length;
};

// A file of "size" bytes that holds data only in "spans"; the rest are holes.
void writeSparse(const std::string& path, std::uint64_t size, const std::vector<Span>& spans) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    for (const Span& span : spans) {
        const std::string data = pattern(span.length, static_cast<unsigned>(span.offset));
        ASSERT_EQ(pwrite(fd, data.data(), data.size(), static_cast<off_t>(span.offset)),
                  static_cast<ssize_t>(data.size()));
    }
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(size)), 0);
    close(fd);
}

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st;
}

// Copies "in" to a new file "out" the way the copier does; returns the result.
int copyContents(const std::string& in, const std::string& out, std::uint64_t& copied) {
    const int from = open(in.c_str(), O_RDONLY);
    const int to = open(out.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    EXPECT_GE(from, 0);
    EXPECT_GE(to, 0);
    struct stat before {};
    EXPECT_EQ(fstat(from, &before), 0);
    const int result = rc::copyContents(from, to, before, in, copied);
    close(from);
    close(to);
    return result;
}

// A btrfs file system in an image file, mounted below "dir" for the life of
// the object; empty path when the machine cannot (not root, no mkfs.btrfs, no
// loop devices).
class SharingFileSystem {
  public:
    explicit SharingFileSystem(const TempDir& dir) {
        const std::string image = dir / "btrfs.img";
        const std::string mountPoint = dir / "mnt";
        if (geteuid() != 0 || access("/usr/sbin/mkfs.btrfs", X_OK) != 0) {
            return;
        }
        makeDirs(mountPoint);
        if (std::system(("truncate -s 256M '" + image + "' && mkfs.btrfs -q '" + image +
                         "' >/dev/null 2>&1 && mount -o loop '" + image + "' '" + mountPoint +
                         "' 2>/dev/null")
                            .c_str()) == 0) {
            path_ = mountPoint;
        }
    }
    ~SharingFileSystem() {
        if (!path_.empty()) {
            (void)std::system(("umount '" + path_ + "'").c_str());
        }
    }
    SharingFileSystem(const SharingFileSystem&) = delete;
    SharingFileSystem& operator=(const SharingFileSystem&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Grows the source by a few bytes the first time it is called.
std::atomic<bool> growPending{false};
int growSourceOnce(const std::string& source, std::uint64_t) {
    if (growPending.exchange(false)) {
        const int fd = open(source.c_str(), O_WRONLY | O_APPEND);
        EXPECT_EQ(write(fd, "more", 4), 4);
        close(fd);
    }
    return 0;
}

} // namespace

TEST(CopyContents, EveryMethodCopiesEveryByte) {
    // Around the read/write buffer (256 KiB): reads that fill it, fall short of
    // it at the end, and files smaller than one page.
    const std::size_t sizes[] = {0, 1, 4095, 256 * 1024, 256 * 1024 + 17, 3 * 1000 * 1000};
    for (const rc::CopyMethod method : everyMethod) {
        const MethodGuard guard(method);
        for (const std::size_t size : sizes) {
            TempDir dir;
            const std::string data = pattern(size);
            writeFile(dir / "in", data);
            std::uint64_t copied = 0;
            EXPECT_EQ(copyContents(dir / "in", dir / "out", copied), 0);
            EXPECT_EQ(copied, size) << methodName(method) << " " << size;
            EXPECT_TRUE(readFile(dir / "out") == data) << methodName(method) << " " << size;
        }
    }
}

TEST(CopyContents, HolesStayHolesAndSizeIsExact) {
    constexpr std::uint64_t mib = 1024 * 1024;
    const struct {
        const char* layout;
        std::uint64_t size;
        std::vector<Span> spans;
    } cases[] = {
        {"only a hole", 8 * mib, {}},
        {"hole first, data at the very end", 8 * mib, {{8 * mib - 65536, 65536}}},
        {"data, holes between, trailing hole",
         16 * mib,
         {{0, 65536}, {3 * mib, 300000}, {9 * mib, 4096}}},
        {"data running into the trailing hole's page", 5 * mib + 123, {{mib, 70001}}},
    };
    for (const rc::CopyMethod method : everyMethod) {
        const MethodGuard guard(method);
        for (const auto& c : cases) {
            TempDir dir;
            writeSparse(dir / "in", c.size, c.spans);
            std::uint64_t copied = 0;
            ASSERT_EQ(copyContents(dir / "in", dir / "out", copied), 0) << c.layout;
            const struct stat in = statOf(dir / "in");
            const struct stat out = statOf(dir / "out");
            const std::string where = std::string(c.layout) + ", " + methodName(method);
            EXPECT_EQ(out.st_size, in.st_size) << where;
            EXPECT_LE(out.st_blocks, in.st_blocks) << where;
            EXPECT_TRUE(readFile(dir / "out") == readFile(dir / "in")) << where;
        }
    }
}

// Across two file systems the kernel refuses copy_file_range (EXDEV), as it
// does on many network mounts: the copy reads and writes instead, silently.
TEST(CopyContents, SecondFileSystemFallsBackToReadWrite) {
    TempDir dir;
    const std::string shm = "/dev/shm";
    struct stat shmStat {};
    if (stat(shm.c_str(), &shmStat) != 0 || shmStat.st_dev == statOf(dir.path()).st_dev ||
        access(shm.c_str(), W_OK) != 0) {
        GTEST_SKIP() << "needs a writable /dev/shm on another file system than " << dir.path();
    }
    std::string other = shm + "/rc-test-XXXXXX";
    ASSERT_NE(mkdtemp(other.data()), nullptr);
    const std::string in = other + "/in";
    writeSparse(in, 6 * 1024 * 1024, {{4096, 300000}, {2 * 1024 * 1024, 4096}});
    std::uint64_t copied = 0;
    const int result = copyContents(in, dir / "out", copied);
    const std::string original = readFile(in);
    const struct stat inStat = statOf(in);
    unlink(in.c_str());
    rmdir(other.c_str());
    ASSERT_EQ(result, 0);
    EXPECT_LT(copied, 1024u * 1024u); // the holes were not read
    EXPECT_TRUE(readFile(dir / "out") == original);
    EXPECT_LE(statOf(dir / "out").st_blocks, inStat.st_blocks);
}

// Where the file system shares blocks, the whole file is one clone, holes
// included, and a source that changed is still caught.
TEST(CopyContents, CloneWhereTheFileSystemSharesBlocks) {
    TempDir dir;
    const SharingFileSystem btrfs(dir);
    if (btrfs.path().empty()) {
        GTEST_SKIP() << "needs root, mkfs.btrfs (btrfs-progs) and a loop device";
    }
    constexpr std::uint64_t size = 8 * 1024 * 1024;
    const std::string in = btrfs.path() + "/in";
    writeSparse(in, size, {{0, 65536}, {3 * 1024 * 1024, 4096}});
    std::uint64_t copied = 0;
    ASSERT_EQ(copyContents(in, btrfs.path() + "/out", copied), 0);
    EXPECT_EQ(copied, size); // one step for the whole file: a clone
    EXPECT_TRUE(readFile(btrfs.path() + "/out") == readFile(in));
    EXPECT_EQ(statOf(btrfs.path() + "/out").st_size, static_cast<off_t>(size));
    EXPECT_LE(statOf(btrfs.path() + "/out").st_blocks, statOf(in).st_blocks);

    growPending = true;
    rc::setFaultHook(growSourceOnce);
    const int changed = copyContents(in, btrfs.path() + "/again", copied);
    rc::setFaultHook(nullptr);
    EXPECT_EQ(changed, rc::sourceChangedError);
}
