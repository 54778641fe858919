// The "print" command of the command-line program: writes the listed recipes as a printout in
// one of the print modes to a PDF file.

#include "app/CliCommands.h"
#include "db/DbError.h"
#include "output/PdfOutput.h"
#include "output/PrintJob.h"
#include "output/clsRecipePrint.h"

#include <filesystem>
#include <ostream>

namespace pf {

namespace {

constexpr const char* kUsage =
    "Aufruf: pfannola-cli --db DATEI print --ids LISTE [--mode 0|1|10] [--servings N] --pdf DATEI.pdf";

} // namespace

int CliPrint(CliCall& call)
{
    std::vector<long> ids;
    long servings = 0;
    long mode = clsRecipePrint::kStandard;
    std::string pdf;
    const CliOption modeOption = {"--mode", true,
                                  [&mode](const std::string& value) {
                                      if (value != "0" && value != "1" && value != "10")
                                          return false;
                                      mode = std::stol(value);
                                      return true;
                                  },
                                  "Nach --mode muss 0 (Standardausdruck), 1 (Arbeitsrezept) oder 10 "
                                  "(Rezeptliste) stehen."};
    const CliOption pdfOption = {"--pdf", true,
                                 [&pdf](const std::string& value) {
                                     pdf = value;
                                     return !pdf.empty();
                                 },
                                 kUsage};
    if (!ParseCliArgs(call, {IdsOption(ids), modeOption, ServingsOption(servings), pdfOption}))
        return 2;
    if (ids.empty() || pdf.empty()) {
        call.Err << kUsage << "\n";
        return 2;
    }
    CliDatabase db(call);
    if (!db)
        return 1;
    const std::filesystem::path target = std::filesystem::absolute(pdf);
    PrintJobRequest request = PrintRequestFromSettings(static_cast<int>(mode));
    for (long id : ids)
        request.Items.push_back({id, servings});
    std::string error;
    std::unique_ptr<PageCanvas> canvas =
        OpenPdf(target.string(), clsRecipePrint::ModeTypeName(static_cast<int>(mode)), error);
    if (!canvas) {
        call.Err << error << "\n";
        return 1;
    }
    PrintOutcome outcome;
    try {
        outcome = RunPrintJob(request, *canvas, db.Get());
    } catch (const DbError& e) {
        outcome.Message = "Beim Drucken ist ein Fehler aufgetreten (" + std::to_string(e.Number()) + ")";
    }
    canvas.reset();
    for (long id : outcome.Missing)
        call.Err << "Ein Rezept mit der Nummer " << id << " gibt es nicht.\n";
    std::error_code ec;
    if (!outcome.Ok) {
        call.Err << outcome.Message << "\n";
        if (outcome.Printed == 0)
            std::filesystem::remove(target, ec);
        return 1;
    }
    call.Out << "gedruckt: " << outcome.Printed << " Rezept" << (outcome.Printed == 1 ? "" : "e") << " in \""
             << target.string() << "\"\n";
    return outcome.Missing.empty() ? 0 : 1;
}

} // namespace pf
