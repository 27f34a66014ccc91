// Copying single files: data, permission bits and times arrive; a copy that
// fails part-way leaves neither a partial file under the real name nor a
// temporary file behind.
#include "copier.hpp"
#include "support.hpp"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace rctest;

namespace {

std::string pattern(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        data[i] = static_cast<char>((i * 131 + i / 7) & 0xff);
    }
    return data;
}

rc::CopyRequest request(const TempDir& dir, const std::string& name) {
    rc::CopyRequest r;
    r.source = dir / ("src/" + name);
    r.destDir = dir / "dst";
    r.name = name;
    return r;
}

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

struct HookGuard {
    explicit HookGuard(rc::FaultHook hook) { rc::setFaultHook(hook); }
    ~HookGuard() { rc::setFaultHook(nullptr); }
};

} // namespace

TEST(CopyData, BothWaysCopyEveryByte) {
    const std::size_t sizes[] = {0, 1, 4095, 256 * 1024, 256 * 1024 + 17, 3 * 1000 * 1000};
    for (const bool useRange : {true, false}) {
        for (const std::size_t size : sizes) {
            TempDir dir;
            const std::string data = pattern(size);
            writeFile(dir / "in", data);
            const int in = open((dir / "in").c_str(), O_RDONLY);
            const int out = open((dir / "out").c_str(), O_WRONLY | O_CREAT, 0600);
            std::uint64_t copied = 0;
            EXPECT_EQ(rc::copyData(in, out, size, useRange, "in", copied), 0);
            close(in);
            close(out);
            EXPECT_EQ(copied, size);
            EXPECT_TRUE(readFile(dir / "out") == data) << size << " range=" << useRange;
        }
    }
}

TEST(CopyFile, CarriesDataModeAndTimes) {
    TempDir dir;
    writeFile(dir / "src/a.bin", pattern(70000));
    chmod((dir / "src/a.bin").c_str(), 0751);
    setMtime(dir / "src/a.bin", 1500000000, 123456789);
    makeDirs(dir / "dst");
    const auto outcome = rc::copyFile(request(dir, "a.bin"));
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
    rc::CopyRequest r = request(dir, "a");
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
    ASSERT_EQ(rc::copyFile(request(dir, "a")).error, 0);
    ASSERT_EQ(rc::copyFile(request(dir, "b")).error, 0);
    EXPECT_EQ(readFile(dir / "dst/a"), "new content");
    EXPECT_EQ(readFile(dir / "dst/b"), "bbb");
    EXPECT_EQ(snapshot(dir / "dst")["b"], "f:bbb");
    EXPECT_EQ(readFile(dir / "outside/target"), "must stay");
}

TEST(CopyFile, FailureHalfWayKeepsOldVersionAndLeavesNoTemporaryFile) {
    TempDir dir;
    writeFile(dir / "src/big", pattern(600 * 1024));
    writeFile(dir / "src/new", pattern(600 * 1024));
    writeFile(dir / "dst/big", "previous version");
    const HookGuard guard(failAfterFirstChunk);
    const auto replaced = rc::copyFile(request(dir, "big"));
    const auto fresh = rc::copyFile(request(dir, "new"));
    EXPECT_EQ(replaced.error, EIO);
    EXPECT_EQ(fresh.error, EIO);
    EXPECT_GT(fresh.bytes, 0u);
    EXPECT_EQ(readFile(dir / "dst/big"), "previous version");
    EXPECT_FALSE(exists(dir / "dst/new"));
    EXPECT_EQ(leftovers(dir / "dst"), 0);
}

TEST(CopyFile, RefusesFifoWithoutBlocking) {
    TempDir dir;
    makeDirs(dir / "src");
    makeDirs(dir / "dst");
    ASSERT_EQ(mkfifo((dir / "src/pipe").c_str(), 0644), 0);
    // Without a writer, a blocking open would wait forever (the test would hang).
    const auto outcome = rc::copyFile(request(dir, "pipe"));
    EXPECT_EQ(outcome.error, EINVAL);
    EXPECT_FALSE(exists(dir / "dst/pipe"));
    EXPECT_EQ(leftovers(dir / "dst"), 0);
}

TEST(CopyFile, LinkCopiedAsLink) {
    TempDir dir;
    makeDirs(dir / "src");
    makeDirs(dir / "dst");
    ASSERT_EQ(symlink("../elsewhere/x", (dir / "src/l").c_str()), 0);
    rc::CopyRequest r = request(dir, "l");
    r.asLink = true;
    ASSERT_EQ(rc::copyFile(r).error, 0);
    EXPECT_EQ(snapshot(dir / "dst")["l"], "l:../elsewhere/x");
}

TEST(CopyFile, MissingSourceReported) {
    TempDir dir;
    makeDirs(dir / "src");
    makeDirs(dir / "dst");
    EXPECT_EQ(rc::copyFile(request(dir, "gone")).error, ENOENT);
    EXPECT_EQ(leftovers(dir / "dst"), 0);
}
