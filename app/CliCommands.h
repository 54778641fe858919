#pragma once
// The commands of the command-line program, each a function over the database file and the
// command's own words. A command writes results to Out, German messages to Err, and returns the
// exit code.

#include <iosfwd>
#include <string>
#include <vector>

namespace pf {

struct CliCall
{
    std::string Database;          // absolute path of --db, empty when not given
    std::vector<std::string> Args; // the words after the command
    std::ostream& Out;
    std::ostream& Err;
};

struct CliCommand
{
    const char* Name;
    bool NeedsDatabase;
    int (*Run)(CliCall& call);
    const char* Help; // one line for the usage text
};

// Every command, in the order the usage text lists them.
const std::vector<CliCommand>& CliCommands();

// Opens the database of the call; on failure writes the German reason to Err and returns null.
class Database;
Database* OpenCliDatabase(CliCall& call);
// Closes the database of the call and forgets what the program read from it.
void CloseCliDatabase();

int CliInfo(CliCall& call);
int CliInit(CliCall& call);
int CliUpgrade(CliCall& call);
int CliBackup(CliCall& call);
int CliRestore(CliCall& call);
int CliShow(CliCall& call);
int CliImport(CliCall& call);
int CliExport(CliCall& call);
int CliSearch(CliCall& call);

} // namespace pf
