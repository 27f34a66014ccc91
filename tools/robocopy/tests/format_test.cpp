// The shapes of the header, entry lines and summary that logs and scripts read.
#include "options.hpp"
#include "report.hpp"

#include <cerrno>
#include <gtest/gtest.h>
#include <sstream>

using namespace rc;

TEST(Format, Sizes) {
    const struct {
        std::uint64_t bytes;
        const char* line;
        const char* summary;
    } cases[] = {
        {0, "0", "0"},
        {1023, "1023", "1023"},
        {1024, "1.0 k", "1.0 k"},
        {575488, "562.0 k", "562.0 k"},
        {2000000, "1.9 m", "1.91 m"},
        {30272000, "28.9 m", "28.87 m"},
        {225667000000ULL, "210.2 g", "210.169 g"},
        {3ULL << 40, "3.0 t", "3.000 t"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatSize(c.bytes, false), c.line) << c.bytes;
        EXPECT_EQ(formatSummaryBytes(c.bytes, false), c.summary) << c.bytes;
        EXPECT_EQ(formatSize(c.bytes, true), std::to_string(c.bytes));
    }
}

TEST(Format, Durations) {
    EXPECT_EQ(formatDuration(0), "0:00:00");
    EXPECT_EQ(formatDuration(4.9), "0:00:04");
    EXPECT_EQ(formatDuration(3725), "1:02:05");
    EXPECT_EQ(formatDuration(-1), "0:00:00");
}

TEST(Format, DatesInEnglish) {
    std::tm t{};
    t.tm_year = 124;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 18;
    t.tm_min = 2;
    t.tm_sec = 11;
    t.tm_isdst = -1;
    const std::time_t when = std::mktime(&t);
    EXPECT_EQ(formatLongDate(when), "Tuesday, 5 March 2024 18:02:11");
    EXPECT_EQ(formatStamp(when), "2024/03/05 18:02:11");
}

TEST(Format, EntryLines) {
    Options o;
    EXPECT_EQ(dirLine("  New Dir", 3, "/src/sub/"), "\t  New Dir          3\t/src/sub/\n");
    EXPECT_EQ(dirLine("", 12, "/src/"), "\t                  12\t/src/\n");
    EXPECT_EQ(dirLine("*EXTRA Dir", -1, "/dst/old/"), "\t*EXTRA Dir        -1\t/dst/old/\n");
    EXPECT_EQ(fileLine(o, "New File", 10, "a.txt", 0), "\t    New File  \t\t      10\ta.txt\n");
    EXPECT_EQ(fileLine(o, "*EXTRA File", 2048, "b", 0), "\t*EXTRA File   \t\t   2.0 k\tb\n");
    o.noClass = o.noSize = true;
    EXPECT_EQ(fileLine(o, "New File", 10, "a.txt", 0), "\t\t\t\ta.txt\n");
}

TEST(Format, SummaryRowsAreSeventyCharacters) {
    Summary s;
    s.dirs = {12, 3, 9, 0, 0, 1};
    s.files = {140, 17, 123, 0, 0, 2};
    s.bytes = {92705341, 6501171, 86204170, 0, 0, 12288};
    s.totalSeconds = 4;
    s.copySeconds = 2;
    const std::string text = summaryText(s, false, 0);
    EXPECT_NE(text.find("               Total    Copied   Skipped  Mismatch    FAILED    Extras\n"),
              std::string::npos);
    EXPECT_NE(text.find("    Dirs :        12         3         9         0         0         1\n"),
              std::string::npos);
    EXPECT_NE(text.find("   Files :       140        17       123         0         0         2\n"),
              std::string::npos);
    EXPECT_NE(text.find("   Bytes :   88.41 m    6.20 m   82.21 m         0         0    12.0 k\n"),
              std::string::npos);
    EXPECT_NE(text.find("   Times :   0:00:04   0:00:02                       0:00:00   0:00:00\n"),
              std::string::npos);
    EXPECT_NE(text.find("\n   Speed :             32505"), std::string::npos);
    EXPECT_NE(text.find(" MegaBytes/min.\n"), std::string::npos);
    EXPECT_NE(text.find("   Ended : "), std::string::npos);
}

TEST(Format, HeaderLabelsLineUp) {
    Options o;
    o.includes = {"*.txt", "*.md"};
    o.excludeDirs = {"cache"};
    o.subdirs = true;
    const std::string text = headerText(o, "/src/", "/dst/", 0);
    EXPECT_NE(text.find("\n" + std::string(79, '-') + "\n"), std::string::npos);
    EXPECT_NE(text.find("\n   Source : /src/\n     Dest : /dst/\n"), std::string::npos);
    EXPECT_NE(text.find("\n    Files : *.txt\n            *.md\n"), std::string::npos);
    EXPECT_NE(text.find("\n Exc Dirs : cache\n"), std::string::npos);
    EXPECT_NE(text.find("\n  Options : *.txt *.md /S /DCOPY:DA /COPY:DAT /R:1 /W:1\n"),
              std::string::npos);
    EXPECT_NE(text.find("\n" + std::string(78, '-') + "\n"), std::string::npos);

    const std::string rejected = rejectedHeaderText(0);
    EXPECT_NE(rejected.find("   Source - \n     Dest - \n"), std::string::npos);
}

TEST(Format, ErrorLines) {
    const std::string text = errorLines(ENOENT, "Accessing Source Directory", "/nope/");
    EXPECT_NE(text.find(" ERROR 2 (0x00000002) Accessing Source Directory /nope/\n"),
              std::string::npos);
    EXPECT_EQ(text.substr(text.find('\n') + 1), "No such file or directory.\n");
    const struct {
        int errnum;
        unsigned number;
    } codes[] = {{ENOENT, 2}, {EACCES, 5}, {EPERM, 5}, {ENOSPC, 112}, {EFBIG, 223}, {EBUSY, 32}};
    for (const auto& c : codes) {
        EXPECT_EQ(errorNumber(c.errnum), c.number) << c.errnum;
    }
}
