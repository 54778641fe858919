#pragma once
// A database made from the base data in the run's temporary folder, for an import that the user
// looks over before anything reaches the open database. The file, with the engine's side files,
// is removed when the object goes, whatever happened in between (a cancel, an error).

#include <memory>
#include <string>

namespace pf {

class Database;

class InterimDatabase
{
public:
    InterimDatabase() = default;
    ~InterimDatabase();
    InterimDatabase(const InterimDatabase&) = delete;
    InterimDatabase& operator=(const InterimDatabase&) = delete;

    // Creates the file and opens it; false when it could not be made (the creation reported why).
    bool Create();
    // The open connection; only after a successful Create and before Close.
    Database& Db() { return *m_db; }
    const std::string& Path() const { return m_path; }
    // Closes the connection, so that another one reads a complete file; the file stays.
    void Close();

private:
    std::string m_path;
    std::unique_ptr<Database> m_db;
};

} // namespace pf
