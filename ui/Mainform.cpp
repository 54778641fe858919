#include "ui/Mainform.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Settings.h"
#include "core/UserRights.h"
#include "ui/ErrorTrap.h"
#include "ui/HelpPages.h"
#include "ui/QtDatabaseWindows.h"
#include "ui/TextMenu.h"
#include "ui/UiSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace pf {

namespace {

constexpr int kNoIcon = -1;
constexpr const char* kWindowName = "Mainform";
// Action properties: whether the command is meant to be usable at all (its window exists, the
// window that offers it enabled it), and the user right it needs.
constexpr const char* kWantedEnabled = "pfWanted";
constexpr const char* kRightProperty = "pfRight";
// Screens smaller than this start the program maximised.
constexpr QSize kRoomyScreen(1600, 900);

QString Utf8(const char* text)
{
    return QString::fromUtf8(text);
}

} // namespace

// One entry of a menu: a command, or a separator when id is null. Commands whose window is not
// built yet start disabled; that window's work enables them.
struct MenuCommand
{
    const char* id;
    const char* text;
    const char* shortcut;
    bool enabled;
    int icon;   // QStyle::StandardPixmap or kNoIcon
    long right; // the user right it needs (core/UserRights.h), kRightNone for everyone
};

namespace {

// Menu tables. The captions are ours; the identifiers are the commands' names everywhere else.
const MenuCommand kFileMenu[] = {
    {"Mnu01Suchen", "Rezepte &suchen …", "Ctrl+F", true, QStyle::SP_FileDialogContentsView, kRightNone},
    {"Mnu01NeuBlanko", "&Neues Rezept", "Ctrl+N", true, QStyle::SP_FileIcon, kRightEnter},
    {"Mnu01NeuTemplate", "Neues Rezept aus &Vorlage …", nullptr, true, QStyle::SP_FileLinkIcon, kRightEnter},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"Mnu01DBOpen", "Datenbank ö&ffnen …", "Ctrl+O", true, QStyle::SP_DirOpenIcon, kRightAdmin},
    {"Mnu01DBProperties", "Datenbank-&Eigenschaften …", nullptr, true, QStyle::SP_DriveHDIcon, kRightNone},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"Mnu01Druckereinrichtung", "&Druckereinrichtung …", nullptr, true, kNoIcon, kRightPrint},
    {"Mnu01Einstellungen", "Einste&llungen …", nullptr, true, QStyle::SP_FileDialogDetailedView, kRightNone},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"Mnu01Beenden", "&Beenden", "Ctrl+Q", true, QStyle::SP_DialogCloseButton, kRightNone},
};

const MenuCommand kDataMenu[] = {
    {"Mnu02Kochbuch", "&Kochbücher …", nullptr, true, QStyle::SP_DirIcon, kRightCookbooks},
    {"Mnu02Kategorie", "K&ategorien …", nullptr, true, kNoIcon, kRightCategories},
    {"Mnu02Menue", "&Menüs …", nullptr, true, kNoIcon, kRightEdit},
    {"Mnu02Wochenplan", "&Wochenpläne …", nullptr, true, kNoIcon, kRightWeekPlan},
    {"Mnu02Unit", "Maß&einheiten …", nullptr, true, kNoIcon, kRightUnits},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"LexikonAnsehen", "&Lexikon ansehen …", nullptr, true, QStyle::SP_FileDialogInfoView, kRightNone},
    {"Mnu02Zutaten", "Lebensmittel und &Nährwerte …", nullptr, true, kNoIcon, kRightLexicon},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"Mnu02EinkaufenShops", "&Geschäfte und Adressen …", nullptr, true, kNoIcon, kRightNone},
    {"Mnu02EinkaufenListe", "E&inkaufslisten …", nullptr, true, QStyle::SP_FileDialogListView, kRightNone},
    {"Mnu02Literatur", "Li&teraturquellen …", nullptr, true, kNoIcon, kRightLexicon},
    {"Mnu02FloskelInfo", "&Floskeln …", nullptr, true, kNoIcon, kRightNone},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"Mnu02TrashView", "&Papierkorb anzeigen", nullptr, true, QStyle::SP_TrashIcon, kRightNone},
    {"Mnu02TrashEmpty", "Papierkorb lee&ren", nullptr, true, kNoIcon, kRightEdit},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"Mnu02Icons", "&Beschriftung der Symbolleiste", nullptr, true, kNoIcon, kRightNone},
};

