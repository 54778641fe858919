#pragma once
// The commands of the command-line program, each a function over the database file and the
// command's own words. A command writes results to Out, German messages to Err, and returns the
// exit code.

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace pf {

struct CliCall
{
    std::string Database;          // absolute path of --db, empty when not given
    std::vector<std::string> Args; // the words after the command
    std::ostream& Out;
    std::ostream& Err;
    // Args from this index on came after "--": arguments, never options.
    std::size_t OptionsEnd = std::string::npos;

    bool IsOption(std::size_t i) const { return i < OptionsEnd && Args[i].rfind("--", 0) == 0; }
};

struct CliCommand
{
    const char* Name;
    bool NeedsDatabase;
    int (*Run)(CliCall& call);
    const char* Help; // one line for the usage text
};

// One option a command understands. A flag (TakesValue false) calls Take with an empty text; any
// other option takes the word after it. When that word is missing or Take refuses it, Problem is
// told on Err.
struct CliOption
{
    std::string_view Name;
    bool TakesValue;
    std::function<bool(const std::string& value)> Take;
    std::string Problem;
};

// Reads the words of a call with the command's options. Every other word goes to word, which
// refuses what the command cannot use; without it the command takes no other words. A word that
// looks like an option but names none of them, and a refused word, are told as "Unbekanntes
// Argument: WORD" on Err. False, with the reason told, on the first problem.
bool ParseCliArgs(CliCall& call, const std::vector<CliOption>& options,
                  const std::function<bool(const std::string& word)>& word = nullptr);

// The word function of a command whose other words form one text, joined by blanks.
std::function<bool(const std::string& word)> JoinedInto(std::string& text);

// Servings are a recipe's yield: a whole number from 1 to kMaxServings (a 32-bit count).
constexpr long kMaxServings = 2147483647;
CliOption ServingsOption(long& servings);
// "--ids 3,7,12": the recipe numbers appended to ids.
CliOption IdsOption(std::vector<long>& ids);

// Whether the file a command reads is there; when not, says so on Err.
bool InputFileFound(CliCall& call, const std::string& file);

// A whole positive number and nothing else ("12", not "12a" or "-3").
bool ParsePositiveNumber(std::string_view text, long& value);
// The words "ID [--servings N]" of a command about one recipe; servings stays 0 without the
// option. False, with the reason or the usage of command on Err, for anything else.
bool ParseRecipeAndServings(CliCall& call, const char* command, long& id, long& servings);
// Every command, in the order the usage text lists them.
const std::vector<CliCommand>& CliCommands();

// How a command uses its database. Use: the file must be a readable database of this program at
// the program's schema version with all its tables; it opens writable when the file and its
// folder allow. AnyVersion (upgrade, backup): only its version table must be readable. Inspect:
// opened read-only without checks. A file that fails its checks is never opened for writing.
enum class CliAccess { Use, AnyVersion, Inspect };

// Opens the database of the call; on failure writes the German reason to Err and returns null.
class Database;
Database* OpenCliDatabase(CliCall& call, CliAccess access = CliAccess::Use);
// Closes the database of the call and forgets what the program read from it.
void CloseCliDatabase();
// The schema version of db as "001.19.110"; false, with the reason on Err, when the file has no
// readable version table.
bool ReadVersionText(CliCall& call, Database& db, std::string& version);

// The database of one command, open for as long as the object lives: closed, and what the
// program read from it forgotten, however the command ends (an exception included).
class CliDatabase
{
public:
    explicit CliDatabase(CliCall& call, CliAccess access = CliAccess::Use)
        : m_db(OpenCliDatabase(call, access))
    {
    }
    ~CliDatabase() { Close(); }
    CliDatabase(const CliDatabase&) = delete;
    CliDatabase& operator=(const CliDatabase&) = delete;

    explicit operator bool() const { return m_db != nullptr; }
    Database& operator*() const { return *m_db; }
    Database* operator->() const { return m_db; }
    Database* Get() const { return m_db; }
    // Closes before the end of the scope, when the command still works on the file afterwards.
    void Close() noexcept;

private:
    Database* m_db;
};

int CliInfo(CliCall& call);
int CliInit(CliCall& call);
int CliCopy(CliCall& call);
int CliUpgrade(CliCall& call);
int CliBackup(CliCall& call);
int CliRestore(CliCall& call);
int CliShow(CliCall& call);
int CliImport(CliCall& call);
int CliImportDb(CliCall& call);
int CliImportTable(CliCall& call);
int CliExport(CliCall& call);
int CliSearch(CliCall& call);
int CliNutrients(CliCall& call);
int CliMatch(CliCall& call);
int CliLexicon(CliCall& call);
int CliPrint(CliCall& call);
int CliVCard(CliCall& call);
int CliShopping(CliCall& call);
int CliWeekplan(CliCall& call);
int CliMenu(CliCall& call);

} // namespace pf
