#pragma once
// Internal to the SQLite back end: the functions and the collation the translated statements
// rely on, registered on every connection:
//   jetlike(pattern, text)   Jet LIKE (see JetLike.h); a malformed pattern fails with "pf:pattern"
//   jetcat(a, b)             the & operator: Null counts as "" unless both sides are Null
//   jet_ucase, jet_lcase, jet_left, jet_right, jet_mid, jet_len, jet_instr, jet_nz, jet_val,
//   jet_cstr, jet_clng, jet_cdbl, jet_ccur, jet_int, jet_fix, jet_now, jet_date, jet_year,
//   jet_month, jet_day      the Jet functions of the same names (characters, not bytes)
//   collation JETNOCASE      text compared as the engine does (JetText.h)

#include <sqlite3.h>

namespace pf {

// Returns an SQLite result code.
int RegisterJetFunctions(sqlite3* db);

} // namespace pf
