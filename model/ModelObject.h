#pragma once
// What the domain objects share: the database they work on (the program's work database unless
// another is set) and the last error of their operations, cleared at the start of each one.

#include <string>

namespace pf {

class Database;

class ModelObject
{
public:
    long LastError() const { return m_lastError; }
    const std::string& LastErrorText() const { return m_lastErrorText; }

protected:
    Database& Db() const;
    void ClearError();
    void SetError(long number, std::string text);

    Database* m_db = nullptr;
    long m_lastError = 0;
    std::string m_lastErrorText;
};

} // namespace pf
