// Each platform operation of a whole run made to fail in turn: the n-th failable call
// alone, and every call of one kind. Every run ends in a state the program documents,
// with no file left open and the job file as it was.
#include "app/entry.hpp"
#include "runtime/database.hpp"
#include "runtime/settings.hpp"
#include "tests/robustness/faulty_platform.hpp"
#include "tests/support/program_fixture.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

namespace fs = std::filesystem;
using robust::FaultyPlatform;
using robust::Op;

long currentRuntime() {
    return 22020096;
}

const std::string jobFile = "[1]\r\nQ1\r\nA\r\n*.*\r\n/E\r\n"
                            "[2]\r\nQ2\r\nB\r\n*.txt\r\n/R:1 /W:1\r\n[3]\r\n";
const std::string refusal = "Es ist bereits ein SicherungsJob offen!\r\n"
                            "Bitte zuerst schließen, dann nochmal versuchen!";

struct Outcome {
    int exitCode = -1;
    std::shared_ptr<FaultyPlatform> platform;
    fs::path folder;

    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const auto& d : platform->dialogsOf("msgbox")) {
            texts.push_back(d.text);
        }
        return texts;
    }
    // The copies that were started (not counting those that could not be).
    int copiesStarted() const {
        int started = 0;
        for (std::size_t i = 0; i < platform->calls.size(); ++i) {
            if (platform->calls[i] == Op::StartProgram && !platform->failed[i]) {
                ++started;
            }
        }
        return started;
    }
    int occurrence(std::size_t index) const {
        int n = 0;
        for (std::size_t i = 0; i < index; ++i) {
            n += platform->calls[i] == platform->calls[index];
        }
        return n;
    }
};

class FaultInjection : public test::ProgramTest {
  protected:
    // One whole run in a fresh folder of its own.
    Outcome runWith(std::set<int> failAt, std::set<Op> always = {}, int appType = 2) {
        rt::resetRuntime();
        auto faulty = std::make_shared<FaultyPlatform>();
        faulty->failAt = std::move(failAt);
        faulty->alwaysFailing = std::move(always);
        faulty->applicationType = appType;
        faulty->setDate(2026, 12, 8); // a Tuesday
        faulty->confirmAnswers = {6, 6};
        platform = faulty;
        rt::setPlatform(faulty);
        test::prepareAllConstants();

        Outcome outcome;
        outcome.folder = folder() / ("run" + std::to_string(runs++));
        fs::create_directories(outcome.folder / "A" / "202611");
        std::ofstream(outcome.folder / "datensicherung.txt", std::ios::binary) << jobFile;
        fs::current_path(outcome.folder);
        outcome.exitCode = entry(currentRuntime);
        fs::current_path(folder());
        outcome.platform = faulty;
        return outcome;
    }

    // What holds after every run, whatever failed.
    void expectCleanEnd(const Outcome& o, const std::string& what) {
        EXPECT_TRUE(o.exitCode == 0 || o.exitCode == 1) << what << ": exit " << o.exitCode;
        EXPECT_TRUE(o.platform->openHandles.empty()) << what << ": a file was left open";
        std::ifstream in(o.folder / "datensicherung.txt", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), jobFile) << what;
        // Nothing is ever made outside the two target roots but an error log.
        for (const auto& entry : fs::directory_iterator(o.folder)) {
            const std::string n = entry.path().filename().string();
            EXPECT_TRUE(n == "A" || n == "B" || n == "datensicherung.txt" ||
                        n.rfind("TVRERROR.", 0) == 0)
                << what << ": " << n;
        }
    }

    int runs = 0;
};

const std::string done1 = "Datensicherung von Q1\\*.* nach A\\Dienstag erledigt.";
const std::string done2 = "Datensicherung von Q2\\*.txt nach B\\202611 erledigt.";
const std::string notStarted1 =
    "Datensicherung von Q1\\*.* nach A\\Dienstag fehlgeschlagen! (ROBOCOPY.exe konnte nicht "
    "gestartet werden)";
const std::string notStarted2 =
    "Datensicherung von Q2\\*.txt nach B\\202611 fehlgeschlagen! (ROBOCOPY.exe konnte nicht "
    "gestartet werden)";
const std::string cancelled = "Datensicherung vor dem Start abgebrochen!";

TEST_F(FaultInjection, AFaultFreeRunCopiesBothJobs) {
    const auto o = runWith({});
    expectCleanEnd(o, "no fault");
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.messages(), (std::vector<std::string>{done1, done2}));
    EXPECT_EQ(o.copiesStarted(), 2);
}

