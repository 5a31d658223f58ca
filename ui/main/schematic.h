#pragma once

// The fixed sketch of the shaft shown in picA: supports A and B, gears 1 and 2 and the dimension
// lines L, L1 and L2. It never depends on the inputs; it only explains what they measure (L1 from
// bearing A, L2 from bearing B).

#include <QColor>
#include <QFont>
#include <QPicture>
#include <QPointF>
#include <QRectF>
#include <QSize>

class QLabel;
class QPainter;

namespace Schematic {

// The user coordinate system mapped onto the whole drawing area: x from -500 (left edge) to 3400
// (right edge), y from 1200 (top edge) down to -1600 (bottom edge), y pointing up.
constexpr double Left = -500;
constexpr double Right = 3400;
constexpr double Top = 1200;
constexpr double Bottom = -1600;

// A point of the user coordinate system in the coordinates of area.
QPointF toDevice(const QRectF &area, double x, double y);

// The drawing font of picA: 宋体 12 pt.
QFont font();

} // namespace Schematic

// Draws the 20 lines and then the 7 labels of the sketch into area, in the foreground colour with
// a 1-pixel solid pen. It neither clears the area nor fills a background; the painter's pen, font
// and render hints are restored afterwards.
void DrawShaftSchematic(QPainter &painter, const QRectF &area, const QColor &foreground,
    const QFont &font = Schematic::font());

// Redraws the sketch as the persistent picture of a drawing area: the picture fills the area's
// contents rectangle, on its current background colour, in its current foreground colour. Call it
// whenever the main window is activated and whenever the area's colours change.
void redrawSchematic(QLabel *picA);