const MenuCommand kImportMenu[] = {
    {"MnuExtraImportMealMaster", "&Rezeptdateien (Meal-Master, Mensax) …", "Ctrl+I", true,
     QStyle::SP_DialogOpenButton, kRightEnter},
    {"MnuExtraImportMealMasterClipbrd", "Rezepttext aus der &Zwischenablage …", nullptr, true, kNoIcon,
     kRightEnter},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"MnuExtraImportCalcMenu", "&CalcMenu-Datenbank …", nullptr, false, kNoIcon, kRightEnter},
    {"MnuExtraImportKochbuch", "&Kochbuch-Datenbank …", nullptr, true, kNoIcon, kRightEnter},
    {"MnuExtraImportGeneric", "&Tabellen-Import (Assistent) …", nullptr, true, kNoIcon, kRightEnter},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"MenuImportTool", "&Externes Import-Programm …", nullptr, true, kNoIcon, kRightAdmin},
};

const MenuCommand kExtrasMenu[] = {
    {"MenuExtraBackup", "&Sichern und Wiederherstellen …", nullptr, true, QStyle::SP_DialogSaveButton,
     kRightAdmin},
    {"MenuExtraZIP", "&ZIP-Archive …", nullptr, true, kNoIcon, kRightAdmin},
    {"MenuExtraFP", "&Fingerabdrücke pflegen …", nullptr, true, kNoIcon, kRightEdit},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"MnUExtraDupeView", "&Dubletten anzeigen", nullptr, true, kNoIcon, kRightNone},
    {"MnuExtraDupeKill", "Dubletten endgültig &löschen …", nullptr, true, kNoIcon, kRightEdit},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"MenuExtraUser", "&Benutzerverwaltung …", nullptr, true, kNoIcon, kRightAdmin},
    {"MenuExtraChangePwd", "&Passwort ändern …", nullptr, true, kNoIcon, kRightPassword},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"MenuExtraTools", "E&xterne Programme …", nullptr, true, kNoIcon, kRightAdmin},
    {"MenuExtraShowQuickbar", "&Tipps und Schnellstart …", nullptr, true, kNoIcon, kRightNone},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"MnuExtraTeamDBInitExport", "Lexikon für die &Initialisierung exportieren …", nullptr, true, kNoIcon,
     kRightLexicon},
    {"MnuExtraTeamPictureCleanup", "&Verwaiste Rezeptbilder entfernen", nullptr, true, kNoIcon, kRightEdit},
};

const MenuCommand kWindowMenu[] = {
    {"MnuFCascaded", "Ü&berlappend", nullptr, true, kNoIcon, kRightNone},
    {"MnuFHorizontal", "&Untereinander", nullptr, true, kNoIcon, kRightNone},
    {"MnuFVertikal", "&Nebeneinander", nullptr, true, kNoIcon, kRightNone},
};

const MenuCommand kHelpMenu[] = {
    {"MnuHilfeContent", "&Inhalt", "F1", false, QStyle::SP_DialogHelpButton, kRightNone},
    {"MnuHilfeOverview", "Ü&bersicht", nullptr, false, kNoIcon, kRightNone},
    {"MnuHilfeHandbuch", "&Handbuch (PDF)", nullptr, false, kNoIcon, kRightNone},
    {"MnuHilfeInfoFile", "&Liesmich-Datei", nullptr, true, kNoIcon, kRightNone},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"MnuHilfeOnlineNewsletter", "Online-&Newsletter", nullptr, false, kNoIcon, kRightNone},
    {"MnuHilfeOnlineSupport", "Online-&Support", nullptr, false, kNoIcon, kRightNone},
    {"MnuHilfeOnlineTest", "Nach &Aktualisierungen suchen …", nullptr, true, kNoIcon, kRightNone},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"MnuHilfeAboutbox", "Übe&r Pfannola …", nullptr, true, QStyle::SP_MessageBoxInformation, kRightNone},
};

const MenuCommand kSpecialMenu[] = {
    {"SpecialsDupe1", "&Doppelte Lebensmittelschlüssel", nullptr, true, kNoIcon, kRightAdmin},
    {"SpecialsOrphan", "Zusatzstoffe und Geräte &ohne Beschreibung", nullptr, true, kNoIcon, kRightAdmin},
    {"SpecialsLexDel", "Lexikoneinträge &löschen …", nullptr, true, kNoIcon, kRightAdmin},
};

