// Operating-system error codes as the program sees them.
//
// The program's error codes are Windows error codes (2 file not found, 5 access
// denied, 32 sharing violation, ...), so the POSIX layer reports errno values
// translated into them. An errno without a Windows counterpart is reported with
// the application bit of Windows codes set (0x20000000 | errno) so that nothing
// is lost and it cannot be mistaken for a real Windows code.
#pragma once

#include <string>

namespace rt::posix {

namespace wincode {
inline constexpr int fileNotFound = 2, pathNotFound = 3, tooManyOpenFiles = 4, accessDenied = 5,
                     invalidHandle = 6, notEnoughMemory = 8, writeProtect = 19,
                     sharingViolation = 32, lockViolation = 33, fileExists = 80,
                     invalidParameter = 87, diskFull = 112, invalidName = 123, alreadyExists = 183,
                     filenameTooLong = 206, directoryName = 267;
inline constexpr int errnoFlag = 0x20000000;
} // namespace wincode

// The Windows code for an errno value.
int windowsCodeFromErrno(int errnoValue);

// A readable text for a code from windowsCodeFromErrno (or any Windows code):
// the German text Windows shows for the common codes, the system's text for a
// wrapped errno, otherwise "Fehler <n>".
std::string windowsErrorText(int code);

} // namespace rt::posix
