#include "model/tlitemmodel.h"
#include "model/tlrichtext.h"
#include "styles/tline1.h"
#include "styles/tline2.h"
#include "styles/tline3.h"
#include "view/tlgeometry.h"
#include "view/tline.h"
#include "windowprobe.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QElapsedTimer>
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

#include <memory>

namespace {

// Opens the protected state of the widget to the tests.
class OpenLine : public TLine
{
public:
    using TLine::bg;
    using TLine::bgColors;
    using TLine::dateToX;
    using TLine::dayWidth;
    using TLine::displayFlags;
    using TLine::dragStartPos;
    using TLine::end;
    using TLine::itemPoint;
    using TLine::itemRects;
    using TLine::markEnds;
    using TLine::markItems;
    using TLine::maxPos;
    using TLine::model;
    using TLine::posHeight;
    using TLine::posToY;
    using TLine::start;
    using TLine::tPos;
};

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

struct DragContent
{
    QStringList formats;
    QString text;
    QString html;
    QImage image;
};

DragContent contentOf(const QMimeData *mimeData)
{
    return { mimeData->formats(), mimeData->text(), mimeData->html(), qvariant_cast<QImage>(mimeData->imageData()) };
}

// A style-1 chart that keeps what its drags carry instead of running them.
class DragLine : public TLine1
{
public:
    QList<DragContent> drags;

protected:
    void execDrag(QDrag *drag) override { drags.append(contentOf(drag->mimeData())); }
};

const QString lowerLabel = QStringLiteral("<p>A rather long <b>first</b> label</p>");
const QString upperLabel = QStringLiteral("<p>Second <i>on top</i><img src=\"/dev/zero\"></p>");

// Two boxes on one row, the second drawn over the right part of the first,
// painted once so that their boxes are known.
struct OverlapChart
{
    TLItemModel model;
    DragLine line;
    QPoint overlap;
    QPoint lowerOnly;
    QPoint empty;

    OverlapChart()
    {
        line.setModel(&model);
        line.setRange(QDate(2006, 10, 1), QDate(2006, 10, 31));
        line.setDayWidth(20.0);
        line.setPosHeight(100.0);
        line.setMaxPos(3);
        for (const auto &item : { qMakePair(QDate(2006, 10, 4), lowerLabel), qMakePair(QDate(2006, 10, 6), upperLabel) }) {
            const int row = model.rowCount();
            model.insertRows(row, 1);
            model.setData(model.index(row, TLItem::DateColumn), item.first);
            model.setData(model.index(row, TLItem::PosColumn), 0);
            model.setData(model.index(row, TLItem::TextColumn), item.second);
            model.setData(model.index(row, TLItem::BackgroundColorColumn), QColor(Qt::yellow));
        }
        line.grab();
        const QList<QRect> boxes = TLineProbe::itemRectsOf(&line);
        if (boxes.size() != 2)
            return;
        const QRect both = boxes.at(0) & boxes.at(1);
        overlap = both.center();
        lowerOnly = QPoint(boxes.at(0).left() + 1, boxes.at(0).center().y());
        empty = QPoint(line.width() - 20, line.height() - 20);
    }

