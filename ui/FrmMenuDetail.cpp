#include "ui/FrmMenuDetail.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Settings.h"
#include "planning/ClAddress.h"
#include "ui/ErrorTrap.h"
#include "ui/FrmGastGeschichte.h"
#include "ui/FrmMenuPrint.h"
#include "ui/RecipeDrag.h"
#include "ui/UiSupport.h"
#include "ui/WindowSize.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTime>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <optional>

namespace pf {

namespace {

const char* const kCaption = "Menü";
const char* const kSettingsName = "MenuDetail";

enum CourseColumn { ColNumber, ColTitle, ColYield, ColDrink, ColWine };

QString DateText(DateSerial date)
{
    return date.Days >= 2 ? Q(ShortDateText(date)) : QString();
}

// "hh:mm" of a time of day; empty for none.
QString TimeText(DateSerial time)
{
    const long minutes = std::lround(time.Days * 24 * 60);
    if (minutes <= 0)
        return {};
    return QString("%1:%2").arg(minutes / 60, 2, 10, QChar('0')).arg(minutes % 60, 2, 10, QChar('0'));
}

std::optional<DateSerial> ParseDate(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return DateSerial{};
    for (const char* format : {"d.M.yyyy", "d.M.yy"}) {
        QDate date = QDate::fromString(trimmed, format);
        if (date.isValid()) {
            if (date.year() < 1950)
                date = date.addYears(100);
            return DateSerial::FromParts(date.year(), date.month(), date.day());
        }
    }
    return std::nullopt;
}

std::optional<DateSerial> ParseTime(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return DateSerial{};
    static const QRegularExpression pattern("^(\\d{1,3}):(\\d{2})$");
    const QRegularExpressionMatch match = pattern.match(trimmed);
    if (!match.hasMatch() || match.captured(2).toInt() > 59)
        return std::nullopt;
    return DateSerial{(match.captured(1).toInt() * 60 + match.captured(2).toInt()) / (24.0 * 60)};
}

} // namespace

FrmMenuDetail::FrmMenuDetail(long id, std::function<void(long)> saved, QWidget* parent)
    : QWidget(parent), m_saved(std::move(saved))
{
    if (id > 0 && !m_menu.Loadr(id))
        UI().Inform("Das Menü #" + std::to_string(id) + " wurde nicht gefunden.", MsgIcon::Information,
                    kCaption);
    Build();
}

FrmMenuDetail::FrmMenuDetail(ClMenu menu, std::function<void(long)> saved, QWidget* parent)
    : QWidget(parent), m_menu(std::move(menu)), m_saved(std::move(saved))
{
    Build();
}

FrmMenuDetail* FrmMenuDetail::AddToChosenMenu(const std::vector<long>& recipeIds, QWidget* from)
{
    ClMenu menu;
    const std::vector<ClMenu::Choice> menus = menu.MenuChoices();
    std::vector<std::string> items{"(neues Menü)"};
    for (const ClMenu::Choice& choice : menus)
        items.push_back(choice.Text);
    const std::optional<int> chosen = UI().ChooseItem("Zu welchem Menü?", items, kCaption);
    if (!chosen || *chosen < 0 || *chosen > static_cast<int>(menus.size()))
        return nullptr;
    if (*chosen == 0)
        menu.SetTitle("Neues Menü");
    else if (!menu.Loadr(menus[static_cast<std::size_t>(*chosen - 1)].id))
        return nullptr;
    auto* window = new FrmMenuDetail(std::move(menu));
    window->AddRecipes(recipeIds);
    ShowBeside(from, window);
    return window;
}

void FrmMenuDetail::Build()
{
    setObjectName("FrmMenuDetail");
    CloseOnEscape(this);
    setAcceptDrops(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(BuildHead());
    auto* body = new QHBoxLayout;
    body->addWidget(BuildCourses(), 3);
    body->addWidget(BuildGuests(), 2);
    layout->addLayout(body, 1);
    layout->addLayout(BuildButtons());

    RunTrapped([this] {
        ShowHead();
        FillCourses(1);
        FillGuests(1);
    });
    // Head fields count as changes once they differ from the menu.
    for (QLineEdit* edit : {m_title, m_date, m_timePreparation, m_timeCooking})
        connect(edit, &QLineEdit::textEdited, this, [this] { HeadEdited(); });
    for (QPlainTextEdit* edit : {m_description, m_notices})
        connect(edit, &QPlainTextEdit::textChanged, this, [this] { HeadEdited(); });
    connect(m_yield, &QSpinBox::valueChanged, this, [this] { HeadEdited(); });

    RestoreSize(this, kSettingsName, {980, 640}, {700, 480});
}

QLayout* FrmMenuDetail::BuildHead()
{
    auto* head = new QFormLayout;
    m_title = Named(new QLineEdit(this), "txtTitle");
    m_title->setMaxLength(128);
    head->addRow("Titel:", m_title);
    auto* when = new QHBoxLayout;
    m_date = Named(new QLineEdit(this), "txtDatum");
    m_date->setPlaceholderText("TT.MM.JJJJ");
    m_date->setMaximumWidth(110);
    when->addWidget(m_date);
    when->addWidget(new QLabel("Personen:", this));
    m_yield = Named(new QSpinBox(this), "txtYield");
    m_yield->setRange(0, 9999);
    when->addWidget(m_yield);
    when->addWidget(new QLabel("Vorbereitung:", this));
    m_timePreparation = Named(new QLineEdit(this), "txtZeitVorher");
    m_timePreparation->setPlaceholderText("hh:mm");
    m_timePreparation->setMaximumWidth(70);
    when->addWidget(m_timePreparation);
    when->addWidget(new QLabel("Kochzeit:", this));
    m_timeCooking = Named(new QLineEdit(this), "txtZeitKochen");
    m_timeCooking->setPlaceholderText("hh:mm");
    m_timeCooking->setMaximumWidth(70);
    when->addWidget(m_timeCooking);
    when->addStretch(1);
    head->addRow("Datum:", when);
    m_description = Named(new QPlainTextEdit(this), "txtDesc");
    // Two or three lines; never less than the box needs to show one with its frame.
    m_description->setMaximumHeight(std::max(60, m_description->minimumSizeHint().height()));
    head->addRow("Beschreibung:", m_description);
    m_notices = Named(new QPlainTextEdit(this), "txtNotizen");
    m_notices->setMaximumHeight(std::max(60, m_notices->minimumSizeHint().height()));
    head->addRow("Notizen:", m_notices);
    return head;
}

QWidget* FrmMenuDetail::BuildCourses()
{
    auto* coursesBox = new QGroupBox("Gänge", this);
    auto* coursesLayout = new QVBoxLayout(coursesBox);
    m_courses = Named(new QTreeWidget(coursesBox), "lstGaenge");
    m_courses->setHeaderLabels({"Nr.", "Gang", "Personen", "Getränk", "Wein"});
    m_courses->setRootIsDecorated(false);
    m_courses->setAcceptDrops(true);
    m_courses->viewport()->setAcceptDrops(true);
    m_courses->viewport()->installEventFilter(this);
    m_courses->header()->setStretchLastSection(false);
    m_courses->header()->setSectionResizeMode(ColTitle, QHeaderView::Stretch);
    FitHeaderTexts(m_courses->header());
    RoomyRows(m_courses);
    coursesLayout->addWidget(m_courses, 1);

    auto* find = new QHBoxLayout;
    m_recipeSearch = Named(new QLineEdit(coursesBox), "txtRezeptSuche");
    m_recipeSearch->setPlaceholderText("Rezepttitel oder -nummer");
    auto* addRecipe = MakeButton("cmdAddRecipe", "&Rezept hinzufügen", coursesBox);
    auto* addGeneric = MakeButton("cmdAddGeneric", "Freier &Gang", coursesBox);
    find->addWidget(m_recipeSearch, 1);
    find->addWidget(addRecipe);
    find->addWidget(addGeneric);
    coursesLayout->addLayout(find);

    auto* courseForm = new QFormLayout;
    m_courseTitle = Named(new QLineEdit(coursesBox), "txtGangTitel");
    m_courseTitle->setMaxLength(128);
    m_courseTitle->setPlaceholderText("Titel des Rezepts");
    courseForm->addRow("Gang:", m_courseTitle);
    m_courseYield = Named(new QSpinBox(coursesBox), "txtGangYield");
    m_courseYield->setRange(0, 9999);
    m_courseYield->setSpecialValueText("wie Rezept");
    courseForm->addRow("Personen:", m_courseYield);
    m_courseDesc = Named(new QLineEdit(coursesBox), "txtGangDesc");
    courseForm->addRow("Beschreibung:", m_courseDesc);
    m_courseDrink = Named(new QLineEdit(coursesBox), "txtGangDrink");
    m_courseDrink->setMaxLength(255);
    courseForm->addRow("Getränk:", m_courseDrink);
    m_courseWine = Named(new QComboBox(coursesBox), "cboWein");
    m_courseWine->addItem("(kein Wein)", QVariant::fromValue<qlonglong>(0));
    for (const ClMenu::Choice& wine : m_menu.WineChoices())
        m_courseWine->addItem(Q(m_menu.WineName(wine.id).empty() ? wine.Text : m_menu.WineName(wine.id)),
                              QVariant::fromValue<qlonglong>(wine.id));
    courseForm->addRow("Wein:", m_courseWine);
    coursesLayout->addLayout(courseForm);

    auto* courseButtons = new QHBoxLayout;
    auto* up = MakeButton("cmdUp", "Nach &oben", coursesBox);
    auto* down = MakeButton("cmdDown", "Nach &unten", coursesBox);
    auto* removeCourse = MakeButton("cmdCourseDelete", "Gang en&tfernen", coursesBox);
    courseButtons->addWidget(up);
    courseButtons->addWidget(down);
    courseButtons->addStretch(1);
    courseButtons->addWidget(removeCourse);
    coursesLayout->addLayout(courseButtons);

    connect(addRecipe, &QPushButton::clicked, this, Trapped(this, &FrmMenuDetail::cmdAddRecipe_Click));
    connect(m_recipeSearch, &QLineEdit::returnPressed, this,
            Trapped(this, &FrmMenuDetail::cmdAddRecipe_Click));
    connect(addGeneric, &QPushButton::clicked, this, Trapped(this, &FrmMenuDetail::cmdAddGeneric_Click));
    connect(up, &QPushButton::clicked, this, Trapped(this, &FrmMenuDetail::cmdUp_Click));
    connect(down, &QPushButton::clicked, this, Trapped(this, &FrmMenuDetail::cmdDown_Click));
    connect(removeCourse, &QPushButton::clicked, this, Trapped(this, &FrmMenuDetail::cmdCourseDelete_Click));
    connect(m_courses, &QTreeWidget::currentItemChanged, this, Trapped(this, &FrmMenuDetail::ShowCourse));
    for (QLineEdit* edit : {m_courseTitle, m_courseDesc, m_courseDrink})
        connect(edit, &QLineEdit::textEdited, this, Trapped(this, &FrmMenuDetail::CourseEdited));
    connect(m_courseYield, &QSpinBox::valueChanged, this, Trapped(this, &FrmMenuDetail::CourseEdited));
    connect(m_courseWine, &QComboBox::activated, this, Trapped(this, &FrmMenuDetail::CourseEdited));
    return coursesBox;
}

QWidget* FrmMenuDetail::BuildGuests()
{
    auto* guestsBox = new QGroupBox("Gäste", this);
    auto* guestsLayout = new QVBoxLayout(guestsBox);
    m_guests = Named(new QListWidget(guestsBox), "lstGaeste");
    RoomyRows(m_guests);
    guestsLayout->addWidget(m_guests, 1);
    auto* guestForm = new QFormLayout;
    m_guestChoice = Named(new QComboBox(guestsBox), "cboGast");
    ClAddress addresses;
    for (const AddressListRow& row : addresses.FillAdresslist())
        if (row.id > 0)
            m_guestChoice->addItem(Q(row.Text), QVariant::fromValue<qlonglong>(row.id));
    guestForm->addRow("Gast:", m_guestChoice);
    m_guestNote = Named(new QLineEdit(guestsBox), "txtGastNotiz");
    guestForm->addRow("Notiz:", m_guestNote);
    guestsLayout->addLayout(guestForm);
    auto* guestButtons = new QHBoxLayout;
    auto* addGuest = MakeButton("cmdAddGuest", "Hin&zufügen", guestsBox);
    auto* removeGuest = MakeButton("cmdGuestDelete", "&Entfernen", guestsBox);
    auto* history = MakeButton("cmdGuestHistory", "Ges&chichte …", guestsBox);
    guestButtons->addWidget(addGuest);
    guestButtons->addWidget(removeGuest);
    guestButtons->addStretch(1);
    guestButtons->addWidget(history);
    guestsLayout->addLayout(guestButtons);

    connect(addGuest, &QPushButton::clicked, this, Trapped(this, &FrmMenuDetail::cmdAddGuest_Click));
    connect(removeGuest, &QPushButton::clicked, this, Trapped(this, &FrmMenuDetail::cmdGuestDelete_Click));
    connect(history, &QPushButton::clicked, this, Trapped(this, &FrmMenuDetail::cmdGuestHistory_Click));
    connect(m_guests, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_filling && row >= 0)
            m_guestNote->setText(Q(m_menu.GuestNotice(row + 1)));
    });
    connect(m_guestNote, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (const int guest = CurrentGuest(); guest > 0)
            m_menu.SetGuestNotice(guest, S(text));
    });
    return guestsBox;
}

