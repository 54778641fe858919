#include "core/MessageTable.h"

#include <algorithm>
#include <iterator>

namespace pf {

namespace {

// Texts that are shown with a value between two entries (for example 417 + path + 418) are split
// exactly where the value goes, keeping the blanks and quotes around it in the entries.
constexpr MessageEntry kEntries[] = {
    // Opening the work database: locating and choosing it
    {412, "Datenbank wird geöffnet ..."},
    {413, "Die Datasource (Datenquelle) für die ODBC-Datenbank ist falsch eingestellt"},
    {414, "Der Auswahldialog kann in diesem Kontext nicht aktiviert werden. "},
    {415, " muss neu gestartet werden !"},
    {416, "Die ausgewählte Datenbank ist (doch) nicht verfügbar ! Dieser Fehler sollte eigentlich nicht "
          "auftreten !"},
    {417, "Die Datenbank \""},
    {418, "\" konnte nicht gefunden werden. Soll diese Datenbank neu angelegt werden ?"},
    {419, "Die Datenbank kann nicht geöffnet werden aufgrund des folgenden Fehlers: \""},

    // Opening the work database: global data and its areas
    {427, "Globale Daten einlesen ..."},
    {428, "BLS Indexliste"},
    {430, "Masseinheiten"},
    {431, "BLS Tree"},
    {432, "Benutzerabfrage ..."},
    {433, "Beim Verarbeiten der globalen Daten, Bereich \""},
    {434, "\", ist es zu folgendem Fehler gekommen:"},
    {435, "Die Datenbank kann in diesem Zustand nicht als Arbeitsdatenbank verwendet werden !"},

    // Schema version check and upgrade
    {500, "Datenbank Versionsprüfung ..."},
    {501, "Die vorliegende Datenbank sieht nicht wie eine "},
    {502, "-Datenbank aus !"},
    {507, "Die aktuelle Software-Version ist älter ("},
    {508, ") als der Stand der Datenbank ("},
    {509, "). Dies könnte zu Problemen führen !"},
    {510, "Der Stand der Datenbank ist mit Version "},
    {511, " wahrscheinlich zu alt, um auf den neuesten Stand gebracht zu werden. Bei Fragen hierzu wenden "
          "Sie sich bitte an den "},
    {512, "-Support."},
    {513, "Trotzdem versuchen fortzufahren ?"},
    {524, "Die Datenbank ist schreibgeschützt und kann nicht verändert werden. Entfernen Sie den "
          "Schreibschutz von folgender Datei und starten Sie "},
    {525, " danach neu:"},
    {526, "Datenbank-Update..."},

    // Creating a new database from the base data
    {556, "Öffnen der Initialisierungs-Datenbank"},
    {557, "Die Initialisierungs-Datenbank "},
    {558, " konnte nicht geöffnet werden !"},
    {561, "Diese Datenbank enthält bereits "},
    {562, "-Daten."},
    {563, "Fortfahren und Daten löschen, Fortfahren ohne Daten zu löschen (ohne Gewähr!) oder Abbrechen ?"},
    {564, "Erzeugen der Datenbank"},
    {622, "Das folgende Programm wird benötigt, ist aber leider nicht vorhanden: "},
    {623, "Die Datenbank \""},
    {624, "\" wird nun erstellt. Fortfahren ?"},
    {625, "Laden der Basis-Daten"},

    // Repairing and compacting the database
    {1098, "Prüfen auf Fehler in der Datenbank"},
    {1099, "Optimieren der Datenbank"},
    {1100, "Beim Verarbeiten der Datenbank ist der folgende Fehler aufgetreten:"},
    {1101, "Die Datenbank ist nun um "},
    {1102, " Bytes kleiner !"},
    {1103, "Die Datenbank ist leider um "},
    {1104, " Bytes gewachsen !"},
    {1194, "Soll die Datenbank-Version von Access97 auf Access2000 angehoben werden ?"},
    {1196, "Hinweis: Die Grösse der Datenbank wird dabei ansteigen."},

    // Personal phrases: the text of an unused phrase slot
    {1815, "<unbenutzt>"},

    // Recipe import
    {2200, "Mensax und Meal-Master Import-Assistent"},

    // Backup and restore
    {3427, "Entpacken der Kochbuchdatenbank (Unzip)"},
    {4767, "Erstellen der ZIP Datei"},
    {4773, "Die Datensicherungdatei konnte aufgrund eines Fehlers nicht gelöscht werden!"},
    {4774, "Soll wirklich die angewählte Datensicherung in die aktuelle Arbeitsdatenbank zurückgeladen "
           "werden?"},
    {4775, "Wichtiger Hinweis: Dies wird die vorhandene Datenbank vollständig ersetzen!"},
    {4776, "Datensicherung wird zurückgeladen ..."},
    {4777, "Die Datensicherung hat ein Problem: "},
};

// Numbers used without text: 1195 (warning that program versions before 1.10 can no longer read
// the upgraded file) and 2241 to 2247 (warnings shown when food-key matching during an import is
// switched on). Their callers must cope with the empty text until the texts are known.

constexpr bool IsStrictlyAscending()
{
    for (std::size_t i = 1; i < std::size(kEntries); ++i)
        if (kEntries[i - 1].Number >= kEntries[i].Number)
            return false;
    return true;
}
static_assert(IsStrictlyAscending(), "message entries must be sorted by number, each number once");

} // namespace

std::span<const MessageEntry> MessageTable::Entries()
{
    return kEntries;
}

std::optional<std::string_view> MessageTable::Find(long number)
{
    const auto* it = std::lower_bound(std::begin(kEntries), std::end(kEntries), number,
                                      [](const MessageEntry& entry, long n) { return entry.Number < n; });
    if (it == std::end(kEntries) || it->Number != number)
        return std::nullopt;
    return it->Text;
}

} // namespace pf
