#pragma once
// A dish of a weekly plan without recipe: its name and an optional description for the printout.
// The dialog only gathers the two texts; the caller places them into the plan.

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace pf {

class ClMenu;

class FrmWPEditGeneric : public QDialog
{
    Q_OBJECT
public:
    // cell names the place of the dish ("Montag, 07.12.2026 - Tagessuppe"); title and description
    // are those of a dish already there.
    FrmWPEditGeneric(const std::string& cell, const std::string& title, const std::string& description,
                     QWidget* parent = nullptr);

    // Accepts when a name is given; otherwise says what is missing and stays open.
    void cmdOK_Click();
    std::string Title() const;
    std::string Description() const;

private:
    QLineEdit* m_title = nullptr;
    QPlainTextEdit* m_description = nullptr;
};

// Asks for the dish without recipe of a plan's cell (day from 1, level number), showing the one
// already there, and places it with its description; false when the user cancels.
bool EditGenericDish(ClMenu& plan, int day, int level, QWidget* parent);

} // namespace pf
