#include "app/job_refusal.hpp"

#include "app/backup_texts.hpp"
#include "app/job_text.hpp"
#include "runtime/runtime.hpp"

using namespace rt;

namespace {

bool blanksOnly(const Value& line) {
    return line.text().find_first_not_of(" \t") == std::string::npos;
}

const std::string& why(Refusal reason) {
    const BackupTexts& t = backupTexts();
    switch (reason) {
    case Refusal::lineEndInLine:
        return t.mixedLineEnds;
    case Refusal::controlCharacter:
        return t.controlCharacter;
    case Refusal::emptyFirstLine:
        return t.emptyFirstLine;
    case Refusal::noTarget:
        return t.noTarget;
    case Refusal::headerLine:
        return t.headerLine;
    case Refusal::cut:
    case Refusal::none:
        break;
    }
    return t.cut;
}

} // namespace

Refusal refusalOf(const std::array<Value, 4>& aText) {
    if (!aText[0].isText()) {
        return Refusal::none;
    }
    if (lineEndInLines(aText)) {
        return Refusal::lineEndInLine;
    }
    if (controlCharacterInLines(aText)) {
        return Refusal::controlCharacter;
    }
    if (aText[0].text().empty()) {
        return Refusal::emptyFirstLine;
    }
    // Without a target root folder the month folder would land at the top of the drive.
    if (blanksOnly(aText[1])) {
        return Refusal::noTarget;
    }
    return Refusal::none;
}

void refuseJob(const std::array<Value, 4>& aText, Refusal reason) {
    const BackupTexts& t = backupTexts();
    MSGBOX(t.titleStart + shownLine(aText[0]) + "\\" + shownLine(aText[2]) + why(reason));
}
