#pragma once
// The page canvas on Qt's paged devices: a printer, the print preview's printer, or a PDF
// writer. One unit is one twip whatever the device's resolution, so the layouts come out as
// measured; "Arial" is looked up through the system's font substitutes (a metric-compatible
// font on Linux). The canvas paints from construction until Finish, which ends the document.

#include "output/PageCanvas.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <memory>
#include <string>

class QPagedPaintDevice;
class QPdfWriter;

namespace pf {

class QtPageCanvas : public PageCanvas
{
public:
    // Paints on the device, which must outlive the canvas. Active() tells whether painting began.
    explicit QtPageCanvas(QPagedPaintDevice& device);
    ~QtPageCanvas() override;

    bool Active() const { return m_painter.isActive(); }

    double Width() const override { return m_width; }
    double Height() const override { return m_height; }
    void SetFont(const PageFont& font) override;
    const PageFont& Font() const override { return m_font; }
    double TextWidth(std::string_view text) override;
    double TextHeight() override;
    double TextAscent() override;
    void DrawText(double x, double y, std::string_view text) override;
    void DrawLine(double x1, double y1, double x2, double y2) override;
    bool ImageSize(const Blob& data, double& width, double& height) override;
    void DrawImage(const Blob& data, double x, double y, double width, double height) override;
    void NewPage() override;
    int PageNumber() const override { return m_page; }
    bool Finish() override;

    // The Qt font the canvas uses for a page font (size in twips as pixels).
    static QFont QtFont(const PageFont& font);

private:
    const QImage* Decoded(const Blob& data);

    QPagedPaintDevice& m_device;
    QPainter m_painter;
    PageFont m_font;
    QFont m_qfont;
    double m_width = 0;
    double m_height = 0;
    int m_page = 1;
    bool m_finished = false;
    Blob m_imageData; // the last picture decoded, kept for measuring and then drawing it
    QImage m_image;
};

// A PDF file written through the canvas (A4, margins of 15 mm at the sides and 12 mm at top and
// bottom). Creates the application object for fonts when the program has none (the command-line
// program), on the offscreen platform.
std::unique_ptr<PageCanvas> OpenQtPdf(const std::string& path, const std::string& title, std::string& error);

// Installs OpenQtPdf as the program's way to write PDF files.
void InstallQtPdfOutput();

} // namespace pf
