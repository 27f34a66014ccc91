// DBESYS: date format, engines, composite engine and the messages about failures.
#include "tests/support/program_fixture.hpp"

#include <string>
#include <vector>

namespace {

using rt::Value;
using rt::db::Fault;

const std::string NOT_LOADED = " Database-Engine nicht geladen";
const std::string NOT_BUILT = " Database-Engine;konnte nicht erzeugt werden";

struct EngineCase {
    const char* name;
    std::vector<std::string> failing; // engines (or the composite) that refuse
    std::vector<std::string> messages;
    bool compositeBuilt;
};

class DbeSysEngines : public test::ProgramTest, public ::testing::WithParamInterface<EngineCase> {};

TEST_P(DbeSysEngines, ShowsOneMessagePerFailureInTableOrder) {
    for (const auto& name : GetParam().failing) {
        rt::db::setEngineFault(name, Fault::NotLoaded);
    }

    DBESYS();

    std::vector<std::string> shown;
    for (const auto& dialog : platform->dialogs) {
        EXPECT_EQ(dialog.kind, "alert");
        EXPECT_EQ(dialog.options, std::vector<std::string>{"OK"});
        shown.push_back(dialog.text);
    }
    EXPECT_EQ(shown, GetParam().messages);
    EXPECT_EQ(rt::db::engineLoaded("DBFNTX"), GetParam().compositeBuilt);
    if (GetParam().compositeBuilt) {
        EXPECT_EQ(rt::db::compositeParts("DBFNTX"), (std::vector<std::string>{"DBFDBE", "NTXDBE"}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, DbeSysEngines,
    ::testing::Values(
        EngineCase{"AllLoad", {}, {}, true},
        EngineCase{
            "IndexEngineMissing", {"NTXDBE"}, {"NTXDBE" + NOT_LOADED, "DBFNTX" + NOT_BUILT}, false},
        EngineCase{
            "DataEngineMissing", {"DBFDBE"}, {"DBFDBE" + NOT_LOADED, "DBFNTX" + NOT_BUILT}, false},
        EngineCase{"TextEngineAlone", {"SDFDBE"}, {"SDFDBE" + NOT_LOADED}, true},
        EngineCase{"BothTextEngines",
                   {"SDFDBE", "DELDBE"},
                   {"DELDBE" + NOT_LOADED, "SDFDBE" + NOT_LOADED},
                   true},
        EngineCase{"CompositeAlone", {"DBFNTX"}, {"DBFNTX" + NOT_BUILT}, false},
        EngineCase{"Everything",
                   {"DBFDBE", "NTXDBE", "DELDBE", "SDFDBE"},
                   {"DBFDBE" + NOT_LOADED, "NTXDBE" + NOT_LOADED, "DELDBE" + NOT_LOADED,
                    "SDFDBE" + NOT_LOADED, "DBFNTX" + NOT_BUILT},
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

class DbeSys : public test::ProgramTest {};

TEST_F(DbeSys, LoadsTheCompositePartsHiddenAndTheTextEnginesVisible) {
    DBESYS();
    struct Expected {
        const char* engine;
        bool hidden;
    };
    for (const auto& [engine, hidden] : {Expected{"DBFDBE", true}, Expected{"NTXDBE", true},
                                         Expected{"DELDBE", false}, Expected{"SDFDBE", false}}) {
        EXPECT_TRUE(rt::db::engineLoaded(engine)) << engine;
        EXPECT_EQ(rt::db::engineHidden(engine), hidden) << engine;
    }
}

TEST_F(DbeSys, FixesTheDateFormatFromTheFourDigitYearSetting) {
    struct Case {
        const char* name;
        Value century; // NIL: left at its start value
        std::string format;
        std::string today;
    };
    for (const auto& c : {Case{"StartValue", rt::NIL, "dd.mm.yyyy", "08.12.2026"},
                          Case{"FourDigits", Value(true), "dd.mm.yyyy", "08.12.2026"},
                          Case{"TwoDigits", Value(false), "dd.mm.yy", "08.12.26"}}) {
        SCOPED_TRACE(c.name);
        rt::resetSettings();
        if (!c.century.isNil()) {
            rt::SET(rt::setting::CENTURY, c.century);
        }
        DBESYS();
        EXPECT_EQ(rt::SET(rt::setting::DATEFORMAT).text(), c.format);
        EXPECT_EQ(rt::DTOC(rt::DATE()), c.today);
        EXPECT_EQ(rt::SET(rt::setting::SETTING_41).number(), 1);
        // Only read.
        EXPECT_EQ(rt::SET(rt::setting::CENTURY).logical(),
                  c.century.isNil() || c.century.logical());
    }
}

// An engine that raises instead of refusing: the error reaches the block in force, which
// sees the date format already fixed; the default answer counts as not loaded.
TEST_F(DbeSys, ErrorInDbeSysGoesToTheErrorBlockInForceAfterTheDateFormatIsFixed) {
    rt::SET(rt::setting::CENTURY, false);
    rt::db::setEngineFault("DBFDBE", Fault::Raises);
    std::vector<std::string> seen;
    rt::ERRORBLOCK(Value(rt::makeBlock("(B)TEST@0000", [&](const std::vector<Value>& args) {
        rt::Object& e = *args[0].object();
        seen.push_back(e.get("subSystem").text() + " " + e.get("operation").text() + " in " +
                       rt::PROCNAME(1) + " with " + rt::SET(rt::setting::DATEFORMAT).text());
        EXPECT_TRUE(e.get("canDefault").logical());
        return Value(false);
    })));

    DBESYS();

    EXPECT_EQ(seen, std::vector<std::string>{"DBFDBE DBELOAD in DBESYS with dd.mm.yy"});
    ASSERT_EQ(platform->dialogs.size(), 2u);
    EXPECT_EQ(platform->dialogs[0].text, "DBFDBE" + NOT_LOADED);
    EXPECT_EQ(platform->dialogs[1].text, "DBFNTX" + NOT_BUILT);
}

} // namespace

// With the error system installed, an engine error reaches the standard handler: before
// APPSYS there is no window to ask in, so the log is written and the program ends; with
// a window, the user's "Ignorieren" lets DBESYS go on as if the engine had refused.
TEST_F(DbeSys, ErrorReachesTheStandardHandler) {
    rt::db::setEngineFault("DBFDBE", Fault::Raises);
    ERRORSYS();

    EXPECT_THROW(DBESYS(), rt::QuitSignal);
    EXPECT_EQ(rt::ERRORLEVEL(), 1);
    const std::string log = readFile("TVRERROR.LOG");
    EXPECT_NE(log.find("DBELOAD"), std::string::npos);
    EXPECT_NE(log.find("Aufgerufen von DBESYS("), std::string::npos);

    rt::ERRORLEVEL(0);
    platform->dialogs.clear();
    rt::SETAPPWINDOW(rt::send(rt::ROOTCRT(), "New"));
    platform->alertAnswers = {4};
    DBESYS();
    ASSERT_EQ(platform->dialogs.size(), 3u);
    EXPECT_EQ(
        platform->dialogs[0].options,
        (std::vector<std::string>{"Abbrechen", "Ende mit LOG-Datei", "Wiederholen", "Ignorieren"}));
    EXPECT_EQ(platform->dialogs[1].text, "DBFDBE" + NOT_LOADED);
    EXPECT_EQ(platform->dialogs[2].text, "DBFNTX" + NOT_BUILT);
    EXPECT_EQ(rt::ERRORLEVEL(), 0);
}
