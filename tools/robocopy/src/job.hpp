// One copy job: walks the source tree, pairs every folder with its counterpart
// in the destination, classifies the entries and copies, skips or deletes them.
// Both trees are walked through open folders, one name at a time: nothing
// below the two roots is ever reached through path text.
#pragma once

#include "classify.hpp"
#include "copier.hpp"
#include "dest_folder.hpp"
#include "listing.hpp"
#include "listing_queue.hpp"
#include "options.hpp"
#include "report.hpp"
#include "roots.hpp"
#include "selection.hpp"
#include "task_pool.hpp"

#include <ctime>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace rc {

// Exit code bits.
enum ExitBits : int {
    ExitCopied = 1,
    ExitExtras = 2,
    ExitMismatch = 4,
    ExitFailed = 8,
    ExitFatal = 16,
};

// Folders deeper than this below the source are an error, not walked.
inline constexpr unsigned deepestLevel = 1000;

class Job {
  public:
    // "source" and "dest" are the absolute folded paths, used for messages and
    // the selection; "roots" holds both folders open and has been checked for
    // overlap. "logFile" is the run's own log, which is never deleted.
    Job(const Options& options, Output& output, std::string source, std::string dest, Roots roots,
        std::optional<Identity> logFile, std::time_t now);
    ~Job();
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    // Runs the job; returns the exit bits (1, 2, 4, 8), or 16 when the
    // destination folder could not be created or the source not read.
    int run();
    const Summary& summary() const { return summary_; }

  private:
    struct Node;

    bool createRoot(Node& root);
    bool openSource(Node& node);
    bool openDest(Node& node);
    void requestListings(Node& child);
    void dropListings(Node& node);
    bool leadsBack(const Node& node, const Identity& id) const;
    bool ensureDir(Node& node);
    void visit(Node& node);
    void leave(Node& node);
    void handleExtras(Node& node, const Listing& source, const Listing& dest);
    void handleFile(Node& node, const Entry& source, const Entry* dest);
    void startCopy(Node& node, const Entry& source, FileClass cls);
    void copyWithRetries(const CopyRequest& request, std::uint64_t size);
    bool removeDestEntry(Node& node, const std::string& name, bool isDir, const char* what);
    void print(const std::string& text) { output_.write(text); }
    void countFile(std::uint64_t Tally::*column, std::uint64_t size);
    std::string shownName(const std::string& dir, const std::string& name) const;

    const Options& options_;
    Output& output_;
    std::string sourceRoot_, destRoot_;
    Roots roots_;
    std::optional<Identity> logFile_;
    Selector selector_;
    TimeRules timeRules_;
    mode_t umask_;
    std::optional<Identity> destId_;
    bool mismatchSeen_ = false;
    bool sourceUnreadable_ = false;
    std::uint64_t deleteFailures_ = 0;
    std::unique_ptr<ListingQueue> lister_;
    std::unique_ptr<TaskPool> pool_;
    std::mutex tallyMutex_;
    Summary summary_;
};

} // namespace rc
