// One copy job: walks the source tree, pairs every folder with its counterpart
// in the destination, classifies the entries and copies, skips or deletes them.
#pragma once

#include "classify.hpp"
#include "copier.hpp"
#include "options.hpp"
#include "report.hpp"
#include "selection.hpp"

#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <vector>

namespace rc {

class WorkerPool;

// Exit code bits.
enum ExitBits : int {
    ExitCopied = 1,
    ExitExtras = 2,
    ExitMismatch = 4,
    ExitFailed = 8,
    ExitFatal = 16,
};

// Removes a folder and everything below it without following symbolic links
// and without crossing into another file system. Returns 0 or an errno value.
int removeTree(const std::string& path);

class Job {
  public:
    // "source" and "dest" are absolute folded paths; the source is an existing
    // folder and the destination has been checked not to lie inside it.
    Job(const Options& options, Output& output, std::string source, std::string dest,
        std::time_t now);
    ~Job();
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    // Runs the job; returns the exit bits (1, 2, 4, 8), or 16 when the
    // destination folder could not be created.
    int run();
    const Summary& summary() const { return summary_; }

  private:
    struct Entry;
    struct Node;
    struct Listing;
    class ListingQueue;
    struct DirFix {
        std::string path;
        unsigned mode;
        timespec atime, mtime;
        bool setMode, setTimes;
    };

    bool listSource(const std::string& path, std::vector<Entry>& out, int& error) const;
    bool listDest(const std::string& path, std::vector<Entry>& out, int& error) const;
    Listing readListing(const std::string& source, const std::string& dest, bool withDest) const;
    bool ensureDir(Node& node);
    void visit(Node& node);
    void handleExtras(Node& node, const std::vector<Entry>& sourceEntries,
                      const std::vector<Entry>& destEntries);
    void handleFile(Node& node, const Entry& source, const Entry* dest);
    void startCopy(Node& node, const Entry& source, FileClass cls);
    void copyWithRetries(const CopyRequest& request, std::uint64_t size);
    bool removeDestEntry(const std::string& path, bool isDir, const char* what);
    void print(const std::string& text) { output_.write(text); }
    void countFile(std::uint64_t Tally::*column, std::uint64_t size);
    std::string shownName(const std::string& dir, const std::string& name) const;

    const Options& options_;
    Output& output_;
    std::string sourceRoot_, destRoot_;
    Selector selector_;
    TimeRules timeRules_;
    mode_t umask_;
    dev_t destDev_ = 0;
    ino_t destIno_ = 0;
    bool mismatchSeen_ = false;
    bool sourceUnreadable_ = false;
    std::uint64_t deleteFailures_ = 0;
    std::vector<DirFix> dirFixes_;
    std::unique_ptr<WorkerPool> pool_;
    std::unique_ptr<ListingQueue> lister_;
    std::mutex tallyMutex_;
    Summary summary_;
};

} // namespace rc
