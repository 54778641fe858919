#include "ui/QtShell.h"

#include "app/CommandLine.h"
#include "core/AppContext.h"
#include "core/Messages.h"
#include "core/ProcessExit.h"
#include "core/WaitClock.h"
#include "db/Backup.h"
#include "db/DatabaseChoice.h"
#include "db/DbError.h"
#include "db/SearchIndex.h"
#include "db/WorkDatabase.h"
#include "lexicon/LexiconMaintenance.h"
#include "model/ProgramUnits.h"
#include "model/RecipeTrash.h"
#include "model/clBlob.h"
#include "model/clBook.h"
#include "nutrition/Nutrition.h"
#include "ui/AppIcon.h"
#include "ui/ExternalToolRun.h"
#include "ui/FrmBackup.h"
#include "ui/FrmDBEigenschaften.h"
#include "ui/FrmDBImport.h"
#include "ui/FrmDBUpgrade.h"
#include "ui/FrmEinkaufsliste.h"
#include "ui/FrmExportLexikon.h"
#include "ui/FrmFloskelInfo.h"
#include "ui/FrmKategorieManagement.h"
#include "ui/FrmKochbuchManag.h"
#include "ui/FrmLexikonEdit.h"
#include "ui/FrmLiteratur.h"
#include "ui/FrmMMImport.h"
#include "ui/FrmMaintenanceList.h"
#include "ui/FrmMenuData.h"
#include "ui/FrmMenuManagement.h"
#include "ui/FrmNaehrwerte.h"
#include "ui/FrmPrinter.h"
#include "ui/FrmSearchandDisplay.h"
#include "ui/FrmSetFingerprint.h"
#include "ui/FrmShops.h"
#include "ui/FrmSpecialLexDel.h"
#include "ui/FrmSplash.h"
#include "ui/FrmUnitManagement.h"
#include "ui/FrmUsermanager.h"
#include "ui/FrmWPEdit.h"
#include "ui/FrmZIP.h"
#include "ui/Mainform.h"
#include "ui/QtInteraction.h"
#include "ui/UiSupport.h"
#include "ui/frmGenericImportWizard.h"
#include "ui/frmLogin.h"
#include "ui/frmLoginChange.h"
#include "ui/frmOptions1.h"
#include "ui/frmTip.h"

#include <QAction>
#include <QApplication>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace pf {

namespace {

// The search index takes an import's recipes a piece at a time: a piece takes a few tens of
// milliseconds, so that the window answers between pieces. With nothing to do it looks again now
// and then; after a failure (another program writing) it waits longer.
constexpr std::size_t kIndexPiece = 1000;
constexpr int kIndexIdle = 2000;
constexpr int kIndexRetry = 30000;

} // namespace

QtShell::QtShell(QtInteraction& ui) : m_ui(ui)
{
    // Every window of the program, child windows included, shows the pan.
    QApplication::setWindowIcon(AppIcon());
    SetUpgradeWindow(std::make_unique<QtUpgradeWindow>());
    // The database is about to close for good: the moment to remind of an overdue backup.
    StartHooks().BeforeClose = [] { Backup().RemindAtClose(); };
    // Recipes left in the trash are offered for deletion; Cancel keeps the program open.
    StartHooks().TrashQuestion = [] {
        return RecipeTrash().EmptyTrash(clBook::kTrash, Buttons::YesNoCancel);
    };
    StartHooks().Login = [this](ClsUser& users) {
        frmLogin login(users, WaitClock::Steady(), m_main.get());
        if (m_splash)
            m_splash->hide();
        return login.exec() == QDialog::Accepted;
    };
}

QtShell::~QtShell()
{
    SetUpgradeWindow(nullptr);
    StartHooks().BeforeClose = nullptr;
    StartHooks().TrashQuestion = nullptr;
    StartHooks().Login = nullptr;
    m_ui.SetSplash(nullptr);
    m_ui.SetMainWindow(nullptr);
}

QtDatabaseWindows QtShell::Windows() const
{
    return QtDatabaseWindows(m_main.get(), m_splash.get());
}

void QtShell::ShowSplash()
{
    if (!m_splash)
        m_splash = std::make_unique<FrmSplash>();
    m_ui.SetSplash(m_splash.get());
    m_splash->show();
    m_splash->raise();
    QApplication::processEvents();
}

void QtShell::UnloadSplash()
{
    if (m_splash)
        m_splash->close();
}

