// Window titles as a title bar shows them: line ends as blanks, and a title too wide for
// the widest window shortened inside its last path, the folder name at its end kept.
#include "runtime/window_title.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

// One unit per character, as a fixed-pitch font measures.
long characters(std::string_view text) {
    long n = 0;
    for (const char c : text) {
        n += (static_cast<unsigned char>(c) & 0xC0U) != 0x80U ? 1 : 0;
    }
    return n;
}

const std::string ellipsis = "\xE2\x80\xA6";

struct LineCase {
    const char* name;
    std::string title;
    std::string shown;
};

class OneLineTitle : public ::testing::TestWithParam<LineCase> {};

TEST_P(OneLineTitle, ShowsEachLineEndAsOneBlank) {
    EXPECT_EQ(rt::oneLineTitle(GetParam().title), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OneLineTitle,
    ::testing::Values(LineCase{"confirmation",
                               "Datensicherung von C:\\Daten\\*.*\r\n nach D:\\S\\Montag",
                               "Datensicherung von C:\\Daten\\*.*  nach D:\\S\\Montag"},
                      LineCase{"crAlone", "a\rb", "a b"}, LineCase{"lfAlone", "a\nb", "a b"},
                      LineCase{"lfCr", "a\n\rb", "a  b"}, LineCase{"twoCrLf", "a\r\n\r\nb", "a  b"},
                      LineCase{"atTheEnds", "\r\nab\r", " ab "},
                      LineCase{"none", "B\xC3\xBCro", "B\xC3\xBCro"}, LineCase{"empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct FitCase {
    const char* name;
    std::string title;
    long width;
    std::string shown;
};

class ShortenedTitle : public ::testing::TestWithParam<FitCase> {};

TEST_P(ShortenedTitle, FitsAndKeepsTheFolderName) {
    const std::string shown = rt::shortenedTitle(GetParam().title, GetParam().width, characters);
    EXPECT_EQ(shown, GetParam().shown);
}

const std::string confirmation =
    "Datensicherung von C:\\Daten\\*.*  nach D:\\Sicherung\\Abteilung\\202611";

INSTANTIATE_TEST_SUITE_P(
    Cases, ShortenedTitle,
    ::testing::Values(
        FitCase{"fitsAsItIs", confirmation, 67, confirmation},
        // One character too many: two characters in the middle of "Sicherung\Abteilung"
        // give way to the ellipsis.
        FitCase{"oneTooMany", confirmation, 66,
                "Datensicherung von C:\\Daten\\*.*  nach D:\\Sicherun" + ellipsis +
                    "Abteilung\\202611"},
        FitCase{"pathMiddleCut", confirmation, 60,
                "Datensicherung von C:\\Daten\\*.*  nach D:\\Siche" + ellipsis + "eilung\\202611"},
        FitCase{"beyondThePath", confirmation, 30,
                "Datensicherung von C:\\" + ellipsis + "\\202611"},
        FitCase{"onlyTheFolderNameFits", confirmation, 8, ellipsis + "\\202611"},
        FitCase{"folderNameWiderThanAll", confirmation, 3, ellipsis + "\\202611"},
        // The server's name is part of the middle.
        FitCase{"serverPath", "nach \\\\server\\freigabe\\Sicherung\\Montag", 30,
                "nach \\\\server\\" + ellipsis + "icherung\\Montag"},
        FitCase{"doubledBackslashIsNoServer", "nach C:\\Sicherung\\\\Montag", 20,
                "nach C:\\Si" + ellipsis + "g\\\\Montag"},
        FitCase{"noPathCutsTheMiddle", "Telvaro Fehlermeldung", 15,
                "Telvaro" + ellipsis + "meldung"},
        FitCase{"umlautsStayWhole", "nach C:\\\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\\Ende", 16,
                "nach C:\\\xC3\x84" + ellipsis + "\xC3\xB6\\Ende"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShortenedTitle, CutsAsLittleAsNeeded) {
    // Every width between the folder name alone and the whole title gives the widest
    // title that fits.
    for (long width = 8; width <= characters(confirmation); ++width) {
        const std::string shown = rt::shortenedTitle(confirmation, width, characters);
        EXPECT_LE(characters(shown), width) << width;
        if (width < characters(confirmation)) {
            EXPECT_EQ(characters(shown), width) << width;
        }
        EXPECT_EQ(shown.substr(shown.size() - 7), "\\202611") << width;
    }
}

} // namespace
