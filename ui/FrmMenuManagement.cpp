#include "ui/FrmMenuManagement.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Settings.h"
#include "core/UserRights.h"
#include "ui/ErrorTrap.h"
#include "ui/FrmEinkaufsliste.h"
#include "ui/FrmExport.h"
#include "ui/FrmMenuDetail.h"
#include "ui/FrmMenuPrint.h"
#include "ui/FrmWPEdit.h"
#include "ui/UiSupport.h"
#include "ui/WindowSize.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <algorithm>

namespace pf {

namespace {

const char* const kCaption = "Menüs";
const char* const kSettingsName = "MenuManager";
constexpr int kKeyRole = Qt::UserRole + 1;
constexpr int kIdRole = Qt::UserRole + 2;
constexpr int kFolderRole = Qt::UserRole + 3;
// Folders nest at most this deep; a damaged tree that loops stops here.
constexpr int kMaxDepth = 32;

std::string KeyOf(const MenuTreeEntry& entry)
{
    return (entry.IsFolder ? "F" : "M") + std::to_string(entry.id);
}

QString Html(const std::string& text)
{
    return Q(text).toHtmlEscaped();
}

} // namespace

FrmMenuManagement::FrmMenuManagement(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmMenuManagement");
    setWindowTitle(kCaption);
    CloseOnEscape(this);

    auto* layout = new QVBoxLayout(this);
    auto* split = new QSplitter(this);
    m_tree = Named(new QTreeWidget(split), "tvMenu");
    m_tree->setHeaderHidden(true);
    RoomyRows(m_tree);
    m_preview = Named(new QTextBrowser(split), "txtPreview");
    split->addWidget(m_tree);
    split->addWidget(m_preview);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    layout->addWidget(split, 1);

    auto* menuButtons = new QHBoxLayout;
    // Alt keys of their own beside the main menu's.
    auto* add = MakeButton("cmdNewMenu", "Neues &Menü", this);
    auto* open = MakeButton("cmdOpen", "Öff&nen", this);
    auto* copy = MakeButton("cmdCopy", "&Kopieren", this);
    auto* remove = MakeButton("cmdDelete", "&Löschen", this);
    auto* print = MakeButton("cmdPrint", "D&rucken …", this);
    auto* exporter = MakeButton("cmdExport", "Ex&portieren …", this);
    exporter->setToolTip("Das Menü mit den Rezepten seiner Gänge exportieren");
    exporter->setEnabled(UserMayUse(kRightExport));
    auto* shopping = MakeButton("cmdShopping", "Auf die &Einkaufsliste", this);
    shopping->setToolTip("Die Rezepte der Gänge mit ihren Personen auf die Einkaufsliste setzen");
    auto* folder = MakeButton("cmdNewFolder", "Neuer &Ordner", this);
    auto* rename = MakeButton("cmdRenameFolder", "&Umbenennen", this);
    auto* removeFolder = MakeButton("cmdDeleteFolder", "Ordner l&öschen", this);
    auto* close = MakeButton("cmdClose", "S&chließen", this);
    for (QPushButton* b : {add, open, copy, remove, print, exporter, shopping})
        menuButtons->addWidget(b);
    auto* folderButtons = new QHBoxLayout;
    for (QPushButton* b : {folder, rename, removeFolder})
        folderButtons->addWidget(b);
    folderButtons->addStretch(1);
    folderButtons->addWidget(close);
    menuButtons->addStretch(1);
    layout->addLayout(menuButtons);
    layout->addLayout(folderButtons);

    auto trapped = [this](auto slot) { return [this, slot] { RunTrapped([this, slot] { slot(this); }); }; };
    connect(add, &QPushButton::clicked, this, trapped([](FrmMenuManagement* w) { w->cmdNewMenu_Click(); }));
    connect(open, &QPushButton::clicked, this, trapped([](FrmMenuManagement* w) { w->cmdOpen_Click(); }));
    connect(copy, &QPushButton::clicked, this, trapped([](FrmMenuManagement* w) { w->cmdCopy_Click(); }));
    connect(remove, &QPushButton::clicked, this, trapped([](FrmMenuManagement* w) { w->cmdDelete_Click(); }));
    connect(print, &QPushButton::clicked, this, trapped([](FrmMenuManagement* w) { w->cmdPrint_Click(); }));
    connect(exporter, &QPushButton::clicked, this,
            trapped([](FrmMenuManagement* w) { w->cmdExport_Click(); }));
    connect(shopping, &QPushButton::clicked, this,
            trapped([](FrmMenuManagement* w) { w->cmdShopping_Click(); }));
    connect(folder, &QPushButton::clicked, this,
            trapped([](FrmMenuManagement* w) { w->cmdNewFolder_Click(); }));
    connect(rename, &QPushButton::clicked, this,
            trapped([](FrmMenuManagement* w) { w->cmdRenameFolder_Click(); }));
    connect(removeFolder, &QPushButton::clicked, this,
            trapped([](FrmMenuManagement* w) { w->cmdDeleteFolder_Click(); }));
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this] { RunTrapped([this] { ShowSelected(); }); });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (!item->data(0, kKeyRole).toString().startsWith('M'))
            return;
        RunTrapped([this] { cmdOpen_Click(); });
    });
    auto folderIcon = [this](QTreeWidgetItem* item, bool expanded) {
        if (item->data(0, kKeyRole).toString().startsWith('F'))
            item->setIcon(
                0, style()->standardIcon(expanded ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon));
    };
    connect(m_tree, &QTreeWidget::itemExpanded, this,
            [folderIcon](QTreeWidgetItem* i) { folderIcon(i, true); });
    connect(m_tree, &QTreeWidget::itemCollapsed, this,
            [folderIcon](QTreeWidgetItem* i) { folderIcon(i, false); });

    RestoreSize(this, kSettingsName, {900, 560}, {640, 400});
    RunTrapped([this] { RefreshTree(ReadSetting(kSettingsName, "LastMenuNode", "", false)); });
}

