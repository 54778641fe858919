#pragma once
// One fuzz input through the Meal-Master reader: the bytes are decoded and split as a file would
// be and read with every umlaut option in turn; bytes that start like a ZIP archive are unpacked
// first and every file inside is read. Whatever the input, the reader must return, and every
// recipe it delivers must be one the pipeline can store.
//
// Each input is also imported into a database, exported as a Meal-Master file, that file imported
// into a second database and exported again: the two exports must be equal (PF_FUZZ_ROUNDTRIP=0
// in the environment leaves this out). The writer's Windows-1252 text is handed to the second
// import as UTF-8: the round trip checks what the reader stores and the writer writes, not the
// code-page guess on byte salad, which has tests of its own. What the format cannot carry is taken
// out of the comparison:
// - a character that Windows-1252 lacks is written as "?", which the title cleaning of the import
//   then removes: an input whose text holds such characters is read with them as "?" already;
// - a run of blanks where the writer has to break a preparation line (no single blank fits)
//   comes back as one blank, since readers trim every line and join the lines of a paragraph
//   with one blank: the preparation texts are stored with runs of blanks made one blank before
//   the first export. That the writer breaks at single blanks when it can has tests of its own;
// - an export that a reader would take for a mail's quoted-printable text, or with a line of text
//   that reads as part of the layout (a recipe's start or end, a heading inside the preparation,
//   a first preparation block that reads as more ingredients or, without ingredients, as a head
//   field), is not compared: the format has no way to mark such text as text.

#include "core/TextConv.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Recordset.h"
#include "exchange/ExportRun.h"
#include "exchange/ImportFile.h"
#include "exchange/MMImport.h"
#include "exchange/RecipeImport.h"
#include "model/ClUnit.h"
#include "model/ProgramUnits.h"
#include "model/RecipeRows.h"
#include "tests/support/BaseDataDb.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <unistd.h>

namespace pf::fuzz {

class CheckingSink : public MMImportSink
{
public:
    long StoreRecipe(ImportRecipe& recipe) override
    {
        ++recipes;
        lines += recipe.Lines.size();
        // What the pipeline relies on.
        if (recipe.Title.empty() || recipe.Servings < 1 || recipe.YieldUnitText.empty())
            ++broken;
        for (int written : recipe.WrittenLines)
            if (written >= static_cast<int>(recipe.Lines.size()))
                ++broken;
        return recipes;
    }
    void StoreInfoBlock(long, const MMInfoBlock&) override { ++infos; }

    long recipes = 0;
    std::size_t lines = 0;
    long infos = 0;
    long broken = 0;
};

// Reads one decoded file with every umlaut option; returns the number of broken recipes.
inline long ReadWithEveryOption(const ImportText& text, ClUnit& units)
{
    long broken = 0;
    for (int variant = 0; variant < 3; ++variant) {
        MMReadOptions options;
        options.Umlaute = variant == 1;
        options.NoUmlaute = variant == 2;
        MMImport reader(units, options);
        CheckingSink sink;
        reader.ReadFile(text, sink);
        broken += sink.broken;
    }
    return broken;
}

// Import, export, import again and export again; empty when both exports are equal.
class MMRoundTrip
{
public:
    // Every input writes and syncs two databases: best in memory.
    MMRoundTrip() : m_dir(MemoryFolder())
    {
        // Each run starts from copies of one database with the base data.
        test::MakeBaseDataDatabase(m_dir, "pristine.db");
        m_pristine = test::ReadFile(m_dir.File("pristine.db"));
    }

