#include "core/Messages.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/MessageTable.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>

namespace pf {

namespace {

constexpr const char* kLineBreak = "\r\n";

void ReplaceAll(std::string& text, std::string_view what, std::string_view with)
{
    if (what.empty())
        return;
    std::size_t pos = 0;
    while ((pos = text.find(what, pos)) != std::string::npos) {
        text.replace(pos, what.size(), with);
        pos += with.size();
    }
}

bool IsEngineError(long number) { return number >= 3000 && number <= 3998; }

std::string VersionText()
{
    const AppContext& context = AppContext::Current();
    if (!context.VersionText.empty())
        return context.VersionText;
    AppContext computed;
    computed.ComputeVersion();
    return computed.VersionText;
}

// "dd/mm/yyyy hh:mm" in local time, the form every log line starts with.
std::string CurrentLogTimestamp()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%d/%m/%Y %H:%M", &local);
    return buffer;
}

// The log must never stand in the way of the report itself, so every failure here is swallowed.
void AppendToLog(const std::string& path, const std::string& line)
{
    std::ofstream log(path, std::ios::out | std::ios::app | std::ios::binary);
    if (!log)
        return;
    log << line << '\n';
}

// Event processing during long work is spaced at least this far apart.
constexpr std::chrono::seconds kEventInterval{1};

ProgressClock g_progressClock;
std::optional<std::chrono::steady_clock::time_point> g_lastEvents;

std::chrono::steady_clock::time_point ProgressNow()
{
    return g_progressClock ? g_progressClock() : std::chrono::steady_clock::now();
}

void ProcessEventsThrottled()
{
    const auto now = ProgressNow();
    if (g_lastEvents && now - *g_lastEvents < kEventInterval)
        return;
    g_lastEvents = now;
    UI().ProcessEvents();
}

} // namespace

std::string LoadText(long number, std::initializer_list<std::pair<std::string_view, std::string_view>> pairs)
{
    const auto entry = MessageTable::Find(number + AppContext::Current().TextOffset);
    if (!entry)
        return {};
    std::string text(*entry);
    for (const auto& [placeholder, value] : pairs)
        ReplaceAll(text, placeholder, value);
    ReplaceAll(text, "\\n", kLineBreak);
    return text;
}

std::string StandardErrorDescription(long number)
{
    switch (number) {
    // Run-time errors
    case 5: return "Ungültiger Prozeduraufruf oder ungültiges Argument";
    case 6: return "Überlauf";
    case 7: return "Nicht genügend Speicher";
    case 9: return "Index außerhalb des gültigen Bereichs";
    case 10: return "Datenfeld ist unveränderlich oder momentan gesperrt";
    case 11: return "Division durch Null";
    case 13: return "Typen unverträglich";
    case 14: return "Nicht genügend Zeichenfolgenspeicher";
    case 16: return "Ausdruck zu komplex";
    case 17: return "Angeforderte Operation nicht durchführbar";
    case 18: return "Unterbrechung durch Benutzer";
    case 28: return "Nicht genügend Stapelspeicher";
    case 48: return "Fehler beim Laden einer Bibliothek";
    case 51: return "Interner Fehler";
    case 52: return "Dateiname oder -nummer falsch";
    case 53: return "Datei nicht gefunden";
    case 54: return "Dateimodus falsch";
    case 55: return "Datei bereits geöffnet";
    case 57: return "Fehler beim Lesen von/Schreiben auf Gerät";
    case 58: return "Datei existiert bereits";
    case 59: return "Falsche Datensatzlänge";
    case 61: return "Datenträger voll";
    case 62: return "Einlesen hinter Dateiende";
    case 63: return "Falsche Datensatznummer";
    case 67: return "Zu viele Dateien";
    case 68: return "Gerät nicht verfügbar";
    case 70: return "Zugriff verweigert";
    case 71: return "Datenträger nicht bereit";
    case 74: return "Umbenennen bei Angabe unterschiedlicher Laufwerke nicht möglich";
    case 75: return "Fehler beim Zugriff auf Pfad/Datei";
    case 76: return "Pfad nicht gefunden";
    case 91: return "Objektvariable nicht festgelegt";
    case 93: return "Ungültige Musterzeichenfolge";
    case 94: return "Unzulässige Verwendung von Null";
    case 380: return "Unzulässiger Eigenschaftswert";
    case 424: return "Objekt erforderlich";
    case 438: return "Objekt unterstützt diese Eigenschaft oder Methode nicht";
    case 440: return "Automatisierungsfehler";
    case 457: return "Dieser Schlüssel ist bereits einem Element dieser Auflistung zugeordnet";
    case 481: return "Ungültiges Bild";
    case 482: return "Druckerfehler";
    // Database engine errors
    case 3020: return "Update oder CancelUpdate ohne AddNew oder Edit";
    case 3021: return "Kein aktueller Datensatz";
    case 3022: return "Die Änderungen konnten nicht vorgenommen werden, da der Index, Primärschlüssel oder die "
                      "Beziehung mehrfach vorkommende Werte enthalten würde";
    case 3024: return "Datenbankdatei nicht gefunden";
    case 3027: return "Aktualisieren nicht möglich; Datenbank oder Objekt ist schreibgeschützt";
    case 3044: return "Ungültiger Pfad";
    case 3045: return "Die Datei wird bereits verwendet und kann nicht geöffnet werden";
    case 3049: return "Die Datenbank kann nicht geöffnet werden; sie ist möglicherweise beschädigt";
    case 3051: return "Die Datei kann nicht geöffnet werden; sie ist schreibgeschützt oder bereits geöffnet";
    case 3061: return "Zu wenige Parameter";
    case 3075: return "Syntaxfehler im Abfrageausdruck";
    case 3078: return "Tabelle oder Abfrage nicht gefunden";
    case 3146: return "ODBC-Aufruf fehlgeschlagen";
    case 3151: return "ODBC-Verbindung fehlgeschlagen";
    case 3163: return "Das Feld ist zu klein für die Datenmenge, die hinzugefügt werden sollte";
    case 3218: return "Aktualisieren nicht möglich; gesperrt";
    case 3260: return "Aktualisieren nicht möglich; von einem anderen Benutzer gesperrt";
    case 3265: return "Element in dieser Auflistung nicht gefunden";
    case 3314: return "Das Feld muss einen Wert enthalten";
    case 3315: return "Das Feld darf keine leere Zeichenfolge sein";
    case 3343: return "Nicht erkanntes Datenbankformat";
    case 3420: return "Objekt ungültig oder nicht mehr festgelegt";
    case 3464: return "Datentypen im Kriterienausdruck unverträglich";
    default: return {};
    }
}

