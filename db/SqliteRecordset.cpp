#include "db/SqliteRecordset.h"

#include "core/Utf8.h"
#include "db/FieldTypes.h"

#include <algorithm>
#include <cstring>

namespace pf {

namespace {

const char* ColumnText(const char* text)
{
    return text ? text : "";
}

} // namespace

// --- SqliteRecordset -------------------------------------------------------------------------

SqliteRecordset::SqliteRecordset(std::shared_ptr<SqliteConnection> connection,
                                 std::shared_ptr<const JetTranslation> translation, std::vector<Value> params)
    : m_conn(std::move(connection)), m_translation(std::move(translation)), m_params(std::move(params))
{
    m_editable = !m_translation->Table.empty() && !m_conn->ReadOnly();
    m_main = m_conn->Prepare(m_editable ? m_translation->EditableSql : m_translation->Sql);
    sqlite3_stmt* stmt = m_main.Get();
    const int expected = sqlite3_bind_parameter_count(stmt);
    if (expected != static_cast<int>(m_params.size()))
        m_conn->Throw(DbError(3061, "Zu wenige Parameter. " + std::to_string(expected) + " erwartet."));
    for (std::size_t i = 0; i < m_params.size(); ++i)
        BindValue(stmt, static_cast<int>(i + 1), m_params[i]);
    // The first step comes before the columns are read: a statement kept prepared from an earlier
    // run is prepared again by that step when another program changed the table meanwhile, and only
    // then does it list the table's columns as they are now.
    Start();

    const int total = sqlite3_column_count(stmt);
    const int visible = m_editable ? total - 1 : total;
    m_rowidColumn = m_editable ? total - 1 : -1;
    m_columns.resize(static_cast<std::size_t>(visible));
    m_kinds.assign(m_columns.size(), ReadKind::Dynamic);
    for (int i = 0; i < visible; ++i) {
        RecordsetColumn& c = m_columns[static_cast<std::size_t>(i)];
        c.name = ColumnText(sqlite3_column_name(stmt, i));
        c.origin = ColumnText(sqlite3_column_origin_name(stmt, i));
        c.table = ColumnText(sqlite3_column_table_name(stmt, i));
        if (const char* declared = sqlite3_column_decltype(stmt, i); declared && *declared) {
            c.type = ParseDeclaredType(declared, c.size);
            c.typed = true;
            ReadKind& kind = m_kinds[static_cast<std::size_t>(i)];
            if (c.type == FieldType::Boolean)
                kind = ReadKind::Boolean;
            else if (c.type == FieldType::Currency)
                kind = ReadKind::Currency;
            else if (c.type == FieldType::Date)
                kind = ReadKind::Date;
        }
        c.writable = m_editable && !c.origin.empty() && EqualsNoCase(c.table, m_translation->Table);
    }
    IndexColumns(*m_translation, [](const RecordsetColumn& c) { return !IsPlainIdentifier(c.name); });
    m_pending.resize(m_columns.size());
    m_setMask.assign((m_columns.size() + 63) / 64, 0);
}

SqliteRecordset::~SqliteRecordset()
{
    Close();
}

void SqliteRecordset::Throw(long number, const std::string& description) const
{
    m_conn->Throw(DbError(number, description));
}

void SqliteRecordset::ThrowClosed() const
{
    Throw(3420, "Objekt ungültig oder nicht mehr festgelegt.");
}

void SqliteRecordset::CheckCurrent() const
{
    if (m_eof)
        Throw(dberr::kNoCurrentRecord, "Kein aktueller Datensatz.");
    if (m_deleted)
        Throw(3167, "Datensatz ist gelöscht.");
}

void SqliteRecordset::CheckEditable() const
{
    if (!m_editable)
        Throw(dberr::kReadOnly, "Aktualisieren nicht möglich. Datenbank oder Objekt ist schreibgeschützt.");
}

void SqliteRecordset::Start()
{
    m_mode = Mode::Stream;
    m_keys.clear();
    m_keyPos = 0;
    m_deleted = false;
    m_editMode = EditMode::None;
    if (m_refetch)
        sqlite3_reset(m_refetch.Get());
    sqlite3_reset(m_main.Get());
    StepMain();
    m_bof = m_eof;
}

bool SqliteRecordset::StepMain()
{
    sqlite3_stmt* stmt = m_main.Get();
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        m_mainActive = true;
        m_eof = false;
        return true;
    }
    m_mainActive = false;
    m_eof = true;
    if (rc != SQLITE_DONE)
        m_conn->Fail(rc, m_translation->Sql);
    // Finished: let go of the read transaction at once.
    sqlite3_reset(stmt);
    return false;
}

