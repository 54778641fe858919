#include "ui/frmGenericImportWizard.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Settings.h"
#include "db/DatabaseChoice.h"
#include "search/ClSearch.h"
#include "ui/UiSupport.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <filesystem>

namespace pf {

namespace {

const char* const kCaption = "Tabellen-Import";

} // namespace

frmGenericImportWizard::frmGenericImportWizard(Database* db, QWidget* parent)
    : QDialog(parent), m_db(db ? db : &WorkDb())
{
    setObjectName("frmGenericImportWizard");
    setWindowTitle(kCaption);
    auto* layout = new QVBoxLayout(this);
    m_pages = new QStackedWidget(this);
    layout->addWidget(m_pages, 1);

    auto* read = new QWidget(m_pages);
    auto* readLayout = new QVBoxLayout(read);
    readLayout->addWidget(
        new QLabel("Jede Zeile der Tabelle (.csv oder .txt, getrennt durch Semikolon, Komma oder "
                   "Tabulator) beschreibt ein Rezept. Die erste Zeile ist die Kopfzeile.",
                   read));
    auto* fileRow = new QHBoxLayout;
    auto* fileLabel = new QLabel("Ta&belle:", read);
    m_file = Named(new QLineEdit(read), "tbDatei");
    fileLabel->setBuddy(m_file);
    auto* browse = Named(new QPushButton("Durchs&uchen …", read), "cmdDatei");
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(browse);
    readLayout->addLayout(fileRow);
    auto* sourceRow = new QHBoxLayout;
    auto* sourceLabel = new QLabel("&Quelle:", read);
    m_source = Named(new QLineEdit(read), "tbQuelle");
    sourceLabel->setBuddy(m_source);
    sourceRow->addWidget(sourceLabel);
    sourceRow->addWidget(m_source, 1);
    readLayout->addLayout(sourceRow);
    readLayout->addStretch(1);
    m_pages->addWidget(read);

    auto* filter = new QWidget(m_pages);
    auto* filterLayout = new QVBoxLayout(filter);
    auto* booksLabel = new QLabel("&Kochbücher:", filter);
    m_books = Named(new QListWidget(filter), "lbBook");
    booksLabel->setBuddy(m_books);
    auto* recipesLabel = new QLabel("&Rezepte:", filter);
    m_recipes = Named(new QListWidget(filter), "lbrecipe");
    m_recipes->setSelectionMode(QAbstractItemView::MultiSelection);
    recipesLabel->setBuddy(m_recipes);
    filterLayout->addWidget(booksLabel);
    filterLayout->addWidget(m_books, 1);
    filterLayout->addWidget(recipesLabel);
    filterLayout->addWidget(m_recipes, 2);
    m_pages->addWidget(filter);

    auto* run = new QWidget(m_pages);
    auto* runLayout = new QVBoxLayout(run);
    m_summary = Named(new QLabel(run), "lblSummary");
    m_summary->setWordWrap(true);
    runLayout->addWidget(m_summary);
    runLayout->addStretch(1);
    m_pages->addWidget(run);

    m_status = Named(new QLabel(this), "lblStatus");
    layout->addWidget(m_status);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_back = Named(new QPushButton("< &Zurück", this), "cmdBack");
    m_forward = Named(new QPushButton("&Weiter >", this), "cmdForward");
    auto* close = Named(new QPushButton("Schließen", this), "cmdClose");
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(browse, &QPushButton::clicked, this, [this] { cmdDatei_Click(); });
    connect(m_back, &QPushButton::clicked, this, [this] { cmdBack_Click(); });
    connect(m_forward, &QPushButton::clicked, this, [this] { cmdForward_Click(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_books, &QListWidget::itemChanged, this, [this] {
        if (!m_filling)
            Wizard_2();
    });
    Setframe(0);
    resize(620, 480);
}

frmGenericImportWizard::~frmGenericImportWizard() = default;

int frmGenericImportWizard::Page() const
{
    return m_pages->currentIndex();
}

void frmGenericImportWizard::Setframe(int page)
{
    m_pages->setCurrentIndex(page);
    m_back->setEnabled(page > 0);
    m_forward->setText(page == 2 ? "&Weiter: Importieren" : "&Weiter >");
    m_forward->setEnabled(!(page == 2 && m_imported > 0));
}

void frmGenericImportWizard::cmdDatei_Click()
{
    FileRequest request;
    request.Caption = kCaption;
    request.Filter = ".csv, Komma/Semikolon getrennt|*.csv|.txt, Textdatei|*.txt|Alle|*.*";
    request.Purpose = "GenericImport";
    const std::vector<std::string> files = UI().ChooseFiles(request);
    if (!files.empty())
        m_file->setText(Q(files.front()));
}

void frmGenericImportWizard::cmdBack_Click()
{
    if (Page() > 0)
        Setframe(Page() - 1);
}

void frmGenericImportWizard::cmdForward_Click()
{
    switch (Page()) {
    case 0:
        if (Wizard_1()) {
            Wizard_2();
            Setframe(1);
        }
        break;
    case 1: {
        long chosen = 0;
        for (int i = 0; i < m_recipes->count(); ++i)
            chosen += m_recipes->item(i)->isSelected() ? 1 : 0;
        m_summary->setText(Q(std::to_string(chosen) + " Rezepte werden importiert."));
        Setframe(2);
        break;
    }
    default:
        Wizard_3();
        break;
    }
}

bool frmGenericImportWizard::Wizard_1()
{
    const std::string path = m_file->text().trimmed().toStdString();
    m_status->setText(
        Q("Datei \"" + std::filesystem::path(path).filename().string() + "\" wird eingelesen."));
    m_table = std::make_unique<GenericTableImport>(*m_db);
    if (!m_table->Read(path)) {
        m_status->clear();
        UI().Inform(m_table->LastErrorText(), MsgIcon::Warning, kCaption);
        return false;
    }
    m_allRows = m_table->Rows();
    m_imported = 0;
    std::string status = std::to_string(m_allRows.size()) + " Zeilen werden verarbeitet";
    // Rows left out while reading are named, so that none goes missing unseen.
    if (const long leftOut = m_table->Skipped() + m_table->Failed(); leftOut > 0) {
        status += "; " + std::to_string(leftOut) + (leftOut == 1 ? " Zeile" : " Zeilen") + " ausgelassen:";
        const std::vector<std::string>& problems = m_table->Problems();
        for (std::size_t i = 0; i < problems.size() && i < 5; ++i)
            status += "\n" + problems[i];
        if (problems.size() > 5)
            status += "\n…";
    }
    m_status->setText(Q(status));
    m_filling = true;
    m_books->clear();
    for (std::size_t i = 0; i < m_table->Books().size(); ++i) {
        auto* item = new QListWidgetItem(Q(m_table->BookLabel(i)), m_books);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    m_filling = false;
    return true;
}

void frmGenericImportWizard::Wizard_2()
{
    if (!m_table)
        return;
    for (int i = 0; i < m_books->count(); ++i)
        m_table->Books()[static_cast<std::size_t>(i)].Selected =
            m_books->item(i)->checkState() == Qt::Checked;
    m_table->Rows() = m_allRows;
    const long removed = m_table->Filter();
    m_status->setText(
        Q("Rezepte werden gefiltert: " + std::to_string(removed) + " Rezepte durch Schritt 2 entfernt"));
    ListRows();
}

void frmGenericImportWizard::ListRows()
{
    m_recipes->clear();
    for (const TableRecipe& row : m_table->Rows())
        m_recipes->addItem(Q(GenericTableImport::RowLabel(row)));
    m_recipes->selectAll();
}

DateSerial frmGenericImportWizard::RunDate() const
{
    return m_table ? m_table->RunDate() : DateSerial{};
}

std::string frmGenericImportWizard::ResultCaption() const
{
    return "Ergebnis des Imports vom " + ClSearch::ImportDateText(RunDate());
}

void frmGenericImportWizard::Wizard_3()
{
    if (!m_table || m_imported > 0)
        return;
    std::vector<TableRecipe>& rows = m_table->Rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i].Selected = m_recipes->item(static_cast<int>(i))->isSelected();
    if (!m_table->Import(m_source->text().toStdString())) {
        UI().Inform("Der Import ist fehlgeschlagen: " + m_table->LastErrorText(), MsgIcon::Critical,
                    kCaption);
        return;
    }
    m_imported = m_table->Imported();
    m_summary->setText(Q(std::to_string(m_imported) +
                         " Rezepte wurden importiert (Ergebnis des Imports vom " +
                         DateTimeText(m_table->RunDate(), true) + ")."));
    m_status->clear();
    Setframe(2);
}

} // namespace pf
