// Runtime errors: records raised by real conditions, the block's answer, breaks and the
// procedure stack as the error block sees it.
#include "tests/support/program_fixture.hpp"

namespace {

using namespace rt;
using test::ProgramTest;

class RuntimeErrors : public ProgramTest {
  protected:
    // Installs a block that records each error and gives `answer`.
    void answerWith(std::function<Value(const ErrorRef&)> answer) {
        ERRORBLOCK(Value(makeBlock("(B)TEST@0001", [this, answer](const std::vector<Value>& a) {
            auto error = std::static_pointer_cast<ErrorRecord>(a[0].object());
            seen.push_back(error);
            stack.clear();
            for (int level = 0; !PROCNAME(level).empty(); ++level) {
                stack.push_back(PROCNAME(level));
            }
            return answer(error);
        })));
    }
    std::vector<ErrorRef> seen;
    std::vector<std::string> stack;
};

struct Raised {
    const char* name;
    std::function<Value()> operation;
    int genCode;
    const char* op;
};

class RaisedBy : public RuntimeErrors, public ::testing::WithParamInterface<Raised> {};

TEST_P(RaisedBy, RealConditions) {
    answerWith([](const ErrorRef&) { return Value(0); });
    const Value result = GetParam().operation();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0]->genCode.number(), GetParam().genCode);
    EXPECT_EQ(seen[0]->operation.text(), GetParam().op);
    EXPECT_TRUE(seen[0]->args.isArray());
    EXPECT_TRUE(seen[0]->canSubstitute.logical());
    EXPECT_FALSE(seen[0]->description.text().empty());
    EXPECT_TRUE(exactlyEqual(result, Value(0))) << "the block's 0 is the result";
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, RaisedBy,
    ::testing::Values(
        Raised{"TextPlusNil", [] { return Value("a") + NIL; }, gen::ARGUMENT, "+"},
        Raised{"NilPlusText", [] { return NIL + Value("a"); }, gen::ARGUMENT, "+"},
        Raised{"TextTimesNumber", [] { return Value("a") * Value(2); }, gen::ARGUMENT, "*"},
        Raised{"DivisionByZero", [] { return Value(10) / Value(0); }, gen::ZERO_DIVIDE, "/"},
        Raised{"ModulusByZero", [] { return Value(7) % Value(0); }, gen::ZERO_DIVIDE, "%"},
        Raised{"Overflow", [] { return Value(1e308) * Value(10); }, gen::NUMERIC_OVERFLOW, "*"},
        Raised{"IndexOutOfRange",
               [] {
                   return element(Value(makeArray({1, 2})), 3);
               },
               gen::BOUND, "[]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RuntimeErrors, DivisionByZeroCarriesItsOperandsDivisorLast) {
    answerWith([](const ErrorRef&) { return Value(0); });
    Value(10) / Value(0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0]->args.array()->size(), 2u);
    EXPECT_EQ(element(seen[0]->args, 1).number(), 10);
    EXPECT_EQ(element(seen[0]->args, -1).number(), 0);
}

TEST_F(RuntimeErrors, RetryRunsTheOperationAgainAndDefaultTakesItsDefault) {
    int attempts = 0;
    auto error = makeError(gen::LOCK, 1, "LOCK");
    error->canRetry = true;
    error->canDefault = true;
    std::deque<Value> answers{Value(true), Value(true), Value(false)};
    answerWith([&](const ErrorRef&) {
        const Value a = answers.front();
        answers.pop_front();
        return a;
    });
    const Value result = tryOperation(
        error,
        [&]() -> std::optional<Value> {
            ++attempts;
            return std::nullopt;
        },
        Value("default"));
    EXPECT_EQ(attempts, 3);
    EXPECT_EQ(result.text(), "default");
    EXPECT_EQ(error->tries.number(), 3);
}

TEST_F(RuntimeErrors, ASuccessfulRetryGivesTheOperationsResult) {
    int attempts = 0;
    auto error = makeError(gen::LOCK, 1, "LOCK");
    error->canRetry = true;
    answerWith([](const ErrorRef&) { return Value(true); });
    const Value result = tryOperation(
        error,
        [&]() -> std::optional<Value> {
            return ++attempts == 2 ? std::optional<Value>(Value(42)) : std::nullopt;
        },
        NIL);
    EXPECT_EQ(result.number(), 42);
}

TEST_F(RuntimeErrors, ABreakLeavesTheOperationForTheRecoveryBranch) {
    answerWith([](const ErrorRef& e) -> Value { BREAK(Value(e)); });
    Value received;
    bool after = false;
    guarded(
        [&] {
            Value("x") + NIL;
            after = true;
        },
        [&](const Value& v) { received = v; });
    EXPECT_FALSE(after);
    ASSERT_TRUE(received.isObject());
    EXPECT_EQ(received.object()->className(), "Error");
}

TEST_F(RuntimeErrors, TheErrorBlockIsALevelOfItsOwnAboveTheFailedProcedure) {
    answerWith([](const ErrorRef&) { return Value(0); });
    {
        Frame outer{"MAIN"};
        Frame inner{"KOPIEREN"};
        Value(1) / Value(0);
    }
    EXPECT_EQ(stack, (std::vector<std::string>{"(B)TEST@0001", "KOPIEREN", "MAIN"}));
}

TEST_F(RuntimeErrors, ProcedureLinesAreTheLinesOfTheCalls) {
    int callLine = 0;
    int seenLine = 0;
    const auto callee = [&](Loc loc = Loc::current()) {
        Frame frame{"CALLEE", loc};
        seenLine = PROCLINE(1);
    };
    Frame outer{"CALLER"};
    callLine = __LINE__ + 1;
    callee();
    EXPECT_EQ(seenLine, callLine);
    EXPECT_EQ(PROCNAME(1), "");
    EXPECT_EQ(PROCLINE(5), 0);
}

TEST_F(RuntimeErrors, MemberNamesIgnoreLetterCase) {
    auto error = makeError(gen::ARGUMENT, 1, "+");
    error->fileName = "a.txt";
    EXPECT_EQ(error->get("filename").text(), "a.txt");
    EXPECT_EQ(error->get("GENCODE").number(), gen::ARGUMENT);
    error->set("Cargo", Value("c"));
    EXPECT_EQ(error->cargo.text(), "c");
}

TEST_F(RuntimeErrors, NoBlockEndsTheProgramWithAPlainMessageAndExitCode1) {
    ERRORBLOCK(NIL);
    EXPECT_THROW(Value("a") + NIL, QuitSignal);
    EXPECT_EQ(ERRORLEVEL(), 1);
    EXPECT_NE(platform->stdErr.find("Argumentfehler"), std::string::npos) << platform->stdErr;
}

TEST_F(RuntimeErrors, ErrorblockSwapsAndReturnsThePreviousBlock) {
    const Value first(makeBlock("(B)A@0000", [](const std::vector<Value>&) { return NIL; }));
    const Value second(makeBlock("(B)B@0000", [](const std::vector<Value>&) { return NIL; }));
    ERRORBLOCK(first);
    EXPECT_TRUE(exactlyEqual(ERRORBLOCK(second), first));
    EXPECT_TRUE(exactlyEqual(ERRORBLOCK(), second));
}

} // namespace
