#pragma once
// The food browser: the food table by class tree and by name search (with synonyms), the product
// page of the chosen food, and from there its nutrient table, its information page, its synonyms
// and new foods of the user's own. It opens as a window of its own beside the main window; all
// lookups and changes are the nutrition library's.

#include <QWidget>

#include "ui/FoodWidgets.h"

#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace pf {

class Database;
class FoodTables;
struct FoodHit;

class FrmNaehrwerte : public QWidget
{
    Q_OBJECT
public:
    FrmNaehrwerte(Database& db, const FoodTables& tables, QWidget* parent = nullptr);

    // "Start": the name search of the quick search field.
    void cmdStart_Click();
    // Lists the foods of a class of the tree.
    void ShowClass(const std::string& prefix);
    // Chooses the listed food with that ID and shows its page; false when it is not listed.
    bool SelectFood(long id);
    // "Inhalt": the nutrient table of 100 g of the chosen food.
    void cmdInhalt_Click();
    // "Information": the information page of the chosen food.
    void cmdInfo_Click();
    // "Neu": a new food of the user's own from the chosen food as template.
    void cmdNeu_Click();
    // "Synonyme": the synonyms of the chosen food.
    void cmdSynonym_Click();
    // "Synonymliste": every food with synonyms.
    void cmdSynonymListe_Click();

    long CurrentFood() const;

private:
    void FillTree();
    void Fill(const std::vector<FoodHit>& hits);
    void ShowPage();
    // Lists again what is listed now (after a food was created, changed or deleted).
    void Refresh();

    Database& m_db;
    const FoodTables& m_tables;
    std::string m_shownClass; // the class listed, empty after a search
    QLineEdit* m_search = nullptr;
    QCheckBox* m_detailed = nullptr;
    QCheckBox* m_main = nullptr;
    QCheckBox* m_own = nullptr;
    QCheckBox* m_inSynonyms = nullptr;
    QCheckBox* m_allSynonyms = nullptr;
    QTreeWidget* m_tree = nullptr;
    QTreeWidget* m_list = nullptr;
    QLabel* m_name = nullptr;
    QLabel* m_code = nullptr;
    QLabel* m_description = nullptr;
    QLabel* m_units = nullptr;
    QLabel* m_info = nullptr;
    QWidget* m_season = nullptr;
    QTableWidget* m_values = nullptr;
    MonthBoxes m_months{};
};

} // namespace pf
