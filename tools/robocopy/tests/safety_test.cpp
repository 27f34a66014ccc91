// What the copy program guarantees when the trees fight back: entries that
// cannot be examined, read-only folders, bind mounts, folders swapped for
// links while a run goes on, trees deeper than any stack, and its own log
// inside the destination.
#include "app.hpp"
#include "job.hpp"
#include "support.hpp"
#include "tree_removal.hpp"
#include "walk_hook.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace rctest;

namespace {

constexpr std::int64_t baseTime = 1600000000;

// A source with a sub-folder and a destination holding an earlier backup,
// in a folder the unprivileged user can reach.
class Trees : public ::testing::Test {
  protected:
    void SetUp() override {
        chmod(dir_.path().c_str(), 0755);
        writeFile(src("top.txt"), "top");
        writeFile(src("docs/a.txt"), "alpha");
        writeFile(src("docs/b.txt"), "bravo");
        writeFile(src("docs/inner/c.txt"), "charlie");
        makeDirs(dst());
    }

    std::string src(const std::string& relative = "") const { return sub("src", relative); }
    std::string dst(const std::string& relative = "") const { return sub("dst", relative); }
    std::string at(const std::string& relative) const { return dir_ / relative; }

    RunResult copy(std::vector<std::string> options, bool asNobody = false) const {
        std::vector<std::string> args = {src(), dst(), "/W:0"};
        args.insert(args.end(), options.begin(), options.end());
        return runProgram(args, 0, asNobody);
    }

    // Hands the destination to nobody, as a backup made by that user.
    void giveDestToNobody() const {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dst())) {
            lchown(entry.path().c_str(), nobodyId, nobodyId);
        }
        lchown(dst().c_str(), nobodyId, nobodyId);
    }

    TempDir dir_;

  private:
    std::string sub(const std::string& top, const std::string& relative) const {
        return relative.empty() ? dir_ / top : dir_ / (top + "/" + relative);
    }
};

} // namespace

// A folder the user may read but not search ("chmod 644", a common mistake):
// its entries cannot be examined, which is an error (ERROR 5, bit 8), and
// nothing of their earlier copies is deleted.
TEST_F(Trees, EntriesThatCannotBeExaminedKeepTheirBackup) {
    const std::string why = whyNotAsNobody();
    if (!why.empty()) {
        GTEST_SKIP() << why;
    }
    for (const char* folder : {"docs", ""}) {
        SCOPED_TRACE(std::string("unsearchable: ") + (*folder ? folder : "the source root"));
        std::filesystem::remove_all(dst());
        makeDirs(dst());
        giveDestToNobody();
        ASSERT_EQ(copy({"/MIR"}, true).code, 1);
        writeFile(dst(folder) + "/extra.txt", "extra, but its folder cannot be listed whole");
        const auto before = snapshot(dst(), true);
        chmod(src(folder).c_str(), 0644);
        const auto result = copy({"/MIR"}, true);
        chmod(src(folder).c_str(), 0755);
        EXPECT_EQ(result.code & 8, 8) << result.output;
        EXPECT_EQ(result.code & 16, 0) << result.output;
        EXPECT_NE(result.output.find("ERROR 5 (0x00000005) Accessing Source Entry"),
                  std::string::npos)
            << result.output;
        EXPECT_EQ(snapshot(dst(), true), before);
    }
}

// A read-only source folder (555) gives a read-only backup folder, and later
// runs still add, replace and delete in it, then give it its bits back; once
// the source folder is gone, its backup is purged.
TEST_F(Trees, ReadOnlySourceFolderKeepsItsBackupUpdatable) {
    const std::string why = whyNotAsNobody();
    if (!why.empty()) {
        GTEST_SKIP() << why;
    }
    giveDestToNobody();
    chmod(src("docs").c_str(), 0555);
    ASSERT_EQ(copy({"/MIR"}, true).code, 1);
    EXPECT_EQ(modeOf(dst("docs")), 0555u);

    writeFile(src("docs/new.txt"), "new");
    writeFile(src("docs/a.txt"), "alpha, edited");
    std::filesystem::remove(src("docs/b.txt"));
    const auto result = copy({"/MIR"}, true);
    EXPECT_EQ(result.code, 3) << result.output;
    EXPECT_EQ(snapshot(dst()), snapshot(src()));
    EXPECT_EQ(modeOf(dst("docs")), 0555u);
    EXPECT_EQ(copy({"/MIR"}, true).code, 0);

    // Gone from the source, the read-only folder is purged with all it holds.
    chmod(src("docs").c_str(), 0755);
    std::filesystem::remove_all(src("docs"));
    const auto purged = copy({"/MIR"}, true);
    EXPECT_EQ(purged.code, 2) << purged.output;
    EXPECT_FALSE(exists(dst("docs")));
}

