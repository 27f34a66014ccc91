// Whole runs of the program with the real copy program over generated trees: the
// program writes only inside each job's target root folder and never changes a source;
// /MIR and /PURGE remove nothing outside the destination, links pointing out of it
// included; a copy that fails or is cut short leaves the target's earlier files intact.
#include "tests/robustness/process.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <random>
#include <set>
#include <thread>

namespace {

namespace fs = std::filesystem;
using robust::Launch;

int occurrences(const std::string& text, const std::string& needle) {
    int n = 0;
    for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
        ++n;
    }
    return n;
}

bool inside(const std::string& path, const std::string& root) {
    return path == root || path.rfind(root + "/", 0) == 0;
}

// A temporary folder with the program and the real copy program side by side.
class WholeRun : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("ds-robust-" + std::to_string(getpid()) + "-" +
                                            std::to_string(std::random_device{}()));
        fs::create_directories(dir_ / "prog");
        fs::copy_file(DS_BINARY, dir_ / "prog" / "datensicherung");
        fs::copy_file(ROBOCOPY_EXE, dir_ / "prog" / "ROBOCOPY.exe");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    const fs::path& dir() const { return dir_; }

    robust::Finished backup(const std::string& jobs, const std::string& input) {
        robust::writeFile(dir_ / "prog" / "datensicherung.txt", jobs);
        return robust::runProgram({dir_ / "prog" / "datensicherung", {}, dir_ / "prog", input});
    }
    robust::Finished copy(std::vector<std::string> arguments) {
        return robust::runProgram({dir_ / "prog" / "ROBOCOPY.exe", std::move(arguments), dir_, ""});
    }

    // Every difference between two snapshots of dir() lies inside one of the roots.
    void expectChangesOnlyInside(const std::map<std::string, std::string>& before,
                                 const std::map<std::string, std::string>& after,
                                 const std::vector<std::string>& roots) {
        std::set<std::string> keys;
        for (const auto& [k, v] : before) {
            keys.insert(k);
        }
        for (const auto& [k, v] : after) {
            keys.insert(k);
        }
        for (const auto& key : keys) {
            const auto b = before.find(key);
            const auto a = after.find(key);
            const bool same = b != before.end() && a != after.end() && b->second == a->second;
            if (same) {
                continue;
            }
            bool allowed = false;
            for (const auto& root : roots) {
                allowed = allowed || inside(key, root);
            }
            EXPECT_TRUE(allowed) << key
                                 << " changed: " << (b == before.end() ? "(none)" : b->second)
                                 << " -> " << (a == after.end() ? "(none)" : a->second);
        }
    }

  private:
    fs::path dir_;
};

class GeneratedTrees : public WholeRun, public ::testing::WithParamInterface<unsigned> {};

