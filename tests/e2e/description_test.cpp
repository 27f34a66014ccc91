// "--help" and "--version" describe the program and end at once: no folder is made, no
// question asked, nothing copied, even with answers waiting on standard input.
#include "tests/e2e/binary_run.hpp"

namespace {

namespace fs = std::filesystem;

struct Arguments {
    const char* name;
    std::vector<std::string> arguments;
};

void PrintTo(const Arguments& arguments, std::ostream* os) {
    *os << arguments.name;
}

class ProgramArguments : public e2e::BinaryTest {};
class Description : public ProgramArguments, public testing::WithParamInterface<Arguments> {};

TEST_P(Description, IsPrintedAndNothingElseHappens) {
    installRecordingCopyProgram(0);
    writeFile("datensicherung.txt", "quelle\r\nziel\r\n*.*\r\n/E\r\n");
    const e2e::RunResult result = runIn("", "j\n\n", {}, GetParam().arguments);

    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.rfind("datensicherung (Laufzeit ", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("Auftragsdatei: datensicherung.txt im aktuellen Ordner"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("README.md"), std::string::npos);
    EXPECT_EQ(result.out.back(), '\n');
    EXPECT_FALSE(fs::exists(path("ziel")));
    EXPECT_TRUE(recordedCopyCalls().empty());
    EXPECT_EQ(result.out.find("[J]a"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Requests, Description,
                         testing::Values(Arguments{"help", {"--help"}},
                                         Arguments{"version", {"--version"}},
                                         Arguments{"helpAfterAnotherArgument", {"-x", "--help"}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Any other argument is not read: the backup runs as always.
TEST_F(ProgramArguments, OtherArgumentsAreNotRead) {
    installRecordingCopyProgram(0);
    writeFile("datensicherung.txt", "quelle\r\nziel\r\n*.*\r\n/E\r\n");
    const e2e::RunResult result = runIn("", "j\n\n", {}, {"-h", "help"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(recordedCopyCalls().size(), 1u) << result.out;
}

} // namespace
