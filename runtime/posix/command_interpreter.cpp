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

int notUnderstood(std::string_view parameters, std::ostream& err) {
    err << "Der Befehl \"" << parameters
        << "\" wird vom Befehlsinterpreter dieses Programms nicht verstanden.\n";
    err.flush();
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
    if (!equalsIgnoringCase(command, "md") && !equalsIgnoringCase(command, "mkdir")) {
        return notUnderstood(parameters, err);
    }

    const std::vector<std::string> folders = commandWords(rest.substr(commandEnd));
    if (folders.empty()) {
        err << "Die Syntax für den Dateinamen, Verzeichnisnamen oder die "
               "Datenträgerbezeichnung ist falsch.\n";
        err.flush();
        return 1;
    }
    int result = 0;
    for (const std::string& folder : folders) {
        switch (makeFolders(nativePath(folder))) {
        case FolderResult::made:
            break;
        case FolderResult::existed:
            err << "Ein Unterverzeichnis oder eine Datei mit dem Namen \"" << folder
                << "\" existiert bereits.\n";
            result = 1;
            break;
        case FolderResult::failed:
            err << "Das Verzeichnis \"" << folder << "\" konnte nicht erstellt werden.\n";
            result = 1;
            break;
        }
    }
    err.flush();
    return result;
}

} // namespace rt::posix
