// The runtime's database layer: engines, composite engines and work areas.
#include "tests/support/program_fixture.hpp"

#include <string>
#include <vector>

namespace {

using rt::Value;
using rt::db::AreaEvent;
using rt::db::AreaOp;

class Database : public test::ProgramTest {
  protected:
    // An error block that notes each error as "genCode operation" and gives `answer`.
    void answerErrorsWith(Value answer) {
        rt::ERRORBLOCK(
            Value(rt::makeBlock("(B)TEST@0000", [this, answer](const std::vector<Value>& a) {
                rt::Object& e = *a[0].object();
                errors.push_back(std::to_string(static_cast<int>(e.get("genCode").number())) + " " +
                                 e.get("operation").text());
                return answer;
            })));
    }
    std::vector<std::string> errors;
};

TEST_F(Database, LoadsOnlyTheEnginesItKnows) {
    EXPECT_TRUE(rt::DBELOAD("dbfdbe"));
    EXPECT_TRUE(rt::DBELOAD("DBFDBE", true)); // again: still loaded
    EXPECT_FALSE(rt::db::engineHidden("DBFDBE"));
    EXPECT_FALSE(rt::DBELOAD("FOXDBE"));
    EXPECT_FALSE(rt::db::engineLoaded("FOXDBE"));

    answerErrorsWith(Value(false));
    EXPECT_FALSE(rt::DBELOAD(Value(7)));
    EXPECT_EQ(errors, std::vector<std::string>{"1 DBELOAD"});
}

TEST_F(Database, BuildsACompositeOnlyFromALoadedDataAndIndexEngine) {
    struct Case {
        const char* name;
        std::vector<const char*> loaded;
        const char* composite;
        const char* data;
        const char* index;
        bool built;
    };
    const std::vector<const char*> all{"DBFDBE", "NTXDBE", "DELDBE", "SDFDBE"};
    for (const auto& c : {
             Case{"BothLoaded", all, "DBFNTX", "DBFDBE", "NTXDBE", true},
             Case{"OtherDataEngine", all, "SDFNTX", "SDFDBE", "NTXDBE", true},
             Case{"DataMissing", {"NTXDBE"}, "DBFNTX", "DBFDBE", "NTXDBE", false},
             Case{"IndexMissing", {"DBFDBE"}, "DBFNTX", "DBFDBE", "NTXDBE", false},
             Case{"NothingLoaded", {}, "DBFNTX", "DBFDBE", "NTXDBE", false},
             Case{"PartsSwapped", all, "DBFNTX", "NTXDBE", "DBFDBE", false},
             Case{"TwoDataEngines", all, "DBFDEL", "DBFDBE", "DELDBE", false},
             Case{"NameOfAnEngine", all, "DELDBE", "DBFDBE", "NTXDBE", false},
             Case{"NoName", all, "", "DBFDBE", "NTXDBE", false},
         }) {
        SCOPED_TRACE(c.name);
        rt::db::reset();
        for (const char* engine : c.loaded) {
            ASSERT_TRUE(rt::DBELOAD(engine));
        }
        EXPECT_EQ(rt::DBEBUILD(c.composite, c.data, c.index), c.built);
        EXPECT_EQ(!rt::db::compositeParts(c.composite).empty(), c.built);
    }
}

TEST_F(Database, AnEngineMadeToRaiseIsRetriedWhileTheBlockSaysSo) {
    rt::db::setEngineFault("NTXDBE", rt::db::Fault::Raises);
    int asked = 0;
    rt::ERRORBLOCK(Value(rt::makeBlock("(B)TEST@0000", [&](const std::vector<Value>&) {
        if (++asked == 2) {
            rt::db::setEngineFault("NTXDBE", rt::db::Fault::None); // repaired meanwhile
        }
        return Value(true);
    })));
    EXPECT_TRUE(rt::DBELOAD("NTXDBE", true));
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(rt::db::engineHidden("NTXDBE"));
}

TEST_F(Database, ListsTheAreasInUseAndSelectsOneForACall) {
    const int kunden = rt::db::openArea("KUNDEN");
    const int artikel = rt::db::openArea("ARTIKEL");
    EXPECT_EQ(kunden, 1);
    EXPECT_EQ(artikel, 2);
    rt::inArea(Value(kunden), [] {
        rt::DBCLOSEAREA();
        return rt::NIL;
    });
    EXPECT_EQ(rt::db::openArea("LAGER"), 1); // the lowest free area

    const Value list = rt::WORKSPACELIST();
    ASSERT_EQ(rt::LEN(list), 2);
    EXPECT_EQ(rt::element(list, 1).number(), 1);
    EXPECT_EQ(rt::element(list, 2).number(), 2);

    rt::DBSELECTAREA(9);
    int seen = 0;
    rt::inArea(Value("artikel"), [&] {
        seen = rt::SELECT();
        return rt::NIL;
    });
    EXPECT_EQ(seen, artikel);
    EXPECT_EQ(rt::SELECT(), 9);

    // Left by a break, the call still puts the selection back.
    rt::guarded(
        [&] {
            rt::inArea(Value(artikel), [] {
                rt::BREAK();
                return rt::NIL;
            });
        },
        [](const Value&) {});
    EXPECT_EQ(rt::SELECT(), 9);
}

TEST_F(Database, AreaOperationsActOnTheSelectedArea) {
    const int first = rt::db::openArea("A");
    const int second = rt::db::openArea("B");
    rt::DBSELECTAREA(second);
    rt::DBCOMMIT();
    EXPECT_TRUE(rt::db::hasPendingChanges(first));
    EXPECT_FALSE(rt::db::hasPendingChanges(second));
    rt::DBSELECTAREA(first);
    rt::DBRROLLBACK();
    EXPECT_FALSE(rt::db::hasPendingChanges(first));
    rt::DBCLOSEAREA();
    EXPECT_FALSE(rt::db::areaInUse(first));
    EXPECT_TRUE(rt::db::areaInUse(second));
    EXPECT_EQ(rt::db::areaEvents(), (std::vector<AreaEvent>{{second, AreaOp::Commit, true},
                                                            {first, AreaOp::Rollback, true},
                                                            {first, AreaOp::Close, true}}));
}

// A failing operation raises through the error block: a retry tries again, the default
// leaves the area as it was.
TEST_F(Database, FailingAreaOperationsRaiseAndFollowTheAnswer) {
    const int area = rt::db::openArea("A");
    rt::DBSELECTAREA(area);
    rt::db::failAreaOperation(area, AreaOp::Commit, 1);
    answerErrorsWith(Value(true));
    rt::DBCOMMIT();
    EXPECT_FALSE(rt::db::hasPendingChanges(area));

    rt::db::failAreaOperation(area, AreaOp::Close, -1);
    answerErrorsWith(Value(false));
    rt::DBCLOSEAREA();
    EXPECT_TRUE(rt::db::areaInUse(area));

    EXPECT_EQ(errors, (std::vector<std::string>{"24 DBCOMMIT", "24 DBCLOSEAREA"}));
    EXPECT_EQ(rt::db::areaEvents(), (std::vector<AreaEvent>{{area, AreaOp::Commit, false},
                                                            {area, AreaOp::Commit, true},
                                                            {area, AreaOp::Close, false}}));
}

TEST_F(Database, AnAreaNotInUse) {
    answerErrorsWith(Value(false));
    rt::DBSELECTAREA(3);
    rt::DBCLOSEAREA(); // nothing to close
    rt::DBCOMMIT();
    rt::DBRROLLBACK();
    bool ran = false;
    rt::inArea(Value("NIRGENDS"), [&] {
        ran = true;
        return rt::NIL;
    });
    EXPECT_FALSE(ran);
    EXPECT_EQ(errors, (std::vector<std::string>{"35 DBCOMMIT", "35 DBRROLLBACK", "35 ->"}));
    EXPECT_TRUE(rt::db::areaEvents().empty());
}

} // namespace
