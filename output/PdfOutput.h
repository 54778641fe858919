#pragma once
// Where printouts go as PDF files. The layouts know only the page canvas; the program that links a
// page back end installs the opener at start, so the command-line program and the windows write
// PDF files the same way.

#include "output/PageCanvas.h"

#include <functional>
#include <memory>
#include <string>

namespace pf {

// Opens a new PDF file at path (an existing file is replaced when the document is finished);
// title goes into the document's properties. Null, with a German reason in error, on failure.
using PdfOpener = std::function<std::unique_ptr<PageCanvas>(const std::string& path, const std::string& title,
                                                            std::string& error)>;

void InstallPdfOpener(PdfOpener opener);
std::unique_ptr<PageCanvas> OpenPdf(const std::string& path, const std::string& title, std::string& error);

} // namespace pf
