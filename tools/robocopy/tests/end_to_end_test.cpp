// The built program run on real temporary trees.
#include "report.hpp"
#include "support.hpp"

#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace rctest;

namespace {

constexpr std::int64_t baseTime = 1600000000;

class Program : public ::testing::Test {
  protected:
    void SetUp() override {
        writeFile(src("a.txt"), "alpha");
        writeFile(src("b.doc"), "bravo!");
        writeFile(src("sub/c.txt"), "charlie");
        writeFile(src("sub/deep/d.bin"), std::string(5000, 'd'));
        makeDirs(src("empty"));
        std::int64_t t = baseTime;
        for (const char* name : {"a.txt", "b.doc", "sub/c.txt", "sub/deep/d.bin"}) {
            setMtime(src(name), t += 100);
        }
    }

    std::string src(const std::string& relative = "") const {
        return relative.empty() ? dir_ / "src" : dir_ / ("src/" + relative);
    }
    std::string dst(const std::string& relative = "") const {
        return relative.empty() ? dir_ / "dst" : dir_ / ("dst/" + relative);
    }
    std::string at(const std::string& relative) const { return dir_ / relative; }

    // Runs source -> destination with the given options and no retry waits.
    RunResult copy(std::vector<std::string> options = {}, std::uint64_t sizeLimit = 0) const {
        std::vector<std::string> args = {src(), dst()};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back("/W:0");
        return runProgram(args, sizeLimit);
    }

    // Files (not folders) of a tree, with content and times.
    static std::map<std::string, std::string> files(const std::string& root) {
        auto all = snapshot(root, true);
        std::erase_if(all, [](const auto& item) { return item.second == "d"; });
        return all;
    }

    TempDir dir_;
};

std::set<std::string> names(const std::string& root) {
    std::set<std::string> out;
    for (const auto& [name, kind] : snapshot(root)) {
        out.insert(name);
    }
    return out;
}

} // namespace

TEST_F(Program, CopiesTreeAndFindsNothingToDoNextTime) {
    const auto first = copy({"/E"});
    EXPECT_EQ(first.code, 1) << first.output;
    EXPECT_EQ(snapshot(src(), true), snapshot(dst(), true));
    EXPECT_EQ(summaryRow(first.output, "Files :"),
              (std::vector<std::string>{"4", "4", "0", "0", "0", "0"}));
    EXPECT_EQ(summaryRow(first.output, "Dirs :"),
              (std::vector<std::string>{"4", "4", "0", "0", "0", "0"}));
    EXPECT_NE(first.output.find("New File"), std::string::npos);
    EXPECT_EQ(occurrences(first.output, "  New Dir"), 4) << first.output;

    const auto second = copy({"/E"});
    EXPECT_EQ(second.code, 0) << second.output;
    EXPECT_EQ(summaryRow(second.output, "Files :"),
              (std::vector<std::string>{"4", "0", "4", "0", "0", "0"}));
    EXPECT_EQ(second.output.find("New File"), std::string::npos);
    EXPECT_EQ(second.output.find("New Dir"), std::string::npos);
}