// Context menus, opened by the recipe lists, text boxes and the lexicon. Their shortcuts only show
// the keys the recipe lists answer to: no window holds these actions, so the shortcuts never fire
// on their own and take no key from a text field.
const MenuCommand kRecipeActionMenu[] = {
    {"HideRecipeActionBookAdd", "In Kochbuch &aufnehmen …", nullptr, true, kNoIcon, kRightEdit},
    {"HideRecipeActionBookDel", "Aus Kochbuch ent&fernen …", nullptr, true, kNoIcon, kRightEdit},
    {"HideRecipeActionCatAdd", "Kategorie &zuordnen …", nullptr, true, kNoIcon, kRightEdit},
    {"HideRecipeActionCatDel", "Kategorie &wegnehmen …", nullptr, true, kNoIcon, kRightEdit},
    {"HideRecipeActionToolAdd", "&Gerät zuordnen …", nullptr, true, kNoIcon, kRightEdit},
    {"HideRecipeActionToolDel", "Gerät wegne&hmen …", nullptr, true, kNoIcon, kRightEdit},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"HideRecipeActionCountry", "Her&kunft setzen …", nullptr, true, kNoIcon, kRightEdit},
    {"HideRecipeActionLanguage", "&Sprache setzen …", nullptr, true, kNoIcon, kRightEdit},
    {"HideRecipeActionSource", "Litera&turquelle setzen …", nullptr, true, kNoIcon, kRightEdit},
    {"HideRecipeActionFingerprint", "Neue Fingerab&drücke", nullptr, true, kNoIcon, kRightEdit},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"HideRecipeActionBLS", "Zutaten mit Lebensmittelschlüsseln a&bgleichen …", nullptr, true, kNoIcon,
     kRightEdit},
    {"HideRecipeActionNaehrwert", "&Nährwerte berechnen …", nullptr, true, kNoIcon, kRightNone},
    {"HideRecipeActionMenu", "Zu einem &Menü hinzufügen …", nullptr, true, kNoIcon, kRightEdit},
    {"HideRecipeActionExport", "Exp&ortieren …", nullptr, true, kNoIcon, kRightExport},
    {"HideRecipeActionPrint", "Dr&ucken …", "Ctrl+P", true, kNoIcon, kRightPrint},
    {"HideRecipeActionShoplist", "Auf die &Einkaufsliste", nullptr, true, kNoIcon, kRightNone},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"HideRecipeActionImpPicture", "Bild &importieren …", nullptr, true, kNoIcon, kRightEdit},
    {"HideRecipeActionExpPicture", "Bild e&xportieren …", nullptr, true, kNoIcon, kRightExport},
    {"HideRecipeActionTool", "Externes &Programm …", nullptr, true, kNoIcon, kRightAdmin},
    {nullptr, nullptr, nullptr, false, kNoIcon, kRightNone},
    {"HideRecipeActionDel", "&Löschen …", "Del", true, kNoIcon, kRightEdit},
    {"HideRecipeActionTest", "Prüfen und neu spei&chern", nullptr, true, kNoIcon, kRightEdit},
};

const MenuCommand kParentRecipeMenu[] = {
    {"HideParentRecipeShowParent", "&Elternrezept anzeigen", nullptr, true, kNoIcon, kRightNone},
    {"HideParentRecipeShowChild", "&Kinder anzeigen", nullptr, true, kNoIcon, kRightNone},
    {"HideParentRecipeCreateRelationship", "Eltern/Kind-Beziehung e&rzeugen …", nullptr, true, kNoIcon,
     kRightEdit},
    {"HideParentRecipeDeleteRelationship", "Eltern/Kind-Beziehung &lösen …", nullptr, true, kNoIcon,
     kRightEdit},
};

const MenuCommand kMarkMenu[] = {
    {"HideRezOpen", "Ö&ffnen", nullptr, true, kNoIcon, kRightNone},
    {"HideRezMark", "&Markieren", nullptr, true, kNoIcon, kRightNone},
    {"HideRezMarkAll", "&Alle markieren", nullptr, true, kNoIcon, kRightNone},
    {"HideRezUnmark", "Markierung auf&heben", nullptr, true, kNoIcon, kRightNone},
    {"HideRezMarkdel", "Alle Markierungen &löschen", nullptr, true, kNoIcon, kRightNone},
};

const MenuCommand kLexikonMenu[] = {
    {"HideLexikonPrintEinzeln", "&Eintrag drucken", nullptr, true, kNoIcon, kRightPrint},
    {"HideLexikonPrintFollowing", "Ab hier &folgende drucken", nullptr, true, kNoIcon, kRightPrint},
    {"HideLexikonPrintEnd", "Bis zum Ende d&rucken", nullptr, true, kNoIcon, kRightPrint},
    {"HideLexikonPrintClipboard", "In die &Zwischenablage", nullptr, true, kNoIcon, kRightNone},
    {"HideLexikonExportEinzeln", "Eintrag e&xportieren …", nullptr, true, kNoIcon, kRightExport},
};

// The day this program was built, "6. Dezember 2026", from the compiler's date ("Dec  6 2026").
QString BuildDateText()
{
    const QDate built = QDate::fromString(QString::fromLatin1(__DATE__).simplified(), "MMM d yyyy");
    return Utf8("Erstellt am ") + QLocale(QLocale::German).toString(built, "d. MMMM yyyy");
}

struct ContextMenuDef
{
    const char* id;
    const MenuCommand* first;
    std::size_t count;
};

template <std::size_t N> constexpr std::size_t Count(const MenuCommand (&)[N])
{
    return N;
}

} // namespace

