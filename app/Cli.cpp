#include "app/Cli.h"
#include "db/OpenDatabase.h"

#include "app/CliCommands.h"
#include "app/CommandLine.h"
#include "app/ConsoleInteraction.h"
#include "app/Startup.h"
#include "core/AppContext.h"
#include "core/Messages.h"
#include "core/ProcessExit.h"
#include "core/Utf8.h"
#include "db/Recordset.h"
#include "db/SchemaVersion.h"
#include "db/WorkDatabase.h"

#include <charconv>
#include <filesystem>
#include <ostream>
#include <string_view>

namespace pf {

namespace {

std::string Usage()
{
    std::string usage =
        "Aufruf: pfannola-cli [--version] [--db DATEI] BEFEHL [ARGUMENTE] [SCHLÜSSEL=Wert ...] [--set "
        "SCHLÜSSEL=Wert] [-- ARGUMENTE]\n"
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
    std::vector<std::string> Words;             // command and its arguments
    std::size_t OptionsEnd = std::string::npos; // index in Words where "--" ended the options
    std::vector<std::string> Overrides;
    bool Help = false;
};

// The settings a run may override with KEY=value (keys ignore case). Any other word with "=" is an
// ordinary argument ("Omas=Rezepte.mm", "Ofen=180"); "--set KEY=value" overrides any key.
// clang-format off
constexpr std::string_view kSettingNames[] = {
    "AdminUser", "BACKUPFOLDER", "BACKUPMODE", "BackupReminder", "BASEDIR", "BaseDirType", "Book", "Database",
    "DBDSN", "DBLogonType", "DBTYPE", "DBUSER", "EditAlternativDisplay", "EditFlags", "EditFPWarnung",
    "EditKochBuch", "EditMainCat", "EditMasse", "EditNoBLS", "EditNoBLSXY", "EditOwnCat", "EditSaveDel",
    "EditShowAttachement", "EditSortModus", "EditSprache", "EditWord", "ExportAbhaengigkeiten", "ExportBreak",
    "ExportFingerprint", "ExportHTMLBild", "ExportNoBLS", "ExportNoPictures", "ExportTitelIndex",
    "ExportUmlautAnsi", "ExportUmlautConvert", "Greetings", "ImportBLSStrong", "ImportMode",
    "ImportNoUmlaute", "ImportSource", "ImportUmlaute", "Language", "LASTEXPORTMODE", "LASTEXPORTPATH",
    "MMImportPath", "PrintArbeit", "PrintSimple", "PrintStandardMode", "ProgVersion", "RezSearchType",
    "SaveUserRelevant", "ShowIcons", "ShowSearch", "ShowTips", "StdPrinter", "TextOffset", "WPDisplayMode"};
// clang-format on

bool IsSettingOverride(const std::string& arg)
{
    const auto equals = arg.find('=');
    if (equals == std::string::npos || equals == 0)
        return false;
    const std::string key = arg.substr(0, equals);
    for (std::string_view name : kSettingNames)
        if (EqualsNoCase(key, std::string(name)))
            return true;
    return false;
}

int RunCommand(const CliOptions& options, const std::string& database, std::ostream& out, std::ostream& err)
{
    const std::vector<std::string>& words = options.Words;
    for (const CliCommand& command : CliCommands()) {
        if (words[0] != command.Name)
            continue;
        if (command.NeedsDatabase && database.empty()) {
            err << "Für \"" << command.Name << "\" wird eine Datenbank gebraucht: --db DATEI\n";
            return 2;
        }
        CliCall call{database, std::vector<std::string>(words.begin() + 1, words.end()), out, err};
        if (options.OptionsEnd != std::string::npos)
            call.OptionsEnd = options.OptionsEnd == 0 ? 0 : options.OptionsEnd - 1;
        return command.Run(call);
    }
    err << "Unbekannter Befehl: " << words[0] << "\n" << Usage();
    return 2;
}

bool ParseOptions(const std::vector<std::string>& args, CliOptions& options, std::ostream& err)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            // Everything after it is an argument, even when it looks like an option or a setting.
            options.OptionsEnd = options.Words.size();
            options.Words.insert(options.Words.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                 args.end());
            break;
        }
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
        } else if (arg == "--set") {
            if (i + 1 >= args.size() || args[i + 1].find('=') == std::string::npos ||
                args[i + 1].front() == '=') {
                err << "Nach --set muss SCHLÜSSEL=Wert stehen.\n";
                return false;
            }
            options.Overrides.push_back(args[++i]);
        } else if (arg.rfind("--", 0) == 0 && !options.Words.empty()) {
            // Options after the command belong to the command.
            options.Words.push_back(arg);
        } else if (arg.rfind("--", 0) == 0) {
            err << "Unbekannte Option: " << arg << "\n";
            return false;
        } else if (IsSettingOverride(arg)) {
            options.Overrides.push_back(arg);
        } else {
            options.Words.push_back(arg);
        }
    }
    return true;
}

