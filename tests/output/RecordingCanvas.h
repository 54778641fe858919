#pragma once
// A page canvas for layout tests: it measures text with the advance widths of the metric-compatible
// "Arial" (Liberation Sans, design units per em 2048) and records every call, so a test can check
// positions in twips and find overlaps without a screen. A "picture" is the text "IMG w h";
// anything else is no picture.

#include "core/Utf8.h"
#include "output/PageCanvas.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pf::test {

struct DrawnItem
{
    enum Kind { Text, Image, Line } What = Text;
    int Page = 1;
    double X = 0, Y = 0, W = 0, H = 0;
    std::string Content;
    PageFont Font;
};

class RecordingCanvas : public PageCanvas
{
public:
    // A4 with margins of 15 mm at the sides and 12 mm at top and bottom, in twips.
    RecordingCanvas(double width = 10205, double height = 15477) : m_width(width), m_height(height) {}

    double Width() const override { return m_width; }
    double Height() const override { return m_height; }
    void SetFont(const PageFont& font) override { m_font = font; }
    const PageFont& Font() const override { return m_font; }
    double TextWidth(std::string_view text) override
    {
        double units = 0;
        for (char32_t c : ToCodePoints(text))
            units += Advance(c, m_font.Bold);
        return units * Em() / 2048;
    }
    double TextHeight() override { return (1854 + 434 + 67) * Em() / 2048; }
    double TextAscent() override { return 1854 * Em() / 2048; }
    void DrawText(double x, double y, std::string_view text) override
    {
        Items.push_back(
            {DrawnItem::Text, m_page, x, y, TextWidth(text), TextHeight(), std::string(text), m_font});
    }
    void DrawLine(double x1, double y1, double x2, double y2) override
    {
        Items.push_back({DrawnItem::Line, m_page, x1, y1, x2 - x1, y2 - y1, {}, m_font});
    }
    bool ImageSize(const Blob& data, double& width, double& height) override
    {
        const std::string text(data.begin(), data.end());
        return std::sscanf(text.c_str(), "IMG %lf %lf", &width, &height) == 2;
    }
    void DrawImage(const Blob& data, double x, double y, double width, double height) override
    {
        Items.push_back(
            {DrawnItem::Image, m_page, x, y, width, height, std::string(data.begin(), data.end()), m_font});
    }
    void NewPage() override { ++m_page; }
    int PageNumber() const override { return m_page; }
    bool Finish() override
    {
        Finished = true;
        return true;
    }

    std::vector<DrawnItem> Items;
    bool Finished = false;

private:
    double Em() const { return m_font.Size * 20; }
    // Advance widths of Liberation Sans for U+0020..U+00FF; other characters count as "n".
    static int Advance(char32_t c, bool bold)
    {
        static constexpr int kRegular[224] = {
            569,  569,  727,  1139, 1139, 1821, 1366, 391,  682,  682,  797,  1196, 569,  682,  569,  569,
            1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 569,  569,  1196, 1196, 1196, 1139,
            2079, 1366, 1366, 1479, 1479, 1366, 1251, 1593, 1479, 569,  1024, 1366, 1139, 1706, 1479, 1593,
            1366, 1593, 1479, 1366, 1251, 1479, 1366, 1933, 1366, 1366, 1251, 569,  569,  569,  961,  1139,
            682,  1139, 1139, 1024, 1139, 1139, 569,  1139, 1139, 455,  455,  1024, 455,  1706, 1139, 1139,
            1139, 1139, 682,  1024, 569,  1139, 1024, 1479, 1024, 1024, 1024, 684,  532,  684,  1196, 748,
            748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,
            748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,
            569,  682,  1139, 1139, 1139, 1139, 532,  1139, 682,  1509, 758,  1139, 1196, 682,  1509, 1131,
            819,  1124, 682,  682,  682,  1180, 1100, 569,  682,  682,  748,  1139, 1708, 1708, 1708, 1251,
            1366, 1366, 1366, 1366, 1366, 1366, 2048, 1479, 1366, 1366, 1366, 1366, 569,  569,  569,  569,
            1479, 1479, 1593, 1593, 1593, 1593, 1593, 1196, 1593, 1479, 1479, 1479, 1479, 1366, 1366, 1251,
            1139, 1139, 1139, 1139, 1139, 1139, 1821, 1024, 1139, 1139, 1139, 1139, 569,  569,  569,  569,
            1139, 1139, 1139, 1139, 1139, 1139, 1139, 1124, 1251, 1139, 1139, 1139, 1139, 1024, 1139, 1024};
        static constexpr int kBold[224] = {
            569,  682,  971,  1139, 1139, 1821, 1479, 487,  682,  682,  797,  1196, 569,  682,  569,  569,
            1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 682,  682,  1196, 1196, 1196, 1251,
            1997, 1479, 1479, 1479, 1479, 1366, 1251, 1593, 1479, 569,  1139, 1479, 1251, 1706, 1479, 1593,
            1366, 1593, 1479, 1366, 1251, 1479, 1366, 1933, 1366, 1366, 1251, 682,  569,  682,  1196, 1139,
            682,  1139, 1251, 1139, 1251, 1139, 682,  1251, 1251, 569,  569,  1139, 569,  1821, 1251, 1251,
            1251, 1251, 797,  1139, 682,  1251, 1139, 1593, 1139, 1139, 1024, 797,  573,  797,  1196, 748,
            748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,
            748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,  748,
            569,  682,  1139, 1139, 1139, 1139, 573,  1139, 682,  1509, 758,  1139, 1196, 682,  1509, 1131,
            819,  1124, 682,  682,  682,  1180, 1139, 569,  682,  682,  748,  1139, 1708, 1708, 1708, 1251,
            1479, 1479, 1479, 1479, 1479, 1479, 2048, 1479, 1366, 1366, 1366, 1366, 569,  569,  569,  569,
            1479, 1479, 1593, 1593, 1593, 1593, 1593, 1196, 1593, 1479, 1479, 1479, 1479, 1366, 1366, 1251,
            1139, 1139, 1139, 1139, 1139, 1139, 1821, 1139, 1139, 1139, 1139, 1139, 569,  569,  569,  569,
            1251, 1251, 1251, 1251, 1251, 1251, 1251, 1124, 1251, 1251, 1251, 1251, 1251, 1139, 1251, 1139};
        if (c < 32 || c > 255)
            c = U'n';
        return (bold ? kBold : kRegular)[c - 32];
    }