Mainform::Mainform(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(kWindowName);
    setWindowTitle(QString::fromStdString(AppContext::Current().AppCaption));

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName("mdiArea");
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setBackground(QColor(0xE9, 0xE2, 0xD6));
    setCentralWidget(m_mdiArea);

    BuildMenus();
    BuildContextMenus();
    BuildToolBar();
    BuildStatusBar();
    SetUserSecurity();
    setMinimumSize(640, 400);
    // F1 in dialogs and windows of their own opens their manual page; here the Help command does.
    QApplication::instance()->installEventFilter(new HelpKeyFilter(this));
    // Strg+P prints what the window in front shows: its own print button, or the recipes chosen in
    // a recipe list.
    auto* print = new QShortcut(QKeySequence::Print, this);
    connect(print, &QShortcut::activated, this, [this] {
        QMdiSubWindow* sub = m_mdiArea->activeSubWindow();
        if (!sub || !sub->widget())
            return;
        if (auto* button = sub->widget()->findChild<QPushButton*>("cmdPrint"); button && button->isEnabled())
            button->click();
        else if (m_commandHandler)
            RunTrapped([this] { m_commandHandler("HideRecipeActionPrint"); });
    });
}

Mainform::~Mainform() = default;

void Mainform::FillMenu(QMenu* menu, const MenuCommand* first, std::size_t count)
{
    QStyle* style = QApplication::style();
    for (std::size_t i = 0; i < count; ++i) {
        const MenuCommand& def = first[i];
        if (!def.id) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(Utf8(def.text));
        action->setObjectName(def.id);
        if (def.shortcut)
            action->setShortcut(QKeySequence(def.shortcut));
        if (def.icon != kNoIcon) {
            // Some standard icons come only in small sizes; drawn at the toolbar's size they sit in
            // line with the others instead of smaller and off centre.
            const QIcon standard = style->standardIcon(static_cast<QStyle::StandardPixmap>(def.icon));
            const QSize toolbarSize(24, 24);
            QIcon fitted;
            fitted.addPixmap(standard.pixmap(QSize(16, 16)));
            fitted.addPixmap(standard.pixmap(toolbarSize)
                                 .scaled(toolbarSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
            action->setIcon(fitted);
        }
        action->setEnabled(def.enabled);
        action->setProperty(kWantedEnabled, def.enabled);
        action->setProperty(kRightProperty, static_cast<qlonglong>(def.right));
        // The menu caption without its accelerator marks and ellipsis serves as tooltip.
        QString tip = action->text().remove('&').remove(Utf8(" …"));
        action->setToolTip(tip);
        action->setStatusTip(tip);
        const QString id = action->objectName();
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        m_commands.push_back(action);
    }
}

void Mainform::BuildMenus()
{
    struct TopMenu
    {
        const char* id;
        const char* title;
        const MenuCommand* first;
        std::size_t count;
    };
    const TopMenu menus[] = {
        {"Menu01", "&Datei", kFileMenu, Count(kFileMenu)},
        {"Menu02", "D&aten", kDataMenu, Count(kDataMenu)},
        {"MenuImport", "&Import", kImportMenu, Count(kImportMenu)},
        {"MenuExtra", "E&xtras", kExtrasMenu, Count(kExtrasMenu)},
        {"MenuFenster", "&Fenster", kWindowMenu, Count(kWindowMenu)},
        {"MenuHilfe", "&Hilfe", kHelpMenu, Count(kHelpMenu)},
    };
    for (const TopMenu& top : menus) {
        QMenu* menu = menuBar()->addMenu(Utf8(top.title));
        menu->setObjectName(top.id);
        FillMenu(menu, top.first, top.count);
    }
    if (AppContext::Current().Special) {
        QMenu* menu = menuBar()->addMenu(Utf8("&Spezial"));
        menu->setObjectName("MenuSpecial");
        FillMenu(menu, kSpecialMenu, Count(kSpecialMenu));
    }

    // Databases of that product have no layout this program knows; the entry stays out of sight.
    Command("MnuExtraImportCalcMenu")->setVisible(false);
    BuildRecentMenu(findChild<QMenu*>("Menu01"));

    QAction* icons = Command("Mnu02Icons");
    icons->setCheckable(true);

    const AppContext& context = AppContext::Current();
    // Without a help folder F1 still helps: it lists the keys.
    SetCommandEnabled("MnuHilfeContent", true);
    SetCommandEnabled("MnuHilfeOverview", context.HelpAvailable);
    SetCommandEnabled("MnuHilfeHandbuch",
                      QFileInfo::exists(QString::fromStdString(context.ShippedFile("Pfannola.pdf"))));
    SetCommandEnabled("MnuHilfeInfoFile",
                      !NewestReadme(QString::fromStdString(context.ShippedFile(""))).isEmpty());
}

void Mainform::BuildContextMenus()
{
    const ContextMenuDef menus[] = {
        {"HideRecipeAction", kRecipeActionMenu, Count(kRecipeActionMenu)},
        {"HideParentRecipe", kParentRecipeMenu, Count(kParentRecipeMenu)},
        {"HideRezMarks", kMarkMenu, Count(kMarkMenu)},
        {"HideLexikon", kLexikonMenu, Count(kLexikonMenu)},
    };
    for (const ContextMenuDef& def : menus) {
        auto* menu = new QMenu(this);
        menu->setObjectName(def.id);
        FillMenu(menu, def.first, def.count);
        m_contextMenus.push_back(menu);
    }
    // The formatted-text commands act on the text box that has the focus.
    std::vector<MenuCommand> text;
    for (const TextMenuEntry& entry : TextMenuEntries()) {
        if (entry.SeparatorBefore)
            text.push_back({nullptr, nullptr, nullptr, false, kNoIcon, kRightNone});
        text.push_back({entry.Command, entry.Caption, nullptr, true, kNoIcon, kRightNone});
    }
    auto* menu = new QMenu(this);
    menu->setObjectName("HideRTF");
    FillMenu(menu, text.data(), text.size());
    connect(menu, &QMenu::aboutToShow, this, [menu] {
        for (QAction* action : menu->actions())
            if (!action->isSeparator())
                action->setEnabled(
                    TextCommandApplies(QApplication::focusWidget(), action->objectName().toStdString()));
    });
    m_contextMenus.push_back(menu);
}

void Mainform::BuildToolBar()
{
    m_toolBar = addToolBar(Utf8("Symbolleiste"));
    m_toolBar->setObjectName("Toolbar");
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(24, 24));
    // clang-format off
    const char* const entries[] = {"Mnu01Suchen", "Mnu01NeuBlanko", nullptr, "Mnu01DBOpen", nullptr,
                                   "Mnu02Kochbuch", "LexikonAnsehen", "Mnu02EinkaufenListe", "Mnu02TrashView",
                                   nullptr, "MnuExtraImportMealMaster", "MenuExtraBackup", nullptr,
                                   "MnuHilfeContent", "MnuHilfeAboutbox"};
    // clang-format on
    for (const char* id : entries) {
        if (id)
            m_toolBar->addAction(Command(id));
        else
            m_toolBar->addSeparator();
    }
    SetIconTextShown(false);
}

void Mainform::BuildStatusBar()
{
    m_statusLabel = new QLabel(this);
    m_statusLabel->setObjectName("StatusText");
    m_statusLabel->setMinimumWidth(200);
    m_statusBar = new QProgressBar(this);
    m_statusBar->setObjectName("StatusPercent");
    m_statusBar->setRange(0, 100);
    m_statusBar->setFixedWidth(180);
    m_statusBar->setMaximumHeight(16);
    m_statusBar->setFormat("%p %");
    m_statusBar->hide();
    statusBar()->addWidget(m_statusLabel, 1);
    statusBar()->addPermanentWidget(m_statusBar);
}

QAction* Mainform::Command(const QString& id) const
{
    for (QAction* action : m_commands)
        if (action->objectName() == id)
            return action;
    return nullptr;
}

std::vector<QAction*> Mainform::CommandActions() const
{
    return m_commands;
}

void Mainform::SetCommandEnabled(const QString& id, bool enabled)
{
    if (QAction* action = Command(id)) {
        action->setProperty(kWantedEnabled, enabled);
        action->setEnabled(enabled && CommandAllowed(id.toStdString()));
    }
}

long Mainform::CommandRight(const std::string& id)
{
    const MenuCommand* const tables[][2] = {
        {std::begin(kFileMenu), std::end(kFileMenu)},
        {std::begin(kDataMenu), std::end(kDataMenu)},
        {std::begin(kImportMenu), std::end(kImportMenu)},
        {std::begin(kExtrasMenu), std::end(kExtrasMenu)},
        {std::begin(kWindowMenu), std::end(kWindowMenu)},
        {std::begin(kHelpMenu), std::end(kHelpMenu)},
        {std::begin(kSpecialMenu), std::end(kSpecialMenu)},
        {std::begin(kRecipeActionMenu), std::end(kRecipeActionMenu)},
        {std::begin(kParentRecipeMenu), std::end(kParentRecipeMenu)},
        {std::begin(kMarkMenu), std::end(kMarkMenu)},
        {std::begin(kLexikonMenu), std::end(kLexikonMenu)},
    };
    for (const auto& table : tables)
        for (const MenuCommand* def = table[0]; def != table[1]; ++def)
            if (def->id && id == def->id)
                return def->right;
    return kRightNone;
}

bool Mainform::CommandAllowed(const std::string& id)
{
    // Changing the own password needs someone logged in.
    if (id == "MenuExtraChangePwd" && !CurrentUser().UsersEnabled)
        return false;
    return UserMayUse(CommandRight(id));
}

void Mainform::SetUserSecurity()
{
    for (QAction* action : m_commands)
        action->setEnabled(action->property(kWantedEnabled).toBool() &&
                           CommandAllowed(action->objectName().toStdString()));
}

QMenu* Mainform::ContextMenu(const QString& id) const
{
    for (QMenu* menu : m_contextMenus)
        if (menu->objectName() == id)
            return menu;
    return nullptr;
}

QMdiSubWindow* Mainform::AddChildWindow(QWidget* widget)
{
    return AddSubWindow(*m_mdiArea, widget);
}

void Mainform::SetDatabaseCaption(const std::string& databasePath)
{
    m_databasePath = databasePath;
    RefreshCaption();
}

void Mainform::RefreshCaption()
{
    const AppContext& app = AppContext::Current();
    std::string caption = app.AppCaption;
    // The active cookbook decides what the lists show, so the caption names it.
    if (!app.ActiveBookTitle.empty() && app.ActiveBookId != 0)
        caption += " - [" + app.ActiveBookTitle + "]";
    if (!m_databasePath.empty())
        caption += " - " + m_databasePath;
    setWindowTitle(QString::fromStdString(caption));
}

void Mainform::ShowStatus(const std::string& text, int percent)
{
    m_statusLabel->setText(QString::fromStdString(text));
    m_statusPercent = percent < 0 ? -1 : std::min(percent, 100);
    if (m_statusPercent < 0) {
        m_statusBar->hide();
    } else {
        m_statusBar->setValue(m_statusPercent);
        m_statusBar->show();
    }
}

QString Mainform::StatusText() const
{
    return m_statusLabel->text();
}

int Mainform::StatusPercent() const
{
    return m_statusPercent;
}

bool Mainform::IconTextShown() const
{
    return Command("Mnu02Icons")->isChecked();
}

void Mainform::SetIconTextShown(bool shown)
{
    Command("Mnu02Icons")->setChecked(shown);
    m_toolBar->setToolButtonStyle(shown ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
}

void Mainform::SetCommandHandler(std::function<void(const std::string&)> handler)
{
    m_commandHandler = std::move(handler);
}

void Mainform::SetCloseHandler(std::function<bool()> handler)
{
    m_closeHandler = std::move(handler);
}

void Mainform::SetReopenHandler(ReopenHandler handler)
{
    m_reopenHandler = std::move(handler);
}

void Mainform::OnCommand(const QString& id)
{
    // A shortcut or a window may still ask for a command the user has no right to.
    if (!CommandAllowed(id.toStdString()))
        return;
    RunTrapped([&] { RunCommand(id); });
}

void Mainform::RunCommand(const QString& id)
{
    if (id == "Mnu01Beenden") {
        close();
    } else if (id == "Mnu01DBOpen") {
        ChooseDatabase();
    } else if (id == "Mnu02Icons") {
        // The action has already toggled its check mark.
        SetIconTextShown(Command(id)->isChecked());
        WriteSetting("", "ShowIcons", IconTextShown() ? "True" : "False", false);
    } else if (id == "MnuFCascaded") {
        ArrangeCascaded();
    } else if (id == "MnuFHorizontal") {
        ArrangeHorizontal();
    } else if (id == "MnuFVertikal") {
        ArrangeVertical();
    } else if (id.startsWith("HideRTF")) {
        RunTextCommand(QApplication::focusWidget(), id.toStdString());
    } else if (id == "MnuHilfeAboutbox") {
        ShowAbout();
    } else if (id == "MnuHilfeContent" && !AppContext::Current().HelpAvailable) {
        ShowKeyHelp();
    } else if (id == "MnuHilfeContent") {
        // The page of the window in front, the contents page when the manual has none for it.
        const QMdiSubWindow* active = m_mdiArea->activeSubWindow();
        OpenHelpPage(active ? HelpPageFor(active->widget()) : QString());
    } else if (id == "MnuHilfeOverview") {
        OpenHelpPage(QString());
    } else if (id == "MnuHilfeHandbuch") {
        QDesktopServices::openUrl(
            QUrl::fromLocalFile(QString::fromStdString(AppContext::Current().ShippedFile("Pfannola.pdf"))));
    } else if (id == "MnuHilfeInfoFile") {
        ShowInfoFile();
    } else if (id == "MnuHilfeOnlineTest") {
        // Updates come with the system's package management; the program itself fetches nothing.
        UI().Inform("Sie verwenden " + AppContext::Current().AppCaption +
                        ". Aktualisierungen erhalten Sie über die Paketverwaltung Ihres Systems.",
                    MsgIcon::Information, AppContext::Current().AppCaption);
    } else if (m_commandHandler) {
        m_commandHandler(id.toStdString());
    }
}

void Mainform::BuildRecentMenu(QMenu* fileMenu)
{
    QMenu* recent = new QMenu(Utf8("&Zuletzt geöffnet"), fileMenu);
    recent->setObjectName("mnuRecent");
    // Before the separator above "Beenden".
    const QList<QAction*> actions = fileMenu->actions();
    QAction* before = Command("Mnu01Beenden");
    const qsizetype at = actions.indexOf(before);
    if (at > 0 && actions[at - 1]->isSeparator())
        before = actions[at - 1];
    fileMenu->insertMenu(before, recent);
    connect(recent, &QMenu::aboutToShow, this, [this, recent] { FillRecentMenu(recent); });
    FillRecentMenu(recent);
}

void Mainform::FillRecentMenu(QMenu* recent)
{
    recent->clear();
    const std::vector<std::string> paths = LastUsedDatabases();
    int number = 0;
    for (const std::string& path : paths) {
        QAction* action = recent->addAction(QString("&%1 ").arg(++number) +
                                            QString::fromStdString(path).replace('&', "&&"));
        action->setObjectName(QString("mnuRecent%1").arg(number));
        connect(action, &QAction::triggered, this, [this, path] { RunTrapped([&] { OpenRecent(path); }); });
    }
    recent->setEnabled(!paths.empty());
}

void Mainform::OpenRecent(const std::string& path)
{
    const DatabaseSelection previous = CurrentDatabaseSelection();
    DatabaseSelection choice;
    choice.DbType = 0;
    choice.Path = path;
    CommitDatabaseSelection(choice);
    if (m_reopenHandler)
        m_reopenHandler(previous);
}

void Mainform::ChooseDatabase()
{
    const DatabaseSelection previous = CurrentDatabaseSelection();
    QtDatabaseWindows windows(this);
    if (windows.ShowSelection() && m_reopenHandler)
        m_reopenHandler(previous);
}

void Mainform::ShowInfoFile()
{
    const QString path = NewestReadme(QString::fromStdString(AppContext::Current().ShippedFile("")));
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        UI().Inform("Die Liesmich-Datei wurde nicht gefunden.", MsgIcon::Warning,
                    AppContext::Current().AppCaption);
        return;
    }
    auto* text = new QPlainTextEdit(QString::fromUtf8(file.readAll()));
    text->setObjectName("FrmInfoFile");
    text->setReadOnly(true);
    text->setWindowTitle(QFileInfo(path).fileName());
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    AddChildWindow(text);
}

void Mainform::ShowKeyHelp()
{
    std::unique_ptr<QDialog> dialog(BuildKeyHelp());
    dialog->exec();
}

QDialog* Mainform::BuildKeyHelp()
{
    auto* dialog = new QDialog(this);
    dialog->setObjectName("FrmHilfe");
    dialog->setWindowTitle("Hilfe");
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(new QLabel(Utf8("Tasten, die überall gelten:"), dialog));
    auto* table = new QTableWidget(0, 2, dialog);
    table->setObjectName("tblKeys");
    table->setHorizontalHeaderLabels({"Taste", "Wirkung"});
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const auto add = [table](const QString& key, const QString& what) {
        const int row = table->rowCount();
        table->insertRow(row);
        table->setItem(row, 0, new QTableWidgetItem(key));
        table->setItem(row, 1, new QTableWidgetItem(what));
    };
    for (QAction* action : m_commands)
        if (!action->shortcut().isEmpty())
            add(action->shortcut().toString(QKeySequence::NativeText),
                action->objectName() == "MnuHilfeContent" ? QString("Hilfe") : action->toolTip());
    add(QKeySequence(QKeySequence::Save).toString(QKeySequence::NativeText),
        Utf8("Rezept speichern (im Rezept-Editor)"));
    add(QKeySequence(Qt::Key_Escape).toString(QKeySequence::NativeText),
        Utf8("Fenster oder Dialog schließen"));
    add(QKeySequence(Qt::ALT).toString(QKeySequence::NativeText) + Utf8("Buchstabe"),
        Utf8("Schaltfläche oder Feld mit dem unterstrichenen Buchstaben"));
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table, 1);
    auto* close = new QPushButton(Utf8("Schließen"), dialog);
    close->setObjectName("cmdClose");
    connect(close, &QPushButton::clicked, dialog, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
    dialog->resize(560, 420);
    return dialog;
}

void Mainform::ShowAbout()
{
    const AppContext& context = AppContext::Current();
    QMessageBox box(this);
    box.setObjectName("frmAbout");
    box.setWindowTitle(Utf8("Über ") + QString::fromStdString(context.AppTitle));
    box.setIconPixmap(windowIcon().pixmap(64, 64));
    box.setTextFormat(Qt::RichText);
    box.setText(QString("<h2>%1</h2><p>%2</p><p>%3</p>")
                    .arg(QString::fromStdString(context.AppCaption).toHtmlEscaped(),
                         Utf8("Rezeptverwaltung für die heimische und die Großküche"), BuildDateText()));
    box.setStandardButtons(QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText("OK");
    box.exec();
}

namespace {

// The child windows that take part in an arrangement: visible and not minimised.
QList<QMdiSubWindow*> ArrangedWindows(QMdiArea* area)
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* sub : area->subWindowList(QMdiArea::CreationOrder)) {
        if (sub->isHidden() || sub->isMinimized())
            continue;
        if (sub->isMaximized())
            sub->showNormal();
        windows.push_back(sub);
    }
    return windows;
}

} // namespace

