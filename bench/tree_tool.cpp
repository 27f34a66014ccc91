// Helpers of the scale benchmark (bench/scale_bench.sh), built by the script itself:
//
//   tree_tool make ROOT FILES [SEED]   a tree of FILES small files in folders of 10-200
//                                      files at depths 3 to 8, the same for the same seed
//   tree_tool stat ROOT THREADS        the re-run's floor: list every folder and one
//                                      statx of every entry, nothing else
//   tree_tool copy SRC DST THREADS     the first copy's floor: list, make each folder, open,
//                                      create and copy_file_range each file, nothing else
//
// The floors do only the system calls that the work cannot avoid, so a copy program's
// figure next to them says how far it is from the machine, not only from other tools.
// Threads share the work by folders; each prints nothing but its count at the end.
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "tree_tool: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(1);
}

void writeFile(const std::string& path, std::size_t size, char fill) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        fail(path);
    }
    const std::string data(size, fill);
    if (::write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size())) {
        fail(path);
    }
    ::close(fd);
}

// Folders of 10-200 files; each folder has up to four subfolders while the depth is
// below a random limit of 3-8, so the tree is broad near the top and thin below.
int makeTree(const std::string& root, long files, unsigned seed) {
    std::mt19937 random(seed);
    auto between = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    struct Pending {
        std::string path;
        int depth, limit;
    };
    std::deque<Pending> folders{{root, 0, 8}};
    if (::mkdir(root.c_str(), 0755) != 0 && errno != EEXIST) {
        fail(root);
    }
    long made = 0, folderNumber = 0;
    while (made < files) {
        if (folders.empty()) {
            folders.push_back({root + "/mehr" + std::to_string(folderNumber++), 1, 8});
            ::mkdir(folders.back().path.c_str(), 0755);
        }
        // Depth first, so that every branch reaches its depth before the files run out.
        const Pending folder = folders.back();
        folders.pop_back();
        const long count = std::min<long>(between(10, 200), files - made);
        for (long i = 0; i < count; ++i, ++made) {
            // Mostly small files, a few of some tens of KiB, as office folders hold.
            const std::size_t size = between(0, 9) == 0 ? between(8192, 65536) : between(64, 4096);
            writeFile(folder.path + "/datei" + std::to_string(i) + ".txt", size,
                      static_cast<char>('a' + made % 26));
        }
        if (folder.depth < folder.limit) {
            const int subfolders = folder.depth < 2 ? between(3, 6) : between(0, 3);
            for (int i = 0; i < subfolders; ++i) {
                const std::string path = folder.path + "/ordner" + std::to_string(folderNumber++);
                if (::mkdir(path.c_str(), 0755) != 0) {
                    fail(path);
                }
                folders.push_back(
                    {path, folder.depth + 1, folder.depth == 0 ? between(3, 8) : folder.limit});
            }
        }
    }
    std::printf("%ld files, %ld folders\n", made, folderNumber + 1);
    return 0;
}

// A queue of folders shared by the threads; the work ends when it is empty and no
// thread is still listing (a listing may add folders).
class FolderQueue {
  public:
    void push(std::string source, std::string dest) {
        std::lock_guard lock(mutex_);
        items_.push_back({std::move(source), std::move(dest)});
        wake_.notify_one();
    }
    bool pop(std::string& source, std::string& dest) {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] { return !items_.empty() || busy_ == 0; });
        if (items_.empty()) {
            return false;
        }
        source = std::move(items_.front().first);
        dest = std::move(items_.front().second);
        items_.pop_front();
        ++busy_;
        return true;
    }
    void done() {
        std::lock_guard lock(mutex_);
        if (--busy_ == 0 && items_.empty()) {
            wake_.notify_all();
        }
    }

  private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::pair<std::string, std::string>> items_;
    int busy_ = 0;
};

std::atomic<long> entriesSeen{0};

// One folder of the floor: every entry statx'ed (the source, and its counterpart in
// "dest" when one is given), files copied when "copy" is set.
void floorFolder(FolderQueue& queue, const std::string& source, const std::string& dest, bool copy,
                 bool statDest) {
    DIR* dir = ::opendir(source.c_str());
    if (dir == nullptr) {
        fail(source);
    }
    const int sourceFd = ::dirfd(dir);
    int destFd = -1;
    if (!dest.empty()) {
        if (copy && ::mkdir(dest.c_str(), 0755) != 0 && errno != EEXIST) {
            fail(dest);
        }
        destFd = ::open(dest.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    long seen = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        struct statx info {};
        if (::statx(sourceFd, entry->d_name, AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &info) != 0) {
            fail(source + "/" + entry->d_name);
        }
        ++seen;
        if (statDest && destFd >= 0) {
            struct statx other {};
            ::statx(destFd, entry->d_name, AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &other);
        }
        const std::string child = dest.empty() ? std::string() : dest + "/" + entry->d_name;
        if (S_ISDIR(info.stx_mode)) {
            queue.push(source + "/" + entry->d_name, child);
        } else if (copy && S_ISREG(info.stx_mode)) {
            const int in = ::openat(sourceFd, entry->d_name, O_RDONLY | O_CLOEXEC);
            const int out =
                ::openat(destFd, entry->d_name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (in < 0 || out < 0) {
                fail(child);
            }
            for (std::uint64_t left = info.stx_size; left > 0;) {
                const ssize_t put = ::copy_file_range(in, nullptr, out, nullptr, left, 0);
                if (put <= 0) {
                    fail(child);
                }
                left -= static_cast<std::uint64_t>(put);
            }
            ::close(in);
            ::close(out);
        }
    }
    if (destFd >= 0) {
        ::close(destFd);
    }
    ::closedir(dir);
    entriesSeen += seen;
}

int floorRun(const std::string& source, const std::string& dest, int threads, bool copy) {
    FolderQueue queue;
    queue.push(source, dest);
    std::vector<std::thread> workers;
    for (int i = 0; i < std::max(1, threads); ++i) {
        workers.emplace_back([&] {
            std::string from, to;
            while (queue.pop(from, to)) {
                floorFolder(queue, from, to, copy, !copy && !dest.empty());
                queue.done();
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    std::printf("%ld entries\n", entriesSeen.load());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 3 && args[0] == "make") {
        return makeTree(args[1], std::atol(args[2].c_str()),
                        args.size() > 3 ? static_cast<unsigned>(std::atol(args[3].c_str())) : 1);
    }
    if (args.size() == 4 && args[0] == "stat") {
        return floorRun(args[1], args[2], std::atoi(args[3].c_str()), false);
    }
    if (args.size() == 4 && args[0] == "copy") {
        return floorRun(args[1], args[2], std::atoi(args[3].c_str()), true);
    }
    std::fprintf(stderr, "usage: tree_tool make ROOT FILES [SEED] | stat SRC DST THREADS | "
                         "copy SRC DST THREADS\n");
    return 2;
}
