// Name matching, path folding, file selection and classification.
#include "classify.hpp"
#include "paths.hpp"
#include "selection.hpp"

#include <ctime>
#include <gtest/gtest.h>

using namespace rc;

TEST(MatchName, WildcardsWithoutRegardToCase) {
    const struct {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"*.*", "report.txt", true},
        {"*.*", "Makefile", true},
        {"*.*", ".bashrc", true},
        {"*", "", true},
        {"*.txt", "A.TXT", true},
        {"*.TXT", "a.txt", true},
        {"*.txt", "a.txt.bak", false},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"a?c", "abbc", false},
        {"*x64", "build_x64", true},
        {"*x64", "x64.d", false},
        {"data.*", "data", true},
        {"data.*", "data.csv", true},
        {"data.*", "database", false},
        {"*a*b*c", "xaybzc", true},
        {"*a*b*c", "xaybz", false},
        {"Thumbs.db", "thumbs.DB", true},
        {"?", "", false},
        {"*.tmp", "x.tmp", true},
        {"**.log", "a.log", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(matchName(c.pattern, c.name), c.match) << c.pattern << " ~ " << c.name;
    }
}

TEST(Paths, AbsoluteFolding) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"/a/b/", "/a/b"},
        {"/a//b///c", "/a/b/c"},
        {"/a/./b/.", "/a/b"},
        {"/a/b/../c", "/a/c"},
        {"/..", "/"},
        {"/", "/"},
        {"//server/share", "/server/share"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(absolutePath(c.in), c.out) << c.in;
    }
    const std::string relative = absolutePath("x/y");
    EXPECT_EQ(relative.front(), '/');
    EXPECT_EQ(relative.substr(relative.size() - 4), "/x/y");
}

TEST(Paths, WithinAndHelpers) {
    EXPECT_TRUE(isWithin("/a/b", "/a/b"));
    EXPECT_TRUE(isWithin("/a/b/c", "/a/b"));
    EXPECT_FALSE(isWithin("/a/bc", "/a/b"));
    EXPECT_FALSE(isWithin("/a", "/a/b"));
    EXPECT_TRUE(isWithin("/anything", "/"));
    EXPECT_EQ(toSlashes("a\\b\\c"), "a/b/c");
    EXPECT_EQ(joinPath("/", "x"), "/x");
    EXPECT_EQ(joinPath("/a", "x"), "/a/x");
    EXPECT_EQ(displayDir("/a/b"), "/a/b/");
    EXPECT_EQ(displayDir("/"), "/");
    EXPECT_TRUE(hasDriveLetter("C:\\Daten"));
    EXPECT_TRUE(hasDriveLetter("d:"));
    EXPECT_TRUE(hasDriveLetter("C:data"));
    EXPECT_FALSE(hasDriveLetter("data:C"));
    EXPECT_FALSE(hasDriveLetter("/C:/x"));
    EXPECT_TRUE(isNetworkPath("\\\\server\\share"));
    EXPECT_TRUE(isNetworkPath("//server/share"));
    EXPECT_FALSE(isNetworkPath("/server/share"));
    EXPECT_FALSE(isNetworkPath("relative\\\\x"));
}

namespace {

constexpr std::int64_t sec = 1000000000;

FileFacts facts(std::uint64_t size, std::int64_t mtimeSeconds, unsigned mode = 0644,
                long extraNs = 0) {
    return {size, mtimeSeconds * sec + extraNs, mtimeSeconds * sec, mode};
}

} // namespace

