// One job text taken apart, and the command texts made from it.
#pragma once

#include "runtime/value.hpp"

#include <array>
#include <string>

// The four lines of a job text: source folder, target root folder, file selection,
// further arguments. The line end is CR LF where the text holds one, else CR, else LF.
// Without any line end the four lines stay empty values. A line with no line end after
// its start takes the rest of the text, and the lines after it are empty texts.
std::array<rt::Value, 4> jobLines(const std::string& cText);

// How many of the four lines end in a line end (0 to 4): fewer than four means the text
// stops inside its lines.
int endedLines(const std::string& cText);

// True when one of the lines still holds a CR or an LF: the job text mixes its line ends
// (CR LF between lines, a lone LF or CR inside one). Such a job is not run, since no one
// can tell which folder was meant, and a line end must never reach a command line.
bool lineEndInLines(const std::array<rt::Value, 4>& lines);

// True when one of the lines holds a control character other than a tab (NUL, ESC, DEL,
// ...): a NUL would cut a folder where it reaches the system, and no folder, selection
// or argument anyone writes holds one.
bool controlCharacterInLines(const std::array<rt::Value, 4>& lines);

// A line as a message may show it: control characters other than tab, CR and LF become
// "?", so that the text reaches the person whole.
std::string shownLine(const rt::Value& line);

// The command interpreter's parameters that make a folder: "/C MD " and the path, in
// double quotes when the path holds a blank, a tab or one of & | < > ^ ( ) and no quote,
// so that the interpreter makes that one folder and runs nothing else.
std::string folderCommand(const std::string& path);

// The same for removing one empty folder: "/C RD " and the path, quoted alike. RD
// without /S never removes a folder that holds anything.
std::string removeFolderCommand(const std::string& path);

// A folder for the copy program's command line: in double quotes, by the Windows
// command-line rules, when it holds a blank or a tab and no quote; unchanged otherwise.
std::string copyArgument(const std::string& folder);

// The copy program's parameter text: source folder, target folder, file selection and
// further arguments, separated by single blanks.
std::string copyParameters(const std::string& source, const std::string& target,
                           const std::string& files, const std::string& arguments);
