#include "runtime/posix/os_errors.hpp"

#include <cerrno>
#include <cstring>
#include <utility>

namespace rt::posix {

int windowsCodeFromErrno(int errnoValue) {
    switch (errnoValue) {
    case 0:
        return 0;
    case ENOENT:
        return wincode::fileNotFound;
    case ENOTDIR:
        return wincode::pathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
        return wincode::accessDenied;
    case EROFS:
        return wincode::writeProtect;
    case EMFILE:
    case ENFILE:
        return wincode::tooManyOpenFiles;
    case EBADF:
        return wincode::invalidHandle;
    case ENOMEM:
        return wincode::notEnoughMemory;
    case EWOULDBLOCK:
    case EBUSY:
    case ETXTBSY:
        return wincode::sharingViolation;
    case EEXIST:
        return wincode::alreadyExists;
    case EINVAL:
        return wincode::invalidParameter;
    case ENOSPC:
    case EDQUOT:
        return wincode::diskFull;
    case ENAMETOOLONG:
        return wincode::filenameTooLong;
    default:
        return wincode::errnoFlag | errnoValue;
    }
}

namespace {

constexpr std::pair<int, const char*> windowsTexts[] = {
    {0, "Der Vorgang wurde erfolgreich beendet."},
    {1, "Unzulässige Funktion."},
    {wincode::fileNotFound, "Das System kann die angegebene Datei nicht finden."},
    {wincode::pathNotFound, "Das System kann den angegebenen Pfad nicht finden."},
    {wincode::tooManyOpenFiles, "Das System kann die Datei nicht öffnen."},
    {wincode::accessDenied, "Zugriff verweigert"},
    {wincode::invalidHandle, "Das Handle ist ungültig."},
    {wincode::notEnoughMemory,
     "Nicht genügend Speicher verfügbar, um diesen Befehl zu verarbeiten."},
    {15, "Das System kann das angegebene Laufwerk nicht finden."},
    {wincode::writeProtect, "Der Datenträger ist schreibgeschützt."},
    {wincode::sharingViolation, "Der Prozess kann nicht auf die Datei zugreifen, da sie von "
                                "einem anderen Prozess verwendet wird."},
    {wincode::lockViolation, "Der Prozess kann nicht auf die Datei zugreifen, da ein anderer "
                             "Prozess einen Teil der Datei gesperrt hat."},
    {wincode::fileExists, "Die Datei ist vorhanden."},
    {wincode::invalidParameter, "Falscher Parameter."},
    {wincode::diskFull, "Auf dem Datenträger ist nicht genügend Speicherplatz vorhanden."},
    {wincode::invalidName, "Die Syntax für den Dateinamen, Verzeichnisnamen oder die "
                           "Datenträgerbezeichnung ist falsch."},
    {wincode::alreadyExists,
     "Eine Datei kann nicht erstellt werden, wenn sie bereits vorhanden ist."},
    {wincode::filenameTooLong, "Der Dateiname oder die Erweiterung ist zu lang."},
    {wincode::directoryName, "Der Verzeichnisname ist ungültig."},
};

// strerror_r comes in two kinds: the GNU one returns the text (possibly a static
// one), the POSIX one fills the buffer and returns 0.
[[maybe_unused]] std::string strerrorText(const char* result, const char*) {
    return result != nullptr ? result : "";
}
[[maybe_unused]] std::string strerrorText(int result, const char* buffer) {
    return result == 0 ? buffer : "";
}

} // namespace

std::string windowsErrorText(int code) {
    for (const auto& [number, text] : windowsTexts) {
        if (number == code) {
            return text;
        }
    }
    if (code > wincode::errnoFlag && code < 2 * wincode::errnoFlag) {
        const int errnoValue = code & ~wincode::errnoFlag;
        char buffer[256] = {};
        const std::string text =
            strerrorText(strerror_r(errnoValue, buffer, sizeof buffer), buffer);
        if (!text.empty()) {
            return text;
        }
    }
    return "Fehler " + std::to_string(code);
}

} // namespace rt::posix
