#pragma once
// A recordset over a query on the PostgreSQL server. The result is read completely when the
// recordset opens (the rows as they were at that moment, as a snapshot keeps them), so that
// writes through it never disturb the scan. Over one table each row carries its row version
// (ctid): Edit/Update and Delete address the row by it, and a row that another program changed or
// deleted in the meantime is reported (3197) instead of being overwritten.

#include "db/ColumnRecordset.h"
#include "db/OdbcConnection.h"

#include <memory>
#include <vector>

namespace pf {

class PgRecordset final : public ColumnRecordset
{
public:
    PgRecordset(std::shared_ptr<OdbcConnection> connection, std::shared_ptr<const JetTranslation> translation,
                std::vector<Value> params, bool readOnly);
    ~PgRecordset() override;

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

private:
    enum class EditMode { None, Add, Edit };

    void CheckOpen() const override;
    void CheckCurrent() const;
    void CheckEditable() const;
    [[noreturn]] void Throw(long number, const std::string& description) const override;
    // Runs the query and reads every row.
    void Load();
    Value Typed(const RecordsetColumn& column, Value raw) const;

    std::shared_ptr<OdbcConnection> m_conn;
    std::shared_ptr<const JetTranslation> m_translation;
    std::vector<Value> m_params;
    bool m_editable = false;
    bool m_closed = false;
    std::vector<OdbcReadKind> m_kinds; // per column: how the driver is asked for the value
    std::vector<std::vector<Value>> m_rows;
    std::vector<std::string> m_rowIds;
    std::vector<bool> m_gone; // rows deleted through this recordset
    std::size_t m_pos = 0;
    bool m_deleted = false;
    EditMode m_editMode = EditMode::None;
    std::vector<Value> m_pending;
    std::vector<bool> m_set;
};

} // namespace pf