    double m_width;
    double m_height;
    PageFont m_font;
    int m_page = 1;
};

// The common footer is the only text in 6 point.
inline bool IsFooter(const DrawnItem& item)
{
    return item.What == DrawnItem::Text && item.Font.Size == 6;
}

// The first text drawn with exactly this content, on the given page (0: any); null when none.
inline const DrawnItem* FindText(const RecordingCanvas& canvas, const std::string& text, int page = 0)
{
    for (const DrawnItem& item : canvas.Items)
        if (item.What == DrawnItem::Text && item.Content == text && (page == 0 || item.Page == page))
            return &item;
    return nullptr;
}

// The texts drawn, in drawing order; with a size, only those in that font size.
inline std::vector<std::string> DrawnTexts(const RecordingCanvas& canvas, double size = 0)
{
    std::vector<std::string> texts;
    for (const DrawnItem& item : canvas.Items)
        if (item.What == DrawnItem::Text && (size == 0 || item.Font.Size == size))
            texts.push_back(item.Content);
    return texts;
}

inline int Pages(const RecordingCanvas& canvas)
{
    return canvas.Items.empty() ? 0 : canvas.Items.back().Page;
}

// What every printout must hold: nothing outside the printable area, no two things drawn over
// each other, a footer on every page and no page without content of its own.
inline void ExpectSoundLayout(const RecordingCanvas& canvas, const std::string& version = "v2.00.126")
{
    constexpr double kTolerance = 0.01;
    const std::vector<DrawnItem>& items = canvas.Items;
    for (const DrawnItem& item : items) {
        SCOPED_TRACE("\"" + item.Content + "\" on page " + std::to_string(item.Page));
        EXPECT_GE(item.X, -kTolerance);
        EXPECT_GE(item.Y, -kTolerance);
        EXPECT_LE(item.X + item.W, canvas.Width() + kTolerance);
        EXPECT_LE(item.Y + item.H, canvas.Height() + kTolerance);
    }
    for (std::size_t i = 0; i < items.size(); ++i)
        for (std::size_t j = i + 1; j < items.size(); ++j) {
            const DrawnItem& a = items[i];
            const DrawnItem& b = items[j];
            if (a.Page != b.Page || a.What == DrawnItem::Line || b.What == DrawnItem::Line)
                continue;
            const bool apart = a.X + a.W <= b.X + kTolerance || b.X + b.W <= a.X + kTolerance ||
                               a.Y + a.H <= b.Y + kTolerance || b.Y + b.H <= a.Y + kTolerance;
            EXPECT_TRUE(apart) << "\"" << a.Content << "\" and \"" << b.Content << "\" overlap on page "
                               << a.Page;
        }
    for (int page = 1; page <= Pages(canvas); ++page) {
        const bool footer = std::any_of(items.begin(), items.end(), [&](const DrawnItem& item) {
            return item.Page == page && IsFooter(item) && item.Content == version;
        });
        const bool content = std::any_of(items.begin(), items.end(), [&](const DrawnItem& item) {
            return item.Page == page && !IsFooter(item);
        });
        EXPECT_TRUE(footer) << "page " << page << " has no footer";
        EXPECT_TRUE(content) << "page " << page << " is empty";
    }
    EXPECT_TRUE(canvas.Finished);
}

} // namespace pf::test