    std::string Run(std::string_view bytes)
    {
        const std::string input = m_dir.File("input.mm");
        const std::string text = DecodeImportText(bytes);
        const std::string held = Win1252ToUtf8(Utf8ToWin1252(text));
        test::WriteFile(input, held == text ? std::string(bytes) : held);
        const std::string first = ImportAndExport(input, "first", true);
        if (first.empty())
            return {};
        const std::string utf8 = m_dir.File("first-utf8.mm");
        const std::string firstText = Win1252ToUtf8(first);
        if (IsQuotedPrintable(firstText) || HoldsReservedLines(firstText))
            return {};
        test::WriteFile(utf8, firstText);
        const std::string second = ImportAndExport(utf8, "second");
        if (second != first)
            return "die Meal-Master-Ausgabe liest sich anders zurück:\n" + first + "\n--- wieder gelesen:\n" +
                   second;
        return {};
    }

private:
    // A folder given by TMPDIR, else the memory file system when there is one.
    static std::filesystem::path MemoryFolder()
    {
        std::error_code error;
        const std::filesystem::path shm = "/dev/shm";
        if (std::getenv("TMPDIR") || !std::filesystem::is_directory(shm, error) ||
            access(shm.c_str(), W_OK) != 0)
            return {};
        return shm;
    }

    // Lines of an export that the writer meant as text but a reader takes for part of the layout:
    // a recipe's start or end, the information block, a heading or a colon line inside the
    // preparation. The format has no way to write such a line as text.
    static bool HoldsReservedLines(const std::string& text)
    {
        std::vector<std::string> lines;
        for (std::size_t start = 0; start <= text.size();) {
            const std::size_t end = std::min(text.find("\r\n", start), text.size());
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        enum class Part { Outside, Head, List, Preparation } part = Part::Outside;
        long starts = 0;
        long ends = 0;
        bool emptyList = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            const std::string trimmed(Trim(line, " "));
            if (line.starts_with("MMMMM----- Recipe Meal-Master via ")) {
                ++starts;
                part = Part::Head;
                continue;
            }
            if (MMImport::IsStartLine(line) || line.find("EEEEE-----") != std::string::npos)
                return true;
            if (trimmed == "-----" ||
                (trimmed.size() >= 5 && trimmed.find_first_not_of("Mm") == std::string::npos)) {
                ++ends;
                part = Part::Outside;
                continue;
            }
            if (part == Part::Head && line.starts_with("      Yield: ")) {
                part = Part::List;
                emptyList = true;
                ++i; // the empty line after the head
            } else if (part == Part::List && trimmed.empty()) {
                part = Part::Preparation;
                if (FirstBlockReadsAsList(lines, i + 1, emptyList))
                    return true;
            } else if (part == Part::List) {
                emptyList = false;
            } else if (part == Part::Preparation) {
                std::string heading = trimmed;
                if ((trimmed.starts_with("MMMMM") || trimmed.starts_with("-----") ||
                     trimmed.starts_with("=====")) &&
                    MMImport::IsHeadingLine(heading) && !heading.empty())
                    return true;
                const std::size_t second = trimmed.find(':', 1);
                if (trimmed.starts_with(':') && second != std::string::npos) {
                    const std::string key =
                        ToUpper(Trim(std::string_view(trimmed).substr(1, second - 1), " "));
                    // The writer's own fingerprint line closes the recipe.
                    const bool own = i + 2 < lines.size() && lines[i + 1].empty() && lines[i + 2] == "MMMMM";
                    if (key == "NOTIZEN" || (key == "FINGERPRINT" && !own))
                        return true;
                }
            }
        }
        return starts != ends;
    }

    // The first block of a preparation (from line first on) that a reader may take for more of
    // the ingredient list: a line in the columns of an ingredient with an amount. Without
    // ingredients the block comes right after the head, where a line may also read as a head
    // field ("Title: ...") and lines beginning with amounts as ingredients without columns.
    static bool FirstBlockReadsAsList(const std::vector<std::string>& lines, std::size_t first,
                                      bool emptyList)
    {
        while (first < lines.size() && lines[first].empty())
            ++first;
        for (std::size_t i = first; i < lines.size() && !lines[i].empty(); ++i) {
            const std::string& line = lines[i];
            const std::u32string cols = ToCodePoints(line);
            const bool amount = (line[0] >= '0' && line[0] <= '9') || (line[0] & 0x80) != 0;
            if (amount && (emptyList || cols.size() <= 7 || cols[7] == U' '))
                return true;
            const std::size_t colon = line.find(':');
            const std::string key = colon == std::string::npos
                                        ? std::string()
                                        : ToUpper(Trim(std::string_view(line).substr(0, colon), " "));
            for (const char* head :
                 {"TITLE", "TITEL", "YIELD", "SERVINGS", "MENGE", "PORTIONEN", "CATEGORIES", "KATEGORIEN"})
                if (emptyList && i == first && key == head)
                    return true;
        }
        return false;
    }

