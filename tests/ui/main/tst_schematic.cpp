// The shaft schematic against its line and label tables, drawn into a paint device that records
// every drawing call.

#include "ui/main/schematic.h"

#include <QLabel>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTest>
#include <QTextItem>

namespace {

struct Drawn
{
    enum Kind { Line, Text, Other } kind = Other;
    QLineF line;
    QPen pen;
    QString text;
    QPointF baseline;
    qreal ascent = 0;
    QFont font;
};

class RecordingEngine : public QPaintEngine
{
public:
    RecordingEngine()
        : QPaintEngine(QPaintEngine::AllFeatures)
    {
    }
    QList<Drawn> drawn;

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override { }
    Type type() const override { return QPaintEngine::User; }

    void drawLines(const QLineF *lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            drawn.append({ Drawn::Line, lines[i], state->pen(), {}, {}, 0, {} });
    }
    void drawLines(const QLine *lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            drawn.append({ Drawn::Line, QLineF(lines[i]), state->pen(), {}, {}, 0, {} });
    }
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        drawn.append({ Drawn::Text, {}, state->pen(), item.text(), p, item.ascent(), item.font() });
    }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { other(); }
    void drawImage(
        const QRectF &, const QImage &, const QRectF &, Qt::ImageConversionFlags) override
    {
        other();
    }
    void drawRects(const QRectF *, int) override { other(); }
    void drawRects(const QRect *, int) override { other(); }
    void drawPath(const QPainterPath &) override { other(); }
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override { other(); }
    void drawPolygon(const QPoint *, int, PolygonDrawMode) override { other(); }

private:
    void other() { drawn.append(Drawn()); }
};

class RecordingDevice : public QPaintDevice
{
public:
    RecordingDevice(int width, int height)
        : m_width(width)
        , m_height(height)
    {
    }
    ~RecordingDevice() override = default;
    QPaintEngine *paintEngine() const override { return &m_engine; }
    QList<Drawn> &drawn() { return m_engine.drawn; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return m_width;
        case PdmHeight:
            return m_height;
        case PdmWidthMM:
            return m_width * 254 / 960;
        case PdmHeightMM:
            return m_height * 254 / 960;
        case PdmNumColors:
            return 0x7fffffff;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }

private:
    int m_width, m_height;
    mutable RecordingEngine m_engine;
};

// Area of 390 x 280: one device unit is 10 user units on both axes, x = (xu + 500) / 10 and
// y = (1200 - yu) / 10.
const QRectF TenToOne(0, 0, 390, 280);

QList<Drawn> record(const QRectF &area, const QColor &foreground)
{
    RecordingDevice device(int(area.right()) + 1, int(area.bottom()) + 1);
    QPainter painter(&device);
    DrawShaftSchematic(painter, area, foreground);
    painter.end();
    return device.drawn();
}

bool near(const QPointF &a, const QPointF &b, qreal tolerance = 1e-9)
{
    return std::abs(a.x() - b.x()) <= tolerance && std::abs(a.y() - b.y()) <= tolerance;
}

// True when one of the pixels within one pixel of (x, y) is black.
bool inkNear(const QImage &image, int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.pixelColor(x + dx, y + dy) == QColor(Qt::black))
                return true;
    return false;
}

} // namespace