QLayout* FrmMenuDetail::BuildButtons()
{
    auto* buttons = new QHBoxLayout;
    // Alt keys of their own beside the main menu's.
    auto* print = MakeButton("cmdPrint", "Druc&ken …", this);
    auto* save = MakeButton("cmdSave", "S&peichern", this);
    auto* close = MakeButton("cmdClose", "Sch&ließen", this);
    buttons->addWidget(print);
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(close);
    connect(save, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdSave_Click(); }); });
    connect(print, &QPushButton::clicked, this, Trapped(this, &FrmMenuDetail::cmdPrint_Click));
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    return buttons;
}

void FrmMenuDetail::ShowHead()
{
    m_filling = true;
    m_title->setText(Q(m_menu.Title()));
    m_date->setText(DateText(m_menu.MenuDate()));
    m_yield->setValue(static_cast<int>(m_menu.Yield()));
    m_timePreparation->setText(TimeText(m_menu.TimePreparation()));
    m_timeCooking->setText(TimeText(m_menu.TimeCooking()));
    m_description->setPlainText(Q(m_menu.Description()));
    m_notices->setPlainText(Q(m_menu.Notices()));
    m_filling = false;
    HeadEdited();
}

void FrmMenuDetail::HeadEdited()
{
    if (m_filling)
        return;
    const std::string title = m_menu.Title().empty() ? "Neues Menü" : m_menu.Title();
    setWindowTitle(
        Q(std::string(kCaption) + " - " + (m_title->text().isEmpty() ? title : S(m_title->text()))));
}

