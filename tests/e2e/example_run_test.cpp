// The bundled example backed up for real with the copy program for Linux, twice: the
// first run fills the month folder, the second the weekday folder, and the sources stay
// as they were.
#include "tests/e2e/binary_run.hpp"

#include <ctime>
#include <fstream>
#include <map>

namespace {

namespace fs = std::filesystem;

// Every file below a folder with its content, by relative path.
std::map<std::string, std::string> tree(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            files[fs::relative(entry.path(), root).string()] = {std::istreambuf_iterator<char>(in),
                                                                std::istreambuf_iterator<char>()};
        }
    }
    return files;
}

class ExampleRun : public e2e::BinaryTest {};

TEST_F(ExampleRun, BacksUpTheSampleTreeIntoMonthThenWeekdayFolders) {
#ifndef DS_COPY_PROGRAM
    GTEST_SKIP() << "the copy program for Linux is not part of this build";
#else
    // The example's job file names its sources relative to a folder beside "examples".
    fs::create_directories(path("build"));
    fs::copy(DS_EXAMPLES, path("examples"), fs::copy_options::recursive);
    fs::rename(path("datensicherung"), path("build") / "datensicherung");
    fs::copy_file(DS_COPY_PROGRAM, path("build") / "ROBOCOPY.exe");
    fs::copy_file(path("examples") / "datensicherung.txt", path("build") / "datensicherung.txt");
    const auto sourcesBefore = tree(path("examples"));

    const auto first = runIn("build", "j\n\nj\n\n");
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_NE(first.out.find("erledigt."), std::string::npos) << first.out;
    const fs::path documents = path("build") / "sicherung" / "Dokumente";
    EXPECT_EQ(tree(documents / e2e::monthFolderToday()),
              tree(path("examples") / "beispiel" / "Dokumente"));
    const auto pictures = tree(path("build") / "sicherung" / "Bilder" / e2e::monthFolderToday());
    EXPECT_EQ(pictures.size(), 1u) << "only *.txt";
    EXPECT_EQ(pictures.count("Liste.txt"), 1u);

    const auto second = runIn("build", "j\n\nn\n\n");
    ASSERT_EQ(second.exitCode, 0) << second.err;
    std::size_t folders = 0;
    for (const auto& entry : fs::directory_iterator(documents)) {
        ++folders;
        EXPECT_EQ(tree(entry.path()), tree(path("examples") / "beispiel" / "Dokumente"))
            << entry.path();
    }
    EXPECT_EQ(folders, 2u) << "month folder and weekday folder";
    EXPECT_EQ(tree(path("examples")), sourcesBefore) << "the sources are never changed";
#endif
}

} // namespace
