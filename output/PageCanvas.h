#pragma once
// The surface every printout draws on: pages of a printable area measured in twips (1/1440 inch)
// from its top left corner, text in a named font, pictures and lines. The layouts measure text
// through it, so a layout comes out the same on paper, in a preview, in a PDF or in a test that
// records the calls. A canvas owns its document; Finish ends it.

#include "db/Value.h"

#include <string>
#include <string_view>

namespace pf {

struct PageFont
{
    std::string Name = "Arial";
    double Size = 12; // points
    bool Bold = false;
    bool Italic = false;
};

// The printouts' font: "Arial" of that size and style.
inline PageFont Arial(double size, bool bold = false, bool italic = false)
{
    PageFont font;
    font.Size = size;
    font.Bold = bold;
    font.Italic = italic;
    return font;
}

class PageCanvas
{
public:
    virtual ~PageCanvas() = default;

    // The printable area of every page.
    virtual double Width() const = 0;
    virtual double Height() const = 0;

    virtual void SetFont(const PageFont& font) = 0;
    virtual const PageFont& Font() const = 0;
    // Width of the text in the current font.
    virtual double TextWidth(std::string_view text) = 0;
    // Height of one line of the current font, leading included: the height of the letter "A" as
    // the layouts count it.
    virtual double TextHeight() = 0;
    // Distance from the top of a line to its baseline in the current font.
    virtual double TextAscent() = 0;
    // Draws the text in the current font, the top of its line at y.
    virtual void DrawText(double x, double y, std::string_view text) = 0;
    virtual void DrawLine(double x1, double y1, double x2, double y2) = 0;

    // The size of a picture in its own pixels; false when the data is no picture that can be read.
    virtual bool ImageSize(const Blob& data, double& width, double& height) = 0;
    // Draws the picture scaled into the box.
    virtual void DrawImage(const Blob& data, double x, double y, double width, double height) = 0;

    virtual void NewPage() = 0;
    // 1 for the first page of the document.
    virtual int PageNumber() const = 0;
    // Ends the document; false when it could not be written.
    virtual bool Finish() = 0;
};

} // namespace pf
