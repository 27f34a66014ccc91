#include "job.hpp"

#include "paths.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>

namespace rc {

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::int64_t nanoseconds(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

FileFacts factsOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_size), nanoseconds(st.st_mtim),
            nanoseconds(st.st_atim), static_cast<unsigned>(st.st_mode & 07777)};
}

// Opens a folder for reading; "noFollow" refuses a symbolic link in its place.
DIR* openFolder(const std::string& path, bool noFollow) {
    const int fd =
        open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0));
    if (fd < 0) {
        return nullptr;
    }
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        close(fd);
    }
    return dir;
}

bool isDotName(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

int removeTreeAt(int parentFd, const char* name, dev_t device) {
    const int fd = openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOTDIR || errno == ELOOP) {
            return unlinkat(parentFd, name, 0) == 0 ? 0 : errno;
        }
        return errno;
    }
    struct stat self {};
    if (fstat(fd, &self) != 0 || self.st_dev != device) {
        close(fd);
        return EXDEV; // a mount point: never reach into another file system
    }
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        const int error = errno;
        close(fd);
        return error;
    }
    int result = 0;
    std::vector<std::pair<std::string, bool>> names;
    while (const dirent* entry = readdir(dir)) {
        if (isDotName(entry->d_name)) {
            continue;
        }
        bool isDir = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            isDir =
                fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
        }
        names.emplace_back(entry->d_name, isDir);
    }
    for (const auto& [child, isDir] : names) {
        const int error = isDir ? removeTreeAt(fd, child.c_str(), device)
                                : (unlinkat(fd, child.c_str(), 0) == 0 ? 0 : errno);
        if (error != 0 && result == 0) {
            result = error;
        }
    }
    closedir(dir);
    if (result != 0) {
        return result;
    }
    return unlinkat(parentFd, name, AT_REMOVEDIR) == 0 ? 0 : errno;
}

} // namespace

int removeTree(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string parent = slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = path.substr(slash + 1);
    const int parentFd = open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0) {
        return errno;
    }
    struct stat st {};
    int result = 0;
    if (fstat(parentFd, &st) != 0) {
        result = errno;
    } else {
        result = removeTreeAt(parentFd, name.c_str(), st.st_dev);
    }
    close(parentFd);
    return result;
}

// Runs copies on a few threads; the walk goes on while they work.
class WorkerPool {
  public:
    explicit WorkerPool(unsigned threads) {
        for (unsigned i = 0; i < threads; ++i) {
            workers_.emplace_back([this] { work(); });
        }
    }
    ~WorkerPool() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        ready_.notify_all();
        for (auto& worker : workers_) {
            worker.join();
        }
    }
    void submit(std::function<void()> task) {
        std::unique_lock<std::mutex> lock(mutex_);
        space_.wait(lock, [this] { return queue_.size() < limit_; });
        queue_.push_back(std::move(task));
        lock.unlock();
        ready_.notify_one();
    }
    void drain() {
        std::unique_lock<std::mutex> lock(mutex_);
        idle_.wait(lock, [this] { return queue_.empty() && busy_ == 0; });
    }

  private:
    void work() {
        for (;;) {
            std::unique_lock<std::mutex> lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) {
                return;
            }
            auto task = std::move(queue_.front());
            queue_.pop_front();
            ++busy_;
            lock.unlock();
            space_.notify_one();
            task();
            lock.lock();
            --busy_;
            if (queue_.empty() && busy_ == 0) {
                idle_.notify_all();
            }
        }
    }

    static constexpr std::size_t limit_ = 4096;
    std::mutex mutex_;
    std::condition_variable ready_, space_, idle_;
    std::deque<std::function<void()>> queue_;
    std::vector<std::thread> workers_;
    unsigned busy_ = 0;
    bool stopping_ = false;
};

struct Job::Entry {
    std::string name;
    bool isDir = false;
    bool isLink = false;  // a symbolic link (in the source: followed unless /SL)
    bool special = false; // FIFO, socket or device: never copied
    bool broken = false;  // a source link whose target is missing
    FileFacts facts;
    dev_t dev = 0;
    ino_t ino = 0;
    timespec atime{}, mtime{};
};

