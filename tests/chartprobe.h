#ifndef CHARTPROBE_H
#define CHARTPROBE_H

#include "model/tlitemmodel.h"
#include "styles/tline1.h"
#include "styles/tline2.h"
#include "styles/tline3.h"
#include "view/tline.h"

#include <QtTest>

#include <QBrush>
#include <QColor>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPair>
#include <QRect>
#include <QRegion>
#include <QSet>
#include <QString>

// The one way the tests reach the chart's protected state: a chart style
// opened up, its view parameters, hit boxes and painters, and painting on
// an image with an optional painter clip; TLineProbe reads the same state
// of a chart made elsewhere, such as the window's.
template <typename Style>
class ChartProbe : public Style
{
public:
    using Style::Style;
    using Style::bg;
    using Style::bgColors;
    using Style::dateToX;
    using Style::dayWidth;
    using Style::displayFlags;
    using Style::dragStartPos;
    using Style::end;
    using Style::itemPoint;
    using Style::itemRects;
    using Style::markEnds;
    using Style::markItems;
    using Style::maxPos;
    using Style::model;
    using Style::paint;
    using Style::paintItem;
    using Style::posHeight;
    using Style::posToY;
    using Style::start;
    using Style::tPos;

    QImage paintOn(const QSize &size, const QRect &clip = QRect())
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        if (!clip.isNull())
            painter.setClipRect(clip);
        this->paint(&painter);
        return image;
    }
};

// The chart's state, read from any chart.
struct TLineProbe : TLine
{
    static QSet<int> flagsOf(const TLine *t) { return t->*(&TLineProbe::displayFlags); }
    static int maxPosOf(const TLine *t) { return t->*(&TLineProbe::maxPos); }
    static double dayWidthOf(const TLine *t) { return t->*(&TLineProbe::dayWidth); }
    static double posHeightOf(const TLine *t) { return t->*(&TLineProbe::posHeight); }
    static int tPosOf(const TLine *t) { return t->*(&TLineProbe::tPos); }
    static QList<QColor> bgColorsOf(const TLine *t) { return t->*(&TLineProbe::bgColors); }
    static QDate startOf(const TLine *t) { return t->*(&TLineProbe::start); }
    static QDate endOf(const TLine *t) { return t->*(&TLineProbe::end); }
    static QList<QRect> itemRectsOf(const TLine *t) { return t->*(&TLineProbe::itemRects); }
    static QPoint dragStartPosOf(const TLine *t) { return t->*(&TLineProbe::dragStartPos); }
    static QBrush bgOf(const TLine *t) { return t->*(&TLineProbe::bg); }
};

// The signal connections of any object.
struct ObjectProbe : QObject
{
    static int receiversOf(const QObject *o, const char *signal) { return (o->*(&ObjectProbe::receivers))(signal); }
};

// Runs test on a probe of chart style 1, 2 or 3.
template <typename Test>
void withStyle(int style, const Test &test)
{
    if (style == 1) {
        ChartProbe<TLine1> chart;
        test(chart);
    } else if (style == 2) {
        ChartProbe<TLine2> chart;
        test(chart);
    } else {
        ChartProbe<TLine3> chart;
        test(chart);
    }
}

inline bool isDark(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 160;
}

inline bool hasDarkPixel(const QImage &image, const QRect &area)
{
    const QRect r = area & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (isDark(image, x, y))
                return true;
        }
    }
    return false;
}

// The first column of every run of adjacent columns holding a dark pixel
// between the rows top and bottom.
inline QList<int> darkColumnRuns(const QImage &image, int top, int bottom)
{
    QList<int> runs;
    bool inRun = false;
    for (int x = 0; x < image.width(); ++x) {
        const bool dark = hasDarkPixel(image, QRect(x, top, 1, bottom - top + 1));
        if (dark && !inRun)
            runs.append(x);
        inRun = dark;
    }
    return runs;
}

// Leftmost and rightmost columns with a dark pixel inside area.
inline QPair<int, int> darkExtent(const QImage &image, const QRect &area)
{
    int left = -1;
    int right = -1;
    for (int x = area.left(); x <= area.right(); ++x) {
        if (hasDarkPixel(image, QRect(x, area.top(), 1, area.height()))) {
            if (left < 0)
                left = x;
            right = x;
        }
    }
    return { left, right };
}

inline void addItem(TLItemModel *model, const QDate &date, int pos, const QString &text, const QColor &color,
                    const QDate &endDate = QDate())
{
    const int row = model->rowCount();
    model->insertRows(row, 1);
    model->setData(model->index(row, TLItem::DateColumn), date);
    model->setData(model->index(row, TLItem::PosColumn), pos);
    model->setData(model->index(row, TLItem::TextColumn), text);
    model->setData(model->index(row, TLItem::BackgroundColorColumn), color);
    model->setData(model->index(row, TLItem::EndDateColumn), endDate);
}

