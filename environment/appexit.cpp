// APPEXIT: runs once when the program ends and writes out and closes every work area
// still in use. An area whose commit or close fails is rolled back and closed instead.
// Meanwhile every error only breaks out of the step it happened in; the error block that
// was in force comes back at the end.
#include "app/procedures.hpp"
#include "runtime/runtime.hpp"

using namespace rt;

void prepareAppExitConstants() {}

void APPEXIT() {
    Frame frame{"APPEXIT"};
    const Value bSaved =
        ERRORBLOCK(Value(makeBlock("(B)APPEXIT@0000", [](const std::vector<Value>& args) -> Value {
            BREAK(args.empty() ? NIL : args[0]);
        })));

    const Value aList = WORKSPACELIST();
    for (int n = 1; n <= LEN(aList); ++n) {
        const Value nArea = element(aList, n);
        guarded(
            [&] {
                inArea(nArea, [] {
                    DBCOMMIT();
                    return NIL;
                });
                inArea(nArea, [] {
                    DBCLOSEAREA();
                    return NIL;
                });
            },
            // Outside the guarded steps: an error here leaves APPEXIT with the breaking
            // block still in force.
            [&](const Value&) {
                inArea(nArea, [] {
                    DBRROLLBACK();
                    return NIL;
                });
                inArea(nArea, [] {
                    DBCLOSEAREA();
                    return NIL;
                });
            });
    }

    ERRORBLOCK(bSaved);
}
