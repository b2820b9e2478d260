#include "chartprobe.h"
#include "model/tlrichtext.h"
#include "view/tlgeometry.h"
#include "view/tline.h"
#include "modalanswers.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QtTest>

namespace {

using OpenLine = ChartProbe<TLine>;

// Paints like the styles begin: the whole widget in the background brush,
// with a size fixed from the parameters; counts its paints.
class PaintedLine : public OpenLine
{
public:
    PaintedLine() { recalcSize(); }

    int paints = 0;

    void recalcSize() override
    {
        setFixedSize(TLGeometry::truncate((TLGeometry::daysBetween(start, end) + 1) * dayWidth + 10.0),
                     TLGeometry::truncate(maxPos * posHeight));
        updateBg();
        update();
    }

protected:
    void paint(QPainter *painter) override
    {
        ++paints;
        painter->fillRect(rect(), QBrush(bg));
    }
};

// A style with margins of its own, to see that itemPoint goes through them.
class ShiftedLine : public OpenLine
{
protected:
    int dateToX(const QDate &date) const override { return TLine::dateToX(date) + 100; }
    int posToY(int pos) const override { return TLine::posToY(pos) + 50; }
};

// A style that counts the items it paints, and whose boxes, if told so,
// cover nothing.
template <typename Style>
class CoverProbe : public ChartProbe<Style>
{
public:
    bool covers = true;
    int painted = 0;

protected:
    void paintItem(QPainter *painter, int row, const QRect &shownPart) override
    {
        ++painted;
        Style::paintItem(painter, row, shownPart);
    }
    QRect opaqueCover(int row, const QRect &box) const override
    {
        return covers ? Style::opaqueCover(row, box) : QRect();
    }
};

template <typename Style>
QPair<QImage, int> paintCovered(TLItemModel *model, bool covers, const QSet<int> &flags)
{
    CoverProbe<Style> chart;
    chart.covers = covers;
    chart.setModel(model);
    setChart(&chart, QDate(2021, 1, 1), QDate(2021, 2, 1), 20.0, 30.0, 4, 2, flags);
    chart.setBgColors({ QColor(220, 230, 255), QColor(255, 255, 255), QColor(120, 120, 255) });
    chart.setBgMode(TLine::DiagonalGradient);
    const QImage image = chart.paintOn(chart.size());
    return { image, chart.painted };
}

bool near(QRgb actual, QColor expected, int tolerance = 3)
{
    return qAbs(qRed(actual) - expected.red()) <= tolerance && qAbs(qGreen(actual) - expected.green()) <= tolerance
        && qAbs(qBlue(actual) - expected.blue()) <= tolerance;
}

QString describe(QRgb pixel)
{
    return QStringLiteral("(%1, %2, %3)").arg(qRed(pixel)).arg(qGreen(pixel)).arg(qBlue(pixel));
}

const QList<QColor> redBlue = { QColor(Qt::green), QColor(Qt::red), QColor(Qt::blue) };

// A style-1 chart that leaves its drags, children of it, to the test.
class DragLine : public TLine1
{
protected:
    void execDrag(QDrag *) override {}
};

const QString lowerLabel = QStringLiteral("<p>A rather long <b>first</b> label</p>");
const QString upperLabel = QStringLiteral("<p>Second <i>on top</i><img src=\"/dev/zero\"></p>");

// Two boxes on one row, the second drawn over the right part of the first.
struct OverlapChart
{
    TLItemModel model;
    DragLine line;
    QList<QRect> boxes;
    QPoint overlap, lowerOnly, empty;

    OverlapChart()
    {
        line.setModel(&model);
        line.setRange(QDate(2006, 10, 1), QDate(2006, 10, 31));
        line.setDayWidth(20.0);
        line.setMaxPos(3);
        addItem(&model, QDate(2006, 10, 4), 0, lowerLabel, Qt::yellow);
        addItem(&model, QDate(2006, 10, 6), 0, upperLabel, Qt::yellow);
        boxes = TLineProbe::itemRectsOf(&line);
        if (boxes.size() != 2)
            return;
        overlap = (boxes.at(0) & boxes.at(1)).center();
        lowerOnly = QPoint(boxes.at(0).left() + 1, boxes.at(0).center().y());
        empty = QPoint(line.width() - 20, line.height() - 20);
    }

