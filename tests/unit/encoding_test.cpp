// Job file texts into the runtime's encoding: UTF-8 with or without byte-order mark, and
// code page 1252 as older job files are written.
#include "runtime/encoding.hpp"
#include "tests/support/program_fixture.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Utf8Case {
    const char* name;
    std::string bytes;
    bool whole;  // isUtf8(bytes)
    bool cutEnd; // isUtf8(bytes, true)
};

class Utf8Check : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Check, TellsWellFormedUtf8) {
    EXPECT_EQ(rt::isUtf8(GetParam().bytes), GetParam().whole);
    EXPECT_EQ(rt::isUtf8(GetParam().bytes, true), GetParam().cutEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8Check,
    ::testing::Values(Utf8Case{"empty", "", true, true},
                      Utf8Case{"ascii", "C:\\Daten\r\n", true, true},
                      Utf8Case{"umlauts", "B\xC3\xBCro \xC3\x84rger \xC3\x9F", true, true},
                      Utf8Case{"euroAndEmoji", "\xE2\x82\xAC \xF0\x9F\x98\x80", true, true},
                      Utf8Case{"codePageUmlaut", "B\xFCro", false, false},
                      Utf8Case{"codePageAtTheEnd", "B\xFC", false, false},
                      // "ä" in the code page is also the first byte of a three-byte sequence.
                      Utf8Case{"leadByteAtTheEnd", "B\xE4", false, true},
                      Utf8Case{"cutTwoByte", "ab\xC3", false, true},
                      Utf8Case{"cutFourByte", "ab\xF0\x9F\x98", false, true},
                      Utf8Case{"cutInTheMiddle", "\xC3 b", false, false},
                      Utf8Case{"overlong", "\xC0\xAF", false, false},
                      Utf8Case{"overlongThreeByte", "\xE0\x80\xAF", false, false},
                      Utf8Case{"surrogate", "\xED\xA0\x80", false, false},
                      Utf8Case{"beyondUnicode", "\xF4\x90\x80\x80", false, false},
                      Utf8Case{"loneContinuation", "a\x80", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct ConversionCase {
    const char* name;
    std::string bytes;
    std::string utf8;
};

class CodePage1252 : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(CodePage1252, BecomesUtf8) {
    EXPECT_EQ(rt::utf8FromCodePage1252(GetParam().bytes), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CodePage1252,
    ::testing::Values(ConversionCase{"ascii", "C:\\Daten /E", "C:\\Daten /E"},
                      ConversionCase{"germanLetters", "\xC4\xD6\xDC\xE4\xF6\xFC\xDF",
                                     "\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F"},
                      ConversionCase{"euroAndQuotes", "\x80 \x84\x93",
                                     "\xE2\x82\xAC \xE2\x80\x9E\xE2\x80\x9C"},
                      ConversionCase{"unassignedStayControls", "\x81\x8D\x8F\x90\x9D",
                                     "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
                      ConversionCase{"latinOne", "\xA0\xFF", "\xC2\xA0\xC3\xBF"}),
    [](const auto& info) { return std::string(info.param.name); });

class FileText : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(FileText, FollowsTheRule) {
    EXPECT_EQ(rt::utf8FromFileText(GetParam().bytes), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileText,
    ::testing::Values(
        ConversionCase{"utf8Kept", "[1]\r\nC:\\B\xC3\xBCro\r\n", "[1]\r\nC:\\B\xC3\xBCro\r\n"},
        ConversionCase{"markDropped", "\xEF\xBB\xBF[1]\r\nC:\\B\xC3\xBCro\r\n",
                       "[1]\r\nC:\\B\xC3\xBCro\r\n"},
        ConversionCase{"onlyTheLeadingMark",
                       "\xEF\xBB\xBF"
                       "a\xEF\xBB\xBF",
                       "a\xEF\xBB\xBF"},
        ConversionCase{"codePageConverted", "[1]\r\nC:\\B\xFCro\r\n", "[1]\r\nC:\\B\xC3\xBCro\r\n"},
        ConversionCase{"mixedIsCodePage", "\xC3\xBC \xFC", "\xC3\x83\xC2\xBC \xC3\xBC"},
        ConversionCase{"utf8CutAtTheEndKept", "B\xC3\xBCro \xC3", "B\xC3\xBCro \xC3"}),
    [](const auto& info) { return std::string(info.param.name); });

// What a dialog shows of a text that is not UTF-8: each stray byte one U+FFFD, the
// well-formed characters around it unchanged.
class DisplayText : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(DisplayText, ShowsStrayBytesAsReplacementCharacters) {
    EXPECT_EQ(rt::withReplacementCharacters(GetParam().bytes), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DisplayText,
    ::testing::Values(ConversionCase{"utf8Unchanged", "C:\\B\xC3\xBCro \xE2\x82\xAC",
                                     "C:\\B\xC3\xBCro \xE2\x82\xAC"},
                      ConversionCase{"codePageUmlaut", "C:\\B\xFCro", "C:\\B\xEF\xBF\xBDro"},
                      ConversionCase{"cutAtTheEnd", "ab\xE2\x82", "ab\xEF\xBF\xBD\xEF\xBF\xBD"},
                      ConversionCase{"overlongSlash", "\xC0\xAF/", "\xEF\xBF\xBD\xEF\xBF\xBD/"},
                      ConversionCase{"surrogate", "\xED\xA0\x80",
                                     "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
                      ConversionCase{"leadBeforeAscii", "\xC3 b", "\xEF\xBF\xBD b"}),
    [](const auto& info) { return std::string(info.param.name); });

// MAIN hands the job file's bytes to the platform's text rule before it looks for the
// sections: with the Windows rule a job file with a byte-order mark and one in the code
// page run their jobs with the folder names in UTF-8.
class WindowsRulePlatform : public test::ScriptedPlatform {
  public:
    std::string textFromFile(std::string bytes) override { return rt::utf8FromFileText(bytes); }
};

class JobFileEncoding : public test::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        windows = std::make_shared<WindowsRulePlatform>();
        rt::setPlatform(windows);
    }
    std::shared_ptr<WindowsRulePlatform> windows;
};

TEST_F(JobFileEncoding, MarkedUtf8AndCodePageFilesRunTheSameJobs) {
    const std::string utf8Job = "[1]\r\nQ\xC3\xBClle\r\nZiel\\B\xC3\xBCro\r\n*.*\r\n/E\r\n[2]\r\n";
    const std::string codePageJob = "[1]\r\nQ\xFClle\r\nZiel\\B\xFCro\r\n*.*\r\n/E\r\n[2]\r\n";
    for (const std::string& content : {"\xEF\xBB\xBF" + utf8Job, codePageJob}) {
        windows->shellCalls.clear();
        windows->confirmAnswers = {rt::mb::IDYES};
        writeFile("datensicherung.txt", content);
        MAIN();
        ASSERT_EQ(windows->shellCalls.size(), 2u);
        EXPECT_EQ(windows->shellCalls[0].parameters.rfind("/C MD Ziel\\B\xC3\xBCro\\", 0), 0u)
            << windows->shellCalls[0].parameters;
        EXPECT_EQ(windows->shellCalls[1].parameters.rfind("Q\xC3\xBClle Ziel\\B\xC3\xBCro\\", 0),
                  0u)
            << windows->shellCalls[1].parameters;
    }
}

TEST_F(JobFileEncoding, ThePlatformsOwnRuleIsUsed) {
    // The scripted platform follows the POSIX layer: the bytes are kept as they are (a
    // code-page letter is not converted) but for a byte-order mark, which is dropped.
    rt::setPlatform(platform);
    platform->confirmAnswers = {rt::mb::IDYES};
    writeFile("datensicherung.txt", "\xEF\xBB\xBF[1]\r\nQ\xFClle\r\nz\r\n*.*\r\n/E\r\n[2]\r\n");
    MAIN();
    ASSERT_EQ(platform->shellCalls.size(), 2u);
    EXPECT_EQ(platform->shellCalls[1].parameters.rfind("Q\xFClle z\\", 0), 0u)
        << platform->shellCalls[1].parameters;
}

} // namespace
