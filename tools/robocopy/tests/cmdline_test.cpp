// The shared command-line splitting and quoting, as the copy program's callers
// use it to build and read parameter texts.
#include "windows_command_line.hpp"

#include <gtest/gtest.h>

TEST(CommandLine, SplitFollowsWindowsRules) {
    const struct {
        const char* text;
        std::vector<std::string> words;
    } cases[] = {
        {R"(C:\Daten D:\Sich\Mo *.* /E)", {R"(C:\Daten)", R"(D:\Sich\Mo)", "*.*", "/E"}},
        {R"(C:\Eigene Dateien D:\B)", {R"(C:\Eigene)", "Dateien", R"(D:\B)"}},
        {R"("C:\Eigene Dateien" D:\B)", {R"(C:\Eigene Dateien)", R"(D:\B)"}},
        {R"(D:\B\ /MIR)", {R"(D:\B\)", "/MIR"}},
        {R"("D:\B\" /MIR)", {R"(D:\B" /MIR)"}},
        {R"("D:\B\\" /MIR)", {R"(D:\B\)", "/MIR"}},
        {R"(a\\\"b c)", {R"(a\"b)", "c"}},
        {R"(/LOG:"C:\my logs\r.log")", {R"(/LOG:C:\my logs\r.log)"}},
        {R"(C:\a\\b)", {R"(C:\a\\b)"}},
        {"  a \t b  ", {"a", "b"}},
        {R"("")", {""}},
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wincmd::split(c.text), c.words) << c.text;
    }
}

TEST(CommandLine, QuoteAndJoinRoundTrip) {
    const std::vector<std::string> arguments = {
        "plain",          "with blank",        "",
        R"(trail\)",      R"(trail\\)",        R"(in"side)",
        R"(back\"quote)", "tab\there",         R"(C:\Eigene Dateien\)",
        "/LOG+:x y.log",  R"(\\server\share)",
    };
    for (const auto& argument : arguments) {
        EXPECT_EQ(wincmd::split(wincmd::quote(argument)), std::vector<std::string>{argument})
            << argument;
    }
    EXPECT_EQ(wincmd::split(wincmd::join(arguments)), arguments);
    EXPECT_EQ(wincmd::quote("simple"), "simple");
}
