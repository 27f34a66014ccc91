// Reading the command line: which words are options, their values, and the
// errors for words that cannot be used.
#include "options.hpp"

#include <functional>
#include <gtest/gtest.h>

using rc::Options;
using rc::parse;
using rc::ParseError;

namespace {

std::vector<std::string> words(std::initializer_list<const char*> list) {
    return {list.begin(), list.end()};
}

Options parsedOk(const std::vector<std::string>& args) {
    const auto result = parse(args);
    EXPECT_FALSE(result.error.has_value()) << (result.error ? result.error->message() : "");
    return result.options;
}

} // namespace

TEST(OptionWords, WordIsOptionOnlyWithoutFurtherSlashBeforeColon) {
    const struct {
        const char* word;
        bool option;
    } cases[] = {
        {"/S", true},
        {"/mir", true},
        {"/LOG:/var/log/x.log", true},
        {"/FOO", true},
        {"/FOO:/x/y", true},
        {"/home/user/data", false},
        {"/home/", false},
        {"/home\\user", false},
        {"/", false},
        {"\\home\\x", false},
        {"C:\\Daten", false},
        {"*.txt", false},
        {"relative/dir", false},
        {"/x:y/z", true},
        {"/home/x:y", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rc::looksLikeOption(c.word), c.option) << c.word;
    }
}