void Mainform::ArrangeCascaded()
{
    m_mdiArea->cascadeSubWindows();
}

void Mainform::ArrangeHorizontal()
{
    const QList<QMdiSubWindow*> windows = ArrangedWindows(m_mdiArea);
    if (windows.isEmpty())
        return;
    const QRect area = m_mdiArea->viewport()->rect();
    const int count = static_cast<int>(windows.size());
    const int height = area.height() / count;
    for (int i = 0; i < count; ++i) {
        const int top = i * height;
        const int bottom = i == count - 1 ? area.height() : top + height;
        windows[i]->setGeometry(0, top, area.width(), bottom - top);
    }
}

void Mainform::ArrangeVertical()
{
    const QList<QMdiSubWindow*> windows = ArrangedWindows(m_mdiArea);
    if (windows.isEmpty())
        return;
    const QRect area = m_mdiArea->viewport()->rect();
    const int count = static_cast<int>(windows.size());
    const int width = area.width() / count;
    for (int i = 0; i < count; ++i) {
        const int left = i * width;
        const int right = i == count - 1 ? area.width() : left + width;
        windows[i]->setGeometry(left, 0, right - left, area.height());
    }
}

void Mainform::Load()
{
    RestorePlacement();
    m_toolBar->setVisible(SettingToBool(ReadSetting("", "Toolbar", "True", false)));
    SetIconTextShown(SettingToBool(ReadSetting("", "ShowIcons", "FALSE", false)));

    if (m_startMaximized)
        showMaximized();
    else
        show();
}

