#include "db/SchemaVersion.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Messages.h"
#include "core/ProcessExit.h"
#include "core/Utf8.h"
#include "db/DatabaseChoice.h"
#include "db/DatabaseCopy.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "db/SearchIndex.h"
#include "db/SqliteDatabase.h"
#include "db/UpgradeSteps.h"
#include "db/WorkDatabase.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>
#include <filesystem>

namespace pf {

namespace {

const char* const kOldestUpgradable = "000.50.073";
const char* const kEmptyVersion = "000.50.036";
const char* const kCrLf = "\r\n";

std::unique_ptr<UpgradeWindow>& InstalledWindow()
{
    static std::unique_ptr<UpgradeWindow> window;
    return window;
}

std::function<void(const std::string&)>& StepHook()
{
    static std::function<void(const std::string&)> hook;
    return hook;
}

const std::string& Caption()
{
    return AppContext::Current().AppCaption;
}

// A database file of this program (the server databases get neither copy nor compaction).
SqliteDatabase* AsFile(Database& db)
{
    return dynamic_cast<SqliteDatabase*>(&db);
}

// The text column of T_VERSION: "Description", in some databases "Desc".
std::string DescriptionColumn(Database& db)
{
    for (const FieldDef& field : db.Fields("T_VERSION"))
        if (EqualsNoCase(field.Name, "Desc"))
            return "[Desc]";
    return "Description";
}

void AddVersionRow(Database& db, const std::string& version, const std::string& description)
{
    // "002.00.126": first three, middle two and last three digits.
    const long major = std::stol(version.substr(0, 3));
    const long minor = std::stol(version.substr(4, 2));
    const long build = std::stol(version.substr(7, 3));
    db.Execute("INSERT INTO T_VERSION (Major, Minor, Build, [Date], " + DescriptionColumn(db) +
                   ") VALUES (?, ?, ?, ?, ?)",
               {major, minor, build, NowSerial(), description});
}

// The state of one upgrade: the question is asked at most once.
struct UpgradeSession
{
    bool Confirmed = false;
    bool Optimise = false;
};

UpgradeChoice AskWithoutWindow(const UpgradeQuestion& question)
{
    std::string text = "Die Datenbank \"" + question.DatabaseName + "\" hat den Stand " +
                       question.DatabaseVersion + ", das Programm den Stand " + question.ProgramVersion +
                       "." + kCrLf + "Soll die Datenbank jetzt auf den neuesten Stand gebracht werden?";
    if (!question.Odbc)
        text += std::string(" Vorher wird eine Sicherheitskopie (\"") + question.DatabaseName +
                ".BAK\") angelegt.";
    text += std::string(kCrLf) + kCrLf + "Ja: Datenbank aktualisieren" + kCrLf +
            "Nein: ohne Upgrade fortfahren" + kCrLf + "Abbrechen: Programm beenden";
    switch (UI().Ask(text, Buttons::YesNoCancel, Answer::Yes, MsgIcon::Question, Caption())) {
    case Answer::Yes:
        if (question.Odbc && !ConfirmOdbcUpgrade())
            return {0, false, false};
        return {1, !question.Odbc, false};
    case Answer::No:
        return {0, false, false};
    default:
        return {-1, false, false};
    }
}

// A consistent copy of the file beside it; a failure lets the user stop before anything changes.
void MakeSafetyCopy(Database& db)
{
    ShowProgress(0, 0, "Sicherheitskopie der Datenbankdatei wird erstellt...");
    const std::string target = db.Name() + ".BAK";
    std::string error;
    try {
        CopyDatabase(db, target);
    } catch (const DbError& e) {
        error = e.JoinedDescription();
    }
    std::error_code ec;
    if (error.empty() && !std::filesystem::exists(target, ec))
        error = "Die Datei \"" + target + "\" ist nicht vorhanden.";
    if (error.empty())
        return;
    if (UI().Ask(error + kCrLf +
                     "Es ist ein Fehler beim Erstellen der Sicherheitskopie aufgetreten. Soll der Upgrade "
                     "abgebrochen werden bis der Fehler behoben ist?",
                 Buttons::YesNo, Answer::Yes, MsgIcon::Critical, Caption()) == Answer::Yes)
        throw ProcessExit{1};
}

// Asked before every step; shows the question only the first time. False: use the database as it
// is, without this and the remaining steps.
bool ConfirmUpgrade(UpgradeSession& session, Database& db, const std::string& databaseVersion)
{
    if (!session.Confirmed) {
        UpgradeQuestion question;
        question.DatabaseVersion = databaseVersion;
        question.ProgramVersion = ProgramVersionText();
        question.DatabaseName = db.Name();
        question.Odbc = AsFile(db) == nullptr;
        question.History = VersionHistory(db);
        const UpgradeChoice choice =
            InstalledWindow() ? InstalledWindow()->UpdateQuestion(question) : AskWithoutWindow(question);
        if (choice.Result < 0)
            throw ProcessExit{1};
        if (choice.Result == 0)
            return false;
        session.Confirmed = true;
        session.Optimise = choice.Optimise;
        if (choice.Backup && !question.Odbc && db.IsUpdatable())
            MakeSafetyCopy(db);
        ShowProgress(0, 0, "Datenbank für den Upgrade vorbereiten...");
        ShowProgress(0, 0, LoadText(526));
    }
    if (!db.IsUpdatable()) {
        UI().Inform(LoadText(524) + db.Name() + kCrLf + "Pfannola" + LoadText(525), MsgIcon::Critical,
                    Caption());
        throw ProcessExit{1};
    }
    return true;
}

void ReportFailedStep(const std::string& step, const std::string& databaseVersion, const std::string& reason)
{
    UI().Inform("Beim Aktualisieren der Datenbank auf den Stand " + step +
                    " ist ein Fehler aufgetreten:" + kCrLf + reason + kCrLf + kCrLf +
                    "Die Änderungen dieses Schritts wurden zurückgenommen; die Datenbank hat weiterhin den "
                    "Stand " +
                    databaseVersion + ".",
                MsgIcon::Critical, Caption());
}

// The last changes of an upgrade: the indexes the database lacks and the row that names where it
// came from.
void FinishUpgrade(Database& db, const std::string& program, const std::string& original)
{
    AddMissingIndexes(db);
    AddVersionRow(db, program, "Migration from " + original);
}

// Compacts the upgraded file: the work database through the open sequence's compaction (which
// reopens it and reports the size change), any other in place.
void Compact(Database& db)
{
    if (Connection().WorkDb.get() == &db)
        CompactWorkDatabase(); // db is replaced by the reopened work database from here on
    else if (SqliteDatabase* file = AsFile(db))
        file->Compact();
}

} // namespace

std::string FormatVersion(long major, long minor, long build)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%03ld.%02ld.%03ld", major, minor, build);
    return buffer;
}

