#include "model/ModelObject.h"

#include "db/DatabaseChoice.h"
#include "db/DbError.h"

namespace pf {

Database& ModelObject::Db() const
{
    return m_db ? *m_db : WorkDb();
}

std::string ModelObject::LastErrorText() const
{
    if (m_lastError <= 0)
        return m_lastErrorText;
    return "[" + std::to_string(m_lastError) + "] " + m_lastErrorText;
}

void ModelObject::LastErrorClear()
{
    SetError(0, {});
}

DbError ModelObject::LastDbError(const std::string& context) const
{
    if (m_engineError && context.empty())
        return *m_engineError;
    const long number = m_lastError > 0 ? m_lastError : dberr::kGeneric;
    return DbError(number, context + (m_engineError ? m_engineError->Description() : m_lastErrorText));
}

void ModelObject::SetError(long number, std::string text)
{
    m_lastError = number;
    m_lastErrorText = std::move(text);
    m_engineError.reset();
}

void ModelObject::SetDbError(const DbError& error)
{
    SetError(error.Number(), error.JoinedDescription());
    m_engineError = error;
}

void ModelObject::TakeError(const ModelObject& other)
{
    SetError(other.m_lastError, other.m_lastErrorText);
    m_engineError = other.m_engineError;
}

} // namespace pf
