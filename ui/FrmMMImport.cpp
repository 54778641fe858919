#include "ui/FrmMMImport.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Language.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "db/DatabaseChoice.h"
#include "exchange/InterimDatabase.h"
#include "model/clBook.h"
#include "nutrition/Nutrition.h"
#include "ui/FrmDBImport.h"
#include "ui/FrmMMImportDupe.h"
#include "ui/FrmMMImportFList.h"
#include "ui/UiSupport.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <filesystem>

namespace pf {

namespace {

std::string Caption()
{
    return LoadText(2200);
}

} // namespace

FrmMMImport::FrmMMImport(Database* db, QWidget* parent) : QDialog(parent), m_db(db)
{
    setObjectName("FrmMMImport");
    setWindowTitle(Q(Caption()));
    auto* layout = new QVBoxLayout(this);
    m_pages = Named(new QStackedWidget(this), "fraPages");
    layout->addWidget(m_pages);

    m_pages->addWidget(BuildFilesPage());
    m_pages->addWidget(BuildOptionsPage());
    m_pages->addWidget(BuildRunPage());
    layout->addLayout(BuildButtons());

    FillBooks();
    Setframe(0);
    resize(640, 480);
}

// Page 1: the files to import.
QWidget* FrmMMImport::BuildFilesPage()
{
    auto* files = new QWidget(m_pages);
    auto* filesLayout = new QVBoxLayout(files);
    m_fileCount = Named(new QLabel("0 Dateien", files), "lblDateien");
    filesLayout->addWidget(m_fileCount);
    m_files = Named(new QListWidget(files), "lbDateien");
    filesLayout->addWidget(m_files);
    auto* fileButtons = new QHBoxLayout;
    auto* add = Named(new QPushButton("Dateien hinzufü&gen …", files), "cmdFileAdd");
    auto* zip = Named(new QPushButton("ZIP-I&nhalt …", files), "cmdZIP");
    auto* list = Named(new QPushButton("Datei&liste …", files), "cmdImportFilesList");
    fileButtons->addWidget(add);
    fileButtons->addWidget(zip);
    fileButtons->addWidget(list);
    fileButtons->addStretch(1);
    filesLayout->addLayout(fileButtons);
    connect(add, &QPushButton::clicked, this, &FrmMMImport::cmdFileAdd_Click);
    connect(zip, &QPushButton::clicked, this, &FrmMMImport::cmdZIP_Click);
    connect(list, &QPushButton::clicked, this, &FrmMMImport::cmdImportFilesList_Click);
    return files;
}

// Page 2: target cookbook, text and duplicate options.
QWidget* FrmMMImport::BuildOptionsPage()
{
    auto* options = new QWidget(m_pages);
    auto* optionsLayout = new QVBoxLayout(options);
    auto* target = new QGroupBox("Ziel-Kochbuch", options);
    auto* targetGrid = new QGridLayout(target);
    m_newBook = Named(new QCheckBox("Neues &Kochbuch:", target), "chkNeuesKochbuch");
    m_bookName = Named(new QLineEdit("Import", target), "tbKochbuchname");
    m_books = Named(new QComboBox(target), "lbKochbuch");
    targetGrid->addWidget(m_newBook, 0, 0);
    targetGrid->addWidget(m_bookName, 0, 1);
    targetGrid->addWidget(new QLabel("Vorhandenes Kochbuch:", target), 1, 0);
    targetGrid->addWidget(m_books, 1, 1);
    targetGrid->addWidget(new QLabel("Sprache:", target), 2, 0);
    m_language = Named(new QComboBox(target), "lbLanguage");
    for (long code = 0; code < kLanguageCount; ++code)
        m_language->addItem(Q(LanguageName(code)), static_cast<int>(code));
    targetGrid->addWidget(m_language, 2, 1);
    optionsLayout->addWidget(target);
    auto* text = new QGroupBox("Texte", options);
    auto* textLayout = new QVBoxLayout(text);
    m_umlaute = Named(new QCheckBox("&Umlaute aus ae, oe, ue, ss erzeugen", text), "chkUmlaute");
    m_umlauteSS = Named(new QCheckBox("dabei ss beibe&halten", text), "chkUmlauteSS");
    m_noUmlaute = Named(new QCheckBox("Umlaute &ausschreiben (ae, oe, ue, ss)", text), "ChkNoUmlaute");
    m_binary = Named(new QCheckBox("&Binärmodus beim Einlesen", text), "chkBin");
    m_bls = Named(new QCheckBox("Zutaten den BLS-&Schlüsseln zuordnen", text), "chkBLS");
    m_reformat = Named(new QCheckBox("&Texte in Rezept(en) reformatieren", text), "chkreformat");
    for (QCheckBox* box : {m_umlaute, m_umlauteSS, m_noUmlaute, m_binary, m_bls, m_reformat})
        textLayout->addWidget(box);
    optionsLayout->addWidget(text);
    auto* dupes = new QGroupBox("Doppelte Rezepte", options);
    auto* dupesLayout = new QVBoxLayout(dupes);
    m_ask = Named(new QRadioButton("&Einzeln nachfragen", dupes), "optAsk");
    m_replace = Named(new QRadioButton("&Vorhandene ersetzen", dupes), "optReplace");
    m_ignore = Named(new QRadioButton("&Doppelte Rezepte ignorieren", dupes), "optIgnore");
    m_move = Named(new QRadioButton("Doppelte &Rezepte verschieben", dupes), "optMove");
    m_dupeTrash = Named(new QCheckBox("&Papierkorb für Ersetzung benutzen", dupes), "chkDupeTrash");
    m_totalInteractive =
        Named(new QCheckBox("k&omplett interaktiv (über Zwischendatenbank)", dupes), "chkTotalInteraktiv");
    m_ask->setChecked(true);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_ask, m_replace, m_ignore, m_move, m_dupeTrash, m_totalInteractive})
        dupesLayout->addWidget(w);
    optionsLayout->addWidget(dupes);
    connect(m_binary, &QCheckBox::toggled, this, [this](bool on) {
        if (on && UI().Ask("Wirklich den Binärmodus aktivieren ?", Buttons::YesNo, Answer::No,
                           MsgIcon::Question, Caption()) != Answer::Yes)
            m_binary->setChecked(false);
    });
    connect(m_bls, &QCheckBox::toggled, this, [this](bool on) {
        if (on && !ConfirmBLS())
            m_bls->setChecked(false);
    });
    return options;
}

