#include "chartprobe.h"
#include "model/tlitemmodel.h"
#include "styles/tline1.h"

#include <QtTest>

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QTextDocument>

#include <memory>

using Probe = ChartProbe<TLine1>;

class TestTLine1 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shouldNameItsOwnClass();
    void shouldSizeToConstructionValues();
    void shouldCentreArrowFromTPos_data();
    void shouldCentreArrowFromTPos();
    void shouldDrawDayMarksFromDayWidth25_data();
    void shouldDrawDayMarksFromDayWidth25();
    void shouldLabelWeekMarksFromDayWidth20_data();
    void shouldLabelWeekMarksFromDayWidth20();
    void shouldMarkOnlyYearsAtDayWidthPoint2();
    void shouldAlignEndMarkLabelsInsideTheRange();
    void shouldRecordHitBoxesInRowOrder();
    void shouldDrawEndDateLabelLeftOfEndDate();
    void shouldDrawOneDateLabelWithoutSpan();
    void shouldLeaveThePainterFontAsItFound();
    void shouldRenderTheReferenceChart();
    void shouldRenderAChartAcrossTheBirthOfChrist();
    void shouldPaintQuicklyWithOddParameters_data();
    void shouldPaintQuicklyWithOddParameters();
    void shouldKeepHitBoxesOfItemsOutsideTheClip();
    void shouldDrawTheSameInsideAClip_data();
    void shouldDrawTheSameInsideAClip();
    void shouldRenderAPartAsTheWholeShowsIt();

};

void TestTLine1::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
}

void TestTLine1::shouldNameItsOwnClass()
{
    TLine1 chart;
    QCOMPARE(chart.metaObject()->className(), "TLine1");
}

void TestTLine1::shouldSizeToConstructionValues()
{
    TLine1 chart;
    chart.setDisplayFlags({});
    QCOMPARE(chart.minimumSize(), QSize(330, 200));
    chart.recalcSize();
    QCOMPARE(chart.size(), QSize(330, 200));

    // tPos 2 puts the axis at 40: an 8 pixel shaft from x 0 to 320, a tip at 325.
    const QImage image = grabImage(&chart);
    QVERIFY(isDark(image, 0, 37));
    QVERIFY(isDark(image, 319, 43));
    QVERIFY(!isDark(image, 319, 35));
    QVERIFY(isDark(image, 320, 35));
    QVERIFY(isDark(image, 324, 40));
    QVERIFY(!isDark(image, 325, 40));
}

void TestTLine1::shouldCentreArrowFromTPos_data()
{
    QTest::addColumn<int>("tPos");
    QTest::addColumn<double>("posHeight");
    QTest::addColumn<int>("axisY");

    QTest::newRow("tenths of a row") << 25 << 100.0 << 270;
    QTest::newRow("default") << 2 << 100.0 << 40;
    QTest::newRow("demo, one row down") << 10 << 94.99 << 114;
    QTest::newRow("fractional tenths") << 13 << 94.99 << 142;
}

void TestTLine1::shouldCentreArrowFromTPos()
{
    QFETCH(int, tPos);
    QFETCH(double, posHeight);
    QFETCH(int, axisY);

    TLine1 chart;
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 10), 10.0, posHeight, 4, tPos, {});
    const QImage image = grabImage(&chart);
    QVERIFY(!isDark(image, 50, axisY - 5));
    for (int y = axisY - 4; y <= axisY + 3; ++y)
        QVERIFY2(isDark(image, 50, y), qPrintable(QString::number(y)));
    QVERIFY(!isDark(image, 50, axisY + 4));
}

void TestTLine1::shouldDrawDayMarksFromDayWidth25_data()
{
    QTest::addColumn<double>("dayWidth");
    QTest::addColumn<QList<int>>("lines");

    // Days 2 to 10 of March 2021, the last day included and the first never.
    QList<int> everyDay;
    for (int i = 1; i <= 9; ++i)
        everyDay.append(5 + 25 * i);
    QTest::newRow("25") << 25.0 << everyDay;
    QTest::newRow("24.9") << 24.9 << QList<int>();
}

void TestTLine1::shouldDrawDayMarksFromDayWidth25()
{
    QFETCH(double, dayWidth);
    QFETCH(QList<int>, lines);

    TLine1 chart;
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 10), dayWidth, 100.0, 2, 2, { TLine::MarkDays });
    const QImage image = grabImage(&chart);
    QCOMPARE(darkColumnRuns(image, 0, 30), lines);
}