std::string ProgramVersionText()
{
    return FormatVersion(AppContext::kVersionMajor, AppContext::kVersionMinor, AppContext::kVersionRevision);
}

std::string DatabaseVersionText(Database& db)
{
    auto rs = db.OpenRecordset("SELECT * FROM T_VERSION ORDER BY Major DESC,Minor DESC,Build DESC");
    if (rs->Eof())
        return kEmptyVersion;
    return FormatVersion(static_cast<long>(rs->Field("Major").AsLong()),
                         static_cast<long>(rs->Field("Minor").AsLong()),
                         static_cast<long>(rs->Field("Build").AsLong()));
}

std::vector<VersionEntry> VersionHistory(Database& db)
{
    auto rs = db.OpenRecordset("SELECT * FROM T_VERSION ORDER BY Major DESC,Minor DESC,Build DESC");
    // Older version tables lack the date and the description, or name the description "Desc".
    int description = -1, date = -1;
    for (int i = 0; i < rs->FieldCount(); ++i) {
        if (EqualsNoCase(rs->FieldName(i), "Description") ||
            (description < 0 && EqualsNoCase(rs->FieldName(i), "Desc")))
            description = i;
        if (EqualsNoCase(rs->FieldName(i), "Date"))
            date = i;
    }
    std::vector<VersionEntry> history;
    for (; !rs->Eof(); rs->MoveNext())
        history.push_back({FormatVersion(static_cast<long>(rs->Field("Major").AsLong()),
                                         static_cast<long>(rs->Field("Minor").AsLong()),
                                         static_cast<long>(rs->Field("Build").AsLong())),
                           date < 0 || rs->Field(date).IsNull() ? DateSerial{} : rs->Field(date).AsDate(),
                           description < 0 ? "" : rs->Field(description).AsText()});
    return history;
}

void SetUpgradeWindow(std::unique_ptr<UpgradeWindow> window)
{
    InstalledWindow() = std::move(window);
}

void SetUpgradeStepHook(std::function<void(const std::string&)> hook)
{
    StepHook() = std::move(hook);
}

