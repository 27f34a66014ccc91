// The error system's private procedures and texts: the standard handler, the dialog
// text and the error log. Only the error system calls them (and the tests).
#pragma once

#include "runtime/value.hpp"

#include <string>

// STANDARDEH(oError): the answer to one runtime error: the number 0, true (retry) or
// false (default outcome); or it leaves by a break with the record, or ends the program
// with exit code 1 after writing the error log.
rt::Value STANDARDEH(const rt::Value& oError, rt::Loc loc = rt::Loc::current());

// ERRORMESSAGE(oError): the dialog text of an error record, lines separated by ";".
std::string ERRORMESSAGE(const rt::Value& oError, rt::Loc loc = rt::Loc::current());

// ERRORLOG(oError, nStart): writes the error log file TVRERROR.LOG (or the first of
// TVRERROR.001 ... .999 that can be opened) and reports where it went; the call-stack
// listing starts above level nStart. Ends the program with exit code 1 when no name can
// be opened.
rt::Value ERRORLOG(const rt::Value& oError, int nStart, rt::Loc loc = rt::Loc::current());

// Handler activations that may be nested (an error raised while the handler runs goes
// to the handler again); the next one writes the log for its record and ends the
// program with exit code 1.
inline constexpr int MAX_HANDLER_NESTING = 3;

// The error system's texts in the runtime's encoding, built by prepareErrorSysConstants().
struct ErrorSysTexts {
    // Dialog options; "Ende mit LOG-Datei" is also the question of the confirmation box.
    std::string cancel, endWithLog, retry, ignore;
    std::string title;        // "Telvaro Fehlermeldung"
    std::string osErrorLabel; // ";Betriebsystem Fehler : "
    std::string calledFrom;   // ";Aufgerufen von "
    // ERRORMESSAGE
    std::string error, warning; // "Fehler ", "Warnung "
    std::string description, file, operation, threadId;
    // ERRORLOG
    std::string logHeader;                 // "FEHLERPROTOKOLL von \""
    std::string logDate;                   // " Datum:"
    std::string versionLabel;              // "Telvaro Version     :"
    std::string systemLabel;               // "Betriebssystem      :"
    std::string logCalledFrom;             // "Aufgerufen von"
    std::string logWritten, logWrittenEnd; // "Fehlerprotokoll wurde in die Datei ", " geschrieben"
    std::string logImpossible; // "Datei für Fehlerprotokoll kann nicht geöffnet werden"
};
const ErrorSysTexts& errorSysTexts();
