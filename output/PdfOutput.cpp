#include "output/PdfOutput.h"

namespace pf {

namespace {

PdfOpener& Opener()
{
    static PdfOpener opener;
    return opener;
}

} // namespace

void InstallPdfOpener(PdfOpener opener)
{
    Opener() = std::move(opener);
}

std::unique_ptr<PageCanvas> OpenPdf(const std::string& path, const std::string& title, std::string& error)
{
    if (!Opener()) {
        error = "Dieses Programm kann keine PDF-Dateien schreiben.";
        return nullptr;
    }
    return Opener()(path, title, error);
}

} // namespace pf
