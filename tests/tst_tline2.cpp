#include "chartprobe.h"
#include "model/tlitemmodel.h"
#include "styles/tline2.h"

#include <QtTest>

#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QLocale>

namespace {

using Probe = ChartProbe<TLine2>;

QList<int> darkRows(const QImage &image, int x)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        if (isDark(image, x, y))
            rows.append(y);
    }
    return rows;
}

}

class TestTLine2 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shouldNameItsOwnClass();
    void shouldSizeWithHeadingAndMargin();
    void shouldKeepSizeWhenEndPrecedesStart();
    void shouldDrawRowLinesFromTruncatedSteps_data();
    void shouldDrawRowLinesFromTruncatedSteps();
    void shouldStopRowLinesBelowOnePixel();
    void shouldMarkYearsAndMonthsAtDayWidth1();
    void shouldLabelMonthsWithoutMonthMarks();
    void shouldLabelDaysAtMonthMarksFromDayWidth20();
    void shouldIgnoreDecorationsAndEndMarks();
    void shouldPlaceItemsAsPlainBars();
    void shouldDrawItemDatesWithMarkItems_data();
    void shouldDrawItemDatesWithMarkItems();
    void shouldDrawTheSameInsideAClip_data();
    void shouldDrawTheSameInsideAClip();
    void shouldRenderAPartAsTheWholeShowsIt();
    void shouldRenderTheReferenceChart();
    void shouldPaintQuicklyWithOddParameters_data();
    void shouldPaintQuicklyWithOddParameters();

};

void TestTLine2::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
}

void TestTLine2::shouldNameItsOwnClass()
{
    TLine2 chart;
    QCOMPARE(chart.metaObject()->className(), "TLine2");
}

void TestTLine2::shouldSizeWithHeadingAndMargin()
{
    TLine2 chart;
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 31), 10.0, 33.5, 3, 2, {});
    QCOMPARE(chart.size(), QSize(31 * 10 + 105, 100 + 50));
    chart.setDayWidth(20.4);
    chart.setPosHeight(94.99);
    QCOMPARE(chart.size(), QSize(int(31 * 20.4 + 105.0), 284 + 50));
}

void TestTLine2::shouldKeepSizeWhenEndPrecedesStart()
{
    TLine2 chart;
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 31), 10.0, 100.0, 2, 2, { 0, 1, 2, 3 });
    const QSize before = chart.size();
    chart.setEnd(QDate(2021, 2, 1));
    QCOMPARE(chart.size(), before);
    chart.setMaxPos(3);
    QCOMPARE(chart.size(), before);

    // Only the left rule stands below the heading: the scan finds no day.
    const QImage image = grabImage(&chart);
    QCOMPARE(darkColumnRuns(image, 150, 240), QList<int>({ 97 }));
}

void TestTLine2::shouldDrawRowLinesFromTruncatedSteps_data()
{
    QTest::addColumn<double>("posHeight");
    QTest::addColumn<int>("maxPos");
    QTest::addColumn<QList<int>>("lines");

    QTest::newRow("100, height 250") << 100.0 << 2 << QList<int>({ 48, 148, 248 });
    QTest::newRow("33.5, height 251") << 33.5 << 6 << QList<int>({ 48, 81, 114, 147, 180, 213, 246 });
    QTest::newRow("94.99, height 429") << 94.99 << 4 << QList<int>({ 48, 142, 236, 330, 424 });
}

void TestTLine2::shouldDrawRowLinesFromTruncatedSteps()
{
    QFETCH(double, posHeight);
    QFETCH(int, maxPos);
    QFETCH(QList<int>, lines);

    TLine2 chart;
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 31), 10.0, posHeight, maxPos, 2, {});
    const QImage image = grabImage(&chart);
    QCOMPARE(darkRows(image, 50), lines);
    QCOMPARE(darkRows(image, image.width() - 1), lines);
}