    bool isValid() const
    {
        return boxes.size() == 2 && boxes.at(0).intersects(boxes.at(1)) && !boxes.at(1).contains(lowerOnly)
            && !boxes.at(0).contains(empty) && !boxes.at(1).contains(empty)
            && line.rect().contains(empty - QPoint(QApplication::startDragDistance(), 0));
    }
};

void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

QList<int> rowsOf(const QSignalSpy &spy)
{
    QList<int> rows;
    for (const QList<QVariant> &signal : spy)
        rows.append(signal.at(0).toInt());
    return rows;
}

}

class TestTLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void shouldStartWithConstructionValues();
    void shouldReserveMinimumSizeForConstructionRange();
    void shouldMapDatesToPixels_data();
    void shouldMapDatesToPixels();
    void shouldMapPositionsToPixels();
    void shouldPlaceItemsThroughStyleGeometry();
    void shouldPutNullDateFarBeforeStart();
    void shouldScaleIntegerDayWidthToHundredths();
    void shouldTakeIntegerRowHeightUnscaled();
    void shouldSwitchMarkEndsOnlyWhenChecked_data();
    void shouldSwitchMarkEndsOnlyWhenChecked();
    void shouldSwitchMarkItemsOnlyWhenChecked_data();
    void shouldSwitchMarkItemsOnlyWhenChecked();
    void shouldReplaceFlagsWithoutTouchingMarkFields();
    void shouldStopListeningToReplacedModel();

    void shouldShadeVerticalGradientFromTopToBottom();
    void shouldShadeDiagonalGradientFromCornersToCentre();
    void shouldKeepBrushWhenGradientLacksColours_data();
    void shouldKeepBrushWhenGradientLacksColours();
    void shouldFillSolidColourFromOneColour();
    void shouldPreferSolidColourOverSetBrush();
    void shouldNotRepaintOnSetBg();
    void shouldStretchGradientOnRecalcSize();
    void shouldKeepBrushInModesZeroAndFour();

    void shouldLeaveOutHiddenBoxesYetPaintTheSamePicture_data();
    void shouldLeaveOutHiddenBoxesYetPaintTheSamePicture();
    void shouldHitWhatTheBoxesOfAllRowsHit_data();
    void shouldHitWhatTheBoxesOfAllRowsHit();
    void shouldOfferTheTopItemInItsContextMenu_data();
    void shouldOfferTheTopItemInItsContextMenu();
    void shouldDragTheChartOrTheTopLabelFromTheDragDistance_data();
    void shouldDragTheChartOrTheTopLabelFromTheDragDistance();
    void shouldDragOnlyTheVisiblePartOfAHugeChart();
};

void TestTLine::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestTLine::shouldStartWithConstructionValues()
{
    OpenLine line;
    QCOMPARE(line.start, QDate::currentDate());
    QCOMPARE(line.end, QDate::currentDate().addDays(31));
    QCOMPARE(line.dayWidth, 10.0);
    QCOMPARE(line.posHeight, 100.0);
    QCOMPARE(line.maxPos, 2);
    QCOMPARE(line.tPos, 2);
    QVERIFY(!line.markEnds);
    QVERIFY(!line.markItems);
    QCOMPARE(line.model, nullptr);
    QCOMPARE(line.bg, QBrush(Qt::white, Qt::SolidPattern));
    QVERIFY(line.itemRects.isEmpty());
    QVERIFY(line.bgColors.isEmpty());
    QCOMPARE(line.bgMode(), 0);
    QCOMPARE(line.dragStartPos, QPoint(0, 0));
    QCOMPARE(line.displayFlags, QSet<int>({ 0, 1, 2, 3, 6, 7, 8 }));
}

void TestTLine::shouldReserveMinimumSizeForConstructionRange()
{
    TLine line;
    QCOMPARE(line.minimumSize(), QSize(330, 200));
}

