// The "lexicon" command on a database made by "init" (which carries the shipped lexicon), and
// the upgrade that fills the lexicon of a database that has none.

#include "db/Database.h"
#include "tests/app/CliFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pf {
namespace {

class CliLexiconTest : public test::CliFixture
{
protected:
    // A database made by "init" whose lexicon was emptied afterwards.
    std::string WithoutLexicon()
    {
        const std::string path = InitDatabase("lexikon.MDB");
        auto db = Database::OpenSqlite(path);
        for (const char* table : {"T_INFO_KEY", "T_INFO_TREE", "T_LEXIKON", "T_GIFT", "T_GERAET"})
            db->Execute(std::string("DELETE FROM ") + table);
        return path;
    }

    static std::string IdOf(const std::string& path, const std::string& area, const std::string& keyword)
    {
        return Database::OpenSqlite(path)
            ->Scalar("SELECT ID FROM T_INFO_KEY WHERE KEYTYPE=" + area + " AND [KEY]='" + keyword + "'")
            .AsText();
    }
};

TEST_F(CliLexiconTest, PrintsAreaIdAndKeywordOfEveryHit)
{
    const std::string path = InitDatabase("lexikon.MDB");
    struct Case
    {
        std::vector<std::string> Words; // after "lexicon"
        std::vector<std::string> Lines; // area, keyword: each must be printed
    };
    const std::vector<Case> cases = {
        {{"blanchieren"}, {"5\tBlanchieren"}},
        {{"Spätzle"}, {"0\tSpätzleteig", "2\tSpätzlepresse", "2\tSpätzlehobel"}},
        {{"--area", "2", "Spaetzle"}, {"2\tSpätzlepresse", "2\tSpätzlehobel"}},
        {{"E330"}, {"1\tE330"}},
        {{"--area", "16384", "Limonaden"}, {"1\tTartrazin", "1\tE 102"}},
        {{"vitamin", "c"}, {"10\tVitamin C"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Words.back());
        ASSERT_EQ(RunOn(path, {"lexicon"}, c.Words), 0) << err.str();
        for (const std::string& line : c.Lines) {
            const std::string area = line.substr(0, line.find('\t'));
            const std::string keyword = line.substr(line.find('\t') + 1);
            EXPECT_NE(out.str().find(area + "\t" + IdOf(path, area, keyword) + "\t" + keyword + "\n"),
                      std::string::npos)
                << out.str();
        }
    }
    ASSERT_EQ(Run({"--db", path, "lexicon", "--area", "2", "Spätzle"}), 0);
    EXPECT_EQ(out.str().find("0\t"), std::string::npos) << "only utensils were asked for";

    ASSERT_EQ(Run({"--db", path, "lexicon", "xqxqxqxq"}), 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "Im Lexikon wurde nichts gefunden.\n");
}

TEST_F(CliLexiconTest, UpgradeFillsAnEmptyLexicon)
{
    const std::string path = WithoutLexicon();
    ASSERT_EQ(Run({"--db", path, "upgrade"}), 0) << err.str();
    EXPECT_NE(out.str().find("Das Lexikon wurde mit den mitgelieferten Einträgen gefüllt."),
              std::string::npos);
    ASSERT_EQ(Run({"--db", path, "lexicon", "pochieren"}), 0);
    EXPECT_NE(out.str().find("\tPochieren\n"), std::string::npos);
    ASSERT_EQ(Run({"--db", path, "upgrade"}), 0) << err.str();
    EXPECT_EQ(out.str().find("Lexikon"), std::string::npos);
}

TEST_F(CliLexiconTest, EveryCommandFillsAnEmptyLexiconOfAWritableFileOnly)
{
    const std::string path = WithoutLexicon();
    namespace fs = std::filesystem;
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    ASSERT_EQ(Run({"--db", path, "lexicon", "pochieren"}), 0) << err.str();
    EXPECT_EQ(out.str(), "");
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(Database::OpenSqlite(path)->Scalar("SELECT COUNT(*) FROM T_INFO_KEY").AsLong(), 0);

    ASSERT_EQ(Run({"--db", path, "lexicon", "pochieren"}), 0) << err.str();
    EXPECT_NE(err.str().find("Das Lexikon wurde mit den mitgelieferten Einträgen gefüllt."),
              std::string::npos)
        << err.str();
    EXPECT_NE(out.str().find("\tPochieren\n"), std::string::npos);
    ASSERT_EQ(Run({"--db", path, "info"}), 0) << err.str();
    EXPECT_EQ(err.str().find("Lexikon"), std::string::npos);
}

} // namespace
} // namespace pf
