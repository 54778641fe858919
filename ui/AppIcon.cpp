#include "ui/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>

namespace pf {

void DrawPan(QPainter& painter, const QRectF& rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal size = std::min(rect.width(), rect.height());
    const qreal pan = size * 0.68;
    const QRectF body(rect.left() + size * 0.04, rect.top() + size * 0.04, pan, pan);

    // Handle first, so the pan's rim covers its root.
    QPainterPath handle;
    const QPointF root = body.center();
    handle.moveTo(root);
    handle.lineTo(rect.left() + size * 0.95, rect.top() + size * 0.95);
    painter.setPen(QPen(QColor(0x4A, 0x2C, 0x1D), size * 0.11, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(handle);

    painter.setPen(QPen(QColor(0x3B, 0x24, 0x18), size * 0.035));
    QRadialGradient metal(body.center(), pan / 2);
    metal.setColorAt(0.0, QColor(0x7A, 0x7F, 0x86));
    metal.setColorAt(0.85, QColor(0x4D, 0x52, 0x59));
    metal.setColorAt(1.0, QColor(0x2E, 0x31, 0x36));
    painter.setBrush(metal);
    painter.drawEllipse(body);

    // Something golden frying in it.
    const QRectF egg = body.adjusted(pan * 0.28, pan * 0.28, -pan * 0.28, -pan * 0.28);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xFF, 0xF8, 0xEC));
    painter.drawEllipse(egg.adjusted(-pan * 0.08, -pan * 0.05, pan * 0.04, pan * 0.06));
    painter.setBrush(QColor(0xF2, 0xA9, 0x1E));
    painter.drawEllipse(egg.adjusted(pan * 0.1, pan * 0.1, -pan * 0.1, -pan * 0.1));
    painter.restore();
}

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        DrawPan(painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace pf
