#pragma once
// The menu print window: the three layouts of a menu's printout to choose from (the choice is
// remembered per user), a preview of the pages, printing on a printer and writing a PDF file.
// The layouts are clsMenuPrint's; the window gathers the choice and tells what went wrong.

#include "planning/ClMenu.h"

#include <QWidget>

#include <memory>
#include <string>

class QPrinter;
class QPrintPreviewDialog;
class QRadioButton;

namespace pf {

class PageCanvas;

class FrmMenuPrint : public QWidget
{
    Q_OBJECT
public:
    explicit FrmMenuPrint(long menuId, QWidget* parent = nullptr);
    ~FrmMenuPrint() override;

    int Layout() const;
    void SetLayout(int layout);

    void cmdPreview_Click();
    void cmdPrint_Click();
    void cmdPdf_Click();
    // The preview of the chosen layout, not yet shown; the caller owns it.
    QPrintPreviewDialog* MakePreview();
    // Writes the printout to a PDF file; false (with the reason shown) when it failed.
    bool WritePdf(const std::string& path);

private:
    // Prints on the canvas and finishes it; tells what went wrong, and what was left out unless
    // the preview repaints.
    bool PrintOn(PageCanvas& canvas, bool tellMissing);
    void PrintOnPrinter(QPrinter& printer, bool tellMissing);

    ClMenu m_menu;
    QRadioButton* m_layouts[3] = {};
    std::unique_ptr<QPrinter> m_previewPrinter;
};

} // namespace pf
