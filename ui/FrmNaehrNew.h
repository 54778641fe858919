#pragma once
// The dialog for a new food of the user's own: its code, checked against the template food it
// starts from, and its name. It only asks; the food browser creates the food from what it returns.

#include <QDialog>

#include <string>

class QLineEdit;

namespace pf {

class Database;

class FrmNaehrNew : public QDialog
{
    Q_OBJECT
public:
    FrmNaehrNew(Database& db, const std::string& templateCode, const std::string& templateName,
                QWidget* parent = nullptr);

    // "Fortfahren": checks code and name; closes with both when they will do.
    void cmdFortfahren_Click();

    std::string Code() const;
    std::string Name() const;

private:
    Database& m_db;
    std::string m_template;
    QLineEdit* m_code = nullptr;
    QLineEdit* m_name = nullptr;
};

} // namespace pf