void QtShell::ShowMainWindow()
{
    m_main = std::make_unique<Mainform>();
    m_ui.SetMainWindow(m_main.get());
    m_main->SetDatabaseCaption(Connection().DbPath);
    m_main->SetCloseHandler([this] { return Shutdown(*this); });
    m_main->SetReopenHandler([this](const DatabaseSelection& previous) { Reopen(previous); });
    m_main->SetCommandHandler([this](const std::string& command) { RunCommand(command); });
    m_main->Load();
    FinishMainWindowLoad(*this);
    m_main->RefreshCaption();
    m_indexTimer = std::make_unique<QTimer>();
    QObject::connect(m_indexTimer.get(), &QTimer::timeout, [this] { IndexWaitingRecipes(); });
    m_indexTimer->start(kIndexIdle);
    // A batch import ends the program at once; otherwise the tips greet the user when wanted.
    if (AppContext::Current().Options.ShowTips && !ImportArgument(AppContext::Current().CommandLine))
        ShowTips();
}

void QtShell::IndexWaitingRecipes()
{
    std::size_t left = 0;
    int next = kIndexIdle;
    // Not inside another transaction (a save or an import waiting for the user): the piece would
    // become part of it.
    if (HasWorkDb() && WorkDb().IsUpdatable() && !WorkDb().InTransaction()) {
        try {
            left = IndexPendingRecipes(WorkDb(), kIndexPiece, false);
            if (left > 0)
                next = 0;
        } catch (const DbError&) {
            // Another program writing, or a database gone read-only: the recipes wait, and the
            // search reads every recipe meanwhile.
            next = kIndexRetry;
        }
    }
    if (left > 0 && m_main) {
        m_main->ShowStatus("Der Suchindex nimmt die neuen Rezepte auf: noch " +
                               QLocale(QLocale::German).toString(static_cast<qulonglong>(left)).toStdString(), -1);
        m_indexShown = true;
    } else if (m_indexShown && m_main) {
        m_main->ShowStatus("", -1);
        m_indexShown = false;
    }
    m_indexTimer->start(next);
}

void QtShell::Reopen(const DatabaseSelection& previous)
{
    if (m_foodBrowser)
        m_foodBrowser->close();
    try {
        try {
            OpenWorkDatabase(*this);
        } catch (const ProcessExit&) {
            // The chosen database could not be had and nothing else was chosen: the one that was
            // open before comes back instead of the program ending.
            if (previous.DbType == 0 ? previous.Path.empty() : previous.Dsn.empty())
                throw;
            CommitDatabaseSelection(previous);
            OpenWorkDatabase(*this);
        }
        m_main->SetDatabaseCaption(Connection().DbPath);
        m_main->SetUserSecurity();
    } catch (const DbError& error) {
        ReportError(ToErrorInfo(error), false);
    } catch (const ProcessExit& exit) {
        // No usable database is left: the program ends as at start.
        if (m_exitHandler)
            m_exitHandler(exit.Code);
        else
            QApplication::exit(exit.Code);
    }
}

