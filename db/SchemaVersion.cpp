#include "db/SchemaVersion.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Messages.h"
#include "core/ProcessExit.h"
#include "db/DatabaseChoice.h"
#include "db/Recordset.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

namespace pf {

namespace {
const char* const kOldestUpgradable = "000.50.073";
const char* const kEmptyVersion = "000.50.036";
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
    const std::string& caption = AppContext::Current().AppCaption;
    if (ui.SplashVisible())
        ui.SetSplashStatus(LoadText(500));
    const std::string program = ProgramVersionText();
    std::string database;
    try {
        database = DatabaseVersionText(db);
    } catch (const DbError&) {
        ui.Inform(LoadText(501) + "Pfannola" + LoadText(502), MsgIcon::Critical, caption);
        return false;
    }
    if (database > program) {
        ui.Inform(LoadText(507) + program + LoadText(508) + database + LoadText(509), MsgIcon::Warning,
                  caption);
        return true;
    }
    if (database < program) {
        if (askFirst && database < kOldestUpgradable) {
            const std::string question = LoadText(510) + database + LoadText(511) + "Pfannola" +
                                         LoadText(512) + "\r\n" + LoadText(513);
            if (ui.Ask(question, Buttons::YesNo, Answer::No, MsgIcon::Question, caption) != Answer::Yes)
                throw ProcessExit{1};
        }
        // The individual upgrade steps are not part of this version of the program: an older
        // database is used at the version it has.
    }
    return true;
}

bool CreateMinimalDatabase()
{
    ConnectionState& conn = Connection();
    Interaction& ui = UI();
    ui.SetBusy(true);
    const bool go = ui.Ask(LoadText(623) + conn.DbPath + LoadText(624), Buttons::YesNo, Answer::Yes,
                           MsgIcon::Question, AppContext::Current().AppCaption) == Answer::Yes;
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
        TableDef version{"T_VERSION",
                         {{"Major", FieldType::Long},
                          {"Minor", FieldType::Long},
                          {"Build", FieldType::Long},
                          {"Date", FieldType::Date},
                          {"Description", FieldType::Text, 255}},
                         {}};
        DbTransaction transaction(*db);
        db->CreateTable(version);
        db->Execute("INSERT INTO T_VERSION (Major, Minor, Build, [Date], Description) VALUES (?, ?, ?, ?, ?)",
                    {Value(AppContext::kVersionMajor), Value(AppContext::kVersionMinor),
                     Value(AppContext::kVersionRevision), Value(NowSerial()), Value("Neue Datenbank")});
        transaction.Commit();
        db->Close();
    } catch (const DbError& error) {
        ui.SetBusy(false);
        ui.Inform(error.JoinedDescription(), MsgIcon::Critical, AppContext::Current().AppCaption);
        return false;
    }
    ui.SetBusy(false);
    return true;
}

} // namespace pf
