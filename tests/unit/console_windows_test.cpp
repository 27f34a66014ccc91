// The runtime's console window classes.
#include "tests/support/program_fixture.hpp"

#include <string>
#include <vector>

namespace {

using rt::Value;

class ConsoleWindows : public test::ProgramTest {
  protected:
    // An error block that notes the generic code and answers false.
    void recordErrors() {
        rt::ERRORBLOCK(Value(rt::makeBlock("(B)TEST@0000", [this](const std::vector<Value>& a) {
            genCodes.push_back(static_cast<int>(a[0].object()->get("genCode").number()));
            return Value(false);
        })));
    }
    static Value newGraphical(std::vector<Value> args) {
        return rt::XBPCRT().object()->send("New", args);
    }
    std::vector<int> genCodes;
};

TEST_F(ConsoleWindows, GraphicalWindowDefaultsToTheDesktopAndKeepsItsOwnPosition) {
    const auto position = rt::makeArray({Value(-20), Value(80.5)});
    const Value window = newGraphical({rt::NIL, rt::NIL, Value(position), 25, 80});
    (*position)[0] = Value(999);

    rt::Object& w = *window.object();
    EXPECT_EQ(w.get("parent").object(), rt::APPDESKTOP().object());
    EXPECT_EQ(w.get("owner").object(), rt::APPDESKTOP().object());
    EXPECT_EQ(rt::element(w.get("position"), 1).number(), -20);
    EXPECT_EQ(rt::element(w.get("position"), 2).number(), 80.5);
    EXPECT_EQ(w.get("ROWS").number(), 25);
    EXPECT_EQ(w.get("columns").number(), 80);
}

TEST_F(ConsoleWindows, PresSpaceOnlyOnceCreatedAndOneWindowForTwoCreates) {
    const Value window = newGraphical({});
    rt::Object& w = *window.object();
    EXPECT_TRUE(w.send("PresSpace", {}).isNil());
    w.send("create", {});
    w.send("Create", {});
    EXPECT_TRUE(w.send("PresSpace", {}).isObject());
    EXPECT_EQ(platform->graphicalConsoles.size(), 1u);
}

TEST_F(ConsoleWindows, RootConsoleNeedsNoScreenOfItsOwn) {
    platform->graphicalConsoleAvailable = false;
    recordErrors();
    const Value console = rt::ROOTCRT().object()->send("New", {});
    EXPECT_FALSE(console.object()->get("CreateBuffer").logical());
    console.object()->send("Create", {});
    EXPECT_TRUE(genCodes.empty());
    EXPECT_TRUE(platform->graphicalConsoles.empty());
}

TEST_F(ConsoleWindows, DerivationAnswersForClassObjectsAndNames) {
    const Value graphical = newGraphical({});
    const Value root = rt::ROOTCRT().object()->send("New", {});
    struct Case {
        Value window;
        Value cls;
        bool derived;
    };
    for (const auto& [window, cls, derived] : {
             Case{root, rt::ROOTCRT(), true},
             Case{root, Value("rootconsole"), true},
             Case{root, rt::XBPCRT(), false},
             Case{graphical, rt::XBPCRT(), true},
             Case{graphical, rt::ROOTCRT(), false},
             Case{graphical, rt::NIL, false},
         }) {
        EXPECT_EQ(window.object()->send("isDerivedFrom", {cls}).logical(), derived)
            << window.object()->className() << " / " << cls.typeLetter();
    }
}

TEST_F(ConsoleWindows, MisuseRaisesRuntimeErrors) {
    recordErrors();
    // A position that is no pair of numbers: no window.
    EXPECT_TRUE(newGraphical({rt::NIL, rt::NIL, Value("mitte"), 25, 80}).isNil());
    const Value window = newGraphical({});
    // Unknown and read-only members.
    window.object()->set("Colour", 7);
    window.object()->set("rows", 50);
    EXPECT_EQ(window.object()->get("rows").number(), 25);
    // A message to something that is not an object takes the block's answer.
    EXPECT_FALSE(rt::send(rt::NIL, "Create").logical());
    EXPECT_EQ(genCodes, (std::vector<int>{rt::gen::ARGUMENT, rt::gen::NO_METHOD, rt::gen::NO_METHOD,
                                          rt::gen::NO_METHOD}));
}

} // namespace
