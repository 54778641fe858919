// The "weekplan" command of the command-line program: "new" creates a weekly plan filled by the
// repeat rules and prints it, "approve" approves a plan (recording its recipes' usage), "csv"
// writes a plan's CSV rows to a file, "pdf" the plan's printout in its print languages.

#include "app/CliCommands.h"
#include "core/AtomicFile.h"
#include "db/Database.h"
#include "output/PdfOutput.h"
#include "planning/ClMenu.h"
#include "planning/WeekCalendar.h"
#include "planning/WeekPlanPrint.h"
#include "planning/WeekPlanText.h"
#include "planning/clWPLanguage.h"

#include <charconv>
#include <functional>
#include <ostream>

namespace pf {

namespace {

constexpr const char* kUsage =
    "Aufruf: pfannola-cli --db DATEI weekplan new --start DATUM [--days N] | "
    "weekplan approve ID | weekplan csv ID --out DATEI | weekplan pdf ID --out DATEI.pdf";
constexpr long kMaxDays = 31;

bool ReadNumber(std::string_view text, int& value)
{
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size();
}

// "07.12.2026" or "2026-12-07"; false for anything else and for days no calendar has.
bool ParseDay(const std::string& text, DateSerial& date)
{
    int year = 0, month = 0, day = 0;
    if (text.size() == 10 && text[2] == '.' && text[5] == '.') {
        if (!ReadNumber(text.substr(0, 2), day) || !ReadNumber(text.substr(3, 2), month) ||
            !ReadNumber(text.substr(6, 4), year))
            return false;
    } else if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
        if (!ReadNumber(text.substr(0, 4), year) || !ReadNumber(text.substr(5, 2), month) ||
            !ReadNumber(text.substr(8, 2), day))
            return false;
    } else {
        return false;
    }
    if (year < 1900 || month < 1 || month > 12 || day < 1)
        return false;
    date = DateSerial::FromParts(year, month, day);
    int y = 0, m = 0, d = 0, hour = 0, minute = 0, second = 0;
    date.ToParts(y, m, d, hour, minute, second);
    return y == year && m == month && d == day;
}

// Loads weekly plan id of the call's argument; false with the reason on Err.
bool LoadPlan(CliCall& call, Database& db, const std::string& word, ClMenu& plan)
{
    long id = 0;
    if (!ParsePositiveNumber(word, id)) {
        call.Err << "Die Nummer des Wochenplans muss eine ganze Zahl größer als 0 sein: " << word << "\n";
        return false;
    }
    plan.SetDB(&db);
    if (!plan.Loadr(id) || !plan.IsWP()) {
        call.Err << "Es gibt keinen Wochenplan mit der Nummer " << id << ".\n";
        return false;
    }
    return true;
}

// Opens the database, loads the weekly plan the word names and runs work on it; 1 when either fails.
int WithPlan(CliCall& call, const std::string& word, const std::function<int(ClMenu&)>& work)
{
    CliDatabase db(call);
    if (!db)
        return 1;
    ClMenu plan;
    if (!LoadPlan(call, *db, word, plan))
        return 1;
    return work(plan);
}

int New(CliCall& call)
{
    DateSerial start;
    long days = 7;
    bool haveStart = false;
    if (!ParseCliArgs(
            call,
            {{"--start", true, [&](const std::string& value) { return haveStart = ParseDay(value, start); },
              "Nach --start muss ein Datum stehen (TT.MM.JJJJ oder JJJJ-MM-TT)."},
             {"--days", true,
              [&](const std::string& value) { return ParsePositiveNumber(value, days) && days <= kMaxDays; },
              "Nach --days muss eine Zahl von 1 bis 31 stehen."}},
            [words = 0](const std::string&) mutable { return ++words == 1; }))
        return 2;
    if (!haveStart) {
        call.Err << kUsage << "\n";
        return 2;
    }
    CliDatabase db(call);
    if (!db)
        return 1;
    ClMenu plan;
    plan.SetDB(db.Get());
    plan.CreateNewWP(start, static_cast<int>(days));
    if (plan.CheckWPDate()) {
        call.Err << "Am " << ShortDateText(start) << " beginnt bereits ein Wochenplan (Nummer "
                 << plan.WPDupeCheck(start).front() << ").\n";
        return 1;
    }
    const int placed = plan.WPFill();
    if (!plan.Save()) {
        call.Err << "Der Wochenplan konnte nicht gespeichert werden: " << plan.LastErrorText() << "\n";
        return 1;
    }
    call.Out << WPPlanText(plan);
    const long cells = static_cast<long>(days) * plan.WPLevels().Max();
    if (placed < cells)
        call.Err << (cells - placed) << " von " << cells
                 << " Plätzen blieben leer: keine Kategorie für die Ebene oder kein Rezept, das sich schon "
                    "wiederholen darf.\n";
    return 0;
}

int Approve(CliCall& call)
{
    std::vector<std::string> words;
    if (!ParseCliArgs(call, {},
                      [&](const std::string& word) {
                          words.push_back(word);
                          return words.size() <= 2;
                      }) ||
        words.size() != 2) {
        call.Err << kUsage << "\n";
        return 2;
    }
    return WithPlan(call, words[1], [&](ClMenu& plan) {
        for (const WPBreach& breach : plan.WPCheck())
            call.Err << "Verstoss: " << breach.Title << " am "
                     << ShortDateText(DateSerial{static_cast<double>(breach.Day)}) << ": " << breach.Text
                     << "\n";
        plan.WPApprove(true);
        if (!plan.Save()) {
            call.Err << "Der Wochenplan konnte nicht gespeichert werden: " << plan.LastErrorText() << "\n";
            return 1;
        }
        const std::string when = DateTimeText(plan.WPApproveDate());
        call.Out << "Der Wochenplan wurde am " << when.substr(0, 10) << " um " << when.substr(11, 5)
                 << " genehmigt.\n";
        return 0;
    });
}

// The ID and the --out file of "csv" and "pdf"; false after printing the usage.
bool PlanAndFile(CliCall& call, std::vector<std::string>& words, std::string& out, const char* missing)
{
    if (!ParseCliArgs(call,
                      {{"--out", true,
                        [&](const std::string& value) {
                            out = value;
                            return !value.empty();
                        },
                        missing}},
                      [&](const std::string& word) {
                          words.push_back(word);
                          return words.size() <= 2;
                      }) ||
        words.size() != 2 || out.empty()) {
        call.Err << kUsage << "\n";
        return false;
    }
    return true;
}

int Pdf(CliCall& call)
{
    std::vector<std::string> words;
    std::string out;
    if (!PlanAndFile(call, words, out, "Nach --out muss der Name der PDF-Datei stehen."))
        return 2;
    return WithPlan(call, words[1], [&](ClMenu& plan) {
        std::string error;
        std::unique_ptr<PageCanvas> canvas = OpenPdf(out, plan.GenMenuEntryTitle(), error);
        if (!canvas || !PrintWeekPlan(*canvas, plan, clWPLanguage::PrintLanguages())) {
            call.Err << "Die Datei \"" << out << "\" konnte nicht geschrieben werden."
                     << (error.empty() ? "" : " ") << error << "\n";
            return 1;
        }
        return 0;
    });
}

int Csv(CliCall& call)
{
    std::vector<std::string> words;
    std::string out;
    if (!PlanAndFile(call, words, out, "Nach --out muss der Name der CSV-Datei stehen."))
        return 2;
    return WithPlan(call, words[1], [&](ClMenu& plan) {
        if (!WriteFileAtomically(out, "\xEF\xBB\xBF" + WPCsvText(plan))) {
            call.Err << "Die Datei \"" << out << "\" konnte nicht geschrieben werden.\n";
            return 1;
        }
        return 0;
    });
}

} // namespace

int CliWeekplan(CliCall& call)
{
    const std::string sub = call.Args.empty() ? "" : call.Args.front();
    if (sub == "new")
        return New(call);
    if (sub == "approve")
        return Approve(call);
    if (sub == "csv")
        return Csv(call);
    if (sub == "pdf")
        return Pdf(call);
    if (sub.empty())
        call.Err << kUsage << "\n";
    else
        call.Err << "Unbekanntes Argument: " << sub << "\n";
    return 2;
}

} // namespace pf
