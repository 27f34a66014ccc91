#include "app/job_list.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

// Shown by the test framework when a job differs.
void PrintTo(const ListedJob& job, std::ostream* os) {
    *os << ::testing::PrintToString(job.text) << " refusal " << static_cast<int>(job.refusal);
}

namespace {

// A job that runs, and one that is refused for the reason given.
ListedJob runs(const std::string& text) {
    return {text, Refusal::none};
}
ListedJob refused(const std::string& text, Refusal reason) {
    return {text, reason};
}

struct Case {
    const char* name;
    std::string jobList;
    std::vector<ListedJob> jobs;
    bool cut = false; // the job file is longer than the list
};

const std::string J1 = "C:\\Daten\r\nD:\\Sich\r\n*.*\r\n/E\r\n";
const std::string J2 = "C:\\Mail\r\nD:\\Sich2\r\n*.pst\r\n/R:1\r\n";
const std::string J3 = "C:\\X\r\nD:\\Y\r\n*.*\r\n\r\n";

class JobList : public ::testing::TestWithParam<Case> {};

TEST_P(JobList, SplitsIntoJobTexts) {
    EXPECT_EQ(jobTexts(GetParam().jobList, GetParam().cut), GetParam().jobs);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, JobList,
    ::testing::Values(
        Case{"SingleJobWithoutHeader", J1, {runs(J1)}},
        Case{"EmptyListIsOneEmptyJob", "", {runs("")}},
        Case{"TwoSectionsWithClosingHeader",
             "[1]\r\n" + J1 + "[2]\r\n" + J2 + "[3]\r\n",
             {runs(J1), runs(J2)}},
        Case{"ThreeSectionsInOrder",
             "[1]\r\n" + J1 + "[2]\r\n" + J2 + "[3]\r\n" + J3 + "[4]\r\n",
             {runs(J1), runs(J2), runs(J3)}},
        Case{"HeaderLaterInTheFileRunsNothing", "; Kommentar\r\n[1]\r\n" + J1 + "[2]\r\n", {}},
        Case{"ListOfOnlyTheFirstHeaderRunsNothing", "[1]\r\n", {}},
        Case{"ShortListAfterFirstHeaderRunsNothing", "[1]\r\nabcdef", {}},
        Case{"ClosingHeaderMissingRunsNoHalfJob", "[1]\r\n" + J1 + "[2]\r\n" + J2, {runs(J1)}},
        Case{"OnlySectionWithoutClosingHeader", "[1]\r\n" + J1, {}},
        Case{"GapInNumbersEndsTheLoop", "[1]\r\n" + J1 + "[3]\r\n" + J2 + "[4]\r\n", {}},
        Case{"NextHeaderInsideALineEndsTheSection",
             "[1]\r\nC:\\a[2]b\r\nD:\\t\r\n*.*\r\n\r\n[2]\r\n" + J2 + "[3]\r\n",
             {runs("C:\\a"), refused("D:\\t\r\n*.*\r\n\r\n[2]\r\n" + J2, Refusal::headerLine)}},
        Case{"HeaderWithLineFeedOnly", "[1]\n" + J1 + "[2]\n", {runs(J1)}},
        Case{"HeaderWithCarriageReturnOnly", "[1]\r" + J1 + "[2]\r", {runs(J1)}},
        Case{"ClosingHeaderWithoutLineEnd", "[1]\r\n" + J1 + "[2]", {runs(J1)}},
        // The job text starts after the header line's end, whatever blanks stand before it.
        Case{"BlanksAndTabsAfterTheHeader",
             "[1] \t \r\n" + J1 + "[2]\t\r\n" + J2 + "[3]\r\n",
             {runs(J1), runs(J2)}},
        // Anything else on a header line refuses that section only.
        Case{"TextAfterTheHeaderRefusesThatSection",
             "[1] alt\r\n" + J1 + "[2]\r\n" + J2 + "[3]\r\n",
             {refused(J1, Refusal::headerLine), runs(J2)}},
        Case{"TextAfterABlankAndTabAfterTheHeader",
             "[1]\r\n" + J1 + "[2] \tx \r\n" + J2 + "[3]\r\n",
             {runs(J1), refused(J2, Refusal::headerLine)}},
        Case{"HeaderLineRunningIntoTheNextHeader",
             "[1] [2]\r\n" + J2 + "[3]\r\n",
             {refused("", Refusal::headerLine), runs(J2)}},
        Case{"HeaderFollowedByTheJobWithoutLineEnd",
             "[1]C:\\Daten\r\nD:\\S\r\n*.*\r\n\r\n[2]\r\n",
             {refused("D:\\S\r\n*.*\r\n\r\n", Refusal::headerLine)}},
        // The 3000-byte limit: a single job is refused when the cut falls inside its four
        // lines, and a section whose closing header was cut off is refused (not left out).
        Case{"CutInsideTheSingleJobsLines",
             "C:\\Daten\r\nD:\\Sich",
             {refused("C:\\Daten\r\nD:\\Sich", Refusal::cut)},
             true},
        Case{"CutInsideTheSingleJobsLastLine",
             "C:\\Daten\r\nD:\\Sich\r\n*.*\r\n/E /R:",
             {refused("C:\\Daten\r\nD:\\Sich\r\n*.*\r\n/E /R:", Refusal::cut)},
             true},
        Case{"CutAfterTheSingleJobsFourLines", J1 + "Rest", {runs(J1 + "Rest")}, true},
        Case{"CutSectionIsRefused",
             "[1]\r\n" + J1 + "[2]\r\nC:\\Mail",
             {runs(J1), refused("C:\\Mail", Refusal::cut)},
             true},
        Case{"ShortSingleJobIsNotCut", "C:\\Daten\r\nD:\\Sich", {runs("C:\\Daten\r\nD:\\Sich")}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JobListSections, TwoDigitSectionsStartRightAfterTheirHeaderLine) {
    std::string list;
    std::vector<ListedJob> expected;
    for (int n = 1; n <= 11; ++n) {
        const std::string job = "C:\\Q" + std::to_string(n) + "\r\nD:\\Z\r\n*.*\r\n\r\n";
        list += "[" + std::to_string(n) + "]\r\n" + job;
        expected.push_back(runs(job));
    }
    list += "[12]\r\n";
    EXPECT_EQ(jobTexts(list), expected);
}

} // namespace