namespace {

// Binds one folder onto another for the life of the object.
class BindMount {
  public:
    BindMount(const std::string& from, const std::string& onto) : onto_(onto) {
        makeDirs(onto);
        if (mount(from.c_str(), onto.c_str(), nullptr, MS_BIND, nullptr) != 0) {
            error_ = std::string("cannot bind-mount here: ") + std::strerror(errno);
        }
    }
    ~BindMount() {
        if (error_.empty()) {
            umount2(onto_.c_str(), MNT_DETACH);
        }
    }
    const std::string& error() const { return error_; }

  private:
    std::string onto_, error_;
};

} // namespace

// Through a bind mount, a destination inside the source (or the source inside
// the destination with /MIR) is still seen: refused, nothing changes.
TEST_F(Trees, OverlapIsSeenThroughBindMounts) {
    const BindMount bound(src(), at("bound"));
    if (!bound.error().empty()) {
        GTEST_SKIP() << bound.error();
    }
    writeFile(dst("keep.txt"), "earlier backup");
    const struct {
        std::string source, dest;
        const char* option;
        const char* message;
    } cases[] = {
        {src(), at("bound"), "/E", "Destination Directory lies inside the Source Directory"},
        {src(), at("bound/docs"), "/E", "Destination Directory lies inside the Source Directory"},
        {src(), at("bound/docs/new/deeper"), "/E",
         "Destination Directory lies inside the Source Directory"},
        {at("bound/docs"), src(), "/MIR", "Source Directory lies inside the Destination Directory"},
        {at("bound/docs/inner"), src("docs"), "/MIR",
         "Source Directory lies inside the Destination Directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source + " -> " + c.dest);
        const auto before = snapshot(src(), true);
        const auto result = runProgram({c.source, c.dest, c.option});
        EXPECT_EQ(result.code, 16) << result.output;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
        EXPECT_EQ(snapshot(src(), true), before);
        EXPECT_FALSE(exists(src("docs/new")));
    }
}

// A mount point inside the destination (here: the source bound into it) is
// never entered, neither to remove it as extra nor to copy into it.
TEST_F(Trees, MountPointInsideTheDestinationIsNeverEntered) {
    writeFile(at("other/docs/x.txt"), "x");
    const BindMount extra(src(), dst("extra"));
    const BindMount matching(src(), dst("docs"));
    if (!extra.error().empty()) {
        GTEST_SKIP() << extra.error();
    }
    const auto before = snapshot(src(), true);
    const auto result = runProgram({at("other"), dst(), "/MIR", "/W:0"});
    EXPECT_EQ(result.code & 8, 8) << result.output;
    EXPECT_NE(result.output.find("A mount point: not entered."), std::string::npos)
        << result.output;
    EXPECT_EQ(snapshot(src(), true), before);
}

namespace {

// What the walk seam does: when the walk reaches "when", the destination
// folder "swap" is moved to "movedTo" and a link to "outside" takes its place.
struct Swap {
    std::string when, swap, movedTo, outside;
    bool done = false;
};
Swap* activeSwap = nullptr;

void swapAtHook(const std::string& destFolder) {
    Swap& s = *activeSwap;
    if (s.done || destFolder != s.when) {
        return;
    }
    s.done = rename(s.swap.c_str(), s.movedTo.c_str()) == 0 &&
             symlink(s.outside.c_str(), s.swap.c_str()) == 0;
}

struct HookGuard {
    explicit HookGuard(Swap& swap) {
        activeSwap = &swap;
        rc::setWalkHook(swapAtHook);
    }
    ~HookGuard() {
        rc::setWalkHook(nullptr);
        activeSwap = nullptr;
    }
};

// Runs the program in this process (where the seam is), output to a file.
RunResult runHere(const std::vector<std::string>& words) {
    std::FILE* console = std::tmpfile();
    RunResult result;
    result.code = rc::run(words, console);
    std::rewind(console);
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, console)) {
        result.output.append(buffer, n);
    }
    std::fclose(console);
    return result;
}

} // namespace

