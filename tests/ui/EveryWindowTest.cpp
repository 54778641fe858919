// Checks every window of the program for what a user notices at a glance: English words, two
// controls on the same Alt key, Escape that does not close, and controls or columns that are cut
// or overlap at the window's smallest size.

#include "ui/FrmBLSAbgleich.h"
#include "ui/FrmBackup.h"
#include "ui/FrmCatSelect.h"
#include "ui/FrmDBEigenschaften.h"
#include "ui/FrmDBImport.h"
#include "ui/FrmDBOpen.h"
#include "ui/FrmDBUpgrade.h"
#include "ui/FrmEinkaufsliste.h"
#include "ui/FrmExport.h"
#include "ui/FrmExportLexikon.h"
#include "ui/FrmFloskelInfo.h"
#include "ui/FrmGastGeschichte.h"
#include "ui/FrmInitSystem.h"
#include "ui/FrmKategorieManagement.h"
#include "ui/FrmKochbuchManag.h"
#include "ui/FrmLexikonEdit.h"
#include "ui/FrmLiteratur.h"
#include "ui/FrmLiteraturGallery.h"
#include "ui/FrmLiteraturInhaltsverzeichnis.h"
#include "ui/FrmMMImport.h"
#include "ui/FrmMMImportDupe.h"
#include "ui/FrmMMImportFList.h"
#include "ui/FrmMaintenanceList.h"
#include "ui/FrmMenuData.h"
#include "ui/FrmMenuDetail.h"
#include "ui/FrmMenuManagement.h"
#include "ui/FrmMenuPrint.h"
#include "ui/FrmNaehrNew.h"
#include "ui/FrmNaehrSuche.h"
#include "ui/FrmNaehrdata.h"
#include "ui/FrmNaehrdataInfo.h"
#include "ui/FrmNaehrwerte.h"
#include "ui/FrmPrint.h"
#include "ui/FrmPrinter.h"
#include "ui/FrmSearchandDisplay.h"
#include "ui/FrmSetFingerprint.h"
#include "ui/FrmShops.h"
#include "ui/FrmSkalierungAnzahl.h"
#include "ui/FrmSpecialLexDel.h"
#include "ui/FrmSynonym.h"
#include "ui/FrmSynonymList.h"
#include "ui/FrmUnitAbgleich.h"
#include "ui/FrmUnitManagement.h"
#include "ui/FrmUsermanager.h"
#include "ui/FrmWPApprove.h"
#include "ui/FrmWPEdit.h"
#include "ui/FrmWPEditDay.h"
#include "ui/FrmWPEditGeneric.h"
#include "ui/FrmZIP.h"
#include "ui/Mainform.h"
#include "ui/frmGenericImportWizard.h"
#include "ui/frmLogin.h"
#include "ui/frmLoginChange.h"
#include "ui/frmOptions1.h"
#include "ui/frmTip.h"
#include "ui/frmWPNewWizard.h"
#include "ui/frmWPOptions.h"

#include "core/WaitClock.h"
#include "db/ClsUser.h"
#include "db/WorkDatabase.h"
#include "lexicon/LexiconMaintenance.h"
#include "model/ClRecipe.h"
#include "model/ClUnit.h"
#include "model/clsRecipeUnit.h"
#include "nutrition/Nutrition.h"
#include "nutrition/UnitMatching.h"
#include "planning/ClMenu.h"
#include "tests/ui/UiTestSupport.h"

#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLayout>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>

#include <map>

