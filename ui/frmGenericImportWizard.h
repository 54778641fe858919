#pragma once
// The generic table import wizard: page one reads a table file (the source text for rows without
// one beside it), page two lists its cookbooks to deselect and the rows left to choose from, page
// three imports the chosen rows. The rules are GenericTableImport's; the window only gathers the
// choices and shows the counts.

#include "exchange/GenericImport.h"

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;

namespace pf {

class Database;

class frmGenericImportWizard : public QDialog
{
    Q_OBJECT

public:
    // db null: the work database.
    explicit frmGenericImportWizard(Database* db = nullptr, QWidget* parent = nullptr);
    ~frmGenericImportWizard() override;

    int Page() const;
    void cmdForward_Click();
    void cmdBack_Click();
    void cmdDatei_Click();
    // Recipes made by the last import.
    long Imported() const { return m_imported; }
    // The import date stamped on them, and the caption of the list that shows them:
    // "Ergebnis des Imports vom " and that date as "mm/dd/yyyy hh:mm:ss".
    DateSerial RunDate() const;
    std::string ResultCaption() const;

private:
    bool Wizard_1();
    void Wizard_2();
    void Wizard_3();
    void Setframe(int page);
    void ListRows();

    Database* m_db;
    std::unique_ptr<GenericTableImport> m_table;
    std::vector<TableRecipe> m_allRows;
    long m_imported = 0;
    bool m_filling = false;
    QStackedWidget* m_pages = nullptr;
    QLineEdit* m_file = nullptr;
    QLineEdit* m_source = nullptr;
    QListWidget* m_books = nullptr;
    QListWidget* m_recipes = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_forward = nullptr;
};

} // namespace pf
