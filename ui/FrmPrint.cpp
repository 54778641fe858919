#include "ui/FrmPrint.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "model/ClRecipe.h"
#include "output/PrintJob.h"
#include "output/clsRecipePrint.h"
#include "planning/ClMenu.h"
#include "planning/clsMenuPrint.h"
#include "ui/ErrorTrap.h"
#include "ui/QtPageCanvas.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace pf {

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kYieldRole = Qt::UserRole + 1;
constexpr int kMenuRole = Qt::UserRole + 2;
enum Column { ColTitle, ColYield, ColUnit };

} // namespace

const char* FrmPrint::PdfEntry()
{
    return "PDF-Datei";
}

FrmPrint::FrmPrint(const std::vector<long>& ids, Database* db, QWidget* parent) : QWidget(parent), m_db(db)
{
    setObjectName("FrmPrint");
    CloseOnEscape(this);
    setWindowTitle("Rezepte drucken");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QString::fromUtf8("Rezepte und die Menge, für die sie gedruckt werden:"), this));
    m_scaleList = new QTableWidget(0, 3, this);
    m_scaleList->setObjectName("lbRezScaleList");
    m_scaleList->setHorizontalHeaderLabels({"Rezept", "Menge", "Einheit"});
    m_scaleList->verticalHeader()->setVisible(false);
    m_scaleList->horizontalHeader()->setSectionResizeMode(ColTitle, QHeaderView::Stretch);
    m_scaleList->setSelectionBehavior(QAbstractItemView::SelectRows);
    layout->addWidget(m_scaleList, 1);

    auto* related = new QHBoxLayout;
    m_subRecipes = MakeCheck("chkSubRecipes", "&Unterrezepte mitdrucken", this);
    m_parents = MakeCheck("chkParents", "Elternrezepte &mitdrucken", this);
    related->addWidget(m_subRecipes);
    related->addWidget(m_parents);
    related->addStretch(1);
    layout->addLayout(related);
    connect(m_subRecipes, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            AddRelated(true);
    });
    connect(m_parents, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            AddRelated(false);
    });

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Ausdruck:", this), 0, 0);
    m_mode = new QComboBox(this);
    m_mode->setObjectName("cboMode");
    for (int mode : {clsRecipePrint::kStandard, clsRecipePrint::kWorkingRecipe, clsRecipePrint::kRecipeList})
        m_mode->addItem(Q(clsRecipePrint::ModeTypeName(mode)), mode);
    grid->addWidget(m_mode, 0, 1, 1, 2);
    grid->addWidget(new QLabel("Drucker:", this), 1, 0);
    m_printer = new QComboBox(this);
    m_printer->setObjectName("cboPrinter");
    grid->addWidget(m_printer, 1, 1);
    QPushButton* setup = MakeButton("cmdPrinterSetup", "&Einrichten …", this);
    grid->addWidget(setup, 1, 2);
    grid->addWidget(new QLabel("Exemplare:", this), 2, 0);
    m_copies = new QSpinBox(this);
    m_copies->setObjectName("tbCopyAnz");
    m_copies->setRange(1, 99);
    grid->addWidget(m_copies, 2, 1);
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QPushButton* preview = MakeButton("cmdPreview", "&Vorschau …", this);
    QPushButton* start = MakeButton("cmdStart", "D&rucken", this);
    QPushButton* cancel = MakeButton("cmdCancel", "Schließen", this);
    buttons->addWidget(preview);
    buttons->addWidget(start);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(setup, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdPrinterSetup_Click(); }); });
    connect(preview, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdPreview_Click(); }); });
    connect(start, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdStart_Click(); }); });
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    // A PDF file has neither a printer dialog nor copies.
    connect(m_printer, &QComboBox::currentIndexChanged, this, [this, setup] {
        setup->setEnabled(!PdfChosen());
        m_copies->setEnabled(!PdfChosen());
    });

    FillPrinters();
    for (long id : ids)
        AddRecipeID(id);
    resize(560, 420);
}

FrmPrint::~FrmPrint() = default;