inline void setChart(TLine *chart, const QDate &start, const QDate &end, double dayWidth, double posHeight,
                     int maxPos, int tPos, const QSet<int> &flags)
{
    chart->setRange(start, end);
    chart->setDayWidth(dayWidth);
    chart->setPosHeight(posHeight);
    chart->setMaxPos(maxPos);
    chart->setTPos(tPos);
    chart->setDisplayFlags(flags);
}

// The items of the reference charts: rich text, a larger and a smaller font,
// colours, and one span.
inline void addReferenceItems(TLItemModel *model)
{
    addItem(model, QDate(2006, 10, 4), 0, QStringLiteral("<p>Projekt<br/>Start</p>"), QColor("#a3a3a3"));
    addItem(model, QDate(2006, 11, 3), 0,
            QStringLiteral("<p><span style=\"font-size:12pt\">Projekt<br/>Ende</span></p>"), QColor("#e0e0e0"));
    addItem(model, QDate(2006, 10, 19), 2,
            QStringLiteral("<p>Zwischen<span style=\"color:#ff5500\">bericht</span></p>"), QColor("#ffff00"));
    addItem(model, QDate(2006, 10, 17), 3,
            QStringLiteral("<p style=\"font-size:7pt\">Ein anderer <b><u>Bericht</u></b><br/>Ist aber auch zu "
                           "<b>machen</b> aber es ist schwerer</p>"),
            QColor("#ffffff"), QDate(2006, 10, 25));
}

// The pixels where a chart drawn at a scale differs from it at scale 1 by
// more than antialiasing, hinting and the phase of dotted lines explain:
// ink (a pixel visibly not white) in one with none within 2 pixels in the
// other, or another colour inside an area of one colour.
inline QList<QPoint> scaledMismatches(const QImage &reference, const QImage &scaled)
{
    const auto isInk = [](QRgb p) { return std::min({ qRed(p), qGreen(p), qBlue(p) }) < 200; };
    const auto anyNear = [&reference](int x, int y, const auto &test) {
        for (int v = std::max(0, y - 2); v <= std::min(reference.height() - 1, y + 2); ++v) {
            for (int u = std::max(0, x - 2); u <= std::min(reference.width() - 1, x + 2); ++u) {
                if (test(u, v))
                    return true;
            }
        }
        return false;
    };
    // A device pixel belongs to the logical pixel its centre lies in.
    QImage scaledInk(reference.size(), QImage::Format_Mono), offColour(reference.size(), QImage::Format_Mono);
    scaledInk.fill(0);
    offColour.fill(0);
    for (int v = 0; v < scaled.height(); ++v) {
        for (int u = 0; u < scaled.width(); ++u) {
            const int x = int((u + 0.5) / scaled.devicePixelRatio()), y = int((v + 0.5) / scaled.devicePixelRatio());
            if (!reference.valid(x, y))
                continue;
            const QRgb p = scaled.pixel(u, v), colour = reference.pixel(x, y);
            if (isInk(p))
                scaledInk.setPixel(x, y, 1);
            if (std::max({ qAbs(qRed(p) - qRed(colour)), qAbs(qGreen(p) - qGreen(colour)),
                           qAbs(qBlue(p) - qBlue(colour)) }) > 16)
                offColour.setPixel(x, y, 1);
        }
    }
    QList<QPoint> mismatches;
    for (int y = 0; y < reference.height(); ++y) {
        for (int x = 0; x < reference.width(); ++x) {
            const QRgb colour = reference.pixel(x, y);
            const bool flat = !anyNear(x, y, [&](int u, int v) { return reference.pixel(u, v) != colour; });
            if ((isInk(colour) && !anyNear(x, y, [&](int u, int v) { return scaledInk.pixelIndex(u, v) != 0; }))
                || (scaledInk.pixelIndex(x, y) != 0
                    && !anyNear(x, y, [&](int u, int v) { return isInk(reference.pixel(u, v)); }))
                || (flat && offColour.pixelIndex(x, y) != 0))
                mismatches.append(QPoint(x, y));
        }
    }
    return mismatches;
}

// Compares image with the reference file name in the test data, or writes
// it there when ZELVARO_UPDATE_REFERENCES is 1.
inline void compareWithReference(const QImage &image, const QString &name)
{
    const QString path = QStringLiteral(ZELVARO_TEST_DATA "/") + name;
    if (qEnvironmentVariableIntValue("ZELVARO_UPDATE_REFERENCES") == 1) {
        QDir().mkpath(QStringLiteral(ZELVARO_TEST_DATA));
        QVERIFY(image.save(path));
        QSKIP("reference written");
    }
    const QImage reference(path);
    QVERIFY2(!reference.isNull(), "missing reference; run with ZELVARO_UPDATE_REFERENCES=1");
    QCOMPARE(image, reference.convertToFormat(QImage::Format_RGB32));
}

// Items at both ends of a range with odd parameters, one spanning it
// forwards and one backwards.
inline void addOddParameterItems(TLItemModel *model, const QDate &start, const QDate &end)
{
    addItem(model, start, 0, QStringLiteral("<p>first</p>"), Qt::yellow, end);
    addItem(model, start.addDays(3), 1, QStringLiteral("<p>second</p>"), Qt::yellow);
    addItem(model, end, 2, QStringLiteral("<p>last</p>"), Qt::yellow, start);
}

