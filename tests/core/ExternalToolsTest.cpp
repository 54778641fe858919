#include "core/ExternalTools.h"

#include "core/ProcessRunner.h"
#include "core/Settings.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace pf {
namespace {

using test::ReadFile;
using test::TempDir;

ToolValues Values()
{
    ToolValues v;
    v.Database = "/daten/Pfannola.MDB";
    v.BookId = "7";
    v.BookTitle = "Omas Küche";
    v.File = "/tmp/x/Werkzeug.mmf";
    v.Clipboard = "Rösti; rm -rf / $(id)";
    v.TempDir = "/tmp/x/";
    return v;
}

TEST(ExternalTools, FillsInEnvironmentAndPlaceholdersAfterSplittingAndNamesTheActionFile)
{
    ::setenv("PF_TOOL_HOME", "/home/koch", 1);
    ::unsetenv("PF_TOOL_UNSET");
    const std::pair<const char*, const char*> cases[] = {
        {"%PF_TOOL_HOME%/bin/wandler", "/home/koch/bin/wandler"}, {"%PF_TOOL_UNSET%/x", "%PF_TOOL_UNSET%/x"},
        {"100%% sicher", "100% sicher"},                           {"50% offen", "50% offen"},
        {"&db|&bid|&book|&fil|&tmp", "/daten/Pfannola.MDB|7|Omas Küche|/tmp/x/Werkzeug.mmf|/tmp/x/"},
        {"&DB und &Book", "/daten/Pfannola.MDB und Omas Küche"},
        {"Salz & Pfeffer &unbekannt", "Salz & Pfeffer &unbekannt"},
        {"&tmpWerkzeug.mx2", "/tmp/x/Werkzeug.mx2"},                {"", ""},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ExpandToolText(text, Values()), expected) << text;

    // Splitting comes first: a value with blanks, quotes or shell signs stays one argument, as written.
    using Args = std::vector<std::string>;
    const std::pair<const char*, Args> lines[] = {
        {"wandler -i &fil -o  &tmp", {"wandler", "-i", "/tmp/x/Werkzeug.mmf", "-o", "/tmp/x/"}},
        {"\"/opt/Mein Programm/start\" \"a b\" \"\"", {"/opt/Mein Programm/start", "a b", ""}},
        {"echo &clp", {"echo", "Rösti; rm -rf / $(id)"}},
        {"echo --titel=\"&book\"", {"echo", "--titel=Omas Küche"}},
        {"   ", {}}, {"\"\" x", {}},
    };
    for (const auto& [line, expected] : lines)
        EXPECT_EQ(ToolArguments(line, Values()), expected) << line;

    // The action file defaults to the temporary folder, named by the format.
    ExternalTool tool;
    tool.ActionType = tooltype::kMensax;
    EXPECT_EQ(ToolActionFile(tool, Values()), "/tmp/x/Werkzeug.mx2");
    tool.ActionFilename = "&tmpausgabe.txt";
    EXPECT_EQ(ToolActionFile(tool, Values()), "/tmp/x/ausgabe.txt");
}

TEST(ExternalTools, TableRoundTripKeepsUnusedSlotsAndClearsRemovedOnes)
{
    TempDir dir;
    AppContext context;
    context.IniFile = dir.File("Pfannola.INI");
    context.UserStoreFile = dir.File("user.ini");
    test::ScriptedInteraction ui;
    context.UI = &ui;
    ScopedAppContext scope(context);

    const std::vector<ExternalTool> three = {
        {"Wandler", "wandler &fil", "&tmpa.mmf", 3, 1, "/opt"},
        {},
        {"Bildgröße", "mogrify -resize 50% &fil", "", 0, 0, ""},
    };
    WriteToolTable(three);
    const std::vector<ExternalTool> read = ReadToolTable();
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].Command, "wandler &fil");
    EXPECT_EQ(read[0].Action, 3);
    EXPECT_EQ(read[0].ActionType, 1);
    EXPECT_EQ(read[0].Workingdir, "/opt");
    EXPECT_FALSE(ToolUsed(read[1]));
    EXPECT_EQ(read[1].Action, -1);
    EXPECT_EQ(read[2].Name, "Bildgröße");

    WriteToolTable({three[0]});
    EXPECT_EQ(ReadToolTable().size(), 1u);
    EXPECT_EQ(ReadSetting("TOOLS3", "Name", "", true), "");
    EXPECT_EQ(ReadSetting("TOOLS3", "Command", "", true), "");
}

TEST(ProcessRunner, RunsWithoutShellInTheWorkingFolderReportsTheEndAndStopsWhenAsked)
{
    TempDir dir;
    // The value arrives as one argument, its shell signs untouched.
    const std::vector<std::string> write =
        ToolArguments("sh -c \"pwd > pwd.txt; IFS=; printf %s $1 > arg.txt\" sh &clp", Values());
    ASSERT_EQ(write.size(), 5u);
    ProcessResult result = RunProcess(write, dir.Dir());
    ASSERT_TRUE(result.Started) << result.Error;
    EXPECT_EQ(result.ExitCode, 0);
    EXPECT_EQ(ReadFile(dir.File("arg.txt")), Values().Clipboard);
    std::string pwd = ReadFile(dir.File("pwd.txt"));
    while (!pwd.empty() && pwd.back() == '\n')
        pwd.pop_back();
    EXPECT_TRUE(std::filesystem::equivalent(pwd, dir.Dir())) << pwd;

    result = RunProcess({"sh", "-c", "exit 3"}, "");
    EXPECT_TRUE(result.Started);
    EXPECT_EQ(result.ExitCode, 3);

    result = RunProcess({"/nirgends/wandler"}, "");
    EXPECT_FALSE(result.Started);
    EXPECT_FALSE(result.Error.empty());
    result = RunProcess({"sh", "-c", "true"}, dir.File("fehlt"));
    EXPECT_FALSE(result.Started);

    // Stopped when asked.
    int asked = 0;
    result = RunProcess({"sleep", "600"}, "", [&asked] { return ++asked >= 2; });
    EXPECT_TRUE(result.Started);
    EXPECT_TRUE(result.Stopped);
    EXPECT_EQ(asked, 2);
}

} // namespace
} // namespace pf