class TestSchematic : public QObject
{
    Q_OBJECT

private slots:
    void lines_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QLineF>("expected");
        // The user points of each line, divided by ten after the shift of the origin.
        QTest::newRow("01 shaft axis (0,0)-(2900,0)") << 0 << QLineF(50, 120, 340, 120);
        QTest::newRow("02 support A left (0,0)-(-80,-200)") << 1 << QLineF(50, 120, 42, 140);
        QTest::newRow("03 support A right (0,0)-(80,-200)") << 2 << QLineF(50, 120, 58, 140);
        QTest::newRow("04 support A base (-80,-200)-(80,-200)") << 3 << QLineF(42, 140, 58, 140);
        QTest::newRow("05 support B left (2900,0)-(2820,-200)") << 4 << QLineF(340, 120, 332, 140);
        QTest::newRow("06 support B right (2900,0)-(2980,-200)") << 5 << QLineF(340, 120, 348, 140);
        QTest::newRow("07 support B base (2820,-200)-(2980,-200)")
            << 6 << QLineF(332, 140, 348, 140);
        QTest::newRow("08 gear 1 (800,400)-(800,-400)") << 7 << QLineF(130, 80, 130, 160);
        QTest::newRow("09 gear 2 (2000,600)-(2000,-600)") << 8 << QLineF(250, 60, 250, 180);
        QTest::newRow("10 gear 1 top bar (740,400)-(880,400)") << 9 << QLineF(124, 80, 138, 80);
        QTest::newRow("11 gear 1 bottom bar (740,-400)-(880,-400)")
            << 10 << QLineF(124, 160, 138, 160);
        QTest::newRow("12 gear 2 top bar (1920,600)-(2100,600)") << 11 << QLineF(242, 60, 260, 60);
        QTest::newRow("13 gear 2 bottom bar (1920,-600)-(2100,-600)")
            << 12 << QLineF(242, 180, 260, 180);
        QTest::newRow("14 extension at A (0,-300)-(0,-1300)") << 13 << QLineF(50, 150, 50, 250);
        QTest::newRow("15 extension at B (2900,-300)-(2900,-1300)")
            << 14 << QLineF(340, 150, 340, 250);
        QTest::newRow("16 dimension L (0,-1200)-(2900,-1200)") << 15 << QLineF(50, 240, 340, 240);
        QTest::newRow("17 extension at gear 1 (800,-500)-(800,-1000)")
            << 16 << QLineF(130, 170, 130, 220);
        QTest::newRow("18 dimension L1 (0,-900)-(800,-900)") << 17 << QLineF(50, 210, 130, 210);
        QTest::newRow("19 extension at gear 2 (2000,-700)-(2000,-1000)")
            << 18 << QLineF(250, 190, 250, 220);
        QTest::newRow("20 dimension L2 (2000,-900)-(2900,-900)")
            << 19 << QLineF(250, 210, 340, 210);
    }

    void lines()
    {
        QFETCH(int, index);
        QFETCH(QLineF, expected);
        const QColor ink(10, 20, 30);
        const QList<Drawn> drawn = record(TenToOne, ink);
        QCOMPARE(drawn.size(), 27);
        const Drawn &d = drawn.at(index);
        QCOMPARE(d.kind, Drawn::Line);
        QVERIFY2(near(d.line.p1(), expected.p1()) && near(d.line.p2(), expected.p2()),
            qPrintable(QStringLiteral("drawn (%1,%2)-(%3,%4)")
                           .arg(d.line.x1())
                           .arg(d.line.y1())
                           .arg(d.line.x2())
                           .arg(d.line.y2())));
        QCOMPARE(d.pen.color(), ink);
        QCOMPARE(d.pen.style(), Qt::SolidLine);
        QCOMPARE(d.pen.widthF(), 1.0);
    }

    void labels_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QPointF>("topLeft");
        QTest::newRow("A at (-50,300)") << 20 << QStringLiteral("A") << QPointF(45, 90);
        QTest::newRow("B at (2850,300)") << 21 << QStringLiteral("B") << QPointF(335, 90);
        QTest::newRow("L1 at (300,-600)") << 22 << QStringLiteral("L1") << QPointF(80, 180);
        QTest::newRow("L2 at (2300,-600)") << 23 << QStringLiteral("L2") << QPointF(280, 180);
        QTest::newRow("L at (1400,-900)") << 24 << QStringLiteral("L") << QPointF(190, 210);
        QTest::newRow("1 at (750,700)") << 25 << QStringLiteral("1") << QPointF(125, 50);
        QTest::newRow("2 at (1950,900)") << 26 << QStringLiteral("2") << QPointF(245, 30);
    }

    void labels()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(QPointF, topLeft);
        const QColor ink(10, 20, 30);
        const QList<Drawn> drawn = record(TenToOne, ink);
        QCOMPARE(drawn.size(), 27);
        const Drawn &d = drawn.at(index);
        QCOMPARE(d.kind, Drawn::Text);
        QCOMPARE(d.text, text);
        // The text item is placed by its baseline, one ascent below the top edge.
        QVERIFY2(near(QPointF(d.baseline.x(), d.baseline.y() - d.ascent), topLeft, 0.5),
            qPrintable(QStringLiteral("top-left (%1,%2)")
                           .arg(d.baseline.x())
                           .arg(d.baseline.y() - d.ascent)));
        QCOMPARE(d.pen.color(), ink);
        QCOMPARE(d.font.pointSizeF(), 12.0);
        QCOMPARE(d.font.families().value(0), QStringLiteral("SimSun"));
    }

    void mapsTheWholeAreaWithoutKeepingTheAspectRatio()
    {
        // 195 x 560 at (10, 20): x scale 1/20, y scale 1/5.
        const QList<Drawn> drawn = record(QRectF(10, 20, 195, 560), Qt::black);
        QCOMPARE(drawn.size(), 27);
        // gear 2 (2000,600)-(2000,-600)
        QVERIFY(near(drawn.at(8).line.p1(), QPointF(10 + 2500 / 20.0, 20 + 600 / 5.0)));
        QVERIFY(near(drawn.at(8).line.p2(), QPointF(10 + 2500 / 20.0, 20 + 1800 / 5.0)));
        // dimension L (0,-1200)-(2900,-1200)
        QVERIFY(near(drawn.at(15).line.p1(), QPointF(10 + 500 / 20.0, 20 + 2400 / 5.0)));
        QVERIFY(near(drawn.at(15).line.p2(), QPointF(10 + 3400 / 20.0, 20 + 2400 / 5.0)));
        // The edges of the area are the edges of the coordinate system.
        QVERIFY(near(Schematic::toDevice(QRectF(10, 20, 195, 560), -500, 1200), QPointF(10, 20)));
        QVERIFY(
            near(Schematic::toDevice(QRectF(10, 20, 195, 560), 3400, -1600), QPointF(205, 580)));
    }

    void drawsNothingElseAndLeavesThePainterAsItWas()
    {
        RecordingDevice device(390, 280);
        QPainter painter(&device);
        const QPen pen(Qt::red, 5, Qt::DashLine);
        QFont font;
        font.setPointSize(30);
        painter.setPen(pen);
        painter.setFont(font);
        DrawShaftSchematic(painter, TenToOne, Qt::black);
        QCOMPARE(painter.pen(), pen);
        QCOMPARE(painter.font(), font);
        painter.end();

        int lines = 0, texts = 0;
        for (const Drawn &d : std::as_const(device.drawn())) {
            QVERIFY2(d.kind != Drawn::Other, "the sketch fills or clears nothing");
            if (d.kind == Drawn::Line) {
                QCOMPARE(texts, 0); // every line before the first label
                ++lines;
            } else {
                ++texts;
            }
        }
        QCOMPARE(lines, 20);
        QCOMPARE(texts, 7);
    }

    void picture_data()
    {
        QTest::addColumn<qreal>("dpr");
        QTest::newRow("ordinary screen") << 1.0;
        QTest::newRow("high-density screen") << 2.0;
    }

    void picture()
    {
        QFETCH(qreal, dpr);
        const QPixmap pixmap
            = renderShaftSchematic(QSize(390, 280), QColor(212, 208, 200), Qt::black, dpr);
        QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(390, 280));
        QCOMPARE(pixmap.devicePixelRatio(), dpr);
        const QImage image = pixmap.toImage();
        auto at = [&](int x, int y) { return QPoint(int(x * dpr), int(y * dpr)); };
        QCOMPARE(image.pixelColor(at(5, 5)), QColor(212, 208, 200));
        QVERIFY(inkNear(image, at(200, 120).x(), at(200, 120).y())); // shaft axis
        QVERIFY(inkNear(image, at(250, 100).x(), at(250, 100).y())); // gear 2
        QVERIFY(inkNear(image, at(100, 240).x(), at(100, 240).y())); // dimension line L
        QVERIFY(!inkNear(image, at(190, 100).x(), at(190, 100).y())); // between the gears
    }

    void recordedPictureHoldsBackgroundAndSketch()
    {
        const QPicture picture
            = shaftSchematicPicture(QSize(390, 280), QColor(212, 208, 200), Qt::black);
        QCOMPARE(picture.boundingRect(), QRect(0, 0, 390, 280));
        QImage image(390, 280, QImage::Format_RGB32);
        image.fill(Qt::red);
        QPainter painter(&image);
        painter.drawPicture(0, 0, picture);
        painter.end();
        QCOMPARE(image.pixelColor(5, 5), QColor(212, 208, 200));
        QCOMPARE(image.pixelColor(385, 275), QColor(212, 208, 200));
        QVERIFY(inkNear(image, 200, 120)); // shaft axis
        QVERIFY(inkNear(image, 250, 100)); // gear 2
    }

    void persistentPictureFollowsTheAreaColours()
    {
        QLabel picA;
        picA.setFrameStyle(QFrame::Panel | QFrame::Sunken);
        picA.resize(225, 185);
        QPalette palette = picA.palette();
        palette.setColor(QPalette::Window, QColor(212, 208, 200));
        palette.setColor(QPalette::WindowText, Qt::black);
        picA.setPalette(palette);

        redrawSchematic(&picA);
        QPixmap picture = picA.pixmap();
        QCOMPARE(picture.deviceIndependentSize().toSize(), picA.contentsRect().size());
        QCOMPARE(picture.toImage().pixelColor(1, 1), QColor(212, 208, 200));

        palette.setColor(QPalette::Window, Qt::white);
        picA.setPalette(palette);
        redrawSchematic(&picA);
        picture = picA.pixmap();
        QCOMPARE(picture.toImage().pixelColor(1, 1), QColor(Qt::white));
    }
};

QTEST_MAIN(TestSchematic)
#include "tst_schematic.moc"