TEST(Classify, ComparesTimeThenSize) {
    const TimeRules exact{};
    const TimeRules fat{true, false, false};
    const TimeRules dst{false, true, false};
    const TimeRules modes{false, false, true};
    const struct {
        FileFacts source, dest;
        TimeRules rules;
        FileClass expected;
        const char* what;
    } cases[] = {
        {facts(10, 1000), facts(10, 1000), exact, FileClass::Same, "same size and time"},
        {facts(10, 1000), facts(11, 1000), exact, FileClass::Changed, "size differs"},
        {facts(10, 1001), facts(10, 1000), exact, FileClass::Newer, "source newer"},
        {facts(10, 999), facts(10, 1000), exact, FileClass::Older, "source older"},
        {facts(10, 1000, 0644, 1), facts(10, 1000), exact, FileClass::Newer, "one nanosecond"},
        {facts(10, 1002), facts(10, 1000), fat, FileClass::Same, "two seconds with /FFT"},
        {facts(10, 1003), facts(10, 1000), fat, FileClass::Newer, "three seconds with /FFT"},
        {facts(10, 1000), facts(12, 1001), fat, FileClass::Changed, "/FFT and size differs"},
        {facts(10, 4600), facts(10, 1000), dst, FileClass::Same, "exactly an hour with /DST"},
        {facts(10, 4601), facts(10, 1000), dst, FileClass::Newer, "an hour and a second"},
        {facts(10, 1000, 0600), facts(10, 1000, 0644), modes, FileClass::Tweaked, "mode differs"},
        {facts(10, 1000, 0600), facts(10, 1000, 0644), exact, FileClass::Same, "modes ignored"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(classify(c.source, c.dest, c.rules), c.expected) << c.what;
    }
}

TEST(Classify, WhichClassesAreCopied) {
    Options defaults;
    Options strict;
    strict.excludeOlder = strict.excludeNewer = strict.excludeChanged = strict.excludeLonely = true;
    Options all;
    all.includeSame = all.includeTweaked = true;
    const struct {
        FileClass cls;
        bool byDefault, withExcludes, withIncludes;
    } cases[] = {
        {FileClass::Lonely, true, false, true},   {FileClass::Same, false, false, true},
        {FileClass::Tweaked, false, false, true}, {FileClass::Changed, true, false, true},
        {FileClass::Newer, true, false, true},    {FileClass::Older, true, false, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wantsCopy(c.cls, defaults), c.byDefault) << classTag(c.cls, true);
        EXPECT_EQ(wantsCopy(c.cls, strict), c.withExcludes) << classTag(c.cls, true);
        EXPECT_EQ(wantsCopy(c.cls, all), c.withIncludes) << classTag(c.cls, true);
    }
    EXPECT_STREQ(classTag(FileClass::Lonely, true), "New File");
    EXPECT_STREQ(classTag(FileClass::Older, false), "older");
}

TEST(Selector, ExclusionReasons) {
    const std::int64_t now = 2000000000;
    Options o;
    o.includes = {"*.txt", "*.md"};
    o.excludeFiles = {"secret*", "/data/src/keep/skip.txt"};
    o.maxSize = 1000;
    o.minSize = 10;
    o.maxAge = 30; // older than 30 days is left out
    o.minAge = 1;  // newer than 1 day is left out
    const Selector s(o, now);
    const std::int64_t day = 86400;
    const struct {
        const char* name;
        const char* path;
        FileFacts facts;
        Exclusion expected;
    } cases[] = {
        {"a.txt", "/data/src/a.txt", facts(100, now - 5 * day), Exclusion::None},
        {"A.MD", "/data/src/A.MD", facts(100, now - 5 * day), Exclusion::None},
        {"a.doc", "/data/src/a.doc", facts(100, now - 5 * day), Exclusion::NotIncluded},
        {"secret.txt", "/data/src/secret.txt", facts(100, now - 5 * day), Exclusion::Named},
        {"skip.txt", "/data/src/keep/skip.txt", facts(100, now - 5 * day), Exclusion::Named},
        {"skip.txt", "/data/src/other/skip.txt", facts(100, now - 5 * day), Exclusion::None},
        {"big.txt", "/data/src/big.txt", facts(1001, now - 5 * day), Exclusion::Large},
        {"edge.txt", "/data/src/edge.txt", facts(1000, now - 5 * day), Exclusion::None},
        {"tiny.txt", "/data/src/tiny.txt", facts(9, now - 5 * day), Exclusion::Small},
        {"old.txt", "/data/src/old.txt", facts(100, now - 31 * day), Exclusion::TooOld},
        {"new.txt", "/data/src/new.txt", facts(100, now - 3600), Exclusion::TooNew},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(s.file(c.name, c.path, c.facts), c.expected) << c.path;
    }
}

TEST(Selector, LastAccessLimits) {
    const std::int64_t now = 2000000000;
    Options o;
    o.includes = {"*.*"};
    o.maxLastAccess = 10;
    o.minLastAccess = 2;
    const Selector s(o, now);
    const auto accessed = [](std::int64_t seconds) {
        FileFacts f;
        f.mtimeNs = 0;
        f.atimeNs = seconds * 1000000000;
        return f;
    };
    EXPECT_EQ(s.file("a", "/a", accessed(now - 5 * 86400)), Exclusion::None);
    EXPECT_EQ(s.file("a", "/a", accessed(now - 11 * 86400)), Exclusion::TooOld);
    EXPECT_EQ(s.file("a", "/a", accessed(now - 86400)), Exclusion::TooNew);
}

TEST(Selector, FolderExclusionByNameOrPath) {
    Options o;
    o.excludeDirs = {"*cache", "/data/src/build", "/backup/dst/private"};
    const Selector s(o, 0);
    EXPECT_TRUE(s.dirNamedOut("Cache", "/data/src/x/Cache", "/backup/dst/x/Cache"));
    EXPECT_TRUE(s.dirNamedOut("webcache", "/data/src/webcache", "/backup/dst/webcache"));
    EXPECT_TRUE(s.dirNamedOut("build", "/data/src/build", "/backup/dst/build"));
    EXPECT_FALSE(s.dirNamedOut("build", "/data/src/x/build", "/backup/dst/x/build"));
    EXPECT_TRUE(s.dirNamedOut("private", "/data/src/private", "/backup/dst/private"));
    EXPECT_FALSE(s.dirNamedOut("docs", "/data/src/docs", "/backup/dst/docs"));
}

TEST(Selector, AgeValuesAreDaysOrDates) {
    const std::int64_t now = 1700000000;
    EXPECT_EQ(ageCutoff(0, now), now);
    EXPECT_EQ(ageCutoff(7, now), now - 7 * 86400);
    EXPECT_EQ(ageCutoff(1899, now), now - 1899LL * 86400);
    std::tm date{};
    date.tm_year = 2024 - 1900;
    date.tm_mon = 0;
    date.tm_mday = 31;
    date.tm_isdst = -1;
    EXPECT_EQ(ageCutoff(20240131, now), static_cast<std::int64_t>(std::mktime(&date)));
}
