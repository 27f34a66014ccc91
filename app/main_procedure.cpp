// MAIN: reads the job file named after the program and runs its jobs in order.
#include "app/backup_texts.hpp"
#include "app/job_list.hpp"
#include "app/job_text.hpp"
#include "app/procedures.hpp"
#include "runtime/encoding.hpp"
#include "runtime/runtime.hpp"

using namespace rt;

namespace {

// The program's name with its extension (".exe") replaced by ".txt"; a name without
// an extension gets ".txt" appended.
std::string jobFileName(const std::string& appName) {
    const std::string tail = SUBSTR(appName, -4);
    const bool hasExtension = LEN(appName) > 4 && SUBSTR(tail, 1, 1) == "." &&
                              tail.find_first_of("./\\", 1) == std::string::npos;
    return (hasExtension ? SUBSTR(appName, 1, LEN(appName) - 4) : appName) + ".txt";
}

} // namespace

void MAIN() {
    Frame frame{"MAIN"};
    const std::string cJobFile = jobFileName(APPNAME());

    // The exclusive open is a test only: another process using the job file means
    // another backup is being set up or running.
    int nHandle = FOPEN(cJobFile, fo::EXCLUSIVE);
    if (nHandle == -1) {
        MSGBOX(backupTexts().refusal);
        return;
    }
    FCLOSE(nHandle);

    nHandle = FOPEN(cJobFile, fo::READ);
    std::string cBuffer = SPACE(3000);
    const int nRead = FREAD(nHandle, cBuffer, 3000);
    // One byte more after a full buffer tells whether the limit cut the file: a job cut
    // inside its lines would run with a shortened line.
    std::string cMore = SPACE(1);
    const bool lCut = nRead == 3000 && FREAD(nHandle, cMore, 1) > 0;
    // The job file's text in the runtime's encoding: on Windows a file in the code page
    // or in UTF-8 with a byte-order mark gives the same job list as one in plain UTF-8.
    const std::string cText = ALLTRIM(textFromFile(cBuffer));
    FCLOSE(nHandle);

    for (const auto& job : jobTexts(cText, lCut)) {
        if (job.refusal == Refusal::none) {
            KOPIEREN(job.text);
        } else {
            refuseJob(jobLines(job.text), job.refusal);
        }
    }
}