// Every failable call of the run fails once, one after the other.
TEST_F(FaultInjection, EachCallFailingAloneEndsInTheDocumentedState) {
    const auto baseline = runWith({});
    ASSERT_FALSE(baseline.platform->calls.empty());
    RecordProperty("faults", static_cast<int>(baseline.platform->calls.size()));
    for (std::size_t i = 0; i < baseline.platform->calls.size(); ++i) {
        const auto o = runWith({static_cast<int>(i)});
        const Op op = o.platform->calls.at(i);
        const int n = o.occurrence(i); // which call of its kind
        const std::string what = robust::name(op) + " #" + std::to_string(n);
        SCOPED_TRACE(what);
        expectCleanEnd(o, what);
        switch (op) {
        case Op::OpenRead:
            if (n == 0) {
                // The exclusive test: the refusal, and nothing runs.
                EXPECT_EQ(o.exitCode, 0);
                EXPECT_EQ(o.messages(), std::vector<std::string>{refusal});
            } else {
                // The second open: an empty job list, whose one job has no lines; the
                // argument error goes to the standard handler and no job is run.
                EXPECT_FALSE(o.platform->dialogsOf("alert").empty() &&
                             o.platform->createAttempts.empty());
            }
            EXPECT_EQ(o.copiesStarted(), 0);
            EXPECT_FALSE(fs::exists(o.folder / "B"));
            break;
        case Op::Read:
            if (n == 0) {
                EXPECT_EQ(o.copiesStarted(), 0);
                EXPECT_FALSE(fs::exists(o.folder / "B"));
            } else {
                // The file was read whole before: the read at its end changes nothing.
                EXPECT_EQ(o.messages(), (std::vector<std::string>{done1, done2}));
            }
            break;
        case Op::Close:
            EXPECT_EQ(o.exitCode, 0);
            EXPECT_EQ(o.messages(), (std::vector<std::string>{done1, done2}));
            break;
        case Op::MakeFolder:
            // Whether the folder was made is not looked at: both jobs are confirmed and
            // copied.
            EXPECT_EQ(o.exitCode, 0);
            EXPECT_EQ(o.messages(), (std::vector<std::string>{done1, done2}));
            EXPECT_EQ(o.copiesStarted(), 2);
            EXPECT_FALSE(fs::exists(o.folder / (n == 0 ? "A/Dienstag" : "B/202611")));
            break;
        case Op::Confirm:
            // A confirmation that cannot be shown is no Yes: that job is not copied, the
            // other one is.
            EXPECT_EQ(o.exitCode, 0);
            EXPECT_EQ(o.messages(), (n == 0 ? std::vector<std::string>{cancelled, done2}
                                            : std::vector<std::string>{done1, cancelled}));
            EXPECT_EQ(o.copiesStarted(), 1);
            break;
        case Op::StartProgram:
            EXPECT_EQ(o.exitCode, 0);
            EXPECT_EQ(o.messages(), (n == 0 ? std::vector<std::string>{notStarted1, done2}
                                            : std::vector<std::string>{done1, notStarted2}));
            break;
        default:
            ADD_FAILURE() << "a call the run was not expected to make";
        }
    }
}

struct Always {
    const char* name;
    Op op;
    std::vector<std::string> messages;
    int copies;
};

class EveryCallOfAKindFailing : public FaultInjection,
                                public ::testing::WithParamInterface<Always> {};