inline QImage grabImage(TLine *chart)
{
    return chart->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The columns and rows of the odd-parameter paint tests that every style
// shares; a style may add rows of its own after them.
inline void addOddParameterRows()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<double>("dayWidth");
    QTest::addColumn<double>("posHeight");
    QTest::addColumn<int>("maxPos");
    QTest::addColumn<bool>("gradient");

    const QDate start(2006, 10, 4);
    const QDate longEnd(12006, 10, 4);
    QTest::newRow("zero day width") << start << longEnd << 0.0 << 100.0 << 4 << false;
    QTest::newRow("negative day width") << start << longEnd << -20.0 << 100.0 << 4 << false;
    QTest::newRow("tiny day width") << start << longEnd << 1e-9 << 100.0 << 4 << false;
    QTest::newRow("zero row height") << start << start.addDays(30) << 20.0 << 0.0 << 4 << false;
    QTest::newRow("negative row height") << start << start.addDays(30) << 20.0 << -100.0 << 4 << false;
    QTest::newRow("huge row height") << start << start.addDays(30) << 20.0 << 1e12 << 1000000 << false;
    QTest::newRow("start after end") << start.addDays(500) << start << 20.0 << 100.0 << 4 << false;
    QTest::newRow("ten thousand years") << start << longEnd << 20.4 << 94.99 << 4 << false;
    QTest::newRow("ten thousand years, year marks") << start << longEnd << 0.2 << 94.99 << 4 << false;
    QTest::newRow("ten thousand years, day marks") << start << longEnd << 30.0 << 94.99 << 4 << false;
    // A gradient under rounded boxes, on a chart 730,011 pixels wide.
    QTest::newRow("ten thousand years, gradient") << start << longEnd << 0.2 << 94.99 << 4 << true;
    QTest::newRow("huge day width") << start << longEnd << 1e12 << 94.99 << 4 << false;
    // Six thousand years from the first day the chart format holds.
    const QDate firstDay = QDate::fromJulianDay(1);
    QTest::newRow("from 4714 BC, year marks") << firstDay << start << 0.2 << 94.99 << 4 << false;
    QTest::newRow("from 4714 BC, day marks") << firstDay << start << 30.0 << 94.99 << 4 << true;
}

// Sets up a chart with the parameters of the current odd-parameter row,
// paints it clipped and whole, and checks that it stays within bounds and
// time while keeping a hit box for every item.
template <typename Style>
void verifyQuickPaintWithOddParameters(qint64 limitMs)
{
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    QFETCH(double, dayWidth);
    QFETCH(double, posHeight);
    QFETCH(int, maxPos);
    QFETCH(bool, gradient);

    TLItemModel model;
    addOddParameterItems(&model, start, end);

    QElapsedTimer timer;
    timer.start();
    ChartProbe<Style> chart;
    chart.setModel(&model);
    setChart(&chart, start, end, dayWidth, posHeight, maxPos, 25, { 0, 1, 2, 3, 4, 5, 6, 7, 8 });
    if (gradient) {
        chart.setBgColors({ Qt::white, Qt::white, Qt::blue });
        chart.setBgMode(TLine::VerticalGradient);
    }
    QVERIFY(chart.width() >= 0 && chart.width() <= QWIDGETSIZE_MAX);
    QVERIFY(chart.height() >= 0 && chart.height() <= QWIDGETSIZE_MAX);
    chart.paintOn(QSize(400, 300), QRect(0, 0, 400, 300));
    QCOMPARE(chart.itemRects.size(), 3);
    chart.paintOn(QSize(400, 300));
    QCOMPARE(chart.itemRects.size(), 3);
    QVERIFY2(timer.elapsed() < limitMs, qPrintable(QString::number(timer.elapsed())));
}

// A part rendered alone, as a paint event or a grab of a scrolled view asks
// for it, carries the part as the engine's clip, not the painter's; it must
// show what the whole chart shows there.
template <typename Style>
void verifyPartRendersAsWhole(double dayWidth, const QRect &part)
{
    TLItemModel model;
    addItem(&model, QDate(2020, 12, 3), 1, QStringLiteral("<p>A long <b>label</b></p>"), Qt::yellow,
            QDate(2021, 1, 20));
    addItem(&model, QDate(2021, 1, 12), 0, QStringLiteral("<p>Short</p>"), Qt::cyan);
    Style chart;
    chart.setModel(&model);
    setChart(&chart, QDate(2020, 11, 15), QDate(2021, 2, 20), dayWidth, 100.0, 3, 2, { 0, 1, 2, 3, 4, 5, 6, 7, 8 });
    QImage image(part.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    chart.render(&painter, QPoint(), QRegion(part));
    painter.end();
    QCOMPARE(image, grabImage(&chart).copy(part));
}

#endif
