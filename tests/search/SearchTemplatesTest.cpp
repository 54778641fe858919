#include "search/SearchTemplates.h"

#include "tests/search/SearchTestDb.h"

namespace pf::test {
namespace {

class SearchTemplatesTest : public SearchDb
{
protected:
    std::vector<std::pair<long, std::string>> Rows()
    {
        std::vector<std::pair<long, std::string>> rows;
        for (auto rs = db->OpenRecordset("SELECT ID,Suchname FROM T_SUCHE_KOPF ORDER BY ID"); !rs->Eof();
             rs->MoveNext())
            rows.emplace_back(static_cast<long>(rs->Field(0).AsLong()), rs->Field(1).AsText());
        return rows;
    }
};

TEST_F(SearchTemplatesTest, SaveListCompareAndDelete)
{
    SearchTemplates templates(db.get());
    EXPECT_EQ(templates.SaveSearchTemplateData(-1, "Torten", "", "1,\"torte\""), 1);
    EXPECT_EQ(templates.SaveSearchTemplateData(-1, "Meine Suppen", "koch", "1,\"suppe\""), 2);
    EXPECT_EQ(templates.SaveSearchTemplateData(-1, "Fremde", "anna", "2,9000"), 3);
    // Saving under an existing ID changes that template.
    EXPECT_EQ(templates.SaveSearchTemplateData(2, "Meine Suppen", "koch", "1,\"suppe\",1004"), 2);
    EXPECT_EQ(templates.GetSearchTemplateData(2), "1,\"suppe\",1004");
    EXPECT_EQ(templates.GetSearchTemplateData(9), "");
    EXPECT_EQ(templates.CompareSearchTemplateData("2,9000"), 3);
    EXPECT_EQ(templates.CompareSearchTemplateData("2,9001"), -1);
    EXPECT_EQ(templates.FindByName("meine suppen"), 2);

    EXPECT_EQ(Each(templates.FillSearchTemplateList("koch"), &SearchTemplateItem::Name),
              (std::vector<std::string>{"Meine Suppen", "Torten"}));
    EXPECT_EQ(templates.FillSearchTemplateList().size(), 3u);

    EXPECT_TRUE(templates.DelSearchTemplatedata(1));
    EXPECT_EQ(Rows().size(), 2u);
}

TEST_F(SearchTemplatesTest, DefaultTemplateSwapsIdsThroughMinusOne)
{
    SearchTemplates templates(db.get());
    templates.SaveSearchTemplateData(-1, "A", "", "1,\"a\"");
    templates.SaveSearchTemplateData(-1, "B", "", "1,\"b\"");
    templates.SaveSearchTemplateData(-1, "C", "", "1,\"c\"");
    // No default yet: the template simply takes ID 0.
    ASSERT_TRUE(templates.SetSearchTemplateDefault(2));
    EXPECT_EQ(Rows(), (std::vector<std::pair<long, std::string>>{{0, "B"}, {1, "A"}, {3, "C"}}));
    // With a default: the two swap.
    ASSERT_TRUE(templates.SetSearchTemplateDefault(3));
    EXPECT_EQ(Rows(), (std::vector<std::pair<long, std::string>>{{0, "C"}, {1, "A"}, {3, "B"}}));
    // -1: the default gets the next free ID, so there is none.
    ASSERT_TRUE(templates.SetSearchTemplateDefault(-1));
    EXPECT_EQ(Rows(), (std::vector<std::pair<long, std::string>>{{1, "A"}, {3, "B"}, {4, "C"}}));
}

} // namespace
} // namespace pf::test
