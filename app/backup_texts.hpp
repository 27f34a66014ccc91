// The texts the backup job shows, in the runtime's encoding.
#pragma once

#include <string>

struct BackupTexts {
    std::string refusal;       // job file in use (two lines, CR LF between)
    std::string confirmation;  // question of the confirmation box
    std::string titleStart;    // "Datensicherung von "
    std::string towards;       // " nach "
    std::string done;          // " erledigt."
    std::string cancelled;     // cancelled at the confirmation
    std::string failed;        // " fehlgeschlagen! (Rückgabewert "
    std::string notStarted;    // " fehlgeschlagen! (ROBOCOPY.exe konnte nicht gestartet werden)"
    std::string noTarget;      // the job names no target root folder
    std::string mixedLineEnds; // a line of the job still holds a line end
    std::string aWochentage[8];
};

// Available once prepareBackupJobConstants() has run.
const BackupTexts& backupTexts();
