#include "core/Messages.h"

#include "core/AppContext.h"
#include "core/MessageTable.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <regex>
#include <set>

namespace pf {
namespace {

// Also remembers the buttons and default of every question, which the report must get right.
class RecordingInteraction : public test::ScriptedInteraction
{
public:
    Answer Ask(const std::string& text, Buttons buttons, Answer defaultAnswer, MsgIcon icon,
               const std::string& caption) override
    {
        askedButtons.push_back(buttons);
        askedDefaults.push_back(defaultAnswer);
        return ScriptedInteraction::Ask(text, buttons, defaultAnswer, icon, caption);
    }
    void SetBusy(bool busy) override { lastBusy = busy; }

    std::vector<Buttons> askedButtons;
    std::vector<Answer> askedDefaults;
    std::optional<bool> lastBusy;
};

class MessagesTest : public ::testing::Test
{
protected:
    MessagesTest() : m_scope(m_context) { m_context.UI = &m_ui; }

    AppContext m_context;
    RecordingInteraction m_ui;

private:
    ScopedAppContext m_scope;
};

TEST_F(MessagesTest, TableEntriesLoadTextAndErrorDescriptions)
{
    // 563 holds "Fortfahren" twice and "Daten" three times (once inside "Datenbank" elsewhere).
    EXPECT_EQ(LoadText(563, {{"Fortfahren", "12"}}),
              "12 und Daten löschen, 12 ohne Daten zu löschen (ohne Gewähr!) oder Abbrechen ?");
    // Pairs apply one after the other: the second sees what the first put in.
    EXPECT_EQ(LoadText(417, {{"Datenbank", "|2"}, {"|2", "Datei"}}), "Die Datei \"");
    // Line breaks are made last, so a value may bring them too.
    EXPECT_EQ(LoadText(417, {{"Datenbank", "A\\nB"}}), "Die A\r\nB \"");
    EXPECT_EQ(LoadText(417, {{"", "x"}, {"|9", "unused"}}), "Die Datenbank \"");
    // Missing entries give empty text; the language offset moves to another block of entries.
    EXPECT_EQ(LoadText(429), "");
    m_context.TextOffset = 6000;
    EXPECT_EQ(LoadText(412), "");
    m_context.TextOffset = 5;
    EXPECT_EQ(LoadText(407), "Datenbank wird geöffnet ...");

    // The table's entries are found and cleanly written.
    std::set<long> numbers;
    for (const MessageEntry& entry : MessageTable::Entries()) {
        SCOPED_TRACE(entry.Number);
        EXPECT_TRUE(numbers.insert(entry.Number).second);
        EXPECT_FALSE(entry.Text.empty());
        // A backslash would be a quote or line break written with one escape too many.
        EXPECT_EQ(entry.Text.find('\\'), std::string_view::npos);
        EXPECT_EQ(entry.Text.find('\r'), std::string_view::npos);
        EXPECT_EQ(MessageTable::Find(entry.Number), entry.Text);
    }
    EXPECT_FALSE(MessageTable::Find(0).has_value());
    EXPECT_FALSE(MessageTable::Find(429).has_value());
    EXPECT_FALSE(MessageTable::Find(99999).has_value());

    // Error descriptions: the standard texts and the engine's collections.
    EXPECT_EQ(StandardErrorDescription(11), "Division durch Null");
    EXPECT_EQ(StandardErrorDescription(94), "Unzulässige Verwendung von Null");
    EXPECT_EQ(StandardErrorDescription(424242), "");
    const std::pair<ErrorInfo, const char*> errors[] = {
        {{13, "", "X", {}}, "Typen unverträglich"},
        {{13, "eigener Text", "X", {}}, "eigener Text"},
        {{3022, "erster", "X", {"Doppelter Wert", "Index PrimaryKey"}}, "Doppelter Wert, Index PrimaryKey"},
        {{3022, "nur einer", "X", {}}, "nur einer"},
        {{3999, "kein Engine-Fehler", "X", {"a", "b"}}, "kein Engine-Fehler"},
    };
    for (const auto& [error, expected] : errors)
        EXPECT_EQ(ErrorDescriptionFor(error), expected);
}

TEST_F(MessagesTest, ReportErrorAppendsOneLineAndOffersToCloseTheWindow)
{
    test::TempDir dir;
    test::ScopedEnv tmp("TMPDIR", dir.Path().c_str());
    const std::string logPath = dir.File("Pfannola.LOG");
    test::WriteFile(logPath, "earlier line\n");

    m_ui.activeWindow = "FrmMenuData";
    m_ui.mainWindowLoaded = true;
    m_ui.statusText = "Menü wird gespeichert";
    m_ui.statusPercent = 40;
    m_ui.Answering(Answer::Yes);

    ReportError({3022, "", "ClMenu.Save", {"Doppelter Wert", "Index PrimaryKey"}}, true);

    const std::string log = test::ReadFile(logPath);
    ASSERT_EQ(log.rfind("earlier line\n", 0), 0u) << "the log must not be truncated";
    const std::string added = log.substr(13);
    EXPECT_TRUE(std::regex_match(
        added, std::regex("\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d\tv2\\.00\\.126 \\[2018-12-28\\]\t"
                          "#3022:Doppelter Wert, Index PrimaryKey/ClMenu\\.Save on form "
                          "FrmMenuData/Statustext=Menü wird gespeichert\n")))
        << added;

    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(m_ui.shown[0].Text, "Der folgende Fehler ist aufgetreten:\r\n"
                                  "#3022:Doppelter Wert, Index PrimaryKey/ClMenu.Save\r\n\r\n"
                                  "Formular: FrmMenuData\r\n"
                                  "Statustext: Menü wird gespeichert [40%]\r\n"
                                  "Protollierung in Datei: " +
                                      logPath +
                                      "\r\n\r\n"
                                      "Soll das Formular geschlossen werden ?");
    EXPECT_EQ(m_ui.shown[0].Caption, "Pfannola [v2.00.126 2018-12-28] Fehlerbehandlung");
    EXPECT_EQ(m_ui.shown[0].Icon, MsgIcon::Critical);
    EXPECT_EQ(m_ui.askedButtons, std::vector<Buttons>{Buttons::YesNo});
    EXPECT_EQ(m_ui.askedDefaults, std::vector<Answer>{Answer::No});
    EXPECT_EQ(m_ui.unloadCalls, 1);
    EXPECT_EQ(m_ui.statusText, "");
    EXPECT_EQ(m_ui.statusPercent, -1);
    EXPECT_EQ(m_ui.lastBusy, false);
}

TEST_F(MessagesTest, ReportErrorWithoutCloseOfferOnlyInformsAndAsksWithoutALogToo)
{
    test::TempDir dir;
    test::ScopedEnv tmp("TMPDIR", dir.Path().c_str());
    m_ui.activeWindow = "Mainform";
    m_ui.Answering(Answer::Ok).Answering(Answer::Cancel);

    ReportError({53, "", "StartProgram", {}}, false);
    ReportError({53, "", "StartProgram", {}}, false);

    ASSERT_EQ(m_ui.shown.size(), 2u);
    EXPECT_EQ(m_ui.shown[0].Text,
              "Der folgende Fehler ist aufgetreten:\r\n#53:Datei nicht gefunden/StartProgram\r\n\r\n"
              "Formular: Mainform\r\nProtollierung in Datei: " +
                  dir.File("Pfannola.LOG"));
    EXPECT_EQ(m_ui.askedButtons, (std::vector<Buttons>{Buttons::OkCancel, Buttons::OkCancel}));
    EXPECT_EQ(m_ui.askedDefaults, (std::vector<Answer>{Answer::Cancel, Answer::Cancel}));
    EXPECT_EQ(m_ui.unloadCalls, 0);

    const std::string log = test::ReadFile(dir.File("Pfannola.LOG"));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);
    EXPECT_NE(log.find("#53:Datei nicht gefunden/StartProgram on form Mainform\n"), std::string::npos);