void FrmMenuManagement::AddChildren(QTreeWidgetItem* parent, long folder, int depth)
{
    for (const MenuTreeEntry& entry : m_menu.RefreshMenuList(folder)) {
        auto* item = new QTreeWidgetItem(parent);
        item->setText(0, Q(entry.Text));
        item->setData(0, kKeyRole, Q(KeyOf(entry)));
        item->setData(0, kIdRole, QVariant::fromValue<qlonglong>(entry.id));
        item->setData(0, kFolderRole, QVariant::fromValue<qlonglong>(entry.IsFolder ? entry.id : folder));
        item->setIcon(0,
                      style()->standardIcon(entry.IsFolder ? QStyle::SP_DirClosedIcon : QStyle::SP_FileIcon));
        if (entry.IsFolder && depth < kMaxDepth)
            AddChildren(item, entry.id, depth + 1);
    }
}

void FrmMenuManagement::RefreshTree(const std::string& selectKey)
{
    m_tree->clear();
    QTreeWidgetItem* select = nullptr;
    for (const MenuTreeEntry& top : m_menu.FillMenuLevel("Menüordner")) {
        auto* item = new QTreeWidgetItem(m_tree);
        item->setText(0, Q(top.Text));
        item->setData(0, kKeyRole, Q(KeyOf(top)));
        item->setData(0, kIdRole, QVariant::fromValue<qlonglong>(top.id));
        item->setData(0, kFolderRole, QVariant::fromValue<qlonglong>(top.id));
        item->setIcon(0, style()->standardIcon(QStyle::SP_DirClosedIcon));
        AddChildren(item, top.id, 1);
    }
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        if (S((*it)->data(0, kKeyRole).toString()) == selectKey)
            select = *it;
    if (!select)
        select = m_tree->topLevelItem(0);
    m_tree->topLevelItem(0)->setExpanded(true);
    for (QTreeWidgetItem* up = select ? select->parent() : nullptr; up; up = up->parent())
        up->setExpanded(true);
    m_tree->setCurrentItem(select);
    ShowSelected();
}

std::string FrmMenuManagement::SelectedKey() const
{
    const QTreeWidgetItem* item = m_tree->currentItem();
    return item ? S(item->data(0, kKeyRole).toString()) : std::string();
}

long FrmMenuManagement::SelectedMenu() const
{
    const QTreeWidgetItem* item = m_tree->currentItem();
    if (!item || !item->data(0, kKeyRole).toString().startsWith('M'))
        return 0;
    return static_cast<long>(item->data(0, kIdRole).toLongLong());
}

long FrmMenuManagement::SelectedFolder() const
{
    const QTreeWidgetItem* item = m_tree->currentItem();
    return item ? static_cast<long>(item->data(0, kFolderRole).toLongLong()) : 0;
}