TEST_F(Program, DepthOptionsDecideWhichFoldersArrive) {
    const struct {
        std::vector<std::string> options;
        std::set<std::string> expected;
    } cases[] = {
        {{}, {"a.txt", "b.doc"}},
        {{"/S"}, {"a.txt", "b.doc", "sub", "sub/c.txt", "sub/deep", "sub/deep/d.bin"}},
        {{"/E"}, {"a.txt", "b.doc", "empty", "sub", "sub/c.txt", "sub/deep", "sub/deep/d.bin"}},
        {{"/E", "/LEV:2"}, {"a.txt", "b.doc", "empty", "sub", "sub/c.txt"}},
        {{"/S", "/LEV:1"}, {"a.txt", "b.doc"}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(dst());
        const auto result = copy(c.options);
        EXPECT_EQ(result.code, 1) << result.output;
        EXPECT_EQ(names(dst()), c.expected) << (c.options.empty() ? "" : c.options[0]);
    }
}

TEST_F(Program, NewerOlderAndChangedFilesAreCopiedUnlessExcluded) {
    const struct {
        const char* option;
        std::set<std::string> copied;
    } cases[] = {
        {nullptr, {"a.txt", "b.doc", "sub/c.txt"}},
        {"/XN", {"b.doc", "sub/c.txt"}},
        {"/XO", {"a.txt", "sub/c.txt"}},
        {"/XC", {"a.txt", "b.doc"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.option ? c.option : "defaults");
        std::filesystem::remove_all(dst());
        ASSERT_EQ(copy({"/E"}).code, 1);
        // a.txt: newer in the source; b.doc: the backup is newer; c.txt: same time, other size.
        writeFile(src("a.txt"), "alpha 2");
        setMtime(src("a.txt"), baseTime + 5000);
        setMtime(dst("b.doc"), baseTime + 9000);
        writeFile(dst("sub/c.txt"), "changed in backup");
        setMtime(dst("sub/c.txt"), baseTime + 300);

        std::vector<std::string> options = {"/E"};
        if (c.option != nullptr) {
            options.push_back(c.option);
        }
        const auto result = copy(options);
        EXPECT_EQ(result.code, 1) << result.output;
        const std::pair<const char*, const char*> expectations[] = {
            {"a.txt", "Newer"}, {"b.doc", "Older"}, {"sub/c.txt", "Changed"}};
        for (const auto& [name, tag] : expectations) {
            const bool copied = c.copied.count(name) != 0;
            EXPECT_EQ(readFile(dst(name)) == readFile(src(name)) &&
                          mtimeNs(dst(name)) == mtimeNs(src(name)),
                      copied)
                << name;
            EXPECT_EQ(result.output.find(tag) != std::string::npos, copied) << tag;
        }
        setMtime(src("a.txt"), baseTime + 100);
        writeFile(src("a.txt"), "alpha");
        setMtime(src("a.txt"), baseTime + 100);
    }
}

TEST_F(Program, SameSizeAndTimeIsSkippedUnlessIncludeSame) {
    ASSERT_EQ(copy({"/E"}).code, 1);
    writeFile(dst("a.txt"), "ALPHA"); // same size
    setMtime(dst("a.txt"), baseTime + 100);
    EXPECT_EQ(copy({"/E"}).code, 0);
    EXPECT_EQ(readFile(dst("a.txt")), "ALPHA");
    const auto result = copy({"/E", "/IS"});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(readFile(dst("a.txt")), "alpha");
}

TEST_F(Program, TwoSecondToleranceWithFatTimes) {
    ASSERT_EQ(copy({}).code, 1);
    setMtime(dst("a.txt"), baseTime + 101);
    const auto tolerant = copy({"/FFT"});
    EXPECT_EQ(tolerant.code, 0) << tolerant.output;
    const auto exact = copy({});
    EXPECT_EQ(exact.code, 1);
    EXPECT_NE(exact.output.find("Older"), std::string::npos);
}

TEST_F(Program, ExtrasAreReportedKeptOrPurged) {
    const auto addExtras = [this] {
        writeFile(dst("extra.txt"), "x");
        writeFile(dst("olddir/inner/y.txt"), "y");
        writeFile(dst("sub/extra2.txt"), "z");
    };
    const struct {
        std::vector<std::string> options;
        int code;
        bool extrasRemain;
        bool deepExtraRemains;
        int extraLines;
    } cases[] = {
        {{"/E"}, 2, true, true, 3},
        {{"/MIR"}, 2, false, false, 3},
        {{"/E", "/PURGE"}, 2, false, false, 3},
        {{"/PURGE"}, 2, false, true, 2},
        {{"/MIR", "/XX"}, 0, true, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options[0] + (c.options.size() > 1 ? " " + c.options[1] : ""));
        std::filesystem::remove_all(dst());
        ASSERT_EQ(copy({"/E"}).code, 1);
        addExtras();
        const auto result = copy(c.options);
        EXPECT_EQ(result.code, c.code) << result.output;
        EXPECT_EQ(exists(dst("extra.txt")), c.extrasRemain);
        EXPECT_EQ(exists(dst("olddir")), c.extrasRemain);
        EXPECT_EQ(exists(dst("sub/extra2.txt")), c.deepExtraRemains);
        EXPECT_EQ(occurrences(result.output, "*EXTRA "), c.extraLines) << result.output;
    }
    std::filesystem::remove_all(dst());
    ASSERT_EQ(copy({"/E"}).code, 1);
    addExtras();
    ASSERT_EQ(copy({"/MIR"}).code, 2);
    EXPECT_EQ(snapshot(src(), true), snapshot(dst(), true));
}

TEST_F(Program, LonelyFilesSkippedWithExcludeLonely) {
    ASSERT_EQ(copy({}).code, 1);
    writeFile(src("fresh.txt"), "new");
    writeFile(src("a.txt"), "alpha changed");
    const auto result = copy({"/XL", "/E"});
    EXPECT_EQ(result.code, 1) << result.output;
    EXPECT_FALSE(exists(dst("fresh.txt")));
    EXPECT_FALSE(exists(dst("sub")));
    EXPECT_EQ(readFile(dst("a.txt")), "alpha changed");
}

TEST_F(Program, MismatchReportedAndResolvedOnlyByPurge) {
    writeFile(dst("a.txt/inside"), "a folder where the source has a file");
    writeFile(dst("sub"), "a file where the source has a folder");
    const auto plain = copy({"/E"});
    EXPECT_EQ(plain.code & 4, 4) << plain.output;
    EXPECT_EQ(plain.code & 8, 0) << plain.output;
    EXPECT_EQ(occurrences(plain.output, "*MISMATCH"), 2);
    EXPECT_TRUE(exists(dst("a.txt/inside")));
    EXPECT_EQ(readFile(dst("sub")), "a file where the source has a folder");

    const auto mirror = copy({"/MIR"});
    EXPECT_EQ(mirror.code, 5) << mirror.output;
    EXPECT_EQ(snapshot(src(), true), snapshot(dst(), true));
}

TEST_F(Program, ExclusionsLeaveFilesOutAndProtectThemFromPurge) {
    writeFile(src("cache/blob"), "b");
    writeFile(src("sub/cache/blob"), "b");
    writeFile(src("sub/x.tmp"), "t");
    const auto result = copy({"/MIR", "/XF", "*.TMP", "b.doc", "/XD", "Cache", src("sub/deep")});
    EXPECT_EQ(result.code, 1) << result.output;
    EXPECT_EQ(names(dst()), (std::set<std::string>{"a.txt", "empty", "sub", "sub/c.txt"}));

    // What the exclusions name stays in the destination on the next mirror.
    writeFile(dst("b.doc"), "kept");
    writeFile(dst("cache/old"), "kept");
    writeFile(dst("sub/deep/old"), "kept");
    writeFile(dst("gone.txt"), "removed");
    const auto again = copy({"/MIR", "/XF", "*.TMP", "b.doc", "/XD", "Cache", src("sub/deep")});
    EXPECT_EQ(again.code, 2) << again.output;
    EXPECT_TRUE(exists(dst("b.doc")));
    EXPECT_TRUE(exists(dst("cache/old")));
    EXPECT_TRUE(exists(dst("sub/deep/old")));
    EXPECT_FALSE(exists(dst("gone.txt")));
}

TEST_F(Program, IncludePatternsIgnoreLetterCase) {
    const auto result = copy({"*.TXT", "/S"});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(names(dst()), (std::set<std::string>{"a.txt", "sub", "sub/c.txt"}));
    EXPECT_EQ(occurrences(result.output, "  New Dir"), 2) << result.output;
}

TEST_F(Program, AgeAndSizeLimits) {
    const std::int64_t now = std::time(nullptr);
    writeFile(src("old.txt"), "0123456789");
    setMtime(src("old.txt"), now - 40 * 86400);
    writeFile(src("recent.txt"), "01");
    setMtime(src("recent.txt"), now - 3600);
    std::filesystem::remove_all(src("sub"));
    std::filesystem::remove_all(src("empty"));
    // a.txt (5 bytes) and b.doc (6 bytes) date from 2020.
    const struct {
        std::vector<std::string> options;
        std::set<std::string> expected;
    } cases[] = {
        {{"/MAXAGE:60"}, {"old.txt", "recent.txt"}},
        {{"/MAXAGE:7"}, {"recent.txt"}},
        {{"/MINAGE:7"}, {"a.txt", "b.doc", "old.txt"}},
        {{"/MINAGE:7", "/MAXAGE:60"}, {"old.txt"}},
        {{"/MAX:5"}, {"a.txt", "recent.txt"}},
        {{"/MIN:6"}, {"b.doc", "old.txt"}},
        {{"/MIN:3", "/MAX:6"}, {"a.txt", "b.doc"}},
        {{"/MAXAGE:20200101"}, {"a.txt", "b.doc", "old.txt", "recent.txt"}},
        {{"/MINAGE:20200101"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options[0]);
        std::filesystem::remove_all(dst());
        const auto result = copy(c.options);
        EXPECT_EQ(result.code, c.expected.empty() ? 0 : 1) << result.output;
        EXPECT_EQ(names(dst()), c.expected);
    }
}

TEST_F(Program, ListOnlyChangesNothing) {
    const auto fresh = copy({"/E", "/L"});
    EXPECT_EQ(fresh.code, 1) << fresh.output;
    EXPECT_FALSE(exists(dst()));
    EXPECT_EQ(occurrences(fresh.output, "New File"), 4);
    EXPECT_EQ(summaryRow(fresh.output, "Files :"),
              (std::vector<std::string>{"4", "4", "0", "0", "0", "0"}));

    ASSERT_EQ(copy({"/E"}).code, 1);
    writeFile(dst("extra.txt"), "x");
    writeFile(src("a.txt"), "alpha, edited");
    std::filesystem::remove(dst("b.doc"));
    writeFile(dst("b.doc/x"), "mismatch");
    std::filesystem::remove_all(dst("sub"));
    writeFile(dst("sub"), "a file where the source has a folder");
    const auto before = snapshot(dst(), true);
    const auto listed = copy({"/MIR", "/L"});
    EXPECT_EQ(listed.code, 7) << listed.output;
    EXPECT_EQ(snapshot(dst(), true), before);
}

TEST_F(Program, FatalErrorsExitSixteenAndTouchNothing) {
    writeFile(at("plainfile"), "not a folder");
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{src(), dst(), "/FOO"}, "ERROR : Invalid Parameter #3 : \"/FOO\""},
        {{src(), dst(), "/E", "/R:x"}, "ERROR : Invalid Parameter #4 : \"/R:x\""},
        {{src(), dst(), "sub/a.txt"}, "ERROR : Invalid Parameter #3 : \"sub/a.txt\""},
        {{src(), dst(), "/MOV"}, "ERROR : Invalid Parameter #3 : \"/MOV\""},
        {{src(), dst(), "/E", "/MOVE"}, "ERROR : Invalid Parameter #4 : \"/MOVE\""},
        {{src()}, "ERROR : No Destination Directory Specified."},
        {{at("missing"), dst()},
         "ERROR 2 (0x00000002) Accessing Source Directory " + at("missing") + "/"},
        {{at("plainfile"), dst()}, "Accessing Source Directory"},
        {{src(), src("sub/backup"), "/E"},
         "Destination Directory lies inside the Source Directory"},
        {{src(), src(), "/E"}, "Destination Directory lies inside the Source Directory"},
        {{src("sub"), src(), "/MIR"}, "Source Directory lies inside the Destination Directory"},
        {{src(), "D:\\Sicherung"}, "Accessing Destination Directory D:/Sicherung"},
        {{src(), "d:Sicherung"}, "Accessing Destination Directory d:Sicherung"},
        {{src(), "/" + dst()}, "Accessing Destination Directory /" + dst()},
        {{"\\" + src(), dst()}, "A network path names no folder"},
        {{src(), dst(), "/LOG:" + at("no/such/folder/x.log")}, "Opening Log File"},
        {{"/?"}, "Usage ::"},
    };
    for (const auto& c : cases) {
        const auto before = snapshot(dir_.path());
        const auto result = runProgram(c.args);
        EXPECT_EQ(result.code, 16) << result.output;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
        EXPECT_EQ(snapshot(dir_.path()), before) << c.message;
    }
}

TEST_F(Program, LogThatIsAFifoOrALinkIsRefusedAtOnce) {
    writeFile(at("elsewhere.txt"), "not the log");
    ASSERT_EQ(mkfifo(at("fifo.log").c_str(), 0600), 0);
    ASSERT_EQ(symlink(at("elsewhere.txt").c_str(), at("link.log").c_str()), 0);
    for (const char* name : {"fifo.log", "link.log"}) {
        const auto result = runProgram({src(), dst(), "/E", "/LOG:" + at(name)});
        EXPECT_EQ(result.code, 16) << name << "\n" << result.output;
        EXPECT_NE(result.output.find("Opening Log File"), std::string::npos) << result.output;
        EXPECT_FALSE(std::filesystem::exists(dst())) << name;
    }
    EXPECT_EQ(readFile(at("elsewhere.txt")), "not the log");
}

TEST_F(Program, DestinationInsideSourceAllowedWhenExcluded) {
    const auto result = runProgram({src(), src("backup"), "/E", "/XD", "backup", "/W:0"});
    EXPECT_EQ(result.code, 1) << result.output;
    EXPECT_TRUE(exists(src("backup/sub/c.txt")));
    EXPECT_FALSE(exists(src("backup/backup")));
}

TEST_F(Program, AbsolutePathsInEitherSlashStyle) {
    std::string windowsStyle = src();
    std::replace(windowsStyle.begin(), windowsStyle.end(), '/', '\\');
    std::string target = dst() + "\\";
    std::replace(target.begin(), target.end(), '/', '\\');
    const auto result = runProgram({windowsStyle, target, "/s", "/w:0"});
    EXPECT_EQ(result.code, 1) << result.output;
    EXPECT_NE(result.output.find("   Source : " + src() + "/\n"), std::string::npos);
    EXPECT_NE(result.output.find("     Dest : " + dst() + "/\n"), std::string::npos);
    EXPECT_EQ(files(src()), files(dst()));

    // A single-component word is read as an option.
    const auto top = runProgram({"/tmp", dst()});
    EXPECT_EQ(top.code, 16);
    EXPECT_NE(top.output.find("Invalid Parameter #1 : \"/tmp\""), std::string::npos);
}

TEST_F(Program, PurgeNeverReachesThroughLinks) {
    writeFile(at("outside/keep.txt"), "precious");
    writeFile(at("outside2/keep.txt"), "precious too");
    makeDirs(dst());
    ASSERT_EQ(symlink(at("outside").c_str(), dst("linkdir").c_str()), 0);
    ASSERT_EQ(symlink(at("outside2").c_str(), dst("sub").c_str()), 0);
    const auto result = copy({"/MIR"});
    EXPECT_EQ(result.code & 8, 0) << result.output;
    EXPECT_EQ(readFile(at("outside/keep.txt")), "precious");
    EXPECT_EQ(names(at("outside2")), (std::set<std::string>{"keep.txt"}));
    EXPECT_FALSE(exists(dst("linkdir")));
    EXPECT_EQ(snapshot(src(), true), snapshot(dst(), true));
}

TEST_F(Program, SourceLinkLoopIsNotFollowed) {
    ASSERT_EQ(symlink("..", src("sub/up").c_str()), 0);
    ASSERT_EQ(symlink(src().c_str(), src("sub/deep/top").c_str()), 0);
    const auto result = copy({"/E"});
    EXPECT_EQ(result.code, 9) << result.output;
    EXPECT_EQ(occurrences(result.output, "Symbolic link loop"), 2);
    EXPECT_FALSE(exists(dst("sub/up")));
    EXPECT_TRUE(exists(dst("sub/deep/d.bin")));
}

TEST_F(Program, LinksFollowedSkippedOrCopiedAsLinks) {
    ASSERT_EQ(symlink("a.txt", src("alias.txt").c_str()), 0);
    ASSERT_EQ(symlink("sub", src("subalias").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", src("broken").c_str()), 0);

    const auto followed = copy({"/E"});
    EXPECT_EQ(followed.code, 9) << followed.output; // the broken link fails
    EXPECT_EQ(snapshot(dst())["alias.txt"], "f:alpha");
    EXPECT_EQ(snapshot(dst())["subalias/c.txt"], "f:charlie");

    std::filesystem::remove_all(dst());
    const auto skipped = copy({"/E", "/XJ"});
    EXPECT_EQ(skipped.code, 1) << skipped.output;
    EXPECT_FALSE(exists(dst("alias.txt")));
    EXPECT_FALSE(exists(dst("subalias")));

    std::filesystem::remove_all(dst());
    const auto asLinks = copy({"/E", "/SL"});
    EXPECT_EQ(asLinks.code, 1) << asLinks.output;
    EXPECT_EQ(snapshot(dst())["alias.txt"], "l:a.txt");
    EXPECT_EQ(snapshot(dst())["subalias"], "l:sub");
    EXPECT_EQ(snapshot(dst())["broken"], "l:nowhere");
}

TEST_F(Program, InterruptedCopyLeavesNoPartialFile) {
    writeFile(src("huge.bin"), std::string(300 * 1024, 'h'));
    writeFile(dst("sub/deep/d.bin"), "old version");
    setMtime(dst("sub/deep/d.bin"), baseTime);
    writeFile(src("sub/deep/d.bin"), std::string(200 * 1024, 'n'));
    // Writes beyond 64 KiB fail, as on a full disk.
    const auto result = copy({"/E", "/R:2"}, 64 * 1024);
    EXPECT_EQ(result.code, 9) << result.output;
    EXPECT_FALSE(exists(dst("huge.bin")));
    EXPECT_EQ(readFile(dst("sub/deep/d.bin")), "old version");
    EXPECT_EQ(readFile(dst("a.txt")), "alpha");
    EXPECT_EQ(occurrences(result.output, "ERROR 223 (0x000000DF) Copying File"), 6);
    EXPECT_EQ(occurrences(result.output, "Waiting 0 seconds... Retrying..."), 4);
    EXPECT_EQ(occurrences(result.output, "ERROR: RETRY LIMIT EXCEEDED."), 2);
    EXPECT_EQ(summaryRow(result.output, "Files :")[4], "2");
    for (const auto& [name, kind] : snapshot(dst())) {
        EXPECT_EQ(name.find(".~copy."), std::string::npos) << name;
    }
}

TEST_F(Program, ParallelCopyGivesTheSameTree) {
    for (int i = 0; i < 300; ++i) {
        writeFile(src("many/d" + std::to_string(i % 7) + "/f" + std::to_string(i)),
                  std::string(static_cast<std::size_t>(i * 37), static_cast<char>('a' + i % 26)));
    }
    const auto result = copy({"/E", "/MT:4"});
    EXPECT_EQ(result.code, 1) << result.output;
    EXPECT_EQ(snapshot(src(), true), snapshot(dst(), true));
    EXPECT_EQ(summaryRow(result.output, "Files :")[1], "304");
    EXPECT_EQ(copy({"/E", "/MT"}).code, 0);
}

TEST_F(Program, LoggingOptions) {
    const std::string log = at("run.log");
    const auto quiet = copy({"/LOG:" + log});
    EXPECT_EQ(quiet.code, 1);
    EXPECT_EQ(quiet.output, "");
    const std::string first = readFile(log);
    EXPECT_NE(first.find("   Source : "), std::string::npos);
    EXPECT_NE(first.find("   Files :"), std::string::npos);

    const auto appended = copy({"/LOG+:" + log, "/TEE"});
    EXPECT_EQ(appended.code, 0);
    EXPECT_NE(appended.output.find("   Source : "), std::string::npos);
    EXPECT_EQ(occurrences(readFile(log), "  Started : "), 2);

    const auto overwritten = copy({"/LOG:" + log, "/NJH", "/NJS"});
    EXPECT_EQ(overwritten.code, 0);
    EXPECT_EQ(readFile(log).find("Started"), std::string::npos);
    EXPECT_EQ(readFile(log).find("Files :"), std::string::npos);

    std::filesystem::remove_all(dst());
    const auto bare = copy({"/E", "/NFL", "/NDL", "/NJH", "/NJS"});
    EXPECT_EQ(bare.code, 1);
    EXPECT_EQ(bare.output, "");

    std::filesystem::remove_all(dst());
    const auto plain = copy({"/NS", "/NC", "/NP", "/NJH", "/NJS"});
    EXPECT_EQ(plain.output.find("New File"), std::string::npos);
    EXPECT_EQ(plain.output.find("100%"), std::string::npos);
    EXPECT_NE(plain.output.find("\ta.txt\n"), std::string::npos);
}

TEST_F(Program, CopyFlagsForFilesAndFolders) {
    chmod(src("a.txt").c_str(), 0600);
    chmod(src("sub").c_str(), 0750);
    const timespec dirTime[2] = {{baseTime, 0}, {baseTime, 0}};
    utimensat(AT_FDCWD, src("sub").c_str(), dirTime, 0);

    ASSERT_EQ(copy({"/E", "/DCOPY:DAT"}).code, 1);
    EXPECT_EQ(modeOf(dst("a.txt")), 0600u);
    EXPECT_EQ(modeOf(dst("sub")), 0750u);
    EXPECT_EQ(mtimeNs(dst("sub")), baseTime * 1000000000LL);

    std::filesystem::remove_all(dst());
    const mode_t mask = umask(022);
    umask(mask);
    ASSERT_EQ(copy({"/E", "/COPY:DT", "/DCOPY:D"}).code, 1);
    EXPECT_EQ(modeOf(dst("a.txt")), 0666u & ~mask);
    EXPECT_EQ(mtimeNs(dst("a.txt")), mtimeNs(src("a.txt")));
    EXPECT_NE(mtimeNs(dst("sub")), baseTime * 1000000000LL);

    std::filesystem::remove_all(dst());
    ASSERT_EQ(copy({"/E", "/COPYALL"}).code, 1);
    EXPECT_EQ(snapshot(src(), true), snapshot(dst(), true));
}

TEST_F(Program, VerboseListingGivesTheReasonForSkippedFiles) {
    ASSERT_EQ(copy({}).code, 1);
    writeFile(src("big.txt"), std::string(3000, 'b'));
    setMtime(dst("b.doc"), baseTime + 9000);
    const auto result = copy({"/V", "/XF", "a.*", "/MAX:2000", "/XO", "/NJH", "/NJS"});
    EXPECT_EQ(result.code, 0) << result.output;
    const std::string folderLine = "\t                   1\t" + src() + "/\n";
    const std::size_t folder = result.output.find(folderLine);
    ASSERT_NE(folder, std::string::npos) << result.output;
    for (const char* line :
         {"\t    named     \t\t       5\ta.txt\n", "\t    large     \t\t   2.9 k\tbig.txt\n",
          "\t    older     \t\t       6\tb.doc\n"}) {
        const std::size_t at = result.output.find(line);
        EXPECT_NE(at, std::string::npos) << line << result.output;
        EXPECT_GT(at, folder) << line;
    }
    const auto quiet = copy({"/XF", "a.*", "/MAX:2000", "/XO", "/NJH", "/NJS"});
    EXPECT_EQ(quiet.output, folderLine);
}

TEST_F(Program, DestinationNamedThroughALink) {
    makeDirs(at("real-target"));
    writeFile(at("real-target/extra.txt"), "x");
    ASSERT_EQ(symlink(at("real-target").c_str(), dst().c_str()), 0);
    const auto result = copy({"/MIR"});
    EXPECT_EQ(result.code, 3) << result.output;
    EXPECT_EQ(snapshot(src(), true), snapshot(at("real-target"), true));
}

TEST_F(Program, ExtraFilesOutsideThePatternsOnlyReportedWithX) {
    ASSERT_EQ(copy({"*.txt"}).code, 1);
    writeFile(dst("notes.doc"), "not covered by *.txt");
    writeFile(dst("old.txt"), "covered");
    const auto plain = copy({"*.txt", "/PURGE"});
    EXPECT_EQ(plain.code, 2) << plain.output;
    EXPECT_EQ(plain.output.find("notes.doc"), std::string::npos);
    EXPECT_FALSE(exists(dst("old.txt")));
    const auto all = copy({"*.txt", "/PURGE", "/X"});
    EXPECT_EQ(all.code, 2) << all.output;
    EXPECT_NE(all.output.find("*EXTRA File"), std::string::npos);
    EXPECT_NE(all.output.find("notes.doc"), std::string::npos);
    EXPECT_TRUE(exists(dst("notes.doc")));
}

TEST_F(Program, TweakedFilesCopiedOnlyWithIT) {
    ASSERT_EQ(copy({}).code, 1);
    chmod(src("a.txt").c_str(), 0600);
    EXPECT_EQ(copy({}).code, 0);
    EXPECT_NE(modeOf(dst("a.txt")), 0600u);
    const auto tweaked = copy({"/IT"});
    EXPECT_EQ(tweaked.code, 1) << tweaked.output;
    EXPECT_NE(tweaked.output.find("Tweaked"), std::string::npos);
    EXPECT_EQ(modeOf(dst("a.txt")), 0600u);
}

TEST_F(Program, SpecialFilesAreLeftAlone) {
    ASSERT_EQ(mkfifo(src("sub/pipe").c_str(), 0644), 0);
    const auto result = copy({"/E"});
    EXPECT_EQ(result.code, 1) << result.output;
    EXPECT_FALSE(exists(dst("sub/pipe")));
    EXPECT_TRUE(exists(dst("sub/c.txt")));
}

TEST_F(Program, FullPathsTimestampsAndRawBytes) {
    writeFile(src("k.bin"), std::string(4096, 'k'));
    const auto result = copy({"/FP", "/TS", "/BYTES", "/NJH", "/NJS", "/NP"});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.output.find("\t    4096\t"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find(" " + src("k.bin") + "\n"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find(rc::formatStamp(baseTime + 100) + " " + src("a.txt")),
              std::string::npos)
        << result.output;
}

TEST_F(Program, FolderBitsAndTimesOnFoldersThatAlreadyExist) {
    const timespec sourceTime[2] = {{baseTime, 0}, {baseTime, 0}};
    const struct {
        const char* dcopy;
        bool newFile;     // a file arrives in the folder during the run
        bool timeArrives; // the folder gets the source's time
        bool modeArrives; // and its permission bits
        bool sameTime;    // the folder had the source's time before the run
    } cases[] = {
        {"/DCOPY:DAT", false, true, true, false}, {"/DCOPY:DAT", true, true, true, false},
        {"/DCOPY:DAT", true, true, true, true},   {"/DCOPY:DA", false, false, true, false},
        {"/DCOPY:DT", false, true, false, false}, {"/DCOPY:D", true, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.dcopy) + (c.newFile ? " with a new file" : ""));
        std::filesystem::remove_all(dst());
        ASSERT_EQ(copy({"/E"}).code, 1);
        if (c.newFile) {
            writeFile(src("sub/new.txt"), "new");
        }
        chmod(src("sub").c_str(), 0750);
        chmod(dst("sub").c_str(), 0755);
        utimensat(AT_FDCWD, src("sub").c_str(), sourceTime, 0);
        setMtime(dst("sub"), c.sameTime ? baseTime : baseTime + 777);
        const auto result = copy({"/E", c.dcopy});
        EXPECT_EQ(result.code, c.newFile ? 1 : 0) << result.output;
        EXPECT_EQ(mtimeNs(dst("sub")) == baseTime * 1000000000LL, c.timeArrives);
        if (!c.timeArrives && !c.newFile && !c.sameTime) {
            EXPECT_EQ(mtimeNs(dst("sub")), (baseTime + 777) * 1000000000LL);
        }
        EXPECT_EQ(modeOf(dst("sub")), c.modeArrives ? 0750u : 0755u);
        std::filesystem::remove(src("sub/new.txt"));
    }
}

TEST_F(Program, NoCopyWithPurgeOnlyDeletes) {
    ASSERT_EQ(copy({"/E"}).code, 1);
    writeFile(dst("sub/extra.txt"), "extra");
    writeFile(src("fresh.txt"), "new");
    writeFile(src("a.txt"), "alpha, edited");
    const auto result = copy({"/MIR", "/NOCOPY"});
    EXPECT_EQ(result.code, 2) << result.output;
    EXPECT_FALSE(exists(dst("sub/extra.txt")));
    EXPECT_FALSE(exists(dst("fresh.txt")));
    EXPECT_EQ(readFile(dst("a.txt")), "alpha");
}
