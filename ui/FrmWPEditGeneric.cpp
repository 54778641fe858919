#include "ui/FrmWPEditGeneric.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "planning/ClMenu.h"
#include "planning/WeekCalendar.h"
#include "ui/UiSupport.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pf {

namespace {

constexpr const char* kCaption = "Gericht ohne Rezept";
// The title column of a course holds at most this many characters.
constexpr int kMaxTitle = 100;

} // namespace

FrmWPEditGeneric::FrmWPEditGeneric(const std::string& cell, const std::string& title,
                                   const std::string& description, QWidget* parent)
    : QDialog(parent)
{
    setObjectName("FrmWPEditGeneric");
    setWindowTitle(Q(kCaption));
    auto* layout = new QVBoxLayout(this);
    auto* place = Named(new QLabel(Q(cell), this), "lblCell");
    place->setWordWrap(true);
    layout->addWidget(place);
    auto* form = new QFormLayout();
    m_title = Named(new QLineEdit(Q(title), this), "txtTitle");
    m_title->setMaxLength(kMaxTitle);
    m_description = Named(new QPlainTextEdit(Q(description), this), "txtDescription");
    m_description->setTabChangesFocus(true);
    m_description->setMinimumHeight(m_description->minimumSizeHint().height() * 2);
    form->addRow(Q("&Gericht:"), m_title);
    form->addRow(Q("&Beschreibung:"), m_description);
    layout->addLayout(form, 1);
    QPushButton* ok = AddOkCancel(this, layout);
    connect(ok, &QPushButton::clicked, this, &FrmWPEditGeneric::cmdOK_Click);
    resize(460, 260);
}

void FrmWPEditGeneric::cmdOK_Click()
{
    if (Title().empty()) {
        UI().Inform("Bitte geben Sie den Namen des Gerichts ein.", MsgIcon::Warning, kCaption);
        m_title->setFocus();
        return;
    }
    accept();
}

std::string FrmWPEditGeneric::Title() const
{
    return S(m_title->text().trimmed());
}

std::string FrmWPEditGeneric::Description() const
{
    return S(m_description->toPlainText().trimmed());
}

} // namespace pf

namespace pf {

bool EditGenericDish(ClMenu& plan, int day, int level, QWidget* parent)
{
    clsWPLevel& levels = plan.WPLevels();
    const long levelId = levels.id(level);
    if (levelId == 0 || day < 1)
        return false;
    const DateSerial date{static_cast<double>(DayOf(plan.MenuDate()) + day - 1)};
    const int course = plan.WPCourse(day, levelId);
    const bool generic = course != 0 && plan.CourseGeneric(course);
    FrmWPEditGeneric dialog(GermanWeekdayName(date) + ", " + ShortDateText(date) + " - " + levels.Name(level),
                            generic ? plan.CourseTitle(course) : "", generic ? plan.CourseDesc(course) : "",
                            parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // A changed name replaces the dish; the same name keeps it and takes the new description.
    int placed = generic && plan.CourseTitle(course) == dialog.Title() ? course : 0;
    if (placed == 0)
        placed = plan.WPPlace(day, levelId, 0, dialog.Title());
    if (placed != 0)
        plan.SetCourseDesc(placed, dialog.Description());
    return placed != 0;
}

} // namespace pf
