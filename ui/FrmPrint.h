#pragma once
// The print window: the menus and recipes to print, each with the number of servings it is printed for, the
// layout (standard printout, working recipe, recipe list), copies and the printer. A PDF file is
// always offered, also without any installed printer; the preview shows the pages before they
// go out. The layout is the print job's; the window only gathers the choice.

#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QPrinter;
class QPrintPreviewDialog;
class QSpinBox;
class QTableWidget;

namespace pf {

class Database;
class PageCanvas;
struct PrintJobRequest;

class FrmPrint : public QWidget
{
    Q_OBJECT
public:
    // ids: the recipes to print in this order. db null: the work database.
    explicit FrmPrint(const std::vector<long>& ids, Database* db = nullptr, QWidget* parent = nullptr);
    ~FrmPrint() override;

    // Adds a recipe with its stored yield; a recipe already listed or not found is not added.
    void AddRecipeID(long id);
    // Adds a menu, printed before the recipes in the layout last chosen for menus; a menu already
    // listed or not found is not added.
    void AddMenuID(long id);
    // The request the window's choices give (the recipes; the menus are printed before them).
    PrintJobRequest Request() const;
    // The printers offered; the last entry is always the PDF file.
    static const char* PdfEntry();

    void cmdStart_Click();
    void cmdPreview_Click();
    void cmdPrinterSetup_Click();
    // The preview of the current choice, not yet shown; the caller owns it.
    QPrintPreviewDialog* MakePreview();
    // Writes the printout to a PDF file; false (with the reason shown) when it failed.
    bool WritePdf(const std::string& path);

private:
    void FillPrinters();
    bool PdfChosen() const;
    void AddRelated(bool subRecipes);
    // The printer of the current choice; asks while it is not ready. False when the user gives up.
    bool PreparePrinter();
    void Print(QPrinter& printer);
    // Menus and recipes on one canvas; the outcome's message is shown unless the user cancelled.
    bool PrintOn(PageCanvas& canvas);

    Database* m_db;
    std::vector<long> m_ids;
    std::vector<long> m_menuIds;
    QTableWidget* m_scaleList = nullptr;
    QComboBox* m_mode = nullptr;
    QComboBox* m_printer = nullptr;
    QSpinBox* m_copies = nullptr;
    QCheckBox* m_subRecipes = nullptr;
    QCheckBox* m_parents = nullptr;
    std::unique_ptr<QPrinter> m_qprinter;
};

} // namespace pf
