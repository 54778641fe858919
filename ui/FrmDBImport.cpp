#include "ui/FrmDBImport.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "db/DatabaseChoice.h"
#include "db/OpenDatabase.h"
#include "exchange/RecipeTransfer.h"
#include "model/clBook.h"
#include "ui/FrmMMImportDupe.h"
#include "ui/UiSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <filesystem>

namespace pf {

namespace {

const char* const kCaption = "Kochbuch-Datenbank importieren";

} // namespace

FrmDBImport::FrmDBImport(Database* db, QWidget* parent) : QDialog(parent), m_db(db ? db : &WorkDb())
{
    setObjectName("FrmDBImport");
    setWindowTitle(kCaption);
    auto* layout = new QVBoxLayout(this);

    auto* source = new QHBoxLayout;
    auto* fileLabel = new QLabel("Daten&bank:", this);
    m_file = Named(new QLineEdit(this), "tbDatei");
    fileLabel->setBuddy(m_file);
    auto* browse = Named(new QPushButton("Durchs&uchen …", this), "cmdDatei");
    source->addWidget(fileLabel);
    source->addWidget(m_file, 1);
    source->addWidget(browse);
    layout->addLayout(source);

    auto* target = new QGroupBox("Ziel-Kochbuch", this);
    auto* targetGrid = new QGridLayout(target);
    m_newBook = Named(new QCheckBox("&Neues Kochbuch:", target), "chkNeuesKochbuch");
    m_bookName = Named(new QLineEdit("Datenbank-Import", target), "tbKochbuchname");
    m_books = Named(new QComboBox(target), "lbKochbuch");
    auto* bookLabel = new QLabel("Vorhandenes &Kochbuch:", target);
    bookLabel->setBuddy(m_books);
    targetGrid->addWidget(m_newBook, 0, 0);
    targetGrid->addWidget(m_bookName, 0, 1);
    targetGrid->addWidget(bookLabel, 1, 0);
    targetGrid->addWidget(m_books, 1, 1);
    layout->addWidget(target);
    FillTargetBooks(m_db, m_books, m_newBook);

    auto* dupes = new QGroupBox("Doppelte Rezepte", this);
    auto* dupesLayout = new QVBoxLayout(dupes);
    m_ask = Named(new QRadioButton("Einzeln nachfra&gen", dupes), "optAsk");
    m_replace = Named(new QRadioButton("Vorhandene &ersetzen", dupes), "optReplace");
    m_ignore = Named(new QRadioButton("Doppelte Rezepte ign&orieren", dupes), "optIgnore");
    m_move = Named(new QRadioButton("Doppelte Rezepte &verschieben", dupes), "optMove");
    m_dupeTrash = Named(new QCheckBox("&Papierkorb für Ersetzung benutzen", dupes), "chkDupeTrash");
    m_ignore->setChecked(true);
    for (QWidget* w : std::initializer_list<QWidget*>{m_ask, m_replace, m_ignore, m_move, m_dupeTrash})
        dupesLayout->addWidget(w);
    layout->addWidget(dupes);

    m_status = Named(new QLabel(this), "lblStatus");
    m_status->setWordWrap(true);
    layout->addWidget(m_status, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_start = Named(new QPushButton("Übe&rnehmen", this), "cmdStart");
    auto* close = Named(new QPushButton("Schließen", this), "cmdClose");
    buttons->addWidget(m_start);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(browse, &QPushButton::clicked, this, [this] { cmdDatei_Click(); });
    connect(m_start, &QPushButton::clicked, this, [this] { cmdStart_Click(); });
    connect(close, &QPushButton::clicked, this, [this] {
        if (m_running) {
            if (UI().Ask("Soll der Import an dieser Stelle wirklich abgebrochen werden ?", Buttons::YesNo,
                         Answer::No, MsgIcon::Question, kCaption) == Answer::Yes)
                m_running->Cancel();
            return;
        }
        reject();
    });
    resize(560, 420);
}

void FrmDBImport::SetFile(const std::string& path)
{
    m_file->setText(Q(path));
}

void FrmDBImport::SetPreset(DupePreset preset)
{
    (preset == DupePreset::Ask       ? m_ask
     : preset == DupePreset::Replace ? m_replace
     : preset == DupePreset::Move    ? m_move
                                     : m_ignore)
        ->setChecked(true);
}

void FrmDBImport::cmdDatei_Click()
{
    FileRequest request;
    request.Caption = kCaption;
    request.Filter = "Kochbuchdatenbanken|*.mdb;*.MDB;*.db|Alle|*.*";
    request.InitialPath = ReadSetting("", "MDBImportPath", "", false);
    request.Purpose = "Import";
    const std::vector<std::string> files = UI().ChooseFiles(request);
    if (files.empty())
        return;
    SetFile(files.front());
    WriteSetting("", "MDBImportPath", std::filesystem::path(files.front()).parent_path().string(), false);
}

bool FrmDBImport::cmdStart_Click()
{
    if (m_running)
        return false;
    const std::string path = m_file->text().trimmed().toStdString();
    if (path.empty() || !std::filesystem::is_regular_file(path)) {
        UI().Inform(path.empty() ? "Bitte eine Datenbank auswählen."
                                 : "Die Datei " + path + " wurde nicht gefunden.",
                    MsgIcon::Information, kCaption);
        return false;
    }
    std::error_code ec;
    if (std::filesystem::equivalent(path, m_db->Name(), ec)) {
        UI().Inform("Die Datenbank kann nicht in sich selbst importiert werden.", MsgIcon::Information,
                    kCaption);
        return false;
    }
    // The other database is only read.
    std::unique_ptr<Database> source;
    try {
        OpenOptions readOnly;
        readOnly.ReadOnly = true;
        source = OpenDatabase(path, readOnly);
        if (!source->TableExists("T_REZ_KOPF"))
            throw DbError(dberr::kNotADatabase, "");
    } catch (const DbError& error) {
        UI().Inform(error.Number() == dberr::kNotADatabase || error.Number() == 3049
                        ? LoadText(501) + "Pfannola" + LoadText(502)
                        : error.Description(),
                    MsgIcon::Critical, kCaption);
        return false;
    }
    RecipeImport run(*m_db);
    RecipeImportOptions& options = run.Options();
    options.NewCookbook = m_newBook->isChecked();
    options.CookbookName = m_bookName->text().toStdString();
    options.CookbookID = options.NewCookbook ? 0 : m_books->currentData().toInt();
    options.Duplicates = m_ask->isChecked()       ? DupePreset::Ask
                         : m_replace->isChecked() ? DupePreset::Replace
                         : m_move->isChecked()    ? DupePreset::Move
                                                  : DupePreset::Ignore;
    options.DupeTrash = m_dupeTrash->isChecked();
    QtDupeDecider decider(m_db, this);
    run.SetDecider(&decider);
    run.SetProgress([this](const ImportCounters& counters, const std::string& title) {
        ShowCounters(counters, title);
        QCoreApplication::processEvents();
    });
    RecipeTransfer transfer(*source, *m_db, run);
    m_running = &run;
    m_start->setEnabled(false);
    bool ok = false;
    try {
        ok = transfer.Run(RecipeTransfer::AllRecipes(*source));
    } catch (const DbError& error) {
        UI().Inform("Der Import ist fehlgeschlagen: " + error.Description(), MsgIcon::Critical, kCaption);
    }
    m_running = nullptr;
    m_start->setEnabled(true);
    m_counters = run.Counters();
    ShowCounters(m_counters, {});
    if (!ok) {
        UI().Inform("Der Import ist fehlgeschlagen: " + transfer.LastErrorText(), MsgIcon::Critical,
                    kCaption);
        return false;
    }
    if (m_counters.Imported > 0 || m_counters.Dupe > 0)
        m_resultView = ImportResultView{run.TargetBookID(), run.ClosingMessage()};
    else
        UI().Inform(run.ClosingMessage(), MsgIcon::Information, kCaption);
    return true;
}

void FrmDBImport::ShowCounters(const ImportCounters& counters, const std::string& title)
{
    m_status->setText(Q(
        (title.empty() ? std::string() : title + "\n") + "Importiert: " + std::to_string(counters.Imported) +
        ", ersetzt: " + std::to_string(counters.Replaced) + ", als Duplikat: " +
        std::to_string(counters.Dupe) + ", übersprungen: " + std::to_string(counters.Skipped) +
        ", fehlerhaft: " + std::to_string(counters.Faulty)));
}

} // namespace pf