void QtShell::RunCommand(const std::string& command)
{
    if (command == "MenuExtraBackup") {
        m_main->AddChildWindow(
            new FrmBackup(this, [this] { m_main->SetDatabaseCaption(Connection().DbPath); }));
    } else if (command == "MenuExtraZIP") {
        m_main->AddChildWindow(new FrmZIP);
    } else if (command == "Mnu01Einstellungen") {
        m_main->AddChildWindow(new frmOptions1);
    } else if (command == "Mnu01Druckereinrichtung") {
        m_main->AddChildWindow(new FrmPrinter);
    } else if (command == "Mnu01DBProperties") {
        m_main->AddChildWindow(new FrmDBEigenschaften);
    } else if (command == "Mnu01NeuBlanko") {
        m_main->AddChildWindow(new FrmMenuData(0));
    } else if (command == "Mnu01Suchen") {
        m_main->AddChildWindow(new FrmSearchandDisplay(FrmSearchandDisplay::Mode::Search));
    } else if (command == "Mnu01NeuTemplate") {
        // The templates are listed in the search window; with none it has said so and stays closed.
        auto* window = new FrmSearchandDisplay(FrmSearchandDisplay::Mode::Templates);
        if (window->TemplatesFound())
            m_main->AddChildWindow(window);
        else
            delete window;
    } else if (command == "Mnu02TrashView") {
        m_main->AddChildWindow(new FrmSearchandDisplay(FrmSearchandDisplay::Mode::Trash));
    } else if (command == "MnUExtraDupeView") {
        m_main->AddChildWindow(new FrmSearchandDisplay(FrmSearchandDisplay::Mode::Duplicates));
    } else if (command == "MnuExtraImportMealMaster") {
        FrmMMImport wizard(nullptr, m_main.get());
        wizard.exec();
        AfterImport(wizard.ResultView());
    } else if (command == "MnuExtraImportGeneric") {
        frmGenericImportWizard wizard(nullptr, m_main.get());
        wizard.exec();
        AfterImport(std::nullopt);
        // The new recipes are listed by their import date, as they may sit in several cookbooks.
        if (wizard.Imported() > 0) {
            auto* window = new FrmSearchandDisplay(FrmSearchandDisplay::Mode::Search);
            window->ShowImportResult(wizard.RunDate(), wizard.ResultCaption());
            m_main->AddChildWindow(window);
        }
    } else if (command == "MnuExtraImportKochbuch") {
        FrmDBImport window(nullptr, m_main.get());
        window.exec();
        AfterImport(window.ResultView());
    } else if (command == "MnuExtraImportMealMasterClipbrd") {
        AfterImport(ImportFromClipboard(nullptr, m_main.get()));
    } else if (command == "Mnu02Kochbuch") {
        m_main->AddChildWindow(new FrmKochbuchManag([this] { m_main->RefreshCaption(); }));
    } else if (command == "Mnu02Kategorie") {
        m_main->AddChildWindow(new FrmKategorieManagement);
    } else if (command == "Mnu02EinkaufenListe") {
        if (FrmEinkaufsliste* open = FrmEinkaufsliste::Current())
            open->setFocus();
        else
            m_main->AddChildWindow(new FrmEinkaufsliste);
    } else if (command == "Mnu02Literatur") {
        m_main->AddChildWindow(new FrmLiteratur);
    } else if (command == "Mnu02Menue") {
        m_main->AddChildWindow(new FrmMenuManagement);
    } else if (command == "Mnu02Wochenplan") {
        m_main->AddChildWindow(new FrmWPEdit);
    } else if (command == "Mnu02EinkaufenShops") {
        m_main->AddChildWindow(new FrmShops);
    } else if (command == "Mnu02Unit") {
        m_main->AddChildWindow(new FrmUnitManagement(ProgramUnits(), ProgramRecipeUnits()));
    } else if (command == "LexikonAnsehen") {
        m_main->AddChildWindow(new FrmLexikonEdit);
    } else if (command == "Mnu02Zutaten") {
        ShowFoodBrowser();
    } else if (command == "SpecialsLexDel") {
        m_main->AddChildWindow(new FrmSpecialLexDel);
    } else if (command == "MenuExtraFP") {
        m_main->AddChildWindow(new FrmSetFingerprint);
    } else if (command == "Mnu02TrashEmpty") {
        RecipeTrash().EmptyTrash(clBook::kTrash, Buttons::YesNo);
        m_main->RefreshCaption();
    } else if (command == "MenuExtraUser") {
        FrmUsermanager window(m_main.get());
        window.exec();
    } else if (command == "MenuExtraChangePwd") {
        frmLoginChange window(m_main.get());
        window.exec();
    } else if (command == "MnuExtraDupeKill") {
        RecipeTrash().EmptyTrash(clBook::kDuplicates, Buttons::YesNo);
    } else if (command == "Mnu02FloskelInfo") {
        m_main->AddChildWindow(new FrmFloskelInfo);
    } else if (command == "MenuExtraShowQuickbar") {
        ShowTips();
    } else if (command == "MenuExtraTools") {
        AfterTool(ChooseAndRunTool(ActiveRecipeIds(), false, m_main.get()));
    } else if (command == "MenuImportTool") {
        AfterTool(ChooseAndRunTool({}, true, m_main.get()));
    } else if (command == "MnuExtraTeamDBInitExport") {
        m_main->AddChildWindow(new FrmExportLexikon);
    } else if (command == "MnuExtraTeamPictureCleanup") {
        const long removed = RemoveOrphanRecipePictures(WorkDb());
        m_ui.Inform(removed == 0 ? std::string("Es gibt keine Bilder gelöschter Rezepte.")
                                 : std::to_string(removed) + (removed == 1 ? " Bild" : " Bilder") +
                                       " gelöschter Rezepte wurden entfernt.",
                    MsgIcon::Information, "Verwaiste Rezeptbilder");
    } else if (command == "SpecialsDupe1") {
        m_main->AddChildWindow(new FrmMaintenanceList("FrmSpecialDupe", "Doppelte Lebensmittel-Stichwörter",
                                                      DuplicateFoodKeys(WorkDb())));
    } else if (command == "SpecialsOrphan") {
        m_main->AddChildWindow(new FrmMaintenanceList("FrmSpecialOrphan",
                                                      "Zusatzstoffe und Geräte ohne Beschreibung",
                                                      EntriesWithoutDescription(WorkDb())));
    } else if (command.rfind("Hide", 0) == 0) {
        RunInActiveWindow(command);
    }
}