bool FrmMenuDetail::TakeHead()
{
    const std::optional<DateSerial> date = ParseDate(m_date->text());
    if (!date) {
        UI().Inform("Das Datum \"" + S(m_date->text()) + "\" ist ungültig. Bitte als TT.MM.JJJJ eingeben.",
                    MsgIcon::Warning, kCaption);
        m_date->setFocus();
        return false;
    }
    const std::optional<DateSerial> preparation = ParseTime(m_timePreparation->text());
    const std::optional<DateSerial> cooking = ParseTime(m_timeCooking->text());
    if (!preparation || !cooking) {
        UI().Inform("Zeiten bitte als hh:mm eingeben, zum Beispiel 1:30.", MsgIcon::Warning, kCaption);
        (preparation ? m_timeCooking : m_timePreparation)->setFocus();
        return false;
    }
    m_menu.SetTitle(S(m_title->text().trimmed()));
    m_menu.SetMenuDate(*date);
    m_menu.SetYield(m_yield->value());
    m_menu.SetTimePreparation(*preparation);
    m_menu.SetTimeCooking(*cooking);
    m_menu.SetDescription(S(m_description->toPlainText()));
    m_menu.SetNotices(S(m_notices->toPlainText()));
    return true;
}

int FrmMenuDetail::CurrentCourse() const
{
    const QTreeWidgetItem* item = m_courses->currentItem();
    return item ? m_courses->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item)) + 1 : 0;
}

