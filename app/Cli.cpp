#include "app/Cli.h"

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

const char* const kUsage =
    "Aufruf: pfannola-cli [--version] [--db DATEI] BEFEHL [SCHLÜSSEL=Wert ...]\n"
    "Befehle:\n"
    "  --version      zeigt die Programmversion\n"
    "  init           legt eine neue Datenbank an\n"
    "  info           zeigt Schema-Version und Anzahl der Rezepte, Kochbücher, Kategorien, Einheiten\n";

struct CliOptions
{
    bool Version = false;
    std::string Database;
    std::vector<std::string> Words; // command and its arguments
    std::vector<std::string> Overrides;
    bool Help = false;
};

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

// Count of a table's rows, or -1 when the table does not exist yet.
long CountRows(Database& db, const char* table)
{
    if (!db.TableExists(table))
        return -1;
    return static_cast<long>(db.Scalar(std::string("SELECT COUNT(*) FROM ") + table).AsLong());
}

int RunInfo(const std::string& path, std::ostream& out, std::ostream& err)
{
    std::unique_ptr<Database> db;
    try {
        db = OpenDatabaseFile(path);
    } catch (const DbError& error) {
        err << "Die Datenbank \"" << path << "\" kann nicht geöffnet werden: (#" << error.Number() << ") "
            << error.Description() << "\n";
        return 1;
    }
    std::string version;
    try {
        version = DatabaseVersionText(*db);
    } catch (const DbError&) {
        err << "Die vorliegende Datenbank sieht nicht wie eine Pfannola-Datenbank aus !\n";
        return 1;
    }
    out << "Datenbank: " << path << "\n";
    out << "Schema-Version: " << version << "\n";
    struct Count
    {
        const char* Label;
        const char* Table;
    };
    for (const Count& count : {Count{"Rezepte", "T_REZ_KOPF"}, Count{"Kochbücher", "T_BUCH"},
                               Count{"Kategorien", "T_CAT"}, Count{"Einheiten", "T_UNIT"}}) {
        const long n = CountRows(*db, count.Table);
        out << count.Label << ": " << (n < 0 ? std::string("-") : std::to_string(n)) << "\n";
    }
    out << "Nur lesen: " << (db->IsUpdatable() ? "nein" : "ja") << "\n";
    return 0;
}

int RunInit(const std::string& path, std::ostream& out, std::ostream& err)
{
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        err << "Die Datei \"" << path
            << "\" ist bereits vorhanden; eine neue Datenbank wird nur an einer freien Stelle angelegt.\n";
        return 1;
    }
    ConnectionState& conn = Connection();
    conn.DbType = 0;
    conn.DbTypeText = "ACCESS";
    conn.DbPath = path;
    const bool created = Hooks().CreateDatabaseFromInit && Hooks().CreateDatabaseFromInit();
    conn.DbPath.clear();
    if (!created || !std::filesystem::exists(path, ec)) {
        err << "Die Datenbank \"" << path << "\" konnte nicht angelegt werden.\n";
        return 1;
    }
    out << "Neue Datenbank angelegt: " << path << "\n";
    return 0;
}

// Commands that work on one database file.
int RunDatabaseCommand(const std::string& command, const std::string& database, std::ostream& out,
                       std::ostream& err)
{
    if (database.empty()) {
        err << "Für \"" << command << "\" wird eine Datenbank gebraucht: --db DATEI\n";
        return 2;
    }
    if (command == "init")
        return RunInit(database, out, err);
    return RunInfo(database, out, err);
}

} // namespace

int RunCli(const std::string& executablePath, const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err)
{
    CliOptions options;
    if (!ParseOptions(args, options, err))
        return 2;
    if (options.Help) {
        out << kUsage;
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
    try {
        InitialiseProgram({executablePath, JoinCommandLine(options.Overrides)}, nullptr);
        if (options.Version) {
            out << context.VersionText << "\n";
        } else if (options.Words.empty()) {
            err << kUsage;
            code = 2;
        } else if (options.Words[0] == "info" || options.Words[0] == "init") {
            code = RunDatabaseCommand(options.Words[0], database, out, err);
        } else {
            err << "Unbekannter Befehl: " << options.Words[0] << "\n" << kUsage;
            code = 2;
        }
    } catch (const ProcessExit& exit) {
        code = exit.Code;
    }
    RemoveTempDir();
    return code;
}

} // namespace pf