void TestTLine1::shouldLabelWeekMarksFromDayWidth20_data()
{
    QTest::addColumn<double>("dayWidth");
    QTest::addColumn<bool>("labelled");

    QTest::newRow("24.9, no day marks") << 24.9 << true;
    QTest::newRow("20") << 20.0 << true;
    QTest::newRow("19.9") << 19.9 << false;
}

void TestTLine1::shouldLabelWeekMarksFromDayWidth20()
{
    QFETCH(double, dayWidth);
    QFETCH(bool, labelled);

    // 1 March 2021 is a Monday: the start itself is never marked, so the
    // Mondays 8 and 15 March carry the only marks.
    TLine1 chart;
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 20), dayWidth, 100.0, 2, 2,
             { TLine::MarkDays, TLine::MarkWeeks });
    const QImage image = grabImage(&chart);
    const int x8 = int(7 * dayWidth + 5.0);
    const int x15 = int(14 * dayWidth + 5.0);
    QCOMPARE(darkColumnRuns(image, 0, 30), QList<int>({ x8, x15 }));
    for (int x : { x8, x15 }) {
        const bool left = hasDarkPixel(image, QRect(x - 10, 46, 10, 6));
        const bool right = hasDarkPixel(image, QRect(x + 1, 46, 10, 6));
        QCOMPARE(left || right, labelled);
    }
}

void TestTLine1::shouldMarkOnlyYearsAtDayWidthPoint2()
{
    TLine1 chart;
    setChart(&chart, QDate(2019, 6, 1), QDate(2022, 6, 1), 0.2, 100.0, 2, 2,
             { TLine::MarkDays, TLine::MarkWeeks, TLine::MarkMonths, TLine::MarkYears });
    const QImage image = grabImage(&chart);
    // 1 January 2020, 2021 and 2022 are days 214, 580 and 945.
    const QList<int> runs = darkColumnRuns(image, 0, 30);
    QCOMPARE(runs.size(), 3);
    QVERIFY(qAbs(runs.at(0) - int(214 * 0.2 + 5.0)) <= 1);
    QVERIFY(qAbs(runs.at(1) - int(580 * 0.2 + 5.0)) <= 1);
    QVERIFY(qAbs(runs.at(2) - int(945 * 0.2 + 5.0)) <= 1);
}

void TestTLine1::shouldAlignEndMarkLabelsInsideTheRange()
{
    TLine1 chart;
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 31), 10.0, 100.0, 2, 2, { TLine::MarkEnds });
    const QImage image = grabImage(&chart);
    const int xs = 5;
    const int xe = 305;
    // The tick of each end reaches from the axis (40) to 65, the labels'
    // baseline is 70.
    QVERIFY(isDark(image, xs, 60));
    QVERIFY(isDark(image, xe, 60));
    const QPair<int, int> startLabel = darkExtent(image, QRect(0, 66, 100, 4));
    QVERIFY2(startLabel.first >= xs && startLabel.first <= xs + 2, qPrintable(QString::number(startLabel.first)));
    const QPair<int, int> endLabel = darkExtent(image, QRect(200, 66, image.width() - 200, 4));
    QVERIFY2(endLabel.second <= xe - 1 && endLabel.second >= xe - 4, qPrintable(QString::number(endLabel.second)));
}

void TestTLine1::shouldRecordHitBoxesInRowOrder()
{
    TLItemModel model;
    const QString text = QStringLiteral("<p>Label</p>");
    addItem(&model, QDate(2021, 3, 4), 1, text, Qt::yellow, QDate(2021, 3, 14));
    addItem(&model, QDate(2021, 3, 6), 0, text, Qt::yellow);
    addItem(&model, QDate(2021, 3, 6), 0, text, Qt::yellow, QDate(2021, 3, 6));
    addItem(&model, QDate(2021, 3, 6), 0, text, Qt::yellow, QDate(2021, 3, 2));
    addItem(&model, QDate(2021, 3, 2), 0, QString(), Qt::yellow);

    Probe chart;
    chart.setModel(&model);
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 31), 10.0, 100.0, 2, 2, {});
    chart.paintOn(chart.size());

    QCOMPARE(chart.itemRects.size(), 5);
    // A span of ten days is 100 pixels: the box is as wide as the span.
    QCOMPARE(chart.itemRects.at(0).topLeft(), QPoint(35, 100));
    QCOMPARE(chart.itemRects.at(0).width(), 110);
    QCOMPARE(chart.itemRects.at(1).topLeft(), QPoint(55, 0));
    // An end on or before the date gives the text width, as no end at all.
    QCOMPARE(chart.itemRects.at(2).size(), chart.itemRects.at(1).size());
    QCOMPARE(chart.itemRects.at(3).size(), chart.itemRects.at(1).size());
    QVERIFY(chart.itemRects.at(1).width() < 110);

    QTextDocument empty;
    empty.adjustSize();
    empty.setTextWidth(empty.idealWidth() + 10.0);
    QCOMPARE(chart.itemRects.at(4), QRect(15, 0, int(empty.size().width()) + 10, int(empty.size().height()) + 5));
}

