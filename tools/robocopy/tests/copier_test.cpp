// Copying single files: data, permission bits and times arrive; a copy that
// fails part-way leaves neither a partial file under the real name nor a
// temporary file behind.
#include "app.hpp"
#include "copier.hpp"
#include "support.hpp"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace rctest;

namespace {

// The test's source and target folders, held open as the walk holds them.
class Folders {
  public:
    explicit Folders(const TempDir& dir) : dir_(dir) {
        makeDirs(dir / "src");
        makeDirs(dir / "dst");
        source_ = open((dir / "src").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        dest_ = open((dir / "dst").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    ~Folders() {
        close(source_);
        close(dest_);
    }
    Folders(const Folders&) = delete;
    Folders& operator=(const Folders&) = delete;

    rc::CopyRequest request(const std::string& name) const {
        rc::CopyRequest r;
        r.source = dir_ / ("src/" + name);
        r.sourceDir = source_;
        r.sourceName = name;
        r.destDir = dest_;
        r.name = name;
        return r;
    }

  private:
    const TempDir& dir_;
    int source_ = -1, dest_ = -1;
};

// Names in the folder that are left over temporary files.
int leftovers(const std::string& folder) {
    int count = 0;
    for (const auto& [name, kind] : snapshot(folder)) {
        if (name.rfind(rc::tempPrefix, 0) == 0) {
            ++count;
        }
    }
    return count;
}

// Fails every copy once at least one chunk has been written.
int failAfterFirstChunk(const std::string&, std::uint64_t copied) {
    return copied > 0 ? EIO : 0;
}

// Changes the source once, in the way chosen, right after the first chunk.
enum class Change { truncate, append, rewrite, rewriteKeepTimes };
std::atomic<Change> changeKind{Change::truncate};
std::atomic<bool> changePending{false};

int changeSource(const std::string& source, std::uint64_t) {
    if (!changePending.exchange(false)) {
        return 0;
    }
    struct stat st {};
    EXPECT_EQ(stat(source.c_str(), &st), 0);
    const int fd = open(source.c_str(), O_WRONLY);
    EXPECT_GE(fd, 0);
    switch (changeKind.load()) {
    case Change::truncate:
        EXPECT_EQ(ftruncate(fd, st.st_size / 2), 0);
        break;
    case Change::append:
        EXPECT_EQ(pwrite(fd, "more", 4, st.st_size), 4);
        break;
    case Change::rewrite:
    case Change::rewriteKeepTimes:
        EXPECT_EQ(pwrite(fd, "new", 3, 1000), 3);
        break;
    }
    if (changeKind.load() == Change::rewriteKeepTimes) {
        const timespec times[2] = {st.st_atim, st.st_mtim};
        EXPECT_EQ(futimens(fd, times), 0);
    }
    close(fd);
    return 0;
}

struct MethodGuard {
    explicit MethodGuard(rc::CopyMethod method) { rc::setFirstCopyMethod(method); }
    ~MethodGuard() { rc::setFirstCopyMethod(rc::CopyMethod::clone); }
};

struct HookGuard {
    explicit HookGuard(rc::FaultHook hook) { rc::setFaultHook(hook); }
    ~HookGuard() { rc::setFaultHook(nullptr); }
};

struct ChangeOnce {
    explicit ChangeOnce(Change kind) {
        changeKind = kind;
        changePending = true;
        rc::setFaultHook(changeSource);
    }
    ~ChangeOnce() {
        rc::setFaultHook(nullptr);
        changePending = false;
    }
};

} // namespace

TEST(CopyFile, CarriesDataModeAndTimes) {
    TempDir dir;
    writeFile(dir / "src/a.bin", pattern(70000));
    chmod((dir / "src/a.bin").c_str(), 0751);
    setMtime(dir / "src/a.bin", 1500000000, 123456789);
    makeDirs(dir / "dst");
    const auto outcome = rc::copyFile(Folders(dir).request("a.bin"));
    ASSERT_EQ(outcome.error, 0);
    EXPECT_EQ(outcome.bytes, 70000u);
    EXPECT_TRUE(readFile(dir / "dst/a.bin") == pattern(70000));
    EXPECT_EQ(modeOf(dir / "dst/a.bin"), 0751u);
    EXPECT_EQ(mtimeNs(dir / "dst/a.bin"), 1500000000LL * 1000000000 + 123456789);
    EXPECT_EQ(leftovers(dir / "dst"), 0);
}

TEST(CopyFile, FlagsDecideModeAndTimes) {
    TempDir dir;
    writeFile(dir / "src/a", "abc");
    chmod((dir / "src/a").c_str(), 0700);
    setMtime(dir / "src/a", 1400000000);
    makeDirs(dir / "dst");
    const Folders folders(dir);
    rc::CopyRequest r = folders.request("a");
    r.flags = rc::CopyFlags{true, false, false, false, false};
    r.newFileMode = 0640;
    ASSERT_EQ(rc::copyFile(r).error, 0);
    EXPECT_EQ(modeOf(dir / "dst/a"), 0640u);
    EXPECT_NE(mtimeNs(dir / "dst/a"), 1400000000LL * 1000000000);
}

TEST(CopyFile, ReplacesFileAndLinkWithoutWritingThroughTheLink) {
    TempDir dir;
    writeFile(dir / "src/a", "new content");
    writeFile(dir / "dst/a", "old");
    writeFile(dir / "src/b", "bbb");
    writeFile(dir / "outside/target", "must stay");
    ASSERT_EQ(symlink((dir / "outside/target").c_str(), (dir / "dst/b").c_str()), 0);
    ASSERT_EQ(rc::copyFile(Folders(dir).request("a")).error, 0);
    ASSERT_EQ(rc::copyFile(Folders(dir).request("b")).error, 0);
    EXPECT_EQ(readFile(dir / "dst/a"), "new content");
    EXPECT_EQ(readFile(dir / "dst/b"), "bbb");
    EXPECT_EQ(snapshot(dir / "dst")["b"], "f:bbb");
    EXPECT_EQ(readFile(dir / "outside/target"), "must stay");
}

TEST(CopyFile, FailureHalfWayKeepsOldVersionAndLeavesNoTemporaryFile) {
    for (const rc::CopyMethod method : {rc::CopyMethod::clone, rc::CopyMethod::readWrite}) {
        const MethodGuard methodGuard(method);
        TempDir dir;
        writeFile(dir / "src/big", pattern(600 * 1024));
        writeFile(dir / "src/new", pattern(600 * 1024));
        writeFile(dir / "dst/big", "previous version");
        const HookGuard guard(failAfterFirstChunk);
        const auto replaced = rc::copyFile(Folders(dir).request("big"));
        const auto fresh = rc::copyFile(Folders(dir).request("new"));
        EXPECT_EQ(replaced.error, EIO);
        EXPECT_EQ(fresh.error, EIO);
        EXPECT_GT(fresh.bytes, 0u);
        EXPECT_EQ(readFile(dir / "dst/big"), "previous version");
        EXPECT_FALSE(exists(dir / "dst/new"));
        EXPECT_EQ(leftovers(dir / "dst"), 0);
    }
}

// A source that someone writes to while it is copied: the copy holds neither
// version, so it must not take the real name; the earlier copy stays.
TEST(CopyFile, SourceChangedDuringTheCopyIsNotPutInPlace) {
    const struct {
        const char* change;
        Change kind;
    } changes[] = {
        {"cut to half its size", Change::truncate},
        {"grown at its end", Change::append},
        {"rewritten at the same size", Change::rewrite},
        {"rewritten with its old times put back", Change::rewriteKeepTimes},
    };
    for (const rc::CopyMethod method : {rc::CopyMethod::clone, rc::CopyMethod::readWrite}) {
        const MethodGuard methodGuard(method);
        for (const auto& c : changes) {
            TempDir dir;
            writeFile(dir / "src/f", pattern(600 * 1024));
            setMtime(dir / "src/f", 1500000000);
            writeFile(dir / "dst/f", "previous version");
            const ChangeOnce change(c.kind);
            const auto outcome = rc::copyFile(Folders(dir).request("f"));
            const std::string where =
                std::string(c.change) +
                (method == rc::CopyMethod::clone ? ", in-kernel copy" : ", read/write");
            EXPECT_EQ(outcome.error, rc::sourceChangedError) << where;
            EXPECT_EQ(readFile(dir / "dst/f"), "previous version") << where;
            EXPECT_EQ(leftovers(dir / "dst"), 0) << where;
        }
    }
}

TEST(CopyFile, ModeArrivesWhateverTheUmaskTakesAway) {
    const struct {
        mode_t source;
        mode_t umask;
    } cases[] = {
        {0751, 022},                // allowed by the umask: created so
        {0666, 022},                // bits the umask removes at creation are put back
        {0777, 077},  {04755, 022}, // special bits only once the data is complete
        {02750, 022}, {0400, 022},
    };
    for (const auto& c : cases) {
        TempDir dir;
        writeFile(dir / "src/a", "data");
        ASSERT_EQ(chmod((dir / "src/a").c_str(), c.source), 0);
        makeDirs(dir / "dst");
        const Folders folders(dir);
        rc::CopyRequest r = folders.request("a");
        r.creationMask = c.umask;
        const mode_t previous = umask(c.umask);
        const auto outcome = rc::copyFile(r);
        umask(previous);
        ASSERT_EQ(outcome.error, 0);
        EXPECT_EQ(modeOf(dir / "dst/a"), static_cast<unsigned>(c.source)) << std::oct << c.source;
        EXPECT_EQ(readFile(dir / "dst/a"), "data");
    }
}

TEST(CopyFile, RealNameTakenByAFolderFailsAndLeavesItAlone) {
    TempDir dir;
    writeFile(dir / "src/a", "data");
    writeFile(dir / "dst/a/inside", "kept");
    const auto outcome = rc::copyFile(Folders(dir).request("a"));
    EXPECT_EQ(outcome.error, EISDIR);
    EXPECT_EQ(readFile(dir / "dst/a/inside"), "kept");
    EXPECT_EQ(leftovers(dir / "dst"), 0);
}

TEST(CopyFile, RefusesFifoWithoutBlocking) {
    TempDir dir;
    makeDirs(dir / "src");
    makeDirs(dir / "dst");
    ASSERT_EQ(mkfifo((dir / "src/pipe").c_str(), 0644), 0);
    // Without a writer, a blocking open would wait forever (the test would hang).
    const auto outcome = rc::copyFile(Folders(dir).request("pipe"));
    EXPECT_EQ(outcome.error, EINVAL);
    EXPECT_FALSE(exists(dir / "dst/pipe"));
    EXPECT_EQ(leftovers(dir / "dst"), 0);
}

TEST(CopyFile, LinkCopiedAsLink) {
    TempDir dir;
    makeDirs(dir / "src");
    makeDirs(dir / "dst");
    ASSERT_EQ(symlink("../elsewhere/x", (dir / "src/l").c_str()), 0);
    const Folders folders(dir);
    rc::CopyRequest r = folders.request("l");
    r.asLink = true;
    ASSERT_EQ(rc::copyFile(r).error, 0);
    EXPECT_EQ(snapshot(dir / "dst")["l"], "l:../elsewhere/x");
}

TEST(CopyFile, MissingSourceReported) {
    TempDir dir;
    makeDirs(dir / "src");
    makeDirs(dir / "dst");
    EXPECT_EQ(rc::copyFile(Folders(dir).request("gone")).error, ENOENT);
    EXPECT_EQ(leftovers(dir / "dst"), 0);
}

// A whole run retries a copy whose source changed as often as /R allows, then
// counts it as failed; the real name only ever holds a whole version.
TEST(CopyRetries, ChangedSourceIsRetriedThenCountedAsFailed) {
    const struct {
        const char* retries;
        int exitCode;
        bool arrives;
    } cases[] = {
        {"/R:1", 1, true},
        {"/R:0", 8, false},
    };
    for (const auto& c : cases) {
        TempDir dir;
        writeFile(dir / "src/f", pattern(600 * 1024));
        makeDirs(dir / "dst");
        const ChangeOnce change(Change::append);
        std::FILE* console = std::tmpfile();
        ASSERT_NE(console, nullptr);
        const int code = rc::run({dir / "src", dir / "dst", c.retries, "/W:0"}, console);
        std::string output(static_cast<std::size_t>(std::ftell(console)), '\0');
        std::rewind(console);
        output.resize(std::fread(output.data(), 1, output.size(), console));
        std::fclose(console);
        EXPECT_EQ(code, c.exitCode) << output;
        EXPECT_NE(output.find("ERROR 32 (0x00000020) Copying File"), std::string::npos) << output;
        if (c.arrives) {
            EXPECT_TRUE(readFile(dir / "dst/f") == readFile(dir / "src/f")) << c.retries;
        } else {
            EXPECT_FALSE(exists(dir / "dst/f")) << c.retries;
        }
        EXPECT_EQ(leftovers(dir / "dst"), 0) << c.retries;
    }
}
