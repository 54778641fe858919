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
    m_lastError = 0;
    m_lastErrorText.clear();
}

void ModelObject::SetError(long number, std::string text)
{
    m_lastError = number;
    m_lastErrorText = std::move(text);
}

void ModelObject::SetDbError(const DbError& error)
{
    SetError(error.Number(), error.JoinedDescription());
}

void ModelObject::TakeError(const ModelObject& other)
{
    SetError(other.m_lastError, other.m_lastErrorText);
}

} // namespace pf