// Page 3: the run with its counters.
QWidget* FrmMMImport::BuildRunPage()
{
    auto* run = new QWidget(m_pages);
    auto* runGrid = new QGridLayout(run);
    m_title = Named(new QLabel(run), "lblTitle");
    runGrid->addWidget(m_title, 0, 0, 1, 2);
    auto counter = [&](int row, const char* label, const char* name) {
        runGrid->addWidget(new QLabel(label, run), row, 0);
        auto* value = Named(new QLabel("0", run), name);
        runGrid->addWidget(value, row, 1);
        return value;
    };
    m_count = counter(1, "Importiert:", "Anzahl");
    m_replaced = counter(2, "Ersetzt:", "lblReplaced");
    m_dupe = counter(3, "Als Duplikat:", "lblDupe");
    m_skipped = counter(4, "Übersprungen:", "lblSkipped");
    m_fpKill = counter(5, "Fingerprint entfernt:", "lblFPKill");
    m_faulty = counter(6, "Fehlerhaft:", "lblFaulty");
    m_progress = Named(new QProgressBar(run), "pbProgress");
    m_progress->setRange(0, 100);
    m_progress->setVisible(false);
    runGrid->addWidget(m_progress, 7, 0, 1, 2);
    m_result = Named(new QLabel(run), "lblResult");
    m_result->setWordWrap(true);
    runGrid->addWidget(m_result, 8, 0, 1, 2);
    return run;
}

// The buttons below the pages.
QHBoxLayout* FrmMMImport::BuildButtons()
{
    auto* buttons = new QHBoxLayout;
    m_back = Named(new QPushButton("< &Zurück", this), "cmdZurueck");
    m_next = Named(new QPushButton("&Weiter >", this), "cmdWeiter");
    m_start = Named(new QPushButton("Import starten", this), "cmdImport");
    m_cancel = Named(new QPushButton("Abbrechen", this), "cmdAbbruch");
    m_close = Named(new QPushButton("Schließen", this), "cmdClose");
    buttons->addWidget(m_back);
    buttons->addWidget(m_next);
    buttons->addStretch(1);
    buttons->addWidget(m_start);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_close);
    connect(m_back, &QPushButton::clicked, this, &FrmMMImport::cmdZurueck_Click);
    connect(m_next, &QPushButton::clicked, this, &FrmMMImport::cmdWeiter_Click);
    connect(m_start, &QPushButton::clicked, this, &FrmMMImport::Import);
    connect(m_cancel, &QPushButton::clicked, this, &FrmMMImport::cmdAbbruch_Click);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    return buttons;
}

