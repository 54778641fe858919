#pragma once
// The print preview of a printout that is not a recipe (lexicon entries, product information,
// lists): the layout draws every page on the canvas it is given, the preview shows the pages on
// A4, and from there they go to a printer or, through the printer choice, to a PDF file.

#include <functional>
#include <string>

class QWidget;

namespace pf {

class PageCanvas;

// Shows the preview modally; layout may run several times (each time the preview redraws).
void PreviewPrintout(QWidget* parent, const std::string& title,
                     const std::function<void(PageCanvas&)>& layout);

} // namespace pf