// A destination folder swapped for a link to a folder outside while the run
// goes on: nothing outside is deleted, overwritten or given other bits or
// times, whichever folder is swapped and whenever.
TEST_F(Trees, FolderSwappedForALinkDuringTheRunTouchesNothingOutside) {
    const struct {
        const char* when; // the destination folder the walk has just reached
        const char* swap; // the destination folder swapped for the link
        bool failed;      // the run reports the folder it could not enter
    } cases[] = {
        {"", "docs", true},           // before the walk opens it
        {"docs", "docs", false},      // after: the walk keeps the folder it opened
        {"docs", "docs/inner", true}, // a sub-folder, while its parent is handled
        {"", "old/inner", false},     // inside an extra folder that is removed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.when) + " / " + c.swap);
        std::filesystem::remove_all(dst());
        std::filesystem::remove_all(at("outside"));
        std::filesystem::remove_all(at("moved"));
        ASSERT_EQ(runProgram({src(), dst(), "/MIR"}).code, 1);
        writeFile(src("docs/a.txt"), "alpha, edited");
        writeFile(dst("docs/extra.txt"), "extra in the backup");
        writeFile(dst("docs/inner/extra.txt"), "extra in the backup");
        writeFile(dst("old/inner/x.txt"), "an extra folder");
        for (const char* name : {"a.txt", "extra.txt", "c.txt", "inner/c.txt", "x.txt"}) {
            writeFile(at("outside/") + name, "outside, must stay");
        }
        chmod(at("outside").c_str(), 0700);
        setMtime(at("outside"), baseTime);
        const auto before = snapshot(at("outside"), true);

        Swap swap{c.when[0] ? dst(c.when) : dst(), dst(c.swap), at("moved"), at("outside")};
        const HookGuard guard(swap);
        const auto result = runHere({src(), dst(), "/MIR", "/DCOPY:DAT", "/W:0", "/R:0"});
        ASSERT_TRUE(swap.done);
        EXPECT_EQ(snapshot(at("outside"), true), before);
        EXPECT_EQ(modeOf(at("outside")), 0700u);
        EXPECT_EQ(mtimeNs(at("outside")), baseTime * 1000000000LL);
        EXPECT_EQ((result.code & 8) != 0, c.failed) << result.output;
        writeFile(src("docs/a.txt"), "alpha");
    }
}

namespace {

// Makes a chain of "depth" folders named "d" below "top", through handles
// (the path would be too long for the system).
void makeDeepChain(const std::string& top, unsigned depth) {
    makeDirs(top);
    int fd = open(top.c_str(), O_RDONLY | O_DIRECTORY);
    for (unsigned i = 0; i < depth && fd >= 0; ++i) {
        mkdirat(fd, "d", 0755);
        const int next = openat(fd, "d", O_RDONLY | O_DIRECTORY);
        close(fd);
        fd = next;
    }
    if (fd >= 0) {
        close(fd);
    }
}

} // namespace

// Trees deeper than any stack: an extra folder 20,000 levels deep is purged,
// and a source deeper than the walk goes is an error at that depth, no crash.
TEST_F(Trees, DeepTreesNeitherCrashNorLoseTheBackup) {
    ASSERT_EQ(copy({"/MIR"}).code, 1);
    makeDeepChain(dst("deep"), 20000);
    const auto purged = copy({"/MIR"});
    EXPECT_EQ(purged.code, 2) << purged.output.substr(0, 2000);
    EXPECT_FALSE(exists(dst("deep")));
    if (exists(dst("deep"))) {
        const int fd = open(dst().c_str(), O_RDONLY | O_DIRECTORY);
        rc::removeTree(fd, "deep", nullptr);
        close(fd);
    }

    makeDeepChain(src("deep"), rc::deepestLevel + 5);
    const auto deep = copy({"/E", "/NFL", "/NDL"});
    EXPECT_EQ(deep.code, 8) << deep.output;
    EXPECT_NE(deep.output.find("levels deep; it is not walked."), std::string::npos);
}

// The run's own log inside the destination is never deleted, neither as an
// extra file nor inside an extra folder (the rest of that folder goes), nor
// replaced by a source file of its name.
TEST_F(Trees, RunNeverDeletesItsOwnLog) {
    ASSERT_EQ(copy({"/MIR"}).code, 1);
    for (const char* log : {"run.log", "old/logs/run.log"}) {
        SCOPED_TRACE(log);
        writeFile(dst("old/gone.txt"), "extra");
        makeDirs(dst("old/logs"));
        const auto result = copy({"/MIR", "/LOG+:" + dst(log)});
        EXPECT_EQ(result.code & 8, 0) << readFile(dst(log));
        EXPECT_NE(readFile(dst(log)).find("   Files :"), std::string::npos);
        EXPECT_FALSE(exists(dst("old/gone.txt")));
        std::filesystem::remove_all(dst("old"));
    }
    // A source file of the log's name does not replace the log: that file fails.
    writeFile(src("run.log"), "a file of the same name");
    const auto result = copy({"/MIR", "/LOG:" + dst("run.log")});
    EXPECT_EQ(result.code & 8, 8);
    EXPECT_NE(readFile(dst("run.log")).find("this run's own log file"), std::string::npos);
}