// A failure no command caught: the user reads what happened in German, the log keeps the details.
int ReportUnexpected(const ErrorInfo& error, std::ostream& err)
{
    const std::string log = LogError(error);
    err << "Der Befehl wurde wegen eines unerwarteten Fehlers abgebrochen";
    if (!error.Description.empty() && error.Number >= 3000 && error.Number < 4000)
        err << ": " << error.Description;
    err << ". Bereits gespeicherte Daten bleiben erhalten; Einzelheiten stehen in \"" << log << "\".\n";
    return 1;
}

} // namespace

bool InputFileFound(CliCall& call, const std::string& file)
{
    if (std::filesystem::is_regular_file(file))
        return true;
    call.Err << "Die Datei " << file << " wurde nicht gefunden.\n";
    return false;
}

bool ParseCliArgs(CliCall& call, const std::vector<CliOption>& options,
                  const std::function<bool(const std::string& word)>& word)
{
    for (std::size_t i = 0; i < call.Args.size(); ++i) {
        const std::string& arg = call.Args[i];
        const CliOption* option = nullptr;
        if (call.IsOption(i)) {
            for (const CliOption& candidate : options)
                if (arg == candidate.Name)
                    option = &candidate;
        }
        if (option == nullptr) {
            if (call.IsOption(i) || !word || !word(arg)) {
                call.Err << "Unbekanntes Argument: " << DatabaseDisplayName(arg) << "\n";
                return false;
            }
            continue;
        }
        const bool hasValue = !option->TakesValue || i + 1 < call.Args.size();
        if (!hasValue || !option->Take(option->TakesValue ? call.Args[++i] : std::string())) {
            call.Err << option->Problem << "\n";
            return false;
        }
    }
    return true;
}

std::function<bool(const std::string& word)> JoinedInto(std::string& text)
{
    return [&text](const std::string& word) {
        text += (text.empty() ? "" : " ") + word;
        return true;
    };
}

bool ParsePositiveNumber(std::string_view text, long& value)
{
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size() && value > 0;
}

CliOption ServingsOption(long& servings)
{
    return {"--servings", true,
            [&servings](const std::string& text) {
                long value = 0;
                if (!ParsePositiveNumber(text, value) || value > kMaxServings)
                    return false;
                servings = value;
                return true;
            },
            "Nach --servings muss eine ganze Zahl von 1 bis " + std::to_string(kMaxServings) + " stehen."};
}

CliOption IdsOption(std::vector<long>& ids)
{
    return {"--ids", true,
            [&ids](const std::string& text) {
                // Every comma-separated field must be a recipe number, and there must be one.
                std::size_t start = 0;
                while (start <= text.size()) {
                    std::size_t end = text.find(',', start);
                    if (end == std::string::npos)
                        end = text.size();
                    long id = 0;
                    if (!ParsePositiveNumber(std::string_view(text).substr(start, end - start), id))
                        return false;
                    ids.push_back(id);
                    start = end + 1;
                }
                return true;
            },
            "Nach --ids muss eine Liste von Rezeptnummern stehen (z. B. 3,7,12)."};
}

bool ParseRecipeAndServings(CliCall& call, const char* command, long& id, long& servings)
{
    if (!ParseCliArgs(call, {ServingsOption(servings)},
                      [&id](const std::string& word) { return id == 0 && ParsePositiveNumber(word, id); }))
        return false;
    if (id == 0) {
        call.Err << "Aufruf: pfannola-cli --db DATEI " << command << " ID [--servings N]\n";
        return false;
    }
    return true;
}

