// APPSYS: the application window made for each application type.
#include "tests/support/program_fixture.hpp"

#include <string>
#include <vector>

namespace {

using rt::Value;

// What the window classes and windows received, as "New", "set <member>" or "send <message>".
class AppSys : public test::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        rt::setWindowObserver([this](const rt::WindowEvent& e) { events.push_back(e); });
    }

    std::vector<std::string> trail() const {
        std::vector<std::string> out;
        for (const auto& e : events) {
            out.push_back(e.kind == "new" ? e.className + " New" : e.kind + " " + e.name);
        }
        return out;
    }

    std::vector<rt::WindowEvent> events;
};

struct Placement {
    const char* name;
    rt::DesktopSize desktop;
    double x;
    double y;
};

class AppSysPlacement : public AppSys, public ::testing::WithParamInterface<Placement> {};

TEST_P(AppSysPlacement, CentresTheGraphicalWindowUnclamped) {
    platform->applicationType = 3;
    platform->desktop = GetParam().desktop;

    APPSYS();

    ASSERT_FALSE(events.empty());
    const rt::WindowEvent& made = events.front();
    ASSERT_EQ(made.kind, "new");
    const rt::Array& args = *made.value.array();
    ASSERT_EQ(args.size(), 5u);
    EXPECT_TRUE(args[0].isNil());
    EXPECT_TRUE(args[1].isNil());
    ASSERT_TRUE(args[2].isArray());
    EXPECT_DOUBLE_EQ(rt::element(args[2], 1).number(), GetParam().x);
    EXPECT_DOUBLE_EQ(rt::element(args[2], 2).number(), GetParam().y);
    EXPECT_EQ(args[3].number(), 25);
    EXPECT_EQ(args[4].number(), 80);

    ASSERT_EQ(platform->graphicalConsoles.size(), 1u);
    EXPECT_DOUBLE_EQ(platform->graphicalConsoles[0].x, GetParam().x);
    EXPECT_DOUBLE_EQ(platform->graphicalConsoles[0].y, GetParam().y);
}

