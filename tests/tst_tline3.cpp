#include "chartprobe.h"
#include "model/tlitemmodel.h"
#include "styles/tline3.h"

#include <QtTest>

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QLocale>

namespace {

using Probe = ChartProbe<TLine3>;

// The first row of every run of adjacent rows holding a dark pixel between
// the columns left and right.
QList<int> darkRowRuns(const QImage &image, int left, int right)
{
    QList<int> runs;
    bool inRun = false;
    for (int y = 0; y < image.height(); ++y) {
        const bool dark = hasDarkPixel(image, QRect(left, y, right - left + 1, 1));
        if (dark && !inRun)
            runs.append(y);
        inRun = dark;
    }
    return runs;
}

}

class TestTLine3 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shouldNameItsOwnClass();
    void shouldSizeColumnsAndDays();
    void shouldShiftColumnsAtAndAfterTheArrow_data();
    void shouldShiftColumnsAtAndAfterTheArrow();
    void shouldEndTheArrowAfterTheLastDay();
    void shouldMarkDaysBetweenStartAndEnd_data();
    void shouldMarkDaysBetweenStartAndEnd();
    void shouldLabelWeekMarksFromDayWidth15_data();
    void shouldLabelWeekMarksFromDayWidth15();
    void shouldPutStartEndMarkOnTheFirstDay_data();
    void shouldPutStartEndMarkOnTheFirstDay();
    void shouldSpanItemsDownToTheirEndDate();
    void shouldJoinBothItemDatesInOneLabel();
    void shouldDrawTheSameInsideAClip_data();
    void shouldDrawTheSameInsideAClip();
    void shouldRenderAPartAsTheWholeShowsIt();
    void shouldRenderTheReferenceChart();
    void shouldPaintQuicklyWithOddParameters_data();
    void shouldPaintQuicklyWithOddParameters();

};

void TestTLine3::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
}

void TestTLine3::shouldNameItsOwnClass()
{
    TLine3 chart;
    QCOMPARE(chart.metaObject()->className(), "TLine3");
}

void TestTLine3::shouldSizeColumnsAndDays()
{
    TLine3 chart;
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 31), 10.0, 94.99, 4, 2, {});
    QCOMPARE(chart.size(), QSize(379 + 50, 320));
    chart.setDayWidth(20.4);
    QCOMPARE(chart.size(), QSize(429, int(31 * 20.4 + 10.0)));
}

void TestTLine3::shouldShiftColumnsAtAndAfterTheArrow_data()
{
    QTest::addColumn<int>("tPos");
    QTest::addColumn<int>("axisX");
    QTest::addColumn<QList<int>>("columns");

    QTest::newRow("default") << 2 << 4 << QList<int>({ 50, 150, 250 });
    QTest::newRow("one column in") << 100 << 200 << QList<int>({ 0, 150, 250 });
    QTest::newRow("half a column in") << 75 << 150 << QList<int>({ 0, 150, 250 });
    QTest::newRow("just past the first column") << 101 << 202 << QList<int>({ 0, 100, 250 });
}

void TestTLine3::shouldShiftColumnsAtAndAfterTheArrow()
{
    QFETCH(int, tPos);
    QFETCH(int, axisX);
    QFETCH(QList<int>, columns);

    TLItemModel model;
    for (int pos = 0; pos < 3; ++pos)
        addItem(&model, QDate(2021, 3, 4), pos, QStringLiteral("<p>Box</p>"), Qt::yellow);
    Probe chart;
    chart.setModel(&model);
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 10), 10.0, 100.0, 3, tPos, {});
    const QImage image = chart.paintOn(chart.size());
    for (int pos = 0; pos < 3; ++pos)
        QCOMPARE(chart.itemRects.at(pos).topLeft(), QPoint(columns.at(pos), 35));

    // The shaft is 8 pixels wide around the axis.
    const QPair<int, int> shaft = darkExtent(image, QRect(qMax(0, axisX - 10), 90, 30, 1));
    QCOMPARE(shaft.first, qMax(0, axisX - 4));
    QCOMPARE(shaft.second, axisX + 3);
}

void TestTLine3::shouldEndTheArrowAfterTheLastDay()
{
    TLine3 chart;
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 10), 10.0, 100.0, 2, 100, {});
    QCOMPARE(chart.height(), 110);
    const QImage image = grabImage(&chart);
    // Shaft from 0 to 100, tip at 108, narrower than a pixel in its last row.
    QVERIFY(isDark(image, 197, 0));
    QVERIFY(isDark(image, 196, 99));
    QVERIFY(!isDark(image, 195, 99));
    QVERIFY(isDark(image, 195, 100));
    QVERIFY(isDark(image, 200, 106));
    QVERIFY(!hasDarkPixel(image, QRect(190, 108, 20, 2)));
}