namespace pf::test {
namespace {

class EveryWindowTest;

struct WindowCase
{
    const char* name;
    // Shown inside the main window's area, where the main menu's Alt keys work as well.
    bool inMainArea;
    std::function<std::unique_ptr<QWidget>(EveryWindowTest&)> make;
    // Further states a user reaches without leaving the window (another format, another page).
    std::vector<std::function<void(QWidget&)>> states = {};
};

class EveryWindowTest : public UiDbTest
{
protected:
    EveryWindowTest() : UiDbTest(WorkData::BaseDataWithFoods)
    {
        m_upgrade.DatabaseVersion = "001.19.110";
        m_upgrade.ProgramVersion = "002.00.126";
        m_upgrade.DatabaseName = "/daten/Pfannola.MDB";
        m_dupeRecord.Title = "Pfannkuchen";
        m_dupe.Recipe = &m_dupeRecord;
        m_dupe.ImportTitle = m_dupe.ExistingTitle = "Pfannkuchen";
        m_recipe.LoadByID(0);
        m_recipe.SetYield(1);
        m_recipeUnits.Init(WorkDb(), &m_units);
        m_units.SetDB(&WorkDb());
        m_plan.CreateNewWP(DateSerial::FromParts(2026, 12, 7), 5);
    }
    // Runs check on every window of the table as it opens and in each further state, shown when asked.
    void ForEachState(bool show, const std::function<void(const WindowCase&, QWidget&)>& check);

public:
    UpgradeQuestion m_upgrade;
    ImportRecipe m_dupeRecord;
    DupeQuestion m_dupe;
    ClRecipe m_recipe;
    ClUnit m_units;
    clsRecipeUnit m_recipeUnits;
    ClMenu m_plan;
    Mainform m_main;
    std::unique_ptr<UnitMatching> m_matching;
    std::unique_ptr<ClsUser> m_users;
};

// A window made from the given arguments.
template <typename T, typename... Args> auto Make(Args... args)
{
    return [args...](EveryWindowTest&) -> std::unique_ptr<QWidget> { return std::make_unique<T>(args...); };
}
// A window on the food tables of the work database.
template <typename T> std::unique_ptr<QWidget> OnFoods(EveryWindowTest&)
{
    return std::make_unique<T>(WorkDb(), NutritionOf(WorkDb())->Tables);
}

// Steps to a further state: a button pressed, an entry of a list chosen, a page of tabs shown, a
// search typed and started.
auto Press(const char* button)
{
    return [button](QWidget& w) { w.findChild<QAbstractButton*>(button)->click(); };
}
auto Choice(const char* combo, const char* text)
{
    return [combo, text](QWidget& w) {
        auto* box = w.findChild<QComboBox*>(combo);
        box->setCurrentIndex(box->findText(text));
    };
}
auto Page(const char* tabs, int page)
{
    return [tabs, page](QWidget& w) { w.findChild<QTabWidget*>(tabs)->setCurrentIndex(page); };
}
auto Search(const char* field, const char* text, const char* button)
{
    return [field, text, button](QWidget& w) {
        w.findChild<QLineEdit*>(field)->setText(text);
        Press(button)(w);
    };
}

const WindowCase kWindows[] = {
    {"Mainform", false, Make<Mainform>()},
    {"FrmHilfe", false, [](EveryWindowTest& t) { return std::unique_ptr<QWidget>(t.m_main.BuildKeyHelp()); }},
    {"FrmSearchandDisplay", true, Make<FrmSearchandDisplay>()},
    {"FrmMenuData", true, Make<FrmMenuData>(0L)},
    {"FrmWPEdit", true,
     [](EveryWindowTest&) {
         ClMenu plan;
         plan.CreateNewWP(DateSerial::FromParts(2026, 12, 7), 5);
         plan.Save();
         return std::make_unique<FrmWPEdit>(std::move(plan));
     }},
    {"FrmWPEdit without plans", true, Make<FrmWPEdit>()},
    {"FrmWPEditDay", false, [](EveryWindowTest& t) { return std::make_unique<FrmWPEditDay>(t.m_plan, 2); }},
    {"FrmWPEditGeneric", false, Make<FrmWPEditGeneric>("Dienstag, 08.12.2026 - Tagessuppe", "Linsensuppe", "")},
    {"FrmWPApprove", false,
     [](EveryWindowTest& t) {
         auto window = std::make_unique<FrmWPApprove>();
         window->SetWP(t.m_plan);
         return window;
     }},
    {"frmWPNewWizard", false, Make<frmWPNewWizard>()},
    {"frmWPOptions", false, Make<frmWPOptions>()},
    {"FrmSkalierungAnzahl", false,
     [](EveryWindowTest& t) { return std::make_unique<FrmSkalierungAnzahl>(t.m_recipe); }},
    {"FrmExport", true, Make<FrmExport>(std::vector<long>{}), {Choice("cboMode", "HTML"), Choice("cboMode", "CSV")}},
    {"FrmPrint", true, Make<FrmPrint>(std::vector<long>{})},
    {"FrmPrinter", true, Make<FrmPrinter>()},
    {"FrmUsermanager", false, Make<FrmUsermanager>()},
    {"frmLogin", false,
     [](EveryWindowTest& t) {
         t.m_users = std::make_unique<ClsUser>(WorkDb());
         return std::make_unique<frmLogin>(*t.m_users, WaitClock::Steady());
     }},
    {"frmLoginChange", false, Make<frmLoginChange>()},
    {"FrmMMImport", false, Make<FrmMMImport>()},
    {"FrmDBImport", false, Make<FrmDBImport>()},
    {"frmGenericImportWizard", false, Make<frmGenericImportWizard>()},
    {"FrmMMImportFList", false, Make<FrmMMImportFList>(std::vector<std::string>{"a.mm"})},
    {"FrmMMImportDupe", false, [](EveryWindowTest& t) { return std::make_unique<FrmMMImportDupe>(t.m_dupe); }},
    {"FrmKochbuchManag", true, Make<FrmKochbuchManag>()},
    {"FrmLiteratur", true, Make<FrmLiteratur>()},
    {"FrmLiteraturGallery", true, Make<FrmLiteraturGallery>()},
    {"FrmLiteraturInhaltsverzeichnis", true, Make<FrmLiteraturInhaltsverzeichnis>()},
    {"FrmKategorieManagement", true, Make<FrmKategorieManagement>()},
    {"FrmCatSelect", false, Make<FrmCatSelect>(FrmCatSelect::Mode::Categories, std::vector<long>{})},
    {"FrmUnitManagement", true,
     [](EveryWindowTest& t) { return std::make_unique<FrmUnitManagement>(t.m_units, t.m_recipeUnits); }},
    {"FrmSetFingerprint", true, Make<FrmSetFingerprint>()},
    {"FrmLexikonEdit", true, Make<FrmLexikonEdit>(),
     {Search("txtSuchen", "Spätzle", "cmdSuchen"),
      [](QWidget& w) {
          // The form of an utensil, then of a wine: every field of the editor in view once.
          Press("cmdBearbeiten")(w);
          Choice("cboBereich", "Utensilien")(w);
          Press("cmdNeu")(w);
      },
      Choice("cboEintragBereich", "Wein")}},
    {"FrmSpecialLexDel", true, Make<FrmSpecialLexDel>()},
    {"FrmUnitAbgleich", false, OnFoods<FrmUnitAbgleich>},
    {"FrmNaehrdata", false,
     [](EveryWindowTest& t) {
         const FoodTables& tables = NutritionOf(WorkDb())->Tables;
         t.m_matching = std::make_unique<UnitMatching>(WorkDb(), tables);
         t.m_matching->NextID(0);
         auto window = std::make_unique<FrmNaehrdata>(WorkDb(), tables);
         window->ShowRecipe(*t.m_matching);
         return window;
     }},
    {"FrmNaehrwerte", false, OnFoods<FrmNaehrwerte>, {Search("txtSchnellsuche", "Karotte", "cmdStart")}},
    {"FrmNaehrSuche", false, OnFoods<FrmNaehrSuche>,
     {[](QWidget& w) { static_cast<FrmNaehrSuche&>(w).SetSearchText("Möhre"); }}},
    {"FrmNaehrdataInfo", false,
     [](EveryWindowTest& t) {
         auto window = OnFoods<FrmNaehrdataInfo>(t);
         const std::string code = WorkDb().Scalar("SELECT MIN(SBLS) FROM T_BLS_KEY").AsText();
         static_cast<FrmNaehrdataInfo&>(*window).ShowCode(code);
         return window;
     },
     {Page("tabSeiten", 1)}},
    {"FrmNaehrNew", false,
     [](EveryWindowTest&) { return std::make_unique<FrmNaehrNew>(WorkDb(), "G200000", "Möhre"); }},
    {"FrmSynonym", false,
     [](EveryWindowTest&) {
         const auto id = WorkDb().Scalar("SELECT MIN(ID) FROM T_INFO_KEY WHERE KEYTYPE=3").AsLong();
         return std::make_unique<FrmSynonym>(WorkDb(), static_cast<long>(id));
     }},
    {"FrmSynonymList", false, OnFoods<FrmSynonymList>},
    {"FrmBLSAbgleich", false,
     [](EveryWindowTest&) {
         Nutrition* nutrition = NutritionOf(WorkDb());
         return std::make_unique<FrmBLSAbgleich>(WorkDb(), nutrition->Tables, nutrition->Matcher);
     }},
    {"FrmBackup", true, Make<FrmBackup>(nullptr)},
    {"FrmZIP", true, Make<FrmZIP>()},
    {"FrmDBEigenschaften", true, Make<FrmDBEigenschaften>()},
    {"frmOptions1", true, Make<frmOptions1>()},
    {"FrmFloskelInfo", true, Make<FrmFloskelInfo>()},
    {"frmTip", true, Make<frmTip>()},
    {"FrmExportLexikon", true, Make<FrmExportLexikon>()},
    {"FrmMaintenanceList", true,
     [](EveryWindowTest&) {
         return std::make_unique<FrmMaintenanceList>("FrmSpecialOrphan", "Ohne Beschreibung",
                                                     EntriesWithoutDescription(WorkDb()));
     }},
    {"FrmDBOpen", false, Make<FrmDBOpen>(), {Press("optODBC")}},
    {"FrmDBUpgrade", false, [](EveryWindowTest& t) { return std::make_unique<FrmDBUpgrade>(t.m_upgrade); }},
    {"FrmMenuManagement", true, Make<FrmMenuManagement>()},
    {"FrmMenuDetail", true, Make<FrmMenuDetail>(0L)},
    {"FrmGastGeschichte", true, Make<FrmGastGeschichte>(0L)},
    {"FrmMenuPrint", true, Make<FrmMenuPrint>(0L)},
    {"FrmEinkaufsliste", true, Make<FrmEinkaufsliste>()},
    {"FrmShops", true, Make<FrmShops>(), {Page("tabPages", 1), Page("tabPages", 2)}},
    {"FrmInitSystem", false, Make<FrmInitSystem>(std::vector<FirstStartItem>{{"Pfannola.MDB", true}}, "")},
};

void EveryWindowTest::ForEachState(bool show, const std::function<void(const WindowCase&, QWidget&)>& check)
{
    for (const WindowCase& c : kWindows) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<QWidget> window = c.make(*this);
        if (show)
            window->show();
        check(c, *window);
        for (const auto& state : c.states) {
            state(*window);
            check(c, *window);
        }
    }
}

// Every text of a window a user can read: captions, labels, headers, list entries, menus with their
// keys, tooltips, and the context menus of its edit fields.
QStringList VisibleTexts(QWidget& window)
{
    QStringList texts{window.windowTitle()};
    const auto addActions = [&texts](const QList<QAction*>& actions) {
        for (QAction* action : actions) {
            texts << action->text() << action->toolTip()
                  << action->shortcut().toString(QKeySequence::NativeText);
        }
    };
    const auto addContextMenu = [&addActions](auto* edit) {
        if (edit)
            addActions(std::unique_ptr<QMenu>(edit->createStandardContextMenu())->actions());
    };
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets << &window;
    for (QWidget* w : widgets) {
        texts << w->toolTip();
        addActions(w->actions());
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            texts << button->text();
        if (auto* label = qobject_cast<QLabel*>(w))
            texts << label->text();
        if (auto* box = qobject_cast<QGroupBox*>(w))
            texts << box->title();
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            texts << edit->placeholderText();
        addContextMenu(qobject_cast<QLineEdit*>(w));
        addContextMenu(qobject_cast<QPlainTextEdit*>(w));
        addContextMenu(qobject_cast<QTextEdit*>(w));
        if (auto* tabs = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i) << tabs->tabToolTip(i);
        if (auto* combo = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        if (auto* header = qobject_cast<QHeaderView*>(w); header && header->model())
            for (int i = 0; i < header->count(); ++i)
                texts << header->model()->headerData(i, header->orientation()).toString();
    }
    texts.removeAll(QString());
    return texts;
}

TEST_F(EveryWindowTest, NoEnglishWords)
{
    // Words a German user would notice; "OK" is German too.
    static const QRegularExpression english(
        "\\b(Cancel|Open|Save|File|Files|Ctrl|Shift|Del|Delete|Major|Minor|Build|Close|Apply|Yes|Help|Undo|Redo|"
        "Cut|Copy|Paste|Select|All|Browse|Search|Settings|Options|Error|Warning|Print|Reset|Back|Next|Finish|"
        "Abort|Retry|Ignore|Discard|Folder|Directory|Size|Date|Type|Insert|Backspace)\\b");
    ForEachState(false, [](const WindowCase&, QWidget& window) {
        for (const QString& text : VisibleTexts(window)) {
            const QRegularExpressionMatch match = english.match(text);
            EXPECT_FALSE(match.hasMatch()) << match.captured(0).toStdString() << " in \"" << text.toStdString() << "\"";
        }
    });
}

// The mnemonic letter of a caption, lower case; none when the caption has no single "&".
QChar Mnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return {};
}

// Two controls compete for a key only when both can be seen at once: not on different pages of
// the same stack of pages (tabs), and not hidden.
std::map<const QStackedWidget*, const QWidget*> PagesOf(const QWidget* w, const QWidget* window)
{
    std::map<const QStackedWidget*, const QWidget*> pages;
    for (; w && w != window; w = w->parentWidget())
        if (auto* stack = qobject_cast<const QStackedWidget*>(w->parentWidget()))
            pages[stack] = w;
    return pages;
}

bool HiddenIn(const QWidget* w, const QWidget* window)
{
    for (; w && w != window; w = w->parentWidget())
        if (w->isHidden() && !qobject_cast<const QStackedWidget*>(w->parentWidget()))
            return true;
    return false;
}

struct KeyOwner
{
    QString text;
    const QWidget* widget;
};

std::vector<std::pair<QChar, KeyOwner>> MnemonicsOf(QWidget& window)
{
    std::vector<std::pair<QChar, KeyOwner>> keys;
    const auto add = [&keys](const QString& text, const QWidget* widget) {
        if (const QChar key = Mnemonic(text); !key.isNull())
            keys.push_back({key, {text, widget}});
    };
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (HiddenIn(w, &window) || w->window() != &window)
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(w);
            button && !qobject_cast<QTabBar*>(w->parentWidget()))
            add(button->text(), w);
        if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy())
            add(label->text(), w);
        if (auto* box = qobject_cast<QGroupBox*>(w))
            add(box->title(), w);
        if (auto* tabs = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                add(tabs->tabText(i), w);
        if (auto* menuBar = qobject_cast<QMenuBar*>(w))
            for (QAction* action : menuBar->actions())
                add(action->text(), w);
    }
    return keys;
}