struct Job::Node {
    std::string src, dst;
    Node* parent = nullptr;
    unsigned level = 1;
    bool exists = false; // the destination folder is there (or, with /L, would be)
    bool created = false;
    bool failed = false;
    dev_t dev = 0;
    ino_t ino = 0;
    unsigned mode = 0;
    timespec atime{}, mtime{};
    bool mismatch = false; // the destination holds a file where the source has this folder
    bool touched = false;  // entries were added or removed in the destination folder
    unsigned destMode = 0;
    std::int64_t destMtimeNs = 0;
    std::shared_ptr<void> pendingSource, pendingDest; // listings being read ahead
};

struct Job::Listing {
    std::vector<Entry> source, dest;
    int sourceError = 0, destError = 0;
    bool sourceOk = false, destOk = true;
};

// Reads folder listings ahead on a few threads while the walk handles the
// folders before them; most of a run over an unchanged tree is spent in stat.
// The source and destination sides of a folder are read as separate tasks.
class Job::ListingQueue {
  public:
    struct Slot {
        std::string path;
        bool isDest = false;
        enum State { Queued, Running, Done } state = Queued;
        std::vector<Entry> entries;
        int error = 0;
        bool ok = false;
    };

    ListingQueue(const Job& job, unsigned threads) : job_(job) {
        for (unsigned i = 0; i < threads; ++i) {
            threads_.emplace_back([this] { work(); });
        }
    }
    ~ListingQueue() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        ready_.notify_all();
        for (auto& thread : threads_) {
            thread.join();
        }
    }
    ListingQueue(const ListingQueue&) = delete;
    ListingQueue& operator=(const ListingQueue&) = delete;

    // Queues the folders so that the first one is read first.
    void request(Node* const* nodes, std::size_t count) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            for (std::size_t i = count; i-- > 0;) {
                Node& node = *nodes[i];
                if (node.exists && !node.created) {
                    node.pendingDest = push(node.dst, true);
                }
                node.pendingSource = push(node.src, false);
            }
        }
        ready_.notify_all();
    }

    // The listing of a queued folder; a side that no thread took yet is read here.
    Listing take(Node& node) {
        Listing listing;
        const auto source = std::static_pointer_cast<Slot>(std::move(node.pendingSource));
        const auto dest = std::static_pointer_cast<Slot>(std::move(node.pendingDest));
        collect(*source);
        listing.sourceOk = source->ok;
        listing.sourceError = source->error;
        listing.source = std::move(source->entries);
        if (dest && listing.sourceOk) {
            collect(*dest);
            listing.destOk = dest->ok;
            listing.destError = dest->error;
            listing.dest = std::move(dest->entries);
        }
        return listing;
    }

  private:
    std::shared_ptr<void> push(const std::string& path, bool isDest) {
        auto slot = std::make_shared<Slot>();
        slot->path = path;
        slot->isDest = isDest;
        queue_.push_front(slot);
        return slot;
    }

    void read(Slot& slot) const {
        slot.ok = slot.isDest ? job_.listDest(slot.path, slot.entries, slot.error)
                              : job_.listSource(slot.path, slot.entries, slot.error);
    }

    void collect(Slot& slot) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (slot.state == Slot::Queued) {
            slot.state = Slot::Running;
            lock.unlock();
            read(slot);
            return;
        }
        done_.wait(lock, [&] { return slot.state == Slot::Done; });
    }

    void work() {
        for (;;) {
            std::unique_lock<std::mutex> lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) {
                return;
            }
            const auto slot = std::move(queue_.front());
            queue_.pop_front();
            if (slot->state != Slot::Queued) {
                continue;
            }
            slot->state = Slot::Running;
            lock.unlock();
            read(*slot);
            lock.lock();
            slot->state = Slot::Done;
            lock.unlock();
            done_.notify_all();
        }
    }

    const Job& job_;
    std::mutex mutex_;
    std::condition_variable ready_, done_;
    std::deque<std::shared_ptr<Slot>> queue_;
    std::vector<std::thread> threads_;
    bool stopping_ = false;
};