void TestTLine2::shouldStopRowLinesBelowOnePixel()
{
    TLine2 chart;
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 31), 10.0, 0.5, 1000, 2, {});
    QCOMPARE(chart.height(), 550);
    QElapsedTimer timer;
    timer.start();
    const QImage image = grabImage(&chart);
    QVERIFY(timer.elapsed() < 2000);
    QCOMPARE(darkRows(image, 50), QList<int>({ 48 }));
}

void TestTLine2::shouldMarkYearsAndMonthsAtDayWidth1()
{
    TLine2 chart;
    setChart(&chart, QDate(2020, 11, 15), QDate(2022, 2, 10), 1.0, 100.0, 2, 2, { 0, 1, 2, 3 });
    const QImage image = grabImage(&chart);

    // First days of December 2020 to February 2022; the two Januaries as
    // year marks. No Monday gets a week mark, no day a day mark.
    QList<int> marks;
    QList<int> yearMarks;
    for (QDate day(2020, 12, 1); day <= QDate(2022, 2, 10); day = day.addMonths(1)) {
        const int x = 100 + int(QDate(2020, 11, 15).daysTo(day));
        marks.append(x);
        if (day.month() == 1)
            yearMarks.append(x);
    }
    QList<int> runs = darkColumnRuns(image, 150, 240);
    QCOMPARE(runs.takeFirst(), 97);
    QCOMPARE(runs.size(), marks.size());
    for (int i = 0; i < runs.size(); ++i)
        QVERIFY2(qAbs(runs.at(i) - marks.at(i)) <= 1, qPrintable(QString::number(runs.at(i))));

    // Year labels centred on a nominal year, month labels on a nominal month.
    // The label of 2022 lies beyond the chart's right edge.
    QVERIFY(hasDarkPixel(image, QRect(yearMarks.at(0) + 150, 0, 60, 12)));
    for (int x : marks)
        QVERIFY(hasDarkPixel(image, QRect(x + 1, 15, 28, 12)));
    // No day labels at the month marks: between the heading and the first
    // row only the year lines cross.
    for (int x = 100; x < image.width(); ++x) {
        bool nearYear = false;
        for (int yx : yearMarks)
            nearYear |= qAbs(x - yx) <= 2;
        if (!nearYear)
            QVERIFY2(!hasDarkPixel(image, QRect(x, 32, 1, 14)), qPrintable(QString::number(x)));
    }
}

void TestTLine2::shouldLabelMonthsWithoutMonthMarks()
{
    TLine2 chart;
    setChart(&chart, QDate(2020, 11, 15), QDate(2022, 2, 10), 1.0, 100.0, 2, 2, { TLine::MarkYears });
    const QImage image = grabImage(&chart);
    const int year2021 = 100 + int(QDate(2020, 11, 15).daysTo(QDate(2021, 1, 1)));
    const int year2022 = 100 + int(QDate(2020, 11, 15).daysTo(QDate(2022, 1, 1)));
    QList<int> runs = darkColumnRuns(image, 150, 240);
    QCOMPARE(runs.size(), 3);
    QVERIFY(qAbs(runs.at(1) - year2021) <= 1);
    QVERIFY(qAbs(runs.at(2) - year2022) <= 1);
    // "Nov" for the start, "Jan" at both year marks; nothing in between.
    QVERIFY(hasDarkPixel(image, QRect(101, 15, 28, 12)));
    QVERIFY(hasDarkPixel(image, QRect(year2021 + 2, 15, 28, 12)));
    QVERIFY(hasDarkPixel(image, QRect(year2022 + 2, 15, 28, 12)));
    QVERIFY(!hasDarkPixel(image, QRect(140, 15, year2021 - 140 - 2, 12)));
    QVERIFY(!hasDarkPixel(image, QRect(year2021 + 40, 15, year2022 - year2021 - 45, 12)));
}

