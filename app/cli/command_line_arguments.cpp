#include "app/cli/command_line_arguments.h"

#include "common/utf8_path.h"

namespace warenkai {
namespace {

CommandLineRequest UsageError(std::string problem) {
    CommandLineRequest request;
    request.kind = CommandLineRequest::Kind::UsageError;
    request.problem = std::move(problem);
    return request;
}

std::optional<CommandLineTransfer> TransferNamed(const std::string& word) {
    if (word == "articles") {
        return CommandLineTransfer::Articles;
    }
    if (word == "pictures") {
        return CommandLineTransfer::Pictures;
    }
    if (word == "orders") {
        return CommandLineTransfer::Orders;
    }
    return std::nullopt;
}

}  // namespace

CommandLineRequest ParseCommandLine(const std::vector<std::string>& arguments) {
    for (const auto& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            CommandLineRequest request;
            request.kind = CommandLineRequest::Kind::Help;
            return request;
        }
    }
    for (const auto& argument : arguments) {
        if (argument == "--version") {
            CommandLineRequest request;
            request.kind = CommandLineRequest::Kind::Version;
            return request;
        }
    }

    CommandLineRequest request;
    request.kind = CommandLineRequest::Kind::Run;
    bool haveTransfer = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--settings" || argument.starts_with("--settings=")) {
            std::string file;
            if (argument == "--settings") {
                if (i + 1 >= arguments.size()) {
                    return UsageError("Bei --settings fehlt die Einstellungsdatei.");
                }
                file = arguments[++i];
            } else {
                file = argument.substr(std::string_view("--settings=").size());
            }
            if (file.empty()) {
                return UsageError("Bei --settings fehlt die Einstellungsdatei.");
            }
            if (request.settingsFile) {
                return UsageError("--settings ist mehr als einmal angegeben.");
            }
            request.settingsFile = PathFromUtf8(file);
        } else if (argument == "--browser") {
            request.browser = true;
        } else if (argument.starts_with("-") && argument != "-") {
            return UsageError("Unbekannte Option: " + argument);
        } else if (const auto transfer = TransferNamed(argument)) {
            if (haveTransfer) {
                return UsageError("Es kann nur eine Übertragung auf einmal gestartet werden: " + argument);
            }
            haveTransfer = true;
            request.transfer = *transfer;
        } else {
            return UsageError("Unbekannter Befehl: " + argument);
        }
    }
    if (!haveTransfer) {
        return UsageError("Es fehlt die Übertragung (articles, pictures oder orders).");
    }
    return request;
}

std::string CommandLineUsage() {
    return "Aufruf: warenkai [articles | pictures | orders] [--settings DATEI] [--browser]\n"
           "       warenkai --help | --version\n"
           "\n"
           "Ohne Angaben öffnet sich das Programmfenster. Mit einer Übertragung läuft sie ohne\n"
           "Fenster bis zu ihrem Ende:\n"
           "  articles   Artikel und Artikelgruppen von Selectline zum Webshop übertragen\n"
           "  pictures   Bilder in den Webshop übertragen\n"
           "  orders     Kundenstamm und Bestellungen vom Webshop in Selectline übertragen\n"
           "\n"
           "Optionen:\n"
           "  --settings DATEI  die Einstellungen aus DATEI lesen statt aus Einstellungen.ini\n"
           "                    im Programmordner (die Datei wird nicht verändert)\n"
           "  --browser         die Seiten des Webshops im Webbrowser öffnen und nach jeder auf\n"
           "                    die Eingabetaste warten, statt sie selbst abzurufen\n"
           "  --help            diese Hilfe zeigen\n"
           "  --version         die Programmversion zeigen\n"
           "\n"
           "Statustexte und Meldungen erscheinen auf der Standardausgabe, die Zeilen der\n"
           "Fehlerliste auf der Standardfehlerausgabe, jede mit ihrer Ursache eingerückt\n"
           "darunter. Die letzte Zeile der Standardausgabe ist das Ergebnis in Zahlen. Jeder\n"
           "Lauf wird in Protokoll.txt im Programmordner festgehalten.\n"
           "\n"
           "Ohne --browser wartet das Programm auf jede Seite des Webshops höchstens 20 Sekunden\n"
           "auf die Verbindung (wie beim FTP-Server) und 10 Minuten auf die Antwort, denn der\n"
           "Webshop antwortet erst, wenn er eine Datei ganz eingelesen hat. Antwortet eine Seite\n"
           "nicht oder ist der Webshop nicht erreichbar, werden die übrigen Seiten des Laufs\n"
           "nicht mehr abgerufen, sondern als nicht abgerufen gemeldet.\n"
           "\n"
           "Strg+C (oder SIGTERM) hält die Übertragung an der nächsten sicheren Stelle an, ein\n"
           "zweites Strg+C beendet das Programm sofort.\n"
           "\n"
           "Rückgabewert: 0 ohne Fehler, 1 wenn die Fehlerliste Einträge hat, 2 wenn die\n"
           "Übertragung abgebrochen wurde oder nicht beginnen konnte oder der Aufruf falsch ist.\n";
}

}  // namespace warenkai