void FrmMenuManagement::ShowSelected()
{
    const long id = SelectedMenu();
    if (id == 0) {
        const long folder = SelectedFolder();
        m_preview->setHtml(folder > 0 ? "<h3>" + Html(m_menu.MenuFolderName(folder)) + "</h3>" : QString());
        return;
    }
    ClMenu menu;
    if (!menu.Loadr(id)) {
        m_preview->clear();
        return;
    }
    QString html = "<h2>" + Html(menu.Title().empty() ? menu.GenMenuEntryTitle() : menu.Title()) + "</h2>";
    if (menu.MenuDate().Days >= 2)
        html += "<p>" + Html(ShortDateText(menu.MenuDate())) +
                (menu.Yield() > 0 ? Html(", " + std::to_string(menu.Yield()) + " Personen") : QString()) +
                "</p>";
    if (!menu.Description().empty())
        html += "<p><i>" + Html(menu.Description()) + "</i></p>";
    html += "<ol>";
    for (int i = 1; i <= menu.CoursesCount(); ++i) {
        html += "<li>" + Html(menu.CourseTitle(i));
        if (const std::string desc = menu.CourseDesc(i); !desc.empty())
            html += "<br><i>" + Html(desc).replace('\n', "<br>") + "</i>";
        std::string drinks = menu.CourseDrink(i);
        const std::string wine = menu.WineName(menu.CourseWineID(i));
        if (!wine.empty())
            drinks += (drinks.empty() ? "" : ", ") + wine;
        if (!drinks.empty())
            html += "<br><small>dazu: " + Html(drinks) + "</small>";
        html += "</li>";
    }
    html += "</ol>";
    if (menu.GuestCount() > 0) {
        html += "<p><b>Gäste:</b> ";
        for (int i = 1; i <= menu.GuestCount(); ++i)
            html += (i > 1 ? ", " : "") + Html(menu.GuestName(i));
        html += "</p>";
    }
    m_preview->setHtml(html);
}

void FrmMenuManagement::OpenMenu(long id)
{
    // Weekly plans open in the plan editor.
    ClMenu plan;
    if (plan.Loadr(id) && plan.IsWP()) {
        ShowBeside(this, new FrmWPEdit(std::move(plan)));
        return;
    }
    ShowBeside(this, new FrmMenuDetail(id, [this](long saved) {
                   RunTrapped([this, saved] { RefreshTree("M" + std::to_string(saved)); });
               }));
}

void FrmMenuManagement::cmdNewMenu_Click()
{
    const long folder = SelectedFolder();
    if (folder == ClMenu::kWPTree) {
        auto* editor = new FrmWPEdit;
        ShowBeside(this, editor);
        editor->cmdNew_Click();
        return;
    }
    ClMenu menu;
    menu.SetTree(folder);
    menu.SetTitle("Neues Menü");
    auto* window = new FrmMenuDetail(std::move(menu), [this](long saved) {
        RunTrapped([this, saved] { RefreshTree("M" + std::to_string(saved)); });
    });
    ShowBeside(this, window);
}

void FrmMenuManagement::cmdOpen_Click()
{
    if (const long id = SelectedMenu())
        OpenMenu(id);
}

void FrmMenuManagement::cmdPrint_Click()
{
    const long id = SelectedMenu();
    if (id == 0)
        return;
    ShowBeside(this, new FrmMenuPrint(id));
}

void FrmMenuManagement::cmdExport_Click()
{
    const long id = SelectedMenu();
    if (id == 0)
        return;
    // The menu names its courses' recipes by number: they go into the file with it.
    std::vector<long> recipes;
    for (const ClMenu::ShoppingCourse& course : m_menu.ShoppingCourses(id))
        if (std::find(recipes.begin(), recipes.end(), course.RezID) == recipes.end())
            recipes.push_back(course.RezID);
    auto* window = new FrmExport(recipes);
    window->CheckMenus({id});
    ShowBeside(this, window);
}

void FrmMenuManagement::cmdShopping_Click()
{
    const long id = SelectedMenu();
    if (id == 0)
        return;
    const std::vector<ClMenu::ShoppingCourse> courses = m_menu.ShoppingCourses(id);
    if (m_menu.LastError() != 0) {
        UI().Inform("Die Gänge des Menüs können nicht gelesen werden.\n" + m_menu.LastErrorText(),
                    MsgIcon::Critical, kCaption);
        return;
    }
    if (courses.empty()) {
        UI().Inform("Das Menü hat keine Gänge mit einem Rezept.", MsgIcon::Information, kCaption);
        return;
    }
    FrmEinkaufsliste* list = FrmEinkaufsliste::Open(this);
    for (const ClMenu::ShoppingCourse& course : courses)
        list->AddRecipe(course.RezID, course.Yield);
}