void TestTLine::shouldMapDatesToPixels_data()
{
    QTest::addColumn<double>("dayWidth");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("x");

    QTest::newRow("start") << 10.0 << QDate(2006, 1, 1) << 5;
    QTest::newRow("two days later") << 10.0 << QDate(2006, 1, 3) << 25;
    QTest::newRow("quarter pixel days truncate") << 0.25 << QDate(2006, 1, 3) << 5;
    QTest::newRow("before start") << 10.0 << QDate(2005, 12, 31) << -5;
    QTest::newRow("truncated toward zero before start") << 0.25 << QDate(2005, 12, 1) << -2;
}

void TestTLine::shouldMapDatesToPixels()
{
    QFETCH(double, dayWidth);
    QFETCH(QDate, date);
    QFETCH(int, x);

    OpenLine line;
    line.setRange(QDate(2006, 1, 1), QDate(2006, 12, 31));
    line.setDayWidth(dayWidth);
    QCOMPARE(line.dateToX(date), x);
}

void TestTLine::shouldMapPositionsToPixels()
{
    OpenLine line;
    QCOMPARE(line.posToY(0), 0);
    QCOMPARE(line.posToY(3), 300);
    line.setPosHeight(33.5);
    QCOMPARE(line.posToY(3), 100);
    QCOMPARE(line.posToY(-1), -33);
}

void TestTLine::shouldPlaceItemsThroughStyleGeometry()
{
    OpenLine plain;
    plain.setRange(QDate(2006, 1, 1), QDate(2006, 2, 1));
    QCOMPARE(plain.itemPoint(QDate(2006, 1, 3), 1), QPoint(25, 100));

    ShiftedLine shifted;
    shifted.setRange(QDate(2006, 1, 1), QDate(2006, 2, 1));
    QCOMPARE(static_cast<OpenLine &>(shifted).itemPoint(QDate(2006, 1, 3), 1), QPoint(125, 150));
}

void TestTLine::shouldPutNullDateFarBeforeStart()
{
    QCOMPARE(TLGeometry::daysBetween(QDate(2006, 10, 4), QDate()), Q_INT64_C(-2454013));
    QCOMPARE(TLGeometry::daysBetween(QDate(), QDate(2006, 10, 4)), Q_INT64_C(2454013));
    QCOMPARE(TLGeometry::daysBetween(QDate(), QDate()), Q_INT64_C(0));

    OpenLine line;
    line.setRange(QDate(2006, 10, 4), QDate(2006, 11, 4));
    const int x = line.dateToX(QDate());
    QCOMPARE(x, -24540125);
    QVERIFY(x < line.dateToX(QDate(2006, 10, 4)));

    line.setDayWidth(1e6);
    QCOMPARE(line.dateToX(QDate()), INT_MIN);
}

void TestTLine::shouldScaleIntegerDayWidthToHundredths()
{
    OpenLine line;
    line.setDayWidth(20);
    QCOMPARE(line.dayWidth, 0.2);
    line.setDayWidth(20.0);
    QCOMPARE(line.dayWidth, 20.0);
}

void TestTLine::shouldTakeIntegerRowHeightUnscaled()
{
    OpenLine line;
    line.setPosHeight(30);
    QCOMPARE(line.posHeight, 30.0);
    line.setPosHeight(12.5);
    QCOMPARE(line.posHeight, 12.5);
}

void TestTLine::shouldSwitchMarkEndsOnlyWhenChecked_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("on");

    QTest::newRow("unchecked") << int(Qt::Unchecked) << false;
    QTest::newRow("partially checked") << int(Qt::PartiallyChecked) << false;
    QTest::newRow("checked") << int(Qt::Checked) << true;
}

void TestTLine::shouldSwitchMarkEndsOnlyWhenChecked()
{
    QFETCH(int, state);
    QFETCH(bool, on);

    OpenLine line;
    line.setMarkEnds(true);
    line.setMarkEnds(state);
    QCOMPARE(line.markEnds, on);
    QCOMPARE(line.displayFlags.contains(TLine::MarkEnds), on);
    QCOMPARE(line.displayFlags - QSet<int> { TLine::MarkEnds }, QSet<int>({ 0, 1, 2, 3, 6, 7, 8 }));
}

void TestTLine::shouldSwitchMarkItemsOnlyWhenChecked_data()
{
    shouldSwitchMarkEndsOnlyWhenChecked_data();
}