bool Compete(const QWidget* a, const QWidget* b, const QWidget* window)
{
    const auto pagesA = PagesOf(a, window);
    for (const auto& [stack, page] : PagesOf(b, window))
        if (auto it = pagesA.find(stack); it != pagesA.end() && it->second != page)
            return false;
    return true;
}

TEST_F(EveryWindowTest, EveryTabHasAnAltKeyAndNoTwoControlsShareOne)
{
    const std::vector<std::pair<QChar, KeyOwner>> mainMenu = MnemonicsOf(m_main);
    ForEachState(false, [&mainMenu](const WindowCase& c, QWidget& window) {
        for (const QTabBar* tabs : window.findChildren<QTabBar*>())
            for (int i = 0; tabs->window() == &window && i < tabs->count(); ++i)
                EXPECT_FALSE(Mnemonic(tabs->tabText(i)).isNull()) << "tab \"" << tabs->tabText(i).toStdString() << "\"";
        const auto keys = MnemonicsOf(window);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            for (std::size_t j = i + 1; j < keys.size(); ++j) {
                if (keys[i].first == keys[j].first && keys[i].second.widget != keys[j].second.widget &&
                    Compete(keys[i].second.widget, keys[j].second.widget, &window))
                    ADD_FAILURE() << "Alt+" << keys[i].first.toUpper().toLatin1() << ": \""
                                  << keys[i].second.text.toStdString() << "\" and \""
                                  << keys[j].second.text.toStdString() << "\"";
            }
            if (c.inMainArea)
                for (const auto& [key, owner] : mainMenu)
                    if (key == keys[i].first)
                        ADD_FAILURE() << "Alt+" << key.toUpper().toLatin1() << ": \""
                                      << keys[i].second.text.toStdString() << "\" and the menu \""
                                      << owner.text.toStdString() << "\"";
        }
    });
}