void TestTLine1::shouldDrawEndDateLabelLeftOfEndDate()
{
    TLItemModel model;
    addItem(&model, QDate(2021, 3, 4), 0, QStringLiteral("<p>A</p>"), QColor(255, 255, 200), QDate(2021, 3, 14));
    TLine1 chart;
    chart.setModel(&model);
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 31), 10.0, 100.0, 3, 25, { TLine::MarkItems });
    const QImage image = grabImage(&chart);

    Probe probe;
    probe.setModel(&model);
    setChart(&probe, QDate(2021, 3, 1), QDate(2021, 3, 31), 10.0, 100.0, 3, 25, { TLine::MarkItems });
    probe.paintOn(probe.size());
    const QRect box = probe.itemRects.at(0).adjusted(0, 0, -10, -5);
    QCOMPARE(box.left(), 35);
    QCOMPARE(box.width(), 100);

    const QRect band(0, box.bottom() + 1, image.width(), 16);
    const QPair<int, int> first = darkExtent(image, QRect(0, band.top(), 90, band.height()));
    QVERIFY2(first.first >= 36 && first.first <= 38, qPrintable(QString::number(first.first)));
    const QPair<int, int> second = darkExtent(image, QRect(100, band.top(), image.width() - 100, band.height()));
    QVERIFY2(second.first >= 125 && second.first <= 127, qPrintable(QString::number(second.first)));
}

void TestTLine1::shouldDrawOneDateLabelWithoutSpan()
{
    TLItemModel model;
    addItem(&model, QDate(2021, 3, 14), 0, QStringLiteral("<p>A</p>"), QColor(255, 255, 200), QDate(2021, 3, 14));
    Probe chart;
    chart.setModel(&model);
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 31), 10.0, 100.0, 3, 25, { TLine::MarkItems });
    const QImage image = chart.paintOn(chart.size());
    const QRect box = chart.itemRects.at(0).adjusted(0, 0, -10, -5);
    const QRect band(0, box.bottom() + 1, image.width(), 16);
    // The date label starts at x1 + 1; nothing is drawn 10 pixels left of it.
    QVERIFY(hasDarkPixel(image, QRect(box.left() + 1, band.top(), 20, band.height())));
    QVERIFY(!hasDarkPixel(image, QRect(box.left() - 12, band.top(), 12, band.height())));
}

void TestTLine1::shouldLeaveThePainterFontAsItFound()
{
    TLItemModel model;
    addItem(&model, QDate(2021, 3, 4), 0, QStringLiteral("<p>A</p>"), Qt::white, QDate(2021, 3, 14));
    Probe chart;
    chart.setModel(&model);
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 31), 10.0, 100.0, 3, 25,
             { TLine::MarkItems, TLine::MarkEnds, TLine::MarkDays });
    QImage image(chart.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    QFont font(QStringLiteral("DejaVu Sans"), 13);
    painter.setFont(font);
    const QPen pen(Qt::red, 3);
    painter.setPen(pen);
    chart.paintItem(&painter, 0, QRect());
    QCOMPARE(painter.font(), font);
    QCOMPARE(painter.pen(), pen);
}

void TestTLine1::shouldRenderTheReferenceChart()
{
    TLItemModel model;
    addReferenceItems(&model);

    TLine1 chart;
    chart.setModel(&model);
    setChart(&chart, QDate(2006, 10, 4), QDate(2006, 11, 8), 20.4, 94.99, 4, 10,
             { 0, 1, 2, 3, 4, 5, 6, 7, 8 });
    chart.setBgColors({ Qt::white, Qt::white, Qt::blue });
    chart.setBgMode(TLine::VerticalGradient);
    const QImage image = grabImage(&chart);
    QCOMPARE(image.size(), QSize(744, 379));

    compareWithReference(image, QStringLiteral("style1.png"));
}

