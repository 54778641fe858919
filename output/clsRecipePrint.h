#pragma once
// Lays recipes out on the pages of a print job, one recipe after another: the standard printout
// (header with title and facts, ingredient lines, notes, preparation, pictures), the working
// recipe for the kitchen, and the recipe list with one row per recipe. Every page ends with the
// common footer. Positions are twips of the canvas's printable area; the font is "Arial"
// throughout. The job reads from the recipe's database (names, sources, pictures) and writes
// nothing; text never runs into other text, the footer or the printable area's edges.

#include "model/ModelObject.h"
#include "output/PageCanvas.h"
#include "output/TextFlow.h"

#include <string>
#include <vector>

namespace pf {

class ClRecipe;

class clsRecipePrint : public ModelObject
{
public:
    static constexpr int kStandard = 0;
    static constexpr int kWorkingRecipe = 1;
    static constexpr int kRecipeList = 10;

    // Content flags (the PrintSimple setting): a section is printed only when its bit is set.
    static constexpr long kSource = 1;
    static constexpr long kOrigin = 2;
    static constexpr long kKeeping = 4;
    static constexpr long kUtensils = 8;
    static constexpr long kCategories = 16;
    static constexpr long kTimes = 64;
    static constexpr long kNotes = 128;
    static constexpr long kPicturesAfter = 256;
    static constexpr long kHeaderPicture = 512;
    static constexpr long kMenuCardTitle = 1024;
    static constexpr long kGuests = 2048;
    static constexpr long kWine = 4096;

    // Starts a job on the canvas. twoPart switches the ingredient layout that prints each line's
    // ingredient in bold followed by its processing and preparation texts.
    void PrintInit(PageCanvas& canvas, int mode, long flags, bool twoPart);
    // Prints the recipe as it is (scaled or not) in the job's mode; last marks the job's final
    // recipe, whose last page starts no new one. False, with LastError, when the database failed.
    bool PrintRecipe(ClRecipe& recipe, bool last);
    // Header of the current recipe's page: with the picture on its first page, without on later ones.
    void RecipeHeader(bool withPicture);
    // Footer of the current recipe's page; starts a new page unless last.
    void RecipeFooter(bool last);
    // Ends the document; false when it could not be written.
    bool PrintFinalize();

    // "Standardausdruck", "Arbeitsrezept", "Rezeptliste"; "" for any other mode.
    static std::string ModeTypeName(int mode);
    // The three keeping times as one text: "3 Tage gekühlt, 1 Monat tiefgekühlt"; "" when all are 0.
    static std::string KeepingText(long pantryDays, long fridgeDays, long freezerMonths);

private:
    struct Columns
    {
        double QuantityEnd;
        double TextStart;
        double TextEnd;
        double Size;
    };
    struct Fact
    {
        std::string Label;
        std::string Value;
    };

    PageCanvas& Canvas() const { return *m_canvas; }
    double LetterA(double size, bool bold = false);
    // The right edge for text at height y: left of the header picture while beside it.
    double RightLimit(double y) const;
    double Bottom();
    // Starts the next page of the recipe when fewer than five heights of "A" remain.
    void BreakIfLow(double size);
    void PageBreak();
    // Prints a flow line by line from left, each line within the right limit and on the page.
    void PrintFlow(TextFlow& flow, double left, double right);
    void PrintParagraphs(const std::string& text, double size, double left);
    void Heading(const std::string& text, double size = 12);
    void Gap(double size, double share);
    void Note(const std::string& text);
    // "Seite N" flush right beside the title on a continuation page; its width, 0 on a first page.
    double PageLabel(double titleSize);

    std::vector<Fact> Facts();
    std::string SourceLine();
    std::string NameOfAddress(long id);
    Blob HeaderPictureData();
    void PrintFacts();
    void PrintIngredients(const Columns& columns);
    void PrintIngredientLine(int index, const Columns& columns);
    void PrintPictures(bool withHeading);
    void PrintGuests();
    void StandardBody();
    void WorkingBody();
    void ListHeader();
    void ListRow();

    PageCanvas* m_canvas = nullptr;
    int m_mode = kStandard;
    long m_flags = 0;
    bool m_twoPart = false;
    ClRecipe* m_recipe = nullptr;
    int m_firstPage = 1;
    double m_y = 0;
    double m_pictureLeft = 0;     // left edge of the header picture
    double m_pictureLimit = 0;    // below it the text runs across the page; 0 without picture
    bool m_headerPicture = false; // the recipe's first picture stands in its header
    bool m_pageOpen = false;      // a page was begun and has no footer yet
    bool m_listStarted = false;
    long m_listCount = 0;
};

} // namespace pf