FrmMMImport::~FrmMMImport() = default;

void FillTargetBooks(Database* db, QComboBox* books, QCheckBox* newBook)
{
    clBook list;
    list.SetDB(db);
    try {
        for (const clBook::ListItem& item : list.GetBooklist2List(false))
            books->addItem(Q(item.Text), static_cast<int>(item.id));
    } catch (const DbError&) {
    }
    const int active = books->findData(static_cast<int>(AppContext::Current().ActiveBookId));
    if (active >= 0)
        books->setCurrentIndex(active);
    newBook->setChecked(books->count() == 0);
}

void FrmMMImport::FillBooks()
{
    FillTargetBooks(m_db, m_books, m_newBook);
}

bool FrmMMImport::ConfirmBLS()
{
    std::string text;
    for (long number = 2241; number <= 2247; ++number) {
        const std::string line = LoadText(number);
        if (!line.empty())
            text += line + "\r\n";
    }
    text += "Trotzdem fortfahren ?";
    return UI().Ask(text, Buttons::YesNo, Answer::No, MsgIcon::Warning, Caption()) == Answer::Yes;
}

void FrmMMImport::SetBLS(bool on)
{
    const QSignalBlocker block(m_bls);
    m_bls->setChecked(on);
}

void FrmMMImport::Setframe(int page)
{
    m_pages->setCurrentIndex(page);
    m_back->setEnabled(page > 0 && !m_running);
    m_next->setEnabled(page < 2 && !m_running);
    m_start->setVisible(page == 2);
    m_start->setEnabled(!m_running && !m_done && m_files->count() > 0);
    m_cancel->setVisible(page == 2);
    m_cancel->setEnabled(m_running);
    m_close->setEnabled(!m_running);
}

int FrmMMImport::Page() const
{
    return m_pages->currentIndex();
}

void FrmMMImport::cmdWeiter_Click()
{
    Setframe(std::min(Page() + 1, 2));
}

void FrmMMImport::cmdZurueck_Click()
{
    Setframe(std::max(Page() - 1, 0));
}

void FrmMMImport::UpdateFileCount()
{
    m_fileCount->setText(QString::number(m_files->count()) + " Dateien");
    if (Page() == 2)
        Setframe(2);
}

bool FrmMMImport::AddFile(const std::string& path)
{
    if (!m_files->findItems(Q(path), Qt::MatchExactly).isEmpty())
        return true;
    Database& db = m_db ? *m_db : WorkDb();
    if (!RecipeImport::ConfirmAddFile(db, path))
        return false;
    m_files->addItem(Q(path));
    m_done = false;
    UpdateFileCount();
    return true;
}

std::vector<std::string> FrmMMImport::Files() const
{
    std::vector<std::string> files;
    for (int i = 0; i < m_files->count(); ++i)
        files.push_back(m_files->item(i)->text().toStdString());
    return files;
}

void FrmMMImport::cmdFileAdd_Click()
{
    FileRequest request;
    request.Caption = Caption();
    request.Filter = "Rezeptdateien|*.mm;*.mmf;*.txt;*.rez;*.mnx;*.zip|Alle Dateien|*.*";
    request.InitialPath = ReadSetting("", "MMImportPath", "", false);
    request.Purpose = "Import";
    request.Multiple = true;
    const std::vector<std::string> chosen = UI().ChooseFiles(request);
    for (const std::string& file : chosen)
        AddFile(file);
    if (!chosen.empty())
        WriteSetting("", "MMImportPath", std::filesystem::path(chosen.front()).parent_path().string(), false);
}

void FrmMMImport::cmdZIP_Click()
{
    QListWidgetItem* item = m_files->currentItem();
    if (!item || !IsZipName(item->text().toStdString()))
        return;
    const std::vector<std::string> names = ZipEntryNames(item->text().toStdString());
    if (names.empty()) {
        UI().Inform("Entweder keine gültige ZIP-Datei oder leer...", MsgIcon::Warning, Caption());
        return;
    }
    FrmMMImportFList content(names, this);
    content.setWindowTitle(item->text());
    content.exec();
}

void FrmMMImport::cmdImportFilesList_Click()
{
    FrmMMImportFList dialog(Files(), this);
    dialog.exec();
    m_files->clear();
    for (const std::string& file : dialog.Files())
        m_files->addItem(Q(file));
    UpdateFileCount();
}

