#include "core/Messages.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/MessageTable.h"
#include "core/TextConv.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace pf {

namespace {

constexpr const char* kLineBreak = "\r\n";

bool IsEngineError(long number)
{
    return number >= 3000 && number <= 3998;
}

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

// Standard descriptions of run-time (below 1000) and database-engine (3000 to 3998) error numbers,
// sorted by number.
struct ErrorText
{
    long Number;
    const char* Text;
};

constexpr ErrorText kStandardErrors[] = {
    {5, "Ungültiger Prozeduraufruf oder ungültiges Argument"},
    {6, "Überlauf"},
    {7, "Nicht genügend Speicher"},
    {9, "Index außerhalb des gültigen Bereichs"},
    {10, "Datenfeld ist unveränderlich oder momentan gesperrt"},
    {11, "Division durch Null"},
    {13, "Typen unverträglich"},
    {14, "Nicht genügend Zeichenfolgenspeicher"},
    {16, "Ausdruck zu komplex"},
    {17, "Angeforderte Operation nicht durchführbar"},
    {18, "Unterbrechung durch Benutzer"},
    {28, "Nicht genügend Stapelspeicher"},
    {48, "Fehler beim Laden einer Bibliothek"},
    {51, "Interner Fehler"},
    {52, "Dateiname oder -nummer falsch"},
    {53, "Datei nicht gefunden"},
    {54, "Dateimodus falsch"},
    {55, "Datei bereits geöffnet"},
    {57, "Fehler beim Lesen von/Schreiben auf Gerät"},
    {58, "Datei existiert bereits"},
    {59, "Falsche Datensatzlänge"},
    {61, "Datenträger voll"},
    {62, "Einlesen hinter Dateiende"},
    {63, "Falsche Datensatznummer"},
    {67, "Zu viele Dateien"},
    {68, "Gerät nicht verfügbar"},
    {70, "Zugriff verweigert"},
    {71, "Datenträger nicht bereit"},
    {74, "Umbenennen bei Angabe unterschiedlicher Laufwerke nicht möglich"},
    {75, "Fehler beim Zugriff auf Pfad/Datei"},
    {76, "Pfad nicht gefunden"},
    {91, "Objektvariable nicht festgelegt"},
    {93, "Ungültige Musterzeichenfolge"},
    {94, "Unzulässige Verwendung von Null"},
    {380, "Unzulässiger Eigenschaftswert"},
    {424, "Objekt erforderlich"},
    {438, "Objekt unterstützt diese Eigenschaft oder Methode nicht"},
    {440, "Automatisierungsfehler"},
    {457, "Dieser Schlüssel ist bereits einem Element dieser Auflistung zugeordnet"},
    {481, "Ungültiges Bild"},
    {482, "Druckerfehler"},
    {3020, "Update oder CancelUpdate ohne AddNew oder Edit"},
    {3021, "Kein aktueller Datensatz"},
    {3022, "Die Änderungen konnten nicht vorgenommen werden, da der Index, Primärschlüssel oder die "
           "Beziehung mehrfach vorkommende Werte enthalten würde"},
    {3024, "Datenbankdatei nicht gefunden"},
    {3027, "Aktualisieren nicht möglich; Datenbank oder Objekt ist schreibgeschützt"},
    {3044, "Ungültiger Pfad"},
    {3045, "Die Datei wird bereits verwendet und kann nicht geöffnet werden"},
    {3049, "Die Datenbank kann nicht geöffnet werden; sie ist möglicherweise beschädigt"},
    {3051, "Die Datei kann nicht geöffnet werden; sie ist schreibgeschützt oder bereits geöffnet"},
    {3061, "Zu wenige Parameter"},
    {3075, "Syntaxfehler im Abfrageausdruck"},
    {3078, "Tabelle oder Abfrage nicht gefunden"},
    {3146, "ODBC-Aufruf fehlgeschlagen"},
    {3151, "ODBC-Verbindung fehlgeschlagen"},
    {3163, "Das Feld ist zu klein für die Datenmenge, die hinzugefügt werden sollte"},
    {3218, "Aktualisieren nicht möglich; gesperrt"},
    {3260, "Aktualisieren nicht möglich; von einem anderen Benutzer gesperrt"},
    {3265, "Element in dieser Auflistung nicht gefunden"},
    {3314, "Das Feld muss einen Wert enthalten"},
    {3315, "Das Feld darf keine leere Zeichenfolge sein"},
    {3343, "Nicht erkanntes Datenbankformat"},
    {3420, "Objekt ungültig oder nicht mehr festgelegt"},
    {3464, "Datentypen im Kriterienausdruck unverträglich"},
};

constexpr bool StandardErrorsSorted()
{
    for (std::size_t i = 1; i < std::size(kStandardErrors); ++i)
        if (kStandardErrors[i - 1].Number >= kStandardErrors[i].Number)
            return false;
    return true;
}
static_assert(StandardErrorsSorted(), "standard errors must be sorted by number, each number once");

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
    const auto* it = std::lower_bound(std::begin(kStandardErrors), std::end(kStandardErrors), number,
                                      [](const ErrorText& entry, long n) { return entry.Number < n; });
    if (it == std::end(kStandardErrors) || it->Number != number)
        return {};
    return it->Text;
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

std::string FormatErrorLogLine(const ErrorInfo& error, const std::string& dateTime,
                               const std::string& windowName, bool mainWindowLoaded,
                               const std::string& statusText)
{
    std::string line = dateTime + "\t" + VersionText() + " [" + AppContext::kBuildDate + "]" + "\t";
    line += "#" + std::to_string(error.Number) + ":" + ErrorDescriptionFor(error) + "/" + error.Source;
    line += " on form " + windowName;
    if (mainWindowLoaded)
        line += "/Statustext=" + statusText;
    return line;
}

std::string LogError(const ErrorInfo& error)
{
    Interaction& ui = UI();
    const bool mainWindowLoaded = ui.MainWindowLoaded();
    const std::string logPath = ErrorLogPath();
    AppendToLog(logPath,
                FormatErrorLogLine(error, CurrentLogTimestamp(), ui.ActiveWindowName(), mainWindowLoaded,
                                   mainWindowLoaded ? ui.StatusText() : std::string()));
    return logPath;
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

void ShowStatus(const std::string& text)
{
    ShowProgress(0, 0, text);
}

void InformCritical(const std::string& text)
{
    UI().Inform(text, MsgIcon::Critical, AppContext::Current().AppCaption);
}

} // namespace pf