void TestTLine3::shouldMarkDaysBetweenStartAndEnd_data()
{
    QTest::addColumn<double>("dayWidth");
    QTest::addColumn<QList<int>>("lines");

    // Days 2 to 9 of March 2021: neither the start nor the end.
    QList<int> everyDay;
    for (int i = 1; i <= 8; ++i)
        everyDay.append(5 + 15 * i);
    QTest::newRow("15") << 15.0 << everyDay;
    QTest::newRow("14.9") << 14.9 << QList<int>();
}

void TestTLine3::shouldMarkDaysBetweenStartAndEnd()
{
    QFETCH(double, dayWidth);
    QFETCH(QList<int>, lines);

    TLine3 chart;
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 10), dayWidth, 100.0, 2, 2, { TLine::MarkDays });
    const QImage image = grabImage(&chart);
    QCOMPARE(darkRowRuns(image, 100, 240), lines);
}

void TestTLine3::shouldLabelWeekMarksFromDayWidth15_data()
{
    QTest::addColumn<double>("dayWidth");
    QTest::addColumn<bool>("labelled");

    QTest::newRow("15") << 15.0 << true;
    QTest::newRow("14.9") << 14.9 << false;
}

void TestTLine3::shouldLabelWeekMarksFromDayWidth15()
{
    QFETCH(double, dayWidth);
    QFETCH(bool, labelled);

    TLine3 chart;
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 20), dayWidth, 100.0, 2, 2, { TLine::MarkWeeks });
    const QImage image = grabImage(&chart);
    const int y8 = int(7 * dayWidth + 5.0);
    const int y15 = int(14 * dayWidth + 5.0);
    QCOMPARE(darkRowRuns(image, 100, 240), QList<int>({ y8, y15 }));
    for (int y : { y8, y15 })
        QCOMPARE(hasDarkPixel(image, QRect(9, y - 5, 20, 5)), labelled);
}

void TestTLine3::shouldPutStartEndMarkOnTheFirstDay_data()
{
    QTest::addColumn<int>("tPos");
    QTest::addColumn<int>("axisX");

    QTest::newRow("default") << 2 << 4;
    QTest::newRow("one column in") << 100 << 200;
}

void TestTLine3::shouldPutStartEndMarkOnTheFirstDay()
{
    QFETCH(int, tPos);
    QFETCH(int, axisX);

    TLine3 chart;
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 10), 10.0, 100.0, 3, tPos, { TLine::MarkEnds });
    const QImage image = grabImage(&chart);
    // Ticks from the axis to 15 pixels right of it at y 5 and at y 95.
    for (int y : { 5, 95 }) {
        QVERIFY(isDark(image, axisX + 15, y));
        QVERIFY(isDark(image, axisX + 8, y));
        QVERIFY(!isDark(image, axisX + 8, y - 1));
        QVERIFY(!isDark(image, axisX + 8, y + 1));
    }
    // The labels hang right of the ticks, their baselines 5 below.
    QVERIFY(hasDarkPixel(image, QRect(axisX + 16, 6, 40, 4)));
    QVERIFY(hasDarkPixel(image, QRect(axisX + 16, 96, 40, 4)));
}

void TestTLine3::shouldSpanItemsDownToTheirEndDate()
{
    TLItemModel model;
    const QString tall = QStringLiteral("<p>One</p><p>Two</p><p>Three</p><p>Four</p>");
    addItem(&model, QDate(2021, 3, 4), 0, tall, Qt::yellow, QDate(2021, 3, 6));
    addItem(&model, QDate(2021, 3, 4), 1, tall, Qt::yellow);
    addItem(&model, QDate(2021, 3, 4), 1, tall, Qt::yellow, QDate(2021, 3, 4));
    addItem(&model, QDate(2021, 3, 4), 1, tall, Qt::yellow, QDate(2021, 3, 2));
    Probe chart;
    chart.setModel(&model);
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 31), 10.0, 100.0, 2, 2, {});
    const QImage image = chart.paintOn(chart.size());

    QCOMPARE(chart.itemRects.size(), 4);
    // The text runs on below the 20 pixel box and is cut off there.
    const int right = 50 + chart.itemRects.at(0).width() - 11;
    QCOMPARE(image.pixel(right, 54), QColor(Qt::yellow).rgb());
    QCOMPARE(image.pixel(right, 55), QColor(Qt::white).rgb());
    QVERIFY(!hasDarkPixel(image, QRect(50, 55, right - 50, 40)));
    QCOMPARE(chart.itemRects.at(0).topLeft(), QPoint(50, 35));
    QCOMPARE(chart.itemRects.at(0).height(), 20 + 5);
    QCOMPARE(chart.itemRects.at(1).topLeft(), QPoint(150, 35));
    QVERIFY(chart.itemRects.at(1).height() > 60);
    QCOMPARE(chart.itemRects.at(2), chart.itemRects.at(1));
    QCOMPARE(chart.itemRects.at(3), chart.itemRects.at(1));
    // The width is the text's whether or not the item spans days.
    QCOMPARE(chart.itemRects.at(0).width(), chart.itemRects.at(1).width());
}

