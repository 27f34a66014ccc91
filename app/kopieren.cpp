// KOPIEREN: one backup job. Takes the job text apart, chooses the target subfolder by
// the month / weekday / Friday rotation, makes it when missing, asks, copies with
// ROBOCOPY.exe and reports.
#include "app/backup_texts.hpp"
#include "app/job_refusal.hpp"
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

    // Lines that may play a role nobody gave them (shifted, cut by a control character,
    // no target) make no folder and copy nothing.
    const Refusal refusal = refusalOf(aText);
    if (refusal != Refusal::none) {
        refuseJob(aText, refusal);
        return true;
    }

    // The month folder made by this run, and kept only by a copy that succeeds: an empty
    // one would send every later run of the month to the weekday folders. Made by this run
    // means the folder command made it: one that another run made meanwhile is not ours.
    bool lMonatNeu = false;
    if (!FEXISTS(monthFolder.text(), "D")) {
        lMonatNeu = RUNSHELL(folderCommand(monthFolder.text())) == 0;
        cZiel = "\\" + cMonat;
    } else if (!FEXISTS(root + "\\" + cWochentag, "D")) {
        RUNSHELL(folderCommand(root + "\\" + cWochentag));
    }

    const std::string title =
        t.titleStart + source + "\\" + files + CRLF + t.towards + root + cZiel;
    const int answer =
        CONFIRMBOX(APPDESKTOP(), t.confirmation, title, mb::YESNOCANCEL, 48 + mb::DEFBUTTON3);
    bool lErledigt = false;
    if (answer == mb::IDYES) {
        const std::string cRCText = copyParameters(source, root + cZiel, files, arguments);
        const int status = RUNSHELL(cRCText, "ROBOCOPY.exe", false);
        const std::string job = t.titleStart + source + "\\" + files + t.towards + root + cZiel;
        lErledigt = copySucceeded(status);
        if (lErledigt) {
            MSGBOX(job + t.done);
        } else if (status == -1) {
            MSGBOX(job + t.notStarted);
        } else {
            MSGBOX(job + t.failed + ALLTRIM(STR(status)) + ")");
        }
    } else {
        MSGBOX(t.cancelled);
    }

    // RD removes the folder only while it is empty: a failed copy that left files keeps it.
    if (lMonatNeu && !lErledigt) {
        RUNSHELL(removeFolderCommand(monthFolder.text()));
    }
    return true;
}