TEST_P(GeneratedTrees, TheProgramWritesOnlyInsideItsTargetRoots) {
    const unsigned seed = GetParam();
    const std::string weekday = robust::todaysWeekdayFolder();
    const std::string month = robust::todaysMonthFolder();
    robust::generateTree(dir() / "quellen" / "q1", seed, 60, 4);
    robust::generateTree(dir() / "quellen" / "quelle zwei", seed + 100, 60, 4);
    robust::generateTree(dir() / "quellen" / "q3", seed + 200, 40, 3);
    robust::generateTree(dir() / "aussen", seed + 300, 10, 2);
    robust::generateTree(dir() / "aussen2", seed + 400, 10, 2);
    // A source may hold links that point out of it; they are followed, never changed.
    fs::create_directory_symlink(dir() / "aussen", dir() / "quellen" / "q3" / "hinaus");
    // The target of the mirror holds an earlier backup with extra files and links that
    // point out of it, one of them named like a folder of the source.
    const fs::path earlier = dir() / "ziele" / "z 2" / weekday;
    robust::generateTree(earlier, seed + 500, 30, 3);
    fs::create_directories(dir() / "ziele" / "z 2" / month);
    fs::remove_all(earlier / "sub");
    fs::remove_all(earlier / "Daten");
    fs::create_directory_symlink(dir() / "aussen", earlier / "link hinaus");
    fs::create_symlink(dir() / "aussen" / "sub", earlier / "sub");
    fs::create_directory_symlink(dir() / "aussen2", earlier / "Daten");
    fs::create_symlink("../../../aussen2/nirgends", earlier / "kaputt");

    const std::string jobs =
        "[1]\r\n../quellen/q1\r\n../ziele/z1\r\n*.*\r\n/E /R:0 /W:0\r\n"
        "[2]\r\n../quellen/quelle zwei\r\n../ziele/z 2\r\n*.*\r\n/MIR /R:0 /W:0\r\n"
        "[3]\r\n../quellen/q3\r\n../ziele/z3\r\n*.txt\r\n/PURGE /S /R:0 /W:0\r\n"
        "[4]\r\n";
    const std::vector<std::string> roots{"ziele/z1", "ziele/z 2", "ziele/z3"};
    const auto sources = robust::snapshot(dir() / "quellen");
    robust::writeFile(dir() / "prog" / "datensicherung.txt", jobs);
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run + 1));
        auto before = robust::snapshot(dir());
        const auto result = robust::runProgram(
            {dir() / "prog" / "datensicherung", {}, dir() / "prog", "j\n\nj\n\nj\n\n"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(occurrences(result.out, "erledigt."), 3) << result.out;
        auto after = robust::snapshot(dir());
        // The job file is the program's own input and stays as it is.
        expectChangesOnlyInside(before, after, roots);
        EXPECT_EQ(robust::snapshot(dir() / "quellen"), sources);
    }
    // The copies are whole.
    EXPECT_EQ(robust::snapshot(dir() / "ziele" / "z1" / month, false),
              robust::snapshot(dir() / "quellen" / "q1", false));
    EXPECT_EQ(robust::snapshot(dir() / "ziele" / "z 2" / weekday, false),
              robust::snapshot(dir() / "quellen" / "quelle zwei", false));
}

INSTANTIATE_TEST_SUITE_P(Seeds, GeneratedTrees, ::testing::Values(1u, 2u, 3u));

struct PurgeCase {
    const char* name;
    std::vector<std::string> options;
};

class PurgeOverLinks : public WholeRun,
                       public ::testing::WithParamInterface<std::tuple<PurgeCase, unsigned>> {};