int FrmMenuDetail::CurrentGuest() const
{
    return m_guests->currentRow() + 1;
}

void FrmMenuDetail::FillCourses(int select)
{
    m_filling = true;
    m_courses->clear();
    const int count = m_menu.CoursesCount();
    for (int i = 1; i <= count; ++i) {
        auto* item = new QTreeWidgetItem(m_courses);
        item->setText(ColNumber, QString::number(i));
        std::string title = m_menu.CourseTitle(i);
        if (m_menu.CourseGeneric(i))
            title += " [frei]";
        else if (!m_menu.CourseRecipeLoaded(i))
            title += " [Rezept fehlt]";
        item->setText(ColTitle, Q(title));
        const long yield = m_menu.CourseYield(i);
        item->setText(ColYield,
                      yield > 0 ? Q(std::to_string(yield) + " " + m_menu.CourseUnit(i)) : QString());
        item->setText(ColDrink, Q(m_menu.CourseDrink(i)));
        item->setText(ColWine, Q(m_menu.WineName(m_menu.CourseWineID(i))));
    }
    m_filling = false;
    if (count > 0)
        m_courses->setCurrentItem(m_courses->topLevelItem(std::clamp(select, 1, count) - 1));
    ShowCourse();
}

void FrmMenuDetail::ShowCourse()
{
    if (m_filling)
        return;
    const int i = CurrentCourse();
    m_filling = true;
    m_courseTitle->setText(Q(m_menu.CourseOwnTitle(i)));
    m_courseTitle->setPlaceholderText(i > 0 && !m_menu.CourseGeneric(i) ? Q(m_menu.CourseTitle(i))
                                                                        : QString());
    m_courseYield->setValue(static_cast<int>(i > 0 ? m_menu.CourseYield(i) : 0));
    m_courseDesc->setText(Q(m_menu.CourseDesc(i)));
    m_courseDrink->setText(Q(m_menu.CourseDrink(i)));
    const int wine = m_courseWine->findData(QVariant::fromValue<qlonglong>(m_menu.CourseWineID(i)));
    m_courseWine->setCurrentIndex(wine >= 0 ? wine : 0);
    for (QWidget* w : std::initializer_list<QWidget*>{m_courseTitle, m_courseYield, m_courseDesc,
                                                      m_courseDrink, m_courseWine})
        w->setEnabled(i > 0);
    m_filling = false;
}

