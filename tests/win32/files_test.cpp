// Files through the Windows layer: the sharing of the two read modes, the error codes,
// and names with umlauts reaching the file system as written.
#include "runtime/win32/win32_platform.hpp"
#include "tests/win32/win32_test_support.hpp"

#include <fstream>

namespace {

using win32test::TempFolderTest;

class Win32Files : public TempFolderTest {
  protected:
    rt::win32::Win32Platform platform;
    void makeFile(const std::string& utf8Name, const std::string& content) {
        std::ofstream(u8path(utf8Name), std::ios::binary) << content;
    }
};

struct SharingCase {
    const char* name;
    int held;       // mode of the handle already open
    int second;     // mode of the second open
    int secondCode; // 0: opens; otherwise the Windows error code
};

class Sharing : public Win32Files, public ::testing::WithParamInterface<SharingCase> {};

TEST_P(Sharing, SecondOpenWhileTheFirstIsHeld) {
    const SharingCase& c = GetParam();
    makeFile("job.txt", "x");
    const auto first = platform.openRead("job.txt", c.held);
    ASSERT_GE(first.handle, 0) << first.osCode;
    const auto second = platform.openRead("job.txt", c.second);
    if (c.secondCode == 0) {
        EXPECT_GE(second.handle, 0) << second.osCode;
        EXPECT_TRUE(platform.close(second.handle));
    } else {
        EXPECT_EQ(second.handle, -1);
        EXPECT_EQ(second.osCode, c.secondCode);
    }
    EXPECT_TRUE(platform.close(first.handle));
    // Once the first is closed, the exclusive open succeeds again.
    const auto again = platform.openRead("job.txt", 16);
    EXPECT_GE(again.handle, 0) << again.osCode;
    platform.close(again.handle);
}

INSTANTIATE_TEST_SUITE_P(Modes, Sharing,
                         ::testing::Values(SharingCase{"sharedThenShared", 0, 0, 0},
                                           SharingCase{"sharedThenExclusive", 0, 16, 32},
                                           SharingCase{"exclusiveThenShared", 16, 0, 32},
                                           SharingCase{"exclusiveThenExclusive", 16, 16, 32}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Win32Files, AFileHeldForWritingElsewhereRefusesTheExclusiveOpen) {
    makeFile("job.txt", "x");
    std::ofstream writer("job.txt", std::ios::binary | std::ios::app);
    ASSERT_TRUE(writer.is_open());
    const auto result = platform.openRead("job.txt", 16);
    EXPECT_EQ(result.handle, -1);
    EXPECT_EQ(result.osCode, 32);
}

struct OpenFailure {
    const char* name;
    std::string path;
    int code;
};

class OpenFailures : public Win32Files, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(OpenFailures, GiveTheWindowsCode) {
    std::filesystem::create_directory("Ordner");
    for (const int mode : {0, 16}) {
        const auto result = platform.openRead(GetParam().path, mode);
        EXPECT_EQ(result.handle, -1) << "mode " << mode;
        EXPECT_EQ(result.osCode, GetParam().code) << "mode " << mode;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, OpenFailures,
                         ::testing::Values(OpenFailure{"missingFile", "fehlt.txt", 2},
                                           OpenFailure{"missingFolder", "fehlt\\job.txt", 3},
                                           OpenFailure{"folder", "Ordner", 5}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Win32Files, WrittenFileReadsBackUnderItsUmlautName) {
    const std::string name = "B\xC3\xBCro \xC3\x84rger.txt"; // "Büro Ärger.txt"
    const auto created = platform.createWrite(name);
    ASSERT_GE(created.handle, 0) << created.osCode;
    int code = 0;
    EXPECT_EQ(platform.write(created.handle, "Zeile\r\n", 7, &code), 7);
    EXPECT_TRUE(platform.close(created.handle));
    EXPECT_TRUE(std::filesystem::is_regular_file(folder() / u8path(name)));

    const auto opened = platform.openRead(name, 0);
    ASSERT_GE(opened.handle, 0) << opened.osCode;
    char buffer[16] = {};
    EXPECT_EQ(platform.read(opened.handle, buffer, sizeof buffer, &code), 7);
    EXPECT_EQ(std::string(buffer, 7), "Zeile\r\n");
    EXPECT_EQ(platform.read(opened.handle, buffer, sizeof buffer, &code), 0);
    EXPECT_TRUE(platform.close(opened.handle));
}

TEST_F(Win32Files, CreatingReplacesTheOldContent) {
    makeFile("TVRERROR.LOG", "old content that is longer");
    const auto created = platform.createWrite("TVRERROR.LOG");
    ASSERT_GE(created.handle, 0);
    int code = 0;
    platform.write(created.handle, "neu", 3, &code);
    platform.close(created.handle);
    std::ifstream in("TVRERROR.LOG", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "neu");
}

TEST_F(Win32Files, CreatingFailsWhereAFolderHasTheNameOrTheFolderIsMissing) {
    std::filesystem::create_directory("TVRERROR.LOG");
    EXPECT_EQ(platform.createWrite("TVRERROR.LOG").osCode, 5);
    EXPECT_EQ(platform.createWrite("fehlt\\TVRERROR.LOG").osCode, 3);
}

TEST_F(Win32Files, UnknownHandlesAreRefused) {
    int code = 0;
    char buffer[4];
    EXPECT_EQ(platform.read(12345, buffer, 4, &code), -1);
    EXPECT_EQ(code, 6);
    EXPECT_EQ(platform.write(12345, buffer, 4, &code), -1);
    EXPECT_EQ(code, 6);
    EXPECT_FALSE(platform.close(12345));
}

struct ExistsCase {
    const char* name;
    std::string path;
    bool folder;
    bool file;
};

class Exists : public Win32Files, public ::testing::WithParamInterface<ExistsCase> {};

TEST_P(Exists, TellsFoldersFromFiles) {
    std::filesystem::create_directories(u8path("Sicherung\\B\xC3\xBCro\\202611"));
    makeFile("Sicherung\\liste.txt", "");
    EXPECT_EQ(platform.folderExists(GetParam().path), GetParam().folder);
    EXPECT_EQ(platform.fileExists(GetParam().path), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Exists,
    ::testing::Values(ExistsCase{"folder", "Sicherung", true, false},
                      ExistsCase{"umlautFolder", "Sicherung\\B\xC3\xBCro\\202611", true, false},
                      ExistsCase{"slashes", "Sicherung/B\xC3\xBCro", true, false},
                      ExistsCase{"trailingBackslash", "Sicherung\\", true, false},
                      ExistsCase{"file", "Sicherung\\liste.txt", false, true},
                      ExistsCase{"missing", "Sicherung\\Montag", false, false},
                      ExistsCase{"empty", "", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