void TestTLine::shouldSwitchMarkItemsOnlyWhenChecked()
{
    QFETCH(int, state);
    QFETCH(bool, on);

    OpenLine line;
    line.setMarkItems(true);
    QVERIFY(line.displayFlags.contains(TLine::MarkItems));
    line.setMarkItems(state);
    QCOMPARE(line.markItems, on);
    QCOMPARE(line.displayFlags.contains(TLine::MarkItems), on);
    QVERIFY(!line.displayFlags.contains(TLine::MarkEnds));
}

void TestTLine::shouldReplaceFlagsWithoutTouchingMarkFields()
{
    OpenLine line;
    line.setMarkEnds(true);
    line.setMarkItems(true);
    line.setDisplayFlags({ TLine::RoundEdges });
    QCOMPARE(line.displayFlags, QSet<int>({ TLine::RoundEdges }));
    QVERIFY(line.markEnds);
    QVERIFY(line.markItems);
}

void TestTLine::shouldStopListeningToReplacedModel()
{
    QStandardItemModel first(2, 5);
    QStandardItemModel second(2, 5);
    PaintedLine line;
    line.setModel(&first);
    line.setModel(&second);
    QCOMPARE(line.model, &second);
    line.show();
    QVERIFY(QTest::qWaitForWindowExposed(&line));
    QTRY_VERIFY(line.paints > 0);
    QTest::qWait(50);

    line.paints = 0;
    first.setData(first.index(0, 2), QStringLiteral("changed"));
    first.insertRow(1);
    first.removeRow(0);
    QTest::qWait(100);
    QCOMPARE(line.paints, 0);

    second.setData(second.index(0, 2), QStringLiteral("changed"));
    QTRY_VERIFY(line.paints > 0);
    line.paints = 0;
    second.insertRow(1);
    QTRY_VERIFY(line.paints > 0);
    line.paints = 0;
    second.removeRow(0);
    QTRY_VERIFY(line.paints > 0);

    // A model deleted under the chart is let go of.
    auto *deleted = new QStandardItemModel(2, 5);
    line.setModel(deleted);
    line.repaint();
    delete deleted;
    QVERIFY(!line.model);
    QCOMPARE(line.itemRects.size(), 0);
    line.repaint();
}

void TestTLine::shouldShadeVerticalGradientFromTopToBottom()
{
    for (int rows : { 2, 3 }) {
        PaintedLine line;
        line.setMaxPos(rows);
        line.setBgColors(redBlue);
        line.setBgMode(TLine::VerticalGradient);
        const QImage image = line.grab().toImage();
        QCOMPARE(image.height(), rows * 100);
        for (int x : { 0, image.width() / 2, image.width() - 1 }) {
            QVERIFY2(near(image.pixel(x, 0), Qt::red), qPrintable(describe(image.pixel(x, 0))));
            QVERIFY2(near(image.pixel(x, image.height() - 1), Qt::blue),
                     qPrintable(describe(image.pixel(x, image.height() - 1))));
        }
        const QRgb middle = image.pixel(5, image.height() / 2);
        QVERIFY(near(middle, QColor(128, 0, 128), 4));
    }
}

void TestTLine::shouldShadeDiagonalGradientFromCornersToCentre()
{
    PaintedLine line;
    line.setBgColors(redBlue);
    line.setBgMode(TLine::DiagonalGradient);
    const QImage image = line.grab().toImage();
    QCOMPARE(image.size(), QSize(330, 200));
    QVERIFY(near(image.pixel(0, 0), Qt::red));
    QVERIFY(near(image.pixel(329, 199), Qt::red));
    QVERIFY2(near(image.pixel(164, 99), Qt::blue), qPrintable(describe(image.pixel(164, 99))));
    // Along the line through the centre perpendicular to the diagonal.
    const QPointF centre(164.5, 99.5);
    const QPointF across(-199, 329);
    for (double f : { -0.2, 0.2 }) {
        const QPoint p = (centre + f * across).toPoint();
        QVERIFY2(near(image.pixel(p), Qt::blue, 6), qPrintable(describe(image.pixel(p))));
    }
}