    bool isValid() const
    {
        const QList<QRect> boxes = TLineProbe::itemRectsOf(&line);
        return boxes.size() == 2 && boxes.at(0).intersects(boxes.at(1)) && !boxes.at(1).contains(lowerOnly)
            && !boxes.at(0).contains(empty) && !boxes.at(1).contains(empty)
            && QRect(empty, QSize(1, 1)).translated(-QApplication::startDragDistance(), 0).intersects(line.rect());
    }
};

void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void dragLeft(QWidget *widget, const QPoint &from, const QPoint &to)
{
    sendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
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

    void shouldReportEveryBoxUnderADoubleClickInRowOrder();
    void shouldHitWhatTheBoxesOfAllRowsHit_data();
    void shouldHitWhatTheBoxesOfAllRowsHit();
    void shouldOfferTheTopItemInItsContextMenu_data();
    void shouldOfferTheTopItemInItsContextMenu();
    void shouldReportTheBackgroundWithoutAMenu();
    void shouldTakeTheDragStartFromTheLeftButtonOnly_data();
    void shouldTakeTheDragStartFromTheLeftButtonOnly();
    void shouldStartDraggingAtTheDragDistance_data();
    void shouldStartDraggingAtTheDragDistance();
    void shouldDragTheChartOrTheTopLabel_data();
    void shouldDragTheChartOrTheTopLabel();
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

void TestTLine::shouldReportEveryBoxUnderADoubleClickInRowOrder()
{
    OverlapChart chart;
    QVERIFY(chart.isValid());
    QSignalSpy clicked(&chart.line, &TLine::itemClicked);

    QTest::mouseDClick(&chart.line, Qt::LeftButton, Qt::NoModifier, chart.overlap);
    QCOMPARE(clicked.size(), 2);
    QCOMPARE(clicked.at(0).at(0).toInt(), 0);
    QCOMPARE(clicked.at(1).at(0).toInt(), 1);

    clicked.clear();
    QTest::mouseDClick(&chart.line, Qt::LeftButton, Qt::NoModifier, chart.lowerOnly);
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(clicked.at(0).at(0).toInt(), 0);

    clicked.clear();
    QTest::mouseDClick(&chart.line, Qt::LeftButton, Qt::NoModifier, chart.empty);
    QCOMPARE(clicked.size(), 0);
}

void TestTLine::shouldHitWhatTheBoxesOfAllRowsHit_data()
{
    QTest::addColumn<int>("style");
    QTest::newRow("style 1") << 1;
    QTest::newRow("style 2") << 2;
    QTest::newRow("style 3") << 3;
}

// A large chart of overlapping items, some spanning, never painted: a double
// click reports exactly the rows whose hit boxes, read one by one, contain
// the point, on their borders and just outside them too.
void TestTLine::shouldHitWhatTheBoxesOfAllRowsHit()
{
    QFETCH(int, style);

    TLItemModel model;
    QRandomGenerator random(12);
    const QDate start(2021, 1, 1);
    for (int row = 0; row < 3 * TLine::SmallChart; ++row) {
        const QDate date = start.addDays(random.bounded(120));
        const QString label = QStringLiteral("<p>%1%2</p>").arg(row).arg(QString(random.bounded(12), QLatin1Char('x')));
        model.insertRows(row, 1);
        model.setData(model.index(row, TLItem::DateColumn), date);
        model.setData(model.index(row, TLItem::PosColumn), random.bounded(5));
        model.setData(model.index(row, TLItem::TextColumn), label);
        if (random.bounded(4) == 0)
            model.setData(model.index(row, TLItem::EndDateColumn), date.addDays(random.bounded(-3, 10)));
    }
    const auto makeChart = [&model, style, start] {
        std::unique_ptr<TLine> chart;
        if (style == 1)
            chart = std::make_unique<TLine1>();
        else if (style == 2)
            chart = std::make_unique<TLine2>();
        else
            chart = std::make_unique<TLine3>();
        chart->setModel(&model);
        chart->setRange(start, start.addDays(130));
        chart->setDayWidth(20.0);
        chart->setPosHeight(40.0);
        chart->setMaxPos(5);
        return chart;
    };
    // The boxes come from a chart of their own, so that the clicks find
    // labels not yet laid out.
    const std::unique_ptr<TLine> chart = makeChart();
    const QList<QRect> boxes = TLineProbe::itemRectsOf(makeChart().get());
    QSignalSpy clicked(chart.get(), &TLine::itemClicked);
    QCOMPARE(boxes.size(), model.rowCount());
    QList<QPoint> points;
    for (int i = 0; i < 40; ++i) {
        const QRect box = boxes.at(random.bounded(int(boxes.size())));
        points << box.topLeft() << box.bottomRight() << box.bottomRight() + QPoint(1, 1) << box.topLeft() - QPoint(1, 0)
               << QPoint(random.bounded(chart->width()), random.bounded(chart->height()));
    }
    for (const QPoint &point : std::as_const(points)) {
        QList<int> walked;
        for (int row = 0; row < boxes.size(); ++row) {
            if (boxes.at(row).contains(point))
                walked.append(row);
        }
        clicked.clear();
        sendMouse(chart.get(), QEvent::MouseButtonDblClick, point, Qt::LeftButton, Qt::LeftButton);
        QList<int> hit;
        for (const QList<QVariant> &signal : std::as_const(clicked))
            hit.append(signal.at(0).toInt());
        QCOMPARE(hit, walked);
    }
}

void TestTLine::shouldOfferTheTopItemInItsContextMenu_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("clickedRow");
    QTest::addColumn<int>("deletedRow");

    QTest::newRow("edit...") << 0 << 1 << -1;
    QTest::newRow("delete") << 1 << -1 << 1;
    QTest::newRow("dismissed") << -1 << -1 << -1;
}

void TestTLine::shouldOfferTheTopItemInItsContextMenu()
{
    QFETCH(int, entry);
    QFETCH(int, clickedRow);
    QFETCH(int, deletedRow);

    OverlapChart chart;
    QVERIFY(chart.isValid());
    QSignalSpy clicked(&chart.line, &TLine::itemClicked);
    QSignalSpy deleted(&chart.line, &TLine::itemDelete);
    QSignalSpy background(&chart.line, &TLine::backgroundClicked);

    QStringList texts;
    whenPopup([&texts, entry](QWidget *popup) {
        QMenu *menu = qobject_cast<QMenu *>(popup);
        if (!menu)
            return;
        for (QAction *action : menu->actions())
            texts.append(action->text());
        if (entry < 0) {
            QTest::keyClick(menu, Qt::Key_Escape);
            return;
        }
        menu->setActiveAction(menu->actions().at(entry));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, chart.overlap, chart.line.mapToGlobal(chart.overlap));
    QApplication::sendEvent(&chart.line, &event);

    QCOMPARE(texts, QStringList({ "edit...", "delete" }));
    QCOMPARE(clicked.size(), clickedRow < 0 ? 0 : 1);
    if (clickedRow >= 0)
        QCOMPARE(clicked.at(0).at(0).toInt(), clickedRow);
    QCOMPARE(deleted.size(), deletedRow < 0 ? 0 : 1);
    if (deletedRow >= 0)
        QCOMPARE(deleted.at(0).at(0).toInt(), deletedRow);
    QCOMPARE(background.size(), 0);
    QVERIFY(chart.line.findChildren<QMenu *>().isEmpty());
}

void TestTLine::shouldReportTheBackgroundWithoutAMenu()
{
    OverlapChart chart;
    QVERIFY(chart.isValid());
    QSignalSpy clicked(&chart.line, &TLine::itemClicked);
    QSignalSpy background(&chart.line, &TLine::backgroundClicked);

    QContextMenuEvent event(QContextMenuEvent::Mouse, chart.empty, chart.line.mapToGlobal(chart.empty));
    QApplication::sendEvent(&chart.line, &event);
    QCOMPARE(background.size(), 1);
    QCOMPARE(clicked.size(), 0);
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
    QVERIFY(chart.line.findChildren<QMenu *>().isEmpty());
}

void TestTLine::shouldTakeTheDragStartFromTheLeftButtonOnly_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("moves");

    QTest::newRow("left") << int(Qt::LeftButton) << true;
    QTest::newRow("right") << int(Qt::RightButton) << false;
    QTest::newRow("middle") << int(Qt::MiddleButton) << false;
}

void TestTLine::shouldTakeTheDragStartFromTheLeftButtonOnly()
{
    QFETCH(int, button);
    QFETCH(bool, moves);

    OverlapChart chart;
    const QPoint first(30, 40);
    const QPoint second(70, 90);
    sendMouse(&chart.line, QEvent::MouseButtonPress, first, Qt::LeftButton, Qt::LeftButton);
    sendMouse(&chart.line, QEvent::MouseButtonRelease, first, Qt::LeftButton, Qt::NoButton);
    const auto pressed = Qt::MouseButton(button);
    sendMouse(&chart.line, QEvent::MouseButtonPress, second, pressed, pressed);
    QCOMPARE(TLineProbe::dragStartPosOf(&chart.line), moves ? second : first);
}

void TestTLine::shouldStartDraggingAtTheDragDistance_data()
{
    QTest::addColumn<int>("shortBy");
    QTest::addColumn<bool>("diagonal");
    QTest::addColumn<int>("held");
    QTest::addColumn<bool>("starts");

    QTest::newRow("one pixel short") << 1 << false << int(Qt::LeftButton) << false;
    QTest::newRow("exactly the distance") << 0 << false << int(Qt::LeftButton) << true;
    QTest::newRow("one pixel short, diagonally") << 1 << true << int(Qt::LeftButton) << false;
    QTest::newRow("the distance, diagonally") << 0 << true << int(Qt::LeftButton) << true;
    QTest::newRow("without the left button") << 0 << false << int(Qt::RightButton) << false;
    QTest::newRow("left among others") << 0 << false << int(Qt::LeftButton | Qt::RightButton) << true;
}

void TestTLine::shouldStartDraggingAtTheDragDistance()
{
    QFETCH(int, shortBy);
    QFETCH(bool, diagonal);
    QFETCH(int, held);
    QFETCH(bool, starts);

    OverlapChart chart;
    QVERIFY(chart.isValid());
    const int distance = QApplication::startDragDistance() - shortBy;
    const QPoint offset = diagonal ? QPoint(distance - distance / 2, distance / 2) : QPoint(distance, 0);
    const QPoint from = chart.empty - offset;
    sendMouse(&chart.line, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    sendMouse(&chart.line, QEvent::MouseMove, chart.empty, Qt::NoButton, Qt::MouseButtons(held));
    QCOMPARE(chart.line.drags.size(), starts ? 1 : 0);
}

void TestTLine::shouldDragTheChartOrTheTopLabel_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QStringList>("formats");
    QTest::addColumn<QString>("html");

    QTest::newRow("empty area") << "empty" << QStringList({ "application/x-qt-image" }) << QString();
    QTest::newRow("overlapping boxes") << "overlap" << QStringList({ "text/plain", "text/html" }) << upperLabel;
    QTest::newRow("lower box alone") << "lowerOnly" << QStringList({ "text/plain", "text/html" }) << lowerLabel;
}

void TestTLine::shouldDragTheChartOrTheTopLabel()
{
    QFETCH(QString, where);
    QFETCH(QStringList, formats);
    QFETCH(QString, html);

    OverlapChart chart;
    QVERIFY(chart.isValid());
    const QPoint to = where == "empty" ? chart.empty : where == "overlap" ? chart.overlap : chart.lowerOnly;
    // Pressed elsewhere: what counts is where the drag starts.
    dragLeft(&chart.line, to - QPoint(QApplication::startDragDistance(), 0), to);
    QCOMPARE(chart.line.drags.size(), 1);
    const DragContent content = chart.line.drags.first();
    QCOMPARE(content.formats, formats);
    if (html.isEmpty()) {
        QCOMPARE(content.image.size(), chart.line.size());
        QCOMPARE(content.image.convertToFormat(QImage::Format_RGB32),
                 chart.line.grab().toImage().convertToFormat(QImage::Format_RGB32));
    } else {
        QCOMPARE(content.html, html);
        QCOMPARE(content.text, TLRichText::plainText(html));
        QVERIFY(content.text.contains(html == upperLabel ? "Second on top" : "A rather long first label"));
    }
}

void TestTLine::shouldDragOnlyTheVisiblePartOfAHugeChart()
{
    TLItemModel model;
    QScrollArea area;
    area.resize(400, 300);
    auto *line = new TLine1;
    line->setModel(&model);
    line->setRange(QDate(2006, 10, 4), QDate(12006, 10, 4));
    line->setDayWidth(30.0);
    line->setMaxPos(2);
    area.setWidget(line);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    const qreal ratio = line->devicePixelRatioF();
    QVERIFY(line->width() * ratio * line->height() * ratio > double(TLine::MaxDragPixels));

    QElapsedTimer timer;
    timer.start();
    const QPoint to(200, 150);
    dragLeft(line, to - QPoint(QApplication::startDragDistance(), 0), to);
    // The real drag ends at once on this platform; the drag object waits
    // for deletion until the event loop runs.
    QDrag *drag = line->findChild<QDrag *>();
    QVERIFY(drag);
    const QImage image = qvariant_cast<QImage>(drag->mimeData()->imageData());
    const QRect visible = line->visibleRegion().boundingRect();
    QVERIFY(!visible.isEmpty());
    QVERIFY(visible.width() <= area.viewport()->width() && visible.height() <= area.viewport()->height());
    QCOMPARE(image.size(), visible.size() * ratio);
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
}

QTEST_MAIN(TestTLine)
#include "tst_tline.moc"
