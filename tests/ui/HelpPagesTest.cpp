#include "ui/HelpPages.h"

#include "tests/ui/UiTestSupport.h"
#include "ui/Mainform.h"

#include <QDialog>
#include <QDir>

#include <chrono>

namespace pf::test {
namespace {

const QString kManual = QStringLiteral(PF_TEST_DATA_DIR "/../../hilfe");

// Every window the table names has its page in the manual, and every link and picture of the
// manual's pages points at a file that is there.
TEST(HelpPages, PagesOfTheWindowsAndTheManualsLinksExist)
{
    const QDir manual(kManual);
    ASSERT_TRUE(manual.exists("index.html"));
    for (const auto& [window, page] : HelpPageTable()) {
        SCOPED_TRACE(window.toStdString());
        EXPECT_TRUE(manual.exists(page)) << page.toStdString();
        EXPECT_EQ(HelpPageOf(window), page);
    }
    EXPECT_EQ(HelpPageOf("FrmGibtEsNicht"), "");

    const QRegularExpression link(R"((?:href|src)="([^"#:]+)(?:#[^"]*)?")");
    for (const QString& name : manual.entryList({"*.html"})) {
        SCOPED_TRACE(name.toStdString());
        QFile file(manual.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        EXPECT_TRUE(text.contains("<html lang=\"de\">"));
        for (auto it = link.globalMatch(text); it.hasNext();) {
            const QString target = it.next().captured(1);
            EXPECT_TRUE(manual.exists(target)) << target.toStdString();
        }
    }
}

TEST(HelpPages, NewestReadmeIsChosenByDate)
{
    TempDir dir;
    namespace fs = std::filesystem;
    const auto now = fs::file_time_type::clock::now();
    struct File
    {
        const char* name;
        int hoursOld;
    };
    const File files[] = {{"README.md", 48}, {"liesmich-2.txt", 2}, {"Notizen.txt", 0}, {"README.old", 30}};
    EXPECT_EQ(NewestReadme(QString::fromStdString(dir.Dir())), "");
    for (const File& file : files) {
        WriteFile(dir.File(file.name), "x");
        fs::last_write_time(dir.File(file.name), now - std::chrono::hours(file.hoursOld));
    }
    EXPECT_EQ(NewestReadme(QString::fromStdString(dir.Dir())),
              QDir(QString::fromStdString(dir.Dir())).absoluteFilePath("liesmich-2.txt"));
}

class HelpKeyTest : public UiTest
{
protected:
    HelpKeyTest()
    {
        m_context.HelpAvailable = true;
        m_context.HelpFile = m_dir.File("hilfe/index.html");
        SetHelpOpener([this](const QUrl& url) { opened << url.fileName(); });
    }
    ~HelpKeyTest() override { SetHelpOpener(nullptr); }

    QStringList opened;
};

// Help › Inhalt (F1 in the main window) opens the page of the child window in front; F1 in a dialog
// opens the dialog's page, or the contents page when the manual has none for it.
TEST_F(HelpKeyTest, F1OpensThePageOfTheWindowInFront)
{
    Mainform window;
    window.Command("MnuHilfeContent")->trigger();
    auto* backup = new QWidget;
    backup->setObjectName("FrmBackup");
    window.AddChildWindow(backup);
    window.MdiArea()->setActiveSubWindow(window.MdiArea()->subWindowList().front());
    window.Command("MnuHilfeContent")->trigger();
    window.Command("MnuHilfeOverview")->trigger();

    for (const char* name : {"frmOptions1", "FrmUnbekannt"}) {
        QDialog dialog(&window);
        dialog.setObjectName(name);
        auto* field = new QLineEdit(&dialog);
        QTest::keyClick(field, Qt::Key_F1);
        QTest::keyClick(field, Qt::Key_F1, Qt::ShiftModifier); // not help
    }
    EXPECT_EQ(opened, QStringList({"index.html", "sicherung.html", "index.html", "einstellungen.html",
                                   "index.html"}));
}

} // namespace
} // namespace pf::test