void FrmPrint::FillPrinters()
{
    const QStringList names = QPrinterInfo::availablePrinterNames();
    m_printer->addItems(names);
    m_printer->addItem(PdfEntry());
    int current = m_printer->findText(Q(AppContext::Current().StdPrinter), Qt::MatchFixedString);
    if (current < 0)
        current = m_printer->findText(QPrinterInfo::defaultPrinterName());
    m_printer->setCurrentIndex(current >= 0 && !names.isEmpty() ? current : m_printer->count() - 1);
}

bool FrmPrint::PdfChosen() const
{
    return m_printer->currentIndex() == m_printer->count() - 1;
}

void FrmPrint::AddRecipeID(long id)
{
    if (std::find(m_ids.begin(), m_ids.end(), id) != m_ids.end())
        return;
    ClRecipe recipe;
    recipe.SetDB(m_db);
    if (!recipe.LoadByID(id, 0, true))
        return;
    m_ids.push_back(id);
    const int row = m_scaleList->rowCount();
    m_scaleList->insertRow(row);
    auto* title = new QTableWidgetItem(Q(recipe.Title()));
    title->setFlags(title->flags() & ~Qt::ItemIsEditable);
    title->setData(kIdRole, static_cast<qlonglong>(id));
    auto* yield = new QTableWidgetItem(QString::number(recipe.Yield()));
    yield->setData(kYieldRole, static_cast<qlonglong>(recipe.Yield()));
    // A recipe without a yield cannot be scaled.
    if (recipe.Yield() == 0)
        yield->setFlags(yield->flags() & ~Qt::ItemIsEditable);
    auto* unit = new QTableWidgetItem(Q(recipe.YieldUnitText()));
    unit->setFlags(unit->flags() & ~Qt::ItemIsEditable);
    m_scaleList->setItem(row, ColTitle, title);
    m_scaleList->setItem(row, ColYield, yield);
    m_scaleList->setItem(row, ColUnit, unit);
}

void FrmPrint::AddMenuID(long id)
{
    if (std::find(m_menuIds.begin(), m_menuIds.end(), id) != m_menuIds.end())
        return;
    ClMenu menu;
    menu.SetDB(m_db);
    if (!menu.Loadr(id))
        return;
    m_menuIds.push_back(id);
    // Menus come first, as they are printed first.
    const int row = static_cast<int>(m_menuIds.size()) - 1;
    m_scaleList->insertRow(row);
    auto* title = new QTableWidgetItem(QString::fromUtf8("Menü: ") + Q(menu.Title()));
    title->setData(kIdRole, static_cast<qlonglong>(id));
    title->setData(kMenuRole, true);
    // A menu is printed for its own persons.
    auto* persons = new QTableWidgetItem(menu.Yield() > 0 ? QString::number(menu.Yield()) : QString());
    auto* unit = new QTableWidgetItem("Personen");
    for (QTableWidgetItem* item : {title, persons, unit})
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    m_scaleList->setItem(row, ColTitle, title);
    m_scaleList->setItem(row, ColYield, persons);
    m_scaleList->setItem(row, ColUnit, unit);
}

void FrmPrint::AddRelated(bool subRecipes)
{
    const std::vector<long> listed = m_ids;
    for (long id : listed) {
        ClRecipe recipe;
        recipe.SetDB(m_db);
        if (!recipe.LoadByID(id, 0, true))
            continue;
        if (!subRecipes) {
            if (recipe.rezparent() != 0)
                AddRecipeID(recipe.rezparent());
            continue;
        }
        for (int i = 1; i <= recipe.IngredCount(); ++i)
            if (recipe.Ingredient(i).IsRecipe())
                AddRecipeID(recipe.Ingredient(i).IsRecipeID());
    }
}

PrintJobRequest FrmPrint::Request() const
{
    PrintJobRequest request = PrintRequestFromSettings(m_mode->currentData().toInt());
    for (int row = 0; row < m_scaleList->rowCount(); ++row) {
        if (m_scaleList->item(row, ColTitle)->data(kMenuRole).toBool())
            continue;
        const long id = static_cast<long>(m_scaleList->item(row, ColTitle)->data(kIdRole).toLongLong());
        const QTableWidgetItem* yield = m_scaleList->item(row, ColYield);
        bool ok = false;
        const long servings = yield->text().trimmed().toLong(&ok);
        // An unchanged or unreadable number prints the recipe as stored.
        const bool scaled = ok && servings > 0 && servings != yield->data(kYieldRole).toLongLong();
        request.Items.push_back({id, scaled ? servings : 0});
    }
    return request;
}