void TestTLine::shouldKeepBrushWhenGradientLacksColours_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("colours");

    QTest::newRow("diagonal with one colour") << int(TLine::DiagonalGradient) << 1;
    QTest::newRow("diagonal with two colours") << int(TLine::DiagonalGradient) << 2;
    QTest::newRow("vertical with one colour") << int(TLine::VerticalGradient) << 1;
    QTest::newRow("vertical with two colours") << int(TLine::VerticalGradient) << 2;
}

void TestTLine::shouldKeepBrushWhenGradientLacksColours()
{
    QFETCH(int, mode);
    QFETCH(int, colours);

    PaintedLine line;
    line.setBgColors({ QColor(Qt::yellow) });
    line.setBgMode(TLine::SolidBackground);
    line.setBgMode(mode);
    line.setBgColors(redBlue.mid(0, colours));
    QCOMPARE(line.bg, QBrush(Qt::yellow, Qt::SolidPattern));
    const QImage image = line.grab().toImage();
    QCOMPARE(image.pixel(0, 0), QColor(Qt::yellow).rgb());
    QCOMPARE(image.pixel(329, 199), QColor(Qt::yellow).rgb());
}

void TestTLine::shouldFillSolidColourFromOneColour()
{
    PaintedLine line;
    line.setBgColors({ QColor(12, 34, 56) });
    line.setBgMode(TLine::SolidBackground);
    const QImage image = line.grab().toImage();
    QCOMPARE(image.pixel(0, 0), qRgb(12, 34, 56));
    QCOMPARE(image.pixel(200, 150), qRgb(12, 34, 56));
}

void TestTLine::shouldPreferSolidColourOverSetBrush()
{
    PaintedLine line;
    line.setBgColors({ QColor(12, 34, 56), QColor(Qt::red), QColor(Qt::blue) });
    line.setBg(QBrush(Qt::magenta));
    line.setBgMode(TLine::SolidBackground);
    QCOMPARE(line.grab().toImage().pixel(100, 100), qRgb(12, 34, 56));
}

void TestTLine::shouldNotRepaintOnSetBg()
{
    PaintedLine line;
    line.show();
    QVERIFY(QTest::qWaitForWindowExposed(&line));
    QTRY_VERIFY(line.paints > 0);
    QTest::qWait(50);

    line.paints = 0;
    line.setBg(QBrush(Qt::magenta));
    QTest::qWait(100);
    QCOMPARE(line.paints, 0);
    QCOMPARE(line.grab().toImage().pixel(10, 10), QColor(Qt::magenta).rgb());

    line.paints = 0;
    line.setBgMode(TLine::NoBackground);
    QTRY_VERIFY(line.paints > 0);
}

void TestTLine::shouldStretchGradientOnRecalcSize()
{
    PaintedLine line;
    line.setBgColors(redBlue);
    line.setBgMode(TLine::DiagonalGradient);
    line.setDayWidth(20.0);
    const QImage image = line.grab().toImage();
    QCOMPARE(image.size(), QSize(650, 200));
    QVERIFY(near(image.pixel(649, 199), Qt::red));
    QVERIFY2(near(image.pixel(324, 99), Qt::blue), qPrintable(describe(image.pixel(324, 99))));

    // A resize that bypasses recalcSize keeps the old gradient.
    line.setFixedSize(1300, 200);
    const QImage stale = line.grab().toImage();
    QVERIFY(!near(stale.pixel(649, 99), Qt::blue, 20));
}

void TestTLine::shouldKeepBrushInModesZeroAndFour()
{
    PaintedLine line;
    line.setBgColors(redBlue);
    line.setBgMode(TLine::NoBackground);
    QCOMPARE(line.bg, QBrush(Qt::white, Qt::SolidPattern));

    line.setBgMode(TLine::VerticalGradient);
    const QBrush gradient = line.bg;
    QVERIFY(gradient.gradient());
    line.setBgMode(TLine::NoBackground);
    QCOMPARE(line.bg, gradient);
    line.setBgMode(7);
    QCOMPARE(line.bg, gradient);

    QImage tile(4, 4, QImage::Format_RGB32);
    tile.fill(qRgb(10, 200, 30));
    tile.setPixel(0, 0, qRgb(250, 0, 0));
    const QBrush texture(QPixmap::fromImage(tile));
    line.setBg(texture);
    line.setBgMode(TLine::ImageBackground);
    QCOMPARE(line.bg, texture);
    line.setBgColors(redBlue);
    QCOMPARE(line.bg, texture);
    const QImage image = line.grab().toImage();
    QCOMPARE(image.pixel(0, 0), qRgb(250, 0, 0));
    QCOMPARE(image.pixel(8, 4), qRgb(250, 0, 0));
    QCOMPARE(image.pixel(9, 4), qRgb(10, 200, 30));
    line.setBgMode(TLine::NoBackground);
    QCOMPARE(line.bg, texture);
}

