// The commands that create and describe a database file.

#include "app/CliCommands.h"
#include "db/DatabaseChoice.h"
#include "db/Recordset.h"
#include "db/SchemaVersion.h"
#include "db/WorkDatabase.h"
#include "model/ProgramUnits.h"

#include <filesystem>
#include <ostream>

namespace pf {

namespace {

// Count of a table's rows, or -1 when the table does not exist yet.
long CountRows(Database& db, const char* table)
{
    if (!db.TableExists(table))
        return -1;
    return static_cast<long>(db.Scalar(std::string("SELECT COUNT(*) FROM ") + table).AsLong());
}

} // namespace

Database* OpenCliDatabase(CliCall& call)
{
    ConnectionState& conn = Connection();
    CloseCliDatabase();
    try {
        conn.DbType = 0;
        conn.DbTypeText = "ACCESS";
        conn.DbPath = call.Database;
        conn.WorkDb = OpenDatabaseFile(call.Database);
        return conn.WorkDb.get();
    } catch (const DbError& error) {
        call.Err << "Die Datenbank \"" << call.Database << "\" kann nicht geöffnet werden: (#"
                 << error.Number() << ") " << error.Description() << "\n";
        conn.DbPath.clear();
        return nullptr;
    }
}

void CloseCliDatabase()
{
    // The program's unit lists and recipe caches belong to the database that closes.
    ResetProgramData();
    CloseWorkDatabase();
}

int CliInfo(CliCall& call)
{
    Database* db = OpenCliDatabase(call);
    if (!db)
        return 1;
    std::string version;
    try {
        version = DatabaseVersionText(*db);
    } catch (const DbError&) {
        call.Err << "Die vorliegende Datenbank sieht nicht wie eine Pfannola-Datenbank aus !\n";
        CloseCliDatabase();
        return 1;
    }
    call.Out << "Datenbank: " << call.Database << "\n";
    call.Out << "Schema-Version: " << version << "\n";
    struct Count
    {
        const char* Label;
        const char* Table;
    };
    for (const Count& count : {Count{"Rezepte", "T_REZ_KOPF"}, Count{"Kochbücher", "T_BUCH"},
                               Count{"Kategorien", "T_CAT"}, Count{"Einheiten", "T_UNIT"}}) {
        const long n = CountRows(*db, count.Table);
        call.Out << count.Label << ": " << (n < 0 ? std::string("-") : std::to_string(n)) << "\n";
    }
    call.Out << "Nur lesen: " << (db->IsUpdatable() ? "nein" : "ja") << "\n";
    CloseCliDatabase();
    return 0;
}

int CliInit(CliCall& call)
{
    std::error_code ec;
    if (std::filesystem::exists(call.Database, ec)) {
        call.Err
            << "Die Datei \"" << call.Database
            << "\" ist bereits vorhanden; eine neue Datenbank wird nur an einer freien Stelle angelegt.\n";
        return 1;
    }
    ConnectionState& conn = Connection();
    conn.DbType = 0;
    conn.DbTypeText = "ACCESS";
    conn.DbPath = call.Database;
    const bool created = Hooks().CreateDatabaseFromInit && Hooks().CreateDatabaseFromInit();
    conn.DbPath.clear();
    CloseCliDatabase();
    if (!created || !std::filesystem::exists(call.Database, ec)) {
        call.Err << "Die Datenbank \"" << call.Database << "\" konnte nicht angelegt werden.\n";
        return 1;
    }
    call.Out << "Neue Datenbank angelegt: " << call.Database << "\n";
    return 0;
}

} // namespace pf
