// STANDARDEH: the immediate answers, the database session, the console dialog and the
// message box with every outcome, and the bound on nested handling.
#include "tests/support/error_fixture.hpp"

#include <deque>
#include <optional>

namespace {

using namespace rt;
using test::ErrorSystemTest;

const std::vector<std::string> A_E{"Abbrechen", "Ende mit LOG-Datei"};
const std::vector<std::string> A_E_W{"Abbrechen", "Ende mit LOG-Datei", "Wiederholen"};
const std::vector<std::string> A_E_I{"Abbrechen", "Ende mit LOG-Datei", "Ignorieren"};
const std::vector<std::string> A_E_W_I{"Abbrechen", "Ende mit LOG-Datei", "Wiederholen",
                                       "Ignorieren"};

enum class Kind { Returns, Breaks, LogsAndEnds, EndsWithoutLog };

struct Outcome {
    Kind kind;
    Value value;
};

class Handler : public ErrorSystemTest {
  protected:
    Outcome handle(const ErrorRef& e) {
        try {
            return {Kind::Returns, STANDARDEH(Value(e))};
        } catch (const BreakSignal& signal) {
            EXPECT_TRUE(signal.value.isObject() && signal.value.object() == e)
                << "the break carries the error record";
            return {Kind::Breaks, NIL};
        } catch (const QuitSignal&) {
            EXPECT_EQ(ERRORLEVEL(), 1);
            return {std::filesystem::exists(folder() / "TVRERROR.LOG") ? Kind::LogsAndEnds
                                                                       : Kind::EndsWithoutLog,
                    NIL};
        }
    }

