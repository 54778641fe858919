#pragma once
// The food selection dialog: finds foods by name or synonym, and optionally by the range of one
// nutrient's value, lists them by code and returns the one the user chose ("Auswahl"). Other
// windows use it wherever one food is to be picked; it never writes.

#include "nutrition/FoodMatcher.h"

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

namespace pf {

class Database;
class FoodTables;
struct FoodHit;

class FrmNaehrSuche : public QDialog
{
    Q_OBJECT
public:
    FrmNaehrSuche(Database& db, const FoodTables& tables, QWidget* parent = nullptr);

    // true: only the food names are searched, not their synonyms.
    void SearchOnlyBLS(bool only);
    // Puts the text into the search field and searches.
    void SetSearchText(const std::string& text);
    // Preselects the food with that code (listed alone until the next search).
    void SetProduct(const std::string& code);
    // "Start": the search with the options set.
    void cmdStart_Click();
    // The chosen food's ID after "Auswahl", 0 otherwise.
    long ChosenId() const { return m_chosen; }

    // Opens the dialog modally with the text searched; the chosen food, 0 when cancelled.
    static long Choose(Database& db, const FoodTables& tables, const std::string& text,
                       const std::string& code, QWidget* parent);

private:
    void Fill(const std::vector<FoodHit>& hits);
    void Current();
    void Accept();

    Database& m_db;
    const FoodTables& m_tables;
    long m_chosen = 0;
    QLineEdit* m_text = nullptr;
    QCheckBox* m_synonyms = nullptr;
    QCheckBox* m_main = nullptr;
    QCheckBox* m_detailed = nullptr;
    QCheckBox* m_byNutrient = nullptr;
    QComboBox* m_nutrient = nullptr;
    QLineEdit* m_from = nullptr;
    QLineEdit* m_to = nullptr;
    QTreeWidget* m_list = nullptr;
    QLabel* m_description = nullptr;
};

// Picks a food through the selection dialog, preset with the ingredient text.
class DialogFoodChooser : public FoodChooser
{
public:
    DialogFoodChooser(Database& db, const FoodTables& tables, QWidget* parent)
        : m_db(db), m_tables(tables), m_parent(parent)
    {
    }
    long ChooseFood(const std::string& presetText) override;

private:
    Database& m_db;
    const FoodTables& m_tables;
    QWidget* m_parent;
};

} // namespace pf
