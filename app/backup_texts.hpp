// The texts the backup job shows, in the runtime's encoding.
#pragma once

#include <string>

struct BackupTexts {
    std::string refusal;          // job file in use (two lines, CR LF between)
    std::string confirmation;     // question of the confirmation box
    std::string titleStart;       // "Datensicherung von "
    std::string towards;          // " nach "
    std::string done;             // " erledigt."
    std::string cancelled;        // cancelled at the confirmation
    std::string failed;           // " fehlgeschlagen! (Rückgabewert "
    std::string notStarted;       // " fehlgeschlagen! (ROBOCOPY.exe konnte nicht gestartet werden)"
    std::string noTarget;         // the job names no target root folder
    std::string mixedLineEnds;    // a line of the job still holds a line end
    std::string controlCharacter; // a line holds a control character
    std::string emptyFirstLine;   // the job's first line is empty
    std::string headerLine;       // the section's header line holds more than "[n]"
    std::string cut;              // the job is cut off at byte 3000
    std::string aWochentage[8];
};

// Available once prepareBackupJobConstants() has run.
const BackupTexts& backupTexts();
