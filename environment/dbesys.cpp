// DBESYS: fixes the date format and loads the database engines at start-up. Every
// engine that does not load and every composite engine that cannot be built costs one
// message box; none of them stops the start-up.
#include "app/procedures.hpp"
#include "runtime/runtime.hpp"

#include <string>

using namespace rt;

namespace {

struct DbeSysConstants {
    std::string notLoaded;  // " Database-Engine nicht geladen"
    std::string notBuilt;   // " Database-Engine;konnte nicht erzeugt werden"
    std::string ok;         // the one button of the messages
    std::string longDates;  // date format with four-digit years
    std::string shortDates; // date format with two-digit years
};
DbeSysConstants constants;

} // namespace

void prepareDbeSysConstants() {
    constants.notLoaded = text(" Database-Engine nicht geladen");
    constants.notBuilt = text(" Database-Engine;konnte nicht erzeugt werden");
    constants.ok = text("OK");
    constants.longDates = text("dd.mm.yyyy");
    constants.shortDates = text("dd.mm.yy");
}

void DBESYS() {
    Frame frame{"DBESYS"};
    // Engine name and hidden flag; the two hidden engines are the parts of the composite.
    const Value aDbe(
        makeArray({Value(makeArray({"DBFDBE", true})), Value(makeArray({"NTXDBE", true})),
                   Value(makeArray({"DELDBE", false})), Value(makeArray({"SDFDBE", false}))}));
    // Composite name, then the rows of aDbe of its data engine and its index engine.
    const Value aBuild(makeArray({Value(makeArray({"DBFNTX", 1, 2}))}));

    SET(setting::SETTING_41, 1);
    if (isOn(SET(setting::CENTURY))) {
        SET(setting::DATEFORMAT, constants.longDates);
    } else {
        SET(setting::DATEFORMAT, constants.shortDates);
    }

    for (int i = 1; i <= LEN(aDbe); ++i) {
        const Value aRow = element(aDbe, i);
        if (!DBELOAD(element(aRow, 1), element(aRow, 2))) {
            ALERT(element(aRow, 1).text() + constants.notLoaded, Value(makeArray({constants.ok})));
        }
    }

    for (int i = 1; i <= LEN(aBuild); ++i) {
        const Value aRow = element(aBuild, i);
        const Value cData = element(element(aDbe, static_cast<int>(element(aRow, 2).number())), 1);
        const Value cIndex = element(element(aDbe, static_cast<int>(element(aRow, 3).number())), 1);
        if (!DBEBUILD(element(aRow, 1), cData, cIndex)) {
            ALERT(element(aRow, 1).text() + constants.notBuilt, Value(makeArray({constants.ok})));
        }
    }
}