    // Without a log the question still comes.
    test::ScopedEnv unwritable("TMPDIR", "/nonexistent-folder/deeper");
    m_ui.shown.clear();
    m_ui.Answering(Answer::No);
    ReportError({5, "", "x", {}}, true);
    EXPECT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(m_ui.unloadCalls, 0);
}

TEST_F(MessagesTest, ShowProgressRoutesToSplashOrStatusLine)
{
    // Splash shown, main window loaded, maximum, value, text; then the splash's status, the status
    // line's text and its percentage (before: "alt" and 7).
    const std::tuple<bool, bool, long, long, const char*, const char*, const char*, int> cases[] = {
        {true, true, 10, 5, "Datenbank wird geöffnet ...", "Datenbank wird geöffnet ...", "alt", 7},
        {false, true, 200, 50, "Import", "", "Import", 25},
        {false, true, 10, 15, "zu weit", "", "zu weit", 100},
        {false, true, 3, 1, "Drittel", "", "Drittel", 33},
        {false, true, 0, 5, "ohne Maximum", "", "ohne Maximum", -1},
        {false, true, 100, -3, "ohne Wert", "", "ohne Wert", -1},
        {false, true, -1, -1, "", "", "", -1},
        {false, false, 10, 5, "noch nichts", "", "alt", 7},
    };
    for (const auto& [splash, mainWindow, maximum, value, text, splashStatus, statusText, percent] : cases) {
        SCOPED_TRACE(text);
        m_ui.splashVisible = splash;
        m_ui.mainWindowLoaded = mainWindow;
        m_ui.splashStatus.clear();
        m_ui.statusText = "alt";
        m_ui.statusPercent = 7;
        ShowProgress(maximum, value, text);
        EXPECT_EQ(m_ui.splashStatus, splashStatus);
        EXPECT_EQ(m_ui.statusText, statusText);
        EXPECT_EQ(m_ui.statusPercent, percent);
    }
}

TEST_F(MessagesTest, ShowProgressProcessesEventsAtMostOncePerSecond)
{
    auto now = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
    SetProgressClock([&now] { return now; });
    m_ui.mainWindowLoaded = true;

    ShowProgress(10, 1, "a");
    ShowProgress(10, 2, "b");
    EXPECT_EQ(m_ui.processEventsCalls, 1);
    now += std::chrono::milliseconds(999);
    ShowProgress(10, 3, "c");
    EXPECT_EQ(m_ui.processEventsCalls, 1);
    now += std::chrono::milliseconds(1);
    ShowProgress(10, 4, "d");
    EXPECT_EQ(m_ui.processEventsCalls, 2);
    EXPECT_EQ(m_ui.statusCalls, 4);

    SetProgressClock({});
}

} // namespace
} // namespace pf