void TestTLine2::shouldLabelDaysAtMonthMarksFromDayWidth20()
{
    QImage images[2];
    const double widths[2] = { 19.9, 20.0 };
    for (int i = 0; i < 2; ++i) {
        TLine2 chart;
        setChart(&chart, QDate(2021, 3, 25), QDate(2021, 4, 5), widths[i], 100.0, 2, 2, { TLine::MarkMonths });
        images[i] = grabImage(&chart);
    }
    // 1 April: a month mark at day 7; "01" centred on it at baseline 45.
    const int x199 = int(7 * 19.9 + 100.0);
    const int x20 = 7 * 20 + 100;
    QVERIFY(!hasDarkPixel(images[0], QRect(x199 - 12, 35, 24, 12)));
    QVERIFY(hasDarkPixel(images[1], QRect(x20 - 12, 35, 24, 12)));
}

void TestTLine2::shouldIgnoreDecorationsAndEndMarks()
{
    TLItemModel model;
    addItem(&model, QDate(2021, 3, 4), 0, QStringLiteral("<p>Bar</p>"), Qt::yellow, QDate(2021, 3, 14));
    addItem(&model, QDate(2021, 3, 20), 1, QStringLiteral("<p>Other</p>"), Qt::cyan);
    QImage images[2];
    const QSet<int> flagSets[2] = { { 0, 1, 2, 3 }, { 0, 1, 2, 3, 4, 6, 7, 8 } };
    for (int i = 0; i < 2; ++i) {
        TLine2 chart;
        chart.setModel(&model);
        setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 31), 20.0, 100.0, 2, 2, flagSets[i]);
        images[i] = grabImage(&chart);
    }
    QCOMPARE(images[1], images[0]);
}

void TestTLine2::shouldPlaceItemsAsPlainBars()
{
    TLItemModel model;
    addItem(&model, QDate(2021, 3, 4), 1, QStringLiteral("<p>Bar</p>"), Qt::yellow, QDate(2021, 3, 14));
    addItem(&model, QDate(2021, 3, 2), 0, QStringLiteral("<p>Bar</p>"), Qt::yellow, QDate(2021, 3, 2));
    Probe chart;
    chart.setModel(&model);
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 31), 10.0, 100.0, 2, 2, { 6, 7, 8 });
    const QImage image = chart.paintOn(chart.size());
    QCOMPARE(chart.itemRects.size(), 2);
    QCOMPARE(chart.itemRects.at(0).topLeft(), QPoint(130, 150));
    QCOMPARE(chart.itemRects.at(0).width(), 110);
    QCOMPARE(chart.itemRects.at(1).topLeft(), QPoint(110, 50));
    QVERIFY(chart.itemRects.at(1).width() < 110);

    // Square corners and no shadow, whatever the flags say.
    const QRect box = chart.itemRects.at(0).adjusted(0, 0, -10, -5);
    QCOMPARE(image.pixel(box.topLeft()), QColor(Qt::yellow).rgb());
    QCOMPARE(image.pixel(box.bottomRight()), QColor(Qt::yellow).rgb());
    QCOMPARE(image.pixel(box.bottomRight() + QPoint(3, 3)), QColor(Qt::white).rgb());
}

void TestTLine2::shouldDrawItemDatesWithMarkItems_data()
{
    QTest::addColumn<bool>("flag");
    QTest::addColumn<bool>("field");
    QTest::addColumn<bool>("labelled");

    QTest::newRow("display flag") << true << false << true;
    QTest::newRow("field only") << false << true << false;
    QTest::newRow("neither") << false << false << false;
}

