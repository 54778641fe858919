// The "lexicon" command on a database made by "init" (which carries the shipped lexicon), and
// the upgrade that fills the lexicon of a database that has none.

#include "db/Database.h"
#include "tests/app/CliFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pf {
namespace {

using test::HasSubstr;
using test::Not;

class CliLexiconTest : public test::CliFixture
{
protected:
    // A database made by "init" whose lexicon was emptied afterwards.
    std::string WithoutLexicon()
    {
        return InitDatabase("lexikon.MDB",
                            {"DELETE FROM T_INFO_KEY", "DELETE FROM T_INFO_TREE", "DELETE FROM T_LEXIKON",
                             "DELETE FROM T_GIFT", "DELETE FROM T_GERAET"});
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
    // The words after "lexicon"; the lines that must be printed, each as area and keyword.
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{"blanchieren"}, {"5\tBlanchieren"}},
        {{"Spätzle"}, {"0\tSpätzleteig", "2\tSpätzlepresse", "2\tSpätzlehobel"}},
        {{"--area", "2", "Spaetzle"}, {"2\tSpätzlepresse", "2\tSpätzlehobel"}},
        {{"E330"}, {"1\tE330"}},
        {{"--area", "16384", "Limonaden"}, {"1\tTartrazin", "1\tE 102"}},
        {{"vitamin", "c"}, {"10\tVitamin C"}},
    };
    for (const auto& [words, lines] : cases) {
        SCOPED_TRACE(words.back());
        ASSERT_EQ(RunOn(path, {"lexicon"}, words), 0) << err.str();
        for (const std::string& line : lines) {
            const std::string area = line.substr(0, line.find('\t'));
            const std::string keyword = line.substr(line.find('\t') + 1);
            EXPECT_THAT(out.str(),
                        HasSubstr(area + "\t" + IdOf(path, area, keyword) + "\t" + keyword + "\n"));
        }
    }
    // Only utensils were asked for.
    EXPECT_THAT(Out({"--db", path, "lexicon", "--area", "2", "Spätzle"}), Not(HasSubstr("0\t")));
    EXPECT_EQ(Out({"--db", path, "lexicon", "xqxqxqxq"}), "");
    EXPECT_EQ(err.str(), "Im Lexikon wurde nichts gefunden.\n");
}

TEST_F(CliLexiconTest, UpgradeFillsAnEmptyLexicon)
{
    const std::string path = WithoutLexicon();
    EXPECT_THAT(Out({"--db", path, "upgrade"}),
                HasSubstr("Das Lexikon wurde mit den mitgelieferten Einträgen gefüllt."));
    EXPECT_THAT(Out({"--db", path, "lexicon", "pochieren"}), HasSubstr("\tPochieren\n"));
    EXPECT_THAT(Out({"--db", path, "upgrade"}), Not(HasSubstr("Lexikon")));
}

TEST_F(CliLexiconTest, EveryCommandFillsAnEmptyLexiconOfAWritableFileOnly)
{
    const std::string path = WithoutLexicon();
    namespace fs = std::filesystem;
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(Out({"--db", path, "lexicon", "pochieren"}), "");
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(Database::OpenSqlite(path)->Scalar("SELECT COUNT(*) FROM T_INFO_KEY").AsLong(), 0);

    EXPECT_THAT(Out({"--db", path, "lexicon", "pochieren"}), HasSubstr("\tPochieren\n"));
    EXPECT_THAT(err.str(), HasSubstr("Das Lexikon wurde mit den mitgelieferten Einträgen gefüllt."));
    Out({"--db", path, "info"});
    EXPECT_THAT(err.str(), Not(HasSubstr("Lexikon")));
}

} // namespace
} // namespace pf