TEST_F(EveryWindowTest, EscapeClosesEveryWindowButTheMainWindow)
{
    for (const WindowCase& c : kWindows) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<QWidget> window = c.make(*this);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QTest::keyClick(focus, Qt::Key_Escape);
        EXPECT_EQ(window->isVisible(), std::string_view(c.name) == "Mainform");
    }
}

// Enter in a dialog presses its one default button, which is OK where there is one and never a
// button that deletes or discards.
TEST_F(EveryWindowTest, EnterPressesASafeDefaultButton)
{
    static const QRegularExpression unsafe("l.schen|entfernen|verwerfen|leeren",
                                           QRegularExpression::CaseInsensitiveOption);
    for (const WindowCase& c : kWindows) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<QWidget> window = c.make(*this);
        if (!qobject_cast<QDialog*>(window.get()))
            continue;
        window->show();
        QApplication::processEvents();
        std::vector<QPushButton*> defaults;
        QPushButton* ok = nullptr;
        for (QPushButton* button : window->findChildren<QPushButton*>()) {
            if (!button->isVisible() || button->window() != window.get())
                continue;
            if (button->isDefault())
                defaults.push_back(button);
            if (button->objectName() == "cmdOK" || button->text().remove('&') == "OK")
                ok = button;
        }
        EXPECT_LE(defaults.size(), 1u);
        for (QPushButton* button : defaults) {
            EXPECT_FALSE(unsafe.match(button->text()).hasMatch()) << button->text().toStdString();
        }
        if (ok && ok->isEnabled()) {
            EXPECT_TRUE(ok->isDefault()) << "OK is not pressed by Enter";
        }
    }
}

