#include "ui/main/schematic.h"
#include "ui/common/windowlayer.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>

#include <array>

namespace {

struct Segment
{
    double x1, y1, x2, y2;
};

// clang-format off
// In drawing order, in user coordinates.
constexpr std::array<Segment, 20> Lines{{
    {0, 0, 2900, 0},           // shaft axis
    {0, 0, -80, -200},         // support A
    {0, 0, 80, -200},
    {-80, -200, 80, -200},
    {2900, 0, 2820, -200},     // support B
    {2900, 0, 2980, -200},
    {2820, -200, 2980, -200},
    {800, 400, 800, -400},     // gear 1
    {2000, 600, 2000, -600},   // gear 2 (taller)
    {740, 400, 880, 400},      // gear 1 end bars, 60 left and 80 right of the gear
    {740, -400, 880, -400},
    {1920, 600, 2100, 600},    // gear 2 end bars, 80 left and 100 right of the gear
    {1920, -600, 2100, -600},
    {0, -300, 0, -1300},       // extension lines at A and B
    {2900, -300, 2900, -1300},
    {0, -1200, 2900, -1200},   // dimension line L
    {800, -500, 800, -1000},   // extension line at gear 1
    {0, -900, 800, -900},      // dimension line L1, from bearing A
    {2000, -700, 2000, -1000}, // extension line at gear 2
    {2000, -900, 2900, -900},  // dimension line L2, from bearing B
}};
// clang-format on

struct Label
{
    const char16_t *text;
    double x, y; // top-left corner
};

constexpr std::array<Label, 7> Labels { {
    { u"A", -50, 300 },
    { u"B", 2850, 300 },
    { u"L1", 300, -600 },
    { u"L2", 2300, -600 },
    { u"L", 1400, -900 },
    { u"1", 750, 700 },
    { u"2", 1950, 900 },
} };

} // namespace

namespace Schematic {

QPointF toDevice(const QRectF &area, double x, double y)
{
    return { area.left() + (x - Left) * area.width() / (Right - Left),
        area.top() + (Top - y) * area.height() / (Top - Bottom) };
}

QFont font()
{
    QFont f = WindowLayer::songTi(12);
    // Shaped, the CJK fonts draw the digits of "L1" and "L2" with glyphs that a printed page's
    // text layer cannot name; the labels need no shaping.
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

} // namespace Schematic

void DrawShaftSchematic(
    QPainter &painter, const QRectF &area, const QColor &foreground, const QFont &font)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(foreground, 1, Qt::SolidLine));
    painter.setBrush(Qt::NoBrush);

    // The points are mapped one by one rather than through a flipped painter transform, so the
    // labels stay upright and the pen stays one pixel wide whatever the area's aspect ratio.
    for (const Segment &s : Lines)
        painter.drawLine(
            QLineF(Schematic::toDevice(area, s.x1, s.y1), Schematic::toDevice(area, s.x2, s.y2)));

    painter.setFont(font);
    const qreal ascent = QFontMetricsF(painter.font(), painter.device()).ascent();
    for (const Label &l : Labels) {
        const QPointF topLeft = Schematic::toDevice(area, l.x, l.y);
        painter.drawText(QPointF(topLeft.x(), topLeft.y() + ascent), QString::fromUtf16(l.text));
    }
    painter.restore();
}

namespace {

// The sketch on a background of its own as a recorded picture of size (logical pixels).
QPicture shaftSchematicPicture(
    const QSize &size, const QColor &background, const QColor &foreground)
{
    QPicture picture;
    if (size.isEmpty())
        return picture;
    QPainter painter(&picture);
    painter.fillRect(QRect(QPoint(0, 0), size), background);
    DrawShaftSchematic(painter, QRectF(QPointF(0, 0), QSizeF(size)), foreground);
    painter.end();
    return picture;
}

} // namespace

void redrawSchematic(QLabel *picA)
{
    if (!picA)
        return;
    const QPalette &pal = picA->palette();
    // A recorded picture rather than a pixmap: sharp at any screen scale, and a printed page gets
    // the lines and labels as vector drawing.
    picA->setPicture(shaftSchematicPicture(picA->contentsRect().size(),
        pal.color(picA->backgroundRole()), pal.color(picA->foregroundRole())));
}
