// MakeIcons: writes the program's emblem as PNG files of the icon theme's sizes, from the same
// drawing the windows use, so the desktop menu and the window show one picture.
// Usage: MakeIcons OUTDIR SIZE... (writes OUTDIR/<size>x<size>/pfannola.png)

#include "ui/AppIcon.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "Aufruf: MakeIcons ZIELORDNER GRÖSSE...\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0 || size > 1024) {
            std::fprintf(stderr, "Ungültige Größe: %s\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        pf::DrawPan(painter, QRectF(0, 0, size, size));
        painter.end();
        const QString folder = QString("%1/%2x%2").arg(out).arg(size);
        const QString file = folder + "/pfannola.png";
        if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
            std::fprintf(stderr, "Kann %s nicht schreiben\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
