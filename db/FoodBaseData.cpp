#include "db/FoodBaseData.h"

#include "core/Messages.h"
#include "core/Utf8.h"
#include "db/BaseData.h"
#include "db/DbError.h"
#include "db/InitFiles.h"

#include <string>
#include <vector>

namespace pf {

namespace {

// Removes the extracted copies however the load ends.
struct ExtractedInitFiles
{
    ~ExtractedInitFiles() { DeleteInitFiles(); }
};

// The rows of the food table in a base-data file: its own tables whole, of the keyword table only
// the food synonyms (area 3).
bool IsFoodRow(const std::string& table, const std::vector<FieldDef>& columns,
               const std::vector<Value>& values)
{
    const std::string name = ToUpper(table);
    if (name == "T_BLS_KEY" || name == "T_BLS_DAT" || name == "T_BLS_TREE")
        return true;
    if (name != "T_INFO_KEY")
        return false;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (ToUpper(columns[i].Name) == "KEYTYPE")
            return !values[i].IsNull() && values[i].AsLong() == 3;
    return false;
}

} // namespace

long FillEmptyFoodTable(Database& db)
{
    try {
        // A database opened read-only stays as it is; the next writable open fills it.
        if (!db.IsUpdatable() || !db.TableExists("T_BLS_KEY") ||
            db.Scalar("SELECT COUNT(*) FROM T_BLS_KEY").AsLong() > 0)
            return 0;
    } catch (const DbError&) {
        return 0; // a database the open cannot read is reported there
    }
    ExtractedInitFiles cleanup;
    if (!ExtractInitFiles(false).BaseData)
        return 0;
    try {
        DbTransaction transaction(db);
        // Values, classes and synonyms without foods belong to nothing; the shipped ones replace them.
        db.Execute("DELETE FROM T_BLS_DAT");
        db.Execute("DELETE FROM T_BLS_TREE");
        db.Execute("DELETE FROM T_INFO_KEY WHERE KEYTYPE=3");
        BaseDataFilter filter;
        filter.Append = true;
        filter.Accept = IsFoodRow;
        if (!ImportBaseData(db, InitFilePath("INIT.CSV"), nullptr, filter))
            return -1;
        const long added = db.Scalar("SELECT COUNT(*) FROM T_BLS_KEY").AsLong();
        transaction.Commit();
        return added;
    } catch (const DbError& error) {
        ReportError(ToErrorInfo(error), false);
        return -1;
    }
}

} // namespace pf
