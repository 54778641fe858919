#pragma once
// The print window: the recipes to print, each with the number of servings it is printed for, the
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
    // The request the window's choices give.
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

    Database* m_db;
    std::vector<long> m_ids;
    QTableWidget* m_scaleList = nullptr;
    QComboBox* m_mode = nullptr;
    QComboBox* m_printer = nullptr;
    QSpinBox* m_copies = nullptr;
    QCheckBox* m_subRecipes = nullptr;
    QCheckBox* m_parents = nullptr;
    std::unique_ptr<QPrinter> m_qprinter;
};

} // namespace pf
