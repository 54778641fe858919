#pragma once
// One print job: the listed recipes, each scaled to its own number of servings, laid out one after
// another on one canvas in the job's mode. A recipe that cannot be read is reported and can be
// tried again; the job can be cancelled there. The job reads the database and writes nothing.

#include "output/PageCanvas.h"

#include <string>
#include <vector>

namespace pf {

class Database;

struct PrintJobItem
{
    long RecipeId = 0;
    long Servings = 0; // 0 prints the recipe as stored
};

struct PrintJobRequest
{
    int Mode = 0;
    long Flags = 0;       // content flags of the PrintSimple setting
    bool TwoPart = false; // the PrintStandardMode setting
    std::vector<PrintJobItem> Items;
};

struct PrintOutcome
{
    bool Ok = false;
    long Printed = 0;
    std::vector<long> Missing; // listed recipes that do not exist
    std::string Message;       // German, when not Ok
};

// The request with mode, flags and layout switch taken from the user's settings.
PrintJobRequest PrintRequestFromSettings(int mode);

// Finishes the canvas's document; a document that could not be written leaves the outcome not Ok
// with its German message.
void FinishDocument(PageCanvas& canvas, PrintOutcome& outcome);

// Prints the job on the canvas and finishes its document. db null: the work database.
PrintOutcome RunPrintJob(const PrintJobRequest& request, PageCanvas& canvas, Database* db = nullptr);

} // namespace pf
