#pragma once
// A recordset over an SQLite statement. Rows are read straight from the statement as it steps
// (nothing is buffered). A recordset over one table also selects the row id, so that Edit/Update and
// Delete address their row; AddNew/Update inserts through a prepared statement kept per set of
// columns. Before the first write the remaining row ids are read ahead (a keyset, as the engine's
// dynasets keep one) and rows are then fetched by row id, so that writes never disturb the scan.

#include "db/ColumnRecordset.h"
#include "db/SqliteConnection.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace pf {

class SqliteRecordset final : public ColumnRecordset
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

    Value Field(std::string_view name) const override;
    Value Field(int index) const override;

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

    enum class Mode { Stream, Keyset };
    enum class EditMode { None, Add, Edit };
    struct CachedWrite
    {
        std::vector<std::uint64_t> mask;
        Statement stmt;
        std::vector<int> columns;
    };

    void CheckOpen() const override
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
    Value Read(int index) const;
    void Normalize(const RecordsetColumn& column, const Value& in, Value& out) const;
    CachedWrite& WriteStatement(std::vector<CachedWrite>& cache, bool insert);
    [[noreturn]] void Throw(long number, const std::string& description) const override;

    std::shared_ptr<SqliteConnection> m_conn;
    std::shared_ptr<const JetTranslation> m_translation;
    std::vector<Value> m_params;
    bool m_editable = false;
    bool m_closed = false;
    Statement m_main;
    Statement m_refetch;
    std::vector<ReadKind> m_kinds; // per column: how a stored number is read
    int m_rowidColumn = -1;

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