// Links of every kind in the destination: to folders and files outside, relative and
// absolute, broken, and pointing at the destination's own parent. Nothing outside the
// destination changes.
TEST_P(PurgeOverLinks, RemoveNothingOutsideTheDestination) {
    const auto& [c, seed] = GetParam();
    robust::generateTree(dir() / "src", seed, 50, 4);
    robust::generateTree(dir() / "dst", seed + 1, 50, 4);
    robust::generateTree(dir() / "outside", seed + 2, 20, 3);
    std::mt19937 random(seed);
    const std::vector<fs::path> targets{
        dir() / "outside", dir() / "outside" / "sub", "../outside", dir(), "..",
        dir() / "src",     dir() / "nowhere"};
    std::vector<fs::path> folders;
    for (const auto& entry : fs::recursive_directory_iterator(dir() / "dst")) {
        if (entry.is_directory() && !entry.is_symlink()) {
            folders.push_back(entry.path());
        }
    }
    folders.push_back(dir() / "dst");
    for (int i = 0; i < 12; ++i) {
        const fs::path at = folders[random() % folders.size()] / ("link" + std::to_string(i));
        fs::create_symlink(targets[random() % targets.size()], at);
    }
    // Links named like source folders, so the copy meets them on its way.
    fs::remove_all(dir() / "dst" / "sub");
    fs::create_directory_symlink(dir() / "outside", dir() / "dst" / "sub");
    for (const auto& file : fs::directory_iterator(dir() / "outside")) {
        if (file.is_regular_file()) {
            fs::remove_all(dir() / "dst" / file.path().filename());
            fs::create_symlink(file.path(), dir() / "dst" / file.path().filename());
            break;
        }
    }

    const auto before = robust::snapshot(dir());
    auto arguments = std::vector<std::string>{"src", "dst"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    arguments.insert(arguments.end(), {"/R:0", "/W:0"});
    const auto result = copy(arguments);
    ASSERT_NE(result.exitCode, -2) << "the copy did not end";
    EXPECT_LT(result.exitCode, 16) << result.out;
    expectChangesOnlyInside(before, robust::snapshot(dir()), {"dst"});
}

INSTANTIATE_TEST_SUITE_P(
    Options, PurgeOverLinks,
    ::testing::Combine(::testing::Values(PurgeCase{"MIR", {"/MIR"}}, PurgeCase{"PURGE", {"/PURGE"}},
                                         PurgeCase{"PURGE_S", {"/PURGE", "/S"}},
                                         PurgeCase{"MIR_XJ", {"/MIR", "/XJ"}},
                                         PurgeCase{"MIR_SL", {"/MIR", "/SL"}},
                                         PurgeCase{"MIR_MT", {"/MIR", "/MT:4"}}),
                       ::testing::Values(11u, 12u, 13u)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_" +
               std::to_string(std::get<1>(info.param));
    });

// Earlier files in the target and newer, bigger ones in the source.
class EarlierFiles : public WholeRun {
  protected:
    void SetUp() override {
        WholeRun::SetUp();
        weekday = robust::todaysWeekdayFolder();
        target = dir() / "ziel" / weekday;
        fs::create_directories(dir() / "ziel" / robust::todaysMonthFolder());
        for (int i = 0; i < 8; ++i) {
            const std::string name = "datei" + std::to_string(i) + ".bin";
            robust::writeFile(target / name, "fruehere Fassung " + std::to_string(i));
            fs::last_write_time(target / name,
                                fs::file_time_type::clock::now() - std::chrono::hours(48));
            robust::writeFile(dir() / "quelle" / name, std::string(800 * 1024 + i, char('a' + i)));
        }
        earlier = robust::snapshot(target);
    }

    // Each file of the target is its earlier version or the whole new one.
    void expectEarlierOrWhole() {
        const auto now = robust::snapshot(target);
        for (const auto& [name, description] : now) {
            if (name.find(".~copy.") != std::string::npos) {
                continue; // the copy program's unfinished piece under a name of its own
            }
            const auto before = earlier.find(name);
            const bool asBefore = before != earlier.end() && before->second == description;
            const bool whole =
                robust::readFile(target / name) == robust::readFile(dir() / "quelle" / name);
            EXPECT_TRUE(asBefore || whole) << name << " is neither: " << description;
        }
        for (const auto& [name, kind] : earlier) {
            EXPECT_TRUE(now.count(name)) << name << " was lost";
        }
    }

    std::string weekday;
    fs::path target;
    std::map<std::string, std::string> earlier;
    const std::string job = "..\\quelle\r\n..\\ziel\r\n*.*\r\n/R:0 /W:0\r\n";
};

TEST_F(EarlierFiles, AFailingCopyLeavesThemIntact) {
    // A source that is not there: the copy program fails at once.
    robust::writeFile(dir() / "prog" / "datensicherung.txt",
                      "..\\fehlt\r\n..\\ziel\r\n*.*\r\n/MIR /R:0 /W:0\r\n");
    const auto missing =
        robust::runProgram({dir() / "prog" / "datensicherung", {}, dir() / "prog", "j\n\n"});
    ASSERT_EQ(missing.exitCode, 0) << missing.err;
    EXPECT_NE(missing.out.find("fehlgeschlagen! (R\xC3\xBC"
                               "ckgabewert 16)"),
              std::string::npos)
        << missing.out;
    EXPECT_EQ(robust::snapshot(target), earlier);

    // A disk that fills up: writes beyond 64 KiB fail.
    robust::writeFile(dir() / "prog" / "datensicherung.txt", job);
    const auto full = robust::runProgram(
        {dir() / "prog" / "datensicherung", {}, dir() / "prog", "j\n\n", 64 * 1024});
    ASSERT_EQ(full.exitCode, 0) << full.err;
    EXPECT_NE(full.out.find("fehlgeschlagen!"), std::string::npos) << full.out;
    EXPECT_EQ(robust::snapshot(target), earlier);
}

TEST_F(EarlierFiles, ACopyCutShortLeavesThemIntact) {
    robust::writeFile(dir() / "prog" / "datensicherung.txt", job);
    for (const int milliseconds : {0, 20, 60, 150, 400}) {
        SCOPED_TRACE(std::to_string(milliseconds) + " ms");
        robust::Process run({dir() / "prog" / "datensicherung", {}, dir() / "prog", "j\n\n"});
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        run.kill(); // the program and the copy it started
        expectEarlierOrWhole();
    }
    // A run to the end afterwards makes every file whole.
    const auto result = backup(job, "j\n\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const auto& [name, kind] : earlier) {
        EXPECT_EQ(robust::readFile(target / name), robust::readFile(dir() / "quelle" / name));
    }
}

} // namespace
