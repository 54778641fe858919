#pragma once
// A recordset over an SQLite statement. Rows are read straight from the statement as it steps
// (nothing is buffered); field names are resolved through a hash index built once when the
// recordset opens. A recordset over one table also selects the row id, so that Edit/Update and
// Delete address their row; AddNew/Update inserts through a prepared statement kept per set of
// columns. Before the first write the remaining row ids are read ahead (a keyset, as the engine's
// dynasets keep one) and rows are then fetched by row id, so that writes never disturb the scan.

#include "db/Recordset.h"
#include "db/SqliteConnection.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace pf {

class SqliteRecordset : public Recordset
{
public:
    SqliteRecordset(std::shared_ptr<SqliteConnection> connection,
                    std::shared_ptr<const JetTranslation> translation, std::vector<Value> params);
    ~SqliteRecordset() override;

    bool Eof() const override;
    bool Bof() const override;
    void MoveNext() override;
    void MoveFirst() override;
    long RecordCount() override;

    int FieldCount() const override;
    std::string FieldName(int index) const override;
    Value Field(std::string_view name) const override;
    Value Field(int index) const override;
    int FieldSize(std::string_view name) const override;

    void AddNew() override;
    void Edit() override;
    void SetField(std::string_view name, const Value& value) override;
    void Update() override;
    void CancelUpdate() override;
    void Delete() override;
    void Close() override;

    // Whether AddNew/Edit/Delete are possible (one table, writable database).
    bool IsEditable() const { return m_editable; }

private:
    enum class ReadKind : unsigned char { Dynamic, Boolean, Currency, Date };
    struct Column
    {
        std::string name;   // as the statement names it
        std::string origin; // table column it comes from, empty for expressions
        std::string table;
        FieldType type = FieldType::Memo;
        int size = 0;
        ReadKind kind = ReadKind::Dynamic;
        bool typed = false;    // declared type known, so writes are converted to it
        bool writable = false; // a column of the recordset's table
    };

    // Case-insensitive name -> column index, open addressing, no allocation on lookup. Loops ask
    // for the same few names (usually literals) row after row: a small cache keyed by where the
    // name lies answers those with one comparison of its bytes.
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

    enum class Mode { Stream, Keyset };
    enum class EditMode { None, Add, Edit };
    struct CachedWrite
    {
        std::vector<std::uint64_t> mask;
        Statement stmt;
        std::vector<int> columns;
    };

    void CheckOpen() const
    {
        if (m_closed || !m_conn->IsOpen()) [[unlikely]]
            ThrowClosed();
    }
    [[noreturn]] void ThrowClosed() const;
    void CheckCurrent() const;
    void CheckEditable() const;
    void Start();
    bool StepMain();
    void EnterKeyset();
    bool LoadKey();
    sqlite3_stmt* Current() const { return m_mode == Mode::Stream ? m_main.Get() : m_refetch.Get(); }
    int Index(std::string_view name) const;
    Value Read(int index) const;
    void Normalize(const Column& column, const Value& in, Value& out) const;
    CachedWrite& WriteStatement(std::vector<CachedWrite>& cache, bool insert);
    [[noreturn]] void Throw(long number, const std::string& description) const;

    std::shared_ptr<SqliteConnection> m_conn;
    std::shared_ptr<const JetTranslation> m_translation;
    std::vector<Value> m_params;
    bool m_editable = false;
    bool m_closed = false;
    Statement m_main;
    Statement m_refetch;
    std::vector<Column> m_columns;
    std::vector<std::string> m_displayNames;
    int m_rowidColumn = -1;
    NameIndex m_names;

    Mode m_mode = Mode::Stream;
    bool m_mainActive = false; // the main statement sits on a row
    bool m_eof = true;
    bool m_bof = true;
    bool m_deleted = false;
    std::vector<sqlite3_int64> m_keys;
    std::size_t m_keyPos = 0;

    EditMode m_editMode = EditMode::None;
    std::vector<Value> m_pending;
    std::vector<std::uint64_t> m_setMask;
    std::vector<CachedWrite> m_inserts;
    std::vector<CachedWrite> m_updates;
    Statement m_delete;
};

} // namespace pf