void SqliteRecordset::EnterKeyset()
{
    if (m_mode == Mode::Keyset || !m_mainActive)
        return;
    sqlite3_stmt* main = m_main.Get();
    m_keys.clear();
    m_keys.push_back(sqlite3_column_int64(main, m_rowidColumn));
    int rc = 0;
    while ((rc = sqlite3_step(main)) == SQLITE_ROW)
        m_keys.push_back(sqlite3_column_int64(main, m_rowidColumn));
    m_mainActive = false;
    if (rc != SQLITE_DONE)
        m_conn->Fail(rc, m_translation->Sql);
    sqlite3_reset(main);
    if (!m_refetch)
        m_refetch = m_conn->Prepare(m_translation->RefetchSql);
    m_mode = Mode::Keyset;
    m_keyPos = 0;
    LoadKey();
}

bool SqliteRecordset::LoadKey()
{
    sqlite3_stmt* stmt = m_refetch.Get();
    while (m_keyPos < m_keys.size()) {
        sqlite3_reset(stmt);
        sqlite3_bind_int64(stmt, 1, m_keys[m_keyPos]);
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            m_eof = false;
            return true;
        }
        if (rc != SQLITE_DONE)
            m_conn->Fail(rc, m_translation->RefetchSql);
        ++m_keyPos; // deleted meanwhile
    }
    sqlite3_reset(stmt);
    m_eof = true;
    return false;
}

bool SqliteRecordset::Eof() const
{
    CheckOpen();
    return m_eof;
}

bool SqliteRecordset::Bof() const
{
    CheckOpen();
    return m_bof;
}

void SqliteRecordset::MoveNext()
{
    CheckOpen();
    if (m_eof)
        Throw(dberr::kNoCurrentRecord, "Kein aktueller Datensatz.");
    m_editMode = EditMode::None;
    m_deleted = false;
    m_bof = false;
    if (m_mode == Mode::Stream) {
        StepMain();
    } else {
        ++m_keyPos;
        LoadKey();
    }
}

void SqliteRecordset::MoveFirst()
{
    CheckOpen();
    Start();
    if (m_eof)
        Throw(dberr::kNoCurrentRecord, "Kein aktueller Datensatz.");
}

long SqliteRecordset::RecordCount()
{
    CheckOpen();
    Statement count = m_conn->Prepare("SELECT COUNT(*) FROM (" + m_translation->Sql + ")");
    for (std::size_t i = 0; i < m_params.size(); ++i)
        BindValue(count.Get(), static_cast<int>(i + 1), m_params[i]);
    const int rc = sqlite3_step(count.Get());
    if (rc != SQLITE_ROW)
        m_conn->Fail(rc, m_translation->Sql);
    return static_cast<long>(sqlite3_column_int64(count.Get(), 0));
}

