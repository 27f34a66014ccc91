// APPEXIT: every work area still in use is committed and closed, or rolled back and
// closed, under the breaking error block.
#include "app/entry.hpp"
#include "tests/support/program_fixture.hpp"

#include <string>
#include <vector>

namespace {

using rt::Value;
using rt::db::AreaEvent;
using rt::db::AreaOp;

constexpr AreaOp C = AreaOp::Commit;
constexpr AreaOp R = AreaOp::Rollback;
constexpr AreaOp X = AreaOp::Close;

struct Failure {
    int area;
    AreaOp op;
    int times; // -1: every attempt
};

struct ExitCase {
    const char* name;
    int areas;
    std::vector<Failure> failures;
    std::vector<AreaEvent> steps;
    std::vector<int> leftInUse;
    bool leavesWithABreak;
};

class AppExit : public test::ProgramTest, public ::testing::WithParamInterface<ExitCase> {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        onEntry = Value(rt::makeBlock("(B)STANDARD@0000", [this](const std::vector<Value>&) {
            ++reachedTheBlockOnEntry;
            return Value(false);
        }));
        rt::ERRORBLOCK(onEntry);
    }
    Value onEntry;
    int reachedTheBlockOnEntry = 0;
};

TEST_P(AppExit, HandlesEachAreaInListOrder) {
    const ExitCase& c = GetParam();
    for (int i = 0; i < c.areas; ++i) {
        rt::db::openArea("T" + std::to_string(i + 1));
    }
    for (const auto& f : c.failures) {
        rt::db::failAreaOperation(f.area, f.op, f.times);
    }
    rt::DBSELECTAREA(7);

    bool broke = false;
    try {
        APPEXIT();
    } catch (const rt::BreakSignal&) {
        broke = true;
    }

    EXPECT_EQ(rt::db::areaEvents(), c.steps);
    std::vector<int> inUse;
    for (int area = 1; area <= c.areas; ++area) {
        if (rt::db::areaInUse(area)) {
            inUse.push_back(area);
        }
    }
    EXPECT_EQ(inUse, c.leftInUse);
    EXPECT_EQ(broke, c.leavesWithABreak);
    EXPECT_EQ(reachedTheBlockOnEntry, 0);
    EXPECT_EQ(rt::SELECT(), 7);

    const Value inForce = rt::ERRORBLOCK();
    ASSERT_TRUE(inForce.isBlock());
    if (c.leavesWithABreak) {
        EXPECT_EQ(inForce.block()->name(), "(B)APPEXIT@0000");
    } else {
        EXPECT_EQ(inForce.block(), onEntry.block());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, AppExit,
    ::testing::Values(
        ExitCase{"NoAreaInUse", 0, {}, {}, {}, false},
        ExitCase{
            "AllCommitAndClose",
            3,
            {},
            {{1, C, true}, {1, X, true}, {2, C, true}, {2, X, true}, {3, C, true}, {3, X, true}},
            {},
            false},
        ExitCase{"SecondCommitFails",
                 3,
                 {{2, C, 1}},
                 {{1, C, true},
                  {1, X, true},
                  {2, C, false},
                  {2, R, true},
                  {2, X, true},
                  {3, C, true},
                  {3, X, true}},
                 {},
                 false},
        ExitCase{"CloseFailsAfterCommit",
                 1,
                 {{1, X, 1}},
                 {{1, C, true}, {1, X, false}, {1, R, true}, {1, X, true}},
                 {},
                 false},
        ExitCase{"RollbackFailsAndLeavesTheRest",
                 3,
                 {{2, C, 1}, {2, R, 1}},
                 {{1, C, true}, {1, X, true}, {2, C, false}, {2, R, false}},
                 {2, 3},
                 true},
        ExitCase{"SecondCloseFailsAndLeavesTheRest",
                 2,
                 {{1, X, -1}},
                 {{1, C, true}, {1, X, false}, {1, R, true}, {1, X, false}},
                 {1, 2},
                 true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppExit, AreasLeftBehindByABreakKeepTheirChanges) {
    const int first = rt::db::openArea("A");
    const int second = rt::db::openArea("B");
    rt::db::failAreaOperation(first, C, 1);
    rt::db::failAreaOperation(first, R, 1);
    EXPECT_THROW(APPEXIT(), rt::BreakSignal);
    EXPECT_TRUE(rt::db::hasPendingChanges(first));
    EXPECT_TRUE(rt::db::hasPendingChanges(second));
}

// The whole run as a user starts it: engines that do not load are reported before the
// main procedure runs, and the areas still open at the end are written out and closed.
TEST_F(AppExit, ProgramEndClosesTheAreasLeftOpen) {
    rt::db::setEngineFault("NTXDBE", rt::db::Fault::NotLoaded);
    rt::db::openArea("KUNDEN");
    rt::db::openArea("ARTIKEL");
    rt::db::failAreaOperation(1, C, 1);

    EXPECT_EQ(entry(rt::runtimeVersion), 0);

    ASSERT_EQ(platform->dialogs.size(), 3u);
    EXPECT_EQ(platform->dialogs[0].text, "NTXDBE Database-Engine nicht geladen");
    EXPECT_EQ(platform->dialogs[1].text, "DBFNTX Database-Engine;konnte nicht erzeugt werden");
    EXPECT_EQ(platform->dialogs[2].kind, "msgbox"); // MAIN: no job file here
    EXPECT_EQ(rt::db::areaEvents(),
              (std::vector<AreaEvent>{
                  {1, C, false}, {1, R, true}, {1, X, true}, {2, C, true}, {2, X, true}}));
    EXPECT_TRUE(rt::WORKSPACELIST().array()->empty());
}

} // namespace
