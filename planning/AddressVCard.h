#pragma once
// Addresses as vCard 2.1 files: writing cards (values with umlauts or line breaks quoted-printable
// in UTF-8) and reading cards from other programs and phones (quoted-printable, UTF-8 or
// Windows-1252, folded lines). The reader takes what it can: unknown properties are passed over,
// a broken line is noted, a card without a name or without its end is skipped and counted. A card
// that names a company (ORG) is filed under the company, with the person it names as its contact. Only
// ExportFile and ImportFile touch files and the database; the import writes in one transaction.

#include "model/ModelObject.h"
#include "planning/ClAddress.h"

#include <string>
#include <string_view>
#include <vector>

namespace pf {

class Database;

struct VCardReadResult
{
    std::vector<ClAddress> Cards;      // not stored, without database
    long Skipped = 0;                  // cards that could not be read
    std::vector<std::string> Problems; // one German line per broken line or skipped card
};

struct VCardImportCounts
{
    long Imported = 0;
    long Existing = 0; // same name and postal code stored already: not added twice
    long Skipped = 0;
};

class AddressVCard : public ModelObject
{
public:
    // Without a database the work database is used.
    void SetDB(Database* db) { m_db = db; }

    // One card per address, CRLF line ends.
    static std::string Write(const std::vector<ClAddress>& addresses);
    static VCardReadResult Read(std::string_view bytes);

    // Writes the given addresses (all addresses but groups when ids is empty); count receives the
    // number of cards written.
    bool ExportFile(const std::string& path, const std::vector<long>& ids, long& count);
    // Reads the file and stores its cards as new addresses under group (0: at the top).
    bool ImportFile(const std::string& path, VCardImportCounts& counts, long group = 0);
    // "übernommen: N, bereits vorhanden: N, übersprungen: N"
    static std::string Summary(const VCardImportCounts& counts);

    // The problems the last import met (broken lines, skipped cards).
    const std::vector<std::string>& Problems() const { return m_problems; }

private:
    std::vector<std::string> m_problems;
};

} // namespace pf
