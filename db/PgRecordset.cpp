#include "db/PgRecordset.h"

#include "core/Utf8.h"
#include "db/FieldTypes.h"
#include "db/PgDatabase.h"
#include "db/SqliteConnection.h"

#include <algorithm>

namespace pf {

namespace {

// Whether the statement names a result column so with AS (the server's lower-case label).
bool IsAlias(const std::string& sql, const std::string& label)
{
    const std::string lowered = ToLower(sql);
    for (const std::string& form : {" as " + label, " as \"" + label + "\""}) {
        std::size_t pos = 0;
        while ((pos = lowered.find(form, pos)) != std::string::npos) {
            const std::size_t end = pos + form.size();
            if (end >= lowered.size() || !IsPlainIdentifier(lowered.substr(end, 1)))
                return true;
            pos = end;
        }
    }
    return false;
}

std::string Attribute(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field)
{
    SQLWCHAR text[512];
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLColAttributeW(stmt, column, field, text, sizeof(text), &length, nullptr)))
        return {};
    const std::size_t chars = std::min<std::size_t>(
        static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)) / sizeof(SQLWCHAR), std::size(text) - 1);
    return FromUtf16(text, chars);
}

SQLLEN NumericAttribute(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field)
{
    SQLLEN value = 0;
    SQLColAttributeW(stmt, column, field, nullptr, 0, nullptr, &value);
    return value;
}

} // namespace

PgRecordset::PgRecordset(std::shared_ptr<OdbcConnection> connection,
                         std::shared_ptr<const JetTranslation> translation, std::vector<Value> params,
                         bool readOnly)
    : m_conn(std::move(connection)), m_translation(std::move(translation)), m_params(std::move(params))
{
    m_editable = !m_translation->Table.empty() && !readOnly;
    Load();
}

void PgRecordset::Load()
{
    const bool first = m_columns.empty();
    const std::string& sql = m_editable ? m_translation->EditableSql : m_translation->Sql;
    OdbcStatement stmt = m_conn->Run(sql, m_params);
    SQLSMALLINT total = 0;
    SQLNumResultCols(stmt.Get(), &total);
    const int visible = m_editable ? total - 1 : total;
    m_rows.clear();
    m_rowIds.clear();
    m_pos = 0;
    m_deleted = false;
    m_editMode = EditMode::None;
    if (first) {
        m_columns.resize(static_cast<std::size_t>(std::max(visible, 0)));
        m_kinds.resize(m_columns.size());
    }
    for (int i = 0; first && i < visible; ++i) {
        RecordsetColumn& c = m_columns[static_cast<std::size_t>(i)];
        const auto number = static_cast<SQLUSMALLINT>(i + 1);
        c.name = Attribute(stmt.Get(), number, SQL_DESC_LABEL);
        c.table = Attribute(stmt.Get(), number, SQL_DESC_BASE_TABLE_NAME);
        c.origin = c.table.empty() ? std::string() : Attribute(stmt.Get(), number, SQL_DESC_BASE_COLUMN_NAME);
        const auto sqlType =
            static_cast<SQLSMALLINT>(NumericAttribute(stmt.Get(), number, SQL_DESC_CONCISE_TYPE));
        m_kinds[static_cast<std::size_t>(i)] = OdbcConnection::KindOf(sqlType);
        if (!c.origin.empty()) {
            if (const FieldDef* f = ServerField(*m_conn, c.table, c.origin)) {
                // The names as written when the table was made.
                if (c.name == c.origin)
                    c.name = f->Name;
                c.origin = f->Name;
                c.type = f->Type;
                c.size = f->Size;
                c.typed = true;
            }
            c.table = ServerTableName(*m_conn, c.table);
        }
        c.writable = m_editable && c.typed && EqualsNoCase(c.table, m_translation->Table);
    }
    // The server names an expression after its function; the engine calls it ExprNNNN.
    if (first)
        IndexColumns(*m_translation, [this](const RecordsetColumn& c) {
            return !IsPlainIdentifier(c.name) || !IsAlias(m_translation->Sql, c.name);
        });
    for (;;) {
        const SQLRETURN rc = SQLFetch(stmt.Get());
        if (rc == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(rc))
            m_conn->Fail(SQL_HANDLE_STMT, stmt.Get(), sql);
        std::vector<Value>& row = m_rows.emplace_back();
        row.reserve(m_columns.size());
        for (std::size_t i = 0; i < m_columns.size(); ++i)
            row.push_back(
                Typed(m_columns[i], m_conn->Read(stmt.Get(), static_cast<SQLUSMALLINT>(i + 1), m_kinds[i])));
        if (m_editable)
            m_rowIds.push_back(
                m_conn->Read(stmt.Get(), static_cast<SQLUSMALLINT>(total), OdbcReadKind::Text).AsText());
    }
    m_gone.assign(m_rows.size(), false);
    m_pending.resize(m_columns.size());
    m_set.assign(m_columns.size(), false);
}

