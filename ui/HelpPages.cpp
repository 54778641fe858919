#include "ui/HelpPages.h"

#include "core/AppContext.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QWidget>

#include <utility>
#include <vector>

namespace pf {

namespace {

struct PageOfWindow
{
    const char* window;
    const char* page;
};

// clang-format off
const PageOfWindow kPages[] = {
    {"FrmDBOpen", "start.html"}, {"FrmDBEigenschaften", "start.html"}, {"FrmDBUpgrade", "start.html"},
    {"FrmInitSystem", "start.html"}, {"FrmBaseDataProgress", "start.html"},
    {"FrmMenuData", "rezepte.html"}, {"FrmSkalierungAnzahl", "rezepte.html"},
    {"FrmSearchandDisplay", "suche.html"},
    {"FrmMMImport", "import-export.html"}, {"FrmMMImportDupe", "import-export.html"},
    {"FrmMMImportFList", "import-export.html"}, {"FrmImportTextCheck", "import-export.html"},
    {"FrmDBImport", "import-export.html"}, {"frmGenericImportWizard", "import-export.html"},
    {"FrmExport", "import-export.html"}, {"FrmSetFingerprint", "import-export.html"},
    {"FrmKochbuchManag", "kochbuecher.html"}, {"FrmKategorieManagement", "kochbuecher.html"},
    {"FrmCatSelect", "kochbuecher.html"},
    {"FrmUnitManagement", "einheiten.html"}, {"FrmUnitAbgleich", "einheiten.html"},
    {"FrmLexikonEdit", "lexikon.html"}, {"FrmSpecialLexDel", "lexikon.html"},
    {"FrmNaehrwerte", "naehrwerte.html"}, {"FrmNaehrNew", "naehrwerte.html"},
    {"FrmNaehrSuche", "naehrwerte.html"}, {"FrmNaehrdata", "naehrwerte.html"},
    {"FrmNaehrdataInfo", "naehrwerte.html"}, {"FrmSynonym", "naehrwerte.html"},
    {"FrmSynonymList", "naehrwerte.html"}, {"FrmBLSAbgleich", "naehrwerte.html"},
    {"FrmLiteratur", "literatur.html"}, {"FrmLiteraturGallery", "literatur.html"},
    {"FrmLiteraturInhaltsverzeichnis", "literatur.html"}, {"FrmShops", "literatur.html"},
    {"FrmShopsPreview", "literatur.html"}, {"FrmGastGeschichte", "literatur.html"},
    {"FrmMenuManagement", "menues.html"}, {"FrmMenuDetail", "menues.html"},
    {"FrmMenuPrint", "menues.html"}, {"FrmMenuPrintPreview", "menues.html"},
    {"FrmWPEdit", "wochenplan.html"}, {"FrmWPEditDay", "wochenplan.html"},
    {"FrmWPEditGeneric", "wochenplan.html"}, {"FrmWPEditRezSearch", "wochenplan.html"},
    {"FrmWPApprove", "wochenplan.html"}, {"frmWPNewWizard", "wochenplan.html"},
    {"frmWPOptions", "wochenplan.html"},
    {"FrmEinkaufsliste", "einkaufsliste.html"}, {"FrmEinkaufslisteEdit", "einkaufsliste.html"},
    {"FrmPrint", "drucken.html"}, {"FrmPrintPreview", "drucken.html"}, {"FrmPrinter", "drucken.html"},
    {"FrmBackup", "sicherung.html"}, {"FrmZIP", "sicherung.html"},
    {"FrmUsermanager", "benutzer.html"}, {"frmLogin", "benutzer.html"}, {"frmLoginChange", "benutzer.html"},
    {"frmOptions1", "einstellungen.html"},
};
// clang-format on

std::function<void(const QUrl&)>& Opener()
{
    static std::function<void(const QUrl&)> opener;
    return opener;
}

} // namespace

QString HelpPageOf(const QString& windowName)
{
    for (const PageOfWindow& entry : kPages)
        if (windowName == QLatin1String(entry.window))
            return QString::fromLatin1(entry.page);
    return {};
}

QString HelpPageFor(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QString page = HelpPageOf(w->objectName());
        if (!page.isEmpty())
            return page;
    }
    return {};
}

std::vector<std::pair<QString, QString>> HelpPageTable()
{
    std::vector<std::pair<QString, QString>> table;
    for (const PageOfWindow& entry : kPages)
        table.emplace_back(QString::fromLatin1(entry.window), QString::fromLatin1(entry.page));
    return table;
}

QUrl HelpUrl(const QString& page)
{
    const QString folder = QFileInfo(QString::fromStdString(AppContext::Current().HelpFile)).absolutePath();
    return QUrl::fromLocalFile(folder + "/" + (page.isEmpty() ? QString("index.html") : page));
}

void OpenHelpPage(const QString& page)
{
    const QUrl url = HelpUrl(page);
    if (Opener())
        Opener()(url);
    else
        QDesktopServices::openUrl(url);
}

void SetHelpOpener(std::function<void(const QUrl&)> opener)
{
    Opener() = std::move(opener);
}

QString NewestReadme(const QString& folder)
{
    QString newest;
    QDateTime newestTime;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files)) {
        const QString name = file.fileName().toUpper();
        if (!name.startsWith("README") && !name.startsWith("LIESMICH"))
            continue;
        if (newest.isEmpty() || file.lastModified() > newestTime) {
            newest = file.absoluteFilePath();
            newestTime = file.lastModified();
        }
    }
    return newest;
}

HelpKeyFilter::HelpKeyFilter(QWidget* mainWindow) : QObject(mainWindow), m_mainWindow(mainWindow) {}

bool HelpKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1 ||
        static_cast<QKeyEvent*>(event)->modifiers() != Qt::NoModifier || !watched->isWidgetType())
        return false;
    const QWidget* window = static_cast<QWidget*>(watched)->window();
    if (window == m_mainWindow || !AppContext::Current().HelpAvailable)
        return false;
    OpenHelpPage(HelpPageFor(static_cast<QWidget*>(watched)));
    return true;
}

} // namespace pf
