// APPSYS: gives the program its application window. A graphical application gets a
// graphical console window of 25 rows by 80 columns, centred on the desktop; a text-mode
// application gets the root console. The window is registered with the runtime, which
// keeps it for the rest of the run.
#include "app/procedures.hpp"
#include "runtime/runtime.hpp"

#include <string>

using namespace rt;

namespace {

struct AppSysConstants {
    std::string fontName;
};
AppSysConstants constants;

// The text area of the window: 80 columns of 8 pixels, 25 rows of 16 pixels.
constexpr int nRows = 25;
constexpr int nColumns = 80;
constexpr int nFontWidth = 8;
constexpr int nFontHeight = 16;
constexpr double nCentreWidth = 640.0;
constexpr double nCentreHeight = 400.0;

} // namespace

void prepareAppSysConstants() {
    constants.fontName = text("Brisko Crt");
}

void APPSYS() {
    Frame frame{"APPSYS"};
    const int nAppType = APPTYPE();

    if (nAppType == 3) {
        const Value aSize = send(APPDESKTOP(), "currentSize");
        // Not truncated and not clamped: a small desktop gives negative coordinates.
        const Value aPos(makeArray({(element(aSize, 1) - Value(nCentreWidth)) / Value(2),
                                    (element(aSize, 2) - Value(nCentreHeight)) / Value(2)}));
        const Value oCrt = send(XBPCRT(), "New", {NIL, NIL, aPos, nRows, nColumns});
        assign(oCrt, "FontWidth", nFontWidth);
        assign(oCrt, "FontHeight", nFontHeight);
        assign(oCrt, "title", APPNAME());
        assign(oCrt, "FontName", constants.fontName);
        send(oCrt, "Create");
        send(oCrt, "PresSpace");
        SETAPPWINDOW(oCrt);
    } else if (nAppType == 2 || nAppType == 1) {
        const Value oCrt = send(ROOTCRT(), "New");
        assign(oCrt, "CreateBuffer", true);
        send(oCrt, "Create");
        SETAPPWINDOW(oCrt);
    }
}
