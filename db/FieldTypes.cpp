#include "db/FieldTypes.h"

#include "core/Utf8.h"

namespace pf {

std::string DeclaredType(FieldType type, int size)
{
    switch (type) {
    case FieldType::Byte:
        return "TINYINT";
    case FieldType::Integer:
        return "SMALLINT";
    case FieldType::Long:
        return "INTEGER";
    case FieldType::Counter:
        return "COUNTER INTEGER";
    case FieldType::Single:
        return "FLOAT";
    case FieldType::Double:
        return "DOUBLE";
    case FieldType::Currency:
        return "CURRENCY REAL";
    case FieldType::Date:
        return "DATETIME REAL";
    case FieldType::Boolean:
        return "BOOLEAN INTEGER";
    case FieldType::Text:
        return "TEXT(" + std::to_string(size > 0 ? size : 255) + ")";
    case FieldType::Memo:
        return "LONGTEXT";
    case FieldType::Binary:
        return "LONGBINARY BLOB";
    }
    return "INTEGER";
}

FieldType ParseDeclaredType(std::string_view declared, int& size)
{
    size = 0;
    const std::string upper = ToUpper(declared);
    std::string name = upper;
    std::size_t paren = upper.find('(');
    if (paren != std::string::npos) {
        name = upper.substr(0, paren);
        int n = 0;
        for (std::size_t i = paren + 1; i < upper.size() && upper[i] >= '0' && upper[i] <= '9'; ++i)
            n = n * 10 + (upper[i] - '0');
        size = n;
    }
    while (!name.empty() && name.back() == ' ')
        name.pop_back();

    if (name == "TINYINT" || name == "BYTE")
        return FieldType::Byte;
    if (name == "SMALLINT" || name == "SHORT")
        return FieldType::Integer;
    if (name == "INTEGER" || name == "INT" || name == "LONG" || name == "BIGINT")
        return FieldType::Long;
    if (name == "COUNTER INTEGER" || name == "COUNTER" || name == "AUTOINCREMENT")
        return FieldType::Counter;
    if (name == "FLOAT" || name == "SINGLE")
        return FieldType::Single;
    if (name == "DOUBLE" || name == "REAL" || name == "DOUBLE PRECISION")
        return FieldType::Double;
    if (name == "CURRENCY REAL" || name == "CURRENCY" || name == "MONEY")
        return FieldType::Currency;
    if (name == "DATETIME REAL" || name == "DATETIME" || name == "DATE")
        return FieldType::Date;
    if (name == "BOOLEAN INTEGER" || name == "BOOLEAN" || name == "BIT" || name == "YESNO")
        return FieldType::Boolean;
    if (name == "LONGTEXT" || name == "MEMO" || name == "CLOB") {
        size = 0;
        return FieldType::Memo;
    }
    if (name == "LONGBINARY BLOB" || name == "LONGBINARY" || name == "BLOB" || name == "OLEOBJECT") {
        size = 0;
        return FieldType::Binary;
    }
    if (name == "TEXT" || name == "VARCHAR" || name == "CHAR" || name == "NVARCHAR" || name == "CHARACTER") {
        if (size > 0)
            return FieldType::Text;
        return FieldType::Memo;
    }
    // Foreign declarations: by SQLite's affinity rules.
    size = 0;
    if (upper.find("INT") != std::string::npos)
        return FieldType::Long;
    if (upper.find("CHAR") != std::string::npos || upper.find("CLOB") != std::string::npos ||
        upper.find("TEXT") != std::string::npos)
        return FieldType::Memo;
    if (upper.empty() || upper.find("BLOB") != std::string::npos)
        return FieldType::Binary;
    return FieldType::Double;
}

} // namespace pf
