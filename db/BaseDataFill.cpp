#include "db/BaseDataFill.h"

#include "core/Messages.h"
#include "core/Utf8.h"
#include "db/BaseData.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/InitFiles.h"

#include <vector>

namespace pf {

namespace {

// Lexicon areas by number: the utensils, the foods' synonyms, and the areas whose content is
// shipped whole (terms, additives, techniques, vitamins, minerals).
constexpr long kUtensilArea = 2;
constexpr long kFoodArea = 3;

bool IsShippedLexiconArea(long area)
{
    return area == 0 || area == 1 || area == 5 || area == 10 || area == 11;
}

// What is empty in a database, and so what a fill takes from the base data.
struct EmptyParts
{
    bool Foods = false;
    bool Lexicon = false;
    bool Utensils = false; // only together with the lexicon
    bool Any() const { return Foods || Lexicon; }
};

long Count(Database& db, const std::string& sql)
{
    return static_cast<long>(db.Scalar(sql).AsLong());
}

EmptyParts FindEmptyParts(Database& db)
{
    EmptyParts empty;
    try {
        // A database opened read-only stays as it is; the next writable open fills it.
        if (!db.IsUpdatable())
            return empty;
        for (const char* table : {"T_BLS_KEY", "T_BLS_DAT", "T_BLS_TREE", "T_INFO_KEY", "T_INFO_TREE",
                                  "T_LEXIKON", "T_GIFT", "T_GERAET"})
            if (!db.TableExists(table))
                return empty;
        empty.Foods = Count(db, "SELECT COUNT(*) FROM T_BLS_KEY") == 0;
        empty.Lexicon = Count(db, "SELECT COUNT(*) FROM T_INFO_KEY WHERE KEYTYPE IN (0,1,5,10,11)") +
                            Count(db, "SELECT COUNT(*) FROM T_LEXIKON") +
                            Count(db, "SELECT COUNT(*) FROM T_GIFT") ==
                        0;
        empty.Utensils = empty.Lexicon && Count(db, "SELECT COUNT(*) FROM T_INFO_KEY WHERE KEYTYPE=2") == 0 &&
                         Count(db, "SELECT COUNT(*) FROM T_GERAET") == 0;
    } catch (const DbError& error) {
        // A database the open cannot read is reported there.
        LogError(ToErrorInfo(error));
        return {};
    }
    return empty;
}

// The area of a keyword or tree row, -1 when the row has none.
long AreaOf(const std::vector<FieldDef>& columns, const std::vector<Value>& row)
{
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (ToUpper(columns[i].Name) == "KEYTYPE")
            return row[i].IsNull() ? -1 : static_cast<long>(row[i].AsLong());
    return -1;
}

bool Wanted(const EmptyParts& empty, const std::string& table, const std::vector<FieldDef>& columns,
            const std::vector<Value>& row)
{
    const std::string name = ToUpper(table);
    if (name == "T_BLS_KEY" || name == "T_BLS_DAT" || name == "T_BLS_TREE")
        return empty.Foods;
    if (name == "T_LEXIKON" || name == "T_GIFT")
        return empty.Lexicon;
    if (name == "T_GERAET")
        return empty.Utensils;
    if (name != "T_INFO_KEY" && name != "T_INFO_TREE")
        return false;
    const long area = AreaOf(columns, row);
    if (area == kFoodArea)
        return empty.Foods && name == "T_INFO_KEY";
    if (area == kUtensilArea)
        return empty.Utensils;
    return empty.Lexicon && IsShippedLexiconArea(area);
}

BaseDataFill Fill(Database& db, const EmptyParts& empty, const std::string& baseDataFile)
{
    BaseDataFill result;
    try {
        DbTransaction transaction(db);
        // Values, classes and synonyms without foods belong to nothing; the shipped ones replace them.
        if (empty.Foods) {
            db.Execute("DELETE FROM T_BLS_DAT");
            db.Execute("DELETE FROM T_BLS_TREE");
            db.Execute("DELETE FROM T_INFO_KEY WHERE KEYTYPE=3");
        }
        BaseDataFilter filter;
        filter.Append = true;
        filter.Accept = [&empty](const std::string& table, const std::vector<FieldDef>& columns,
                                 const std::vector<Value>& row) {
            return Wanted(empty, table, columns, row);
        };
        if (!ImportBaseData(db, baseDataFile, nullptr, filter)) {
            result.Failed = true; // the load showed the line; the transaction rolls back
            return result;
        }
        if (empty.Foods)
            result.Foods = Count(db, "SELECT COUNT(*) FROM T_BLS_KEY");
        transaction.Commit();
        result.Lexicon = empty.Lexicon;
    } catch (const DbError& error) {
        ReportError(ToErrorInfo(error), false);
        result = BaseDataFill{};
        result.Failed = true;
    }
    return result;
}

// Removes the extracted copies however the fill ends.
struct ExtractedInitFiles
{
    ~ExtractedInitFiles() { DeleteInitFiles(); }
};

} // namespace

BaseDataFill FillEmptyTablesFromInit(Database& db)
{
    const EmptyParts empty = FindEmptyParts(db);
    if (!empty.Any())
        return {};
    ExtractedInitFiles cleanup;
    if (!ExtractInitFiles(false).BaseData)
        return {};
    return Fill(db, empty, InitFilePath("INIT.CSV"));
}

} // namespace pf
