#pragma once
// The error the connection layer throws. Number and description follow the numbering the
// program's messages rely on (3024 file not found, 3022 duplicate key, 3343 not a database ...);
// Errors holds every entry of the engine's error collection for the failed call.

#include "core/Messages.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace pf {

struct EngineError
{
    long Number = 0;
    std::string Description;
    std::string Source;
};

class DbError : public std::runtime_error
{
public:
    DbError(long number, std::string description, std::vector<EngineError> errors = {},
            std::string source = "DAO.Database");

    long Number() const { return m_number; }
    const std::string& Description() const { return m_description; }
    const std::string& Source() const { return m_source; }
    const std::vector<EngineError>& Errors() const { return m_errors; }
    // For engine errors 3000..3999: all descriptions of the collection joined with ", ";
    // otherwise the description.
    std::string JoinedDescription() const;

private:
    long m_number;
    std::string m_description;
    std::string m_source;
    std::vector<EngineError> m_errors;
};

// Error numbers used by callers to branch on.
namespace dberr {
constexpr long kFileNotFound = 3024; // "Datei nicht gefunden"
constexpr long kDuplicateKey = 3022;
constexpr long kFileInUse = 3045;    // locked by another process
constexpr long kNotADatabase = 3343; // unrecognised database format
constexpr long kReadOnly = 3027;     // database or object is read-only
constexpr long kSyntax = 3075;       // syntax error in the statement
constexpr long kNoSuchTable = 3078;
constexpr long kNoSuchField = 3265; // item not found in this collection
constexpr long kNoCurrentRecord = 3021;
constexpr long kGeneric = 3146;  // any other engine failure
constexpr long kLocked = 3218;   // another connection holds the lock longer than the busy timeout
constexpr long kDiskFull = 3026; // the disk (or the database's size limit) is full
constexpr long kDiskIO = 3043;   // the disk or the network failed
constexpr long kNoServer = 3151; // the server cannot be reached, refused the logon or ended the connection
} // namespace dberr

// The error as the central reporter takes it: number, description, source and the engine's list.
ErrorInfo ToErrorInfo(const DbError& error);

// A German reason for a failed file operation (a full disk, missing rights, a read-only medium);
// the system's own English text goes to the error log, never to the user.
std::string SystemErrorReason(const std::error_code& error);
// The same for a result code of the database engine working on the given file (named in the text
// when the engine could not open it).
std::string EngineErrorReason(int resultCode, const char* engineText, std::string_view file);

} // namespace pf
