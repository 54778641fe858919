// The commands that create and describe a database file.

#include "app/CliCommands.h"
#include "core/AppContext.h"
#include "core/Messages.h"
#include "core/Utf8.h"
#include "db/BaseDataFill.h"
#include "db/DatabaseChoice.h"
#include "db/DatabaseTransfer.h"
#include "db/InitFiles.h"
#include "db/OpenDatabase.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "db/SchemaVersion.h"
#include "db/WorkDatabase.h"
#include "model/ProgramUnits.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

namespace {

// The German reason a database file cannot serve, "" when it can: checked on a read-only
// connection, so that a damaged or foreign file is never written.
std::string UnusableReason(const std::string& path, CliAccess access, std::string& warning)
{
    OpenOptions readOnly;
    readOnly.ReadOnly = true;
    std::unique_ptr<Database> db;
    try {
        db = OpenDatabase(path, readOnly);
    } catch (const DbError& error) {
        if (error.Number() == dberr::kNotADatabase || error.Number() == 3049)
            return LoadText(501) + "Pfannola" + LoadText(502);
        return error.Description();
    }
    std::string version;
    try {
        version = DatabaseVersionText(*db);
    } catch (const DbError&) {
        return LoadText(501) + "Pfannola" + LoadText(502);
    }
    if (access == CliAccess::AnyVersion)
        return {};
    const std::string program = ProgramVersionText();
    if (version < program)
        return "Die Datenbank hat den Stand " + version + ", dieses Programm arbeitet mit dem Stand " +
               program + ". Bitte zuerst mit \"pfannola-cli --db DATEI upgrade\" aktualisieren.";
    if (version > program)
        warning = LoadText(507) + program + LoadText(508) + version + LoadText(509);
    try {
        std::vector<std::string> present = db->TableNames();
        for (std::string& name : present)
            name = ToUpper(name);
        for (const TableDef& table : SchemaTables())
            if (std::find(present.begin(), present.end(), ToUpper(table.Name)) == present.end())
                return "Die Datenbank ist beschädigt: die Tabelle " + table.Name + " fehlt.";
    } catch (const DbError&) {
        return LoadText(501) + "Pfannola" + LoadText(502);
    }
    return {};
}

// Whether the other commands would open the file writable: it carries a write permission bit
// (honoured even for root), and the file and its folder (for the journal) can be written.
bool CanWrite(const std::string& path)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0 || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return ::access(path.c_str(), W_OK) == 0 && ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
}

} // namespace

