#include "app/Cli.h"

#include "app/CliCommands.h"
#include "app/CommandLine.h"
#include "app/ConsoleInteraction.h"
#include "app/Startup.h"
#include "core/AppContext.h"
#include "core/ProcessExit.h"
#include "db/Recordset.h"
#include "db/SchemaVersion.h"
#include "db/WorkDatabase.h"

#include <filesystem>
#include <ostream>

namespace pf {

namespace {

std::string Usage()
{
    std::string usage =
        "Aufruf: pfannola-cli [--version] [--db DATEI] BEFEHL [ARGUMENTE] [SCHLÜSSEL=Wert ...]\n"
        "Befehle:\n";
    for (const CliCommand& command : CliCommands()) {
        std::string name = command.Name;
        usage +=
            "  " + name + std::string(name.size() < 14 ? 14 - name.size() : 1, ' ') + command.Help + "\n";
    }
    return usage;
}

struct CliOptions
{
    bool Version = false;
    std::string Database;
    std::vector<std::string> Words; // command and its arguments
    std::vector<std::string> Overrides;
    bool Help = false;
};

int RunCommand(const std::vector<std::string>& words, const std::string& database, std::ostream& out,
               std::ostream& err)
{
    for (const CliCommand& command : CliCommands()) {
        if (words[0] != command.Name)
            continue;
        if (command.NeedsDatabase && database.empty()) {
            err << "Für \"" << command.Name << "\" wird eine Datenbank gebraucht: --db DATEI\n";
            return 2;
        }
        CliCall call{database, std::vector<std::string>(words.begin() + 1, words.end()), out, err};
        return command.Run(call);
    }
    err << "Unbekannter Befehl: " << words[0] << "\n" << Usage();
    return 2;
}

bool ParseOptions(const std::vector<std::string>& args, CliOptions& options, std::ostream& err)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--version") {
            options.Version = true;
        } else if (arg == "--help" || arg == "-h") {
            options.Help = true;
        } else if (arg == "--db") {
            if (i + 1 >= args.size()) {
                err << "Nach --db fehlt der Name der Datenbank-Datei.\n";
                return false;
            }
            options.Database = args[++i];
        } else if (arg.rfind("--", 0) == 0 && !options.Words.empty()) {
            // Options after the command belong to the command.
            options.Words.push_back(arg);
        } else if (arg.rfind("--", 0) == 0) {
            err << "Unbekannte Option: " << arg << "\n";
            return false;
        } else if (arg.find('=') != std::string::npos && arg.find('=') > 0 && options.Words.empty()) {
            options.Overrides.push_back(arg);
        } else if (arg.find('=') != std::string::npos && arg.find('=') > 0 && arg.find('/') > arg.find('=')) {
            options.Overrides.push_back(arg);
        } else {
            options.Words.push_back(arg);
        }
    }
    return true;
}

} // namespace

const std::vector<CliCommand>& CliCommands()
{
    static const std::vector<CliCommand> commands = {
        {"init", true, CliInit, "legt eine neue Datenbank an"},
        {"upgrade", true, CliUpgrade,
         "bringt die Datenbank auf den Schema-Stand des Programms (mit Kopie .BAK)"},
        {"info", true, CliInfo,
         "zeigt Schema-Version und Anzahl der Rezepte, Kochbücher, Kategorien, Einheiten"},
        {"backup", true, CliBackup, "ORDNER: sichert die Datenbank als ZIP-Archiv in den Ordner"},
        {"restore", true, CliRestore,
         "SICHERUNG: lädt eine Sicherung (ZIP oder .MDB) zurück, der alte Stand bleibt als .BAK"},
        {"show", true, CliShow, "ID [--servings N]: zeigt ein Rezept als Text, auf Wunsch umgerechnet"},
        {"import", true, CliImport, "[--cookbook N] DATEI ...: importiert Rezeptdateien"},
        {"export", true, CliExport,
         "--format mm|rezkonv|mnx|html|rtf|csv [--ids LISTE] [--servings N] --out PFAD: exportiert Rezepte"},
        {"search", true, CliSearch, "[--mode N] TEXT: sucht Rezepte und zeigt ID und Titel"},
    };
    return commands;
}

int RunCli(const std::string& executablePath, const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err)
{
    CliOptions options;
    if (!ParseOptions(args, options, err))
        return 2;
    if (options.Help) {
        out << Usage();
        return 0;
    }

    AppContext context;
    ScopedAppContext installed(context);
    ConsoleInteraction console;
    context.UI = &console;
    // A relative database path means the current folder, also after the start moved into the
    // program folder.
    std::string database = options.Database;
    if (!database.empty()) {
        std::error_code ec;
        auto absolute = std::filesystem::absolute(database, ec);
        if (!ec)
            database = absolute.string();
    }
    int code = 0;
    // File names on the command line are meant from the folder the command was typed in; the
    // start moves into the program folder, so the command goes back before it runs.
    std::error_code cwdError;
    const std::filesystem::path workingDir = std::filesystem::current_path(cwdError);
    try {
        InitialiseProgram({executablePath, JoinCommandLine(options.Overrides)}, nullptr);
        if (!cwdError)
            std::filesystem::current_path(workingDir, cwdError);
        if (options.Version) {
            out << context.VersionText << "\n";
        } else if (options.Words.empty()) {
            err << Usage();
            code = 2;
        } else {
            code = RunCommand(options.Words, database, out, err);
        }
    } catch (const ProcessExit& exit) {
        code = exit.Code;
    }
    RemoveTempDir();
    return code;
}

} // namespace pf
