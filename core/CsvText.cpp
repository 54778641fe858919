#include "core/CsvText.h"

namespace pf {

std::string CsvField(std::string_view text, char separator)
{
    if (text.find_first_of(std::string{separator} + "\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string CsvRow(const std::vector<std::string>& fields, char separator)
{
    std::string row;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            row += separator;
        row += CsvField(fields[i], separator);
    }
    return row + "\r\n";
}

} // namespace pf