Database* OpenCliDatabase(CliCall& call, CliAccess access)
{
    ConnectionState& conn = Connection();
    CloseCliDatabase();
    const std::string shown = DatabaseDisplayName(call.Database);
    const std::string cannotOpen = "Die Datenbank \"" + shown + "\" kann nicht geöffnet werden: ";
    std::error_code ec;
    const bool server = IsServerConnect(call.Database);
    if (!server && !std::filesystem::exists(call.Database, ec)) {
        call.Err << "Die Datenbank \"" + shown + "\" wurde nicht gefunden.\n";
        return nullptr;
    }
    if (access != CliAccess::Inspect) {
        std::string warning;
        const std::string reason = UnusableReason(call.Database, access, warning);
        if (!reason.empty()) {
            call.Err << cannotOpen << reason << "\n";
            return nullptr;
        }
        if (!warning.empty())
            call.Err << warning << "\n";
    }
    try {
        conn.DbType = server ? 1 : 0;
        conn.DbTypeText = server ? "ODBC" : "ACCESS";
        conn.DbPath = call.Database;
        if (access == CliAccess::Inspect) {
            OpenOptions readOnly;
            readOnly.ReadOnly = true;
            conn.WorkDb = OpenDatabase(call.Database, readOnly);
        } else {
            conn.WorkDb = OpenDatabaseFile(call.Database);
        }
        // As the desktop program's open does: a database made before foods or the lexicon were
        // shipped gets them now. A read-only file is left as it is; the upgrade does this itself.
        if (access == CliAccess::Use && conn.WorkDb->IsUpdatable()) {
            const BaseDataFill filled = FillEmptyTablesFromInit(*conn.WorkDb);
            if (filled.Foods > 0)
                call.Err << "Lebensmittel aus den Grunddaten ergänzt: " << filled.Foods << "\n";
            if (filled.Lexicon)
                call.Err << "Das Lexikon wurde mit den mitgelieferten Einträgen gefüllt.\n";
        }
        return conn.WorkDb.get();
    } catch (const DbError& error) {
        const bool foreign = error.Number() == dberr::kNotADatabase || error.Number() == 3049;
        call.Err << cannotOpen << (foreign ? LoadText(501) + "Pfannola" + LoadText(502) : error.Description())
                 << "\n";
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

void CliDatabase::Close() noexcept
{
    if (!m_db)
        return;
    m_db = nullptr;
    try {
        CloseCliDatabase();
    } catch (...) {
        // Closing gives up the handle whatever happens; nothing is left to undo.
    }
}

bool ReadVersionText(CliCall& call, Database& db, std::string& version)
{
    try {
        version = DatabaseVersionText(db);
        return true;
    } catch (const DbError&) {
        call.Err << "Die vorliegende Datenbank sieht nicht wie eine Pfannola-Datenbank aus !\n";
        return false;
    }
}

int CliInfo(CliCall& call)
{
    if (!ParseCliArgs(call, {}))
        return 2;
    CliDatabase db(call, CliAccess::Inspect);
    if (!db)
        return 1;
    std::string version;
    if (!ReadVersionText(call, *db, version))
        return 1;
    call.Out << "Datenbank: " << DatabaseDisplayName(call.Database) << "\n";
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
    const bool writable = IsServerConnect(call.Database) || CanWrite(call.Database);
    call.Out << "Nur lesen: " << (writable ? "nein" : "ja") << "\n";
    return 0;
}

namespace {

// Copies a whole database into a new one; a file target is removed again when the copy fails.
bool CopyInto(CliCall& call, const std::string& from, const std::string& to)
{
    const bool fileTarget = !IsServerConnect(to);
    std::error_code ec;
    if (fileTarget && std::filesystem::exists(to, ec)) {
        call.Err << "Die Datei \"" << to
                 << "\" ist bereits vorhanden; eine Kopie wird nur an einer freien Stelle angelegt.\n";
        return false;
    }
    try {
        OpenOptions readOnly;
        readOnly.ReadOnly = true;
        auto source = OpenDatabase(from, readOnly);
        OpenOptions create;
        create.Create = true;
        auto target = OpenDatabase(to, create);
        TransferDatabase(*source, *target);
        return true;
    } catch (const DbError& error) {
        call.Err << "Die Datenbank \"" << DatabaseDisplayName(from) << "\" konnte nicht nach \""
                 << DatabaseDisplayName(to) << "\" kopiert werden: " << error.Description() << "\n";
        if (fileTarget)
            std::filesystem::remove(to, ec);
        return false;
    }
}

} // namespace

int CliCopy(CliCall& call)
{
    std::vector<std::string> words;
    if (!ParseCliArgs(call, {}, [&](const std::string& word) {
            words.push_back(word);
            return words.size() <= 2;
        }))
        return 2;
    if (words.size() != 2) {
        call.Err << "Aufruf: pfannola-cli copy VON NACH\n";
        return 2;
    }
    std::string from = words[0];
    std::string to = words[1];
    for (std::string* path : {&from, &to}) {
        std::error_code ec;
        if (!IsServerConnect(*path))
            *path = std::filesystem::absolute(*path, ec).string();
    }
    if (!CopyInto(call, from, to))
        return 1;
    call.Out << "Datenbank kopiert: " << DatabaseDisplayName(to) << "\n";
    return 0;
}

int CliInit(CliCall& call)
{
    if (!ParseCliArgs(call, {}))
        return 2;
    std::error_code ec;
    if (IsServerConnect(call.Database)) {
        if (!CreateServerDatabase(call.Database)) {
            call.Err << "Die Datenbank \"" << DatabaseDisplayName(call.Database)
                     << "\" konnte nicht angelegt werden.\n";
            return 1;
        }
        call.Out << "Neue Datenbank angelegt: " << DatabaseDisplayName(call.Database) << "\n";
        return 0;
    }
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
    const bool created = CreateDatabaseFromInit();
    conn.DbPath.clear();
    CloseCliDatabase();
    if (!created || !std::filesystem::exists(call.Database, ec)) {
        call.Err << "Die Datenbank \"" << call.Database
                 << "\" konnte nicht angelegt werden; es ist keine Datei entstanden.\n";
        return 1;
    }
    call.Out << "Neue Datenbank angelegt: " << call.Database << "\n";
    return 0;
}

} // namespace pf