void FrmMMImport::SetKochbuch(long bookId)
{
    int index = m_books->findData(static_cast<int>(bookId));
    if (index < 0 && bookId > 0) {
        clBook book;
        book.SetDB(m_db);
        book.LoadByID(bookId);
        m_books->addItem(Q(book.Title()), static_cast<int>(bookId));
        index = m_books->count() - 1;
    }
    if (index >= 0)
        m_books->setCurrentIndex(index);
    m_newBook->setChecked(false);
}

long FrmMMImport::Kochbuch() const
{
    return m_newBook->isChecked() || m_books->currentIndex() < 0 ? 0 : m_books->currentData().toInt();
}

RecipeImportOptions FrmMMImport::Choices() const
{
    RecipeImportOptions options;
    options.Files = Files();
    options.NewCookbook = m_newBook->isChecked();
    options.CookbookName = m_bookName->text().trimmed().toStdString();
    options.CookbookID = Kochbuch();
    options.LanguageID = m_language->currentData().toInt();
    options.Umlaute = m_umlaute->isChecked();
    options.UmlauteSS = m_umlauteSS->isChecked();
    options.NoUmlaute = m_noUmlaute->isChecked();
    options.BLS = m_bls->isChecked();
    options.Reformat = m_reformat->isChecked();
    options.Duplicates = m_replace->isChecked()  ? DupePreset::Replace
                         : m_ignore->isChecked() ? DupePreset::Ignore
                         : m_move->isChecked()   ? DupePreset::Move
                                                 : DupePreset::Ask;
    options.DupeTrash = m_dupeTrash->isChecked();
    return options;
}

void FrmMMImport::ShowCounters(const ImportCounters& counters, const std::string& title)
{
    m_counters = counters;
    if (!title.empty())
        m_title->setText(Q(title));
    m_count->setText(QString::number(counters.Imported));
    m_replaced->setText(QString::number(counters.Replaced));
    m_dupe->setText(QString::number(counters.Dupe));
    m_skipped->setText(QString::number(counters.Skipped));
    m_fpKill->setText(QString::number(counters.FPKill));
    m_faulty->setText(QString::number(counters.Faulty));
}

void FrmMMImport::Import()
{
    if (m_running || m_files->count() == 0)
        return;
    // "komplett interaktiv": the run stores into an interim database without duplicate checks; the
    // transfer window then takes over what the user chooses, through its own duplicate decisions.
    std::unique_ptr<InterimDatabase> interim;
    if (m_totalInteractive->isChecked()) {
        interim = std::make_unique<InterimDatabase>();
        if (!interim->Create())
            return;
    }
    Database& db = interim ? interim->Db() : m_db ? *m_db : WorkDb();
    m_run = std::make_unique<RecipeImport>(db);
    m_run->Options() = Choices();
    if (interim) {
        m_run->Options().CheckDuplicates = false;
        // The cookbook is chosen in the transfer window; here it would come along as a second one.
        m_run->Options().NewCookbook = false;
        m_run->Options().CookbookID = 0;
    }
    if (m_run->Options().BLS)
        m_run->SetFoodKeyMatcher(FoodKeyMatcher(db));
    QtDupeDecider decider(&db, this);
    m_run->SetDecider(&decider);
    m_run->SetProgress([this](const ImportCounters& counters, const std::string& title) {
        ShowCounters(counters, title);
        m_progress->setValue(m_run->FilePercent());
        QCoreApplication::processEvents();
    });
    m_running = true;
    m_result->clear();
    m_progress->setVisible(true);
    Setframe(2);
    const bool ok = m_run->Import();
    m_running = false;
    m_done = true;
    m_progress->setVisible(false);
    ShowCounters(m_run->Counters(), {});
    if (ok && (m_run->Counters().Imported > 0 || m_run->Counters().Dupe > 0))
        m_resultView = ImportResultView{m_run->TargetBookID(), m_run->ClosingMessage()};
    QString result = Q(m_run->ClosingMessage());
    if (!ok)
        result = "Der Import ist fehlgeschlagen: " + Q(m_run->LastErrorText());
    for (const std::string& problem : m_run->Problems())
        result += "\n" + Q(problem);
    m_result->setText(result);
    Setframe(2);
    if (!ok)
        UI().Inform("Der Import ist fehlgeschlagen: " + m_run->LastErrorText(), MsgIcon::Critical, Caption());
    else if (m_run->Counters().Imported == 0 && m_run->Counters().Dupe == 0)
        UI().Inform(m_run->ClosingMessage(), MsgIcon::Information, Caption());
    if (interim) {
        const bool anyStored = ok && m_run->Counters().Imported > 0;
        // The interim run's cookbook lies in the file that goes away.
        m_resultView.reset();
        m_run.reset();
        interim->Close();
        if (anyStored)
            TakeOverFrom(interim->Path());
    }
    if (m_commandLine)
        accept();
}

