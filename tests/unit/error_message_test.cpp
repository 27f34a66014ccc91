// ERRORMESSAGE: the dialog text of an error record, piece by piece.
#include "tests/support/error_fixture.hpp"

namespace {

using namespace rt;
using test::ErrorSystemTest;

struct Message {
    const char* name;
    std::function<void(ErrorRecord&)> change;
    std::string text;
};

class ErrorMessage : public ErrorSystemTest, public ::testing::WithParamInterface<Message> {};

TEST_P(ErrorMessage, Text) {
    const auto e = record([](ErrorRecord& r) {
        r.subSystem = "BASE";
        r.subCode = 7;
        r.severity = 2;
        r.description = "Argumentfehler";
        r.operation = "";
        r.fileName = "";
        r.thread = 1;
    });
    GetParam().change(*e);
    const std::string before = VAR2CHAR(e->cargo) + VAR2CHAR(e->args);
    EXPECT_EQ(ERRORMESSAGE(Value(e)), GetParam().text);
    EXPECT_EQ(VAR2CHAR(e->cargo) + VAR2CHAR(e->args), before) << "the record stays as it was";
}

const std::string base = "Fehler BASE/7;Beschreibung : Argumentfehler";
const std::string longMessage = "Der Datensatz 4711 der Tabelle KUNDEN ist von einem anderen "
                                "Arbeitsplatz gesperrt und kann nicht geschrieben werden";

INSTANTIATE_TEST_SUITE_P(
    Records, ErrorMessage,
    ::testing::Values(
        Message{"Plain", [](ErrorRecord&) {}, base + ";Thread ID : 1"},
        Message{"SeverityOneIsAWarning", [](ErrorRecord& r) { r.severity = 1; },
                "Warnung BASE/7;Beschreibung : Argumentfehler;Thread ID : 1"},
        Message{"SeverityZeroIsAWarning", [](ErrorRecord& r) { r.severity = 0; },
                "Warnung BASE/7;Beschreibung : Argumentfehler;Thread ID : 1"},
        Message{"SeverityThreeIsAnError", [](ErrorRecord& r) { r.severity = 3; },
                base + ";Thread ID : 1"},
        Message{"SeverityFourIsAnError", [](ErrorRecord& r) { r.severity = 4; },
                base + ";Thread ID : 1"},
        Message{"NoSubsystemNoSubCode",
                [](ErrorRecord& r) {
                    r.subSystem = NIL;
                    r.subCode = NIL;
                },
                "Fehler ????"
                "/????;Beschreibung : Argumentfehler;Thread ID : 1"},
        Message{"DescriptionNotText", [](ErrorRecord& r) { r.description = NIL; },
                "Fehler BASE/7;Thread ID : 1"},
        Message{"EmptyDescriptionKeepsItsLabel", [](ErrorRecord& r) { r.description = ""; },
                "Fehler BASE/7;Beschreibung : ;Thread ID : 1"},
        Message{"FileAndOperation",
                [](ErrorRecord& r) {
                    r.fileName = "TVRERROR.LOG";
                    r.operation = "/";
                },
                base + ";Datei : TVRERROR.LOG;Operation : /;Thread ID : 1"},
        Message{"SemicolonInsideStartsALine", [](ErrorRecord& r) { r.description = "eins;zwei"; },
                "Fehler BASE/7;Beschreibung : eins;zwei;Thread ID : 1"},
        Message{"ThreadNumber", [](ErrorRecord& r) { r.thread = 12; }, base + ";Thread ID : 12"},
        Message{"SessionArrayShowsItsMessage",
                [](ErrorRecord& r) {
                    r.cargo = Value(makeArray({NIL, Value(17), Value("Sitzung weg")}));
                },
                base + ";Thread ID : 1;Sitzung weg;"},
        Message{"LongSessionMessageWrappedAtFifty",
                [](ErrorRecord& r) {
                    r.cargo = Value(makeArray({Value("alt"), Value(17), Value(longMessage)}));
                },
                base + ";Thread ID : 1;Der Datensatz 4711 der Tabelle KUNDEN ist von;"
                       "einem anderen Arbeitsplatz gesperrt und kann nicht;geschrieben werden;"},
        Message{"TwoElementsAddNothing",
                [](ErrorRecord& r) {
                    r.cargo = Value(makeArray({Value(1), Value("x")}));
                },
                base + ";Thread ID : 1"},
        Message{"FourElementsAddNothing",
                [](ErrorRecord& r) {
                    r.cargo = Value(makeArray({Value(1), Value(2), Value("x"), Value(4)}));
                },
                base + ";Thread ID : 1"},
        Message{"TextCargoAddsNothing", [](ErrorRecord& r) { r.cargo = "abc"; },
                base + ";Thread ID : 1"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
