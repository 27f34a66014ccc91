#include "app/job_list.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
    const char* name;
    std::string jobList;
    std::vector<std::string> jobs;
};

const std::string J1 = "C:\\Daten\r\nD:\\Sich\r\n*.*\r\n/E\r\n";
const std::string J2 = "C:\\Mail\r\nD:\\Sich2\r\n*.pst\r\n/R:1\r\n";
const std::string J3 = "C:\\X\r\nD:\\Y\r\n*.*\r\n\r\n";

class JobList : public ::testing::TestWithParam<Case> {};

TEST_P(JobList, SplitsIntoJobTexts) {
    EXPECT_EQ(jobTexts(GetParam().jobList), GetParam().jobs);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, JobList,
    ::testing::Values(
        Case{"SingleJobWithoutHeader", J1, {J1}}, Case{"EmptyListIsOneEmptyJob", "", {""}},
        Case{"TwoSectionsWithClosingHeader", "[1]\r\n" + J1 + "[2]\r\n" + J2 + "[3]\r\n", {J1, J2}},
        Case{"ThreeSectionsInOrder",
             "[1]\r\n" + J1 + "[2]\r\n" + J2 + "[3]\r\n" + J3 + "[4]\r\n",
             {J1, J2, J3}},
        Case{"HeaderLaterInTheFileRunsNothing", "; Kommentar\r\n[1]\r\n" + J1 + "[2]\r\n", {}},
        Case{"ListOfOnlyTheFirstHeaderRunsNothing", "[1]\r\n", {}},
        Case{"ShortListAfterFirstHeaderRunsNothing", "[1]\r\nabcdef", {}},
        Case{"ClosingHeaderMissingRunsNoHalfJob", "[1]\r\n" + J1 + "[2]\r\n" + J2, {J1}},
        Case{"OnlySectionWithoutClosingHeader", "[1]\r\n" + J1, {}},
        Case{"GapInNumbersEndsTheLoop", "[1]\r\n" + J1 + "[3]\r\n" + J2 + "[4]\r\n", {}},
        Case{"NextHeaderInsideALineEndsTheSection",
             "[1]\r\nC:\\a[2]b\r\nD:\\t\r\n*.*\r\n\r\n[2]\r\n" + J2 + "[3]\r\n",
             {"C:\\a", "b\r\nD:\\t\r\n*.*\r\n\r\n[2]\r\n" + J2}},
        Case{"HeaderWithLineFeedOnly", "[1]\n" + J1 + "[2]\n", {J1}},
        Case{"ClosingHeaderWithoutLineEnd", "[1]\r\n" + J1 + "[2]", {J1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JobListSections, TwoDigitSectionsStartRightAfterTheirHeaderLine) {
    std::string list;
    std::vector<std::string> expected;
    for (int n = 1; n <= 11; ++n) {
        const std::string job = "C:\\Q" + std::to_string(n) + "\r\nD:\\Z\r\n*.*\r\n\r\n";
        list += "[" + std::to_string(n) + "]\r\n" + job;
        expected.push_back(job);
    }
    list += "[12]\r\n";
    EXPECT_EQ(jobTexts(list), expected);
}

} // namespace