void FrmMenuManagement::cmdCopy_Click()
{
    const long id = SelectedMenu();
    ClMenu menu;
    if (id == 0 || !menu.Loadr(id))
        return;
    menu.Clone();
    menu.SetTitle(menu.Title() + " (Kopie)");
    if (!menu.Save()) {
        UI().Inform("Das Menü konnte nicht kopiert werden.\n" + menu.LastErrorText(), MsgIcon::Critical,
                    kCaption);
        return;
    }
    RefreshTree("M" + std::to_string(menu.id()));
}

void FrmMenuManagement::cmdDelete_Click()
{
    const long id = SelectedMenu();
    ClMenu menu;
    if (id == 0 || !menu.Loadr(id))
        return;
    const std::string question =
        menu.IsWP() ? "Soll der Wochenplan \"" + menu.GenMenuEntryTitle() + "\" wirklich gelöscht werden?"
                    : "Soll das Menü \"" + menu.GenMenuEntryTitle() + "\" wirklich gelöscht werden?";
    if (UI().Ask(question, Buttons::YesNo, Answer::No, MsgIcon::Question, kCaption) != Answer::Yes)
        return;
    const long folder = menu.Tree();
    if (!menu.Delete()) {
        UI().Inform("Das Menü konnte nicht gelöscht werden.\n" + menu.LastErrorText(), MsgIcon::Critical,
                    kCaption);
        return;
    }
    RefreshTree("F" + std::to_string(folder));
}

std::string FrmMenuManagement::AskName(const std::string& prompt, const std::string& text)
{
    bool ok = false;
    const QString name = QInputDialog::getText(this, kCaption, Q(prompt), QLineEdit::Normal, Q(text), &ok);
    return ok ? S(name.trimmed()) : std::string();
}

void FrmMenuManagement::cmdNewFolder_Click(const std::string& name)
{
    long parent = SelectedFolder();
    if (parent < 0)
        parent = 0; // the fixed folders hold no sub-folders
    const std::string folderName = name.empty() ? AskName("Name des neuen Ordners:", "") : name;
    if (folderName.empty())
        return;
    const long id = m_menu.MenuFolderAdd(parent, folderName);
    if (id == 0) {
        UI().Inform("Der Ordner konnte nicht angelegt werden.\n" + m_menu.LastErrorText(), MsgIcon::Critical,
                    kCaption);
        return;
    }
    RefreshTree("F" + std::to_string(id));
}

void FrmMenuManagement::cmdRenameFolder_Click(const std::string& name)
{
    const long folder = SelectedMenu() == 0 ? SelectedFolder() : 0;
    if (folder <= 0) {
        UI().Inform("Bitte zuerst einen eigenen Ordner wählen.", MsgIcon::Information, kCaption);
        return;
    }
    const std::string folderName =
        name.empty() ? AskName("Neuer Name des Ordners:", m_menu.MenuFolderName(folder)) : name;
    if (folderName.empty())
        return;
    if (!m_menu.MenuFolderRename(folder, folderName))
        UI().Inform("Der Ordner konnte nicht umbenannt werden.\n" + m_menu.LastErrorText(), MsgIcon::Critical,
                    kCaption);
    RefreshTree("F" + std::to_string(folder));
}

void FrmMenuManagement::cmdDeleteFolder_Click()
{
    const long folder = SelectedMenu() == 0 ? SelectedFolder() : 0;
    if (folder <= 0) {
        UI().Inform("Bitte zuerst einen eigenen Ordner wählen.", MsgIcon::Information, kCaption);
        return;
    }
    if (UI().Ask("Soll der Ordner \"" + m_menu.MenuFolderName(folder) +
                     "\" mit allen Unterordnern und Menüs darin wirklich gelöscht werden?",
                 Buttons::YesNo, Answer::No, MsgIcon::Question, kCaption) != Answer::Yes)
        return;
    if (!m_menu.MenuFolderDelete(folder)) {
        UI().Inform("Der Ordner konnte nicht gelöscht werden.\n" + m_menu.LastErrorText(), MsgIcon::Critical,
                    kCaption);
        return;
    }
    RefreshTree("F0");
}

void FrmMenuManagement::closeEvent(QCloseEvent* event)
{
    WriteSetting(kSettingsName, "LastMenuNode", SelectedKey(), false);
    WindowPlacement placement;
    placement.Width = width();
    placement.Height = height();
    SaveWindow(placement, kSettingsName);
    event->accept();
}

} // namespace pf
