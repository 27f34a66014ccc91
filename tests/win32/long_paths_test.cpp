// Paths over 260 characters: the Windows layer gives them the "\\?\" prefix where the
// file functions need it, and a folder 300 characters deep is made through the command
// interpreter, found, and holds a file that is written and read back.
#include "runtime/win32/long_paths.hpp"
#include "runtime/win32/wide_text.hpp"
#include "runtime/win32/win32_platform.hpp"
#include "tests/win32/win32_test_support.hpp"

#include <string>

namespace {

using rt::win32::systemPath;
using win32test::TempFolderTest;

// A backslash and a folder name of 29 characters: 30 characters a level.
std::string levels(int count) {
    std::string path;
    for (int i = 0; i < count; ++i) {
        path += "\\Ordner " + std::to_string(10 + i) + " der Datensicherung_";
    }
    return path;
}

struct PathCase {
    const char* name;
    std::string path;
    std::wstring system;
};

class SystemPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(SystemPath, IsPrefixedOnlyWhenLong) {
    EXPECT_EQ(systemPath(GetParam().path), GetParam().system);
}

const std::string deep = levels(10); // 300 characters

INSTANTIATE_TEST_SUITE_P(
    Cases, SystemPath,
    ::testing::Values(
        PathCase{"shortStaysAsGiven", "C:\\Sicherung/202611\\.", L"C:\\Sicherung/202611\\."},
        PathCase{"shortRelativeStays", "datensicherung.txt", L"datensicherung.txt"},
        PathCase{"longGetsThePrefix", "C:" + deep, L"\\\\?\\C:" + rt::win32::wide(deep)},
        PathCase{"longIsNormalisedFirst", "C:/Sicherung/./x/.." + deep,
                 L"\\\\?\\C:\\Sicherung" + rt::win32::wide(deep)},
        PathCase{"longOnAServer", "\\\\server\\freigabe" + deep,
                 L"\\\\?\\UNC\\server\\freigabe" + rt::win32::wide(deep)},
        PathCase{"prefixedStays", "\\\\?\\C:" + deep, L"\\\\?\\C:" + rt::win32::wide(deep)},
        PathCase{"umlauts", "C:\\B\xC3\xBCro" + deep,
                 L"\\\\?\\C:\\B\u00FCro" + rt::win32::wide(deep)}),
    [](const auto& info) { return std::string(info.param.name); });

class LongPath : public TempFolderTest {
  protected:
    rt::win32::Win32Platform platform;
};

TEST_F(LongPath, AFolder300CharactersDeepIsMadeFoundAndHoldsAFile) {
    const std::string folder = inside("Sicherung") + deep;
    ASSERT_GT(folder.size(), 300u);
    EXPECT_FALSE(platform.folderExists(folder));

    // Made as the program makes its target folders.
    EXPECT_EQ(platform.run("", "/C MD \"" + folder + "\"", true), 0);
    EXPECT_TRUE(platform.folderExists(folder)) << folder;
    EXPECT_FALSE(platform.fileExists(folder));

    const std::string file = folder + "\\TVRERROR.LOG";
    const auto written = platform.createWrite(file);
    ASSERT_GE(written.handle, 0) << written.osCode;
    EXPECT_EQ(platform.write(written.handle, "Protokoll", 9, nullptr), 9);
    EXPECT_TRUE(platform.close(written.handle));
    EXPECT_TRUE(platform.fileExists(file));

    const auto read = platform.openRead(file, 16);
    ASSERT_GE(read.handle, 0) << read.osCode;
    char buffer[16] = {};
    EXPECT_EQ(platform.read(read.handle, buffer, 16, nullptr), 9);
    EXPECT_EQ(std::string(buffer, 9), "Protokoll");
    EXPECT_TRUE(platform.close(read.handle));
}

TEST_F(LongPath, AMissingLongFolderIsReportedAsMissing) {
    const std::string folder = inside("fehlt") + deep;
    EXPECT_FALSE(platform.folderExists(folder));
    const auto result = platform.openRead(folder + "\\datei.txt", 0);
    EXPECT_EQ(result.handle, -1);
    EXPECT_EQ(result.osCode, 3); // the folder is missing
}

} // namespace