void TestTLine2::shouldDrawItemDatesWithMarkItems()
{
    QFETCH(bool, flag);
    QFETCH(bool, field);
    QFETCH(bool, labelled);

    TLItemModel model;
    addItem(&model, QDate(2021, 3, 4), 0, QStringLiteral("<p>A</p>"), QColor(255, 255, 200), QDate(2021, 3, 14));
    Probe chart;
    chart.setModel(&model);
    chart.setMarkItems(field);
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 31), 10.0, 100.0, 3, 2,
             flag ? QSet<int>({ TLine::MarkItems }) : QSet<int>());
    const QImage image = chart.paintOn(chart.size());
    const QRect box = chart.itemRects.at(0).adjusted(0, 0, -10, -5);
    const QRect band(box.left() - 20, box.bottom() + 1, box.width() + 80, 16);
    QCOMPARE(hasDarkPixel(image, band), labelled);
    if (labelled) {
        // The start date at x1 + 1, the end date from x2 - 10.
        const QPair<int, int> first = darkExtent(image, QRect(box.left(), band.top(), 50, band.height()));
        QVERIFY2(first.first >= box.left() + 1 && first.first <= box.left() + 3,
                 qPrintable(QString::number(first.first)));
        const QPair<int, int> second = darkExtent(image, QRect(box.right() - 20, band.top(), 100, band.height()));
        QVERIFY2(second.first >= box.right() + 1 - 10 && second.first <= box.right() + 1 - 8,
                 qPrintable(QString::number(second.first)));
    }
}

void TestTLine2::shouldDrawTheSameInsideAClip_data()
{
    QTest::addColumn<double>("dayWidth");
    QTest::addColumn<QRect>("clip");

    // Year labels stand about 180 pixels right of their mark at a day
    // width of 1, month labels about 290 at 20.
    QTest::newRow("year label") << 1.0 << QRect(470, 0, 30, 20);
    QTest::newRow("year label, one column") << 1.0 << QRect(481, 0, 1, 60);
    QTest::newRow("month label") << 20.0 << QRect(4750, 0, 40, 30);
    QTest::newRow("day labels") << 20.0 << QRect(3000, 30, 300, 20);
    QTest::newRow("rows") << 20.0 << QRect(3000, 100, 300, 200);
}

void TestTLine2::shouldDrawTheSameInsideAClip()
{
    QFETCH(double, dayWidth);
    QFETCH(QRect, clip);

    TLItemModel model;
    addItem(&model, QDate(2020, 12, 3), 1, QStringLiteral("<p>A long <b>label</b></p>"), Qt::yellow,
            QDate(2021, 1, 20));
    addItem(&model, QDate(2020, 12, 28), 0, QStringLiteral("<p>Short</p>"), Qt::cyan);
    Probe chart;
    chart.setModel(&model);
    setChart(&chart, QDate(2019, 6, 1), QDate(2022, 3, 1), dayWidth, 100.0, 3, 2, { 0, 1, 2, 3, 4, 5, 6, 7, 8 });
    const QImage whole = chart.paintOn(chart.size());
    const QImage clipped = chart.paintOn(chart.size(), clip);
    QCOMPARE(clipped.copy(clip), whole.copy(clip));
}

void TestTLine2::shouldRenderAPartAsTheWholeShowsIt()
{
    verifyPartRendersAsWhole<TLine2>(25.0, QRect(1000, 0, 300, 200));
}

void TestTLine2::shouldRenderTheReferenceChart()
{
    TLItemModel model;
    addReferenceItems(&model);

    TLine2 chart;
    chart.setModel(&model);
    setChart(&chart, QDate(2006, 10, 4), QDate(2006, 11, 8), 20.4, 94.99, 4, 10, { 0, 1, 2, 3, 4, 5, 6, 7 });
    chart.setBgColors({ Qt::white, Qt::white, Qt::blue });
    chart.setBgMode(TLine::VerticalGradient);
    const QImage image = grabImage(&chart);
    QCOMPARE(image.size(), QSize(839, 429));

    compareWithReference(image, QStringLiteral("style2.png"));
}

void TestTLine2::shouldPaintQuicklyWithOddParameters_data()
{
    addOddParameterRows();
    const QDate start(2006, 10, 4);
    QTest::newRow("row height below a pixel") << start << start.addDays(30) << 20.0 << 0.01 << 1000000 << false;
    QTest::newRow("one pixel rows, tall") << start << start.addDays(30) << 20.0 << 1.0 << 20000000 << false;
}

void TestTLine2::shouldPaintQuicklyWithOddParameters()
{
    verifyQuickPaintWithOddParameters<TLine2>(3000);
}

QTEST_MAIN(TestTLine2)
#include "tst_tline2.moc"
