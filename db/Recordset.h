#pragma once
// A result set with a current row, as the program's logic walks it: Eof/MoveNext, field access
// by name ("ID" or "T_REZ_ZUTAT.ID" over joins), and AddNew/Edit/Update/Delete on recordsets
// opened over one table. A recordset belongs to its Database and must not outlive it.

#include "db/Database.h"

namespace pf {

class Recordset
{
public:
    virtual ~Recordset() = default;

    virtual bool Eof() const = 0;
    virtual bool Bof() const = 0;
    virtual void MoveNext() = 0;
    virtual void MoveFirst() = 0;
    // Number of rows of the whole result.
    virtual long RecordCount() = 0;

    virtual int FieldCount() const = 0;
    virtual std::string FieldName(int index) const = 0;
    // Throws DbError 3265 for an unknown name. A name is matched without regard to case, first
    // as the full "table.column", then as the plain column (the first column of that name wins).
    virtual Value Field(std::string_view name) const = 0;
    virtual Value Field(int index) const = 0;
    Value operator[](std::string_view name) const { return Field(name); }
    // Defined size of a Text field, 0 for other types.
    virtual int FieldSize(std::string_view name) const = 0;

    // Editing: AddNew or Edit, then SetField, then Update (or CancelUpdate).
    virtual void AddNew() = 0;
    virtual void Edit() = 0;
    virtual void SetField(std::string_view name, const Value& value) = 0;
    virtual void Update() = 0;
    virtual void CancelUpdate() = 0;
    // Deletes the current row.
    virtual void Delete() = 0;
    virtual void Close() = 0;
};

} // namespace pf