INSTANTIATE_TEST_SUITE_P(Desktops, AppSysPlacement,
                         ::testing::Values(Placement{"Xga", {1024, 768}, 192, 184},
                                           Placement{"Sxga", {1280, 1024}, 320, 312},
                                           Placement{"ExactlyTheTextArea", {640, 400}, 0, 0},
                                           Placement{"SmallerThanTheWindow", {600, 320}, -20, -40},
                                           Placement{"OddDifferences", {801, 401}, 80.5, 0.5}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppSys, GraphicalWindowGetsItsLookBeforeCreateAndPresSpaceAfter) {
    platform->applicationType = 3;

    APPSYS();

    EXPECT_EQ(trail(), (std::vector<std::string>{"GraphicalConsole New", "set FontWidth",
                                                 "set FontHeight", "set title", "set FontName",
                                                 "send Create", "send PresSpace"}));
    EXPECT_EQ(events[1].value.number(), 8);
    EXPECT_EQ(events[2].value.number(), 16);
    EXPECT_EQ(events[3].value.text(), "datensicherung.exe");
    EXPECT_EQ(events[4].value.text(), "Brisko Crt");

    // The window on screen was made with the values in place.
    ASSERT_EQ(platform->graphicalConsoles.size(), 1u);
    const rt::GraphicalConsoleLayout& shown = platform->graphicalConsoles[0];
    EXPECT_EQ(shown.rows, 25);
    EXPECT_EQ(shown.columns, 80);
    EXPECT_EQ(shown.fontWidth, 8);
    EXPECT_EQ(shown.fontHeight, 16);
    EXPECT_EQ(shown.title, "datensicherung.exe");
    EXPECT_EQ(shown.fontName, "Brisko Crt");

    const Value window = rt::SETAPPWINDOW();
    ASSERT_TRUE(window.isObject());
    EXPECT_EQ(window.object()->className(), "GraphicalConsole");
    EXPECT_TRUE(window.object()->send("PresSpace", {}).isObject());
    EXPECT_FALSE(window.object()->send("isDerivedFrom", {rt::ROOTCRT()}).logical());
}

TEST_F(AppSys, TextConsoleTypesGetTheRootConsoleWithABuffer) {
    for (const int type : {2, 1}) {
        SCOPED_TRACE(type);
        events.clear();
        rt::SETAPPWINDOW(rt::NIL);
        platform->applicationType = type;

        APPSYS();

        EXPECT_EQ(trail(),
                  (std::vector<std::string>{"RootConsole New", "set CreateBuffer", "send Create"}));
        EXPECT_TRUE(events[0].value.array()->empty());
        EXPECT_TRUE(events[1].value.logical());
        const Value window = rt::SETAPPWINDOW();
        ASSERT_TRUE(window.isObject());
        EXPECT_TRUE(window.object()->send("isDerivedFrom", {rt::ROOTCRT()}).logical());
        EXPECT_TRUE(window.object()->get("CreateBuffer").logical());
    }
    EXPECT_TRUE(platform->graphicalConsoles.empty());
}

// The window is registered as the application window only after the last message it is
// sent; until then the runtime has none.
TEST_F(AppSys, WindowIsRegisteredAfterItsLastMessage) {
    const std::pair<int, std::vector<std::string>> cases[] = {
        {3, {"Create unregistered", "PresSpace unregistered"}},
        {2, {"Create unregistered"}},
    };
    for (const auto& [type, expected] : cases) {
        SCOPED_TRACE(type);
        rt::SETAPPWINDOW(rt::NIL);
        platform->applicationType = type;
        std::vector<std::string> sent;
        rt::setWindowObserver([&sent](const rt::WindowEvent& e) {
            if (e.kind == "send") {
                sent.push_back(e.name +
                               (rt::SETAPPWINDOW().isNil() ? " unregistered" : " registered"));
            }
        });

        APPSYS();

        EXPECT_EQ(sent, expected);
        EXPECT_TRUE(rt::SETAPPWINDOW().isObject());
    }
}

TEST_F(AppSys, OtherTypesLeaveTheProgramWithoutAWindow) {
    for (const int type : {0, 4, -1}) {
        platform->applicationType = type;
        APPSYS();
        EXPECT_TRUE(rt::SETAPPWINDOW().isNil()) << type;
    }
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(platform->dialogs.empty());
}

// A platform with no graphical windows: Create raises, and the error reaches the block in
// force with APPSYS on the procedure stack at the line that sent Create; the default
// answer lets APPSYS finish.
TEST_F(AppSys, ErrorInAppSysGoesToTheErrorBlockInForce) {
    platform->applicationType = 3;
    platform->graphicalConsoleAvailable = false;
    int createLine = -1;
    rt::setWindowObserver([&](const rt::WindowEvent& e) {
        events.push_back(e);
        if (e.name == "Create") {
            createLine = rt::PROCLINE(0);
        }
    });
    std::vector<std::string> seen;
    int lineAtError = 0;
    rt::ERRORBLOCK(Value(rt::makeBlock("(B)TEST@0000", [&](const std::vector<Value>& args) {
        rt::Object& e = *args[0].object();
        seen.push_back(e.get("operation").text() + " in " + rt::PROCNAME(1));
        lineAtError = rt::PROCLINE(1);
        EXPECT_EQ(e.get("genCode").number(), rt::gen::NO_WINDOW);
        return Value(false);
    })));

    APPSYS();

    EXPECT_EQ(seen, std::vector<std::string>{"Create in APPSYS"});
    EXPECT_EQ(lineAtError, createLine);
    EXPECT_EQ(trail().back(), "send PresSpace");
    // The window object is still registered; it has nothing to draw on.
    const Value window = rt::SETAPPWINDOW();
    ASSERT_TRUE(window.isObject());
    EXPECT_TRUE(window.object()->send("PresSpace", {}).isNil());
}

// With the error system installed, a graphical window that cannot be made reaches the
// standard handler's message box; "Ignorieren" lets APPSYS finish.
TEST_F(AppSys, ErrorReachesTheStandardHandler) {
    platform->applicationType = 3;
    platform->graphicalConsoleAvailable = false;
    platform->confirmAnswers = {rt::mb::IDIGNORE};
    ERRORSYS();

    APPSYS();

    ASSERT_EQ(platform->dialogs.size(), 1u);
    const test::Dialog& box = platform->dialogs[0];
    EXPECT_EQ(box.kind, "confirm");
    EXPECT_EQ(box.buttons, rt::mb::ABORTRETRYIGNORE);
    EXPECT_NE(box.text.find("Aufgerufen von APPSYS("), std::string::npos);
    EXPECT_EQ(trail().back(), "send PresSpace");
    EXPECT_EQ(rt::ERRORLEVEL(), 0);
}

} // namespace
