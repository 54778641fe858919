#pragma once
// Delimited text as spreadsheet programs write and read it: a field holding the separator, a
// double quote or a line break is enclosed in double quotes, with each quote inside doubled; line
// breaks stay inside the quoted field. Rows end in CR LF.

#include <string>
#include <string_view>
#include <vector>

namespace pf {

// The UTF-8 byte-order mark that tells spreadsheet programs the encoding of a CSV file.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string CsvField(std::string_view text, char separator = ';');
// The fields joined by the separator, ended by CR LF.
std::string CsvRow(const std::vector<std::string>& fields, char separator = ';');

} // namespace pf