bool FrmPrint::PreparePrinter()
{
    const QString name = m_printer->currentText();
    if (!m_qprinter || m_qprinter->printerName() != name) {
        m_qprinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_qprinter->setPrinterName(name);
        m_qprinter->setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
    }
    while (QPrinterInfo::printerInfo(name).state() == QPrinter::Error) {
        if (UI().Ask("Der Drucker scheint nicht bereit zu sein !\nSoll der Ausdruck erneut versucht werden ?",
                     Buttons::YesNo, Answer::Yes, MsgIcon::Question, "Drucken") != Answer::Yes)
            return false;
    }
    m_qprinter->setCopyCount(m_copies->value());
    return true;
}

void FrmPrint::Print(QPrinter& printer)
{
    QtPageCanvas canvas(printer);
    if (!canvas.Active()) {
        UI().Inform("Der Drucker kann nicht angesprochen werden.", MsgIcon::Critical, "Drucken");
        return;
    }
    PrintOn(canvas);
}

bool FrmPrint::PrintOn(PageCanvas& canvas)
{
    const PrintOutcome outcome =
        m_menuIds.empty()
            ? RunPrintJob(Request(), canvas, m_db)
            : clsMenuPrint().PrintJob(canvas, m_menuIds, clsMenuPrint::SavedLayout(), Request(), m_db);
    if (!outcome.Ok && !outcome.Message.empty() && outcome.Message != "Der Ausdruck wurde abgebrochen.")
        UI().Inform(outcome.Message, MsgIcon::Critical, "Drucken");
    return outcome.Ok;
}

bool FrmPrint::WritePdf(const std::string& path)
{
    std::string error;
    std::unique_ptr<PageCanvas> canvas = OpenQtPdf(path, clsRecipePrint::ModeTypeName(Request().Mode), error);
    if (!canvas) {
        UI().Inform(error, MsgIcon::Critical, "Drucken");
        return false;
    }
    return PrintOn(*canvas);
}

void FrmPrint::cmdStart_Click()
{
    if (m_scaleList->rowCount() == 0)
        return;
    setEnabled(false);
    if (PdfChosen()) {
        FileRequest request;
        request.Caption = "Ausdruck als PDF-Datei speichern";
        request.Filter = "PDF-Dateien|*.pdf";
        request.InitialPath = "Rezepte.pdf";
        request.Purpose = "print";
        request.Save = true;
        const std::vector<std::string> files = UI().ChooseFiles(request);
        if (!files.empty())
            WritePdf(files.front());
    } else if (PreparePrinter()) {
        Print(*m_qprinter);
    }
    setEnabled(true);
}

QPrintPreviewDialog* FrmPrint::MakePreview()
{
    // The PDF entry previews on a PDF printer with the pages a PDF file gets.
    if (PdfChosen() || !PreparePrinter()) {
        m_qprinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_qprinter->setOutputFormat(QPrinter::PdfFormat);
        m_qprinter->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                              QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter));
    }
    auto* preview = new QPrintPreviewDialog(m_qprinter.get(), this);
    preview->setObjectName("FrmPrintPreview");
    preview->setWindowTitle("Druckvorschau");
    connect(preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { Print(*printer); });
    return preview;
}

void FrmPrint::cmdPreview_Click()
{
    if (m_scaleList->rowCount() == 0)
        return;
    std::unique_ptr<QPrintPreviewDialog> preview(MakePreview());
    preview->exec();
}

void FrmPrint::cmdPrinterSetup_Click()
{
    if (PdfChosen() || !PreparePrinter())
        return;
    QPrintDialog dialog(m_qprinter.get(), this);
    dialog.setWindowTitle("Druckereinrichtung");
    if (dialog.exec() == QDialog::Accepted)
        m_copies->setValue(std::max(1, m_qprinter->copyCount()));
}

} // namespace pf
