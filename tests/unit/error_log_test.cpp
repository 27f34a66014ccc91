// ERRORLOG: the log file's content line by line, the names tried, the reports, and the
// settings and error block put back.
#include "tests/support/error_fixture.hpp"

#include <deque>
#include <filesystem>
#include <fstream>

namespace {

using namespace rt;
using test::ErrorSystemTest;

const std::string separator(78, '-');

std::string replaced(std::string text, const std::string& placeholder, int value) {
    const auto at = text.find(placeholder);
    return at == std::string::npos ? text
                                   : text.replace(at, placeholder.size(), std::to_string(value));
}

std::vector<std::string> splitAt(const std::string& text, const std::string& separatorText) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (;;) {
        const auto at = text.find(separatorText, from);
        if (at == std::string::npos) {
            out.push_back(text.substr(from));
            return out;
        }
        out.push_back(text.substr(from, at - from));
        from = at + separatorText.size();
    }
}

class ErrorLog : public ErrorSystemTest {
  protected:
    // Writes the log for `e` as the handler does, from within the levels the handler and
    // the standard block add, so that the listing starts above them.
    void writeLog(const ErrorRef& e) {
        Frame block{"(B)ERRORSYS@0000"};
        Frame handler{"STANDARDEH"};
        ERRORLOG(Value(e), 2);
    }

    // Writes a log and expects it to end the program.
    void writeLogExpectingTheEnd(const ErrorRef& e) {
        EXPECT_THROW(writeLog(e), QuitSignal);
        EXPECT_EQ(ERRORLEVEL(), 1);
    }

    const std::string written = "Fehlerprotokoll wurde in die Datei TVRERROR.LOG geschrieben";
};

TEST_F(ErrorLog, FileMatchesTheExpectedLines) {
    registerRootConsole();
    const auto e = record([](ErrorRecord& r) {
        r.args = Value(makeArray(
            {Value("Text mit Ümlaut"), Value(42), Value(makeError(gen::BOUND, 2, "[]")), NIL}));
        r.canDefault = true;
        r.canSubstitute = true;
        r.tries = 1;
    });
    Frame main{"MAIN"};
    const int mainLine = __LINE__ - 1;
    Frame kopieren{"KOPIEREN"};
    const int kopierenLine = __LINE__ - 1;
    writeLog(e);

    // Found from the source folder the build names: __FILE__ may be a relative path,
    // depending on how the file was compiled.
    const auto expectedFile =
        std::filesystem::path(DS_SOURCE_DIR) / "tests" / "unit" / "data" / "error_log_expected.txt";
    std::ifstream in(expectedFile, std::ios::binary);
    ASSERT_TRUE(in) << "cannot read " << expectedFile;
    std::string expected{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    expected =
        replaced(replaced(expected, "{KOPIEREN_LINE}", kopierenLine), "{MAIN_LINE}", mainLine);
    const auto expectedLines = splitAt(expected, "\n");
    const auto logLines = splitAt(readFile("TVRERROR.LOG"), "\r\n");
    ASSERT_GT(expectedLines.size(), 30u);
    for (std::size_t i = 0; i < std::max(expectedLines.size(), logLines.size()); ++i) {
        EXPECT_EQ(i < logLines.size() ? logLines[i] : "<missing>",
                  i < expectedLines.size() ? expectedLines[i] : "<none>")
            << "line " << i + 1;
    }
}

TEST_F(ErrorLog, FileStartsAndEndsWithALineEndAndHasNoStrayLineFeeds) {
    writeLog(record());
    const std::string log = readFile("TVRERROR.LOG");
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log.substr(0, 2), "\r\n");
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i] == '\n') {
            EXPECT_EQ(log[i - 1], '\r') << "at " << i;
        }
    }
}

struct ArgsCase {
    const char* name;
    Value args;
    std::vector<std::string> lines; // between the args label and canDefault
};

class ErrorLogArgs : public ErrorLog, public ::testing::WithParamInterface<ArgsCase> {};

