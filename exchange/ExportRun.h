#pragma once
// One export run as the export window and the command-line program start it: the recipes the
// list depends on are added in front, the engine writes every recipe with a progress display,
// a recipe that cannot be found is skipped after an OK/Cancel question, and the outcome carries
// the closing message. Questions and progress go through the interaction.

#include "exchange/clsRecipeExport.h"

#include <string>
#include <vector>

namespace pf {

class Database;

struct ExportRequest
{
    int Mode = clsRecipeExport::kMealMasterFile;
    std::vector<long> Ids;
    std::vector<long> Servings; // per ID, 0 or missing = the recipe's own yield
    std::vector<long> MenuIds;  // menus written after the recipes, in the formats that carry menus
    std::string FileName;
    bool Append = false;
    bool SubRecipes = false;
    bool Parents = false;
    int HtmlFlags = htmlflags::kUtf8;
    std::string PicturePath;
    bool HtmlDownload = false;
    char CsvSeparator = ';';
};

struct ExportOutcome
{
    bool Ok = false;
    bool Cancelled = false;
    long Exported = 0;
    long Skipped = 0;
    std::vector<long> Ids; // the recipes in the order written, dependencies included
    std::string Message;   // "Export "…" abgeschlossen." or the error message
    std::string Result;    // what the clipboard modes put on the clipboard
};

// The target shown beside the mode: "Datei" or "Zwischenablage".
std::string ExportTargetName(int mode);

ExportOutcome RunExport(const ExportRequest& request, Database* db);

} // namespace pf