// Year marks step from 1 BC to 1 AD, and years before 1 read as "1 BC" in
// the marks, the ends and the item dates.
void TestTLine1::shouldRenderAChartAcrossTheBirthOfChrist()
{
    TLItemModel model;
    addItem(&model, QDate(-1, 3, 15), 0, QStringLiteral("<p>Ides of March</p>"), QColor("#ffff00"), QDate(-1, 5, 1));
    addItem(&model, QDate(1, 2, 10), 1, QStringLiteral("<p>Anno Domini</p>"), QColor("#e0e0e0"));
    TLine1 chart;
    chart.setModel(&model);
    setChart(&chart, QDate(-2, 10, 1), QDate(2, 3, 31), 1.5, 50.0, 4, 20,
             { TLine::MarkYears, TLine::MarkMonths, TLine::MarkEnds, TLine::MarkItems, TLine::ItemShadow });
    chart.setBgColors({ Qt::white });
    chart.setBgMode(TLine::SolidBackground);
    compareWithReference(grabImage(&chart), QStringLiteral("style1-birth-of-christ.png"));
}

void TestTLine1::shouldPaintQuicklyWithOddParameters_data()
{
    addOddParameterRows();
}

void TestTLine1::shouldPaintQuicklyWithOddParameters()
{
    verifyQuickPaintWithOddParameters<TLine1>(2000);
}

void TestTLine1::shouldKeepHitBoxesOfItemsOutsideTheClip()
{
    TLItemModel model;
    addItem(&model, QDate(2021, 3, 2), 0, QStringLiteral("<p>in view</p>"), Qt::yellow);
    addItem(&model, QDate(2021, 3, 28), 1, QStringLiteral("<p>out of view</p>"), Qt::yellow);
    Probe chart;
    chart.setModel(&model);
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 31), 10.0, 100.0, 2, 2, {});
    const QImage clipped = chart.paintOn(chart.size(), QRect(0, 0, 100, 100));
    const QList<QRect> clippedRects = chart.itemRects;
    chart.paintOn(chart.size());
    QCOMPARE(clippedRects, chart.itemRects);
    QCOMPARE(clippedRects.at(1).topLeft(), QPoint(275, 100));
}

void TestTLine1::shouldDrawTheSameInsideAClip_data()
{
    QTest::addColumn<double>("dayWidth");
    QTest::addColumn<QRect>("clip");

    QTest::newRow("between two marks") << 25.0 << QRect(1010, 0, 12, 300);
    QTest::newRow("one column") << 25.0 << QRect(1231, 0, 1, 300);
    QTest::newRow("labels only") << 25.0 << QRect(1000, 40, 400, 30);
    QTest::newRow("part of an item") << 25.0 << QRect(460, 100, 30, 30);
    QTest::newRow("end label") << 25.0 << QRect(2380, 0, 80, 300);
    QTest::newRow("year label, mark outside") << 0.2 << QRect(56, 0, 6, 300);
}

void TestTLine1::shouldDrawTheSameInsideAClip()
{
    QFETCH(double, dayWidth);
    QFETCH(QRect, clip);

    TLItemModel model;
    addItem(&model, QDate(2020, 12, 3), 1, QStringLiteral("<p>A long <b>label</b></p>"), Qt::yellow,
            QDate(2021, 1, 20));
    addItem(&model, QDate(2020, 12, 28), 0, QStringLiteral("<p>Short</p>"), Qt::cyan);
    // Three years at a day width of 0.2 carry year marks only.
    const bool years = dayWidth < 1.0;
    Probe chart;
    chart.setModel(&model);
    const QDate start = years ? QDate(2019, 6, 1) : QDate(2020, 11, 15);
    const QDate end = years ? QDate(2022, 3, 1) : QDate(2021, 2, 20);
    setChart(&chart, start, end, dayWidth, 100.0, 3, 2, { 0, 1, 2, 3, 4, 5, 6, 7, 8 });
    chart.setBgColors({ QColor(230, 240, 255) });
    chart.setBgMode(TLine::SolidBackground);
    const QImage whole = chart.paintOn(chart.size());
    const QImage clipped = chart.paintOn(chart.size(), clip);
    QCOMPARE(clipped.copy(clip), whole.copy(clip));
}

void TestTLine1::shouldRenderAPartAsTheWholeShowsIt()
{
    verifyPartRendersAsWhole<TLine1>(25.0, QRect(1000, 0, 300, 200));
}

QTEST_MAIN(TestTLine1)
#include "tst_tline1.moc"
