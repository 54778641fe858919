#pragma once
// What the domain objects share: the database they work on (the program's work database unless
// another is set) and the last error of their operations, cleared at the start of each one. An
// error is recorded one way for every object, so that the same failure reads the same in every
// window: a positive number with its text (an engine error joins the descriptions of all its
// entries), or a negative refusal code of the object with the object's own text.

#include "db/DbError.h"

#include <optional>
#include <string>

namespace pf {

class Database;

class ModelObject
{
public:
    long LastError() const { return m_lastError; }
    // "" without an error, the text of a refusal, "[number] text" for a numbered error.
    std::string LastErrorText() const;
    void LastErrorClear();
    // The last error, to be thrown on by a caller that works in engine errors: the engine's own error
    // as it was recorded, otherwise the number (a refusal as the general one) with the object's
    // text. context, when given, goes before the description.
    DbError LastDbError(const std::string& context = {}) const;

protected:
    Database& Db() const;
    void SetError(long number, std::string text);
    void SetDbError(const DbError& error);
    // The error another object recorded, as it recorded it.
    void TakeError(const ModelObject& other);
    // Runs work; an engine error it throws is recorded and gives false.
    template <typename Work> bool Recorded(Work&& work)
    {
        try {
            work();
            return true;
        } catch (const DbError& e) {
            SetDbError(e);
            return false;
        }
    }

    Database* m_db = nullptr;
    long m_lastError = 0;
    std::string m_lastErrorText;
    std::optional<DbError> m_engineError;
};

} // namespace pf
