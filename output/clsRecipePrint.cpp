#include "output/clsRecipePrint.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "literature/clLiteratur.h"
#include "model/AddressNames.h"
#include "model/ClRecipe.h"
#include "model/RecipeText.h"
#include "model/clBlob.h"
#include "output/PageFooter.h"

#include <algorithm>
#include <optional>

namespace pf {

namespace {

// Geometry of the standard printout, in twips from the printable area's top left corner.
constexpr double kLabelX = 512;
constexpr double kValueX = 2900;
constexpr double kValueMargin = 512;
constexpr double kTitleOffset = 150;
constexpr double kPictureBox = 3000;
constexpr double kPictureTop = 250;
constexpr double kPictureLimitGap = 400;
constexpr double kBesidePicture = 150; // text keeps this far from the header picture
constexpr double kSeparatorX = 700;
constexpr double kPictureSide = 300;
constexpr double kPictureBottom = 250;
constexpr double kBreakReserve = 5; // heights of "A" that must remain before a line or section
constexpr double kLabelSize = 10;

std::string Join(const std::vector<std::string>& parts, const char* separator)
{
    std::string text;
    for (const std::string& part : parts)
        if (!part.empty())
            text += (text.empty() ? "" : separator) + part;
    return text;
}

std::string Counted(long count, const char* one, const char* many, const char* label)
{
    return std::to_string(count) + " " + (count < 2 ? one : many) + " " + label;
}

} // namespace

std::string clsRecipePrint::ModeTypeName(int mode)
{
    switch (mode) {
    case kStandard:
        return "Standardausdruck";
    case kWorkingRecipe:
        return "Arbeitsrezept";
    case kRecipeList:
        return "Rezeptliste";
    default:
        return {};
    }
}

std::string clsRecipePrint::KeepingText(long pantryDays, long fridgeDays, long freezerMonths)
{
    std::vector<std::string> parts;
    if (pantryDays != 0)
        parts.push_back(Counted(pantryDays, "Tag", "Tage", "gelagert"));
    if (fridgeDays != 0)
        parts.push_back(Counted(fridgeDays, "Tag", "Tage", "gekühlt"));
    if (freezerMonths != 0)
        parts.push_back(Counted(freezerMonths, "Monat", "Monate", "tiefgekühlt"));
    return Join(parts, ", ");
}

void clsRecipePrint::PrintInit(PageCanvas& canvas, int mode, long flags, bool twoPart)
{
    m_canvas = &canvas;
    m_mode = mode;
    m_flags = flags;
    m_twoPart = twoPart;
    m_recipe = nullptr;
    m_listStarted = false;
    m_listCount = 0;
    m_pageOpen = false;
    LastErrorClear();
}

bool clsRecipePrint::PrintRecipe(ClRecipe& recipe, bool last)
{
    LastErrorClear();
    m_recipe = &recipe;
    const bool done = Recorded([&] {
        if (m_mode == kRecipeList) {
            if (!m_listStarted) {
                m_firstPage = Canvas().PageNumber();
                m_listStarted = true;
                ListHeader();
            }
            ListRow();
            if (last)
                RecipeFooter(true);
            return;
        }
        m_firstPage = Canvas().PageNumber();
        m_headerPicture = false;
        RecipeHeader(true);
        if (m_mode == kWorkingRecipe)
            WorkingBody();
        else
            StandardBody();
        RecipeFooter(last);
    });
    if (!done && m_pageOpen && m_mode != kRecipeList)
        RecipeFooter(last); // the next recipe starts on a page of its own
    m_recipe = nullptr;
    return done;
}

bool clsRecipePrint::PrintFinalize()
{
    if (!m_canvas)
        return false;
    // A job that ended without its last recipe still gets the footer on its last page.
    if (m_pageOpen)
        PrintPageFooter(Canvas(), {}, true);
    m_pageOpen = false;
    const bool written = Canvas().Finish();
    m_canvas = nullptr;
    return written;
}

double clsRecipePrint::LetterA(double size, bool bold)
{
    Canvas().SetFont(Arial(size, bold));
    return Canvas().TextHeight();
}

double clsRecipePrint::RightLimit(double y) const
{
    if (m_pictureLimit > 0 && y < m_pictureLimit)
        return m_pictureLeft - kBesidePicture;
    return Canvas().Width();
}

double clsRecipePrint::Bottom()
{
    return Canvas().Height() - PageFooterReserve(Canvas());
}

void clsRecipePrint::BreakIfLow(double size)
{
    if (m_y + kBreakReserve * LetterA(size) > Canvas().Height())
        PageBreak();
}

void clsRecipePrint::PageBreak()
{
    RecipeFooter(false);
    if (m_mode == kRecipeList)
        ListHeader();
    else
        RecipeHeader(false);
}

void clsRecipePrint::RecipeFooter(bool last)
{
    PageFooter footer;
    if (m_mode != kRecipeList && m_recipe)
        footer.Label = "Rezept #" + std::to_string(m_recipe->id());
    PrintPageFooter(Canvas(), footer, last);
    m_pageOpen = !last;
    m_y = 0;
    m_pictureLimit = 0;
}

void clsRecipePrint::PrintFlow(TextFlow& flow, double left, double right)
{
    while (!flow.AtEnd()) {
        if (m_y + flow.LineHeight() > Bottom())
            PageBreak();
        const std::vector<PlacedText> line = flow.NextLine(left, std::min(right, RightLimit(m_y)));
        flow.Draw(line, m_y);
        m_y += flow.LineHeight();
    }
}

void clsRecipePrint::PrintParagraphs(const std::string& text, double size, double left)
{
    TextFlow flow(Canvas(), Arial(size), {{text}});
    PrintFlow(flow, left, Canvas().Width());
}

void clsRecipePrint::Heading(const std::string& text, double size)
{
    BreakIfLow(size);
    TextFlow flow(Canvas(), Arial(size), {{text, true}});
    PrintFlow(flow, 0, Canvas().Width());
}

void clsRecipePrint::Gap(double size, double share)
{
    m_y += LetterA(size) * share;
}

void clsRecipePrint::Note(const std::string& text)
{
    TextFlow flow(Canvas(), Arial(kLabelSize), {{text, false, true}});
    PrintFlow(flow, 0, Canvas().Width());
}

// --- header ---------------------------------------------------------------------------------------

std::string clsRecipePrint::NameOfAddress(long id)
{
    return AddressNameOf(m_recipe->Db(), id);
}

std::string clsRecipePrint::SourceLine()
{
    ClRecipe& recipe = *m_recipe;
    std::string line;
    if (const long id = recipe.Sourcebook(); id != 0) {
        clLiteratur source;
        source.SetDB(&recipe.Db());
        if (source.Loadr(id)) {
            // Title, publisher, year and issue as everywhere a source is named; the author after them.
            line = Join({source.GetTitleText(), source.Autor()}, ", ");
            if (recipe.SourcePage() > 0)
                line += ", Seite " + std::to_string(recipe.SourcePage());
        }
    }
    return Join({line, recipe.SourceText()}, ", ");
}

std::vector<clsRecipePrint::Fact> clsRecipePrint::Facts()
{
    ClRecipe& recipe = *m_recipe;
    std::vector<Fact> facts;
    auto add = [&](long flag, const char* label, std::string value) {
        if ((flag == 0 || (m_flags & flag) != 0) && !value.empty())
            facts.push_back({label, std::move(value)});
    };
    if (recipe.Yield() != 0)
        add(0, "Mengenangaben", Join({std::to_string(recipe.Yield()), recipe.YieldUnitText()}, " "));
    add(kOrigin, "Herkunft", recipe.OriginName());
    if (m_flags & kSource)
        add(kSource, "Quelle", SourceLine());
    add(kWine, "Weinempfehlung", recipe.WineDegustation());
    add(kKeeping, "Haltbarkeitsangaben",
        KeepingText(recipe.StorageTime(1), recipe.StorageTime(2), recipe.StorageTime(3)));
    if (m_flags & kCategories) {
        std::vector<std::string> names;
        for (int i = 1; i <= recipe.CatCount(); ++i)
            names.push_back(recipe.CatName(i));
        add(kCategories, "Kategorien", Join(names, ", "));
    }
    if (m_flags & kUtensils) {
        std::vector<std::string> names;
        for (int i = 1; i <= recipe.ToolCount(); ++i)
            names.push_back(recipe.ToolName(i));
        add(kUtensils, "Utensilien", Join(names, ", "));
    }
    add(kTimes, "Vorbereitungszeit", DurationText(recipe.PreparationTime().Days));
    add(kTimes, "Zubereitungszeit", DurationText(recipe.CookingTime().Days));
    return facts;
}

Blob clsRecipePrint::HeaderPictureData()
{
    ClRecipe& recipe = *m_recipe;
    if (recipe.PictureCount() > 0)
        return PictureData(recipe.Picture(1)).value_or(Blob());
    if (const long source = recipe.Sourcebook(); source != 0) {
        clBlob cover;
        cover.SetDB(&recipe.Db());
        if (cover.Loadr(kBlobOwnerLiterature, source, 1))
            return PictureData(cover).value_or(Blob());
    }
    return {};
}

double clsRecipePrint::PageLabel(double titleSize)
{
    const int page = Canvas().PageNumber() - m_firstPage + 1;
    if (page < 2)
        return 0;
    const double bottom = m_y + LetterA(titleSize, true); // the label ends with the title's first line
    Canvas().SetFont(Arial(kLabelSize));
    const std::string label = "Seite " + std::to_string(page);
    const double labelWidth = Canvas().TextWidth(label);
    Canvas().DrawText(Canvas().Width() - labelWidth, bottom - Canvas().TextHeight(), label);
    return labelWidth;
}

void clsRecipePrint::RecipeHeader(bool withPicture)
{
    ClRecipe& recipe = *m_recipe;
    const double width = Canvas().Width();
    m_y = 0;
    m_pictureLimit = 0;
    m_pageOpen = true;
    bool pictureMissing = false;
    if (withPicture && (m_flags & kHeaderPicture) != 0 &&
        (recipe.PictureCount() > 0 || recipe.Sourcebook() != 0)) {
        const Blob data = HeaderPictureData();
        double w = 0, h = 0;
        if (!data.empty() && Canvas().ImageSize(data, w, h) && w > 0 && h > 0) {
            const double scale = std::min(kPictureBox / w, kPictureBox / h);
            w *= scale;
            h *= scale;
            m_pictureLeft = width - kValueMargin - w;
            m_pictureLimit = h + kPictureLimitGap;
            m_headerPicture = recipe.PictureCount() > 0;
            Canvas().DrawImage(data, m_pictureLeft, kPictureTop, w, h);
        } else {
            pictureMissing = recipe.PictureCount() > 0 || !data.empty();
        }
    }

    m_y = LetterA(12, true) + kTitleOffset;
    double titleRight = RightLimit(m_y);
    if (const double labelWidth = PageLabel(12); labelWidth > 0)
        titleRight = std::min(titleRight, width - labelWidth - kBesidePicture);
    std::vector<TextRun> title = {{recipe.Title(), true}};
    if ((m_flags & kMenuCardTitle) != 0 && !recipe.TitleMenuCard().empty() &&
        recipe.TitleMenuCard() != recipe.Title())
        title.push_back({" – " + recipe.TitleMenuCard()});
    TextFlow flow(Canvas(), Arial(12), title);
    PrintFlow(flow, 0, titleRight);
    Gap(12, 0.5);
    if (withPicture) {
        PrintFacts();
        if (pictureMissing)
            Note("Das Bild des Rezepts kann nicht gedruckt werden: die Datei fehlt oder ist kein Bild.");
        Gap(12, 0.5);
    }
}

void clsRecipePrint::PrintFacts()
{
    for (const Fact& fact : Facts()) {
        BreakIfLow(12);
        // The label shares the first line's baseline with its value.
        Canvas().SetFont(Arial(12));
        const double ascent = Canvas().TextAscent();
        Canvas().SetFont(Arial(kLabelSize));
        Canvas().DrawText(kLabelX, m_y + ascent - Canvas().TextAscent(), fact.Label + ":");
        TextFlow flow(Canvas(), Arial(12), {{fact.Value}});
        PrintFlow(flow, kValueX, Canvas().Width() - kValueMargin);
    }
}

// --- bodies ---------------------------------------------------------------------------------------

void clsRecipePrint::PrintIngredientLine(int index, const Columns& columns)
{
    ClIngredient& line = m_recipe->Ingredient(index);
    if (line.IsTrenner()) {
        Gap(kLabelSize, 0.4);
        BreakIfLow(columns.Size);
        TextFlow flow(Canvas(), Arial(kLabelSize), {{line.Trennzeile(), true}});
        PrintFlow(flow, kSeparatorX, Canvas().Width());
        return;
    }
    BreakIfLow(columns.Size);
    Canvas().SetFont(Arial(columns.Size));
    const std::string quantity = line.ReadableMengeTxt();
    const std::string unit = line.EinheitTxt();
    Canvas().DrawText(columns.QuantityEnd - Canvas().TextWidth(quantity), m_y, quantity);
    double textStart = columns.TextStart;
    if (!unit.empty()) {
        const double unitStart = columns.QuantityEnd + Canvas().TextWidth(" ");
        Canvas().DrawText(unitStart, m_y, unit);
        // A unit name wider than its column pushes the text of this line to the right.
        textStart = std::max(textStart, unitStart + Canvas().TextWidth(unit + " "));
    }
    std::vector<TextRun> runs;
    if (m_twoPart) {
        runs.push_back({line.Ingredient(), true});
        if (!line.Verarbeitung().empty())
            runs.push_back({", " + line.Verarbeitung()});
        if (!line.Zubereitung().empty())
            runs.push_back({" – " + line.Zubereitung()});
    } else {
        runs.push_back({line.ZutatVerarbeitung()});
    }
    if (line.IsRecipe())
        runs.push_back({" (Rezept #" + std::to_string(line.IsRecipeID()) + ")", false, true});
    TextFlow flow(Canvas(), Arial(columns.Size), runs);
    if (flow.AtEnd()) {
        m_y += flow.LineHeight();
        return;
    }
    // Continuation lines start again at the text column.
    const std::vector<PlacedText> first =
        flow.NextLine(textStart, std::max(textStart + 1, std::min(columns.TextEnd, RightLimit(m_y))));
    flow.Draw(first, m_y);
    m_y += flow.LineHeight();
    PrintFlow(flow, columns.TextStart, columns.TextEnd);
}

void clsRecipePrint::PrintIngredients(const Columns& columns)
{
    for (int i = 1; i <= m_recipe->IngredCount(); ++i)
        PrintIngredientLine(i, columns);
}

void clsRecipePrint::PrintPictures(bool withHeading)
{
    ClRecipe& recipe = *m_recipe;
    bool headed = false;
    // A picture shown in the header is not repeated below the text.
    for (int i = m_headerPicture ? 2 : 1; i <= recipe.PictureCount(); ++i) {
        const std::optional<Blob> data = PictureData(recipe.Picture(i));
        double w = 0, h = 0;
        if (withHeading && !headed) {
            Gap(12, 0.5);
            Heading("Bild");
            headed = true;
        }
        if (!data || data->empty() || !Canvas().ImageSize(*data, w, h) || w <= 0 || h <= 0) {
            Gap(12, 0.5);
            BreakIfLow(kLabelSize);
            Note("Bild " + std::to_string(i) +
                 " kann nicht gedruckt werden: die Datei fehlt oder ist kein Bild.");
            continue;
        }
        Gap(12, 0.5);
        const double width = Canvas().Width() - kPictureSide;
        auto scaleAt = [&](double top) {
            return std::min(width / w, std::max(0.0, Bottom() - top - kPictureBottom) / h);
        };
        // On a fresh page the picture would start below the title; when it comes out at less than
        // half that size here, it goes there.
        const double fresh = scaleAt(LetterA(12) * 3 + kTitleOffset);
        if (scaleAt(m_y) < fresh / 2)
            PageBreak();
        const double scale = scaleAt(m_y);
        Canvas().DrawImage(*data, 0, m_y, w * scale, h * scale);
        m_y += h * scale + kPictureBottom;
    }
}

void clsRecipePrint::PrintGuests()
{
    ClRecipe& recipe = *m_recipe;
    const long count = recipe.GetGuestCount();
    if (count == 0)
        return;
    Gap(12, 0.5);
    Heading("Gäste:");
    for (int i = 1; i <= count; ++i) {
        BreakIfLow(12);
        const DateSerial date = recipe.GetGuestDate(i);
        TextFlow flow(Canvas(), Arial(12),
                      {{Join({NameOfAddress(recipe.GetGuestadr(i)), date.Days != 0 ? ShortDateText(date) : "",
                              recipe.GetGuestEvent(i), recipe.GetGuestRemark(i)},
                             ", ")}});
        PrintFlow(flow, kLabelX, Canvas().Width());
    }
}

void clsRecipePrint::StandardBody()
{
    ClRecipe& recipe = *m_recipe;
    const int count = recipe.IngredCount();
    if (count > 0) {
        bool prepared = false;
        for (int i = 1; i <= count && !prepared; ++i)
            prepared = !recipe.Ingredient(i).IsTrenner() && !recipe.Ingredient(i).Zubereitung().empty();
        Heading(m_twoPart && prepared ? "Zutaten und Zubereitung:" : "Zutaten:");
        PrintIngredients({1300, kValueX, 6000, 12});
    }
    if ((m_flags & kNotes) != 0 && !recipe.Notizen().empty()) {
        Gap(12, 0.5);
        Heading("Notizen:");
        PrintParagraphs(recipe.Notizen(), 12, 0);
    }
    if (!recipe.Zubereitung().empty()) {
        Gap(12, 0.5);
        Heading("Zubereitung:");
        PrintParagraphs(recipe.Zubereitung(), 12, 0);
    }
    if (m_flags & kGuests)
        PrintGuests();
    if (m_flags & kPicturesAfter)
        PrintPictures(false);
}

void clsRecipePrint::WorkingBody()
{
    // Read at the stove: a larger print, the ingredient text across the whole width.
    constexpr double kSize = 14;
    ClRecipe& recipe = *m_recipe;
    if (recipe.IngredCount() > 0) {
        const std::string yield = Join({recipe.Yield() != 0 ? std::to_string(recipe.Yield()) : "",
                                        recipe.Yield() != 0 ? recipe.YieldUnitText() : ""},
                                       " ");
        Heading(yield.empty() ? "Zutaten:" : "Zutaten (" + yield + ")", kSize);
        PrintIngredients({1500, 3400, Canvas().Width(), kSize});
    }
    if (!recipe.Zubereitung().empty()) {
        Gap(kSize, 0.5);
        Heading("Zubereitung:", kSize);
        PrintParagraphs(recipe.Zubereitung(), kSize, 0);
    }
    PrintPictures(true);
    if (!recipe.Notizen().empty()) {
        Gap(12, 0.5);
        Heading("Notizen:");
        PrintParagraphs(recipe.Notizen(), 12, 0);
    }
}

// --- recipe list ----------------------------------------------------------------------------------

namespace {

// Columns of the recipe list: number (right-aligned), title, yield, categories.
constexpr double kListNumberEnd = 700;
constexpr double kListTitle = 900;
constexpr double kListYield = 6300;
constexpr double kListCategories = 7900;
constexpr double kListGap = 200;
constexpr double kListSize = 10;

} // namespace

void clsRecipePrint::ListHeader()
{
    m_y = LetterA(14, true) + kTitleOffset;
    m_pageOpen = true;
    const double width = Canvas().Width();
    Canvas().SetFont(Arial(14, true));
    Canvas().DrawText(0, m_y, "Rezeptliste");
    PageLabel(14);
    m_y += LetterA(14, true) * 1.5;
    Canvas().SetFont(Arial(kListSize, true));
    Canvas().DrawText(kListNumberEnd - Canvas().TextWidth("Nr."), m_y, "Nr.");
    Canvas().DrawText(kListTitle, m_y, "Rezept");
    Canvas().DrawText(kListYield, m_y, "Menge");
    Canvas().DrawText(kListCategories, m_y, "Kategorien");
    m_y += Canvas().TextHeight();
    Canvas().DrawLine(0, m_y, width, m_y);
    m_y += LetterA(kListSize) * 0.3;
}

void clsRecipePrint::ListRow()
{
    ClRecipe& recipe = *m_recipe;
    const double width = Canvas().Width();
    std::vector<std::string> categories;
    for (int i = 1; i <= recipe.CatCount(); ++i)
        categories.push_back(recipe.CatName(i));
    struct Cell
    {
        double Left;
        double Right;
        TextFlow Flow;
        std::vector<std::vector<PlacedText>> Lines;
    };
    std::vector<Cell> cells;
    cells.push_back({kListTitle,
                     kListYield - kListGap,
                     TextFlow(Canvas(), Arial(kListSize), {{recipe.Title(), true}}),
                     {}});
    cells.push_back(
        {kListYield,
         kListCategories - kListGap,
         TextFlow(Canvas(), Arial(kListSize),
                  {{recipe.Yield() != 0 ? Join({std::to_string(recipe.Yield()), recipe.YieldUnitText()}, " ")
                                        : ""}}),
         {}});
    cells.push_back(
        {kListCategories, width, TextFlow(Canvas(), Arial(kListSize), {{Join(categories, ", ")}}), {}});
    std::size_t rows = 1;
    for (Cell& cell : cells) {
        while (!cell.Flow.AtEnd())
            cell.Lines.push_back(cell.Flow.NextLine(cell.Left, cell.Right));
        rows = std::max(rows, cell.Lines.size());
    }
    const double lineHeight = LetterA(kListSize, true);
    BreakIfLow(kListSize);
    if (m_y + static_cast<double>(rows) * lineHeight > Bottom())
        PageBreak();
    Canvas().SetFont(Arial(kListSize));
    const std::string number = std::to_string(recipe.id());
    Canvas().DrawText(kListNumberEnd - Canvas().TextWidth(number), m_y, number);
    for (Cell& cell : cells)
        for (std::size_t i = 0; i < cell.Lines.size(); ++i)
            cell.Flow.Draw(cell.Lines[i], m_y + static_cast<double>(i) * lineHeight);
    m_y += static_cast<double>(rows) * lineHeight + LetterA(kListSize) * 0.3;
    ++m_listCount;
}

} // namespace pf
