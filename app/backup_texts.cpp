#include "app/backup_texts.hpp"

#include "app/procedures.hpp"
#include "runtime/text.hpp"

namespace {
BackupTexts texts;
} // namespace

const BackupTexts& backupTexts() {
    return texts;
}

void prepareBackupJobConstants() {
    using rt::text;
    texts.refusal = text("Es ist bereits ein SicherungsJob offen!") + rt::CHR(13) + rt::CHR(10) +
                    text("Bitte zuerst schließen, dann nochmal versuchen!");
    texts.confirmation = text("durchführen mit <JA>  -  abbrechen mit <NEIN>/<Esc>");
    texts.titleStart = text("Datensicherung von ");
    texts.towards = text(" nach ");
    texts.done = text(" erledigt.");
    texts.cancelled = text("Datensicherung vor dem Start abgebrochen!");
    texts.failed = text(" fehlgeschlagen! (Rückgabewert ");
    texts.notStarted = text(" fehlgeschlagen! (ROBOCOPY.exe konnte nicht gestartet werden)");
    texts.noTarget = text(" nicht gestartet: kein Zielordner angegeben!");
    texts.mixedLineEnds = text(" nicht gestartet: gemischte Zeilenenden im Auftrag!");
    texts.controlCharacter = text(" nicht gestartet: Steuerzeichen im Auftrag!");
    texts.emptyFirstLine = text(" nicht gestartet: erste Zeile des Auftrags ist leer!");
    texts.headerLine = text(" nicht gestartet: weiterer Text in der Kopfzeile des Abschnitts!");
    texts.cut = text(" nicht gestartet: Auftrag nach 3000 Bytes abgeschnitten!");
    const char* names[8] = {"Samstag",  "Sonntag",    "Montag",  "Dienstag",
                            "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
    for (int i = 0; i < 8; ++i) {
        texts.aWochentage[i] = text(names[i]);
    }
}
