#pragma once
// How the Jet column types live in an SQLite file. Each declared type names the Jet type and
// gives SQLite the right affinity (the rules look for INT, CHAR/CLOB/TEXT, BLOB, REAL/FLOA/DOUB in
// that order, anything else gets NUMERIC, which would turn the text "123" into a number):
//
//   Byte "TINYINT", Integer "SMALLINT", Long "INTEGER" (a one-column Long primary key is then the
//   row id), Counter "COUNTER INTEGER", Single "FLOAT", Double "DOUBLE", Currency "CURRENCY REAL",
//   Date "DATETIME REAL" (day serial), Boolean "BOOLEAN INTEGER" (-1/0), Text(n) "TEXT(n)",
//   Memo "LONGTEXT", Binary "LONGBINARY BLOB".
//
// Text and Memo columns carry COLLATE JETNOCASE, Text(n) columns a CHECK on their length.

#include "db/Database.h"

#include <string>
#include <string_view>

namespace pf {

std::string DeclaredType(FieldType type, int size);

// The PostgreSQL type of a column: Byte "jet_byte", Integer "SMALLINT", Long "INTEGER", Counter an
// identity column, Single "REAL", Double "DOUBLE PRECISION", Currency "NUMERIC(19,4)", Date "jet_date"
// (day serial), Boolean "jet_boolean" (-1/0), Text(n) "VARCHAR(n)", Memo "TEXT", Binary "BYTEA". The
// jet_ types are domains over smallint and double precision, so that the schema tells them apart.
std::string ServerDeclaredType(FieldType type, int size);

// Reads a declared type back (also foreign ones such as "VARCHAR(20)" or "NUMERIC"); size is the
// defined size of a Text column, 0 otherwise.
FieldType ParseDeclaredType(std::string_view declared, int& size);

// A value as a column of that type stores it: text checked against the defined size (3163), whole
// numbers against the type's range (3349), text that is no number refused (3421).
void ToColumnValue(FieldType type, int size, const Value& in, Value& out);

// The SQL literal of a column default in the column's type (Booleans as -1/0, dates as day
// serials). A binary default is written only where the database can store one (binaryLiteral).
std::string DefaultLiteral(const Value& value, FieldType type, bool binaryLiteral);

// Reads a column default as the database shows it back ("(0)", "'-1'::integer", "'x'::character
// varying", "nextval(...)") into a value of the column's type; Null for none or a numbering.
Value ParseDefault(std::string text, FieldType type);

inline bool IsTextType(FieldType type)
{
    return type == FieldType::Text || type == FieldType::Memo;
}

} // namespace pf