PgRecordset::~PgRecordset()
{
    Close();
}

Value PgRecordset::Typed(const RecordsetColumn& c, Value raw) const
{
    if (raw.IsNull() || !c.typed)
        return raw;
    switch (c.type) {
    case FieldType::Boolean:
        return Value(raw.AsBool());
    case FieldType::Currency:
        return Value(Decimal4::FromDouble(raw.AsDouble()));
    case FieldType::Date:
        return Value(DateSerial{raw.AsDouble()});
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long:
    case FieldType::Counter:
        return Value(static_cast<long long>(raw.AsLong()));
    case FieldType::Single:
    case FieldType::Double:
        return Value(raw.AsDouble());
    default:
        return raw;
    }
}

void PgRecordset::Throw(long number, const std::string& description) const
{
    m_conn->Throw(DbError(number, description));
}

void PgRecordset::CheckOpen() const
{
    if (m_closed || !m_conn->IsOpen())
        Throw(3420, "Objekt ungültig oder nicht mehr festgelegt.");
}

void PgRecordset::CheckCurrent() const
{
    if (m_pos >= m_rows.size())
        Throw(dberr::kNoCurrentRecord, "Kein aktueller Datensatz.");
    if (m_deleted)
        Throw(3167, "Datensatz ist gelöscht.");
}

void PgRecordset::CheckEditable() const
{
    if (!m_editable)
        Throw(dberr::kReadOnly, "Aktualisieren nicht möglich. Datenbank oder Objekt ist schreibgeschützt.");
}

bool PgRecordset::Eof() const
{
    CheckOpen();
    return m_pos >= m_rows.size();
}

bool PgRecordset::Bof() const
{
    CheckOpen();
    return m_rows.empty() || m_pos == 0;
}

void PgRecordset::MoveNext()
{
    CheckOpen();
    if (m_pos >= m_rows.size())
        Throw(dberr::kNoCurrentRecord, "Kein aktueller Datensatz.");
    m_editMode = EditMode::None;
    m_deleted = false;
    ++m_pos;
    while (m_pos < m_rows.size() && m_gone[m_pos])
        ++m_pos;
}

void PgRecordset::MoveFirst()
{
    CheckOpen();
    // From the start again, with the rows as they are now (those added meanwhile included).
    Load();
    if (m_pos >= m_rows.size())
        Throw(dberr::kNoCurrentRecord, "Kein aktueller Datensatz.");
}

long PgRecordset::RecordCount()
{
    CheckOpen();
    return m_conn->Scalar("SELECT COUNT(*) FROM (" + m_translation->Sql + ") AS pf_count", m_params).AsLong();
}

Value PgRecordset::Field(std::string_view name) const
{
    CheckOpen();
    return Field(Index(name));
}

Value PgRecordset::Field(int index) const
{
    CheckOpen();
    CheckIndex(index);
    const auto i = static_cast<std::size_t>(index);
    if (m_editMode != EditMode::None) {
        if (m_set[i])
            return m_pending[i];
        if (m_editMode == EditMode::Add)
            return Value();
    }
    CheckCurrent();
    return m_rows[m_pos][i];
}

void PgRecordset::AddNew()
{
    CheckOpen();
    CheckEditable();
    m_editMode = EditMode::Add;
    std::fill(m_set.begin(), m_set.end(), false);
}