TEST(ParseOptions, ValidCommandLines) {
    const struct {
        std::vector<std::string> args;
        std::function<bool(const Options&)> check;
        const char* what;
    } cases[] = {
        {words({"/home/u/src", "/backup/dst"}),
         [](const Options& o) {
             return o.source == "/home/u/src" && o.destination == "/backup/dst" &&
                    o.includes == std::vector<std::string>{"*.*"} && o.retries == 1 &&
                    o.waitSeconds == 1 && o.copy.text() == "DAT" && o.dirCopy.text() == "DA" &&
                    !o.subdirs && !o.purge && o.threads == 0;
         },
         "defaults"},
        {words({"\\home\\u\\src", "rel\\dst", "/LOG:logs\\r.log"}),
         [](const Options& o) {
             return o.source == "/home/u/src" && o.destination == "rel/dst" &&
                    o.logFile == "logs/r.log" && !o.logAppend;
         },
         "backslashes become slashes"},
        {words({"/mir", "a/", "b/"}),
         [](const Options& o) {
             return o.source == "a/" && o.mirror && o.purge && o.subdirs && o.emptyDirs;
         },
         "options may come first and in any case"},
        {words({"s/", "d/", "*.TXT", "a?.doc", "/XF", "*.tmp", "/x/y/z.bak", "/XD", "cache",
                "/s/old", "/S", "*.md"}),
         [](const Options& o) {
             return o.includes == std::vector<std::string>{"*.TXT", "a?.doc", "*.md"} &&
                    o.excludeFiles == std::vector<std::string>{"*.tmp", "/x/y/z.bak"} &&
                    o.excludeDirs == std::vector<std::string>{"cache", "/s/old"} && o.subdirs;
         },
         "lists after /XF and /XD run to the next option"},
        {words({"s/", "d/", "/E", "/LEV:3", "/R:0", "/W:0", "/MT"}),
         [](const Options& o) {
             return o.subdirs && o.emptyDirs && o.levels == 3 && o.retries == 0 &&
                    o.waitSeconds == 0 && o.threads == 8;
         },
         "numbers"},
        {words({"s/", "d/", "/MT:4", "/MAX:100", "/MIN:10", "/MAXAGE:30", "/MINAGE:20240131"}),
         [](const Options& o) {
             return o.threads == 4 && o.maxSize == 100u && o.minSize == 10u && o.maxAge == 30u &&
                    o.minAge == 20240131u;
         },
         "limits"},
        {words({"s/", "d/", "/COPY:dt", "/DCOPY:T"}),
         [](const Options& o) { return o.copy.text() == "DT" && o.dirCopy.text() == "T"; },
         "copy flags in any case"},
        {words({"s/", "d/", "/SEC"}),
         [](const Options& o) { return o.copy.security && !o.copy.owner && o.copy.data; }, "/SEC"},
        {words({"s/", "d/", "/COPYALL"}),
         [](const Options& o) { return o.copy.security && o.copy.owner && o.copy.times; },
         "/COPYALL"},
        {words({"s/", "d/", "/NOCOPY", "/PURGE"}),
         [](const Options& o) { return !o.copy.data && o.purge; }, "/NOCOPY"},
        {words({"s/", "d/", "/LOG+:x.log", "/TEE", "/NP", "/NFL", "/NDL", "/NJH", "/NJS", "/NS",
                "/NC"}),
         [](const Options& o) {
             return o.logAppend && o.logFile == "x.log" && o.tee && o.noProgress && o.noFileList &&
                    o.noDirList && o.noHeader && o.noSummary && o.noSize && o.noClass;
         },
         "output options"},
        {words({"s/", "d/", "/Z", "/b", "/ZB", "/J", "/256", "/UNILOG:u.log", "/IPG:5", "/A+:R",
                "/LFSM", "/lfsm:10M", "/IoMaxSize:1M"}),
         [](const Options& o) {
             return o.ignored == std::vector<std::string>{"/Z",           "/B",    "/ZB",
                                                          "/J",           "/256",  "/IPG:5",
                                                          "/A+:R",        "/LFSM", "/LFSM:10M",
                                                          "/IOMAXSIZE:1M"} &&
                    o.logFile == "u.log";
         },
         "options without meaning here are accepted"},
        {words({"s/", "d/", "/XO", "/XN", "/XC", "/XX", "/XL", "/IS", "/IT", "/FFT", "/XJ", "/L"}),
         [](const Options& o) {
             return o.excludeOlder && o.excludeNewer && o.excludeChanged && o.excludeExtra &&
                    o.excludeLonely && o.includeSame && o.includeTweaked && o.fatTimes &&
                    o.skipLinkedDirs && o.skipLinkedFiles && o.listOnly;
         },
         "selection switches"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(c.check(parsedOk(c.args)));
    }
}

TEST(ParseOptions, RejectedWordsNameTheirPosition) {
    const struct {
        std::vector<std::string> args;
        int index;
        ParseError::Kind kind;
    } cases[] = {
        {words({"/src/", "/dst/", "/FOO"}), 3, ParseError::InvalidParameter},
        {words({"/tmp", "/dst/"}), 1, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/R:abc"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/R:"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/W:-1"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/MT:0"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/MT:129"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/LEV:0"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/COPY:DQ"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/DCOPY:S"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/COPY:"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/S:2"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/E", "/LOG:"}), 4, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/MAXAGE:20241340"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/MAX"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/XF:a"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/Z:1"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/IPG"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/FOO:/x/y"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "sub/x.txt"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "*.txt", "Plugins\\x"}), 4, ParseError::InvalidParameter},
        {words({"*.txt", "/dst/"}), 1, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", ""}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/JOB:x"}), 3, ParseError::InvalidParameter},
        {words({"/src/", "/dst/", "/E", "/MOV"}), 4, ParseError::Refused},
        {words({"/MOVE", "/src/", "/dst/"}), 1, ParseError::Refused},
        {words({"/src/"}), 0, ParseError::NoDestination},
        {words({"/S"}), 0, ParseError::NoSource},
        {words({}), 0, ParseError::NoSource},
    };
    for (const auto& c : cases) {
        const auto result = parse(c.args);
        std::string joined;
        for (const auto& w : c.args) {
            joined += w + " ";
        }
        ASSERT_TRUE(result.error.has_value()) << joined;
        EXPECT_EQ(result.error->index, c.index) << joined;
        EXPECT_EQ(result.error->kind, c.kind) << joined;
    }
}

TEST(ParseOptions, ErrorMessagesQuoteTheWord) {
    EXPECT_EQ(parse(words({"/a/", "/b/", "/FOO"})).error->message(),
              "ERROR : Invalid Parameter #3 : \"/FOO\"");
    EXPECT_EQ(parse(words({"/a/"})).error->message(),
              "ERROR : No Destination Directory Specified.");
    EXPECT_NE(parse(words({"/a/", "/b/", "/MOV"})).error->message().find("Invalid Parameter #3"),
              std::string::npos);
}

TEST(ParseOptions, HeaderEchoShowsEffectiveOptions) {
    const Options mirror = parsedOk(words({"s/", "d/", "/MIR", "/R:3", "/W:5", "/Z"}));
    EXPECT_EQ(mirror.echo(), "*.* /S /E /DCOPY:DA /COPY:DAT /PURGE /MIR /R:3 /W:5 /Z");
    const Options plain = parsedOk(words({"s/", "d/", "*.txt"}));
    EXPECT_EQ(plain.echo(), "*.txt /DCOPY:DA /COPY:DAT /R:1 /W:1");
}