void TestTLine::shouldHitWhatTheBoxesOfAllRowsHit_data()
{
    QTest::addColumn<int>("style");
    for (int style = 1; style <= 3; ++style)
        QTest::addRow("style %d", style) << style;
}

void TestTLine::shouldLeaveOutHiddenBoxesYetPaintTheSamePicture_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QSet<int>>("flags");
    QTest::addColumn<int>("alpha");
    QTest::addColumn<double>("mostPainted");
    const QSet<int> rounded { TLine::ItemShadow, TLine::RoundEdges };
    for (int style = 1; style <= 3; ++style) {
        QTest::addRow("style %d, rounded", style) << style << rounded << 255 << 0.5;
        QTest::addRow("style %d, square", style) << style << QSet<int> {} << 255 << 0.5;
        QTest::addRow("style %d, see-through", style) << style << QSet<int> {} << 128 << 1.0;
        QTest::addRow("style %d, with dates", style) << style << (rounded + QSet<int> { TLine::MarkItems }) << 255
                                                     << 1.0;
    }
}

// Boxes wholly under later opaque boxes are not drawn, and the partly
// hidden ones draw their labels only where they show; the picture is the
// one a paint of every box makes.
void TestTLine::shouldLeaveOutHiddenBoxesYetPaintTheSamePicture()
{
    QFETCH(int, style);
    QFETCH(QSet<int>, flags);
    QFETCH(int, alpha);
    QFETCH(double, mostPainted);

    TLItemModel model;
    QRandomGenerator random(7);
    for (int row = 0; row < 300; ++row) {
        const QDate date = QDate(2021, 1, 1).addDays(random.bounded(25));
        addItem(&model, date, random.bounded(3), QStringLiteral("<p>Item <b>%1</b> of many</p>").arg(row),
                QColor::fromHsv(random.bounded(360), 80, 240, alpha),
                random.bounded(5) == 0 ? date.addDays(random.bounded(1, 5)) : QDate());
    }
    const auto paint = [&](bool covers) {
        return style == 1 ? paintCovered<TLine1>(&model, covers, flags)
            : style == 2  ? paintCovered<TLine2>(&model, covers, flags)
                          : paintCovered<TLine3>(&model, covers, flags);
    };
    const QPair<QImage, int> all = paint(false);
    const QPair<QImage, int> covered = paint(true);
    QCOMPARE(covered.first, all.first);
    QCOMPARE(all.second, model.rowCount());
    QVERIFY2(covered.second <= mostPainted * all.second, qPrintable(QString::number(covered.second)));
}

