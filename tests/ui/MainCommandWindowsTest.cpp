// The small windows behind main-window commands: stock phrases, the text boxes' menu, the tips,
// and the external tools of the options window with their test run.

#include "core/ExternalTools.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/FrmFloskelInfo.h"
#include "ui/TextMenu.h"
#include "ui/frmOptions1.h"
#include "ui/frmTip.h"

#include <QTextEdit>

namespace pf::test {
namespace {

using MainCommandWindowsTest = UiTest;

TEST_F(MainCommandWindowsTest, PhrasesAreSavedAndOfferedInTheTextMenuOfEditableBoxes)
{
    m_context.Phrases[3] = "alt";
    {
        FrmFloskelInfo window;
        EXPECT_EQ(Child<QLineEdit>(window, "txtFloskel3")->text(), "alt");
        Child<QLineEdit>(window, "txtFloskel0")->setText("  Mit Salz & Pfeffer abschmecken.  ");
        Child<QLineEdit>(window, "txtFloskel3")->clear();
        window.cmdSave_Click();
    }
    EXPECT_EQ(m_context.Phrases[0], "Mit Salz & Pfeffer abschmecken.");
    EXPECT_EQ(m_context.Phrases[3], "");
    EXPECT_EQ(ReadSetting("", "Floskel0", "", false), "Mit Salz & Pfeffer abschmecken.");
    EXPECT_EQ(ReadSetting("", "Floskel3", "x", false), "");

    QPlainTextEdit plain;
    plain.setPlainText("Zwiebeln anbraten. ");
    plain.moveCursor(QTextCursor::End);
    std::unique_ptr<QMenu> menu(MakeTextMenu(&plain));
    auto* phrases = menu->findChild<QMenu*>("mnuPhrases");
    ASSERT_NE(phrases, nullptr);
    ASSERT_EQ(phrases->actions().size(), 1);
    EXPECT_EQ(phrases->actions()[0]->text(), "&0 Mit Salz && Pfeffer abschmecken.");
    phrases->actions()[0]->trigger();
    EXPECT_EQ(plain.toPlainText(), "Zwiebeln anbraten. Mit Salz & Pfeffer abschmecken.");

    plain.setReadOnly(true);
    std::unique_ptr<QMenu> readOnly(MakeTextMenu(&plain));
    EXPECT_FALSE(readOnly->findChild<QMenu*>("mnuPhrases")->isEnabled());
}

// Formats only where the text keeps them; copy and look-up everywhere; paste only into editable
// boxes.
TEST_F(MainCommandWindowsTest, TextCommandsApplyByKindOfBox)
{
    QTextEdit rich;
    QPlainTextEdit plain;
    QLineEdit line;
    const struct
    {
        const char* Command;
        bool Rich, Plain;
    } cases[] = {{"HideRTFBold", true, false},  {"HideRTFBullet", true, false},
                 {"HideRTFColor", true, false}, {"HideRTFCopy", true, true},
                 {"HideRTFPaste", true, true},  {"HideRTFLexikon", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Command);
        EXPECT_EQ(TextCommandApplies(&rich, c.Command), c.Rich);
        EXPECT_EQ(TextCommandApplies(&plain, c.Command), c.Plain);
        EXPECT_FALSE(TextCommandApplies(&line, c.Command));
        EXPECT_FALSE(TextCommandApplies(nullptr, c.Command));
    }
    rich.setReadOnly(true);
    EXPECT_FALSE(TextCommandApplies(&rich, "HideRTFBold"));
    EXPECT_FALSE(TextCommandApplies(&rich, "HideRTFPaste"));
    rich.setReadOnly(false);

    rich.setPlainText("Teig kneten");
    QTextCursor cursor = rich.textCursor();
    cursor.setPosition(0);
    cursor.setPosition(4, QTextCursor::KeepAnchor);
    rich.setTextCursor(cursor);
    ASSERT_TRUE(RunTextCommand(&rich, "HideRTFBold"));
    ASSERT_TRUE(RunTextCommand(&rich, "HideRTFKursiv"));
    EXPECT_EQ(rich.currentCharFormat().fontWeight(), QFont::Bold);
    EXPECT_TRUE(rich.currentCharFormat().fontItalic());
    ASSERT_TRUE(RunTextCommand(&rich, "HideRTFBold"));
    EXPECT_EQ(rich.currentCharFormat().fontWeight(), QFont::Normal);
    ASSERT_TRUE(RunTextCommand(&rich, "HideRTFBullet"));
    EXPECT_NE(rich.textCursor().currentList(), nullptr);
    ASSERT_TRUE(RunTextCommand(&rich, "HideRTFBullet"));
    EXPECT_EQ(rich.textCursor().currentList(), nullptr);
    EXPECT_FALSE(RunTextCommand(&plain, "HideRTFBold"));
}

TEST_F(MainCommandWindowsTest, TipsGoRoundAndQuickStartRunsTheCommands)
{
    std::vector<std::string> run;
    frmTip window([&run](const std::string& command) { run.push_back(command); });
    for (int i = 0; i < frmTip::TipCount(); ++i)
        window.cmdNext_Click();
    EXPECT_EQ(window.TipIndex(), 0);
    Click(window, "cmdSearch");
    Click(window, "cmdImport");
    EXPECT_EQ(run, (std::vector<std::string>{"Mnu01Suchen", "MnuExtraImportMealMaster"}));
    Child<QCheckBox>(window, "chkShowTips")->setChecked(false);
    EXPECT_FALSE(m_context.Options.ShowTips);
    EXPECT_FALSE(SettingToBool(ReadSetting("", "ShowTips", "1", false)));
}

// A tool entered on the options page is kept in the settings at once; its test shows the command
// line filled in and runs it only when confirmed, in its working folder.
TEST_F(MainCommandWindowsTest, ToolEnteredInTheOptionsIsStoredAndTestedWithItsCommandLine)
{
    m_context.TempDir = m_dir.Dir();
    const std::string work = m_dir.Dir() + "Arbeit Ordner";
    std::filesystem::create_directories(work);
    frmOptions1 options;
    Click(options, "cmdToolNew");
    auto* list = Child<QListWidget>(options, "lstTools");
    ASSERT_EQ(list->count(), 1);
    const auto type = [&](const char* name, const QString& text) {
        auto* edit = Child<QLineEdit>(options, name);
        edit->setText(text);
        emit edit->textEdited(text);
    };
    type("txtToolName", "Zähler");
    type("txtToolCommand", "sh -c \"echo &tmp > ergebnis.txt\"");
    type("txtToolDir", QString::fromStdString(work));
    Child<QCheckBox>(options, "chkToolImport")->setChecked(true);
    EXPECT_EQ(list->item(0)->text(), "Zähler");

    const std::vector<ExternalTool> stored = ReadToolTable();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].Name, "Zähler");
    EXPECT_EQ(stored[0].Workingdir, work);
    EXPECT_EQ(stored[0].Action, toolaction::kImportAfter);
    EXPECT_EQ(m_context.ToolTable.size(), 1u);

    // Declined: nothing runs. Confirmed: it runs, and the import after it finds no file.
    m_ui.Answering(Answer::Cancel).Answering(Answer::Ok);
    Click(options, "cmdToolTest");
    EXPECT_FALSE(std::filesystem::exists(work + "/ergebnis.txt"));
    ASSERT_FALSE(m_ui.shown.empty());
    EXPECT_NE(m_ui.shown[0].Text.find("sh -c \"echo " + m_dir.Dir() + " > ergebnis.txt\""), std::string::npos)
        << m_ui.shown[0].Text;
    Click(options, "cmdToolTest");
    EXPECT_EQ(ReadFile(work + "/ergebnis.txt"), m_dir.Dir() + "\n");
    EXPECT_NE(LastMessage().find("keine Importdatei"), std::string::npos) << m_ui.shown.back().Text;

    Click(options, "cmdToolDelete");
    EXPECT_EQ(list->count(), 0);
    EXPECT_TRUE(ReadToolTable().empty());
}

} // namespace
} // namespace pf::test
