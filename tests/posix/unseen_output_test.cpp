// The console output kept for a program started from the desktop: line ends as the
// program's output channels write them, and the bounds that keep the window small.
#include "runtime/posix/unseen_output.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using rt::posix::UnseenOutput;

struct Case {
    const char* name;
    std::vector<std::string> pieces;
    std::size_t maxLines;
    std::size_t maxBytes;
    std::string shown;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class UnseenOutputText : public testing::TestWithParam<Case> {};

TEST_P(UnseenOutputText, ShowsTheLastLines) {
    const Case& c = GetParam();
    UnseenOutput unseen(c.maxLines, c.maxBytes);
    for (const std::string& piece : c.pieces) {
        unseen.add(piece);
    }
    EXPECT_EQ(unseen.text(), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnseenOutputText,
    testing::Values(
        Case{"nothingWritten", {}, 20, 4096, ""},
        Case{"onlyBlanksAndLineEnds", {"\r\n", "   ", "\r\n\r\n"}, 20, 4096, ""},
        // QOUT starts each line with CR LF.
        Case{"lineOutput", {"\r\nerste", "\r\nzweite", " Zeile"}, 20, 4096, "erste\nzweite Zeile"},
        // The standard error channel's report starts with LF CR.
        Case{"lineFeedThenReturn", {"\r\nKonsole", "\n\rFehler"}, 20, 4096, "Konsole\nFehler"},
        Case{"lineEndSplitBetweenWrites", {"eins\r", "\nzwei"}, 20, 4096, "eins\nzwei"},
        Case{"loneReturnAndLoneFeed", {"eins\rzwei\ndrei"}, 20, 4096, "eins\nzwei\ndrei"},
        Case{"emptyLinesInsideKept", {"\r\neins\r\n\r\nzwei\r\n"}, 20, 4096, "eins\n\nzwei"},
        Case{"emptyLinesAroundDropped", {"\r\n\r\n  \r\neins\r\n\r\n"}, 20, 4096, "eins"},
        Case{"lineBound", {"1\r\n2\r\n3\r\n4\r\n5"}, 3, 4096, "…\n3\n4\n5"},
        Case{"lineBoundExactlyMet", {"3\r\n4\r\n5"}, 3, 4096, "3\n4\n5"},
        Case{"byteBound", {"aaaa\r\nbbbb\r\ncccc"}, 20, 10, "…\nbbbb\ncccc"},
        Case{"byteBoundExactlyMet", {"aaaa\r\nbbbb"}, 20, 9, "aaaa\nbbbb"},
        Case{"longLastLineShowsItsEnd", {"\r\nabcdefgh"}, 20, 4, "…\nefgh"},
        // The cut never splits a character: Ä and Ö are two bytes each.
        Case{"longLineCutOnACharacter", {"xx\xC3\x84\xC3\x96"}, 20, 3, "…\n\xC3\x96"}),
    [](const auto& info) { return std::string(info.param.name); });

// A run that writes much more than is shown: the window still shows the last lines, and
// the line cut by dropping the start is not among them.
TEST(UnseenOutput, LongOutputShowsItsEnd) {
    UnseenOutput unseen(3, 64);
    for (int i = 0; i < 100000; ++i) {
        unseen.add("\r\nZeile " + std::to_string(i));
    }
    EXPECT_EQ(unseen.text(), "…\nZeile 99997\nZeile 99998\nZeile 99999");

    UnseenOutput cut(20, 16);
    cut.add(std::string(1000, 'x') + "\r\nEnde");
    EXPECT_EQ(cut.text(), "…\nEnde");
}

TEST(UnseenOutput, ClearForgetsEverything) {
    UnseenOutput unseen(2, 8);
    unseen.add(std::string(100, 'x') + "\r\nalt");
    unseen.clear();
    unseen.add("\r\nneu");
    EXPECT_EQ(unseen.text(), "neu");
}

} // namespace
