#include "ui/QtPageCanvas.h"

#include "output/PdfOutput.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>

#include <cstdio>
#include <filesystem>

namespace pf {

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kTwipsPerPoint = 20;

QString Q(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QFont QtPageCanvas::QtFont(const PageFont& font)
{
    QFont qfont(Q(font.Name));
    // Fonts in twips as pixels: the painter maps twips to the device, whatever its resolution.
    qfont.setPixelSize(static_cast<int>(font.Size * kTwipsPerPoint + 0.5));
    qfont.setBold(font.Bold);
    qfont.setItalic(font.Italic);
    qfont.setKerning(true);
    qfont.setHintingPreference(QFont::PreferNoHinting);
    return qfont;
}

QtPageCanvas::QtPageCanvas(QPagedPaintDevice& device) : m_device(device)
{
    if (!m_painter.begin(&m_device))
        return;
    const double scale = m_device.logicalDpiX() / kTwipsPerInch;
    m_painter.scale(scale, m_device.logicalDpiY() / kTwipsPerInch);
    m_width = m_device.width() / scale;
    m_height = m_device.height() / (m_device.logicalDpiY() / kTwipsPerInch);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPen pen(Qt::black);
    pen.setWidthF(10);
    m_painter.setPen(pen);
    SetFont(PageFont());
}

QtPageCanvas::~QtPageCanvas()
{
    if (m_painter.isActive())
        m_painter.end();
}

void QtPageCanvas::SetFont(const PageFont& font)
{
    m_font = font;
    m_qfont = QtFont(font);
    if (m_painter.isActive())
        m_painter.setFont(m_qfont);
}

double QtPageCanvas::TextWidth(std::string_view text)
{
    return QFontMetricsF(m_qfont).horizontalAdvance(Q(text));
}

double QtPageCanvas::TextHeight()
{
    return QFontMetricsF(m_qfont).lineSpacing();
}

double QtPageCanvas::TextAscent()
{
    return QFontMetricsF(m_qfont).ascent();
}

void QtPageCanvas::DrawText(double x, double y, std::string_view text)
{
    m_painter.drawText(QPointF(x, y + TextAscent()), Q(text));
}

void QtPageCanvas::DrawLine(double x1, double y1, double x2, double y2)
{
    m_painter.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

const QImage* QtPageCanvas::Decoded(const Blob& data)
{
    if (data != m_imageData) {
        m_imageData = data;
        m_image = QImage();
        m_image.loadFromData(data.data(), static_cast<int>(data.size()));
    }
    return m_image.isNull() ? nullptr : &m_image;
}

bool QtPageCanvas::ImageSize(const Blob& data, double& width, double& height)
{
    const QImage* image = Decoded(data);
    if (!image)
        return false;
    width = image->width();
    height = image->height();
    return true;
}

void QtPageCanvas::DrawImage(const Blob& data, double x, double y, double width, double height)
{
    if (const QImage* image = Decoded(data))
        m_painter.drawImage(QRectF(x, y, width, height), *image);
}

void QtPageCanvas::NewPage()
{
    m_device.newPage();
    ++m_page;
}

bool QtPageCanvas::Finish()
{
    if (m_finished)
        return true;
    m_finished = true;
    return m_painter.isActive() && m_painter.end();
}

namespace {

// A PDF writer and the canvas painting on it, as one document.
class PdfCanvas : public QtPageCanvas
{
public:
    explicit PdfCanvas(std::unique_ptr<QPdfWriter> writer)
        : QtPageCanvas(*writer), m_writer(std::move(writer))
    {
    }
    // Painting ends before the writer goes, which the base's destructor would be too late for.
    ~PdfCanvas() override { Finish(); }

private:
    std::unique_ptr<QPdfWriter> m_writer;
};

void EnsureGuiApplication()
{
    if (QGuiApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The command line's error stream is for German messages; Qt's notes (a missing runtime
    // folder and the like) do not concern its users.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtFatalMsg)
            std::fputs(message.toLocal8Bit().constData(), stderr);
    });
    static int argc = 1;
    static char name[] = "pfannola-cli";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

} // namespace

std::unique_ptr<PageCanvas> OpenQtPdf(const std::string& path, const std::string& title, std::string& error)
{
    EnsureGuiApplication();
    std::error_code ec;
    const std::filesystem::path target(path);
    if (std::filesystem::is_directory(target, ec)) {
        error = "\"" + path + "\" ist ein Ordner und kann nicht als PDF-Datei geschrieben werden.";
        return nullptr;
    }
    auto writer = std::make_unique<QPdfWriter>(QString::fromStdString(path));
    writer->setResolution(static_cast<int>(kTwipsPerInch));
    writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter));
    writer->setTitle(Q(title));
    writer->setCreator(QStringLiteral("Pfannola"));
    auto canvas = std::make_unique<PdfCanvas>(std::move(writer));
    if (!canvas->Active()) {
        error = "Die PDF-Datei \"" + path + "\" kann nicht geschrieben werden.";
        return nullptr;
    }
    return canvas;
}

void InstallQtPdfOutput()
{
    InstallPdfOpener(OpenQtPdf);
}

} // namespace pf