const std::vector<CliCommand>& CliCommands()
{
    static const std::vector<CliCommand> commands = {
        {"init", true, CliInit, "legt eine neue Datenbank an"},
        {"copy", false, CliCopy,
         "VON NACH: kopiert eine ganze Datenbank zwischen Datei und Server (NACH muss leer sein)"},
        {"upgrade", true, CliUpgrade,
         "bringt die Datenbank auf den Schema-Stand des Programms (mit Kopie .BAK)"},
        {"info", true, CliInfo,
         "zeigt Schema-Version und Anzahl der Rezepte, Kochbücher, Kategorien, Einheiten"},
        {"backup", true, CliBackup, "ORDNER: sichert die Datenbank als ZIP-Archiv in den Ordner"},
        {"restore", true, CliRestore,
         "SICHERUNG: lädt eine Sicherung (ZIP oder .MDB) zurück, der alte Stand bleibt als .BAK"},
        {"show", true, CliShow, "ID [--servings N]: zeigt ein Rezept als Text, auf Wunsch umgerechnet"},
        {"import", true, CliImport,
         "[--cookbook N] [--bls] DATEI ...: importiert Rezeptdateien (--bls: Zutaten Nahrungsmitteln "
         "zuordnen)"},
        {"import-db", true, CliImportDb,
         "[--cookbook N] [--duplicates skip|replace|move] ANDERE.MDB: übernimmt die Rezepte einer anderen "
         "Datenbank mit Kategorien, Kochbüchern, Bildern, Einheiten und Nahrungsmitteln"},
        {"import-table", true, CliImportTable,
         "[--separator ;|,|tab] [--map title=1,source=3,page=4,categories=5,books=6] [--source TEXT] DATEI: "
         "legt je Tabellenzeile ein Rezept mit Quelle, Kategorien und Kochbüchern an"},
        {"export", true, CliExport,
         "--format mm|rezkonv|mensax|html|rtf|csv|xml|structure|db|dbzip [--ids LISTE] [--servings N] "
         "[--separator ;|,] --out DATEI: exportiert Rezepte"},
        {"search", true, CliSearch,
         "[--mode N] [--max N] [--food LEBENSMITTEL]… [--ingredient TEXT]… [--all-ingredients] "
         "[--without-ingredients] [--tool GERÄT]… [--without-tools] [TEXT]: sucht Rezepte (der Text gilt "
         "wörtlich) und zeigt ID und Titel"},
        {"nutrients", true, CliNutrients,
         "ID [--servings N]: zeigt die Nährwerte pro Portion (mit --servings: das ganze Rezept auf N Portionen "
         "geteilt) und die nicht berechneten Zutaten"},
        {"match", true, CliMatch,
         "[--ids LISTE]: ordnet den Zutaten ohne Nahrungsmittel automatisch eines zu"},
        {"print", true, CliPrint,
         "--ids LISTE [--mode 0|1|10] [--servings N] --pdf DATEI: druckt Rezepte in eine PDF-Datei "
         "(0 Standardausdruck, 1 Arbeitsrezept, 10 Rezeptliste)"},
        {"shopping", true, CliShopping,
         "--ids LISTE [--servings N] [--sort recipe|alpha|group|shop] [--shop ID] [--exchange]: zeigt die "
         "Einkaufsliste der Rezepte (gleiche Zutaten zusammengefasst) oder ihren Austauschtext"},
        {"menu", true, CliMenu,
         "list | show ID | export ID --format mensax [--out DATEI] | print ID [--layout 0|1|2] --out "
         "DATEI.pdf: listet die Menüs, zeigt eines als Text, exportiert es mit seinen Rezepten oder druckt "
         "es "
         "als Menükarte (0), Küchenplan (1) oder Küchenplan mit Rezepten (2) in eine PDF-Datei"},
        {"lexicon", true, CliLexicon,
         "[--area N] TEXT: sucht im Lexikon und zeigt Bereich, Nummer und Stichwort jedes Treffers"},
        {"vcard", true, CliVCard,
         "export DATEI.vcf | import DATEI.vcf: schreibt alle Adressen als vCard-Datei oder übernimmt die "
         "Karten "
         "einer vCard-Datei als neue Adressen"},
        {"weekplan", true, CliWeekplan,
         "new --start DATUM [--days N] | approve ID | csv ID --out DATEI | pdf ID --out DATEI.pdf: legt "
         "einen "
         "Wochenplan an und füllt ihn nach den Wiederholungsregeln, genehmigt ihn, schreibt ihn als "
         "CSV-Datei "
         "oder druckt ihn in seinen Sprachen in eine PDF-Datei"},
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
    if (!database.empty() && !IsServerConnect(database)) {
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
            code = RunCommand(options, database, out, err);
        }
    } catch (const ProcessExit& exit) {
        code = exit.Code;
    } catch (const DbError& error) {
        code = ReportUnexpected(ToErrorInfo(error), err);
    } catch (const std::exception& error) {
        code = ReportUnexpected(ErrorInfo{0, error.what(), "pfannola-cli", {}}, err);
    }
    CloseCliDatabase();
    RemoveTempDir();
    return code;
}

} // namespace pf