Job::Job(const Options& options, Output& output, std::string source, std::string dest,
         std::time_t now)
    : options_(options), output_(output), sourceRoot_(std::move(source)),
      destRoot_(std::move(dest)), selector_(options, now) {
    timeRules_.twoSeconds = options.fatTimes;
    timeRules_.wholeHour = options.daylightSaving;
    timeRules_.compareMode = options.copy.attributes || options.copy.security;
    umask_ = umask(022);
    umask(umask_);
}

Job::~Job() = default;

bool Job::listSource(const std::string& path, std::vector<Entry>& out, int& error) const {
    DIR* dir = openFolder(path, false);
    if (dir == nullptr) {
        error = errno;
        return false;
    }
    const int fd = dirfd(dir);
    while (const dirent* d = readdir(dir)) {
        if (isDotName(d->d_name)) {
            continue;
        }
        Entry entry;
        entry.name = d->d_name;
        struct stat st {};
        if (fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            continue; // gone since the folder was read
        }
        if (S_ISLNK(st.st_mode)) {
            entry.isLink = true;
            if (!options_.copyLinks) {
                struct stat target {};
                if (fstatat(fd, d->d_name, &target, 0) == 0) {
                    st = target;
                } else {
                    entry.broken = true;
                }
            }
        }
        entry.isDir = S_ISDIR(st.st_mode);
        entry.special = !entry.isDir && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode);
        entry.facts = factsOf(st);
        entry.dev = st.st_dev;
        entry.ino = st.st_ino;
        entry.atime = st.st_atim;
        entry.mtime = st.st_mtim;
        out.push_back(std::move(entry));
    }
    closedir(dir);
    std::sort(out.begin(), out.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return true;
}

