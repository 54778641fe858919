#pragma once
// Translates a statement of the Jet dialect the program writes into SQLite's dialect. A small
// tokenizer (strings, names, brackets, numbers, dates, operators) builds a tree of parenthesised
// groups, and rewriting works on that tree, never on the raw text:
//
//   "text" and 'text'        -> 'text' (quotes inside doubled as SQLite wants them)
//   [name]                   -> "name"
//   #12/28/2018 14:30#       -> the day serial (43462.604166...), also #yyyy/mm/dd# and #yyyy-mm-dd#
//   True / False             -> -1 / 0 (not inside literals, brackets or after a dot)
//   a & b                    -> jetcat(a, b): text concatenation, Null counts as "" unless both are Null
//   x [NOT] LIKE p           -> [NOT] jetlike(p, x): Jet wildcards, case-insensitive with umlauts
//   DISTINCTROW              -> dropped over one table (the engine ignores it there), DISTINCT over
//                               joins (the engine removes repeated source rows; DISTINCT removes
//                               repeated result rows, which differs only when two different source
//                               rows give identical selected values)
//   SELECT TOP n ...         -> ... LIMIT n
//   DELETE * FROM t / DELETE t.* FROM t ... -> DELETE FROM t ...
//   DELETE t.* FROM t INNER JOIN u ...      -> DELETE FROM t WHERE _rowid_ IN (SELECT t._rowid_ FROM ...)
//   UPDATE t INNER JOIN u ON ... SET t.x = e WHERE w
//       -> UPDATE t AS pf_target SET x = pf_src.pf_v1 FROM (SELECT t._rowid_ AS pf_rid, (e) AS pf_v1
//          FROM t INNER JOIN u ON ... WHERE w) AS pf_src WHERE pf_target._rowid_ = pf_src.pf_rid
//   CREATE TABLE / ALTER TABLE ... ADD [COLUMN] with Jet types (TEXT(n), LONG, MEMO, YESNO, ...)
//                            -> the declared types, collation and length check CreateTable writes
//   CREATE [UNIQUE] INDEX i ON t (...) / DROP INDEX i ON t -> index "t.i" (names are per table)
//   Mod -> %; UCase, LCase, Left, Right, Mid, Len, InStr, IIf, Nz, Val, CStr, CLng, CInt, CDbl,
//   Int, Fix, Now, Date, Year, Month, Day -> the helper functions registered on the connection.
//
// For PostgreSQL the same rewriting gives its dialect: the row id is "ctid", quoted names are
// lower case (as the server stores every name), IIf and Nz become CASE and COALESCE, the operands of
// "&" and LIKE are cast to text and keep their order (jetlike(x, p): ODBC parameter markers are
// plain "?", bound by position), and definitions get the server's types and the jetnocase collation
// (the helper functions of the same names are created on the server, PgFunctions.h).
//
// Parenthesised join chains "(a INNER JOIN b ON ...) LEFT JOIN c ON ..." are kept: SQLite reads
// them with the same meaning. Comparisons of text ignore case through the JETNOCASE collation
// that text columns are declared with, not through the translation.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pf {

// A PRAGMA both reads (through a recordset) and sets (through Execute, its rows discarded).
enum class StatementKind { Select, Pragma, Insert, Update, Delete, Other };

struct JetTranslation
{
    StatementKind Kind = StatementKind::Other;
    std::string Sql;
    // A SELECT over one table without grouping, DISTINCT or aggregates can be edited through a
    // recordset. Table is empty otherwise.
    std::string Table;
    std::string EditableSql; // Sql with the row id as an extra last column
    std::string RefetchSql;  // the same columns (and row id) of one row: "... WHERE _rowid_=?"
    // Aliases of the tables in the FROM clause (alias, table), for "alias.column" field names.
    std::vector<std::pair<std::string, std::string>> Aliases;
    // Statements the server runs after a definition: comments that keep the names as written.
    std::vector<std::string> Follow;
};

enum class SqlDialect { Sqlite, Postgres };

// Throws DbError 3075 for text it cannot read (an unclosed string, bracket or date literal) and
// 3073 for a joined UPDATE that sets columns of more than one table.
JetTranslation TranslateJetSql(std::string_view jet, SqlDialect dialect = SqlDialect::Sqlite);

} // namespace pf
