#include "runtime/posix/command_interpreter.hpp"

#include "runtime/posix/make_folders.hpp"
#include "runtime/posix/paths.hpp"

#include <ostream>

namespace rt::posix {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view skipBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// "C:", "C:\\x", "c:x": a folder on a drive, which this system does not have. Taken as a
// path it would make a folder named "C:" in the current folder.
bool onADrive(std::string_view folder) {
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    return folder.size() >= 2 && isLetter(folder[0]) && folder[1] == ':';
}

// "\\\\server\\share": a folder on a network share, which this system reaches only
// through a mount. Taken as a path it would make "/server/share" at the top of the
// file system.
bool onANetworkShare(std::string_view folder) {
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    return folder.size() >= 2 && separator(folder[0]) && separator(folder[1]);
}

int notUnderstood(std::string_view parameters, std::ostream& err) {
    err << "Der Befehl \"" << parameters
        << "\" wird vom Befehlsinterpreter dieses Programms nicht verstanden.\n";
    err.flush();
    return 1;
}

int makeFolder(const std::string& folder, std::ostream& err) {
    switch (makeFolders(nativePath(folder))) {
    case FolderResult::made:
        return 0;
    case FolderResult::existed:
        err << "Ein Unterverzeichnis oder eine Datei mit dem Namen \"" << folder
            << "\" existiert bereits.\n";
        return 1;
    case FolderResult::failed:
        break;
    }
    err << "Das Verzeichnis \"" << folder << "\" konnte nicht erstellt werden.\n";
    return 1;
}

int removeFolder(const std::string& folder, std::ostream& err) {
    switch (removeEmptyFolder(nativePath(folder))) {
    case RemoveResult::removed:
        return 0;
    case RemoveResult::missing:
        err << "Das System kann die angegebene Datei nicht finden.\n";
        return 1;
    case RemoveResult::notEmpty:
        err << "Das Verzeichnis ist nicht leer.\n";
        return 1;
    case RemoveResult::failed:
        break;
    }
    err << "Das Verzeichnis \"" << folder << "\" konnte nicht entfernt werden.\n";
    return 1;
}

} // namespace

std::vector<std::string> commandWords(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && isBlank(c)) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

int runCommandInterpreter(std::string_view parameters, std::ostream& err) {
    std::string_view rest = skipBlanks(parameters);
    if (rest.size() < 2 || !equalsIgnoringCase(rest.substr(0, 2), "/c")) {
        return notUnderstood(parameters, err);
    }
    rest = skipBlanks(rest.substr(2));

    std::size_t commandEnd = 0;
    while (commandEnd < rest.size() && !isBlank(rest[commandEnd]) && rest[commandEnd] != '"') {
        ++commandEnd;
    }
    const std::string_view command = rest.substr(0, commandEnd);
    const bool make = equalsIgnoringCase(command, "md") || equalsIgnoringCase(command, "mkdir");
    const bool remove = equalsIgnoringCase(command, "rd") || equalsIgnoringCase(command, "rmdir");
    if (!make && !remove) {
        return notUnderstood(parameters, err);
    }

    const std::vector<std::string> folders = commandWords(rest.substr(commandEnd));
    if (folders.empty()) {
        err << "Die Syntax für den Dateinamen, Verzeichnisnamen oder die "
               "Datenträgerbezeichnung ist falsch.\n";
        err.flush();
        return 1;
    }
    // RD removes one empty folder each, never a tree: its switches (/S, /Q) are not taken.
    for (const std::string& folder : folders) {
        if (remove && (equalsIgnoringCase(folder, "/s") || equalsIgnoringCase(folder, "/q"))) {
            return notUnderstood(parameters, err);
        }
    }
    int result = 0;
    for (const std::string& folder : folders) {
        if (onADrive(folder)) {
            err << "Das System kann das angegebene Laufwerk nicht finden.\n";
            result = 1;
        } else if (onANetworkShare(folder)) {
            err << "Der Netzwerkpfad wurde nicht gefunden.\n";
            result = 1;
        } else if (make) {
            result |= makeFolder(folder, err);
        } else {
            result |= removeFolder(folder, err);
        }
    }
    err.flush();
    return result;
}

} // namespace rt::posix