bool Job::listDest(const std::string& path, std::vector<Entry>& out, int& error) const {
    DIR* dir = openFolder(path, true);
    if (dir == nullptr) {
        error = errno;
        return errno == ENOENT;
    }
    const int fd = dirfd(dir);
    while (const dirent* d = readdir(dir)) {
        if (isDotName(d->d_name)) {
            continue;
        }
        Entry entry;
        entry.name = d->d_name;
        struct stat st {};
        if (fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        entry.isLink = S_ISLNK(st.st_mode);
        entry.isDir = S_ISDIR(st.st_mode);
        entry.facts = factsOf(st);
        out.push_back(std::move(entry));
    }
    closedir(dir);
    std::sort(out.begin(), out.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return true;
}

Job::Listing Job::readListing(const std::string& source, const std::string& dest,
                              bool withDest) const {
    Listing listing;
    listing.sourceOk = listSource(source, listing.source, listing.sourceError);
    if (listing.sourceOk && withDest) {
        listing.destOk = listDest(dest, listing.dest, listing.destError);
    }
    return listing;
}

bool Job::ensureDir(Node& node) {
    if (node.failed) {
        return false;
    }
    if (node.exists) {
        return true;
    }
    if (node.parent != nullptr && !ensureDir(*node.parent)) {
        node.failed = true;
        return false;
    }
    if (!options_.listOnly) {
        const mode_t mode = options_.dirCopy.attributes ? 0700 : 0777;
        if (mkdir(node.dst.c_str(), mode) != 0 && errno != EEXIST) {
            print(errorLines(errno, "Creating Destination Directory", displayDir(node.dst)));
            node.failed = true;
            return false;
        }
        if (node.parent != nullptr) {
            node.parent->touched = true;
        }
    }
    node.exists = true;
    node.created = true;
    return true;
}

std::string Job::shownName(const std::string& dir, const std::string& name) const {
    return options_.fullPaths ? joinPath(dir, name) : name;
}

void Job::countFile(std::uint64_t Tally::*column, std::uint64_t size) {
    const std::lock_guard<std::mutex> lock(tallyMutex_);
    summary_.files.*column += 1;
    summary_.bytes.*column += size;
}

bool Job::removeDestEntry(const std::string& path, bool isDir, const char* what) {
    const auto start = Clock::now();
    const int error = isDir ? removeTree(path) : (unlink(path.c_str()) == 0 ? 0 : errno);
    summary_.extraSeconds += secondsSince(start);
    if (error != 0) {
        print(errorLines(error, what, isDir ? displayDir(path) : path));
        ++deleteFailures_;
        return false;
    }
    return true;
}

void Job::handleExtras(Node& node, const std::vector<Entry>& sourceEntries,
                       const std::vector<Entry>& destEntries) {
    if (options_.excludeExtra) {
        return;
    }
    const bool purge = options_.purge && !options_.listOnly;
    auto sourceIt = sourceEntries.begin();
    for (const Entry& dest : destEntries) {
        while (sourceIt != sourceEntries.end() && sourceIt->name < dest.name) {
            ++sourceIt;
        }
        if (sourceIt != sourceEntries.end() && sourceIt->name == dest.name) {
            continue;
        }
        const std::string destPath = joinPath(node.dst, dest.name);
        if (dest.isDir) {
            if (selector_.dirNamedOut(dest.name, joinPath(node.src, dest.name), destPath)) {
                continue;
            }
            summary_.dirs.extras += 1;
            if (!options_.noDirList) {
                print(dirLine("*EXTRA Dir", -1, displayDir(destPath)));
            }
            if (purge) {
                removeDestEntry(destPath, true, "Deleting Extra Directory");
                node.touched = true;
            }
            continue;
        }
        const bool selected = selector_.included(dest.name) &&
                              !selector_.fileNamedOut(dest.name, joinPath(node.src, dest.name));
        if (!selected && !options_.reportAllExtras) {
            continue;
        }
        countFile(&Tally::extras, dest.facts.size);
        if (!options_.noFileList) {
            print(fileLine(options_, "*EXTRA File", dest.facts.size,
                           options_.fullPaths ? destPath : dest.name,
                           static_cast<std::time_t>(dest.facts.mtimeNs / 1000000000)));
        }
        if (purge && selected) {
            removeDestEntry(destPath, false, "Deleting Extra File");
            node.touched = true;
        }
    }
}

void Job::copyWithRetries(const CopyRequest& request, std::uint64_t size) {
    const auto start = Clock::now();
    for (unsigned attempt = 0;; ++attempt) {
        const CopyOutcome outcome = copyFile(request);
        if (outcome.error == 0) {
            {
                const std::lock_guard<std::mutex> lock(tallyMutex_);
                summary_.files.copied += 1;
                summary_.bytes.copied += size;
                summary_.copySeconds += secondsSince(start);
            }
            if (!options_.noProgress && !options_.noFileList && options_.threads == 0) {
                print("100%\n");
            }
            return;
        }
        std::string text = errorLines(outcome.error, "Copying File", request.source);
        const bool vanished = outcome.error == ENOENT;
        if (attempt >= options_.retries || vanished) {
            if (!vanished) {
                text += "ERROR: RETRY LIMIT EXCEEDED.\n";
            }
            print(text);
            countFile(&Tally::failed, size);
            return;
        }
        text += "Waiting " + std::to_string(options_.waitSeconds) + " seconds... Retrying...\n";
        print(text);
        std::this_thread::sleep_for(std::chrono::seconds(options_.waitSeconds));
        const std::lock_guard<std::mutex> lock(tallyMutex_);
        summary_.failedSeconds += options_.waitSeconds;
    }
}

void Job::startCopy(Node& node, const Entry& source, FileClass cls) {
    const std::uint64_t size = source.facts.size;
    if (!options_.noFileList) {
        print(fileLine(options_, classTag(cls, true), size, shownName(node.src, source.name),
                       source.mtime.tv_sec));
    }
    if (!ensureDir(node)) {
        countFile(&Tally::failed, size);
        return;
    }
    if (options_.listOnly) {
        countFile(&Tally::copied, size);
        return;
    }
    CopyRequest request;
    request.source = joinPath(node.src, source.name);
    request.destDir = node.dst;
    request.name = source.name;
    request.flags = options_.copy;
    request.asLink = source.isLink && options_.copyLinks;
    request.newFileMode = 0666 & ~umask_;
    request.creationMask = umask_;
    node.touched = true;
    if (pool_) {
        pool_->submit([this, request, size] { copyWithRetries(request, size); });
    } else {
        copyWithRetries(request, size);
    }
}

void Job::handleFile(Node& node, const Entry& source, const Entry* dest) {
    const std::uint64_t size = source.facts.size;
    if (source.broken) {
        print(errorLines(ENOENT, "Copying File", joinPath(node.src, source.name),
                         "The link points to nothing (broken symbolic link)."));
        countFile(&Tally::failed, size);
        return;
    }
    if (dest != nullptr && dest->isDir) {
        mismatchSeen_ = true;
        if (!options_.noFileList) {
            print(fileLine(options_, "*MISMATCH", size, shownName(node.src, source.name),
                           source.mtime.tv_sec));
        }
        if (!options_.purge) {
            countFile(&Tally::mismatch, size);
            return;
        }
        if (!options_.listOnly && !removeDestEntry(joinPath(node.dst, source.name), true,
                                                   "Deleting Mismatched Directory")) {
            countFile(&Tally::failed, size);
            return;
        }
        node.touched = true;
        dest = nullptr;
    }
    const FileClass cls =
        dest == nullptr ? FileClass::Lonely : classify(source.facts, dest->facts, timeRules_);
    if (!wantsCopy(cls, options_) || !options_.copy.data) {
        countFile(&Tally::skipped, size);
        if (options_.verbose && !options_.noFileList) {
            print(fileLine(options_, classTag(cls, false), size, shownName(node.src, source.name),
                           source.mtime.tv_sec));
        }
        return;
    }
    startCopy(node, source, cls);
}

void Job::visit(Node& node) {
    Listing listing = node.pendingSource
                          ? lister_->take(node)
                          : readListing(node.src, node.dst, node.exists && !node.created);
    if (!listing.sourceOk) {
        if (node.parent == nullptr) {
            // An unreadable source folder ends the job like a missing one.
            print(errorLines(listing.sourceError, "Accessing Source Directory",
                             displayDir(node.src)));
            sourceUnreadable_ = true;
            return;
        }
        print(errorLines(listing.sourceError, "Scanning Source Directory", displayDir(node.src)));
        summary_.dirs.failed += 1;
        return;
    }
    if (!listing.destOk) {
        print(
            errorLines(listing.destError, "Scanning Destination Directory", displayDir(node.dst)));
        summary_.dirs.failed += 1;
        return;
    }
    const std::vector<Entry>& sourceEntries = listing.source;
    const std::vector<Entry>& destEntries = listing.dest;
    std::unordered_map<std::string_view, const Entry*> destByName;
    destByName.reserve(destEntries.size());
    for (const Entry& entry : destEntries) {
        destByName.emplace(entry.name, &entry);
    }
    const auto destOf = [&](const std::string& name) -> const Entry* {
        const auto it = destByName.find(name);
        return it == destByName.end() ? nullptr : it->second;
    };

    // Files taking part, and the reason for each one left out.
    std::vector<const Entry*> files;
    std::vector<std::pair<const Entry*, Exclusion>> excluded;
    for (const Entry& entry : sourceEntries) {
        if (entry.isDir || entry.special || (entry.isLink && options_.skipLinkedFiles)) {
            continue;
        }
        const std::string path = joinPath(node.src, entry.name);
        const Exclusion reason = selector_.file(entry.name, path, entry.facts);
        if (reason == Exclusion::NotIncluded) {
            continue;
        }
        summary_.files.total += 1;
        summary_.bytes.total += entry.facts.size;
        if (reason != Exclusion::None) {
            countFile(&Tally::skipped, entry.facts.size);
            excluded.emplace_back(&entry, reason);
            continue;
        }
        files.push_back(&entry);
    }
    // A folder that does not exist yet only receives lonely files.
    const bool anyCopy = !files.empty() && options_.copy.data && !options_.excludeLonely;

    const bool isNew = !node.exists || node.created;
    if (!node.exists && (options_.emptyDirs || anyCopy)) {
        ensureDir(node);
    }
    if (!options_.noDirList) {
        print(dirLine(isNew && node.exists ? "  New Dir" : "", static_cast<long long>(files.size()),
                      displayDir(node.src)));
    }
    if (options_.verbose && !options_.noFileList) {
        for (const auto& [entry, reason] : excluded) {
            print(fileLine(options_, exclusionTag(reason), entry->facts.size,
                           shownName(node.src, entry->name), entry->mtime.tv_sec));
        }
    }

    // The sub-folders to walk are settled before anything changes here, so
    // that their listings can be read while this folder's files are handled.
    std::vector<Node> children;
    const bool descend = options_.subdirs && (options_.levels == 0 || node.level < options_.levels);
    for (const Entry& entry : sourceEntries) {
        if (!descend || !entry.isDir || (entry.isLink && options_.skipLinkedDirs)) {
            continue;
        }
        Node child;
        child.src = joinPath(node.src, entry.name);
        child.dst = joinPath(node.dst, entry.name);
        if (selector_.dirNamedOut(entry.name, child.src, child.dst)) {
            continue;
        }
        bool loop = entry.dev == destDev_ && entry.ino == destIno_;
        for (const Node* up = &node; up != nullptr && !loop; up = up->parent) {
            loop = up->dev == entry.dev && up->ino == entry.ino;
        }
        if (loop) {
            print(errorLines(ELOOP, "Scanning Source Directory", displayDir(child.src),
                             "Symbolic link loop: the folder leads back to one of its own "
                             "parents or to the destination; not followed."));
            summary_.dirs.failed += 1;
            continue;
        }
        const Entry* dest = destOf(entry.name);
        child.mismatch = dest != nullptr && !dest->isDir;
        child.exists = dest != nullptr && dest->isDir;
        if (child.mismatch && !options_.purge) {
            mismatchSeen_ = true;
            if (!options_.noDirList) {
                print(dirLine("*MISMATCH", -1, displayDir(child.src)));
            }
            summary_.dirs.mismatch += 1;
            continue;
        }
        if (dest == nullptr && options_.excludeLonely) {
            summary_.dirs.total += 1;
            summary_.dirs.skipped += 1;
            continue;
        }
        child.parent = &node;
        child.level = node.level + 1;
        child.dev = entry.dev;
        child.ino = entry.ino;
        child.mode = entry.facts.mode;
        child.atime = entry.atime;
        child.mtime = entry.mtime;
        if (child.exists) {
            child.destMode = dest->facts.mode;
            child.destMtimeNs = dest->facts.mtimeNs;
        }
        children.push_back(std::move(child));
    }
    if (lister_ && !children.empty()) {
        std::vector<Node*> queued;
        for (Node& child : children) {
            queued.push_back(&child);
        }
        lister_->request(queued.data(), queued.size());
    }

    handleExtras(node, sourceEntries, destEntries);
    for (const Entry* entry : files) {
        handleFile(node, *entry, destOf(entry->name));
    }

    for (Node& child : children) {
        if (child.mismatch) {
            mismatchSeen_ = true;
            if (!options_.noDirList) {
                print(dirLine("*MISMATCH", -1, displayDir(child.src)));
            }
            if (!options_.listOnly) {
                if (!removeDestEntry(child.dst, false, "Deleting Mismatched File")) {
                    summary_.dirs.failed += 1;
                    continue;
                }
                node.touched = true;
            }
        }
        visit(child);
    }

    summary_.dirs.total += 1;
    if (node.failed) {
        summary_.dirs.failed += 1;
    } else if (node.created) {
        summary_.dirs.copied += 1;
    } else {
        summary_.dirs.skipped += 1;
    }
    if (node.exists && !node.failed && !options_.listOnly) {
        const bool setMode =
            options_.dirCopy.attributes && (node.created || node.destMode != node.mode);
        const bool setTimes =
            options_.dirCopy.times &&
            (node.created || node.touched || node.destMtimeNs != nanoseconds(node.mtime));
        if (setMode || setTimes) {
            dirFixes_.push_back({node.dst, node.mode, node.atime, node.mtime, setMode, setTimes});
        }
    }
}

int Job::run() {
    const auto start = Clock::now();
    struct stat sourceStat {};
    if (stat(sourceRoot_.c_str(), &sourceStat) != 0) {
        print(errorLines(errno, "Accessing Source Directory", displayDir(sourceRoot_)));
        return ExitFatal;
    }
    Node root;
    root.src = sourceRoot_;
    root.dst = destRoot_;
    root.dev = sourceStat.st_dev;
    root.ino = sourceStat.st_ino;
    root.mode = sourceStat.st_mode & 07777;
    root.atime = sourceStat.st_atim;
    root.mtime = sourceStat.st_mtim;

    struct stat destStat {};
    if (stat(destRoot_.c_str(), &destStat) == 0) {
        if (!S_ISDIR(destStat.st_mode)) {
            print(errorLines(ENOTDIR, "Accessing Destination Directory", displayDir(destRoot_)));
            return ExitFatal;
        }
        root.exists = true;
        // The destination named on the command line may itself be a link; only
        // links below it are never followed.
        char real[PATH_MAX];
        if (realpath(destRoot_.c_str(), real) != nullptr) {
            root.dst = real;
        }
    } else if (!options_.listOnly) {
        // Create the destination and any missing parents.
        std::string partial;
        std::string_view rest = destRoot_;
        int error = 0;
        while (!rest.empty()) {
            const std::size_t slash = rest.find('/', 1);
            partial += rest.substr(0, slash);
            rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
            const bool last = rest.empty();
            const mode_t mode = last && options_.dirCopy.attributes ? 0700 : 0777;
            if (mkdir(partial.c_str(), mode) != 0 && errno != EEXIST) {
                error = errno;
                break;
            }
        }
        if (error != 0 || stat(destRoot_.c_str(), &destStat) != 0) {
            print(errorLines(error != 0 ? error : errno, "Creating Destination Directory",
                             displayDir(destRoot_)));
            return ExitFatal;
        }
        root.exists = true;
        root.created = true;
    }
    if (root.exists) {
        destDev_ = destStat.st_dev;
        destIno_ = destStat.st_ino;
        root.destMode = destStat.st_mode & 07777;
        root.destMtimeNs = nanoseconds(destStat.st_mtim);
    }
    const unsigned cores = std::thread::hardware_concurrency();
    if (cores > 1) {
        lister_ = std::make_unique<ListingQueue>(*this, std::min(cores, 4u));
    }
    if (options_.threads > 0 && !options_.listOnly) {
        pool_ = std::make_unique<WorkerPool>(options_.threads);
    }

    if (lister_) {
        Node* first = &root;
        lister_->request(&first, 1);
    }
    visit(root);
    lister_.reset();
    if (sourceUnreadable_) {
        return ExitFatal;
    }

    if (pool_) {
        pool_->drain();
        pool_.reset();
    }
    // Folder attributes and times last, as filling a folder changes its time.
    for (auto it = dirFixes_.rbegin(); it != dirFixes_.rend(); ++it) {
        if (it->setMode) {
            chmod(it->path.c_str(), it->mode);
        }
        if (it->setTimes) {
            const timespec times[2] = {it->atime, it->mtime};
            utimensat(AT_FDCWD, it->path.c_str(), times, 0);
        }
    }
    summary_.totalSeconds = secondsSince(start);

    int bits = 0;
    if (summary_.files.copied > 0) {
        bits |= ExitCopied;
    }
    if (summary_.files.extras > 0 || summary_.dirs.extras > 0) {
        bits |= ExitExtras;
    }
    if (mismatchSeen_) {
        bits |= ExitMismatch;
    }
    if (summary_.files.failed > 0 || summary_.dirs.failed > 0 || deleteFailures_ > 0) {
        bits |= ExitFailed;
    }
    return bits;
}

} // namespace rc
