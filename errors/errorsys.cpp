// The error system's installation: ERRORSYS puts the standard error block in force, which
// hands every runtime error to STANDARDEH. Also the module's constant texts.
#include "app/procedures.hpp"
#include "errors/error_system.hpp"
#include "runtime/runtime.hpp"

namespace {

ErrorSysTexts& texts() {
    static ErrorSysTexts t;
    return t;
}

} // namespace

const ErrorSysTexts& errorSysTexts() {
    return texts();
}

void prepareErrorSysConstants() {
    using rt::text;
    ErrorSysTexts& t = texts();
    t.cancel = text("Abbrechen");
    t.endWithLog = text("Ende mit LOG-Datei");
    t.retry = text("Wiederholen");
    t.ignore = text("Ignorieren");
    t.title = text("Telvaro Fehlermeldung");
    t.osErrorLabel = text(";Betriebsystem Fehler : ");
    t.calledFrom = text(";Aufgerufen von ");
    t.error = text("Fehler ");
    t.warning = text("Warnung ");
    t.description = text(";Beschreibung : ");
    t.file = text(";Datei : ");
    t.operation = text(";Operation : ");
    t.threadId = text(";Thread ID : ");
    t.logHeader = text("FEHLERPROTOKOLL von \"");
    t.logDate = text(" Datum:");
    t.versionLabel = text("Telvaro Version     :");
    t.systemLabel = text("Betriebssystem      :");
    t.logCalledFrom = text("Aufgerufen von");
    t.logWritten = text("Fehlerprotokoll wurde in die Datei ");
    t.logWrittenEnd = text(" geschrieben");
    t.logImpossible = text("Datei für Fehlerprotokoll kann nicht geöffnet werden");
}

void ERRORSYS() {
    rt::Frame frame{"ERRORSYS"};
    // The standard error block: hands the record to STANDARDEH and gives back its answer.
    const rt::Value standardBlock(
        rt::makeBlock("(B)ERRORSYS@0000", [](const std::vector<rt::Value>& args) {
            return STANDARDEH(args.empty() ? rt::NIL : args[0]);
        }));
    // The block in force before is not kept: this one stays to the end of the program.
    rt::ERRORBLOCK(standardBlock);
}