// What a user sees cut or covered in a layout at the window's current size.
void ExpectNothingCutOrCovered(QWidget& window)
{
    QList<QLayout*> layouts = window.findChildren<QLayout*>();
    for (QLayout* layout : layouts) {
        QWidget* parent = layout->parentWidget();
        if (!parent || !parent->isVisible() || parent->window() != &window)
            continue;
        std::vector<QWidget*> shown;
        for (int i = 0; i < layout->count(); ++i)
            if (QWidget* w = layout->itemAt(i)->widget(); w && w->isVisible())
                shown.push_back(w);
        for (std::size_t i = 0; i < shown.size(); ++i) {
            QWidget* w = shown[i];
            const std::string name =
                (w->objectName().isEmpty() ? QString(w->metaObject()->className()) : w->objectName())
                    .toStdString();
            EXPECT_TRUE(parent->rect().contains(w->geometry())) << name << " sticks out of its parent";
            const QSize least = w->minimumSizeHint();
            const QSizePolicy policy = w->sizePolicy();
            if (least.isValid() && !(policy.horizontalPolicy() & QSizePolicy::IgnoreFlag)) {
                EXPECT_GE(w->width(), least.width()) << name << " is cut";
            }
            if (least.isValid() && !(policy.verticalPolicy() & QSizePolicy::IgnoreFlag)) {
                EXPECT_GE(w->height(), least.height()) << name << " is squashed";
            }
            for (std::size_t j = i + 1; j < shown.size(); ++j)
                EXPECT_FALSE(w->geometry().intersects(shown[j]->geometry()))
                    << name << " overlaps " << shown[j]->objectName().toStdString();
        }
    }
    for (QHeaderView* header : window.findChildren<QHeaderView*>()) {
        if (header->orientation() != Qt::Horizontal || !header->isVisible() || !header->model())
            continue;
        const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int i = 0; i < header->count(); ++i) {
            if (header->isSectionHidden(i))
                continue;
            const QString text = header->model()->headerData(i, Qt::Horizontal).toString();
            EXPECT_GE(header->sectionSize(i), header->fontMetrics().horizontalAdvance(text) + margin)
                << "column \"" << text.toStdString() << "\" of "
                << header->parentWidget()->objectName().toStdString();
        }
    }
}

TEST_F(EveryWindowTest, NothingIsCutOrCoveredAtTheSmallestSize)
{
    ForEachState(true, [](const WindowCase&, QWidget& window) {
        window.resize(window.minimumSizeHint().expandedTo(window.minimumSize()));
        QApplication::processEvents();
        ExpectNothingCutOrCovered(window);
    });
}

} // namespace
} // namespace pf::test