void FrmMenuDetail::CourseEdited()
{
    const int i = CurrentCourse();
    if (m_filling || i == 0)
        return;
    m_menu.SetCourseTitle(i, S(m_courseTitle->text()));
    m_menu.SetCourseYield(i, m_courseYield->value());
    m_menu.SetCourseDesc(i, S(m_courseDesc->text()));
    m_menu.SetCourseDrink(i, S(m_courseDrink->text()));
    m_menu.SetCourseWineID(i, static_cast<long>(m_courseWine->currentData().toLongLong()));
    QTreeWidgetItem* item = m_courses->currentItem();
    m_filling = true;
    item->setText(ColTitle, Q(m_menu.CourseTitle(i) + (m_menu.CourseGeneric(i) ? " [frei]" : "")));
    const long yield = m_menu.CourseYield(i);
    item->setText(ColYield, yield > 0 ? Q(std::to_string(yield) + " " + m_menu.CourseUnit(i)) : QString());
    item->setText(ColDrink, Q(m_menu.CourseDrink(i)));
    item->setText(ColWine, Q(m_menu.WineName(m_menu.CourseWineID(i))));
    m_filling = false;
}

void FrmMenuDetail::cmdAddRecipe_Click()
{
    const std::string term = S(m_recipeSearch->text().trimmed());
    if (term.empty()) {
        UI().Inform("Bitte den Titel oder die Nummer eines Rezepts eingeben.", MsgIcon::Information,
                    kCaption);
        return;
    }
    const std::vector<ClMenu::Choice> found = m_menu.FindRecipes(term);
    if (found.empty()) {
        UI().Inform("Kein Rezept gefunden für \"" + term + "\".", MsgIcon::Information, kCaption);
        return;
    }
    std::size_t index = 0;
    if (found.size() > 1) {
        std::vector<std::string> titles;
        for (const ClMenu::Choice& choice : found)
            titles.push_back(choice.Text);
        const std::optional<int> chosen = UI().ChooseItem("Rezept wählen:", titles, kCaption);
        if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(found.size()))
            return;
        index = static_cast<std::size_t>(*chosen);
    }
    AddRecipes({found[index].id});
    m_recipeSearch->clear();
}

