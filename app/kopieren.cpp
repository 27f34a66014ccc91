// KOPIEREN: one backup job. Takes the job text apart, chooses the target subfolder by
// the month / weekday / Friday rotation, makes it when missing, asks, copies with
// ROBOCOPY.exe and reports.
#include "app/backup_texts.hpp"
#include "app/job_text.hpp"
#include "app/procedures.hpp"
#include "runtime/runtime.hpp"

using namespace rt;

namespace {

// The copy program's exit statuses 0 to 7 mean success (bit 8 and up: failures).
bool copySucceeded(int status) {
    return status >= 0 && status <= 7;
}

} // namespace

Value KOPIEREN(const Value& cText, Loc loc) {
    Frame frame{"KOPIEREN", loc};
    const BackupTexts& t = backupTexts();
    const std::string CRLF = CHR(13) + CHR(10);

    const auto aText = jobLines(cText.isText() ? cText.text() : std::string());

    // Weekday folder: today's name, or yesterday's while Ctrl is held.
    const bool ctrl = APPKEYSTATE(KEY_CTRL) == 1;
    const Date today = DATE();
    const int d = DOW(today);
    std::string cWochentag = t.aWochentage[ctrl ? d - 1 : d];
    if (cWochentag == "Freitag") {
        const double nWo = INT(DAY(today) / 7.0) + 1;
        cWochentag += ALLTRIM(STR(nWo));
    }
    std::string cZiel = "\\" + cWochentag;

    // Month folder: the year and the month before (January gives month 00).
    const std::string cMonat =
        SUBSTR(DTOS(today), 1, 4) + STRZERO(VAL(SUBSTR(DTOS(today), 5, 2)) - 1, 2, 0);

    // Line 2, a backslash and the month, joined left to right. A job text without line
    // ends has lines without values: the first join raises the runtime's argument error
    // (operands: the empty value and the backslash), and the error handling decides how
    // to go on.
    const Value monthFolder = traced(aText[1]) + Value("\\") + Value(cMonat);
    if (!monthFolder.isText()) {
        return true;
    }
    const std::string source = aText[0].text();
    const std::string root = aText[1].text();
    const std::string files = aText[2].text();
    const std::string arguments = aText[3].text();

    // A job file that mixes its line ends leaves a line end inside a line: the lines may
    // be shifted, so neither a folder is made nor anything copied.
    if (lineEndInLines(aText)) {
        MSGBOX(t.titleStart + source + "\\" + files + t.mixedLineEnds);
        return true;
    }

    // Without a target root folder the month folder would land at the top of the drive.
    if (ALLTRIM(root).empty()) {
        MSGBOX(t.titleStart + source + "\\" + files + t.noTarget);
        return true;
    }

    if (!FEXISTS(monthFolder.text(), "D")) {
        RUNSHELL(folderCommand(monthFolder.text()));
        cZiel = "\\" + cMonat;
    } else if (!FEXISTS(root + "\\" + cWochentag, "D")) {
        RUNSHELL(folderCommand(root + "\\" + cWochentag));
    }

    const std::string title =
        t.titleStart + source + "\\" + files + CRLF + t.towards + root + cZiel;
    const int answer =
        CONFIRMBOX(APPDESKTOP(), t.confirmation, title, mb::YESNOCANCEL, 48 + mb::DEFBUTTON3);
    if (answer == mb::IDYES) {
        const std::string cRCText = copyParameters(source, root + cZiel, files, arguments);
        const int status = RUNSHELL(cRCText, "ROBOCOPY.exe", false);
        const std::string job = t.titleStart + source + "\\" + files + t.towards + root + cZiel;
        if (copySucceeded(status)) {
            MSGBOX(job + t.done);
        } else if (status == -1) {
            MSGBOX(job + t.notStarted);
        } else {
            MSGBOX(job + t.failed + ALLTRIM(STR(status)) + ")");
        }
    } else {
        MSGBOX(t.cancelled);
    }
    return true;
}