// A double click on a large chart of overlapping items, some spanning, never
// painted, reports in row order the rows whose hit boxes, read one by one,
// contain the point: on their borders, just outside them and anywhere.
void TestTLine::shouldHitWhatTheBoxesOfAllRowsHit()
{
    QFETCH(int, style);

    TLItemModel model;
    QRandomGenerator random(12);
    const QDate start(2021, 1, 1);
    for (int row = 0; row < 768; ++row) {
        const QDate date = start.addDays(random.bounded(120));
        const int pos = random.bounded(5);
        const QString label = QStringLiteral("<p>%1%2</p>").arg(row).arg(QString(random.bounded(12), 'x'));
        const QDate endDate = random.bounded(4) == 0 ? date.addDays(random.bounded(-3, 10)) : QDate();
        addItem(&model, date, pos, label, Qt::white, endDate);
    }
    const auto setUp = [&model, start](TLine *chart) {
        chart->setModel(&model);
        setChart(chart, start, start.addDays(130), 20.0, 40.0, 5, 2, { 0, 1, 2, 3, 6, 7, 8 });
    };
    // The boxes come from a chart of their own, so that the clicks find
    // labels not yet laid out.
    QList<QRect> boxes;
    withStyle(style, [&](auto &chart) {
        setUp(&chart);
        boxes = chart.itemRects;
    });
    QCOMPARE(boxes.size(), model.rowCount());
    int overlaps = 0;
    withStyle(style, [&](auto &chart) {
        QSignalSpy clicked(&chart, &TLine::itemClicked);
        setUp(&chart);
        for (int i = 0; i < 40; ++i) {
            const QRect box = boxes.at(random.bounded(int(boxes.size())));
            for (const QPoint &point : { box.topLeft(), box.bottomRight(), box.bottomRight() + QPoint(1, 1),
                                         box.topLeft() - QPoint(1, 0),
                                         QPoint(random.bounded(chart.width()), random.bounded(chart.height())) }) {
                QList<int> walked;
                for (int row = 0; row < boxes.size(); ++row) {
                    if (boxes.at(row).contains(point))
                        walked.append(row);
                }
                overlaps += walked.size() > 1;
                clicked.clear();
                sendMouse(&chart, QEvent::MouseButtonDblClick, point, Qt::LeftButton, Qt::LeftButton);
                QCOMPARE(rowsOf(clicked), walked);
            }
        }
    });
    QVERIFY(overlaps > 0);
}

void TestTLine::shouldOfferTheTopItemInItsContextMenu_data()
{
    QTest::addColumn<bool>("onItem");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QList<int>>("clickedRows");
    QTest::addColumn<QList<int>>("deletedRows");

    QTest::newRow("edit...") << true << 0 << QList<int> { 1 } << QList<int>();
    QTest::newRow("delete") << true << 1 << QList<int>() << QList<int> { 1 };
    QTest::newRow("dismissed") << true << -1 << QList<int>() << QList<int>();
    QTest::newRow("background, without a menu") << false << -1 << QList<int>() << QList<int>();
}

void TestTLine::shouldOfferTheTopItemInItsContextMenu()
{
    QFETCH(bool, onItem);
    QFETCH(int, entry);
    QFETCH(QList<int>, clickedRows);
    QFETCH(QList<int>, deletedRows);

    OverlapChart chart;
    QVERIFY(chart.isValid());
    QSignalSpy clicked(&chart.line, &TLine::itemClicked);
    QSignalSpy deleted(&chart.line, &TLine::itemDelete);
    QSignalSpy background(&chart.line, &TLine::backgroundClicked);
    QStringList texts;
    if (onItem) {
        whenPopup([&texts, entry](QWidget *popup) {
            QMenu *menu = qobject_cast<QMenu *>(popup);
            if (!menu)
                return;
            for (QAction *action : menu->actions())
                texts.append(action->text());
            if (entry >= 0)
                menu->setActiveAction(menu->actions().at(entry));
            QTest::keyClick(menu, entry >= 0 ? Qt::Key_Return : Qt::Key_Escape);
        });
    }
    const QPoint at = onItem ? chart.overlap : chart.empty;
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, chart.line.mapToGlobal(at));
    QApplication::sendEvent(&chart.line, &event);

    QCOMPARE(texts, onItem ? QStringList({ "edit...", "delete" }) : QStringList());
    QCOMPARE(rowsOf(clicked), clickedRows);
    QCOMPARE(rowsOf(deleted), deletedRows);
    QCOMPARE(background.size(), onItem ? 0 : 1);
    QVERIFY(chart.line.findChildren<QMenu *>().isEmpty());
}