void FrmMenuDetail::AddRecipes(const std::vector<long>& ids)
{
    int last = 0;
    for (long id : ids)
        last = m_menu.CourseAdd(id, false, "Rezept #" + std::to_string(id));
    if (last > 0)
        FillCourses(last);
}

void FrmMenuDetail::cmdAddGeneric_Click()
{
    std::string title = S(m_recipeSearch->text().trimmed());
    if (title.empty())
        title = "Neuer Gang";
    FillCourses(m_menu.CourseAdd(0, true, title));
    m_recipeSearch->clear();
    m_courseTitle->setFocus();
    m_courseTitle->selectAll();
}

void FrmMenuDetail::cmdUp_Click()
{
    // The list shows the first course on top: up means towards number 1.
    const int i = CurrentCourse();
    if (i >= 2) {
        m_menu.CourseDown(i);
        FillCourses(i - 1);
    }
}

void FrmMenuDetail::cmdDown_Click()
{
    const int i = CurrentCourse();
    if (i >= 1 && i < m_menu.CoursesCount()) {
        m_menu.CourseUp(i);
        FillCourses(i + 1);
    }
}

void FrmMenuDetail::cmdCourseDelete_Click()
{
    const int i = CurrentCourse();
    if (i == 0)
        return;
    if (UI().Ask("Soll der Gang \"" + m_menu.CourseTitle(i) + "\" aus dem Menü entfernt werden?",
                 Buttons::YesNo, Answer::No, MsgIcon::Question, kCaption) != Answer::Yes)
        return;
    m_menu.CourseDelete(i);
    FillCourses(i);
}

void FrmMenuDetail::FillGuests(int select)
{
    m_filling = true;
    m_guests->clear();
    const int count = m_menu.GuestCount();
    // The date as typed, before it is saved; the stored one while the field cannot be read.
    const DateSerial date = ParseDate(m_date->text()).value_or(m_menu.MenuDate());
    for (int i = 1; i <= count; ++i) {
        std::string name = m_menu.GuestName(i);
        if (name.empty())
            name = "Adresse #" + std::to_string(m_menu.Guest(i)) + " (gelöscht)";
        if (date.Days >= 2)
            name += " vom " + ShortDateText(date);
        m_guests->addItem(Q(name));
    }
    m_filling = false;
    if (count > 0)
        m_guests->setCurrentRow(std::clamp(select, 1, count) - 1);
    else
        m_guestNote->clear();
}