Value SqliteRecordset::Read(int index) const
{
    // One column fetch, then the value's own accessors: fewer calls than column_type + column_*.
    sqlite3_value* v = sqlite3_column_value(Current(), index);
    const int type = sqlite3_value_type(v);
    if (type == SQLITE_NULL)
        return Value();
    const ReadKind kind = m_kinds[static_cast<std::size_t>(index)];
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
        switch (kind) {
        case ReadKind::Boolean:
            return Value(type == SQLITE_INTEGER ? sqlite3_value_int64(v) != 0 : sqlite3_value_double(v) != 0);
        case ReadKind::Currency:
            if (type == SQLITE_INTEGER)
                return Value(Decimal4::FromLong(sqlite3_value_int64(v)));
            return Value(Decimal4::FromDouble(sqlite3_value_double(v)));
        case ReadKind::Date:
            return Value(DateSerial{sqlite3_value_double(v)});
        case ReadKind::Dynamic:
            break;
        }
        if (type == SQLITE_INTEGER)
            return Value(static_cast<long long>(sqlite3_value_int64(v)));
        return Value(sqlite3_value_double(v));
    }
    if (type == SQLITE_TEXT) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
        const auto size = static_cast<std::size_t>(sqlite3_value_bytes(v));
        Value result(std::string(text, size));
        if (kind == ReadKind::Boolean)
            return Value(result.AsBool());
        return result;
    }
    const auto* data = static_cast<const std::uint8_t*>(sqlite3_value_blob(v));
    const auto size = static_cast<std::size_t>(sqlite3_value_bytes(v));
    return Value(Blob(data, data + size));
}

Value SqliteRecordset::Field(std::string_view name) const
{
    CheckOpen();
    const int index = Find(name);
    if (index < 0) [[unlikely]]
        Index(name); // throws 3265
    if (m_editMode == EditMode::None && !m_eof && !m_deleted)
        return Read(index);
    return Field(index);
}

Value SqliteRecordset::Field(int index) const
{
    CheckOpen();
    CheckIndex(index);
    if (m_editMode != EditMode::None) {
        const auto bit = static_cast<std::size_t>(index);
        if (m_setMask[bit / 64] & (1ULL << (bit % 64)))
            return m_pending[bit];
        if (m_editMode == EditMode::Add)
            return Value();
    }
    CheckCurrent();
    return Read(index);
}

void SqliteRecordset::AddNew()
{
    CheckOpen();
    CheckEditable();
    m_editMode = EditMode::Add;
    std::fill(m_setMask.begin(), m_setMask.end(), 0);
}

void SqliteRecordset::Edit()
{
    CheckOpen();
    CheckEditable();
    CheckCurrent();
    m_editMode = EditMode::Edit;
    std::fill(m_setMask.begin(), m_setMask.end(), 0);
}

void SqliteRecordset::Normalize(const RecordsetColumn& c, const Value& in, Value& out) const
{
    if (in.IsNull() || !c.typed) {
        out = in;
        return;
    }
    try {
        ToColumnValue(c.type, c.size, in, out);
    } catch (const DbError& error) {
        m_conn->Throw(error);
    }
}

void SqliteRecordset::SetField(std::string_view name, const Value& value)
{
    CheckOpen();
    if (m_editMode == EditMode::None)
        Throw(3020, "Update oder CancelUpdate ohne AddNew oder Edit.");
    const int index = Index(name);
    const RecordsetColumn& c = m_columns[static_cast<std::size_t>(index)];
    if (!c.writable)
        Throw(3164, "Das Feld kann nicht aktualisiert werden.");
    const auto bit = static_cast<std::size_t>(index);
    Normalize(c, value, m_pending[bit]);
    m_setMask[bit / 64] |= 1ULL << (bit % 64);
}

SqliteRecordset::CachedWrite& SqliteRecordset::WriteStatement(std::vector<CachedWrite>& cache, bool insert)
{
    for (CachedWrite& w : cache)
        if (w.mask == m_setMask)
            return w;
    CachedWrite w;
    w.mask = m_setMask;
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        if (m_setMask[i / 64] & (1ULL << (i % 64)))
            w.columns.push_back(static_cast<int>(i));
    const std::string table = QuoteName(m_translation->Table);
    std::string sql;
    if (insert) {
        if (w.columns.empty()) {
            sql = "INSERT INTO " + table + " DEFAULT VALUES";
        } else {
            std::string names;
            std::string marks;
            for (int i : w.columns) {
                names +=
                    (names.empty() ? "" : ",") + QuoteName(m_columns[static_cast<std::size_t>(i)].origin);
                marks += marks.empty() ? "?" : ",?";
            }
            sql = "INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")";
        }
    } else {
        std::string sets;
        for (int i : w.columns)
            sets +=
                (sets.empty() ? "" : ",") + QuoteName(m_columns[static_cast<std::size_t>(i)].origin) + "=?";
        sql = "UPDATE " + table + " SET " + sets + " WHERE _rowid_=?";
    }
    w.stmt = m_conn->Prepare(sql);
    cache.push_back(std::move(w));
    return cache.back();
}

