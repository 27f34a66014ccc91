#include "job.hpp"

#include "paths.hpp"
#include "tree_removal.hpp"
#include "walk_hook.hpp"
#include "walk_thread.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>

namespace rc {

namespace {

using Clock = std::chrono::steady_clock;

// Sub-folder listings read ahead per folder: enough to keep the reading
// threads busy, few enough that memory does not grow with wide folders.
constexpr std::size_t readAhead = 16;
// Copies waiting for a thread; each holds its folders open.
constexpr std::size_t copyQueueLimit = 256;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

struct Job::Node {
    std::string src, dst; // paths, for messages and the selection
    std::string name;     // in the parent folder; empty for the roots
    Node* parent = nullptr;
    unsigned level = 1;
    bool followSource = false;        // the source entry is a followed link
    std::shared_ptr<Fd> source;       // the open source folder, while visited
    std::shared_ptr<DestFolder> dest; // the open destination folder
    bool exists = false;              // the destination folder is there (or, with /L, would be)
    bool created = false;
    bool failed = false;
    Identity id; // of the source folder
    unsigned mode = 0;
    timespec atime{}, mtime{};
    bool mismatch = false; // the destination holds a file where the source has this folder
    bool touched = false;  // entries were added or removed in the destination folder
    unsigned destMode = 0;
    std::int64_t destMtimeNs = 0;
    ListingQueue::Ticket pendingSource, pendingDest; // listings being read ahead
};

Job::Job(const Options& options, Output& output, std::string source, std::string dest, Roots roots,
         std::optional<Identity> logFile, std::time_t now)
    : options_(options), output_(output), sourceRoot_(std::move(source)),
      destRoot_(std::move(dest)), roots_(std::move(roots)), logFile_(logFile),
      selector_(options, now) {
    timeRules_.twoSeconds = options.fatTimes;
    timeRules_.wholeHour = options.daylightSaving;
    timeRules_.compareMode = options.copy.attributes || options.copy.security;
    umask_ = umask(022);
    umask(umask_);
}

Job::~Job() = default;

std::string Job::shownName(const std::string& dir, const std::string& name) const {
    return options_.fullPaths ? joinPath(dir, name) : name;
}

void Job::countFile(std::uint64_t Tally::*column, std::uint64_t size) {
    const std::lock_guard<std::mutex> lock(tallyMutex_);
    summary_.files.*column += 1;
    summary_.bytes.*column += size;
}

void Job::requestListings(Node& child) {
    const Node& parent = *child.parent;
    child.pendingSource =
        lister_->request([folder = parent.source, name = child.name, follow = child.followSource,
                          keepLinks = options_.copyLinks] {
            return listFolderAt(folder->get(), name, follow, Side::Source, keepLinks);
        });
    if (child.exists && parent.dest) {
        child.pendingDest = lister_->request([folder = parent.dest, name = child.name] {
            return listFolderAt(folder->fd(), name, false, Side::Dest, false);
        });
    }
}

void Job::dropListings(Node& node) {
    for (ListingQueue::Ticket* ticket : {&node.pendingSource, &node.pendingDest}) {
        if (*ticket) {
            lister_->drop(*ticket);
            ticket->reset();
        }
    }
}

bool Job::leadsBack(const Node& node, const Identity& id) const {
    if (destId_ && id == *destId_) {
        return true;
    }
    for (const Node* up = &node; up != nullptr; up = up->parent) {
        if (up->id == id) {
            return true;
        }
    }
    return false;
}

bool Job::openSource(Node& node) {
    if (node.source) {
        return true;
    }
    Fd fd;
    FolderState state;
    int error = openFolderAt(node.parent->source->get(), node.name, node.followSource, fd, state);
    if (error == 0 && !(state.id == node.id) && leadsBack(*node.parent, state.id)) {
        error = ELOOP; // replaced since it was listed, by a way back up
    }
    if (error != 0) {
        print(errorLines(error, "Scanning Source Directory", displayDir(node.src)));
        summary_.dirs.failed += 1;
        return false;
    }
    node.id = state.id;
    node.source = std::make_shared<Fd>(std::move(fd));
    return true;
}

bool Job::openDest(Node& node) {
    if (node.dest || !node.exists || node.created) {
        return true;
    }
    Fd fd;
    FolderState state;
    int error = openFolderAt(node.parent->dest->fd(), node.name, false, fd, state);
    if (error == 0 && state.mountRoot) {
        error = EXDEV;
    }
    if (error != 0) {
        print(errorLines(error, "Scanning Destination Directory", displayDir(node.dst),
                         error == EXDEV ? "A mount point: not entered." : ""));
        summary_.dirs.failed += 1;
        return false;
    }
    node.destMode = state.mode;
    node.destMtimeNs = nanoseconds(state.mtime);
    node.dest = std::make_shared<DestFolder>(std::move(fd), state);
    return true;
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
        DestFolder& parent = *node.parent->dest;
        parent.prepareChange();
        const mode_t mode = options_.dirCopy.attributes ? 0700 : 0777;
        Fd fd;
        FolderState state;
        int error =
            mkdirat(parent.fd(), node.name.c_str(), mode) != 0 && errno != EEXIST ? errno : 0;
        if (error == 0) {
            error = openFolderAt(parent.fd(), node.name, false, fd, state);
        }
        if (error != 0) {
            print(errorLines(error, "Creating Destination Directory", displayDir(node.dst)));
            node.failed = true;
            return false;
        }
        node.dest = std::make_shared<DestFolder>(std::move(fd), state);
        node.parent->touched = true;
    }
    node.exists = true;
    node.created = true;
    return true;
}

bool Job::removeDestEntry(Node& node, const std::string& name, bool isDir, const char* what) {
    const auto start = Clock::now();
    node.dest->prepareChange();
    const int fd = node.dest->fd();
    const Identity* keep = logFile_ ? &*logFile_ : nullptr;
    const int error =
        isDir ? removeTree(fd, name, keep) : (unlinkat(fd, name.c_str(), 0) == 0 ? 0 : errno);
    summary_.extraSeconds += secondsSince(start);
    if (error != 0) {
        const std::string path = joinPath(node.dst, name);
        print(errorLines(error, what, isDir ? displayDir(path) : path));
        ++deleteFailures_;
        return false;
    }
    node.touched = true;
    return true;
}

void Job::handleExtras(Node& node, const Listing& source, const Listing& dest) {
    if (options_.excludeExtra) {
        return;
    }
    const bool purge = options_.purge && !options_.listOnly;
    auto sourceIt = source.entries.begin();
    for (const Entry& entry : dest.entries) {
        while (sourceIt != source.entries.end() && sourceIt->name < entry.name) {
            ++sourceIt;
        }
        if (sourceIt != source.entries.end() && sourceIt->name == entry.name) {
            continue;
        }
        if (logFile_ && entry.id == *logFile_) {
            continue; // the run's own log
        }
        const std::string destPath = joinPath(node.dst, entry.name);
        if (entry.isDir) {
            if (selector_.dirNamedOut(entry.name, joinPath(node.src, entry.name), destPath)) {
                continue;
            }
            summary_.dirs.extras += 1;
            if (!options_.noDirList) {
                print(dirLine("*EXTRA Dir", -1, displayDir(destPath)));
            }
            if (purge) {
                removeDestEntry(node, entry.name, true, "Deleting Extra Directory");
            }
            continue;
        }
        const bool selected = selector_.included(entry.name) &&
                              !selector_.fileNamedOut(entry.name, joinPath(node.src, entry.name));
        if (!selected && !options_.reportAllExtras) {
            continue;
        }
        countFile(&Tally::extras, entry.facts.size);
        if (!options_.noFileList) {
            print(fileLine(options_, "*EXTRA File", entry.facts.size,
                           options_.fullPaths ? destPath : entry.name,
                           static_cast<std::time_t>(entry.facts.mtimeNs / 1000000000)));
        }
        if (purge && selected) {
            removeDestEntry(node, entry.name, false, "Deleting Extra File");
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
    node.dest->prepareChange();
    CopyRequest request;
    request.source = joinPath(node.src, source.name);
    request.sourceDir = node.source->get();
    request.sourceName = source.name;
    request.followLink = source.isLink;
    request.destDir = node.dest->fd();
    request.name = source.name;
    request.flags = options_.copy;
    request.asLink = source.isLink && options_.copyLinks;
    request.newFileMode = 0666 & ~umask_;
    request.creationMask = umask_;
    node.touched = true;
    if (pool_) {
        // The task holds both folders open until the copy has ended.
        pool_->submit([this, request, size, from = node.source, to = node.dest] {
            copyWithRetries(request, size);
            (void)from;
            (void)to;
        });
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
    if (dest != nullptr && logFile_ && dest->id == *logFile_) {
        print(errorLines(EBUSY, "Copying File", joinPath(node.src, source.name),
                         "The destination is this run's own log file; it is not replaced."));
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
        if (!options_.listOnly &&
            !removeDestEntry(node, source.name, true, "Deleting Mismatched Directory")) {
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
    if (node.level > deepestLevel) {
        dropListings(node);
        print(errorLines(ENAMETOOLONG, "Scanning Source Directory", displayDir(node.src),
                         "The folder lies more than " + std::to_string(deepestLevel) +
                             " levels deep; it is not walked."));
        summary_.dirs.failed += 1;
        return;
    }
    if (!openSource(node) || !openDest(node)) {
        dropListings(node);
        return;
    }
    // A listing read ahead is used only when it is of the folder now held;
    // otherwise the held folder is read again.
    const auto held = [&](const ListingQueue::Ticket& ticket, int fd, const Identity& id, Side side,
                          bool keepLinks) {
        if (ticket) {
            Listing ahead = lister_->take(ticket);
            if (ahead.error == 0 && ahead.folder.id == id) {
                return ahead;
            }
        }
        return listFolder(fd, side, keepLinks);
    };
    Listing source =
        held(node.pendingSource, node.source->get(), node.id, Side::Source, options_.copyLinks);
    Listing dest;
    if (node.exists && !node.created && node.dest) {
        dest = held(node.pendingDest, node.dest->fd(), node.dest->state().id, Side::Dest, false);
    }
    dropListings(node);
    if (source.error != 0) {
        if (node.parent == nullptr) {
            // An unreadable source folder ends the job like a missing one.
            print(errorLines(source.error, "Accessing Source Directory", displayDir(node.src)));
            sourceUnreadable_ = true;
            return;
        }
        print(errorLines(source.error, "Scanning Source Directory", displayDir(node.src)));
        summary_.dirs.failed += 1;
        return;
    }
    for (const Entry& entry : dest.entries) {
        if (dest.error == 0 && entry.error != 0) {
            dest.error = entry.error; // the folder is left as it is
            print(errorLines(entry.error, "Scanning Destination Directory",
                             joinPath(node.dst, entry.name)));
        }
    }
    if (dest.error != 0) {
        if (dest.entries.empty()) {
            print(errorLines(dest.error, "Scanning Destination Directory", displayDir(node.dst)));
        }
        summary_.dirs.failed += 1;
        return;
    }
    callWalkHook(node.dst);

    // An entry that cannot be examined is an error, and its folder's listing
    // is incomplete: nothing is deleted there, since nothing can be called extra.
    const bool complete = source.complete();
    for (const Entry& entry : source.entries) {
        if (entry.error != 0) {
            print(
                errorLines(entry.error, "Accessing Source Entry", joinPath(node.src, entry.name)));
            summary_.files.total += 1;
            countFile(&Tally::failed, 0);
        }
    }

    std::unordered_map<std::string_view, const Entry*> destByName;
    destByName.reserve(dest.entries.size());
    for (const Entry& entry : dest.entries) {
        destByName.emplace(entry.name, &entry);
    }
    const auto destOf = [&](const std::string& name) -> const Entry* {
        const auto it = destByName.find(name);
        return it == destByName.end() ? nullptr : it->second;
    };

    // Files taking part, and the reason for each one left out.
    std::vector<const Entry*> files;
    std::vector<std::pair<const Entry*, Exclusion>> excluded;
    for (const Entry& entry : source.entries) {
        if (entry.error != 0 || entry.isDir || entry.special ||
            (entry.isLink && options_.skipLinkedFiles)) {
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
    for (const Entry& entry : source.entries) {
        if (!descend || entry.error != 0 || !entry.isDir ||
            (entry.isLink && options_.skipLinkedDirs)) {
            continue;
        }
        Node child;
        child.src = joinPath(node.src, entry.name);
        child.dst = joinPath(node.dst, entry.name);
        if (selector_.dirNamedOut(entry.name, child.src, child.dst)) {
            continue;
        }
        if (leadsBack(node, entry.id)) {
            print(errorLines(ELOOP, "Scanning Source Directory", displayDir(child.src),
                             "Symbolic link loop: the folder leads back to one of its own "
                             "parents or to the destination; not followed."));
            summary_.dirs.failed += 1;
            continue;
        }
        const Entry* destEntry = destOf(entry.name);
        child.mismatch = destEntry != nullptr && !destEntry->isDir;
        child.exists = destEntry != nullptr && destEntry->isDir;
        if (child.mismatch && !options_.purge) {
            mismatchSeen_ = true;
            if (!options_.noDirList) {
                print(dirLine("*MISMATCH", -1, displayDir(child.src)));
            }
            summary_.dirs.mismatch += 1;
            continue;
        }
        if (destEntry == nullptr && options_.excludeLonely) {
            summary_.dirs.total += 1;
            summary_.dirs.skipped += 1;
            continue;
        }
        child.name = entry.name;
        child.parent = &node;
        child.level = node.level + 1;
        child.followSource = entry.isLink;
        child.id = entry.id;
        child.mode = entry.facts.mode;
        child.atime = entry.atime;
        child.mtime = entry.mtime;
        children.push_back(std::move(child));
    }
    std::size_t requested = 0;
    const auto requestUpTo = [&](std::size_t end) {
        end = std::min(end, children.size());
        // Queued last runs first: request backwards so the first child is read first.
        for (std::size_t i = end; lister_ && i-- > requested;) {
            requestListings(children[i]);
        }
        requested = std::max(requested, end);
    };
    requestUpTo(readAhead);

    if (complete) {
        handleExtras(node, source, dest);
    }
    for (const Entry* entry : files) {
        handleFile(node, *entry, destOf(entry->name));
    }

    for (std::size_t i = 0; i < children.size(); ++i) {
        requestUpTo(i + readAhead);
        Node& child = children[i];
        if (child.mismatch) {
            mismatchSeen_ = true;
            if (!options_.noDirList) {
                print(dirLine("*MISMATCH", -1, displayDir(child.src)));
            }
            if (!options_.listOnly) {
                if (!removeDestEntry(node, child.name, false, "Deleting Mismatched File")) {
                    summary_.dirs.failed += 1;
                    dropListings(child);
                    continue;
                }
            }
        }
        visit(child);
    }
    leave(node);
}

void Job::leave(Node& node) {
    summary_.dirs.total += 1;
    if (node.failed) {
        summary_.dirs.failed += 1;
    } else if (node.created) {
        summary_.dirs.copied += 1;
    } else {
        summary_.dirs.skipped += 1;
    }
    if (node.dest && !node.failed && !options_.listOnly) {
        const bool setMode =
            options_.dirCopy.attributes && (node.created || node.destMode != node.mode);
        const bool setTimes =
            options_.dirCopy.times &&
            (node.created || node.touched || node.destMtimeNs != nanoseconds(node.mtime));
        node.dest->finish(setMode ? std::optional<unsigned>(node.mode) : std::nullopt,
                          setTimes ? std::optional(std::pair(node.atime, node.mtime))
                                   : std::nullopt);
    }
    // Copies still running keep the folders; the last one out sets the bits.
    node.dest.reset();
    node.source.reset();
}

bool Job::createRoot(Node& root) {
    Fd fd = std::move(roots_.dest);
    FolderState state = roots_.destState;
    for (std::size_t i = 0; i < roots_.missing.size(); ++i) {
        const std::string& name = roots_.missing[i];
        const bool last = i + 1 == roots_.missing.size();
        const mode_t mode = last && options_.dirCopy.attributes ? 0700 : 0777;
        Fd next;
        int error = mkdirat(fd.get(), name.c_str(), mode) != 0 && errno != EEXIST ? errno : 0;
        if (error == 0) {
            error = openFolderAt(fd.get(), name, false, next, state);
        }
        if (error != 0) {
            print(errorLines(error, "Creating Destination Directory", displayDir(destRoot_)));
            return false;
        }
        fd = std::move(next);
    }
    root.exists = true;
    root.created = true;
    root.dest = std::make_shared<DestFolder>(std::move(fd), state);
    return true;
}

int Job::run() {
    const auto start = Clock::now();
    Node root;
    root.src = sourceRoot_;
    root.dst = destRoot_;
    root.id = roots_.sourceState.id;
    root.mode = roots_.sourceState.mode;
    root.atime = roots_.sourceState.atime;
    root.mtime = roots_.sourceState.mtime;
    root.source = std::make_shared<Fd>(std::move(roots_.source));

    if (roots_.missing.empty()) {
        root.exists = true;
        root.destMode = roots_.destState.mode;
        root.destMtimeNs = nanoseconds(roots_.destState.mtime);
        root.dest = std::make_shared<DestFolder>(std::move(roots_.dest), roots_.destState);
        // The destination named on the command line may itself be a link; it
        // is shown and matched by the folder it leads to.
        char real[PATH_MAX];
        if (realpath(destRoot_.c_str(), real) != nullptr) {
            root.dst = real;
        }
    } else if (!options_.listOnly && !createRoot(root)) {
        return ExitFatal;
    }
    if (root.dest) {
        destId_ = root.dest->state().id;
    }
    const unsigned cores = std::thread::hardware_concurrency();
    if (cores > 1) {
        lister_ = std::make_unique<ListingQueue>(std::min(cores, 4u));
    }
    if (options_.threads > 0 && !options_.listOnly) {
        pool_ = std::make_unique<TaskPool>(options_.threads, copyQueueLimit);
    }

    // A generous stack per level the walk may enter; untouched pages cost nothing.
    runWithStack(std::size_t(deepestLevel) * 256 * 1024, [&] { visit(root); });
    lister_.reset();
    if (pool_) {
        pool_->drain();
        pool_.reset();
    }
    if (sourceUnreadable_) {
        return ExitFatal;
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
