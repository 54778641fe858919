#pragma once
// The import wizard ("Mensax und Meal-Master Import-Assistent"): page one lists the files (and ZIP
// archives) to import, page two the options (target cookbook, language, umlaut repair, food
// keys, reformatting, duplicates), page three runs the import with live counters and a cancel
// button. The run itself is RecipeImport's; the window gathers the choices and shows the counts.

#include "exchange/RecipeImport.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace pf {

class Database;

// What an import that stored recipes leaves to be shown: the target cookbook, whose content the
// search window lists, and the caption naming it.
struct ImportResultView
{
    long BookID = 0;
    std::string Caption;
};

class FrmMMImport : public QDialog
{
    Q_OBJECT
public:
    // db null: the work database.
    explicit FrmMMImport(Database* db = nullptr, QWidget* parent = nullptr);
    ~FrmMMImport() override;

    // Adds a file after the history question; false when it was left out.
    bool AddFile(const std::string& path);
    std::vector<std::string> Files() const;
    // The target: an existing cookbook (Kochbuch()).
    void SetKochbuch(long bookId);
    long Kochbuch() const;
    // Started by /IMPORT: the run starts as soon as the window shows and the window closes after.
    void SetStartedFromCommandLine(bool on) { m_commandLine = on; }
    void SetBLS(bool on);
    // The wizard page shown (0 files, 1 options, 2 run).
    int Page() const;
    const ImportCounters& Counters() const { return m_counters; }
    // After a run that stored recipes: where they are to be shown.
    const std::optional<ImportResultView>& ResultView() const { return m_resultView; }

    void cmdFileAdd_Click();
    void cmdZIP_Click();
    void cmdImportFilesList_Click();
    void cmdWeiter_Click();
    void cmdZurueck_Click();
    // Runs the import over the listed files.
    void Import();
    void cmdAbbruch_Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Opens the transfer window on the interim database of a "komplett interaktiv" run.
    void TakeOverFrom(const std::string& interimFile);
    QWidget* BuildFilesPage();
    QWidget* BuildOptionsPage();
    QWidget* BuildRunPage();
    QHBoxLayout* BuildButtons();
    void Setframe(int page);
    void UpdateFileCount();
    void ShowCounters(const ImportCounters& counters, const std::string& title);
    void FillBooks();
    bool ConfirmBLS();
    RecipeImportOptions Choices() const;

    Database* m_db;
    std::unique_ptr<RecipeImport> m_run;
    ImportCounters m_counters;
    bool m_running = false;
    bool m_commandLine = false;
    bool m_autoStarted = false;
    bool m_done = false; // the listed files have been imported
    std::optional<ImportResultView> m_resultView;

    QStackedWidget* m_pages = nullptr;
    QListWidget* m_files = nullptr;
    QLabel* m_fileCount = nullptr;
    QCheckBox* m_newBook = nullptr;
    QLineEdit* m_bookName = nullptr;
    QComboBox* m_books = nullptr;
    QComboBox* m_language = nullptr;
    QCheckBox* m_umlaute = nullptr;
    QCheckBox* m_umlauteSS = nullptr;
    QCheckBox* m_noUmlaute = nullptr;
    QCheckBox* m_binary = nullptr;
    QCheckBox* m_bls = nullptr;
    QCheckBox* m_reformat = nullptr;
    QRadioButton* m_ask = nullptr;
    QRadioButton* m_replace = nullptr;
    QRadioButton* m_ignore = nullptr;
    QRadioButton* m_move = nullptr;
    QCheckBox* m_dupeTrash = nullptr;
    QCheckBox* m_totalInteractive = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_replaced = nullptr;
    QLabel* m_dupe = nullptr;
    QLabel* m_skipped = nullptr;
    QLabel* m_fpKill = nullptr;
    QLabel* m_faulty = nullptr;
    QLabel* m_result = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_close = nullptr;
};

// Fills an import's list of target cookbooks, the active one chosen; with none yet, a new one is.
void FillTargetBooks(Database* db, QComboBox* books, QCheckBox* newBook);

// The /IMPORT start: the first comma-separated field of fileList is imported into the active
// cookbook with food-key matching, the wizard shown modally.
std::optional<ImportResultView> RunCommandLineImport(const std::string& fileList, QWidget* parent = nullptr);

// Reads text (a recipe file's bytes) into the active cookbook of db, duplicates decided by decider,
// the ingredients matched to food keys when bls is set; the result is reported through UI().
std::optional<ImportResultView> ImportTextIntoActiveBook(const ImportText& text, Database& db,
                                                         DupeDecider& decider, bool bls);

// "Import aus der Zwischenablage": the clipboard's text is shown for checking and correcting
// first; confirmed, it is read as a recipe file into the active cookbook (duplicates asked) and
// the result reported through UI().
std::optional<ImportResultView> ImportFromClipboard(Database* db = nullptr, QWidget* parent = nullptr);

// The check step: the text in an editor, returned as corrected on "Importieren"; nullopt on
// "Abbrechen".
std::optional<std::string> CheckImportText(const std::string& text, QWidget* parent = nullptr);

} // namespace pf