void Mainform::RestorePlacement()
{
    const std::string section = std::string(kWindowName) + "Window";
    const QByteArray stored =
        QByteArray::fromBase64(QByteArray::fromStdString(ReadSetting(section, "Geometry", "", false)));
    // The frame-aware form restores the frame where it was and keeps it on a screen that exists.
    if (!stored.isEmpty() && restoreGeometry(stored)) {
        m_startMaximized = isMaximized();
        return;
    }
    // Placements written by older versions: width and height of the inside, then the frame's corner.
    constexpr int kUnset = std::numeric_limits<int>::min();
    WindowPlacement placement;
    placement.Width = placement.Height = placement.Left = placement.Top = kUnset;
    RestoreWindow(placement, kWindowName);
    QScreen* screen = QApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    m_startMaximized = placement.WindowState == 2;
    if (placement.Width == kUnset || placement.Height == kUnset) {
        // First start: most of a large screen, placed by the window manager. A small screen (a
        // laptop's 1366×768) is needed whole for the search, its hits and a recipe side by side;
        // the window then starts maximised and keeps the smaller size for when it is restored.
        m_startMaximized =
            available.width() < kRoomyScreen.width() || available.height() < kRoomyScreen.height();
        resize(available.width() * 4 / 5, available.height() * 4 / 5);
        return;
    }
    resize(std::max(placement.Width, 400), std::max(placement.Height, 300));
    // A corner from another screen layout would put the window out of reach: the window manager
    // places it instead.
    const QRect frame(placement.Left, placement.Top, width(), height());
    if (placement.Left != kUnset && placement.Top != kUnset && QApplication::screenAt(frame.topLeft()) &&
        QApplication::screenAt(frame.center()))
        move(placement.Left, placement.Top);
}

