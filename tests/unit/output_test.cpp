// Line output: the text form of values, the console and the alternate output file, and
// the errors of a file that cannot be opened.
#include "runtime/output.hpp"
#include "tests/support/program_fixture.hpp"

namespace {

using namespace rt;
using test::ProgramTest;

class Var2Char : public ProgramTest {};

TEST_F(Var2Char, OneTextFormPerType) {
    auto error = makeError(gen::ARGUMENT, 1, "+");
    const Value nested(makeArray({Value(10), Value("a"), NIL, Value(makeArray({Value(true)}))}));
    const struct {
        Value value;
        const char* text;
    } cases[] = {
        {Value("Text bleibt"), "Text bleibt"},
        {Value(""), ""},
        {Value(12), "12"},
        {Value(-3), "-3"},
        {Value(0.0), "0"},
        {Value(-0.0), "0"},
        {Value(2.5), "2.5"},
        {Value(0.1), "0.1"},
        {Value(1e20), "1e+20"},
        {Value(true), ".T."},
        {Value(false), ".F."},
        {Value(Date{2026, 12, 8}), "08.12.2026"},
        {Value(Date{}), "  .  .    "},
        {NIL, "NIL"},
        {Value(makeArray()), "{}"},
        {nested, "{10, \"a\", NIL, {.T.}}"},
        {Value(error), "Object(Error)"},
        {Value(makeBlock("(B)ERRORSYS@0000", [](const std::vector<Value>&) { return NIL; })),
         "Block((B)ERRORSYS@0000)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VAR2CHAR(c.value), c.text);
    }
}

TEST_F(Var2Char, ArrayHoldingItselfEnds) {
    const Value array(makeArray({Value(1)}));
    array.array()->push_back(array);
    EXPECT_EQ(VAR2CHAR(array), "{1, {...}}");
    array.array()->clear(); // the array holds itself: let it go
}

class LineOutput : public ProgramTest {};

TEST_F(LineOutput, QoutStartsALineQqoutDoesNot) {
    QOUT({Value("a"), Value(1), NIL});
    QQOUT({Value("b"), Value(true)});
    QOUT();
    EXPECT_EQ(platform->console, "\r\na 1 NILb .T.\r\n");
}

TEST_F(LineOutput, AlternateFileGetsTheSameBytesAndConsoleCanBeOff) {
    SET(setting::ALTFILE, Value("ALT.TXT"), Value(false));
    SET(setting::ALTERNATE, Value("ON"));
    SET(setting::CONSOLE, Value("OFF"));
    QOUT({Value("eins")});
    QQOUT({Value("zwei"), Value("drei")});
    QOUT();
    SET(setting::ALTFILE, Value(""));
    QOUT({Value("nicht mehr in der Datei")});
    EXPECT_EQ(readFile("ALT.TXT"), "\r\neinszwei drei\r\n");
    EXPECT_EQ(platform->console, "");
}

TEST_F(LineOutput, AlternateSwitchOffWritesNothingToTheFile) {
    SET(setting::ALTFILE, Value("ALT.TXT"), Value(false));
    QOUT({Value("nur Konsole")});
    SET(setting::ALTFILE, Value(""));
    EXPECT_EQ(readFile("ALT.TXT"), "");
    EXPECT_EQ(platform->console, "\r\nnur Konsole");
}

TEST_F(LineOutput, CreatedNewReplacesAndOtherwiseAdds) {
    writeFile("ALT.TXT", "alt");
    SET(setting::ALTERNATE, Value("ON"));
    SET(setting::ALTFILE, Value("ALT.TXT"), Value(false));
    QQOUT({Value("neu")});
    SET(setting::ALTFILE, Value(""));
    EXPECT_EQ(readFile("ALT.TXT"), "neu");

    SET(setting::ALTFILE, Value("ALT.TXT"));
    QQOUT({Value("+1")});
    SET(setting::ALTFILE, Value("ALT.TXT"), Value(true));
    QQOUT({Value("+2")});
    SET(setting::ALTFILE, Value(""));
    EXPECT_EQ(readFile("ALT.TXT"), "neu+1+2");
}

TEST_F(LineOutput, SettingsPutBackLeaveNoFileOpen) {
    SET(setting::ALTFILE, Value("ALT.TXT"), Value(false));
    SET(setting::ALTERNATE, Value("ON"));
    resetSettings();
    SET(setting::ALTERNATE, Value("ON"));
    QOUT({Value("x")});
    EXPECT_EQ(readFile("ALT.TXT"), "");
}

TEST_F(LineOutput, ErrorChannelAndCursor) {
    OUTERR("\n\rFehler");
    EXPECT_EQ(platform->stdErr, "\n\rFehler");
    SETPOS(4, 7);
    EXPECT_EQ(ROW(), 4);
    EXPECT_EQ(COL(), 7);
}

// A file that cannot be opened raises an error whose code says why.
struct OpenFailure {
    const char* name;
    int osCode;
    int genCode;
};

class AlternateFileFailure : public ProgramTest,
                             public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(AlternateFileFailure, RaisesWithTheOperatingSystemCode) {
    std::vector<ErrorRef> seen;
    ERRORBLOCK(Value(makeBlock("(B)TEST@0001", [&](const std::vector<Value>& a) {
        seen.push_back(std::static_pointer_cast<ErrorRecord>(a[0].object()));
        return Value(false);
    })));
    platform->createFailures["LOG.TXT"] = GetParam().osCode;
    SET(setting::ALTFILE, Value("LOG.TXT"), Value(false));
    ASSERT_EQ(seen.size(), 1u);
    const ErrorRecord& e = *seen[0];
    EXPECT_EQ(e.genCode.number(), GetParam().genCode);
    EXPECT_EQ(e.osCode.number(), GetParam().osCode);
    EXPECT_EQ(e.fileName.text(), "LOG.TXT");
    EXPECT_TRUE(e.canDefault.logical());
    EXPECT_TRUE(e.canRetry.logical());
    EXPECT_FALSE(e.description.text().empty());

    // The default outcome goes on without an alternate file.
    SET(setting::ALTERNATE, Value("ON"));
    SET(setting::CONSOLE, Value("OFF"));
    QOUT({Value("x")});
    EXPECT_FALSE(std::filesystem::exists(folder() / "LOG.TXT"));
}

INSTANTIATE_TEST_SUITE_P(Codes, AlternateFileFailure,
                         ::testing::Values(OpenFailure{"InUse", 32, gen::SHARING},
                                           OpenFailure{"Locked", 33, gen::LOCK},
                                           OpenFailure{"AccessDenied", 5, gen::CREATE}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LineOutput, RetryOpensOnceTheFileIsFree) {
    platform->createFailures["LOG.TXT"] = 32;
    int calls = 0;
    ERRORBLOCK(Value(makeBlock("(B)TEST@0001", [&](const std::vector<Value>&) {
        ++calls;
        platform->createFailures.clear();
        return Value(true);
    })));
    SET(setting::ALTFILE, Value("LOG.TXT"), Value(false));
    SET(setting::ALTERNATE, Value("ON"));
    QQOUT({Value("da")});
    SET(setting::ALTFILE, Value(""));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(readFile("LOG.TXT"), "da");
}

TEST_F(LineOutput, FolderOfThatNameCannotBeOpened) {
    std::filesystem::create_directory(folder() / "LOG.TXT");
    int genCode = 0;
    ERRORBLOCK(Value(makeBlock("(B)TEST@0001", [&](const std::vector<Value>& a) {
        genCode = static_cast<int>(a[0].object()->get("genCode").number());
        return Value(false);
    })));
    SET(setting::ALTFILE, Value("LOG.TXT"), Value(false));
    EXPECT_EQ(genCode, gen::CREATE);
}

} // namespace