void FrmMenuDetail::cmdAddGuest_Click()
{
    const long address = static_cast<long>(m_guestChoice->currentData().toLongLong());
    if (address <= 0) {
        UI().Inform("Bitte zuerst einen Gast aus dem Adressbuch wählen.", MsgIcon::Information, kCaption);
        return;
    }
    for (int i = 1; i <= m_menu.GuestCount(); ++i)
        if (m_menu.Guest(i) == address) {
            m_guests->setCurrentRow(i - 1);
            UI().Inform(S(m_guestChoice->currentText()) + " ist bereits Gast dieses Menüs.",
                        MsgIcon::Information, kCaption);
            return;
        }
    FillGuests(m_menu.GuestAdd(address, S(m_guestNote->text())));
}

void FrmMenuDetail::cmdGuestDelete_Click()
{
    const int i = CurrentGuest();
    if (i <= 0)
        return;
    m_menu.GuestDelete(i);
    FillGuests(i);
}

void FrmMenuDetail::cmdGuestHistory_Click()
{
    const int i = CurrentGuest();
    const long address =
        i > 0 ? m_menu.Guest(i) : static_cast<long>(m_guestChoice->currentData().toLongLong());
    if (address > 0)
        ShowBeside(this, new FrmGastGeschichte(address));
}

bool FrmMenuDetail::cmdSave_Click()
{
    if (!TakeHead())
        return false;
    if (m_menu.Title().empty()) {
        UI().Inform("Bitte dem Menü einen Titel geben.", MsgIcon::Warning, kCaption);
        m_title->setFocus();
        return false;
    }
    if (m_menu.CheckDateTitle() &&
        UI().Ask("Es gibt bereits ein Menü \"" + m_menu.Title() + "\" am " +
                     ShortDateText(m_menu.MenuDate()) + ". Trotzdem speichern?",
                 Buttons::YesNo, Answer::No, MsgIcon::Question, kCaption) != Answer::Yes)
        return false;
    if (!m_menu.Save()) {
        UI().Inform("Das Menü konnte nicht gespeichert werden.\n" + m_menu.LastErrorText(), MsgIcon::Critical,
                    kCaption);
        return false;
    }
    HeadEdited();
    if (m_saved)
        m_saved(m_menu.id());
    return true;
}

void FrmMenuDetail::cmdPrint_Click()
{
    // The printout reads the stored menu.
    if (!TakeHead() || ((m_menu.IsChanged() || m_menu.id() == 0) && !cmdSave_Click()))
        return;
    ShowBeside(this, new FrmMenuPrint(m_menu.id()));
}

void FrmMenuDetail::closeEvent(QCloseEvent* event)
{
    bool changed = false;
    RunTrapped([&] { changed = !TakeHead() || m_menu.IsChanged(); });
    if (changed) {
        const Answer answer = UI().Ask("Sollen die Änderungen am Menü gespeichert werden?",
                                       Buttons::YesNoCancel, Answer::Yes, MsgIcon::Question, kCaption);
        if (answer == Answer::Cancel || (answer == Answer::Yes && !cmdSave_Click())) {
            event->ignore();
            return;
        }
    }
    WindowPlacement placement;
    placement.Width = width();
    placement.Height = height();
    SaveWindow(placement, kSettingsName);
    event->accept();
}

bool FrmMenuDetail::DropRecipes(const QMimeData* mime)
{
    const std::vector<long> ids = DroppedRecipeIds(mime);
    if (ids.empty())
        return false;
    RunTrapped([this, ids] { AddRecipes(ids); });
    return true;
}

bool FrmMenuDetail::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_courses->viewport()) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!DroppedRecipeIds(drag->mimeData()).empty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            if (DropRecipes(drop->mimeData())) {
                drop->acceptProposedAction();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pf