void SqliteRecordset::Update()
{
    CheckOpen();
    if (m_editMode == EditMode::None)
        Throw(3020, "Update oder CancelUpdate ohne AddNew oder Edit.");
    // Writing while the scan is still running on the same table could make rows appear twice or
    // keep the write uncommitted until the scan ends: read the remaining row ids first.
    EnterKeyset();
    if (m_editMode == EditMode::Add) {
        for (std::size_t i = 0; i < m_columns.size(); ++i) {
            const RecordsetColumn& c = m_columns[i];
            if (c.type != FieldType::Counter || !c.typed || c.origin.empty() ||
                (m_setMask[i / 64] & (1ULL << (i % 64))))
                continue;
            Statement next = m_conn->Prepare("SELECT IFNULL(MAX(" + QuoteName(c.origin) + "),0)+1 FROM " +
                                             QuoteName(m_translation->Table));
            const int rc = sqlite3_step(next.Get());
            if (rc != SQLITE_ROW)
                m_conn->Fail(rc);
            m_pending[i] = Value(static_cast<long long>(sqlite3_column_int64(next.Get(), 0)));
            m_setMask[i / 64] |= 1ULL << (i % 64);
        }
        CachedWrite& w = WriteStatement(m_inserts, true);
        sqlite3_stmt* stmt = w.stmt.Get();
        sqlite3_reset(stmt);
        int k = 1;
        for (int i : w.columns)
            BindValue(stmt, k++, m_pending[static_cast<std::size_t>(i)]);
        const int rc = sqlite3_step(stmt);
        if (rc != SQLITE_DONE)
            m_conn->Fail(rc);
        sqlite3_reset(stmt);
        m_editMode = EditMode::None;
        return;
    }
    CheckCurrent();
    if (std::all_of(m_setMask.begin(), m_setMask.end(), [](std::uint64_t m) { return m == 0; })) {
        m_editMode = EditMode::None;
        return;
    }
    const sqlite3_int64 rowid = sqlite3_column_int64(Current(), m_rowidColumn);
    CachedWrite& w = WriteStatement(m_updates, false);
    sqlite3_stmt* stmt = w.stmt.Get();
    sqlite3_reset(stmt);
    int k = 1;
    for (int i : w.columns)
        BindValue(stmt, k++, m_pending[static_cast<std::size_t>(i)]);
    sqlite3_bind_int64(stmt, k, rowid);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE)
        m_conn->Fail(rc);
    sqlite3_reset(stmt);
    m_editMode = EditMode::None;
    // Show the row as it is now stored.
    if (m_mode == Mode::Keyset)
        LoadKey();
}

void SqliteRecordset::CancelUpdate()
{
    CheckOpen();
    if (m_editMode == EditMode::None)
        Throw(3020, "Update oder CancelUpdate ohne AddNew oder Edit.");
    m_editMode = EditMode::None;
}

void SqliteRecordset::Delete()
{
    CheckOpen();
    CheckEditable();
    CheckCurrent();
    m_editMode = EditMode::None;
    EnterKeyset();
    const sqlite3_int64 rowid = sqlite3_column_int64(Current(), m_rowidColumn);
    if (!m_delete)
        m_delete = m_conn->Prepare("DELETE FROM " + QuoteName(m_translation->Table) + " WHERE _rowid_=?");
    sqlite3_stmt* stmt = m_delete.Get();
    sqlite3_reset(stmt);
    sqlite3_bind_int64(stmt, 1, rowid);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE)
        m_conn->Fail(rc);
    sqlite3_reset(stmt);
    m_deleted = true;
}

void SqliteRecordset::Close()
{
    if (m_closed)
        return;
    m_closed = true;
    m_editMode = EditMode::None;
    m_main.Release();
    m_refetch.Release();
    m_delete.Release();
    m_inserts.clear();
    m_updates.clear();
}

} // namespace pf
