#pragma once
// The program's emblem, a pan seen from above, drawn in code so the program needs no image files:
// as a window icon and on the splash.

#include <QIcon>
#include <QRectF>

class QPainter;

namespace pf {

// Draws the pan into the rectangle (the handle points to the lower right).
void DrawPan(QPainter& painter, const QRectF& rect);
// The pan at the usual icon sizes.
QIcon AppIcon();

} // namespace pf
