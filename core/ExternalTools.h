#pragma once
// The external tools of the tool table: what their Action and ActionType numbers mean, how a
// command line and an action file name are filled in (environment variables written %NAME%,
// placeholders beginning with "&"), and reading and writing the table in the machine-wide settings.
// A command line is split into its arguments before anything is filled in, so a value with blanks
// or quotes (a recipe title on the clipboard, a folder name) stays one argument.

#include "core/AppContext.h"

#include <string>
#include <vector>

namespace pf {

// Bits of ExternalTool::Action.
namespace toolaction {
constexpr long kExportBefore = 1; // the selected recipes are exported for the tool first
constexpr long kImportAfter = 2;  // what the tool wrote is imported into the active cookbook
constexpr long kEditImport = 4;   // the import data are shown for editing before the import
constexpr long kShowCommand = 8;  // the command line is shown and confirmed before it runs
constexpr long kClipboard = 16;   // export to and import from the clipboard instead of the file
} // namespace toolaction

// ExternalTool::ActionType: the recipe format of export and import.
namespace tooltype {
constexpr long kMealMaster = 0;
constexpr long kRezkonv = 1;
constexpr long kMensax = 2;
} // namespace tooltype

// The values the placeholders stand for.
struct ToolValues
{
    std::string Database;  // &db: path of the open database
    std::string BookId;    // &bid: number of the active cookbook
    std::string BookTitle; // &book: title of the active cookbook
    std::string File;      // &fil: the action file
    std::string Clipboard; // &clp: text on the clipboard
    std::string TempDir;   // &tmp: the program's temporary folder
};

// The placeholders with a German description each, for the options window.
struct ToolPlaceholder
{
    const char* Name;
    const char* Description;
};
const std::vector<ToolPlaceholder>& ToolPlaceholders();

// Replaces %NAME% by the environment variable (left as written when it is not set; "%%" gives
// "%") and the placeholders (case-insensitive) by their values.
std::string ExpandToolText(const std::string& text, const ToolValues& values);

// Splits a command line at blanks outside double quotes (the quotes are dropped), then fills in
// each argument. Empty when the line holds no program.
std::vector<std::string> ToolArguments(const std::string& commandLine, const ToolValues& values);

// The action file of a tool: its ActionFilename filled in, or a file in the temporary folder with
// the extension of its format when none is given.
std::string ToolActionFile(const ExternalTool& tool, const ToolValues& values);

// A slot that holds a tool (unused slots keep their place in the table).
bool ToolUsed(const ExternalTool& tool);

// The table from the machine-wide settings ("ToolCount", sections "TOOLS1" …).
std::vector<ExternalTool> ReadToolTable();
// Writes the table, clearing the sections of slots that are no longer there.
void WriteToolTable(const std::vector<ExternalTool>& tools);

} // namespace pf
