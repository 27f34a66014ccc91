// Starting programs through the Windows layer: the command interpreter's folder command
// with folder names that hold blanks, "&" and umlauts, exit statuses, and a program found
// beside this one by Windows' search.
#include "runtime/win32/process_start.hpp"
#include "runtime/win32/win32_platform.hpp"
#include "tests/win32/win32_test_support.hpp"

#include <fstream>
#include <vector>

namespace {

using win32test::TempFolderTest;

class Win32Shell : public TempFolderTest {
  protected:
    rt::win32::Win32Platform platform;

    std::vector<std::string> recordedCalls() {
        std::ifstream in("ROBOCOPY.calls", std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
};

struct FolderCase {
    const char* name;
    std::string folder; // below the test folder, "\" separated, UTF-8
};

class FolderCommand : public Win32Shell, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(FolderCommand, MakesExactlyTheOneFolderNamed) {
    // A batch file named like the part after "&" would run if the interpreter split the
    // command there: it leaves a mark.
    std::filesystem::create_directories("Archiv");
    std::ofstream("Archiv\\202611.bat") << "@echo ran> ..\\ran.txt\r\n";
    const std::string path = inside(GetParam().folder);
    const int status = platform.run("", "/C MD \"" + path + "\"", true);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(std::filesystem::is_directory(u8path(path))) << path;
    EXPECT_FALSE(std::filesystem::exists("ran.txt"));
    EXPECT_FALSE(std::filesystem::exists("Sicherung"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FolderCommand,
    ::testing::Values(FolderCase{"ampersand", "Sicherung & Archiv\\202611"},
                      FolderCase{"blanksAndParentheses", "Neu (2) Ordner\\Freitag2"},
                      FolderCase{"umlauts", "B\xC3\xBCro \xC3\x84rger\\Montag"},
                      FolderCase{"caretAndSemicolon", "a^b; c,d\\Dienstag"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Win32Shell, MakingAFolderThatExistsGivesOne) {
    std::filesystem::create_directory("da");
    EXPECT_EQ(platform.run("", "/C MD \"" + inside("da") + "\"", true), 1);
}

TEST_F(Win32Shell, TheInterpretersExitStatusComesBack) {
    EXPECT_EQ(platform.run("", "/C exit 7", true), 7);
}

TEST_F(Win32Shell, NotWaitingGivesZeroOnceStarted) {
    EXPECT_EQ(platform.run("", "/C exit 7", false), 0);
}

TEST_F(Win32Shell, AProgramThatCannotBeFoundGivesMinusOne) {
    EXPECT_EQ(platform.run("gibt-es-nicht-4711.exe", "a b", true), -1);
}

TEST_F(Win32Shell, AProgramBesideThisOneGetsItsArgumentsAsWritten) {
    std::ofstream("ROBOCOPY.status") << 3;
    const int status = platform.run("robocopy_recorder.exe",
                                    "quelle \"C:\\Sicherung & Archiv\\B\xC3\xBCro\" *.* /E", true);
    EXPECT_EQ(status, 3);
    const std::vector<std::string> expected{"quelle", "C:\\Sicherung & Archiv\\B\xC3\xBCro", "*.*",
                                            "/E", "--"};
    EXPECT_EQ(recordedCalls(), expected);
}

TEST(CommandLine, NameQuotedParametersAsWritten) {
    EXPECT_EQ(rt::win32::commandLine(L"ROBOCOPY.exe", L"a \"b c\" /E"),
              L"\"ROBOCOPY.exe\" a \"b c\" /E");
    EXPECT_EQ(rt::win32::commandLine(L"C:\\Windows\\system32\\cmd.exe", L""),
              L"\"C:\\Windows\\system32\\cmd.exe\"");
}

TEST(CommandLine, TheInterpreterIsAProgramWithAFolder) {
    const std::wstring interpreter = rt::win32::commandInterpreter();
    EXPECT_NE(interpreter.find_last_of(L"\\/"), std::wstring::npos);
    EXPECT_TRUE(std::filesystem::exists(interpreter));
}

} // namespace