void TestTLine::shouldDragTheChartOrTheTopLabelFromTheDragDistance_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("shortBy");
    QTest::addColumn<bool>("diagonal");
    QTest::addColumn<int>("held");
    QTest::addColumn<int>("pressedThere");
    QTest::addColumn<QString>("dragged");

    const int left = Qt::LeftButton;
    const QString none, picture = QStringLiteral("picture");
    QTest::newRow("one pixel short") << "empty" << 1 << false << left << 0 << none;
    QTest::newRow("exactly the distance") << "empty" << 0 << false << left << 0 << picture;
    QTest::newRow("one pixel short, diagonally") << "empty" << 1 << true << left << 0 << none;
    QTest::newRow("the distance, diagonally") << "empty" << 0 << true << left << 0 << picture;
    QTest::newRow("without the left button") << "empty" << 0 << false << int(Qt::RightButton) << 0 << none;
    QTest::newRow("left among others") << "empty" << 0 << false << int(Qt::LeftButton | Qt::RightButton) << 0
                                       << picture;
    // Only a left press moves the start.
    QTest::newRow("left pressed there") << "empty" << 0 << false << left << left << none;
    QTest::newRow("right pressed there") << "empty" << 0 << false << left << int(Qt::RightButton) << picture;
    QTest::newRow("middle pressed there") << "empty" << 0 << false << left << int(Qt::MiddleButton) << picture;
    // The label under where the drag starts, not where the button went down.
    QTest::newRow("overlapping boxes") << "overlap" << 0 << false << left << 0 << upperLabel;
    QTest::newRow("lower box alone") << "lowerOnly" << 0 << false << left << 0 << lowerLabel;
}

void TestTLine::shouldDragTheChartOrTheTopLabelFromTheDragDistance()
{
    QFETCH(QString, where);
    QFETCH(int, shortBy);
    QFETCH(bool, diagonal);
    QFETCH(int, held);
    QFETCH(int, pressedThere);
    QFETCH(QString, dragged);

    OverlapChart chart;
    QVERIFY(chart.isValid());
    const QPoint there = where == "empty" ? chart.empty : where == "overlap" ? chart.overlap : chart.lowerOnly;
    const int distance = QApplication::startDragDistance() - shortBy;
    const QPoint offset = diagonal ? QPoint(distance - distance / 2, distance / 2) : QPoint(distance, 0);
    sendMouse(&chart.line, QEvent::MouseButtonPress, there - offset, Qt::LeftButton, Qt::LeftButton);
    const auto pressed = Qt::MouseButton(pressedThere);
    if (pressed != Qt::NoButton)
        sendMouse(&chart.line, QEvent::MouseButtonPress, there, pressed, pressed);
    sendMouse(&chart.line, QEvent::MouseMove, there, Qt::NoButton, Qt::MouseButtons(held));

    const QList<QDrag *> drags = chart.line.findChildren<QDrag *>();
    QCOMPARE(drags.size(), dragged.isEmpty() ? 0 : 1);
    if (dragged.isEmpty())
        return;
    const QMimeData *data = drags.first()->mimeData();
    if (dragged == "picture") {
        QCOMPARE(data->formats(), QStringList({ "application/x-qt-image" }));
        QCOMPARE(qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_RGB32),
                 grabImage(&chart.line));
    } else {
        QCOMPARE(data->formats(), QStringList({ "text/plain", "text/html" }));
        QCOMPARE(data->html(), dragged);
        QCOMPARE(data->text(), TLRichText::plainText(dragged));
    }
}

void TestTLine::shouldDragOnlyTheVisiblePartOfAHugeChart()
{
    TLItemModel model;
    QScrollArea area;
    area.resize(400, 300);
    auto *line = new DragLine;
    line->setModel(&model);
    line->setRange(QDate(2006, 10, 4), QDate(12006, 10, 4));
    line->setDayWidth(30.0);
    area.setWidget(line);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    const qreal ratio = line->devicePixelRatioF();
    QVERIFY(line->width() * ratio * line->height() * ratio > double(TLine::MaxDragPixels));

    sendMouse(line, QEvent::MouseButtonPress, QPoint(190, 150), Qt::LeftButton, Qt::LeftButton);
    sendMouse(line, QEvent::MouseMove, QPoint(190 + QApplication::startDragDistance(), 150), Qt::NoButton,
              Qt::LeftButton);
    QDrag *drag = line->findChild<QDrag *>();
    QVERIFY(drag);
    const QRect visible = line->visibleRegion().boundingRect();
    QVERIFY(!visible.isEmpty());
    QCOMPARE(qvariant_cast<QImage>(drag->mimeData()->imageData()).size(), visible.size() * ratio);
}

QTEST_MAIN(TestTLine)
#include "tst_tline.moc"
