#include "db/DbError.h"

#include "db/SqliteConnection.h"

#include <cerrno>

namespace pf {

DbError::DbError(long number, std::string description, std::vector<EngineError> errors, std::string source)
    : std::runtime_error("[" + std::to_string(number) + "] " + description), m_number(number),
      m_description(std::move(description)), m_source(std::move(source)), m_errors(std::move(errors))
{
    if (m_errors.empty())
        m_errors.push_back(EngineError{m_number, m_description, m_source});
}

std::string DbError::JoinedDescription() const
{
    if (m_number < 3000 || m_number > 3999)
        return m_description;
    std::string joined;
    for (const EngineError& error : m_errors) {
        if (!joined.empty())
            joined += ", ";
        joined += error.Description;
    }
    return joined.empty() ? m_description : joined;
}

ErrorInfo ToErrorInfo(const DbError& error)
{
    ErrorInfo info{error.Number(), error.Description(), error.Source(), {}};
    for (const EngineError& entry : error.Errors())
        info.EngineDescriptions.push_back(entry.Description);
    return info;
}

std::string SystemErrorReason(const std::error_code& error)
{
    LogError(ErrorInfo{error.value(), error.message(), "System", {}});
    switch (error.value()) {
    case ENOSPC:
    case EDQUOT:
        return "Nicht genügend Speicherplatz auf dem Datenträger.";
    case EACCES:
    case EPERM:
        return "Zugriff verweigert.";
    case EROFS:
        return "Der Datenträger ist schreibgeschützt.";
    case ENOENT:
        return "Datei oder Ordner nicht vorhanden.";
    case ENOTDIR:
        return "Ein Teil des Pfads ist kein Ordner.";
    case EISDIR:
        return "Das Ziel ist ein Ordner.";
    case EEXIST:
        return "Das Ziel ist bereits vorhanden.";
    case EXDEV:
        return "Das Ziel liegt auf einem anderen Datenträger.";
    default:
        return "Der Datenträger meldet einen Fehler.";
    }
}

std::string EngineErrorReason(int resultCode, const char* engineText, std::string_view file)
{
    const DbError mapped = MapSqliteError(resultCode, engineText ? engineText : "", file);
    LogError(ToErrorInfo(mapped));
    return mapped.Description();
}

} // namespace pf
