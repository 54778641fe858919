#include "model/ModelObject.h"

#include "db/DatabaseChoice.h"

namespace pf {

Database& ModelObject::Db() const
{
    return m_db ? *m_db : WorkDb();
}

void ModelObject::ClearError()
{
    m_lastError = 0;
    m_lastErrorText.clear();
}

void ModelObject::SetError(long number, std::string text)
{
    m_lastError = number;
    m_lastErrorText = std::move(text);
}

} // namespace pf