QWidget* QtShell::ActiveChild() const
{
    QMdiSubWindow* sub = m_main->MdiArea()->activeSubWindow();
    if (!sub) {
        const QList<QMdiSubWindow*> all = m_main->MdiArea()->subWindowList(QMdiArea::ActivationHistoryOrder);
        sub = all.isEmpty() ? nullptr : all.back();
    }
    return sub ? sub->widget() : nullptr;
}

std::vector<long> QtShell::ActiveRecipeIds() const
{
    if (auto* list = qobject_cast<FrmSearchandDisplay*>(ActiveChild()))
        return list->SelectedIDs();
    return {};
}

void QtShell::RunInActiveWindow(const std::string& command)
{
    // The context commands of the main window pass their name to the list they belong to.
    QWidget* child = ActiveChild();
    if (command.rfind("HideLexikon", 0) == 0) {
        if (auto* lexicon = qobject_cast<FrmLexikonEdit*>(child))
            lexicon->RunCommand(command);
        else
            m_ui.Inform("Bitte zuerst das Lexikon öffnen und einen Eintrag wählen.", MsgIcon::Information,
                        "Lexikon");
    } else if (auto* list = qobject_cast<FrmSearchandDisplay*>(child)) {
        list->RunCommand(command);
    } else {
        m_ui.Inform("Bitte zuerst eine Rezeptliste öffnen (Rezepte suchen) und Rezepte darin wählen.",
                    MsgIcon::Information, "Rezepte");
    }
}

void QtShell::ShowTips()
{
    auto* tips = new frmTip([this](const std::string& command) {
        if (QAction* action = m_main->Command(Q(command)))
            action->trigger();
    });
    m_main->AddChildWindow(tips);
}

void QtShell::AfterTool(const ToolRunOutcome& outcome)
{
    if (outcome.Import)
        AfterImport(outcome.Import);
}

void QtShell::ShowFoodBrowser()
{
    if (!m_foodBrowser) {
        Nutrition* nutrition = NutritionOf(WorkDb());
        if (!nutrition) {
            m_ui.Inform("Die Datenbank enthält keine Nahrungsmittel-Tabelle.", MsgIcon::Information,
                        "Nahrungsmittel und Nährwerte");
            return;
        }
        m_foodBrowser = new FrmNaehrwerte(WorkDb(), nutrition->Tables, m_main.get());
        m_foodBrowser->setAttribute(Qt::WA_DeleteOnClose);
        m_foodBrowser->resize(1100, 760);
        PlaceOver(m_foodBrowser, m_main.get());
    }
    m_foodBrowser->show();
    m_foodBrowser->raise();
    m_foodBrowser->activateWindow();
}

void QtShell::SetExitHandler(std::function<void(int)> handler)
{
    m_exitHandler = std::move(handler);
}

void QtShell::RunCommandLineImport(const std::string& file)
{
    AfterImport(::pf::RunCommandLineImport(file, m_main.get()));
    // The program ends after this import: its recipes are indexed before, with a progress text.
    if (HasWorkDb() && WorkDb().IsUpdatable())
        IndexAllPendingRecipes(WorkDb());
}

void QtShell::AfterImport(const std::optional<ImportResultView>& result)
{
    // An import may have added yield units and categories: the lists are read again.
    ResetProgramData();
    if (!m_main)
        return;
    m_main->RefreshCaption();
    // The stored recipes are shown as the content of the cookbook they went to.
    if (result) {
        auto* window = new FrmSearchandDisplay(FrmSearchandDisplay::Mode::Search);
        window->ShowCookbook(result->BookID, result->Caption);
        m_main->AddChildWindow(window);
    }
}

void QtShell::CloseMainWindow()
{
    if (m_main)
        m_main->close();
}

bool QtShell::SaveStateWanted() const
{
    return m_main && m_main->isVisible();
}

void QtShell::SaveMainWindowState()
{
    if (m_main)
        m_main->SaveState();
}

bool QtShell::ShowIcons() const
{
    return m_main && m_main->IconTextShown();
}

void QtShell::UnloadOtherWindows()
{
    if (m_foodBrowser)
        m_foodBrowser->close();
    if (m_main)
        m_main->CloseChildWindows();
    UnloadSplash();
}

FirstStartResult QtShell::ShowFirstStart(const std::vector<FirstStartItem>& items, const std::string& newPath)
{
    return Windows().ShowFirstStart(items, newPath);
}

bool QtShell::ShowSelection()
{
    return Windows().ShowSelection();
}

void QtShell::ShowOptions()
{
    Windows().ShowOptions();
}

} // namespace pf
