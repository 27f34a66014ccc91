// Word wrapping (MLCOUNT, MEMOLINE) and LINESPLIT, which joins the wrapped lines for the
// error dialog.
#include "app/procedures.hpp"
#include "runtime/memo.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using rt::Value;

struct Wrap {
    const char* name;
    std::string text;
    int width;
    std::vector<std::string> lines;
    int tabWidth = 4;
    bool wordWrap = true;
};

const std::string alpha = "abcdefghijklmnopqrstuvwxyz";

std::vector<Wrap> wraps() {
    // 44 letters, a blank at position 45, then 6 letters: 51 characters.
    const std::string fortyFour = alpha + alpha.substr(0, 18);
    return {
        {"EmptyText", "", 10, {}},
        {"ShorterThanWidth", "kurz", 10, {"kurz"}},
        {"ExactlyTheWidth", "abcdefghij", 10, {"abcdefghij"}},
        {"BreaksBetweenWords", "eins zwei drei vier", 9, {"eins zwei", "drei vier"}},
        {"BlankRightAfterTheWidth", "abcde fghij", 5, {"abcde", "fghij"}},
        {"SeveralBlanksAtTheBreakBelongToNeitherLine", "abc    def", 5, {"abc", "def"}},
        {"WordLongerThanWidthIsCut", "abcdefghijkl xy", 5, {"abcde", "fghij", "kl xy"}},
        {"LeadingBlanksOfTheTextStay", "  ab cd", 4, {"  ab", "cd"}},
        {"FiftyOneCharactersBlankAt45", fortyFour + " uvwxyz", 50, {fortyFour, "uvwxyz"}},
        {"CrLfEndsALine", "ab\r\ncd", 10, {"ab", "cd"}},
        {"LfAlone", "ab\ncd", 10, {"ab", "cd"}},
        {"CrAlone", "ab\rcd", 10, {"ab", "cd"}},
        {"EmptyLineBetween", "ab\r\n\r\ncd", 10, {"ab", "", "cd"}},
        {"FinalLineEndAddsNoLine", "ab\r\n", 10, {"ab"}},
        {"OnlyALineEnd", "\r\n", 10, {""}},
        {"TrailingBlanksDropped", "ab   ", 10, {"ab"}},
        {"TabToNextStop", "a\tb", 10, {"a   b"}},
        {"TabWidthTwo", "a\tb", 10, {"a b"}, 2},
        {"UmlautsCountAsOneCharacter", "ääää öööö", 4, {"ääää", "öööö"}},
        {"ThreeByteCharacters", "€€€€€€", 3, {"€€€", "€€€"}},
        {"BrokenSequenceCountsPerByte", "a\xC3", 1, {"a", "\xC3"}},
        {"WithoutWordWrapCutAtWidth", "ab cd ef", 4, {"ab c", "d ef"}, 4, false},
        {"WidthBelowOneIsTheDefault", std::string(80, 'x'), 0, {std::string(79, 'x'), "x"}},
    };
}

class Wrapping : public ::testing::TestWithParam<Wrap> {};

TEST_P(Wrapping, CountAndLinesAgree) {
    const Wrap& w = GetParam();
    const Value text(w.text);
    const Value tab(w.tabWidth);
    EXPECT_EQ(rt::wrapLines(w.text, w.width, w.tabWidth, w.wordWrap), w.lines);
    ASSERT_EQ(rt::MLCOUNT(text, w.width, tab, w.wordWrap), static_cast<int>(w.lines.size()));
    for (std::size_t n = 0; n < w.lines.size(); ++n) {
        EXPECT_EQ(rt::MEMOLINE(text, w.width, static_cast<int>(n + 1), tab, w.wordWrap), w.lines[n])
            << "line " << n + 1;
    }
    EXPECT_EQ(rt::MEMOLINE(text, w.width, static_cast<int>(w.lines.size() + 1), tab, w.wordWrap),
              "");
}

INSTANTIATE_TEST_SUITE_P(Texts, Wrapping, ::testing::ValuesIn(wraps()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WrappingDefaults, EmptyTabWidthIsFourAndNonTextHasNoLines) {
    EXPECT_EQ(rt::MEMOLINE(Value("a\tb"), 20, 1, rt::NIL, true), "a   b");
    EXPECT_EQ(rt::MLCOUNT(rt::NIL, 20), 0);
    EXPECT_EQ(rt::MLCOUNT(Value(5), 20), 0);
    EXPECT_EQ(rt::MEMOLINE(rt::NIL, 20, 1), "");
}

// Every line within the width, and no character lost but the blanks at breaks, for texts
// of many words over many widths.
TEST(WrappingDefaults, LinesNeverExceedTheWidthAndKeepEveryWord) {
    const std::string text = "Der Datensatz konnte nicht gesperrt werden weil ein anderer "
                             "Benutzer ihn gerade bearbeitet Überschreitungsfehlermeldung";
    for (int width = 1; width <= 70; ++width) {
        const auto lines = rt::wrapLines(text, width);
        std::string rejoined;
        for (const auto& line : lines) {
            std::size_t characters = 0;
            for (const unsigned char c : line) {
                characters += (c & 0xC0) != 0x80 ? 1 : 0;
            }
            EXPECT_LE(characters, static_cast<std::size_t>(width)) << line;
            rejoined += line;
        }
        std::string letters;
        for (const char c : text) {
            if (c != ' ') {
                letters += c;
            }
        }
        std::string got;
        for (const char c : rejoined) {
            if (c != ' ') {
                got += c;
            }
        }
        EXPECT_EQ(got, letters) << "width " << width;
    }
}

struct Split {
    const char* name;
    Value text;
    std::string result;
};

class LineSplit : public ::testing::TestWithParam<Split> {};

TEST_P(LineSplit, EveryLineFollowedBySemicolon) {
    EXPECT_EQ(LINESPLIT(GetParam().text, Value(10)).text(), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Texts, LineSplit,
                         ::testing::Values(Split{"EmptyTextGivesNothing", Value(""), ""},
                                           Split{"ShortTextOneLine", Value("kurz"), "kurz;"},
                                           Split{"WrappedAtWidth", Value("eins zwei drei vier"),
                                                 "eins zwei;drei vier;"},
                                           Split{"SemicolonInsideStays", Value("a;b"), "a;b;"},
                                           Split{"NotATextGivesNothing", rt::NIL, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LineSplitWidth, SemicolonsMatchTheLineCount) {
    const Value text("Ein Datensatz der Tabelle konnte nicht gelesen werden, weil die Datei "
                     "beschaedigt ist und neu aufgebaut werden muss");
    const std::string split = LINESPLIT(text, Value(50)).text();
    EXPECT_EQ(std::count(split.begin(), split.end(), ';'), rt::MLCOUNT(text, 50));
    EXPECT_GT(rt::MLCOUNT(text, 50), 1);
}

} // namespace