void TestTLine3::shouldJoinBothItemDatesInOneLabel()
{
    TLItemModel model;
    addItem(&model, QDate(2021, 3, 4), 0, QStringLiteral("<p>A</p>"), QColor(255, 255, 200), QDate(2021, 3, 6));
    addItem(&model, QDate(2021, 3, 4), 2, QStringLiteral("<p>A</p>"), QColor(255, 255, 200), QDate(2021, 3, 4));
    Probe chart;
    chart.setModel(&model);
    setChart(&chart, QDate(2021, 3, 1), QDate(2021, 3, 31), 10.0, 100.0, 3, 2, { TLine::MarkItems });
    const QImage image = chart.paintOn(chart.size());

    QList<int> rights;
    for (int row = 0; row < 2; ++row) {
        const QRect box = chart.itemRects.at(row).adjusted(0, 0, -10, -5);
        const QPair<int, int> label = darkExtent(image, QRect(box.left(), box.bottom() + 1, 100, 16));
        QVERIFY2(label.first >= box.left() + 1 && label.first <= box.left() + 3, qPrintable(QString::number(row)));
        rights.append(label.second - box.left());
    }
    // "04/03/2021 - 06/03/2021" against "04/03/2021".
    QVERIFY2(rights.at(0) > 2 * rights.at(1), qPrintable(QString::number(rights.at(0))));
    QVERIFY(rights.at(1) > 20);
}

void TestTLine3::shouldDrawTheSameInsideAClip_data()
{
    QTest::addColumn<double>("dayWidth");
    QTest::addColumn<QRect>("clip");

    QTest::newRow("between two marks") << 15.0 << QRect(0, 507, 300, 10);
    QTest::newRow("one row") << 15.0 << QRect(0, 503, 300, 1);
    QTest::newRow("labels only") << 15.0 << QRect(0, 400, 60, 300);
    QTest::newRow("part of an item") << 15.0 << QRect(60, 320, 30, 30);
    QTest::newRow("end label") << 15.0 << QRect(0, 1200, 300, 40);
    QTest::newRow("year label, mark outside") << 0.2 << QRect(0, 50, 300, 4);
}

void TestTLine3::shouldDrawTheSameInsideAClip()
{
    QFETCH(double, dayWidth);
    QFETCH(QRect, clip);

    TLItemModel model;
    addItem(&model, QDate(2021, 2, 1), 0, QStringLiteral("<p>A long <b>label</b></p>"), Qt::yellow,
            QDate(2021, 2, 20));
    addItem(&model, QDate(2021, 3, 1), 1, QStringLiteral("<p>Short</p>"), Qt::cyan);
    // Three years at a day width of 0.2 carry year marks only.
    const bool years = dayWidth < 1.0;
    Probe chart;
    chart.setModel(&model);
    const QDate start = years ? QDate(2019, 6, 1) : QDate(2021, 1, 20);
    const QDate end = years ? QDate(2022, 3, 1) : QDate(2021, 4, 10);
    setChart(&chart, start, end, dayWidth, 100.0, 3, 2, { 0, 1, 2, 3, 4, 5, 6, 7, 8 });
    chart.setBgColors({ QColor(230, 240, 255) });
    chart.setBgMode(TLine::SolidBackground);
    const QImage whole = chart.paintOn(chart.size());
    const QImage clipped = chart.paintOn(chart.size(), clip);
    QCOMPARE(clipped.copy(clip), whole.copy(clip));
}

void TestTLine3::shouldRenderAPartAsTheWholeShowsIt()
{
    verifyPartRendersAsWhole<TLine3>(15.0, QRect(0, 700, 300, 200));
}

void TestTLine3::shouldRenderTheReferenceChart()
{
    TLItemModel model;
    addReferenceItems(&model);

    TLine3 chart;
    chart.setModel(&model);
    setChart(&chart, QDate(2006, 10, 4), QDate(2006, 11, 8), 20.4, 94.99, 4, 10,
             { 0, 1, 2, 3, 4, 5, 6, 7, 8 });
    chart.setBgColors({ Qt::white, Qt::white, Qt::blue });
    chart.setBgMode(TLine::VerticalGradient);
    const QImage image = grabImage(&chart);
    QCOMPARE(image.size(), QSize(429, 744));

    compareWithReference(image, QStringLiteral("style3.png"));
}

void TestTLine3::shouldPaintQuicklyWithOddParameters_data()
{
    addOddParameterRows();
}

void TestTLine3::shouldPaintQuicklyWithOddParameters()
{
    verifyQuickPaintWithOddParameters<TLine3>(2000);
}

QTEST_MAIN(TestTLine3)
#include "tst_tline3.moc"