    static void expectValue(const Outcome& outcome, const Value& expected) {
        ASSERT_EQ(outcome.kind, Kind::Returns);
        EXPECT_TRUE(exactlyEqual(outcome.value, expected)) << VAR2CHAR(outcome.value);
    }
};

// --- immediate answers ---------------------------------------------------------------

struct Immediate {
    const char* name;
    std::function<void(ErrorRecord&)> change;
    std::optional<Value> answer; // none: the dialog follows
};

class ImmediateAnswer : public Handler, public ::testing::WithParamInterface<Immediate> {};

TEST_P(ImmediateAnswer, AnswersOrAsks) {
    registerRootConsole();
    auto session = std::make_shared<test::SessionDouble>();
    auto sessionClass = test::registerSessionClass(session);
    platform->alertAnswers = {1};
    const auto e = record(GetParam().change);
    const Outcome outcome = handle(e);
    if (GetParam().answer) {
        expectValue(outcome, *GetParam().answer);
        EXPECT_TRUE(platform->dialogs.empty());
        EXPECT_EQ(sessionClass->defaultQueries, 0) << "no session is examined";
    } else {
        EXPECT_EQ(outcome.kind, Kind::Breaks);
        EXPECT_EQ(platform->dialogsOf("alert").size(), 1u);
    }
}

ErrorRecord& with(ErrorRecord& r, int genCode, const char* operation, Value args) {
    r.genCode = genCode;
    r.operation = operation;
    r.args = std::move(args);
    return r;
}

Value pair(Value a, Value b) {
    return Value(makeArray({std::move(a), std::move(b)}));
}

INSTANTIATE_TEST_SUITE_P(
    Records, ImmediateAnswer,
    ::testing::Values(
        Immediate{"OverflowWhateverElse",
                  [](ErrorRecord& r) {
                      with(r, 11, "+", NIL);
                      r.canRetry = true;
                      r.osCode = 5;
                  },
                  Value(0)},
        Immediate{"DivisionByZero", [](ErrorRecord& r) { with(r, 12, "/", pair(10, 0)); },
                  Value(0)},
        Immediate{"ModulusByZero", [](ErrorRecord& r) { with(r, 12, "%", pair(7, 0)); }, Value(0)},
        Immediate{"SlashInsideALongerOperation",
                  [](ErrorRecord& r) { with(r, 12, "a/b", pair(1, 0)); }, Value(0)},
        Immediate{"DivisorNotZero", [](ErrorRecord& r) { with(r, 12, "/", pair(10, 5)); },
                  std::nullopt},
        Immediate{"NeitherSlashNorPercent", [](ErrorRecord& r) { with(r, 12, "*", pair(10, 0)); },
                  std::nullopt},
        Immediate{"DivisorAText", [](ErrorRecord& r) { with(r, 12, "/", pair(10, "0")); },
                  std::nullopt},
        Immediate{"ArgsEmptyValue", [](ErrorRecord& r) { with(r, 12, "/", NIL); }, std::nullopt},
        Immediate{"ArgsEmptyArray", [](ErrorRecord& r) { with(r, 12, "%", Value(makeArray())); },
                  std::nullopt},
        Immediate{"ArgsNotAnArray", [](ErrorRecord& r) { with(r, 12, "/", Value(0)); },
                  std::nullopt},
        Immediate{"SharingViolationWithDefault",
                  [](ErrorRecord& r) {
                      r.genCode = 71;
                      r.osCode = 32;
                      r.canDefault = true;
                  },
                  Value(false)},
        Immediate{"SharingOtherOsCode",
                  [](ErrorRecord& r) {
                      r.genCode = 71;
                      r.osCode = 5;
                      r.canDefault = true;
                  },
                  std::nullopt},
        Immediate{"SharingWithoutDefault",
                  [](ErrorRecord& r) {
                      r.genCode = 71;
                      r.osCode = 32;
                  },
                  std::nullopt},
        Immediate{"LockWithDefault",
                  [](ErrorRecord& r) {
                      r.genCode = 78;
                      r.canDefault = true;
                  },
                  Value(false)},
        Immediate{"LockWithoutDefault", [](ErrorRecord& r) { r.genCode = 78; }, std::nullopt},
        Immediate{"ArgumentError", [](ErrorRecord&) {}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// The four codes raised by real runtime conditions reach the standard block and are
// answered without a dialog.
TEST_F(Handler, RealConditionsAreAnsweredThroughTheStandardBlock) {
    registerRootConsole();
    ERRORSYS();
    EXPECT_TRUE(exactlyEqual(Value(10) / Value(0), Value(0)));
    EXPECT_TRUE(exactlyEqual(Value(7) % Value(0), Value(0)));
    EXPECT_TRUE(exactlyEqual(Value(1e308) * Value(10), Value(0)));
    platform->createFailures["IN_USE.TXT"] = 32;
    platform->createFailures["LOCKED.TXT"] = 33;
    SET(setting::ALTFILE, Value("IN_USE.TXT"), Value(false));
    SET(setting::ALTFILE, Value("LOCKED.TXT"), Value(false));
    EXPECT_TRUE(platform->dialogs.empty());
    EXPECT_FALSE(std::filesystem::exists(folder() / "TVRERROR.LOG"));
}

// An error in a start-up procedure after ERRORSYS reaches the handler; a break with no
// guarded sequence ends the procedure the start routine called: a break during a job
// ends MAIN and the jobs after it, and the exit procedure still runs, exit code 0.
TEST_F(Handler, BreakEndsTheStartSlotAndTheExitProcedureStillRuns) {
    registerRootConsole();
    platform->alertAnswers = {1, 1};
    std::vector<std::string> ran;
    StartRecord startRecord;
    startRecord.startup = {ERRORSYS,
                           [&] {
                               Frame frame{"DBESYS"};
                               ran.push_back("DBESYS");
                               NIL + Value("x");
                               ran.push_back("rest of DBESYS");
                           },
                           [&] { ran.push_back("APPSYS"); }};
    startRecord.main = [&] {
        Frame frame{"MAIN"};
        KOPIEREN(Value("quelle ziel *.* /E"));
        ran.push_back("next job");
    };
    startRecord.exit = [&] { ran.push_back("APPEXIT"); };
    EXPECT_EQ(start(startRecord), 0);
    EXPECT_EQ(ran, (std::vector<std::string>{"DBESYS", "APPSYS", "APPEXIT"}));
    EXPECT_EQ(platform->dialogsOf("alert").size(), 2u);
    EXPECT_TRUE(platform->dialogsOf("confirm").empty()) << "no job is confirmed";
}

// --- database session ------------------------------------------------------------------

struct SessionCase {
    const char* name;
    bool setInRuntime;    // DBSESSION gives the session
    bool classKnown;      // "DacSession" is registered
    bool classHasDefault; // its getDefault gives the session
    double lastError;
    bool cargoChanged;
};

class DatabaseSession : public Handler, public ::testing::WithParamInterface<SessionCase> {};

TEST_P(DatabaseSession, PutsItsErrorIntoCargo) {
    const SessionCase& c = GetParam();
    registerRootConsole();
    platform->alertAnswers = {1};
    auto session = std::make_shared<test::SessionDouble>();
    session->lastError = c.lastError;
    session->lastMessage = "Verbindung verloren";
    if (c.setInRuntime) {
        setDbSession(Value(session));
    }
    std::shared_ptr<test::SessionClassDouble> sessionClass;
    if (c.classKnown) {
        sessionClass = test::registerSessionClass(c.classHasDefault ? session : nullptr);
    }
    EXPECT_EQ(ISFUNCTION("DacSession", 67), c.classKnown);

    const auto e = record([](ErrorRecord& r) { r.cargo = "vorher"; });
    handle(e);
    if (c.cargoChanged) {
        ASSERT_TRUE(e->cargo.isArray());
        EXPECT_EQ(VAR2CHAR(e->cargo), "{\"vorher\", 17, \"Verbindung verloren\"}");
        EXPECT_EQ(session->errorQueries, 2);
        EXPECT_EQ(session->messageQueries, 1);
        ASSERT_EQ(platform->dialogs.size(), 1u);
        const std::string& text = platform->dialogs[0].text;
        EXPECT_EQ(text.substr(text.size() - 21), ";Verbindung verloren;");
    } else {
        EXPECT_TRUE(exactlyEqual(e->cargo, Value("vorher")));
        EXPECT_EQ(session->messageQueries, 0);
    }
    if (sessionClass) {
        EXPECT_EQ(sessionClass->defaultQueries, c.setInRuntime ? 0 : 1)
            << "the class is asked only without a session in the runtime";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, DatabaseSession,
    ::testing::Values(SessionCase{"NoneAnywhere", false, false, false, 17, false},
                      SessionCase{"RuntimeSessionWithError", true, false, false, 17, true},
                      SessionCase{"RuntimeSessionWithoutError", true, false, false, 0, false},
                      SessionCase{"RuntimeSessionWinsOverClass", true, true, true, 17, true},
                      SessionCase{"ClassDefaultWithError", false, true, true, 17, true},
                      SessionCase{"ClassDefaultWithoutError", false, true, true, 0, false},
                      SessionCase{"ClassWithoutDefault", false, true, false, 17, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct LastErrorCase {
    const char* name;
    Value answer; // what getLastError gives
    bool attached;
};

class SessionLastError : public Handler, public ::testing::WithParamInterface<LastErrorCase> {};

// Only the number 0 means "no pending error"; any other answer attaches the session array.
TEST_P(SessionLastError, AnyAnswerButTheNumberZeroIsAnError) {
    registerRootConsole();
    platform->alertAnswers = {1};
    auto session = std::make_shared<test::SessionDouble>();
    const Value answer = GetParam().answer;
    session->onLastError = [answer] { return answer; };
    session->lastMessage = "M";
    setDbSession(Value(session));

    const auto e = record([](ErrorRecord& r) { r.cargo = "vorher"; });
    EXPECT_EQ(handle(e).kind, Kind::Breaks);
    if (GetParam().attached) {
        ASSERT_TRUE(e->cargo.isArray());
        ASSERT_EQ(e->cargo.array()->size(), 3u);
        EXPECT_TRUE(exactlyEqual(element(e->cargo, 1), Value("vorher")));
        EXPECT_TRUE(exactlyEqual(element(e->cargo, 2), answer));
        EXPECT_TRUE(exactlyEqual(element(e->cargo, 3), Value("M")));
        EXPECT_EQ(session->errorQueries, 2);
    } else {
        EXPECT_TRUE(exactlyEqual(e->cargo, Value("vorher")));
        EXPECT_EQ(session->errorQueries, 1);
        EXPECT_EQ(session->messageQueries, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, SessionLastError,
                         ::testing::Values(LastErrorCase{"NumberZero", Value(0), false},
                                           LastErrorCase{"NumberSeventeen", Value(17), true},
                                           LastErrorCase{"NegativeNumber", Value(-1), true},
                                           LastErrorCase{"EmptyValue", NIL, true},
                                           LastErrorCase{"TextZero", Value("0"), true},
                                           LastErrorCase{"EmptyText", Value(""), true},
                                           LastErrorCase{"LogicalFalse", Value(false), true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct NoSessionObject {
    const char* name;
    std::function<void()> arrange;
};

class SessionNotAnObject : public Handler, public ::testing::WithParamInterface<NoSessionObject> {};

// Something other than an object where a session is looked for cannot be asked: it is
// passed over, and the dialog follows as without a session.
TEST_P(SessionNotAnObject, IsPassedOver) {
    registerRootConsole();
    platform->alertAnswers = {1};
    GetParam().arrange();
    const auto e = record([](ErrorRecord& r) { r.cargo = "vorher"; });
    EXPECT_EQ(handle(e).kind, Kind::Breaks);
    EXPECT_TRUE(exactlyEqual(e->cargo, Value("vorher")));
    EXPECT_EQ(platform->dialogsOf("alert").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SessionNotAnObject,
    ::testing::Values(NoSessionObject{"RuntimeSessionIsANumber", [] { setDbSession(Value(5)); }},
                      NoSessionObject{"DacSessionGivesAText",
                                      [] { registerClass("DacSession", Value("Klasse")); }},
                      NoSessionObject{"DefaultSessionIsAText",
                                      [] {
                                          auto cls = test::registerSessionClass(nullptr);
                                          cls->defaultSession = Value("Sitzung");
                                      }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Handler, SessionArrayTextIsFollowedByTheOperatingSystemLines) {
    registerRootConsole();
    platform->alertAnswers = {1};
    auto session = std::make_shared<test::SessionDouble>();
    session->lastError = 17;
    session->lastMessage = "M";
    setDbSession(Value(session));
    handle(record([](ErrorRecord& r) { r.osCode = 32; }));
    ASSERT_EQ(platform->dialogs.size(), 1u);
    EXPECT_EQ(platform->dialogs[0].text,
              "Fehler BASE/1;Beschreibung : Argumentfehler;Operation : +;Thread ID : 1;M;"
              ";Betriebsystem Fehler : 32;OS-Fehler 32");
}

// --- console dialog --------------------------------------------------------------------

struct ConsoleCase {
    const char* name;
    bool canDefault;
    bool canRetry;
    std::vector<std::string> options;
    int choice;
    Kind kind;
    Value value;
};

class ConsoleDialog : public Handler, public ::testing::WithParamInterface<ConsoleCase> {};

TEST_P(ConsoleDialog, OptionsAndAnswers) {
    const ConsoleCase& c = GetParam();
    registerRootConsole();
    platform->alertAnswers = {c.choice};
    const Outcome outcome = handle(record([&](ErrorRecord& r) {
        r.canDefault = c.canDefault;
        r.canRetry = c.canRetry;
    }));
    ASSERT_EQ(platform->dialogsOf("alert").size(), 1u);
    const test::Dialog alert = platform->dialogsOf("alert")[0];
    EXPECT_EQ(alert.options, c.options);
    EXPECT_EQ(alert.text, "Fehler BASE/1;Beschreibung : Argumentfehler;Operation : +;Thread ID : 1")
        << "no call stack on the console";
    EXPECT_EQ(outcome.kind, c.kind);
    if (c.kind == Kind::Returns) {
        EXPECT_TRUE(exactlyEqual(outcome.value, c.value));
    }
    EXPECT_TRUE(platform->dialogsOf("confirm").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Flags, ConsoleDialog,
    ::testing::Values(
        ConsoleCase{"BothCancel", true, true, A_E_W_I, 1, Kind::Breaks, NIL},
        ConsoleCase{"BothEndWithLog", true, true, A_E_W_I, 2, Kind::LogsAndEnds, NIL},
        ConsoleCase{"BothRetry", true, true, A_E_W_I, 3, Kind::Returns, Value(true)},
        ConsoleCase{"BothIgnore", true, true, A_E_W_I, 4, Kind::Returns, Value(false)},
        ConsoleCase{"RetryOnlyCancel", false, true, A_E_W, 1, Kind::Breaks, NIL},
        ConsoleCase{"RetryOnlyEndWithLog", false, true, A_E_W, 2, Kind::LogsAndEnds, NIL},
        ConsoleCase{"RetryOnlyRetry", false, true, A_E_W, 3, Kind::Returns, Value(true)},
        ConsoleCase{"DefaultOnlyCancel", true, false, A_E_I, 1, Kind::Breaks, NIL},
        ConsoleCase{"DefaultOnlyEndWithLog", true, false, A_E_I, 2, Kind::LogsAndEnds, NIL},
        ConsoleCase{"DefaultOnlyIgnore", true, false, A_E_I, 3, Kind::Returns, Value(false)},
        ConsoleCase{"NeitherCancel", false, false, A_E, 1, Kind::Breaks, NIL},
        ConsoleCase{"NeitherEndWithLog", false, false, A_E, 2, Kind::LogsAndEnds, NIL}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Handler, ConsoleWithoutWindowLogsAndEndsWithoutAsking) {
    EXPECT_EQ(handle(record()).kind, Kind::LogsAndEnds);
    EXPECT_TRUE(platform->dialogs.empty());
}

TEST_F(Handler, ClosedDialogIsShownAgain) {
    registerRootConsole();
    platform->alertAnswers = {0, 0, 2};
    EXPECT_EQ(handle(record()).kind, Kind::LogsAndEnds);
    EXPECT_EQ(platform->dialogsOf("alert").size(), 3u);
}

TEST_F(Handler, DialogThatCanNeverBeAnsweredLogsAndEnds) {
    registerRootConsole();
    // No answers queued: the scripted input has ended.
    EXPECT_EQ(handle(record()).kind, Kind::LogsAndEnds);
    EXPECT_EQ(platform->dialogsOf("alert").size(), 1u);
}

struct OsCodeCase {
    const char* name;
    Value osCode;
    std::string lines; // what follows the thread line
};

class OperatingSystemLines : public Handler, public ::testing::WithParamInterface<OsCodeCase> {};

// Only a code that is not empty adds the lines; a number is shown as decimal digits, any
// other value in its one text form (and the system has no message for it).
TEST_P(OperatingSystemLines, FollowTheThreadLine) {
    registerRootConsole();
    platform->alertAnswers = {1};
    handle(record([](ErrorRecord& r) { r.osCode = GetParam().osCode; }));
    const auto alerts = platform->dialogsOf("alert");
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].text, "Fehler BASE/1;Beschreibung : Argumentfehler;Operation : +;"
                              "Thread ID : 1" +
                                  GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, OperatingSystemLines,
    ::testing::Values(OsCodeCase{"Number", Value(32), ";Betriebsystem Fehler : 32;OS-Fehler 32"},
                      OsCodeCase{"Zero", Value(0), ""}, OsCodeCase{"EmptyValue", NIL, ""},
                      OsCodeCase{"EmptyText", Value(""), ""},
                      OsCodeCase{"Text", Value("E_FAIL"), ";Betriebsystem Fehler : E_FAIL;"},
                      OsCodeCase{"Logical", Value(true), ";Betriebsystem Fehler : .T.;"},
                      OsCodeCase{"Fraction", Value(2.5),
                                 ";Betriebsystem Fehler : " + LTRIM(STR(2.5)) + ";"},
                      OsCodeCase{"BeyondEveryCode", Value(1e20),
                                 ";Betriebsystem Fehler : " + LTRIM(STR(1e20)) + ";"}),
    [](const auto& info) { return std::string(info.param.name); });

// A platform whose dialog moves the cursor, as a dialog drawn on the console does.
class CursorMovingPlatform : public test::ScriptedPlatform {
  public:
    int alert(const std::string& text, const std::vector<std::string>& options,
              bool* noAnswerPossible) override {
        setCursor(24, 0);
        return ScriptedPlatform::alert(text, options, noAnswerPossible);
    }
};

TEST_F(Handler, CursorIsPutBackAfterTheDialog) {
    auto moving = std::make_shared<CursorMovingPlatform>();
    moving->alertAnswers = {3};
    setPlatform(moving);
    registerRootConsole();
    SETPOS(5, 12);
    EXPECT_EQ(handle(record([](ErrorRecord& r) { r.canRetry = true; })).kind, Kind::Returns);
    EXPECT_EQ(ROW(), 5);
    EXPECT_EQ(COL(), 12);
}

// --- message box -----------------------------------------------------------------------

struct BoxCase {
    const char* name;
    bool canDefault;
    bool canRetry;
    int buttons;
    std::deque<int> answers;
    Kind kind;
    Value value;
};

class MessageBox : public Handler, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(MessageBox, ButtonsAndAnswers) {
    const BoxCase& c = GetParam();
    platform->applicationType = 3;
    platform->confirmAnswers = c.answers;
    const Outcome outcome = handle(record([&](ErrorRecord& r) {
        r.canDefault = c.canDefault;
        r.canRetry = c.canRetry;
    }));
    const auto boxes = platform->dialogsOf("confirm");
    ASSERT_EQ(boxes.size(), c.answers.size());
    EXPECT_EQ(boxes[0].buttons, c.buttons);
    EXPECT_EQ(boxes[0].title, "Telvaro Fehlermeldung");
    EXPECT_FALSE(boxes[0].ownedByDesktop);
    EXPECT_EQ(boxes[0].style, 16 + 131072);
    if (boxes.size() == 2) {
        EXPECT_EQ(boxes[1].text, "Ende mit LOG-Datei");
        EXPECT_EQ(boxes[1].title, "Telvaro Fehlermeldung");
        EXPECT_EQ(boxes[1].buttons, 4);
        EXPECT_EQ(boxes[1].style, 131120);
    }
    EXPECT_EQ(outcome.kind, c.kind);
    if (c.kind == Kind::Returns) {
        EXPECT_TRUE(exactlyEqual(outcome.value, c.value));
    }
    EXPECT_TRUE(platform->dialogsOf("alert").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Flags, MessageBox,
    ::testing::Values(
        BoxCase{"BothRetry", true, true, 2, {4}, Kind::Returns, Value(true)},
        BoxCase{"BothIgnore", true, true, 2, {5}, Kind::Returns, Value(false)},
        BoxCase{"BothAbort", true, true, 2, {3}, Kind::LogsAndEnds, NIL},
        BoxCase{"RetryOnlyRetry", false, true, 5, {4}, Kind::Returns, Value(true)},
        BoxCase{"RetryOnlyCancelThenYes", false, true, 5, {2, 6}, Kind::LogsAndEnds, NIL},
        BoxCase{"RetryOnlyCancelThenNo", false, true, 5, {2, 7}, Kind::Breaks, NIL},
        BoxCase{"DefaultOnlyOk", true, false, 1, {1}, Kind::LogsAndEnds, NIL},
        BoxCase{"DefaultOnlyCancelThenNo", true, false, 1, {2, 7}, Kind::Breaks, NIL},
        BoxCase{"DefaultOnlyCancelThenYes", true, false, 1, {2, 6}, Kind::LogsAndEnds, NIL},
        BoxCase{"NeitherOk", false, false, 0, {1}, Kind::LogsAndEnds, NIL}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Handler, MessageBoxStyleFollowsSeverity) {
    platform->applicationType = 3;
    const std::pair<int, int> cases[] = {{0, 64}, {1, 48}, {2, 16}, {3, 16}, {4, 64}, {-1, 64}};
    for (const auto& [severity, icon] : cases) {
        platform->confirmAnswers = {2, 7};
        handle(record([severity = severity](ErrorRecord& r) { r.severity = severity; }));
        EXPECT_EQ(platform->dialogs.at(platform->dialogs.size() - 2).style, icon + 131072)
            << "severity " << severity;
    }
}

TEST_F(Handler, MessageBoxTextHasTheCallStackAndCarriageReturns) {
    platform->applicationType = 3;
    platform->confirmAnswers = {2, 7};
    ERRORSYS();
    Frame main{"MAIN"};
    const int mainLine = __LINE__ - 1;
    Frame kopieren{"KOPIEREN"};
    const int kopierenLine = __LINE__ - 1;
    EXPECT_THROW(NIL + Value("\\202611"), BreakSignal);
    const auto boxes = platform->dialogsOf("confirm");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Fehler BASE/1\rBeschreibung : Argumentfehler\rOperation : +\r"
                             "Thread ID : 1\rAufgerufen von KOPIEREN(" +
                                 std::to_string(kopierenLine) + ")\rAufgerufen von MAIN(" +
                                 std::to_string(mainLine) + ")");
}

// An error the operating system reported, under the message box: its lines come before
// the call stack.
TEST_F(Handler, MessageBoxTextHasTheOperatingSystemLinesBeforeTheCallStack) {
    platform->applicationType = 3;
    platform->confirmAnswers = {mb::IDIGNORE};
    platform->createFailures["GESPERRT.TXT"] = 5;
    ERRORSYS();
    Frame main{"MAIN"};
    const int setLine = __LINE__ + 1;
    SET(setting::ALTFILE, Value("GESPERRT.TXT"), Value(false));
    const auto boxes = platform->dialogsOf("confirm");
    ASSERT_EQ(boxes.size(), 1u);
    const std::string tail = "\rBetriebsystem Fehler : 5\rOS-Fehler 5\rAufgerufen von MAIN(" +
                             std::to_string(setLine) + ")";
    ASSERT_GE(boxes[0].text.size(), tail.size());
    EXPECT_EQ(boxes[0].text.substr(boxes[0].text.size() - tail.size()), tail) << boxes[0].text;
}

// --- errors while the handler runs ----------------------------------------------------------

TEST_F(Handler, NestedErrorsEndWithTheLogOfTheInnermostRecord) {
    registerRootConsole();
    ERRORSYS();
    // Every look at the session raises an error of its own, which is handled by the
    // handler again, which looks at the session again ...
    auto session = std::make_shared<test::SessionDouble>();
    int raised = 0;
    session->onLastError = [&raised] {
        ++raised;
        auto inner = makeError(gen::ARGUMENT, 1, "getLastError " + std::to_string(raised));
        return raise(inner).value;
    };
    setDbSession(Value(session));
    EXPECT_THROW(NIL + Value("x"), QuitSignal);
    EXPECT_EQ(ERRORLEVEL(), 1);
    EXPECT_EQ(raised, MAX_HANDLER_NESTING);
    EXPECT_TRUE(platform->dialogs.empty());
    const std::string log = readFile("TVRERROR.LOG");
    EXPECT_NE(log.find("oError:operation    : getLastError 3\r\n"), std::string::npos) << log;
}

// A platform whose operating-system name cannot be read: every error log fails while it
// is written, and the failure goes to the handler again.
class FailingSystemNamePlatform : public test::ScriptedPlatform {
  public:
    std::string osName() override {
        auto error = makeError(gen::ARGUMENT, 1, "OS");
        raise(error);
        return "";
    }
};

TEST_F(Handler, ErrorWhileWritingEveryLogStillEnds) {
    auto failing = std::make_shared<FailingSystemNamePlatform>();
    failing->alertAnswers = {2, 2, 2, 2, 2, 2, 2, 2};
    setPlatform(failing);
    registerRootConsole();
    ERRORSYS();
    EXPECT_THROW(NIL + Value("x"), QuitSignal);
    EXPECT_EQ(ERRORLEVEL(), 1);
    EXPECT_EQ(failing->dialogsOf("alert").size(), static_cast<std::size_t>(MAX_HANDLER_NESTING));
}

// The error while the log is written is asked about as well; "Abbrechen" breaks out of the
// log writer and the handler before the exit code is set: MAIN ends, the exit procedure
// runs, the exit code stays 0, and the log keeps what was written before the error.
TEST_F(Handler, BreakOutOfAFailingLogEndsMainWithExitCodeZero) {
    auto failing = std::make_shared<FailingSystemNamePlatform>();
    failing->alertAnswers = {2, 1};
    setPlatform(failing);
    registerRootConsole();
    std::vector<std::string> ran;
    StartRecord startRecord;
    startRecord.startup = {ERRORSYS};
    startRecord.main = [&] {
        Frame frame{"MAIN"};
        NIL + Value("x");
        ran.push_back("rest of MAIN");
    };
    startRecord.exit = [&] { ran.push_back("APPEXIT"); };

    EXPECT_EQ(start(startRecord), 0);

    EXPECT_EQ(ran, std::vector<std::string>{"APPEXIT"});
    EXPECT_EQ(failing->dialogsOf("alert").size(), 2u);
    const std::string log = readFile("TVRERROR.LOG");
    EXPECT_NE(log.find("Telvaro Version"), std::string::npos) << log;
    EXPECT_EQ(log.find("Betriebssystem"), std::string::npos) << "the log ends where it failed";
}

} // namespace
