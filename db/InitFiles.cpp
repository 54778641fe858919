#include "db/InitFiles.h"

#include "core/AppContext.h"
#include "core/BusyPointer.h"
#include "core/Interaction.h"
#include "core/Messages.h"
#include "core/Utf8.h"
#include "db/ChangeStamp.h"
#include "db/DatabaseChoice.h"
#include "db/DatabaseCopy.h"
#include "db/DatabaseTransfer.h"
#include "db/OpenDatabase.h"
#include "db/Recordset.h"
#include "db/SchemaVersion.h"
#include "db/SearchIndex.h"
#include "db/clsZIP.h"

#include <algorithm>
#include <filesystem>

namespace pf {

namespace {

namespace fs = std::filesystem;

const char* const kCrLf = "\r\n";
const char* const kInitZip = "INIT.ZIP";
const char* const kInitMdb = "INIT.MDB";
const char* const kInitCsv = "INIT.CSV";
const char* const kInitAlx = "INIT.ALX";

BaseDataProgressFactory& ProgressFactory()
{
    static BaseDataProgressFactory factory;
    return factory;
}

// The extracted copies go when the creation ends, however it ends.
class InitFilesCleanup
{
public:
    InitFilesCleanup() = default;
    ~InitFilesCleanup() { DeleteInitFiles(); }
    InitFilesCleanup(const InitFilesCleanup&) = delete;
    InitFilesCleanup& operator=(const InitFilesCleanup&) = delete;
};

void CopyRows(Database& source, Database& target, const std::string& table)
{
    const std::vector<FieldDef> fields = source.Fields(table);
    std::string names;
    std::string marks;
    for (const FieldDef& field : fields) {
        names += (names.empty() ? "[" : ", [") + field.Name + "]";
        marks += marks.empty() ? "?" : ", ?";
    }
    const std::string insert = "INSERT INTO [" + table + "] (" + names + ") VALUES (" + marks + ")";
    auto rs = source.OpenRecordset("SELECT * FROM [" + table + "]");
    for (; !rs->Eof(); rs->MoveNext()) {
        std::vector<Value> values;
        for (int i = 0; i < static_cast<int>(fields.size()); ++i)
            values.push_back(rs->Field(i));
        target.Execute(insert, values);
    }
}

// Gives the new database its base cookbook when the base data did not bring it.
void EnsureBaseCookbook(Database& db)
{
    if (!db.TableExists("T_BUCH"))
        return;
    if (db.Scalar("SELECT COUNT(*) FROM T_BUCH WHERE ID=0").AsLong() > 0)
        return;
    db.Execute("INSERT INTO T_BUCH (ID, BuchTitel, BuchDatum) VALUES (?, ?, ?)",
               {Value(0), Value("Basiskochbuch"), Value(NowSerial())});
}

// Creates the structure, loads the base data and closes the database at path.
bool BuildDatabase(const std::string& path, const InitFilesState& files)
{
    if (!CreateDatabaseStructure(path, false))
        return false;
    ShowStatus(LoadText(625));
    if (!files.BaseData) {
        InformCritical("Die Basis-Daten \"" + std::string(kInitCsv) + "\" fehlen in \"" +
                       AppContext::Current().ShippedFile(kInitZip) +
                       "\". Ohne sie kann keine neue Datenbank erstellt werden.");
        return false;
    }
    try {
        auto db = Database::OpenSqlite(path);
        std::unique_ptr<BaseDataProgress> window;
        if (ProgressFactory())
            window = ProgressFactory()();
        DbTransaction transaction(*db);
        if (!ImportBaseData(*db, InitFilePath(kInitCsv), window.get()))
            return false;
        EnsureBaseCookbook(*db);
        transaction.Commit();
        window.reset();
        db->Close();
    } catch (const DbError& error) {
        InformCritical(LoadText(564) + ":" + kCrLf + error.JoinedDescription());
        return false;
    }
    return true;
}

} // namespace

std::string InitFilePath(const std::string& name)
{
    const std::string& dir = AppContext::Current().TempDir;
    if (dir.empty())
        return (fs::temp_directory_path() / name).string();
    return dir + name;
}

void DeleteInitFiles()
{
    std::error_code ignored;
    for (const char* name : {kInitMdb, kInitCsv, kInitAlx})
        RemoveDatabaseFile(InitFilePath(name));
}

InitFilesState ExtractInitFiles(bool onlyDatabase)
{
    InitFilesState state;
    DeleteInitFiles();
    const std::string zipPath = AppContext::Current().ShippedFile(kInitZip);
    std::error_code ec;
    if (!fs::exists(zipPath, ec))
        return state;
    state.ZipFound = true;
    ShowStatus(std::string(kInitZip) + " wird entpackt ...");

    clsZIP zip;
    if (zip.LoadZIPFile(zipPath)) {
        std::vector<std::string> wanted{kInitMdb};
        if (!onlyDatabase) {
            wanted.push_back(kInitCsv);
            wanted.push_back(kInitAlx);
        }
        std::vector<std::pair<int, std::string>> selected;
        zip.ZIPSelectAll(false);
        for (const std::string& name : wanted) {
            const int index = zip.FindEntry(name);
            if (index >= 0 && zip.ZIPSelect(index))
                selected.emplace_back(index, name);
        }
        const std::string folder = fs::path(InitFilePath(kInitMdb)).parent_path().string();
        fs::create_directories(folder, ec);
        if (!selected.empty() && zip.Expand(folder, false)) {
            // Entries may be stored in any case; the copies get the names the creation looks for.
            for (const auto& [index, name] : selected) {
                const std::string extracted = zip.ExpandedPath(index);
                const std::string wantedPath = InitFilePath(name);
                if (!extracted.empty() && extracted != wantedPath)
                    fs::rename(extracted, wantedPath, ec);
            }
        }
    }
    state.Database = fs::exists(InitFilePath(kInitMdb), ec);
    state.BaseData = fs::exists(InitFilePath(kInitCsv), ec);
    state.Lexicon = fs::exists(InitFilePath(kInitAlx), ec);
    return state;
}

bool CreateDatabaseStructure(const std::string& path, bool odbc)
{
    ShowStatus(LoadText(556));
    const std::string initPath = InitFilePath(kInitMdb);
    std::unique_ptr<Database> initial;
    try {
        std::error_code ec;
        if (!fs::exists(initPath, ec))
            throw DbError(dberr::kFileNotFound, "Datei nicht gefunden");
        initial = Database::OpenSqlite(initPath);
    } catch (const DbError&) {
        InformCritical(LoadText(557) + initPath + LoadText(558));
        return false;
    }
    if (!UpgradeDatabase(*initial, false))
        return false;
    if (odbc) {
        InformCritical(
            "Der Zugang zu einem Datenbank-Server ist in dieser Programmversion noch nicht verfügbar.");
        return false;
    }

    try {
        const std::vector<std::string> tables = initial->TableNames();
        std::error_code ec;
        const fs::path parent = fs::path(path).parent_path();
        if (!parent.empty())
            fs::create_directories(parent, ec);
        OpenOptions options;
        options.Create = true;
        auto target = Database::OpenSqlite(path, options);

        std::vector<std::string> present;
        for (const std::string& table : tables)
            if (target->TableExists(table))
                present.push_back(table);
        bool deleteData = false;
        if (!present.empty()) {
            const Answer answer = UI().Ask(LoadText(561) + "Pfannola" + LoadText(562) + kCrLf + LoadText(563),
                                           Buttons::YesNoCancel, Answer::Cancel, MsgIcon::Question,
                                           AppContext::Current().AppCaption);
            if (answer == Answer::Cancel)
                return false;
            deleteData = answer == Answer::Yes;
        }

        ShowStatus(LoadText(564));
        DbTransaction transaction(*target);
        for (const std::string& name : tables) {
            const bool exists = target->TableExists(name);
            if (exists && deleteData)
                target->DropTable(name);
            if (!exists || deleteData) {
                target->CreateTable(TableDef{name, initial->Fields(name), initial->Indexes(name)});
                if (EqualsNoCase(name, "T_VERSION"))
                    CopyRows(*initial, *target, name);
                continue;
            }
            // Kept without deleting its data: only what the table lacks is added.
            const std::vector<FieldDef> have = target->Fields(name);
            for (const FieldDef& field : initial->Fields(name)) {
                const bool found = std::any_of(have.begin(), have.end(), [&](const FieldDef& f) {
                    return EqualsNoCase(f.Name, field.Name);
                });
                if (!found)
                    target->AddColumn(name, field);
            }
        }
        CreateSearchIndex(*target);
        CreateChangeStamps(*target);
        transaction.Commit();
        target->Close();
    } catch (const DbError& error) {
        InformCritical(LoadText(564) + ":" + kCrLf + error.JoinedDescription());
        return false;
    }
    return true;
}

bool CreateDatabaseFromInit(bool askFirst)
{
    ConnectionState& conn = Connection();
    if (askFirst && UI().Ask(LoadText(623) + conn.DbPath + LoadText(624), Buttons::YesNo, Answer::Yes,
                             MsgIcon::Question, AppContext::Current().AppCaption) != Answer::Yes)
        return false;
    if (conn.DbType != 0) {
        InformCritical(
            "Auf dem Datenbank-Server (\"" + conn.DbPath +
            "\") legt das Programm keine neue Datenbank an. Eine neue Server-Datenbank entsteht mit "
            "\"pfannola-cli --db SERVER init\", eine vorhandene Datei kommt mit \"pfannola-cli copy "
            "DATEI SERVER\" auf den Server.");
        return false;
    }
    return CreateDatabaseFile(conn.DbPath);
}

bool CreateDatabaseFile(const std::string& target)
{
    BusyPointer busy;
    InitFilesCleanup cleanup;
    const InitFilesState files = ExtractInitFiles(false);

    // The database is built beside its place and moved there only when complete, so a failure
    // leaves neither a half-made new file nor a changed old one.
    const std::string work = target + ".$$$";
    RemoveDatabaseFile(work);
    std::error_code ec;
    bool ok = true;
    if (fs::exists(target, ec)) {
        try {
            CopyDatabaseFile(target, work);
        } catch (const DbError& error) {
            InformCritical(LoadText(564) + ":" + kCrLf + error.JoinedDescription());
            ok = false;
        }
    }
    ok = ok && BuildDatabase(work, files);
    if (ok) {
        fs::rename(work, target, ec);
        if (ec) {
            InformCritical(LoadText(564) + ":" + kCrLf + SystemErrorReason(ec));
            ok = false;
        }
    }
    RemoveDatabaseFile(work);
    ShowProgress(-1, -1, "");
    return ok;
}

bool CreateServerDatabase(const std::string& connect)
{
    const std::string& caption = AppContext::Current().AppCaption;
    const std::string shown = DatabaseDisplayName(connect);
    const std::string file = AppContext::Current().TempDir + "/server-init.MDB";
    struct RemoveFile
    {
        const std::string& Path;
        ~RemoveFile()
        {
            RemoveDatabaseFile(Path);
            ShowProgress(-1, -1, "");
        }
    } removeFile{file};
    try {
        OpenOptions create;
        create.Create = true;
        auto target = OpenDatabase(connect, create);
        const std::vector<std::string> existing = target->TableNames();
        if (!existing.empty() &&
            UI().Ask("Die Datenbank \"" + shown + "\" enthält schon " + std::to_string(existing.size()) +
                         " Tabellen. Sollen sie gelöscht und durch eine neue Datenbank aus den Grunddaten "
                         "ersetzt werden?",
                     Buttons::YesNo, Answer::No, MsgIcon::Question, caption) != Answer::Yes)
            return false;
        RemoveDatabaseFile(file);
        if (!CreateDatabaseFile(file))
            return false;
        OpenOptions readOnly;
        readOnly.ReadOnly = true;
        auto source = OpenDatabase(file, readOnly);
        BusyPointer busy;
        // The old tables go in the same transaction as the new ones come: a failure keeps them.
        DbTransaction transaction(*target);
        for (const std::string& table : existing)
            target->DropTable(table);
        TransferDatabase(*source, *target, [&](std::size_t done, std::size_t total, const std::string& table) {
            ShowProgress(static_cast<long>(total), static_cast<long>(done),
                         "Die Tabelle " + table + " wird auf den Server übertragen ...");
        });
        transaction.Commit();
    } catch (const DbError& error) {
        InformCritical("Die Datenbank \"" + shown + "\" konnte nicht angelegt werden: " + error.Description());
        return false;
    }
    return true;
}

void SetBaseDataProgressFactory(BaseDataProgressFactory factory)
{
    ProgressFactory() = std::move(factory);
}

} // namespace pf
