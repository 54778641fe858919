#pragma once
// The menu editor: the head of a menu (title, date, persons, times, description, notes), its
// courses (recipes found by title or number or dropped as recipe IDs, free-text courses, each with
// persons, description, drink and a wine of the wine lexicon) and its guests from the address
// book. The rules live in ClMenu; the window gathers the input, asks before it overwrites or drops
// anything and reports what ClMenu refuses.

#include "planning/ClMenu.h"

#include <QWidget>

#include <functional>

class QComboBox;
class QDropEvent;
class QLayout;
class QDragEnterEvent;
class QLineEdit;
class QMimeData;
class QListWidget;
class QPlainTextEdit;
class QSpinBox;
class QTreeWidget;

namespace pf {

class FrmMenuDetail : public QWidget
{
    Q_OBJECT
public:
    // Shows the stored menu id, or a new menu for id 0. saved runs after every successful save.
    explicit FrmMenuDetail(long id, std::function<void(long)> saved = {}, QWidget* parent = nullptr);
    // Shows a menu that was prepared elsewhere (a new one with courses already added).
    explicit FrmMenuDetail(ClMenu menu, std::function<void(long)> saved = {}, QWidget* parent = nullptr);

    ClMenu& Menu() { return m_menu; }

    // Asks which menu the recipes join (or a new one), adds them as courses and shows that menu
    // beside from, unsaved. Returns the window, null when the user cancelled.
    static FrmMenuDetail* AddToChosenMenu(const std::vector<long>& recipeIds, QWidget* from);

    // Adds the recipes found for the text as courses (asks which one when several match).
    void cmdAddRecipe_Click();
    void AddRecipes(const std::vector<long>& ids);
    // Adds the recipes whose IDs a drop carries (numbers as text); false when it carries none.
    bool DropRecipes(const QMimeData* mime);
    void cmdAddGeneric_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void cmdCourseDelete_Click();
    void cmdAddGuest_Click();
    void cmdGuestDelete_Click();
    void cmdGuestHistory_Click();
    // False when the input was refused or the save failed (the reason was shown).
    bool cmdSave_Click();
    // Saves changes first, then opens the print window of the menu.
    void cmdPrint_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build();
    QLayout* BuildHead();
    QWidget* BuildCourses();
    QWidget* BuildGuests();
    QLayout* BuildButtons();
    void ShowHead();
    void FillCourses(int select);
    void ShowCourse();
    void CourseEdited();
    void FillGuests(int select);
    void HeadEdited();
    int CurrentCourse() const;
    int CurrentGuest() const;
    // Takes the head fields into the menu; false (with a message) when a date or time is unreadable.
    bool TakeHead();

    ClMenu m_menu;
    std::function<void(long)> m_saved;
    bool m_filling = false;
    QLineEdit* m_title = nullptr;
    QLineEdit* m_date = nullptr;
    QSpinBox* m_yield = nullptr;
    QLineEdit* m_timePreparation = nullptr;
    QLineEdit* m_timeCooking = nullptr;
    QPlainTextEdit* m_description = nullptr;
    QPlainTextEdit* m_notices = nullptr;
    QTreeWidget* m_courses = nullptr;
    QLineEdit* m_recipeSearch = nullptr;
    QLineEdit* m_courseTitle = nullptr;
    QSpinBox* m_courseYield = nullptr;
    QLineEdit* m_courseDesc = nullptr;
    QLineEdit* m_courseDrink = nullptr;
    QComboBox* m_courseWine = nullptr;
    QListWidget* m_guests = nullptr;
    QComboBox* m_guestChoice = nullptr;
    QLineEdit* m_guestNote = nullptr;
};

} // namespace pf
