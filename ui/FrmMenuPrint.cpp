#include "ui/FrmMenuPrint.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "planning/clsMenuPrint.h"
#include "ui/ErrorTrap.h"
#include "ui/QtPageCanvas.h"
#include "ui/UiSupport.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace pf {

namespace {

const char* const kCaption = "Menü drucken";

// Captions with Alt keys of their own beside the main menu's.
const char* const kLayoutCaptions[] = {"&Menükarte für die Gäste", "&Küchenplan",
                                       "Küchenplan mit &Rezepten der Gänge"};

void A4(QPrinter& printer)
{
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter));
}

} // namespace

FrmMenuPrint::FrmMenuPrint(long menuId, QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmMenuPrint");
    setWindowTitle(kCaption);
    CloseOnEscape(this);
    RunTrapped([this, menuId] { m_menu.Loadr(menuId); });

    auto* layout = new QVBoxLayout(this);
    auto* title = Named(new QLabel(Q(m_menu.GenMenuEntryTitle()), this), "lblMenu");
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    auto* box = Named(new QGroupBox("Ausdruck", this), "fraLayout");
    auto* boxLayout = new QVBoxLayout(box);
    for (int i = 0; i < clsMenuPrint::kLayoutCount; ++i) {
        m_layouts[i] = new QRadioButton(Q(kLayoutCaptions[i]), box);
        m_layouts[i]->setObjectName("optLayout" + QString::number(i));
        boxLayout->addWidget(m_layouts[i]);
    }
    layout->addWidget(box);
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    auto* preview = MakeButton("cmdPreview", "&Vorschau …", this);
    auto* print = MakeButton("cmdPrint", "Dr&ucken …", this);
    auto* pdf = MakeButton("cmdPdf", "&PDF-Datei …", this);
    auto* close = MakeButton("cmdClose", "Sch&ließen", this);
    buttons->addWidget(preview);
    buttons->addWidget(print);
    buttons->addWidget(pdf);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(preview, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdPreview_Click(); }); });
    connect(print, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdPrint_Click(); }); });
    connect(pdf, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdPdf_Click(); }); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });

    SetLayout(clsMenuPrint::SavedLayout());
    for (QRadioButton* option : m_layouts)
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                clsMenuPrint::SaveLayout(Layout());
        });
    const bool found = m_menu.id() != 0;
    for (QPushButton* b : {preview, print, pdf})
        b->setEnabled(found);
}

FrmMenuPrint::~FrmMenuPrint() = default;

int FrmMenuPrint::Layout() const
{
    for (int i = 0; i < clsMenuPrint::kLayoutCount; ++i)
        if (m_layouts[i]->isChecked())
            return i;
    return clsMenuPrint::kMenuCard;
}

void FrmMenuPrint::SetLayout(int layout)
{
    if (layout >= 0 && layout < clsMenuPrint::kLayoutCount)
        m_layouts[layout]->setChecked(true);
}

bool FrmMenuPrint::PrintOn(PageCanvas& canvas, bool tellMissing)
{
    const PrintOutcome outcome = clsMenuPrint().PrintMenu(canvas, m_menu, Layout());
    if (tellMissing && !outcome.Missing.empty()) {
        std::string ids;
        for (long id : outcome.Missing)
            ids += (ids.empty() ? "" : ", ") + std::to_string(id);
        UI().Inform("Diese Rezepte des Menüs gibt es nicht mehr; sie wurden ausgelassen: " + ids,
                    MsgIcon::Information, kCaption);
    }
    if (!outcome.Ok && !outcome.Message.empty() && outcome.Message != "Der Ausdruck wurde abgebrochen.")
        UI().Inform(outcome.Message, MsgIcon::Critical, kCaption);
    return outcome.Ok;
}

void FrmMenuPrint::PrintOnPrinter(QPrinter& printer, bool tellMissing)
{
    QtPageCanvas canvas(printer);
    if (!canvas.Active()) {
        UI().Inform("Der Drucker kann nicht angesprochen werden.", MsgIcon::Critical, kCaption);
        return;
    }
    PrintOn(canvas, tellMissing);
}

bool FrmMenuPrint::WritePdf(const std::string& path)
{
    std::string error;
    std::unique_ptr<PageCanvas> canvas = OpenQtPdf(path, clsMenuPrint::LayoutName(Layout()), error);
    if (!canvas) {
        UI().Inform(error, MsgIcon::Critical, kCaption);
        return false;
    }
    return PrintOn(*canvas, true);
}

QPrintPreviewDialog* FrmMenuPrint::MakePreview()
{
    m_previewPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    A4(*m_previewPrinter);
    m_previewPrinter->setDocName(Q(clsMenuPrint::LayoutName(Layout())));
    auto* preview = new QPrintPreviewDialog(m_previewPrinter.get(), this);
    preview->setObjectName("FrmMenuPrintPreview");
    preview->setWindowTitle(Q("Druckvorschau - " + clsMenuPrint::LayoutName(Layout())));
    preview->resize(900, 700);
    connect(preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* target) { RunTrapped([this, target] { PrintOnPrinter(*target, false); }); });
    return preview;
}

void FrmMenuPrint::cmdPreview_Click()
{
    std::unique_ptr<QPrintPreviewDialog> preview(MakePreview());
    preview->exec();
}

void FrmMenuPrint::cmdPrint_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    A4(printer);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(kCaption);
    if (dialog.exec() == QDialog::Accepted)
        PrintOnPrinter(printer, true);
}

void FrmMenuPrint::cmdPdf_Click()
{
    FileRequest request;
    request.Caption = "Menü als PDF-Datei speichern";
    request.Filter = "PDF-Dateien|*.pdf";
    std::string name = m_menu.Title().empty() ? std::string("Menü") : m_menu.Title();
    std::replace(name.begin(), name.end(), '/', '-');
    request.InitialPath = name + ".pdf";
    request.Purpose = "print";
    request.Save = true;
    const std::vector<std::string> files = UI().ChooseFiles(request);
    if (!files.empty())
        WritePdf(files.front());
}

} // namespace pf