void PgRecordset::Edit()
{
    CheckOpen();
    CheckEditable();
    CheckCurrent();
    m_editMode = EditMode::Edit;
    std::fill(m_set.begin(), m_set.end(), false);
}

void PgRecordset::SetField(std::string_view name, const Value& value)
{
    CheckOpen();
    if (m_editMode == EditMode::None)
        Throw(3020, "Update oder CancelUpdate ohne AddNew oder Edit.");
    const auto i = static_cast<std::size_t>(Index(name));
    const RecordsetColumn& c = m_columns[i];
    if (!c.writable)
        Throw(3164, "Das Feld kann nicht aktualisiert werden.");
    try {
        ToColumnValue(c.type, c.size, value, m_pending[i]);
    } catch (const DbError& error) {
        m_conn->Throw(error);
    }
    m_set[i] = true;
}

void PgRecordset::Update()
{
    CheckOpen();
    if (m_editMode == EditMode::None)
        Throw(3020, "Update oder CancelUpdate ohne AddNew oder Edit.");
    const std::string table = QuoteName(ServerName(m_translation->Table));
    std::vector<Value> params;
    std::string names;
    std::string marks;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (!m_set[i])
            continue;
        const std::string column = QuoteName(ServerName(m_columns[i].origin));
        if (m_editMode == EditMode::Add) {
            names += (names.empty() ? "" : ",") + column;
            marks += marks.empty() ? "?" : ",?";
        } else {
            names += (names.empty() ? "" : ",") + column + "=?";
        }
        params.push_back(m_pending[i]);
    }
    if (m_editMode == EditMode::Add) {
        // Counter columns left unset are numbered by the server's identity.
        m_conn->Run(names.empty() ? "INSERT INTO " + table + " DEFAULT VALUES"
                                  : "INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")",
                    params);
        m_editMode = EditMode::None;
        return;
    }
    CheckCurrent();
    if (params.empty()) {
        m_editMode = EditMode::None;
        return;
    }
    params.push_back(Value(m_rowIds[m_pos]));
    const std::string sql =
        "UPDATE " + table + " SET " + names + " WHERE ctid = CAST(? AS tid) RETURNING CAST(ctid AS text)";
    SQLLEN changed = 0;
    OdbcStatement stmt = m_conn->Run(sql, params, &changed);
    // No row: another program changed the row (it has a new version) or deleted it since it was read.
    if (changed <= 0)
        Throw(3197, "Der Vorgang wurde angehalten, da Sie und ein anderer Benutzer gleichzeitig versuchen, "
                    "dieselben Daten zu ändern.");
    const SQLRETURN rc = SQLFetch(stmt.Get());
    if (!SQL_SUCCEEDED(rc))
        m_conn->Fail(SQL_HANDLE_STMT, stmt.Get(), sql);
    m_rowIds[m_pos] = m_conn->Read(stmt.Get(), 1, OdbcReadKind::Text).AsText();
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        if (m_set[i])
            m_rows[m_pos][i] = Typed(m_columns[i], m_pending[i]);
    m_editMode = EditMode::None;
}

void PgRecordset::CancelUpdate()
{
    CheckOpen();
    if (m_editMode == EditMode::None)
        Throw(3020, "Update oder CancelUpdate ohne AddNew oder Edit.");
    m_editMode = EditMode::None;
}

void PgRecordset::Delete()
{
    CheckOpen();
    CheckEditable();
    CheckCurrent();
    m_editMode = EditMode::None;
    SQLLEN changed = 0;
    m_conn->Run("DELETE FROM " + QuoteName(ServerName(m_translation->Table)) + " WHERE ctid = CAST(? AS tid)",
                {Value(m_rowIds[m_pos])}, &changed);
    if (changed <= 0)
        Throw(3197, "Der Vorgang wurde angehalten, da Sie und ein anderer Benutzer gleichzeitig versuchen, "
                    "dieselben Daten zu ändern.");
    m_deleted = true;
    m_gone[m_pos] = true;
}

void PgRecordset::Close()
{
    m_closed = true;
    m_editMode = EditMode::None;
    m_rows.clear();
    m_rowIds.clear();
}

} // namespace pf
