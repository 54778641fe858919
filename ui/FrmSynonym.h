#pragma once
// The other names of one food: lists them, adds or changes one (with its language) and deletes
// one. Each change is stored at once and reaches the automatic matching before its next match.

#include <QDialog>

#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace pf {

class Database;

class FrmSynonym : public QDialog
{
    Q_OBJECT
public:
    // The food by ID; text (a recipe's ingredient text, say) is offered as the new synonym.
    FrmSynonym(Database& db, long foodId, const std::string& text = {}, QWidget* parent = nullptr);

    // "Speichern": adds the synonym of the field, or changes the language of the same one.
    void cmdSpeichern_Click();
    // "Löschen": deletes the chosen synonym.
    void cmdLoeschen_Click();

private:
    void Fill();

    Database& m_db;
    long m_food;
    QLabel* m_name = nullptr;
    QListWidget* m_list = nullptr;
    QLineEdit* m_text = nullptr;
    QComboBox* m_language = nullptr;
};

} // namespace pf
