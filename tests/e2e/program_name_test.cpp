// The program started under another name: a link to it in another folder reads the job
// file named after the link, and still finds the copy program beside the program file.
#include "tests/e2e/binary_run.hpp"

namespace {

namespace fs = std::filesystem;

std::string jobFor(const std::string& source) {
    return source + "\r\nziel\r\n*.*\r\n/E\r\n";
}

struct StartName {
    const char* name;
    std::string argv0;   // "{link}" stands for the link's full path
    std::string jobFile; // the job file the run must read
};

class ProgramName : public e2e::BinaryTest, public ::testing::WithParamInterface<StartName> {};

// The link lives in bin/, the current folder is work/, the program file and the
// recording copy program are in the test folder itself.
TEST_P(ProgramName, NamesTheJobFileAndFindsTheCopyProgramBesideTheProgramFile) {
    installRecordingCopyProgram(0);
    fs::create_directories(path("bin"));
    fs::create_directories(path("work"));
    const fs::path link = path("bin") / "arbeit";
    fs::create_symlink(path("datensicherung"), link);
    writeFile("work/arbeit.txt", jobFor("aus-arbeit"));
    writeFile("work/datensicherung.txt", jobFor("aus-datensicherung"));

    const std::string argv0 = GetParam().argv0 == "{link}" ? link.string() : GetParam().argv0;
    const auto result = runAs(link, argv0, path("work"), "j\n\n");

    EXPECT_EQ(result.exitCode, 0) << result.err;
    const auto calls = recordedCopyCalls();
    ASSERT_EQ(calls.size(), 1u) << result.out;
    const std::string source =
        GetParam().jobFile == "arbeit.txt" ? "aus-arbeit" : "aus-datensicherung";
    EXPECT_EQ(calls[0].front(), source);
    EXPECT_TRUE(fs::is_directory(path("work/ziel") / e2e::monthFolderToday()));
}

INSTANTIATE_TEST_SUITE_P(Starts, ProgramName,
                         ::testing::Values(StartName{"LinkByItsPath", "{link}", "arbeit.txt"},
                                           StartName{"LinkByBareName", "arbeit", "arbeit.txt"},
                                           // No name from the start: the program file's own name.
                                           StartName{"EmptyStartName", "", "datensicherung.txt"},
                                           StartName{"StartNameEndingInASlash", "bin/",
                                                     "datensicherung.txt"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