TEST_P(EveryCallOfAKindFailing, EndsInTheDocumentedState) {
    const auto o = runWith({}, {GetParam().op});
    expectCleanEnd(o, GetParam().name);
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.messages(), GetParam().messages);
    EXPECT_EQ(o.copiesStarted(), GetParam().copies);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EveryCallOfAKindFailing,
    ::testing::Values(Always{"Close", Op::Close, {done1, done2}, 2},
                      Always{"MakeFolder", Op::MakeFolder, {done1, done2}, 2},
                      Always{"Confirm", Op::Confirm, {cancelled, cancelled}, 0},
                      Always{"StartProgram", Op::StartProgram, {notStarted1, notStarted2}, 0},
                      Always{"OpenRead", Op::OpenRead, {refusal}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A job file that opens for the test but cannot be read: the buffer stays blank, the
// one job of the empty list has no lines, and the argument error reaches the standard
// handler. Its dialog cannot be answered here, so the log is written and the run ends
// with exit code 1; no folder is made and nothing copied.
TEST_F(FaultInjection, AnUnreadableJobFileEndsThroughTheErrorHandling) {
    const auto baseline = runWith({});
    const auto& calls = baseline.platform->calls;
    const auto secondOpen = std::find(std::find(calls.begin(), calls.end(), Op::OpenRead) + 1,
                                      calls.end(), Op::OpenRead);
    const auto firstRead = std::find(calls.begin(), calls.end(), Op::Read);
    ASSERT_NE(secondOpen, calls.end());
    ASSERT_NE(firstRead, calls.end());
    for (const auto at : {secondOpen, firstRead}) {
        const auto o = runWith({static_cast<int>(at - calls.begin())});
        const std::string what = robust::name(*at);
        expectCleanEnd(o, what);
        EXPECT_EQ(o.exitCode, 1) << what;
        EXPECT_TRUE(o.platform->shellCalls.empty()) << what;
        const auto alerts = o.platform->dialogsOf("alert");
        ASSERT_EQ(alerts.size(), 1u) << what;
        EXPECT_EQ(alerts[0].text.rfind("Fehler BASE/1;Beschreibung : Argumentfehler", 0), 0u)
            << alerts[0].text;
        std::ifstream log(o.folder / "TVRERROR.LOG", std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(log), {}};
        EXPECT_NE(text.find("Aufgerufen von KOPIEREN"), std::string::npos) << what;
    }
}

// On the error path of an unreadable job file, each later call fails as well, in turn:
// the log file that cannot be made, a write or a close that fails, the dialog. The run
// still ends with exit code 1, leaves no file open, and either a log was written or the
// report says that none could be.
TEST_F(FaultInjection, TheErrorLogUnderFailingCalls) {
    const auto baseline = runWith({});
    const auto& calls = baseline.platform->calls;
    const int firstRead =
        static_cast<int>(std::find(calls.begin(), calls.end(), Op::Read) - calls.begin());
    const auto errorPath = runWith({firstRead});
    ASSERT_EQ(errorPath.exitCode, 1);
    const auto& later = errorPath.platform->calls;
    ASSERT_GT(later.size(), static_cast<std::size_t>(firstRead + 1));
    RecordProperty("faults", static_cast<int>(later.size()) - firstRead);
    for (int i = firstRead + 1; i < static_cast<int>(later.size()); ++i) {
        const auto o = runWith({firstRead, i});
        const std::string what = robust::name(o.platform->calls.at(i)) + " #" +
                                 std::to_string(o.occurrence(static_cast<std::size_t>(i)));
        SCOPED_TRACE(what);
        expectCleanEnd(o, what);
        EXPECT_EQ(o.exitCode, 1);
        EXPECT_TRUE(o.platform->shellCalls.empty());
        bool logged = false;
        for (const auto& entry : fs::directory_iterator(o.folder)) {
            logged = logged || entry.path().filename().string().rfind("TVRERROR.", 0) == 0;
        }
        const std::string reports = o.platform->console + o.platform->stdErr;
        EXPECT_TRUE(logged || reports.find("kann nicht ge\xC3\xB6"
                                           "ffnet werden") != std::string::npos)
            << reports;
        if (o.platform->calls.at(i) == Op::CreateWrite) {
            // The first name cannot be made: the log goes to the next one, and the report
            // names it.
            EXPECT_TRUE(fs::exists(o.folder / "TVRERROR.001"));
            EXPECT_NE(reports.find("TVRERROR.001"), std::string::npos) << reports;
        }
    }
    // No log file can be made at all: all 1000 names are tried, the report says so.
    const auto none = runWith({firstRead}, {Op::CreateWrite});
    expectCleanEnd(none, "no log file");
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.platform->createAttempts.size(), 1000u);
    EXPECT_EQ(none.platform->createAttempts.front(), "TVRERROR.LOG");
    EXPECT_EQ(none.platform->createAttempts.back(), "TVRERROR.999");
    EXPECT_NE((none.platform->console + none.platform->stdErr)
                  .find("Datei f\xC3\xBCr Fehlerprotokoll kann nicht ge\xC3\xB6"
                        "ffnet werden"),
              std::string::npos);
}

// The graphical application window that cannot be made: the error reaches the standard
// handler (installed before), and the run still ends cleanly.
TEST_F(FaultInjection, AGraphicalWindowThatCannotBeMadeEndsCleanly) {
    const auto baseline = runWith({}, {}, 3);
    ASSERT_FALSE(baseline.platform->graphicalConsoles.empty());
    RecordProperty("faults", static_cast<int>(baseline.platform->calls.size()) + 1);
    for (std::size_t i = 0; i < baseline.platform->calls.size(); ++i) {
        const auto o = runWith({static_cast<int>(i)}, {}, 3);
        expectCleanEnd(o, "graphical, call " + std::to_string(i) + " " +
                              robust::name(o.platform->calls.at(i)));
    }
    const auto o = runWith({}, {Op::GraphicalConsole}, 3);
    expectCleanEnd(o, "no graphical window");
}

// Each engine failing in each way: the date format is in place, and the run goes on.
TEST_F(FaultInjection, EachEngineFailingInEachWay) {
    for (const std::string engine : {"DBFDBE", "NTXDBE", "DELDBE", "SDFDBE", "DBFNTX"}) {
        for (const auto fault : {rt::db::Fault::NotLoaded, rt::db::Fault::Raises}) {
            const std::string what =
                engine + (fault == rt::db::Fault::Raises ? " raises" : " not loaded");
            SCOPED_TRACE(what);
            rt::resetRuntime();
            auto faulty = std::make_shared<FaultyPlatform>();
            faulty->setDate(2026, 12, 8);
            faulty->confirmAnswers = {6, 6};
            faulty->alertAnswers = {1, 1, 1, 1, 1, 1};
            platform = faulty;
            rt::setPlatform(faulty);
            test::prepareAllConstants();
            rt::db::setEngineFault(engine, fault);
            const fs::path run = folder() / ("engine" + std::to_string(runs++));
            fs::create_directories(run / "A" / "202611");
            std::ofstream(run / "datensicherung.txt", std::ios::binary) << jobFile;
            fs::current_path(run);
            const int code = entry(currentRuntime);
            fs::current_path(folder());
            EXPECT_TRUE(code == 0 || code == 1) << code;
            EXPECT_TRUE(faulty->openHandles.empty());
            EXPECT_EQ(rt::SET(4).text(), "dd.mm.yyyy");
            if (fault == rt::db::Fault::NotLoaded) {
                const std::string expected =
                    engine == "DBFNTX" ? "DBFNTX Database-Engine;konnte nicht erzeugt werden"
                                       : engine + " Database-Engine nicht geladen";
                bool shown = false;
                for (const auto& d : faulty->dialogsOf("alert")) {
                    shown = shown || d.text == expected;
                }
                EXPECT_TRUE(shown) << expected;
                EXPECT_EQ(code, 0);
                EXPECT_EQ(faulty->dialogsOf("msgbox").size(), 2u) << "both jobs still run";
            }
        }
    }
}

// APPEXIT with three work areas: each area operation in turn fails once, then for good.
// No area is closed with a failed commit not rolled back first; without a break every
// area ends closed and the saved error block is back; a break leaves the rest as it was.
TEST_F(FaultInjection, EachWorkAreaOperationFailingInTurn) {
    using rt::db::AreaOp;
    for (int area = 1; area <= 3; ++area) {
        for (const AreaOp op : {AreaOp::Commit, AreaOp::Rollback, AreaOp::Close}) {
            for (const int times : {1, -1}) {
                const std::string what = "area " + std::to_string(area) + " op " +
                                         std::to_string(static_cast<int>(op)) + " times " +
                                         std::to_string(times);
                SCOPED_TRACE(what);
                rt::db::reset();
                for (int i = 1; i <= 3; ++i) {
                    rt::db::openArea("T" + std::to_string(i));
                }
                rt::db::failAreaOperation(area, op, times);
                const rt::Value onEntry =
                    rt::Value(rt::makeBlock("(B)TEST@0000", [](const std::vector<rt::Value>&) {
                        return rt::Value(false);
                    }));
                rt::ERRORBLOCK(onEntry);
                bool broke = false;
                try {
                    APPEXIT();
                } catch (const rt::BreakSignal&) {
                    broke = true;
                }
                const auto& events = rt::db::areaEvents();
                for (std::size_t e = 0; e < events.size(); ++e) {
                    if (events[e].op == AreaOp::Commit && !events[e].succeeded &&
                        e + 1 < events.size()) {
                        EXPECT_EQ(events[e + 1].op, AreaOp::Rollback) << e;
                        EXPECT_EQ(events[e + 1].area, events[e].area) << e;
                    }
                }
                if (!broke) {
                    for (int i = 1; i <= 3; ++i) {
                        EXPECT_FALSE(rt::db::areaInUse(i)) << i;
                    }
                    EXPECT_EQ(rt::ERRORBLOCK().block(), onEntry.block());
                } else {
                    // Only a failure in the recovery branch leaves with a break; the areas
                    // after the failing one keep their changes.
                    EXPECT_TRUE(events.back().op == AreaOp::Rollback ||
                                events.back().op == AreaOp::Close);
                    EXPECT_FALSE(events.back().succeeded);
                    for (int i = events.back().area + 1; i <= 3; ++i) {
                        EXPECT_TRUE(rt::db::hasPendingChanges(i)) << i;
                    }
                }
            }
        }
    }
}

} // namespace