    // Every run of blanks in the preparation texts as one blank.
    static void JoinBlankRuns(Database& db)
    {
        std::map<long, std::string> texts;
        for (auto rs = db.OpenRecordset("SELECT ID, AnwText FROM T_REZ_ANWEIS ORDER BY ID, [NO]"); !rs->Eof();
             rs->MoveNext())
            texts[static_cast<long>(rs->Field(0).AsLong())] += rs->Field(1).AsText();
        for (auto& [id, text] : texts) {
            text.erase(
                std::unique(text.begin(), text.end(), [](char a, char b) { return a == ' ' && b == ' '; }),
                text.end());
            db.Execute("DELETE FROM T_REZ_ANWEIS WHERE ID=?", {id});
            RecipeRowSet rows;
            rows.AddInstructions(id, text);
            rows.Write(db);
        }
    }

    // The export of everything the file gave; empty when it gave no recipe.
    std::string ImportAndExport(const std::string& file, const std::string& name, bool joinBlankRuns = false)
    {
        const std::string dbFile = m_dir.File(name + ".db");
        test::WriteFile(dbFile, m_pristine);
        std::unique_ptr<Database> db = Database::OpenSqlite(dbFile);
        ResetProgramData();
        {
            RecipeImport import(*db);
            import.Options().Files = {file};
            import.Options().Duplicates = DupePreset::Move;
            import.Import();
        }
        if (joinBlankRuns)
            JoinBlankRuns(*db);
        ExportRequest request;
        request.Mode = clsRecipeExport::kMealMasterFile;
        for (auto rs = db->OpenRecordset("SELECT ID FROM T_REZ_KOPF ORDER BY ID"); !rs->Eof(); rs->MoveNext())
            request.Ids.push_back(static_cast<long>(rs->Field(0).AsLong()));
        if (request.Ids.empty())
            return {};
        request.FileName = m_dir.File(name + ".mm");
        ResetProgramData();
        if (!RunExport(request, db.get()).Ok)
            return "(Export gescheitert)";
        return test::ReadFile(request.FileName);
    }

    test::TempDir m_dir;
    std::string m_pristine;
};

class MMImportFuzz
{
public:
    MMImportFuzz() : m_db(test::MakeBaseDataDatabase(m_dir))
    {
        m_units.SetDB(m_db.get());
        m_units.Count();
        if (const char* roundTrip = std::getenv("PF_FUZZ_ROUNDTRIP"); !roundTrip || *roundTrip != '0')
            m_roundTrip = std::make_unique<MMRoundTrip>();
    }

    // Empty when the reader kept its promises, else what it broke.
    std::string Run(std::string_view bytes)
    {
        long broken = 0;
        if (bytes.starts_with("PK")) {
            const std::string archive = m_dir.File("input.zip");
            test::WriteFile(archive, std::string(bytes));
            ImportZip zip;
            std::string error;
            if (zip.Open(archive, error)) {
                for (const std::string& file : zip.Files()) {
                    ImportText text;
                    if (ReadImportFile(file, text, error))
                        broken += ReadWithEveryOption(text, m_units);
                }
            } else if (error.empty()) {
                return "unlesbares Archiv ohne Meldung";
            }
        } else {
            broken = ReadWithEveryOption(ImportTextFromString(bytes, "fuzz.mm"), m_units);
            if (broken == 0 && m_roundTrip)
                return m_roundTrip->Run(bytes);
        }
        return broken == 0 ? std::string()
                           : std::to_string(broken) + " Rezepte verletzen die Zusagen des Lesers";
    }

private:
    test::TempDir m_dir;
    std::unique_ptr<Database> m_db;
    ClUnit m_units;
    std::unique_ptr<MMRoundTrip> m_roundTrip;
};

} // namespace pf::fuzz
