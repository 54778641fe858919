#include "core/Settings.h"

#include "core/AppContext.h"
#include "core/IniFile.h"
#include "core/RememberedAnswers.h"
#include "core/UserSettings.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <map>
#include <tuple>

namespace pf {
namespace {

using test::ReadFile;
using test::ScopedEnv;
using test::TempDir;
using test::WriteFile;

class SettingsTest : public ::testing::Test
{
protected:
    SettingsTest()
    {
        m_ctx.IniFile = m_dir.File("pfannola.INI");
        m_ctx.UserStoreFile = m_dir.File("config/Kelm/Pfannola.ini");
        m_ctx.WinUser = "koch";
        m_ctx.ProgramDir = m_dir.Dir() + "prog/";
        m_ctx.UI = &m_ui;
    }

    std::string Ini() const { return ReadFile(m_ctx.IniFile); }
    std::string UserStore() const { return ReadFile(m_ctx.UserStoreFile); }

    TempDir m_dir;
    AppContext m_ctx;
    test::ScriptedInteraction m_ui;
    ScopedAppContext m_scope{m_ctx};
};

TEST_F(SettingsTest, CommandLineOverrideAndItsDropping)
{
    // The command line, the key, its value there, the command line once the user's own choice
    // replaced the value.
    const std::tuple<const char*, const char*, std::optional<std::string>, const char*> cases[] = {
        {"ShowTips=0", "ShowTips", "0", ""},
        {"/x showtips=1 Weiter=2", "SHOWTIPS", "1", "/x  Weiter=2"},
        {"ShowTips=0 Database=\"/a b/c.mdb\" x=1", "Database", "/a b/c.mdb", "ShowTips=0  x=1"},
        {"Database=\" /a b \"", "Database", "/a b", ""},
        {"Database=\"/offen bis Ende", "Database", "/offen bis Ende", ""},
        {"Database= /x", "Database", "", " /x"},                {"Database=", "Database", "", ""},
        {"XDATABASE=y", "Database", "y", "X"}, // a plain substring test, as the rule is written
        {"Database=/a Database=/b", "Database", "/a", " "},     {"Größe=3", "GRÖßE", "3", ""},
        {"ShowTips 0", "ShowTips", std::nullopt, "ShowTips 0"}, {"", "ShowTips", std::nullopt, ""},
        {"Other=1", "ShowTips", std::nullopt, "Other=1"},       {"=", "", std::nullopt, "="},
    };
    for (const auto& [commandLine, key, expected, afterDrop] : cases) {
        SCOPED_TRACE(commandLine);
        m_ctx.CommandLine = commandLine;
        EXPECT_EQ(CommandLineOverride(key), expected);
        DropCommandLineOverride(key);
        EXPECT_EQ(m_ctx.CommandLine, afterDrop);
        EXPECT_EQ(CommandLineOverride(key), std::nullopt);
    }
}

TEST_F(SettingsTest, ReadChoosesStoreByScopeAndUser)
{
    WriteFile(m_ctx.IniFile,
              "[Pfannola]\nLanguage=1\nBoth=ini\nShowTips=1\nDatabase=/ini.mdb\n[Extra]\nK=ini extra\n");
    WriteFile(m_ctx.UserStoreFile, "[Pfannola]\nBoth=user\nShowTips=1\n[Extra]\nK=user extra\n");
    m_ctx.CommandLine = "ShowTips=0 Database=\"/a b/c.mdb\"";

    // What is read, the user, the settings kept per user, the section and key, read machine-wide, the value.
    const std::tuple<const char*, std::string, bool, const char*, const char*, bool, const char*> cases[] = {
        {"per user from the user store", "koch", true, "", "Both", false, "user"},
        {"other section by name", "koch", true, "Extra", "K", false, "user extra"},
        {"per user missing falls back to the INI file", "koch", true, "", "Language", false, "1"},
        {"missing everywhere gives the default", "koch", true, "", "Nix", false, "dflt"},
        {"machine-wide ignores the user store", "koch", true, "", "Both", true, "ini"},
        {"empty user name reads the INI file", "", true, "", "Both", false, "ini"},
        {"SaveUserRelevant off reads the INI file", "koch", false, "Pfannola", "Both", false, "ini"},
        {"override wins over both stores", "koch", true, "", "ShowTips", false, "0"},
        {"machine-wide override wins over the INI file", "koch", true, "", "Database", true, "/a b/c.mdb"},
    };
    for (const auto& [name, user, perUser, section, key, machineWide, expected] : cases) {
        SCOPED_TRACE(name);
        m_ctx.WinUser = user;
        m_ctx.SaveUserRelevant = perUser;
        EXPECT_EQ(ReadSetting(section, key, "dflt", machineWide), expected);
    }
}

TEST_F(SettingsTest, WriteChoosesStoreByScopeAndUser)
{
    WriteSetting("", "ShowTips", "0", false);
    WriteSetting("", "Database", "/x.mdb", true);
    EXPECT_EQ(UserStore(), "[Pfannola]\nShowTips=0\n");
    EXPECT_EQ(Ini(), "[Pfannola]\nDatabase=/x.mdb\n");

    m_ctx.WinUser.clear();
    WriteSetting("MainWindow", "Top", "5", false);
    EXPECT_EQ(Ini(), "[Pfannola]\nDatabase=/x.mdb\n[MainWindow]\nTop=5\n");
    EXPECT_EQ(ReadSetting("MainWindow", "Top", "0", false), "5");
}

TEST_F(SettingsTest, UserStoreKeepsValuesExactlyAndFailingFallsBackToIniFile)
{
    for (const char* value : {"  eingerückt ", "\"zitiert\"", "'x'", "", "a=b"}) {
        SCOPED_TRACE(value);
        WriteSetting("", "Floskel1", value, false);
        EXPECT_EQ(ReadSetting("", "Floskel1", "?", false), value);
    }
    WriteFile(m_dir.File("blocker"), "kein Ordner");
    m_ctx.UserStoreFile = m_dir.File("blocker/Pfannola.ini");
    WriteSetting("", "ShowTips", "0", false);
    EXPECT_EQ(Ini(), "[Pfannola]\nShowTips=0\n");
    EXPECT_EQ(ReadSetting("", "ShowTips", "1", false), "0");
}

TEST_F(SettingsTest, MachineWideWriteWhileOverriddenStoresNothingAndTells)
{
    m_ctx.CommandLine = "/x database=\"/tmp/a b.mdb\"";
    WriteSetting("", "Database", "/neu.mdb", true);

    EXPECT_FALSE(std::filesystem::exists(m_ctx.IniFile));
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(m_ui.shown[0].Text,
              "Die Einstellung \"Database\" wurde nicht dauerhaft gespeichert, da dieser Wert derzeit "
              "temporär durch Sondereinstellungen verändert wurde! Mehr Hinweise auf diesen Umstand gibt die "
              "Dokumentation zu Pfannola");
    EXPECT_EQ(m_ui.shown[0].Icon, MsgIcon::Information);
    EXPECT_EQ(m_ui.shown[0].Caption, m_ctx.AppCaption);
    EXPECT_FALSE(m_ui.shown[0].Question);

    // A per-user write of an overridden key is stored silently.
    WriteSetting("", "Database", "/neu.mdb", false);
    EXPECT_EQ(UserStore(), "[Pfannola]\nDatabase=/neu.mdb\n");
    EXPECT_EQ(m_ui.shown.size(), 1u);
}

// "Nicht mehr fragen": an answer given with the box ticked is kept per question and per user, a
// cancel never; the options window's reset asks everything again.
TEST_F(SettingsTest, SilencedQuestionsKeepTheirAnswerUntilReset)
{
    // The question, answered with the box ticked, the answer, the buttons, how many of three calls ask.
    const std::tuple<const char*, bool, Answer, Buttons, int> cases[] = {
        {"SaveNoOrigin", true, Answer::Yes, Buttons::YesNo, 1},
        {"SaveOnlyBaseBook", true, Answer::No, Buttons::YesNo, 1},
        {"ScalePermanent", false, Answer::Yes, Buttons::YesNo, 3},
        {"ScalePermanent", true, Answer::Cancel, Buttons::YesNoCancel, 3},
    };
    for (const auto& [key, forGood, given, buttons, asked] : cases) {
        SCOPED_TRACE(key);
        m_ui.shown.clear();
        for (int i = 0; i < asked; ++i)
            forGood ? m_ui.AnsweringForGood(given) : m_ui.Answering(given);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(AskRemembered(key, "Frage?", buttons, Answer::Yes, MsgIcon::Question, ""), given);
        EXPECT_EQ(static_cast<int>(m_ui.shown.size()), asked);
        EXPECT_TRUE(m_ui.AllAnswersUsed());
    }
    // Kept in the per-user store, each question on its own.
    EXPECT_NE(UserStore().find("SaveOnlyBaseBook=Nein"), std::string::npos) << UserStore();
    EXPECT_TRUE(HasRememberedAnswer("SaveOnlyBaseBook"));
    EXPECT_FALSE(HasRememberedAnswer("ScalePermanent"));
    ForgetRememberedAnswers();
    EXPECT_FALSE(HasRememberedAnswer("SaveOnlyBaseBook"));
    m_ui.Answering(Answer::No);
    EXPECT_EQ(AskRemembered("SaveOnlyBaseBook", "Frage?", Buttons::YesNo, Answer::Yes, MsgIcon::Question, ""),
              Answer::No);
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

TEST(Settings, ConvertsTextToNumbersAndBooleans)
{
    const std::tuple<const char*, long, bool> cases[] = {
        {"wahr", 0, true},                           {"True", 0, true},
        {"TRUE", 0, true},                           {"1", 1, true},
        {"-1", -1, true},                            {"", 0, false},
        {"0", 0, false},                             {"nein", 0, false},
        {"False", 0, false},                         {"12abc", 12, true},
        {" 7", 7, true},                             {"+3", 3, true},
        {"0.5", 0, true},                            {"-0.0", 0, false},
        {"x1", 0, false},                            {"- 1", 0, false},
        {"99999999999999999999999", LONG_MAX, true},
    };
    for (const auto& [text, number, boolean] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(SettingToLong(text), number);
        EXPECT_EQ(SettingToBool(text), boolean);
    }
}

TEST_F(SettingsTest, DataDirectoryByBaseDirType)
{
    ScopedEnv xdg("XDG_DATA_HOME", m_dir.File("xdg").c_str());
    WriteFile(m_ctx.UserStoreFile, "[Pfannola]\nBASEDIR=" + m_dir.File("eigen") + "\n");
    std::filesystem::create_directories(m_ctx.ProgramDir);

    const std::pair<const char*, std::string> cases[] = {
        {"", m_dir.File("xdg") + "/Pfannola/"},  {"0", m_dir.File("xdg") + "/Pfannola/"},
        {"1", m_ctx.ProgramDir},                 {"2", m_dir.File("eigen") + "/"},
        {"7", ""},
    };
    for (const auto& [type, expected] : cases) {
        SCOPED_TRACE(type);
        WriteFile(m_ctx.IniFile, std::string("[Pfannola]\nBaseDirType=") + type + "\n");
        m_ctx.DataDir = "alt";
        DetermineDataDirectory();
        EXPECT_EQ(m_ctx.DataDir, expected);
        if (!expected.empty()) {
            EXPECT_TRUE(std::filesystem::is_directory(expected));
        }
    }
}

// The per-user options a new user starts with, and how stored values are taken: a value of the
// wrong type keeps the option's default and leaves a line in the error log; a value the conversion
// rules read (leading digits, the Boolean words) is taken as it is, within the option's range.
TEST_F(SettingsTest, UserOptionsDefaultsRangesAndWrongTypes)
{
    ScopedEnv tmp("TMPDIR", m_dir.Dir().c_str());
    // Key, stored value (null: nothing stored), the value read, whether the error log names it.
    const std::tuple<const char*, const char*, long, bool> cases[] = {
        {"EditSaveDel", nullptr, 1, false},  {"EditSaveDel", "0", 0, false},
        {"ExportBreak", nullptr, 70, false}, {"ExportBreak", "300", 44, false},
        {"EditFlags", nullptr, 12, false},   {"EditSortModus", nullptr, 0, false},
        {"EditSortModus", "1", 1, false},    {"EditSortModus", "2", 0, false},
        {"EditSortModus", "-1", 0, false},   {"ExportAbhaengigkeiten", nullptr, 1, false},
        {"ExportBreak", "breit", 70, true},  {"ExportBreak", "60 Zeichen", 60, false},
        {"PrintSimple", "x16", 16, true},    {"PrintSimple", "-3", -3, false},
        {"ShowTips", "vielleicht", 1, true}, {"ShowTips", "falsch", 0, false},
        {"ShowTips", "nein", 0, false},      {"EditSaveDel", "Wahr", 1, false},
        {"EditOwnCat", "ja bitte", 0, true}, {"EditOwnCat", "", 0, false},
    };
    const auto read = [](const UserSettings& u, const std::string& key) {
        const std::map<std::string, long> values = {
            {"EditSaveDel", u.EditSaveDel}, {"ExportBreak", u.ExportBreak},
            {"EditFlags", u.EditFlags},     {"EditSortModus", u.EditSortModus},
            {"PrintSimple", u.PrintSimple}, {"ShowTips", u.ShowTips},
            {"EditOwnCat", u.EditOwnCat},   {"ExportAbhaengigkeiten", u.ExportAbhaengigkeiten}};
        return values.at(key);
    };
    const std::string log = m_dir.File("Pfannola.LOG");
    for (const auto& [key, stored, expected, logged] : cases) {
        SCOPED_TRACE(std::string(key) + "=" + (stored ? stored : "(nichts)"));
        std::filesystem::remove(m_ctx.UserStoreFile);
        std::filesystem::remove(log);
        if (stored)
            WriteSetting("", key, stored, false);
        EXPECT_EQ(read(ReadUserSettings(), key), expected);
        const std::string text = std::filesystem::exists(log) ? ReadFile(log) : std::string();
        if (stored) {
            EXPECT_EQ(text.find(std::string(key) + "=\"" + stored + "\"") != std::string::npos, logged)
                << text;
        }
    }
}

TEST_F(SettingsTest, XdgFoldersFallBackToHome)
{
    ScopedEnv home("HOME", m_dir.File("home").c_str());
    ScopedEnv data("XDG_DATA_HOME", nullptr);
    ScopedEnv relative("XDG_CONFIG_HOME", "relativ/ungueltig");
    DetermineDataDirectory();
    EXPECT_EQ(m_ctx.DataDir, m_dir.File("home") + "/.local/share/Pfannola/");
    EXPECT_TRUE(std::filesystem::is_directory(m_ctx.DataDir));
    EXPECT_EQ(DefaultUserStoreFile(), m_dir.File("home") + "/.config/Kelm/Pfannola.ini");

    ScopedEnv config("XDG_CONFIG_HOME", "/etc/xdg-test");
    EXPECT_EQ(DefaultUserStoreFile(), "/etc/xdg-test/Kelm/Pfannola.ini");
}

TEST_F(SettingsTest, WindowPlacement)
{
    SaveWindow({0, 300, 400, 10, 20, true}, "Mainform");
    EXPECT_EQ(UserStore(), "[MainformWindow]\nWindowState=0\nHeight=300\nWidth=400\nTop=10\nLeft=20\n");

    // Maximised or fixed-size windows keep their stored size.
    SaveWindow({2, 1, 1, 0, 0, true}, "Mainform");
    SaveWindow({0, 9, 9, 3, 4, false}, "FrmFix");
    EXPECT_EQ(UserStore(), "[MainformWindow]\nWindowState=2\nHeight=300\nWidth=400\nTop=0\nLeft=0\n"
                           "[FrmFixWindow]\nWindowState=0\nTop=3\nLeft=4\n");

    WindowPlacement restored{1, 50, 60, 70, 80, true};
    RestoreWindow(restored, "Mainform");
    EXPECT_EQ(restored.WindowState, 2);
    EXPECT_EQ(restored.Height, 50); // not read for a maximised window
    EXPECT_EQ(restored.Top, 0);

    WindowPlacement unknown{0, 50, 60, 70, 80, true};
    RestoreWindow(unknown, "FrmNeu");
    EXPECT_EQ(std::tie(unknown.Height, unknown.Width, unknown.Top, unknown.Left),
              std::make_tuple(50, 60, 70, 80));
}

} // namespace
} // namespace pf