bool ConfirmOdbcUpgrade()
{
    return UI().Ask(
               "Warnung: Upgrade von nicht-Access basierten (ODCB-) Datenbanken kann mit diesem "
               "Programmstand leider aktuell nicht sichergestellt werden! Es kann ausserdem kein Backup der "
               "Datenbank angefertig werden, dies muss vorher manuell mit der Datenbankserversoftware "
               "durchgeführt werden." +
                   std::string(kCrLf) + "Wirklich fortfahren?",
               Buttons::YesNo, Answer::No, MsgIcon::Critical, "ODBC Datenbank-Upgrade") == Answer::Yes;
}

DateSerial NowSerial()
{
    // Local time, as the day serial counts it: days after 1899-12-30 plus the fraction of the day.
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::chrono::year_month_day day{std::chrono::year{local.tm_year + 1900},
                                          std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                          std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
    const auto days = std::chrono::sys_days(day) -
                      std::chrono::sys_days(std::chrono::year{1899} / std::chrono::December / 30);
    const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
    return DateSerial{static_cast<double>(days.count()) + seconds / 86400.0};
}

bool UpgradeDatabase(Database& db, bool askFirst)
{
    Interaction& ui = UI();
    if (ui.SplashVisible())
        ui.SetSplashStatus(LoadText(500));
    const std::string program = ProgramVersionText();
    std::string database;
    try {
        database = DatabaseVersionText(db);
    } catch (const DbError&) {
        ui.Inform(LoadText(501) + "Pfannola" + LoadText(502), MsgIcon::Critical, Caption());
        return false;
    }
    if (database > program) {
        ui.Inform(LoadText(507) + program + LoadText(508) + database + LoadText(509), MsgIcon::Warning,
                  Caption());
        return true;
    }
    if (database == program)
        return true;

    if (askFirst && database < kOldestUpgradable) {
        const std::string question =
            LoadText(510) + database + LoadText(511) + "Pfannola" + LoadText(512) + kCrLf + LoadText(513);
        if (ui.Ask(question, Buttons::YesNo, Answer::No, MsgIcon::Question, Caption()) != Answer::Yes)
            throw ProcessExit{1};
    }

    UpgradeSession session;
    session.Confirmed = !askFirst;
    const std::string original = database;
    const auto& steps = UpgradeSteps();
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const UpgradeStep& step = steps[i];
        if (step.Version <= database)
            continue;
        if (!ConfirmUpgrade(session, db, database))
            return true;
        ShowProgress(static_cast<long>(steps.size()), static_cast<long>(i), LoadText(526));
        try {
            DbTransaction transaction(db);
            step.Apply(db, database);
            if (StepHook())
                StepHook()(step.Version);
            // The last step records the program's version, also where the program is newer than it.
            if (i + 1 == steps.size())
                FinishUpgrade(db, program, original);
            else
                AddVersionRow(db, step.Version, "Upgrade-Schritt (Migration from " + original + ")");
            transaction.Commit();
        } catch (const DbError& error) {
            ReportFailedStep(step.Version, database, error.JoinedDescription());
            return false;
        } catch (const std::exception& error) {
            ReportFailedStep(step.Version, database, error.what());
            return false;
        }
        database = step.Version;
    }
    ShowProgress(-1, -1, "");
    if (session.Optimise && AsFile(db)) {
        Compact(db);
        ui.Inform("Die Datenbank wurde auf den Stand " + program + " gebracht und optimiert.",
                  MsgIcon::Information, Caption());
    }
    return true;
}

bool CreateMinimalDatabase()
{
    ConnectionState& conn = Connection();
    Interaction& ui = UI();
    ui.SetBusy(true);
    const bool go = ui.Ask(LoadText(623) + conn.DbPath + LoadText(624), Buttons::YesNo, Answer::Yes,
                           MsgIcon::Question, Caption()) == Answer::Yes;
    if (!go) {
        ui.SetBusy(false);
        return false;
    }
    try {
        std::error_code ignored;
        std::filesystem::path path(conn.DbPath);
        if (path.has_parent_path())
            std::filesystem::create_directories(path.parent_path(), ignored);
        OpenOptions options;
        options.Create = true;
        auto db = Database::OpenSqlite(conn.DbPath, options);
        DbTransaction transaction(*db);
        CreateTables(*db, SchemaTables());
        CreateSearchIndex(*db);
        AddVersionRow(*db, ProgramVersionText(), "Neue Datenbank");
        transaction.Commit();
        db->Close();
    } catch (const DbError& error) {
        ui.SetBusy(false);
        ui.Inform(error.JoinedDescription(), MsgIcon::Critical, Caption());
        return false;
    }
    ui.SetBusy(false);
    return true;
}

} // namespace pf