std::string ErrorLogPath()
{
    std::string folder;
    if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp)
        folder = tmp;
    else
        folder = "/tmp";
    if (folder.back() != '/')
        folder += '/';
    return folder + "Pfannola" + ".LOG";
}

std::string ErrorDescriptionFor(const ErrorInfo& error)
{
    if (IsEngineError(error.Number) && !error.EngineDescriptions.empty()) {
        std::string joined;
        for (const std::string& description : error.EngineDescriptions) {
            if (!joined.empty())
                joined += ", ";
            joined += description;
        }
        return joined;
    }
    if (error.Description.empty())
        return StandardErrorDescription(error.Number);
    return error.Description;
}

std::string FormatErrorLogLine(const ErrorInfo& error, const std::string& dateTime, const std::string& windowName,
                               bool mainWindowLoaded, const std::string& statusText)
{
    std::string line = dateTime + "\t" + VersionText() + " [" + AppContext::kBuildDate + "]" + "\t";
    line += "#" + std::to_string(error.Number) + ":" + ErrorDescriptionFor(error) + "/" + error.Source;
    line += " on form " + windowName;
    if (mainWindowLoaded)
        line += "/Statustext=" + statusText;
    return line;
}

void ReportError(const ErrorInfo& error, bool offerClose)
{
    Interaction& ui = UI();

    // Window and status are taken before the status display is cleared below.
    const std::string windowName = ui.ActiveWindowName();
    const bool mainWindowLoaded = ui.MainWindowLoaded();
    const std::string statusText = mainWindowLoaded ? ui.StatusText() : std::string();
    const int statusPercent = mainWindowLoaded ? ui.StatusPercent() : -1;

    const std::string logPath = ErrorLogPath();
    AppendToLog(logPath,
                FormatErrorLogLine(error, CurrentLogTimestamp(), windowName, mainWindowLoaded, statusText));

    ShowProgress(-1, -1, "");
    ui.SetBusy(false);

    std::string text = "Der folgende Fehler ist aufgetreten:";
    text += kLineBreak;
    text += "#" + std::to_string(error.Number) + ":" + ErrorDescriptionFor(error) + "/" + error.Source;
    text += kLineBreak;
    text += kLineBreak;
    text += "Formular: " + windowName + kLineBreak;
    if (mainWindowLoaded) {
        // A status line without a percentage shows 0 %, as an idle progress bar does.
        const int percent = statusPercent < 0 ? 0 : statusPercent;
        text += "Statustext: " + statusText + " [" + std::to_string(percent) + "%]" + kLineBreak;
    }
    text += "Protollierung in Datei: " + logPath;

    const std::string caption =
        std::string("Pfannola") + " [" + VersionText() + " " + AppContext::kBuildDate + "] Fehlerbehandlung";

    if (offerClose) {
        text += kLineBreak;
        text += kLineBreak;
        text += "Soll das Formular geschlossen werden ?";
        if (ui.Ask(text, Buttons::YesNo, Answer::No, MsgIcon::Critical, caption) == Answer::Yes)
            ui.UnloadActiveWindow();
    } else {
        ui.Ask(text, Buttons::OkCancel, Answer::Cancel, MsgIcon::Critical, caption);
    }
}

void ShowProgress(long maximum, long value, const std::string& text)
{
    Interaction& ui = UI();
    if (ui.SplashVisible()) {
        ui.SetSplashStatus(text);
        return;
    }
    if (!ui.MainWindowLoaded())
        return;

    int percent = -1;
    if (maximum > 0 && value >= 0) {
        const long long scaled = static_cast<long long>(value) * 100 / maximum;
        percent = static_cast<int>(scaled > 100 ? 100 : scaled);
    }
    ui.SetStatus(text, percent);
    ProcessEventsThrottled();
}

void SetProgressClock(ProgressClock clock)
{
    g_progressClock = std::move(clock);
    g_lastEvents.reset();
}

} // namespace pf
