#pragma once
// What both back ends' recordsets keep about their columns: the column definitions as the query
// reports them, a case-insensitive name index ("ID", "T_REZ_ZUTAT.ID", "A.MenuID" for an alias A,
// ExprNNNN for unnamed expressions; the first column of a name wins) and the names as the engine
// shows them. Field lookups by name allocate nothing; loops that ask for the same literal names row
// after row are answered from a small cache.

#include "db/FieldTypes.h"
#include "db/JetSql.h"
#include "db/Recordset.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pf {

struct RecordsetColumn
{
    std::string name;   // as the statement names it
    std::string origin; // table column it comes from, empty for expressions
    std::string table;
    FieldType type = FieldType::Memo;
    int size = 0;
    bool typed = false;    // declared type known, so writes are converted to it
    bool writable = false; // a column of the recordset's table
};

class ColumnRecordset : public Recordset
{
public:
    int FieldCount() const override;
    std::string FieldName(int index) const override;
    int FieldSize(std::string_view name) const override;

protected:
    // Checks that the recordset is still open (throws 3420 otherwise).
    virtual void CheckOpen() const = 0;
    [[noreturn]] virtual void Throw(long number, const std::string& description) const = 0;

    // Builds the name index and the shown names once m_columns is filled. unnamed tells which
    // expression columns also answer to the engine's ExprNNNN names, counted from 1000.
    void IndexColumns(const JetTranslation& translation,
                      const std::function<bool(const RecordsetColumn&)>& unnamed);
    // The column of a name, -1 when there is none.
    int Find(std::string_view name) const { return m_names.Find(name); }
    // The column of a name; throws 3265 when there is none.
    int Index(std::string_view name) const;
    void CheckIndex(int index) const;

    std::vector<RecordsetColumn> m_columns;

private:
    class NameIndex
    {
    public:
        void Add(std::string_view name, int index);
        int Find(std::string_view name) const;

    private:
        struct Slot
        {
            std::string key; // folded
            std::uint64_t hash = 0;
            int index = -1;
        };
        const Slot* FindHashed(std::string_view name) const;
        // Where a name was last seen, its exact bytes (as two words; longer names are checked
        // against the slot's key) and the slot it matched.
        struct Recent
        {
            const char* data = nullptr;
            std::size_t size = 0;
            std::uint64_t head = 0, tail = 0;
            const Slot* slot = nullptr;
        };
        static constexpr std::size_t kSets = 64;
        mutable Recent m_recent[kSets * 2];
        mutable unsigned char m_older[kSets] = {};
        void Grow();
        std::vector<Slot> m_slots;
        std::size_t m_count = 0;
    };

    NameIndex m_names;
    std::vector<std::string> m_displayNames;
};

// Whether a result column's name is a plain identifier (letters, digits, underscore).
bool IsPlainIdentifier(std::string_view name);

} // namespace pf
