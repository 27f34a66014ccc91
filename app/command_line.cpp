#include "app/command_line.hpp"

#include "runtime/application.hpp"

#include <algorithm>

namespace {

// The program's file name without its folder.
std::string fileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The job file's name, by MAIN's rule: a four-character extension (".exe") gives way
// to ".txt", a name without one gets ".txt" appended.
std::string jobFileName(const std::string& program) {
    const auto dot = program.size() >= 4 ? program.rfind('.') : std::string::npos;
    if (dot != std::string::npos && dot == program.size() - 4) {
        return program.substr(0, dot) + ".txt";
    }
    return program + ".txt";
}

} // namespace

std::optional<std::string> descriptionRequested(const std::vector<std::string>& arguments) {
    const bool asked = std::any_of(arguments.begin() + (arguments.empty() ? 0 : 1), arguments.end(),
                                   [](const std::string& argument) {
                                       return argument == "--help" || argument == "--version";
                                   });
    if (!asked) {
        return std::nullopt;
    }
    const std::string program = arguments.empty() ? "datensicherung" : fileName(arguments[0]);
    return program + " (Laufzeit " + rt::VERSION() + "." + rt::VERSION(3) +
           ")\n"
           "Datensicherung: liest die Auftragsdatei, wählt für jeden Auftrag den Zielordner\n"
           "(einen je Monat, je Wochentag, die Freitage nach der Woche des Monats), fragt vor\n"
           "dem Kopieren nach und kopiert mit ROBOCOPY.exe.\n"
           "\n"
           "Auftragsdatei: " +
           jobFileName(program) +
           " im aktuellen Ordner. Ein Auftrag sind vier Zeilen:\n"
           "  Quellordner\n"
           "  Zielordner (darunter die Monats- und Wochentagsordner)\n"
           "  Dateiauswahl, zum Beispiel *.*\n"
           "  weitere Angaben für ROBOCOPY.exe, zum Beispiel /E\n"
           "Mehrere Aufträge stehen in Abschnitten [1], [2], ... mit einem Kopf danach.\n"
           "\n"
           "Mehr: README.md im obersten Ordner des Projekts.\n";
}
