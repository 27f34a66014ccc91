// Jobs that are not run, and the message that says why.
#pragma once

#include "runtime/value.hpp"

#include <array>

// Why a job is not run. Each reason stands for lines that could play a role nobody gave
// them: a folder cut short or shifted into another line, a copy with a wrong target.
enum class Refusal {
    none,
    lineEndInLine,    // a line still holds a line end (mixed line ends)
    controlCharacter, // a line holds a NUL or another control character but the tab
    emptyFirstLine,   // the first line is empty: every line would take the next one's role
    noTarget,         // the target root folder is empty or blanks and tabs only
    headerLine,       // the section's header line holds more than "[n]", blanks and tabs
    cut,              // the job is cut off by the 3000-byte limit of the job file
};

// The reason the job with these lines must not run; none when it may. Lines without
// values (a job text without any line end) give none: the run raises its error then.
Refusal refusalOf(const std::array<rt::Value, 4>& aText);

// Shows "Datensicherung von <Quelle>\<Auswahl> nicht gestartet: <why>!".
void refuseJob(const std::array<rt::Value, 4>& aText, Refusal reason);
