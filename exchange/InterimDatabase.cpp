#include "exchange/InterimDatabase.h"

#include "core/AppContext.h"
#include "core/Messages.h"
#include "db/Database.h"
#include "db/DatabaseCopy.h"
#include "db/DbError.h"
#include "db/InitFiles.h"
#include "db/OpenDatabase.h"

#include <atomic>
#include <filesystem>

#include <unistd.h>

namespace pf {

namespace fs = std::filesystem;

InterimDatabase::~InterimDatabase()
{
    m_db.reset();
    if (!m_path.empty())
        RemoveDatabaseFile(m_path);
}

bool InterimDatabase::Create()
{
    static std::atomic<int> counter{0};
    std::string folder = AppContext::Current().TempDir;
    if (folder.empty()) {
        std::error_code ec;
        folder = fs::temp_directory_path(ec).string();
        if (ec)
            folder = "/tmp";
    }
    m_path = (fs::path(folder) /
              ("Zwischendatenbank_" + std::to_string(getpid()) + "_" + std::to_string(++counter) + ".MDB"))
                 .string();
    ShowStatus("Temporäre Datenbank wird eingerichtet...");
    if (!CreateDatabaseFile(m_path))
        return false;
    try {
        m_db = OpenDatabase(m_path);
    } catch (const DbError&) {
        InformCritical("Die temporäre Datenbank " + m_path + " kann nicht geöffnet werden.");
        return false;
    }
    return true;
}

void InterimDatabase::Close()
{
    m_db.reset();
}

} // namespace pf
