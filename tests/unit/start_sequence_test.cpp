// The process entry and the runtime's start routine.
#include "app/entry.hpp"
#include "tests/support/program_fixture.hpp"

namespace {

using test::ProgramTest;

class StartSequence : public ProgramTest {};

long version22020095() {
    return 22020095;
}
long version22020096() {
    return 22020096;
}
long version22020096WithBuild() {
    return 22020096 + 0xFF;
}
long version1dot40() {
    return 0x01400046;
}

TEST_F(StartSequence, TooOldARuntimeEndsWith999AndRunsNothing) {
    writeFile("datensicherung.txt", "Q\r\nR\r\n*.*\r\n\r\n");
    for (const VersionQuery query : {version22020095, version1dot40}) {
        EXPECT_EQ(entry(query), 999);
    }
    EXPECT_TRUE(platform->dialogs.empty());
    EXPECT_TRUE(platform->shellCalls.empty());
}

TEST_F(StartSequence, ASufficientRuntimeStartsTheProgram) {
    for (const VersionQuery query : {version22020096, version22020096WithBuild}) {
        platform->dialogs.clear();
        EXPECT_EQ(entry(query), 0);
        // No job file here: MAIN ran and refused.
        ASSERT_EQ(platform->dialogs.size(), 1u);
        EXPECT_EQ(platform->dialogs[0].kind, "msgbox");
    }
}

// A start record of procedures that write down when they run.
struct Recorder {
    std::vector<std::string> calls;
    rt::Procedure note(std::string name, std::function<void()> then = {}) {
        return [this, name, then] {
            calls.push_back(name);
            if (then) {
                then();
            }
        };
    }
    rt::StartRecord record(std::function<void()> inMain = {}, std::function<void()> inFirst = {}) {
        rt::StartRecord r;
        r.modules = {{"m", [this] { calls.push_back("constants"); }, {}}};
        r.registerExit = [this] { rt::setExitProcedure(note("exit")); };
        r.startup = {note("first", inFirst), note("second"), note("third")};
        r.main = note("main", inMain);
        return r;
    }
};

TEST_F(StartSequence, RunsEachProcedureOnceInOrderAndTheExitProcedureLast) {
    Recorder r;
    EXPECT_EQ(rt::start(r.record()), 0);
    EXPECT_EQ(r.calls,
              (std::vector<std::string>{"constants", "first", "second", "third", "main", "exit"}));
}

TEST_F(StartSequence, ABreakEndsOnlyTheProcedureItLeaves) {
    Recorder r;
    EXPECT_EQ(rt::start(r.record({}, [] { rt::BREAK(1); })), 0);
    EXPECT_EQ(r.calls,
              (std::vector<std::string>{"constants", "first", "second", "third", "main", "exit"}));
}

TEST_F(StartSequence, QuitSkipsTheRestButRunsTheExitProcedureAndKeepsTheExitCode) {
    Recorder r;
    const int code = rt::start(r.record({}, [] {
        rt::ERRORLEVEL(1);
        rt::QUIT();
    }));
    EXPECT_EQ(code, 1);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"constants", "first", "exit"}));
}

TEST_F(StartSequence, ProceduresAreKnownByName) {
    entry(version22020096);
    for (const char* name :
         {"MAIN", "KOPIEREN", "APPSYS", "APPEXIT", "DBESYS", "ERRORSYS", "LINESPLIT", "kopieren"}) {
        EXPECT_TRUE(rt::ISFUNCTION(name, 67)) << name;
    }
    EXPECT_FALSE(rt::ISFUNCTION("STANDARDEH", 67));
    EXPECT_FALSE(rt::ISFUNCTION("DacSession", 67));
    EXPECT_EQ(rt::findProcedure("KOPIEREN")->parameters, 1);
    EXPECT_EQ(rt::findProcedure("LINESPLIT")->parameters, 2);
}

} // namespace
