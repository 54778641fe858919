#pragma once
// "Kochbuch-Datenbank importieren": takes the recipes of another database file into the open one,
// with their categories, cookbooks, pictures, units and food keys, through the duplicate decisions
// of every import. The other file is opened read-only. The window gathers the file, the target
// cookbook and the duplicate choice, and shows the counters while RecipeTransfer runs.

#include "exchange/RecipeImport.h"
#include "ui/FrmMMImport.h"

#include <QDialog>

#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pf {

class Database;

class FrmDBImport : public QDialog
{
    Q_OBJECT

public:
    // db null: the work database.
    explicit FrmDBImport(Database* db = nullptr, QWidget* parent = nullptr);

    void SetFile(const std::string& path);
    void SetPreset(DupePreset preset);
    void cmdDatei_Click();
    // Runs the import; false when it could not start or failed (the reason was shown).
    bool cmdStart_Click();
    const ImportCounters& Counters() const { return m_counters; }
    // After a run that stored recipes: where they are to be shown.
    const std::optional<ImportResultView>& ResultView() const { return m_resultView; }

private:
    void ShowCounters(const ImportCounters& counters, const std::string& title);

    Database* m_db;
    ImportCounters m_counters;
    std::optional<ImportResultView> m_resultView;
    RecipeImport* m_running = nullptr;
    QLineEdit* m_file = nullptr;
    QCheckBox* m_newBook = nullptr;
    QLineEdit* m_bookName = nullptr;
    QComboBox* m_books = nullptr;
    QRadioButton* m_ask = nullptr;
    QRadioButton* m_replace = nullptr;
    QRadioButton* m_ignore = nullptr;
    QRadioButton* m_move = nullptr;
    QCheckBox* m_dupeTrash = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_start = nullptr;
};

} // namespace pf