TEST_P(ErrorLogArgs, ArgumentLines) {
    writeLog(record([](ErrorRecord& r) { r.args = GetParam().args; }));
    const auto lines = splitAt(readFile("TVRERROR.LOG"), "\r\n");
    const auto label = std::find(lines.begin(), lines.end(), "oError:args         :");
    const auto next = std::find(lines.begin(), lines.end(), "oError:canDefault   : .F.");
    ASSERT_NE(label, lines.end());
    ASSERT_NE(next, lines.end());
    EXPECT_EQ(std::vector<std::string>(label + 1, next), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Args, ErrorLogArgs,
    ::testing::Values(
        ArgsCase{"EmptyValueGivesOneNilLine", NIL, {"           -> NIL"}},
        ArgsCase{"NotAnArrayGivesOneNilLine", Value("x"), {"           -> NIL"}},
        ArgsCase{"EmptyArrayGivesNoLine", Value(makeArray()), {}},
        ArgsCase{"EveryKindOfElement",
                 Value(makeArray({Value(2.5), Value(true), Value(Date{2026, 1, 31}),
                                  Value(makeArray({Value(1), Value("a")})),
                                  Value(makeBlock("(B)X@0001",
                                                  [](const std::vector<Value>&) { return NIL; })),
                                  Value(ROOTCRT())})),
                 {"          -> VALTYPE: N VALUE: 2.5", "          -> VALTYPE: L VALUE: .T.",
                  "          -> VALTYPE: D VALUE: 31.01.2026",
                  "          -> VALTYPE: A VALUE: {1, \"a\"}",
                  "          -> VALTYPE: B VALUE: Block((B)X@0001)",
                  "          -> VALTYPE: O CLASS: RootConsole"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ErrorLog, NoRoutineAboveTheStartLevelEndsRightAfterTheSeparators) {
    writeLog(record());
    const std::string log = readFile("TVRERROR.LOG");
    const std::string end = "\r\n" + separator + "\r\nCALLSTACK:\r\n" + separator + "\r\n";
    ASSERT_GT(log.size(), end.size());
    EXPECT_EQ(log.substr(log.size() - end.size()), end);
}

TEST_F(ErrorLog, ExistingLogIsReplaced) {
    std::string old;
    for (int i = 0; i < 1000; ++i) {
        old += "ALTER INHALT\r\n";
    }
    writeFile("TVRERROR.LOG", old);
    writeLog(record());
    EXPECT_EQ(readFile("TVRERROR.LOG").find("ALTER"), std::string::npos);
}

TEST_F(ErrorLog, FolderInTheWayGivesTheNextNameAndTheNextLogStartsAgain) {
    registerRootConsole();
    std::filesystem::create_directory(folder() / "TVRERROR.LOG");
    writeLog(record());
    EXPECT_FALSE(readFile("TVRERROR.001").empty());
    EXPECT_NE(platform->console.find("Fehlerprotokoll wurde in die Datei TVRERROR.001 geschrieben"),
              std::string::npos)
        << platform->console;

    std::filesystem::remove(folder() / "TVRERROR.LOG");
    platform->createAttempts.clear();
    writeLog(record());
    EXPECT_EQ(platform->createAttempts, std::vector<std::string>{"TVRERROR.LOG"});
    EXPECT_TRUE(std::filesystem::is_regular_file(folder() / "TVRERROR.LOG"));
}

TEST_F(ErrorLog, NoNameFreeTriesAThousandNamesAndEnds) {
    registerRootConsole();
    platform->createFailures["TVRERROR.LOG"] = 5;
    for (int n = 1; n <= 999; ++n) {
        platform->createFailures["TVRERROR." + STRZERO(n, 3)] = 5;
    }
    writeLogExpectingTheEnd(record());
    ASSERT_EQ(platform->createAttempts.size(), 1000u);
    EXPECT_EQ(platform->createAttempts.front(), "TVRERROR.LOG");
    EXPECT_EQ(platform->createAttempts[1], "TVRERROR.001");
    EXPECT_EQ(platform->createAttempts.back(), "TVRERROR.999");
    EXPECT_EQ(std::count(platform->createAttempts.begin(), platform->createAttempts.end(),
                         "TVRERROR.000"),
              0);
    EXPECT_EQ(platform->console, "\r\nDatei für Fehlerprotokoll kann nicht geöffnet werden");
    EXPECT_TRUE(std::filesystem::is_empty(folder()));
    EXPECT_EQ(ERRORBLOCK().block()->name(), "(B)ERRORLOG@0001") << "nothing is put back";
}

struct ReportCase {
    const char* name;
    int appType;
    const char* window; // "root", "graphical" or "" (none)
    bool messageBox;
    bool consoleLine;
    bool errorChannel;
};

class ErrorLogReport : public ErrorLog, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(ErrorLogReport, Channels) {
    const ReportCase& c = GetParam();
    platform->applicationType = c.appType;
    if (std::string(c.window) == "root") {
        registerRootConsole();
    } else if (std::string(c.window) == "graphical") {
        SETAPPWINDOW(XBPCRT().object()->send("New", {}));
    }
    writeLog(record());
    const auto boxes = platform->dialogsOf("msgbox");
    EXPECT_EQ(boxes.size(), c.messageBox ? 1u : 0u);
    if (c.messageBox) {
        EXPECT_EQ(boxes[0].text, written);
        EXPECT_TRUE(platform->toneCalls.empty());
    } else {
        EXPECT_EQ(platform->toneCalls, (std::vector<std::pair<int, int>>{{660, 5}}));
    }
    const bool onConsole = platform->console.find("\r\n" + written) != std::string::npos;
    EXPECT_EQ(onConsole, c.consoleLine);
    EXPECT_EQ(platform->stdErr, c.errorChannel ? "\n\r" + written : "");
    // The log lines show in the window only while the console switch is on.
    EXPECT_EQ(platform->console.find("CALLSTACK:") != std::string::npos, c.consoleLine);
    EXPECT_EQ(readFile("TVRERROR.LOG").find(written), std::string::npos)
        << "the report does not go into the log";
}

INSTANTIATE_TEST_SUITE_P(
    Applications, ErrorLogReport,
    ::testing::Values(ReportCase{"TextConsoleWithRootConsole", 2, "root", false, true, false},
                      ReportCase{"TextConsoleWithoutWindow", 2, "", false, false, true},
                      ReportCase{"TextConsoleWithGraphicalWindow", 1, "graphical", false, false,
                                 true},
                      ReportCase{"Graphical", 3, "graphical", true, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ErrorLog, SettingsAndErrorBlockArePutBack) {
    SET(setting::ALTFILE, Value("EIGENE.TXT"), Value(false));
    SET(setting::ALTERNATE, Value("ON"));
    SET(setting::CONSOLE, Value("OFF"));
    SET(setting::PRINTER, Value("ON"));
    SET(setting::EXTRA, Value(true));
    QQOUT({Value("vorher")});
    const Value block(makeBlock("(B)TEST@0001", [](const std::vector<Value>&) { return NIL; }));
    ERRORBLOCK(block);

    writeLog(record());

    EXPECT_TRUE(exactlyEqual(ERRORBLOCK(), block));
    EXPECT_TRUE(exactlyEqual(SET(setting::ALTFILE), Value("EIGENE.TXT")));
    EXPECT_TRUE(exactlyEqual(SET(setting::ALTERNATE), Value("ON")));
    EXPECT_TRUE(exactlyEqual(SET(setting::CONSOLE), Value("OFF")));
    EXPECT_TRUE(exactlyEqual(SET(setting::PRINTER), Value("ON")));
    EXPECT_TRUE(exactlyEqual(SET(setting::EXTRA), Value(true)));
    // The program's own alternate file is open again, with its content kept.
    QQOUT({Value("nachher")});
    SET(setting::ALTFILE, Value(""));
    EXPECT_EQ(readFile("EIGENE.TXT"), "vorhernachher");
}

struct SettingsCase {
    const char* name;
    bool rootConsole;
    std::vector<std::string> calls; // "number value [third argument]" of each change
};

class ErrorLogSettings : public ErrorLog, public ::testing::WithParamInterface<SettingsCase> {};

// The settings are changed in a fixed order, and put back one by one with the values they
// had on entry; the file name is given back without a third argument.
TEST_P(ErrorLogSettings, AreChangedAndPutBackInOrder) {
    if (GetParam().rootConsole) {
        registerRootConsole();
    }
    SET(setting::ALTFILE, Value("EIGENE.TXT"), Value(false));
    SET(setting::ALTERNATE, Value("ON"));
    SET(setting::CONSOLE, Value("OFF"));
    SET(setting::PRINTER, Value("ON"));
    SET(setting::EXTRA, Value(true));
    std::vector<std::string> calls;
    setSettingObserver([&](int number, const Value& value, const std::optional<Value>& additive) {
        calls.push_back(std::to_string(number) + " " + VAR2CHAR(value) +
                        (additive ? " " + VAR2CHAR(*additive) : ""));
    });

    writeLog(record());
    setSettingObserver(nullptr);

    EXPECT_EQ(calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ErrorLogSettings,
    ::testing::Values(
        SettingsCase{"RootConsoleKeepsTheConsoleOn",
                     true,
                     {"21 .F.", "23 OFF", "17 ON", "19 TVRERROR.LOG .F.", "18 ON", "19 ", "18 OFF",
                      "23 ON", "17 OFF", "19 EIGENE.TXT", "18 ON", "21 .T."}},
        SettingsCase{"WithoutAWindowTheConsoleGoesOff",
                     false,
                     {"21 .F.", "23 OFF", "17 ON", "17 OFF", "19 TVRERROR.LOG .F.", "18 ON", "19 ",
                      "18 OFF", "23 ON", "17 OFF", "19 EIGENE.TXT", "18 ON", "21 .T."}}),
    [](const auto& info) { return std::string(info.param.name); });

struct HandlerPath {
    const char* name;
    int appType;
    bool rootConsole;
    std::deque<int> alertAnswers;
    std::deque<int> confirmAnswers;
};

class ErrorLogFromTheHandler : public ErrorLog,
                               public ::testing::WithParamInterface<HandlerPath> {};

// A job text without line ends under the installed error system. Whichever way the handler
// comes to write the log, the listing starts with the procedure in which the error arose
// (neither the log writer, the handler nor the standard block shows), and the arguments
// are those of the join that failed.
TEST_P(ErrorLogFromTheHandler, ListsTheProceduresActiveWhenTheErrorArose) {
    const HandlerPath& c = GetParam();
    platform->applicationType = c.appType;
    if (c.rootConsole) {
        registerRootConsole();
    }
    platform->alertAnswers = c.alertAnswers;
    platform->confirmAnswers = c.confirmAnswers;
    ERRORSYS();
    Frame main{"MAIN"};
    const int callLine = __LINE__ + 1;
    EXPECT_THROW(KOPIEREN(Value("no line end")), QuitSignal);
    EXPECT_EQ(ERRORLEVEL(), 1);

    const auto lines = splitAt(readFile("TVRERROR.LOG"), "\r\n");
    const auto args = std::find(lines.begin(), lines.end(), "oError:args         :");
    ASSERT_LE(args + 3, lines.end());
    EXPECT_EQ(std::vector<std::string>(args + 1, args + 4),
              (std::vector<std::string>{"          -> VALTYPE: U VALUE: NIL",
                                        "          -> VALTYPE: C VALUE: \\",
                                        "oError:canDefault   : .F."}));
    const auto stack = std::find(lines.begin(), lines.end(), "CALLSTACK:");
    ASSERT_LE(stack + 2, lines.end());
    const std::vector<std::string> listed(stack + 2, lines.end());
    ASSERT_EQ(listed.size(), 3u) << testing::PrintToString(listed);
    EXPECT_EQ(listed[0].rfind("Aufgerufen von KOPIEREN(", 0), 0u) << listed[0];
    EXPECT_EQ(listed[1], "Aufgerufen von MAIN(" + std::to_string(callLine) + ")");
    EXPECT_EQ(listed[2], "") << "the final line end";
}

INSTANTIATE_TEST_SUITE_P(Paths, ErrorLogFromTheHandler,
                         ::testing::Values(HandlerPath{"ConsoleWithoutWindow", 2, false, {}, {}},
                                           HandlerPath{"ConsoleEndWithLog", 2, true, {2}, {}},
                                           HandlerPath{"MessageBoxOk", 3, false, {}, {1}}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