void FrmMMImport::TakeOverFrom(const std::string& interimFile)
{
    FrmDBImport transfer(m_db, this);
    transfer.setWindowTitle("Rezepte aus der Zwischendatenbank übernehmen");
    transfer.SetFile(interimFile);
    transfer.exec();
    m_resultView = transfer.ResultView();
    m_result->setText(m_result->text() + "\n" +
                      (transfer.Counters().Imported > 0
                           ? QString("Übernommen: %1").arg(transfer.Counters().Imported)
                           : QString::fromUtf8("Es wurden keine Rezepte übernommen.")));
}

void FrmMMImport::cmdAbbruch_Click()
{
    if (!m_running || !m_run)
        return;
    if (UI().Ask("Soll der Import an dieser Stelle wirklich abgebrochen werden ?", Buttons::YesNo, Answer::No,
                 MsgIcon::Question, Caption()) == Answer::Yes)
        m_run->Cancel();
}

void FrmMMImport::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_commandLine && !m_autoStarted) {
        m_autoStarted = true;
        Setframe(2);
        QTimer::singleShot(0, this, &FrmMMImport::Import);
    }
}

void FrmMMImport::closeEvent(QCloseEvent* event)
{
    if (m_running) {
        cmdAbbruch_Click();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

std::optional<ImportResultView> RunCommandLineImport(const std::string& fileList, QWidget* parent)
{
    std::string file = fileList;
    const std::size_t comma = file.find(',');
    if (comma != std::string::npos)
        file.resize(comma);
    while (!file.empty() && file.back() == ' ')
        file.pop_back();
    while (!file.empty() && file.front() == ' ')
        file.erase(0, 1);
    FrmMMImport window(nullptr, parent);
    window.SetStartedFromCommandLine(true);
    window.SetBLS(true);
    window.AddFile(file);
    window.SetKochbuch(AppContext::Current().ActiveBookId);
    window.exec();
    return window.ResultView();
}

std::optional<std::string> CheckImportText(const std::string& text, QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setObjectName("FrmImportTextCheck");
    dialog.setWindowTitle("Rezepttext prüfen");
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel("Der Text wird so importiert, wie er hier steht. Bitte prüfen und, wo "
                                 "nötig, berichtigen:",
                                 &dialog));
    auto* editor = Named(new QPlainTextEdit(Q(text), &dialog), "txtRecipeText");
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(editor, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* start = MakeButton("cmdImport", "&Importieren", &dialog);
    auto* cancel = MakeButton("cmdCancel", "Abbrechen", &dialog);
    start->setDefault(false);
    start->setAutoDefault(false);
    buttons->addWidget(start);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    QObject::connect(start, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    dialog.resize(720, 520);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return S(editor->toPlainText());
}

std::optional<ImportResultView> ImportTextIntoActiveBook(const ImportText& text, Database& db,
                                                         DupeDecider& decider, bool bls)
{
    RecipeImport run(db);
    run.Options().CookbookID = AppContext::Current().ActiveBookId;
    run.Options().Duplicates = DupePreset::Ask;
    run.Options().BLS = bls;
    if (bls)
        run.SetFoodKeyMatcher(FoodKeyMatcher(db));
    run.SetDecider(&decider);
    const bool ok = run.ImportFromText(text);
    const bool stored = ok && (run.Counters().Imported > 0 || run.Counters().Dupe > 0);
    std::string message = !ok      ? "Der Import ist fehlgeschlagen: " + run.LastErrorText()
                          : stored ? run.Summary()
                                   : run.ClosingMessage();
    for (const std::string& problem : run.Problems())
        message += "\r\n" + problem;
    UI().Inform(message, ok ? MsgIcon::Information : MsgIcon::Critical, Caption());
    if (!stored)
        return std::nullopt;
    return ImportResultView{run.TargetBookID(), run.ClosingMessage()};
}

std::optional<ImportResultView> ImportFromClipboard(Database* db, QWidget* parent)
{
    const std::optional<std::string> text =
        CheckImportText(QGuiApplication::clipboard()->text().toStdString(), parent);
    if (!text)
        return std::nullopt;
    Database& target = db ? *db : WorkDb();
    QtDupeDecider decider(&target, parent);
    return ImportTextIntoActiveBook(ImportTextFromString(*text, "Zwischenablage"), target, decider, false);
}

} // namespace pf