void Mainform::SaveState()
{
    WindowPlacement placement;
    placement.WindowState = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    // Left and Top name the frame's corner, as the window manager places it.
    const QPoint frameOffset = geometry().topLeft() - frameGeometry().topLeft();
    placement.Left = normal.x() - frameOffset.x();
    placement.Top = normal.y() - frameOffset.y();
    placement.Width = normal.width();
    placement.Height = normal.height();
    SaveWindow(placement, kWindowName);
    WriteSetting(std::string(kWindowName) + "Window", "Geometry", saveGeometry().toBase64().toStdString(),
                 false);
    WriteSetting("", "ShowIcons", IconTextShown() ? "True" : "False", false);
}

bool Mainform::CloseChildWindows()
{
    m_mdiArea->closeAllSubWindows();
    // A child may refuse (unsaved work the user wants to keep).
    const QList<QMdiSubWindow*> left = m_mdiArea->subWindowList();
    return std::none_of(left.begin(), left.end(), [](QMdiSubWindow* sub) { return sub->isVisible(); });
}

void Mainform::closeEvent(QCloseEvent* event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    if (m_closeHandler) {
        if (!m_closeHandler()) {
            event->ignore();
            return;
        }
    } else {
        SaveState();
    }
    if (!CloseChildWindows()) {
        event->ignore();
        return;
    }
    m_closing = true;
    event->accept();
}

} // namespace pf
