#include "chartprobe.h"
#include "model/tlrichtext.h"
#include "styles/tldraw.h"
#include "view/tlgeometry.h"
#include "view/tline.h"
#include "view/tllabellayout.h"

#include <QBrush>
#include <QElapsedTimer>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLocale>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QRandomGenerator>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>
#include <QtTest>

using namespace TLDraw;

Q_DECLARE_METATYPE(TLDraw::MarkThresholds)

namespace {

const MarkThresholds style1Thresholds = { 70, 20, 40, 20, 25, true };
const MarkThresholds style2Thresholds = { 30, 25, 20, 20, 20, true };
const MarkThresholds style3Thresholds = { 70, 40, 20, 15, 15, false };

const QSet<int> allMarks = { TLine::MarkDays, TLine::MarkWeeks, TLine::MarkMonths, TLine::MarkYears };

QString kindName(MarkKind kind)
{
    switch (kind) {
    case MarkKind::Year:
        return QStringLiteral("Y");
    case MarkKind::Month:
        return QStringLiteral("M");
    case MarkKind::Week:
        return QStringLiteral("W");
    case MarkKind::Day:
        break;
    }
    return QStringLiteral("D");
}

QString describeMark(MarkKind kind, const QDate &day, const QString &label)
{
    return day.toString(Qt::ISODate) + QLatin1Char(' ') + kindName(kind) + QLatin1Char(' ') + label;
}

QStringList scan(const QDate &start, const QDate &end, double dayWidth, const QSet<int> &flags,
                 const MarkThresholds &thresholds, std::optional<DayWindow> window = std::nullopt)
{
    QStringList marks;
    scanDateMarks(
        start, end, dayWidth, flags, thresholds,
        [&marks](MarkKind kind, const QDate &day, const QString &label) {
            marks << describeMark(kind, day, label);
        },
        window);
    return marks;
}

struct DayMark
{
    qint64 offset;
    QString text;
};

// The scan as first designed: every day after start, one after the other.
QList<DayMark> scanEveryDay(const QDate &start, const QDate &end, double dayWidth, const QSet<int> &flags,
                            const MarkThresholds &t)
{
    QList<DayMark> marks;
    const qint64 startDay = start.isNull() ? 0 : start.toJulianDay();
    QDate prev = QDate::fromJulianDay(startDay);
    const qint64 count = TLGeometry::daysBetween(start, end) + (t.lastDay ? 1 : 0);
    for (qint64 i = 1; i < count; ++i) {
        const QDate d = QDate::fromJulianDay(startDay + i);
        if (flags.contains(TLine::MarkYears) && 365 * dayWidth > t.year && d.year() != prev.year()) {
            marks.append({ i, describeMark(MarkKind::Year, d, d.toString(QStringLiteral("yyyy"))) });
            prev = d;
        } else if (flags.contains(TLine::MarkMonths) && 30 * dayWidth > t.month && d.month() != prev.month()) {
            marks.append({ i, describeMark(MarkKind::Month, d, d.toString(QStringLiteral("MMM"))) });
            prev = d;
        } else if (flags.contains(TLine::MarkWeeks) && 7 * dayWidth >= t.week && d.dayOfWeek() == 1) {
            const QString label = dayWidth < t.weekLabel ? QString() : d.toString(QStringLiteral("dd"));
            marks.append({ i, describeMark(MarkKind::Week, d, label) });
        } else if (flags.contains(TLine::MarkDays) && dayWidth >= t.day) {
            marks.append({ i, describeMark(MarkKind::Day, d, d.toString(QStringLiteral("dd"))) });
        }
    }
    return marks;
}

QStringList slice(const QList<DayMark> &marks, qint64 first, qint64 last)
{
    QStringList texts;
    for (const DayMark &mark : marks) {
        if (mark.offset >= first && mark.offset <= last)
            texts << mark.text;
    }
    return texts;
}

// The rounded box as first designed: the background of the whole widget is
// painted into a pixmap for every item and the box area copied out of it.
void drawRoundedBoxOverWholeWidget(QPainter *painter, const QRect &widgetRect, const QBrush &background, int x,
                                   int y, int w, int h, const QColor &fill, QTextDocument *document, bool shadow)
{
    QPixmap whole(widgetRect.width(), widgetRect.height());
    QPainter wholePainter(&whole);
    wholePainter.fillRect(QRect(0, 0, widgetRect.width(), widgetRect.height()), background);
    if (shadow) {
        wholePainter.setPen(Qt::NoPen);
        wholePainter.setBrush(QBrush(QColor(40, 40, 40, 180), Qt::SolidPattern));
        wholePainter.drawRoundedRect(QRectF(x + 6, y + 6, w, h), 25, 25, Qt::RelativeSize);
    }
    wholePainter.end();

    QPixmap copy = whole.copy(x, y, w + 10, h + 6);
    QPainter copyPainter(&copy);
    const QPen savedPen = copyPainter.pen();
    copyPainter.setPen(Qt::NoPen);
    copyPainter.setBrush(QBrush(fill, Qt::SolidPattern));
    copyPainter.drawRoundedRect(QRectF(0, 0, w, h), 25, 25, Qt::RelativeSize);
    copyPainter.setPen(savedPen);
    document->drawContents(&copyPainter, QRectF());
    copyPainter.end();
    painter->drawPixmap(x, y, copy);
}

struct ChartItem
{
    int x;
    int y;
    QString html;
    QColor fill;
    std::optional<int> span;
};

// A chart that fills itself with its background, draws a few mark lines and
// then its items, either through the shared drawing or the original one.
class BoxChart : public ChartProbe<TLine>
{
public:
    BoxChart(const QSize &size, const QList<ChartItem> &items)
        : chartSize(size)
        , items(items)
    {
        recalcSize();
    }

    bool overWholeWidget = false;

    void recalcSize() override
    {
        setFixedSize(chartSize);
        updateBg();
        update();
    }

protected:
    void paint(QPainter *painter) override
    {
        painter->fillRect(rect(), QBrush(bg));
        for (int x = 20; x < width(); x += 37) {
            const QPen saved = painter->pen();
            painter->setPen(markPen(x % 2 ? MarkKind::Year : MarkKind::Day));
            painter->drawLine(x, 0, x, height());
            painter->setPen(saved);
        }
        for (const ChartItem &item : items) {
            TLRichText document;
            const QSize size = TLLabelLayout::layOut(&document, item.html, item.span);
            if (overWholeWidget && displayFlags.contains(RoundEdges))
                drawRoundedBoxOverWholeWidget(painter, rect(), bg, item.x, item.y, size.width(), size.height(),
                                              item.fill, &document, displayFlags.contains(ItemShadow));
            else
                drawItemBox(painter, rect(), bg, item.x, item.y, size.width(), size.height(), item.fill, &document,
                            displayFlags, true);
        }
    }

private:
    QSize chartSize;
    QList<ChartItem> items;
};

QPixmap texturePixmap()
{
    QImage texture(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < texture.height(); ++y) {
        for (int x = 0; x < texture.width(); ++x)
            texture.setPixel(x, y, qRgb(30 * x + 20, 40 * y + 30, (x * y * 23) % 256));
    }
    return QPixmap::fromImage(texture);
}

void applyBackground(TLine *chart, int mode)
{
    chart->setBgColors({ QColor(250, 240, 200), QColor(Qt::red), QColor(Qt::blue) });
    if (mode == TLine::ImageBackground)
        chart->setBg(QBrush(texturePixmap()));
    chart->setBgMode(mode);
}

QImage whiteImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The largest difference of two images in any colour channel.
int largestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({ largest, qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q)),
                                 qAbs(qBlue(p) - qBlue(q)) });
        }
    }
    return largest;
}

// Solid colours and tiles come out exactly as over the whole widget. Qt steps
// a gradient in fixed point from the start of each filled span, so a fill
// that starts at the box differs from one that starts at the widget's left
// edge by a rounding error that grows with the distance from that edge: one
// colour step on a small chart, a few steps thousands of pixels further.
void verifySamePicture(const QImage &fast, const QImage &original, int mode, int gradientSteps = 1)
{
    QCOMPARE(fast.size(), original.size());
    if (mode == TLine::DiagonalGradient || mode == TLine::VerticalGradient) {
        const int steps = largestDifference(fast, original);
        QVERIFY2(steps <= gradientSteps, qPrintable(QString::number(steps)));
    } else {
        QVERIFY(fast == original);
    }
}

// The chart's part as a paint of that part alone draws it.
template <typename Chart>
QImage paintPart(Chart &chart, const QRect &part)
{
    QImage image(part.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.translate(-part.topLeft());
    chart.paint(&painter);
    return image;
}

// What the cache tests change between two paints; the first four change
// the chart itself, the others its model.

enum ChartChange { SwapModel, DayWidth, Start, RowHeight, Arrow, Text, Date, InsertRow, RemoveRow };

void changeChart(TLine *chart, TLItemModel *model, TLItemModel *other, ChartChange change)
{
    switch (change) {
    case SwapModel:
        chart->setModel(other);
        break;
    case DayWidth:
        chart->setDayWidth(13.7);
        break;
    case Start:
        chart->setStart(QDate(2021, 2, 27));
        break;
    case RowHeight:
        chart->setPosHeight(47.5);
        break;
    case Arrow:
        chart->setTPos(75);
        break;
    case Text:
        model->setData(model->index(1, TLItem::TextColumn), QStringLiteral("<p>A new <i>text</i> here</p>"));
        break;
    case Date:
        model->setData(model->index(1, TLItem::DateColumn), QDate(2021, 3, 2));
        break;
    case InsertRow:
        model->insertRows(2, 1);
        model->setData(model->index(2, TLItem::DateColumn), QDate(2021, 3, 4));
        model->setData(model->index(2, TLItem::PosColumn), 1);
        model->setData(model->index(2, TLItem::TextColumn), QStringLiteral("<p>Inserted</p>"));
        break;
    case RemoveRow:
        model->removeRows(1, 2);
        break;
    }
}

// The chart as its paint events draw it, on an image of the given device
// pixel ratio, as a scaled display or a printer has it.
QImage renderAt(QWidget *chart, double scale)
{
    QImage image(QSize(int(std::ceil(chart->width() * scale)), int(std::ceil(chart->height() * scale))),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDevicePixelRatio(scale);
    QPainter painter(&image);
    chart->render(&painter);
    return image;
}

// Whether an image at scale 2 shows detail finer than its logical pixels
// inside area, which a picture drawn at scale 1 and enlarged lacks.
bool hasDeviceDetail(const QImage &scaled, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = scaled.pixel(2 * x, 2 * y);
            if (p != scaled.pixel(2 * x + 1, 2 * y) || p != scaled.pixel(2 * x, 2 * y + 1)
                || p != scaled.pixel(2 * x + 1, 2 * y + 1))
                return true;
        }
    }
    return false;
}

// An image that records the texts painted on it and draws nothing.
struct TextRecorder : QImage, QPaintEngine
{
    QStringList texts;

    TextRecorder()
        : QImage(2000, 2000, QImage::Format_RGB32)
        , QPaintEngine(AllFeatures)
    {
    }
    QPaintEngine *paintEngine() const override { return const_cast<TextRecorder *>(this); }
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawPath(const QPainterPath &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF &, const QTextItem &item) override { texts.append(item.text()); }
    Type type() const override { return User; }
};

bool isGrey(QRgb pixel)
{
    return qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel) && qRed(pixel) > 60 && qRed(pixel) < 200;
}

}

class TestTLDraw : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void shouldPlaceDateMarks_data();
    void shouldPlaceDateMarks();
    void shouldLeaveWeekLabelEmptyBelowLabelThreshold();
    void shouldMatchDayByDayScan();
    void shouldMatchSliceOfFullScanInWindow();
    void shouldScanTenThousandYearsQuicklyThroughWindow();
    void shouldScanNullStartFromJulianDayZero();

    void shouldBuildArrowPoints_data();
    void shouldBuildArrowPoints();
    void shouldDrawArrowShadowOnlyWhenAsked_data();
    void shouldDrawArrowShadowOnlyWhenAsked();

    void shouldUseSpanAsTextWidth();
    void shouldUseIdealWidthPlusTenWithoutSpan();
    void shouldCutALabelTheSizeOfAWallAtItsBox();
    void shouldGiveEmptyLabelTheEmptyDocumentSize();

    void shouldFillSquareBoxAndShadowOnlyWithDecorations_data();
    void shouldFillSquareBoxAndShadowOnlyWithDecorations();
    void shouldRepaintBackgroundAroundRoundedBox();
    void shouldKeepLineBesideSquareBox();
    void shouldDrawWideBoxWithoutWholePixmap();
    void shouldMatchWholeWidgetRoundedBox_data();
    void shouldMatchWholeWidgetRoundedBox();
    void shouldDrawRoundedBoxesFasterThanWholeWidget();

    void shouldDrawItemDatesSmallBelowBox();

    void shouldBuildMarkPens();

    void shouldDrawTheWholeChartAtEveryScale_data();
    void shouldDrawTheWholeChartAtEveryScale();
    void shouldNameMonthsInTheUsersLanguage_data();
    void shouldNameMonthsInTheUsersLanguage();
    void shouldDrawAThousandYearSpanFromItsDate_data();
    void shouldDrawAThousandYearSpanFromItsDate();

    void shouldPaintAChangedChartAsAFreshOne_data();
    void shouldPaintAChangedChartAsAFreshOne();
    void shouldShowOnTheScreenWhatAFreshChartPaints();
};

void TestTLDraw::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
}

void TestTLDraw::shouldPlaceDateMarks_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<double>("dayWidth");
    QTest::addColumn<QSet<int>>("flags");
    QTest::addColumn<MarkThresholds>("thresholds");
    QTest::addColumn<QStringList>("marks");

    const QSet<int> years = { TLine::MarkYears };
    const QSet<int> months = { TLine::MarkMonths };
    const QSet<int> weeks = { TLine::MarkWeeks };
    const QSet<int> days = { TLine::MarkDays };

    QTest::newRow("year mark wins on a Monday 1 January")
        << QDate(2006, 12, 25) << QDate(2007, 1, 10) << 30.0 << allMarks << style1Thresholds
        << QStringList { "2006-12-26 D 26", "2006-12-27 D 27", "2006-12-28 D 28", "2006-12-29 D 29",
                         "2006-12-30 D 30", "2006-12-31 D 31", "2007-01-01 Y 2007", "2007-01-02 D 02",
                         "2007-01-03 D 03", "2007-01-04 D 04", "2007-01-05 D 05", "2007-01-06 D 06",
                         "2007-01-07 D 07", "2007-01-08 W 08", "2007-01-09 D 09", "2007-01-10 D 10" };
    QTest::newRow("month mark on a Monday 1 January without years")
        << QDate(2006, 12, 30) << QDate(2007, 1, 2) << 30.0
        << QSet<int> { TLine::MarkDays, TLine::MarkWeeks, TLine::MarkMonths } << style1Thresholds
        << QStringList { "2006-12-31 D 31", "2007-01-01 M Jan", "2007-01-02 D 02" };
    QTest::newRow("week mark on a Monday 1 January without years and months")
        << QDate(2006, 12, 30) << QDate(2007, 1, 2) << 30.0 << QSet<int> { TLine::MarkDays, TLine::MarkWeeks }
        << style1Thresholds << QStringList { "2006-12-31 D 31", "2007-01-01 W 01", "2007-01-02 D 02" };
    QTest::newRow("months without years mark every January too")
        << QDate(2006, 11, 15) << QDate(2007, 3, 5) << 1.0 << months << style1Thresholds
        << QStringList { "2006-12-01 M Dec", "2007-01-01 M Jan", "2007-02-01 M Feb", "2007-03-01 M Mar" };
    QTest::newRow("only years at day width 0.2")
        << QDate(2005, 6, 1) << QDate(2008, 2, 1) << 0.2 << allMarks << style1Thresholds
        << QStringList { "2006-01-01 Y 2006", "2007-01-01 Y 2007", "2008-01-01 Y 2008" };
    QTest::newRow("no year mark at the exact year threshold")
        << QDate(2005, 6, 1) << QDate(2008, 2, 1) << 70.0 / 365 << years << style1Thresholds << QStringList();
    QTest::newRow("year mark just above the year threshold")
        << QDate(2005, 6, 1) << QDate(2007, 2, 1) << 70.0 / 365 + 1e-9 << years << style1Thresholds
        << QStringList { "2006-01-01 Y 2006", "2007-01-01 Y 2007" };
    QTest::newRow("no month mark at the exact month threshold")
        << QDate(2006, 1, 15) << QDate(2006, 3, 5) << 20.0 / 30 << months << style1Thresholds << QStringList();
    QTest::newRow("week mark at the exact week threshold")
        << QDate(2006, 10, 1) << QDate(2006, 10, 20) << 40.0 / 7 << weeks << style1Thresholds
        << QStringList { "2006-10-02 W ", "2006-10-09 W ", "2006-10-16 W " };
    QTest::newRow("no week mark just below the week threshold")
        << QDate(2006, 10, 1) << QDate(2006, 10, 20) << 40.0 / 7 - 1e-9 << weeks << style1Thresholds
        << QStringList();
    QTest::newRow("week labels at the label threshold")
        << QDate(2006, 10, 1) << QDate(2006, 10, 20) << 20.0 << weeks << style1Thresholds
        << QStringList { "2006-10-02 W 02", "2006-10-09 W 09", "2006-10-16 W 16" };
    QTest::newRow("day marks at the exact day threshold")
        << QDate(2006, 10, 1) << QDate(2006, 10, 4) << 25.0 << days << style1Thresholds
        << QStringList { "2006-10-02 D 02", "2006-10-03 D 03", "2006-10-04 D 04" };
    QTest::newRow("no day marks just below the day threshold")
        << QDate(2006, 10, 1) << QDate(2006, 10, 4) << 24.9 << days << style1Thresholds << QStringList();
    QTest::newRow("labelled weeks but no days at 24.9")
        << QDate(2006, 10, 1) << QDate(2006, 10, 10) << 24.9 << QSet<int> { TLine::MarkDays, TLine::MarkWeeks }
        << style1Thresholds << QStringList { "2006-10-02 W 02", "2006-10-09 W 09" };
    QTest::newRow("last day scanned in style 1")
        << QDate(2006, 1, 25) << QDate(2006, 2, 1) << 2.0 << months << style1Thresholds
        << QStringList { "2006-02-01 M Feb" };
    QTest::newRow("last day not scanned in style 3")
        << QDate(2006, 1, 25) << QDate(2006, 2, 1) << 2.0 << months << style3Thresholds << QStringList();
    QTest::newRow("style 3 marks the day before the end")
        << QDate(2006, 1, 25) << QDate(2006, 2, 2) << 2.0 << months << style3Thresholds
        << QStringList { "2006-02-01 M Feb" };
    QTest::newRow("start never marked")
        << QDate(2007, 1, 1) << QDate(2007, 1, 3) << 30.0 << allMarks << style1Thresholds
        << QStringList { "2007-01-02 D 02", "2007-01-03 D 03" };
    QTest::newRow("week marks leave months to their first days")
        << QDate(2006, 1, 15) << QDate(2006, 3, 6) << 10.0
        << QSet<int> { TLine::MarkWeeks, TLine::MarkMonths, TLine::MarkYears } << style2Thresholds
        << QStringList { "2006-01-16 W ", "2006-01-23 W ", "2006-01-30 W ", "2006-02-01 M Feb", "2006-02-06 W ",
                         "2006-02-13 W ", "2006-02-20 W ", "2006-02-27 W ", "2006-03-01 M Mar", "2006-03-06 W " };
    QTest::newRow("years and months together")
        << QDate(2006, 11, 20) << QDate(2007, 2, 1) << 1.0 << allMarks << style2Thresholds
        << QStringList { "2006-12-01 M Dec", "2007-01-01 Y 2007", "2007-02-01 M Feb" };
    // There is no year 0; a day before 1 AD has no ISO date.
    QTest::newRow("years from 2 BC to 2 AD")
        << QDate(-3, 11, 15) << QDate(2, 3, 5) << 1.0 << years << style1Thresholds
        << QStringList { " Y 2 BC", " Y 1 BC", "0001-01-01 Y 0001", "0002-01-01 Y 0002" };
    QTest::newRow("end before start") << QDate(2006, 3, 1) << QDate(2006, 1, 1) << 30.0 << allMarks
                                      << style1Thresholds << QStringList();
    QTest::newRow("null end") << QDate(2006, 3, 1) << QDate() << 30.0 << allMarks << style1Thresholds
                              << QStringList();
}

void TestTLDraw::shouldPlaceDateMarks()
{
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    QFETCH(double, dayWidth);
    QFETCH(QSet<int>, flags);
    QFETCH(MarkThresholds, thresholds);
    QFETCH(QStringList, marks);

    QCOMPARE(scan(start, end, dayWidth, flags, thresholds), marks);
}

void TestTLDraw::shouldLeaveWeekLabelEmptyBelowLabelThreshold()
{
    QStringList labels;
    scanDateMarks(QDate(2006, 10, 1), QDate(2006, 10, 3), 19.99, { TLine::MarkWeeks }, style1Thresholds,
                  [&labels](MarkKind kind, const QDate &, const QString &label) {
                      QCOMPARE(kind, MarkKind::Week);
                      labels << label;
                  });
    QCOMPARE(labels.size(), 1);
    QVERIFY(labels.first().isEmpty());
}

void TestTLDraw::shouldMatchDayByDayScan()
{
    QRandomGenerator random(20061004);
    const double widths[] = { 0.05, 0.2, 70.0 / 365, 0.7, 1.0, 2.5, 40.0 / 7, 15.0, 19.99, 20.0, 25.0, 31.0 };
    const MarkThresholds styles[] = { style1Thresholds, style2Thresholds, style3Thresholds };
    for (int round = 0; round < 300; ++round) {
        const QDate start = QDate(1990, 1, 1).addDays(random.bounded(15000));
        const QDate end = start.addDays(random.bounded(-20, 1500));
        const double width = widths[random.bounded(int(std::size(widths)))];
        const MarkThresholds &thresholds = styles[random.bounded(3)];
        QSet<int> flags;
        for (int flag = TLine::MarkDays; flag <= TLine::MarkYears; ++flag) {
            if (random.bounded(2))
                flags.insert(flag);
        }
        QCOMPARE(scan(start, end, width, flags, thresholds),
                 slice(scanEveryDay(start, end, width, flags, thresholds), 0, 1 << 30));
    }
}

void TestTLDraw::shouldMatchSliceOfFullScanInWindow()
{
    QRandomGenerator random(19101971);
    const double widths[] = { 0.2, 70.0 / 365, 0.7, 1.0, 2.5, 40.0 / 7, 15.0, 19.99, 20.0, 25.0, 31.0 };
    const MarkThresholds styles[] = { style1Thresholds, style2Thresholds, style3Thresholds };
    for (int round = 0; round < 300; ++round) {
        const QDate start = QDate(1990, 1, 1).addDays(random.bounded(15000));
        const QDate end = start.addDays(random.bounded(-5, 1200));
        const double width = widths[random.bounded(int(std::size(widths)))];
        const MarkThresholds &thresholds = styles[random.bounded(3)];
        QSet<int> flags;
        for (int flag = TLine::MarkDays; flag <= TLine::MarkYears; ++flag) {
            if (random.bounded(4))
                flags.insert(flag);
        }
        const QList<DayMark> full = scanEveryDay(start, end, width, flags, thresholds);
        for (int window = 0; window < 10; ++window) {
            const qint64 first = random.bounded(-30, 1250);
            const qint64 last = first + random.bounded(-3, 500);
            const QStringList windowed = scan(start, end, width, flags, thresholds, DayWindow { first, last });
            if (windowed != slice(full, first, last)) {
                qWarning() << start << end << width << flags << first << last;
                QCOMPARE(windowed, slice(full, first, last));
            }
        }
    }
}

void TestTLDraw::shouldScanTenThousandYearsQuicklyThroughWindow()
{
    const QDate start(1, 1, 1);
    const QDate end(9999, 12, 31);
    QElapsedTimer timer;
    timer.start();
    const QStringList days = scan(start, end, 30.0, allMarks, style1Thresholds, DayWindow { 3000000, 3000009 });
    QCOMPARE(days.size(), 10);
    QVERIFY(days.first().startsWith(start.addDays(3000000).toString(Qt::ISODate)));

    const QStringList januaries = scan(start, end, 30.0, { TLine::MarkYears, TLine::MarkMonths }, style1Thresholds,
                                       DayWindow { 0, 5000000 });
    QCOMPARE(januaries.size(), 9999 * 12 - 1);
    QCOMPARE(januaries.last(), QStringLiteral("9999-12-01 M Dec"));

    const QStringList years = scan(start, end, 0.2, allMarks, style1Thresholds);
    QCOMPARE(years.size(), 9998);
    QCOMPARE(years.first(), QStringLiteral("0002-01-01 Y 0002"));
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
}

void TestTLDraw::shouldScanNullStartFromJulianDayZero()
{
    const QStringList marks =
        scan(QDate(), QDate(2006, 10, 4), 30.0, allMarks, style1Thresholds, DayWindow { 2454011, 2454100 });
    QCOMPARE(marks, QStringList({ "2006-10-02 W 02", "2006-10-03 D 03", "2006-10-04 D 04" }));
}

void TestTLDraw::shouldBuildArrowPoints_data()
{
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::addColumn<double>("length");
    QTest::addColumn<int>("axis");
    QTest::addColumn<int>("tip");
    QTest::addColumn<QPolygonF>("arrow");
    QTest::addColumn<QPolygonF>("shadow");

    QTest::newRow("horizontal") << Qt::Horizontal << 320.0 << 40 << 5
                                << QPolygonF({ { 0, 36 }, { 320, 36 }, { 320, 33 }, { 325, 40 }, { 320, 47 },
                                               { 320, 44 }, { 0, 44 } })
                                << QPolygonF({ { 0, 42 }, { 326, 42 }, { 326, 39 }, { 331, 46 }, { 326, 53 },
                                               { 326, 50 }, { 0, 50 } });
    QTest::newRow("vertical") << Qt::Vertical << 62.5 << 4 << 8
                              << QPolygonF({ { 0, 0 }, { 0, 62.5 }, { -3, 62.5 }, { 4, 70.5 }, { 11, 62.5 },
                                             { 8, 62.5 }, { 8, 0 } })
                              << QPolygonF({ { 6, 0 }, { 6, 68.5 }, { 3, 68.5 }, { 10, 76.5 }, { 17, 68.5 },
                                             { 14, 68.5 }, { 14, 0 } });
}

void TestTLDraw::shouldBuildArrowPoints()
{
    QFETCH(Qt::Orientation, orientation);
    QFETCH(double, length);
    QFETCH(int, axis);
    QFETCH(int, tip);
    QFETCH(QPolygonF, arrow);
    QFETCH(QPolygonF, shadow);

    QCOMPARE(arrowPolygon(length, axis, tip, orientation), arrow);
    QCOMPARE(arrowShadowPolygon(length, axis, tip, orientation), shadow);
}

void TestTLDraw::shouldDrawArrowShadowOnlyWhenAsked_data()
{
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::addColumn<bool>("shadow");
    QTest::addColumn<QPoint>("onArrow");
    QTest::addColumn<QPoint>("inShadow");
    QTest::addColumn<QPoint>("atShadowTail");

    QTest::newRow("horizontal with shadow") << Qt::Horizontal << true << QPoint(100, 40) << QPoint(100, 48)
                                            << QPoint(1, 48);
    QTest::newRow("horizontal without shadow") << Qt::Horizontal << false << QPoint(100, 40) << QPoint(100, 48)
                                               << QPoint(1, 48);
    QTest::newRow("vertical with shadow") << Qt::Vertical << true << QPoint(40, 100) << QPoint(48, 100)
                                          << QPoint(48, 1);
    QTest::newRow("vertical without shadow") << Qt::Vertical << false << QPoint(40, 100) << QPoint(48, 100)
                                             << QPoint(48, 1);
}

void TestTLDraw::shouldDrawArrowShadowOnlyWhenAsked()
{
    QFETCH(Qt::Orientation, orientation);
    QFETCH(bool, shadow);
    QFETCH(QPoint, onArrow);
    QFETCH(QPoint, inShadow);
    QFETCH(QPoint, atShadowTail);

    QImage image = whiteImage(250, 250);
    QPainter painter(&image);
    const QPen pen(Qt::green, 3);
    painter.setPen(pen);
    QSet<int> flags = allMarks;
    if (shadow)
        flags.insert(TLine::ArrowShadow);
    drawArrow(&painter, 40, 200.0, 5, orientation, flags);
    QCOMPARE(painter.pen(), pen);
    painter.end();

    QCOMPARE(image.pixel(onArrow), qRgb(0, 0, 0));
    QCOMPARE(isGrey(image.pixel(inShadow)), shadow);
    QCOMPARE(isGrey(image.pixel(atShadowTail)), shadow);
    if (!shadow) {
        QCOMPARE(image.pixel(inShadow), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(atShadowTail), qRgb(255, 255, 255));
    }
}

void TestTLDraw::shouldUseSpanAsTextWidth()
{
    const QString text = QStringLiteral("<p>one two three four five six seven</p>");
    TLRichText wide;
    const QSize single = TLLabelLayout::layOut(&wide, text);
    TLRichText narrow;
    const QSize wrapped = TLLabelLayout::layOut(&narrow, text, 60);
    QCOMPARE(wrapped.width(), 60);
    QCOMPARE(narrow.textWidth(), 60.0);
    QVERIFY(wrapped.height() > single.height());
    QCOMPARE(wrapped.height(), int(narrow.size().height()));
}

// A line that must not wrap and pages of text are cut at the largest box;
// a span wider than that keeps its width.
void TestTLDraw::shouldCutALabelTheSizeOfAWallAtItsBox()
{
    const QString wall = QStringLiteral("<p style=\"white-space:pre\">%1</p>%2")
                             .arg(QString(3000, QLatin1Char('W')), QStringLiteral("<p>line</p>").repeated(400));
    TLRichText document;
    const QSize largest(TLLabelLayout::MaxBoxExtent, TLLabelLayout::MaxBoxExtent);
    QCOMPARE(TLLabelLayout::layOut(&document, wall), largest);
    QCOMPARE(TLLabelLayout::layOut(&document, wall, 9000), QSize(9000, largest.height()));
}

void TestTLDraw::shouldUseIdealWidthPlusTenWithoutSpan()
{
    TLRichText document;
    const QSize size = TLLabelLayout::layOut(&document, QStringLiteral("<b>Hello</b> world"));
    QCOMPARE(document.toPlainText(), QStringLiteral("Hello world"));
    QCOMPARE(document.textWidth(), document.idealWidth() + 10.0);
    QCOMPARE(size.width(), int(document.idealWidth() + 10.0));
    QCOMPARE(size.height(), int(document.size().height()));
    const int textAdvance = QFontMetrics(QApplication::font()).horizontalAdvance(QStringLiteral("Hello world"));
    QVERIFY(size.width() > textAdvance + 10);
}

void TestTLDraw::shouldGiveEmptyLabelTheEmptyDocumentSize()
{
    QTextDocument empty;
    empty.adjustSize();
    const double emptyWidth = empty.idealWidth() + 10.0;
    empty.setTextWidth(emptyWidth);

    TLRichText document;
    const QSize size = TLLabelLayout::layOut(&document, QString());
    QCOMPARE(size, QSize(int(emptyWidth), int(empty.size().height())));
    QVERIFY(size.height() > 0);
}

void TestTLDraw::shouldFillSquareBoxAndShadowOnlyWithDecorations_data()
{
    QTest::addColumn<QSet<int>>("flags");
    QTest::addColumn<bool>("decorations");
    QTest::addColumn<bool>("shadow");

    QTest::newRow("shadow with decorations") << QSet<int> { TLine::ItemShadow } << true << true;
    QTest::newRow("no shadow without decorations") << QSet<int> { TLine::ItemShadow } << false << false;
    QTest::newRow("no shadow without the flag") << QSet<int>() << true << false;
    QTest::newRow("square without decorations despite round edges")
        << QSet<int> { TLine::ItemShadow, TLine::RoundEdges } << false << false;
}

void TestTLDraw::shouldFillSquareBoxAndShadowOnlyWithDecorations()
{
    QFETCH(QSet<int>, flags);
    QFETCH(bool, decorations);
    QFETCH(bool, shadow);

    QImage image = whiteImage(200, 120);
    QPainter painter(&image);
    TLRichText document;
    const QSize size = TLLabelLayout::layOut(&document, QString());
    const int x = 20, y = 30, w = size.width(), h = size.height();
    drawItemBox(&painter, image.rect(), QBrush(Qt::white), x, y, w, h, QColor(0, 200, 0), &document, flags,
                decorations);
    painter.end();

    // The whole box, its corners included, is in the fill colour.
    for (const QPoint &p : { QPoint(x, y), QPoint(x + w - 1, y), QPoint(x, y + h - 1), QPoint(x + w - 1, y + h - 1),
                             QPoint(x + w / 2, y + h / 2) })
        QCOMPARE(image.pixel(p), qRgb(0, 200, 0));
    QCOMPARE(image.pixel(x - 1, y), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(x + w, y + 2), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(x + 2, y + h), qRgb(255, 255, 255));
    // The hit box reaches 10 further right and 5 lower, but nothing is drawn for it.
    QCOMPARE(image.pixel(x + w + 8, y + 3), qRgb(255, 255, 255));
    QCOMPARE(isGrey(image.pixel(x + w + 3, y + h + 3)), shadow);
    QCOMPARE(isGrey(image.pixel(x + w + 5, y + h + 5)), shadow);
    QCOMPARE(image.pixel(x + w + 6, y + h + 6), qRgb(255, 255, 255));
}

void TestTLDraw::shouldRepaintBackgroundAroundRoundedBox()
{
    for (bool shadow : { false, true }) {
        QImage image = whiteImage(200, 120);
        QPainter painter(&image);
        TLRichText document;
        const QSize size = TLLabelLayout::layOut(&document, QStringLiteral("Item"));
        const int x = 20, y = 30, w = size.width(), h = size.height();
        const int lineX = x + w + 5;
        painter.setPen(Qt::black);
        painter.drawLine(lineX, 0, lineX, 119);
        QSet<int> flags = { TLine::RoundEdges };
        if (shadow)
            flags.insert(TLine::ItemShadow);
        drawItemBox(&painter, image.rect(), QBrush(QColor(255, 255, 200)), x, y, w, h, QColor(0, 200, 0),
                    &document, flags, true);
        painter.end();

        const QRgb background = qRgb(255, 255, 200);
        QCOMPARE(image.pixel(lineX, y - 1), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(lineX, y), background);
        QCOMPARE(image.pixel(lineX, y + 4), background);
        const QRgb besideBox = image.pixel(lineX, y + h / 2 + 3);
        QVERIFY(besideBox != qRgb(0, 0, 0));
        QCOMPARE(besideBox == background, !shadow);
        QCOMPARE(image.pixel(x + w / 2, y + h + 3) == background, !shadow);
        QCOMPARE(image.pixel(lineX, y + h + 6), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(x + w + 9, y), background);
        QCOMPARE(image.pixel(x + w + 10, y), qRgb(255, 255, 255));
    }
}

void TestTLDraw::shouldKeepLineBesideSquareBox()
{
    QImage image = whiteImage(200, 120);
    QPainter painter(&image);
    TLRichText document;
    const QSize size = TLLabelLayout::layOut(&document, QStringLiteral("Item"));
    const int x = 20, y = 30, w = size.width(), h = size.height();
    const int lineX = x + w + 3;
    painter.setPen(Qt::black);
    painter.drawLine(lineX, 0, lineX, 119);
    drawItemBox(&painter, image.rect(), QBrush(Qt::white), x, y, w, h, QColor(0, 200, 0), &document,
                { TLine::ItemShadow }, true);
    painter.end();

    QCOMPARE(image.pixel(lineX, y + 2), qRgb(0, 0, 0));
    const QRgb throughShadow = image.pixel(lineX, y + 10);
    QVERIFY(qRed(throughShadow) < 40);
    QVERIFY(isGrey(image.pixel(lineX - 1, y + 10)));
}

void TestTLDraw::shouldDrawWideBoxWithoutWholePixmap()
{
    // A span of two million pixels is drawn only where the image shows it.
    QImage image = whiteImage(300, 100);
    QPainter painter(&image);
    TLRichText document;
    const int span = 2000000;
    const QSize size = TLLabelLayout::layOut(&document, QStringLiteral("<p align=right>far away</p>"), span);
    QCOMPARE(size.width(), span);
    for (bool round : { false, true }) {
        QSet<int> flags = { TLine::ItemShadow };
        if (round)
            flags.insert(TLine::RoundEdges);
        QElapsedTimer timer;
        timer.start();
        drawItemBox(&painter, QRect(0, 0, 300, 100), QBrush(Qt::white), -1000, 10, size.width(), size.height(),
                    QColor(0, 0, 200), &document, flags, true);
        QVERIFY(timer.elapsed() < 2000);
        QCOMPARE(image.pixel(150, 10 + size.height() / 2), qRgb(0, 0, 200));
        QCOMPARE(image.pixel(0, 10 + size.height() / 2), qRgb(0, 0, 200));
    }
    painter.end();
}

void TestTLDraw::shouldMatchWholeWidgetRoundedBox_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("shadow");

    const char *names[] = { "none", "solid", "diagonal", "vertical", "image" };
    for (int mode = TLine::NoBackground; mode <= TLine::ImageBackground; ++mode) {
        for (bool shadow : { false, true })
            QTest::addRow("%s %s", names[mode], shadow ? "with shadow" : "without shadow") << mode << shadow;
    }
}

void TestTLDraw::shouldMatchWholeWidgetRoundedBox()
{
    QFETCH(int, mode);
    QFETCH(bool, shadow);

    const QList<ChartItem> items = {
        { 10, 10, QStringLiteral("<b>First</b> item"), QColor(255, 255, 255), std::nullopt },
        { 60, 25, QStringLiteral("<span style='color:#c00000'>Over the first</span>"), QColor(200, 230, 255),
          std::nullopt },
        { 30, 70, QStringLiteral("A span that wraps its words"), QColor(255, 220, 180), 70 },
        { 250, 40, QStringLiteral("Past the right edge"), QColor(220, 255, 220), std::nullopt },
        { 150, 140, QStringLiteral("Past the bottom<br>edge"), QColor(240, 240, 140), std::nullopt },
        { 0, 0, QString(), QColor(90, 90, 200), std::nullopt },
    };
    BoxChart chart(QSize(290, 160), items);
    applyBackground(&chart, mode);
    QSet<int> flags = { TLine::RoundEdges };
    if (shadow)
        flags.insert(TLine::ItemShadow);
    chart.setDisplayFlags(flags);

    const QImage fast = chart.grab().toImage();
    chart.overWholeWidget = true;
    const QImage original = chart.grab().toImage();
    QCOMPARE(fast.size(), QSize(290, 160));
    if (mode == TLine::DiagonalGradient) {
        QVERIFY(fast.pixel(1, 1) != fast.pixel(145, 80));
    } else if (mode == TLine::ImageBackground) {
        QCOMPARE(fast.pixel(288, 3), texturePixmap().toImage().pixel(288 % 7, 3));
    }
    verifySamePicture(fast, original, mode);
    if (QTest::currentTestFailed())
        return;

    chart.setBgColors({ QColor(10, 80, 10), QColor(Qt::yellow), QColor(Qt::darkCyan) });
    chart.overWholeWidget = false;
    const QImage recoloured = chart.grab().toImage();
    chart.overWholeWidget = true;
    verifySamePicture(recoloured, chart.grab().toImage(), mode);
}

void TestTLDraw::shouldDrawRoundedBoxesFasterThanWholeWidget()
{
    QList<ChartItem> items;
    for (int i = 0; i < 200; ++i)
        items.append({ 5 + i * 72, (i % 4) * 70, QStringLiteral("<b>Item %1</b><br>some text").arg(i),
                       QColor(255, 255, 255 - i), std::nullopt });
    BoxChart chart(QSize(14600, 300), items);
    chart.setDisplayFlags({ TLine::RoundEdges, TLine::ItemShadow });
    chart.grab();
    for (int mode : { TLine::SolidBackground, TLine::DiagonalGradient, TLine::ImageBackground }) {
        applyBackground(&chart, mode);
        chart.overWholeWidget = false;
        QElapsedTimer timer;
        timer.start();
        const QImage fast = chart.grab().toImage();
        const qint64 fastTime = timer.elapsed();
        chart.overWholeWidget = true;
        timer.restart();
        const QImage original = chart.grab().toImage();
        const qint64 originalTime = timer.elapsed();
        qInfo("200 rounded items on a 14600 x 300 chart, background mode %d: %lld ms with box-sized pixmaps, "
              "%lld ms with widget-sized ones",
              mode, fastTime, originalTime);
        verifySamePicture(fast, original, mode, 4);
        QVERIFY(fastTime < 60000);
    }
}

void TestTLDraw::shouldDrawItemDatesSmallBelowBox()
{
    QImage image = whiteImage(300, 100);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    const QFont chartFont(QStringLiteral("DejaVu Sans"), 20);
    painter.setFont(chartFont);
    const int y = 10, h = 20;
    drawItemDates(&painter, y, h, QStringLiteral("1000"), 5, QStringLiteral("1111"), 200);

    QCOMPARE(painter.font().pointSize(), 6);
    QCOMPARE(painter.font().family(), chartFont.family());
    QFont small = chartFont;
    small.setPointSize(6);
    const int baseline = y + h + int(1.3 * QFontMetrics(small).height());
    painter.end();

    int top = image.height(), bottom = -1, left = image.width(), right = -1;
    for (int row = 0; row < image.height(); ++row) {
        for (int column = 0; column < 150; ++column) {
            if (qGray(image.pixel(column, row)) < 160) {
                top = std::min(top, row);
                bottom = std::max(bottom, row);
                left = std::min(left, column);
                right = std::max(right, column);
            }
        }
    }
    QVERIFY2(bottom >= baseline - 2 && bottom <= baseline, qPrintable(QString::number(bottom)));
    QVERIFY(bottom - top < 9);
    QVERIFY(left >= 5 && left <= 7);
    QVERIFY(right < 40);
    bool second = false;
    for (int column = 200; column < 240; ++column)
        second = second || qGray(image.pixel(column, baseline - 3)) < 160;
    QVERIFY(second);
    for (int column = 150; column < 200; ++column) {
        for (int row = 0; row < image.height(); ++row)
            QCOMPARE(image.pixel(column, row), qRgb(255, 255, 255));
    }
}

void TestTLDraw::shouldBuildMarkPens()
{
    const struct
    {
        MarkKind kind;
        Qt::PenStyle style;
        int width;
    } pens[] = { { MarkKind::Year, Qt::DashDotLine, 2 },
                 { MarkKind::Month, Qt::DotLine, 2 },
                 { MarkKind::Week, Qt::DashDotLine, 0 },
                 { MarkKind::Day, Qt::DotLine, 0 } };
    for (const auto &expected : pens) {
        const QPen pen = markPen(expected.kind);
        QCOMPARE(pen.style(), expected.style);
        QCOMPARE(pen.width(), expected.width);
        QCOMPARE(pen.color(), QColor(Qt::black));
    }
}

void TestTLDraw::shouldDrawTheWholeChartAtEveryScale_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<double>("scale");

    // Scale 0 stands for the screen's own, through a grab as export and
    // printing take it; the scaled CTest run sets the screen to 2.
    for (int style = 1; style <= 3; ++style) {
        for (double scale : { 1.25, 2.0, 0.0 })
            QTest::addRow(scale > 0.0 ? "style %d at %g" : "style %d on the screen", style, scale) << style << scale;
    }
}

void TestTLDraw::shouldDrawTheWholeChartAtEveryScale()
{
    QFETCH(int, style);
    QFETCH(double, scale);

    TLItemModel model;
    addReferenceItems(&model);
    withStyle(style, [&](auto &chart) {
        chart.setModel(&model);
        setChart(&chart, QDate(2006, 10, 4), QDate(2006, 11, 8), 20.4, 94.99, 4, 10, { 0, 1, 2, 3, 4, 5, 6, 7, 8 });
        chart.setBgColors({ Qt::white });
        chart.setBgMode(TLine::SolidBackground);
        if (scale == 0.0 && chart.devicePixelRatio() == 1.0)
            QSKIP("the screen is not scaled; the scaled CTest run sets QT_SCALE_FACTOR=2");

        const QImage reference = renderAt(&chart, 1.0);
        const QList<QRect> boxes = chart.itemRects;
        const QImage scaled = scale == 0.0 ? chart.grab().toImage() : renderAt(&chart, scale);
        QCOMPARE(scaled.devicePixelRatio(), scale == 0.0 ? chart.devicePixelRatio() : scale);
        QCOMPARE(chart.itemRects, boxes);
        if (scaled.devicePixelRatio() == 2.0)
            QVERIFY2(hasDeviceDetail(scaled, boxes.first().adjusted(0, 0, -10, -5)), "a label drawn at scale 1");
        const QList<QPoint> mismatches = scaledMismatches(reference, scaled);
        QVERIFY2(mismatches.isEmpty(), qPrintable(QStringLiteral("%1 pixels differ, the first at %2, %3")
                                                      .arg(mismatches.size())
                                                      .arg(mismatches.value(0).x())
                                                      .arg(mismatches.value(0).y())));
    });
}

void TestTLDraw::shouldNameMonthsInTheUsersLanguage_data()
{
    QTest::addColumn<QLocale::Language>("language");
    QTest::addColumn<QStringList>("texts");

    // With year, month and end marks at a day width of 2, styles 1 and 3
    // draw the month labels and the end marks, style 2 the month of the
    // start and the month labels.
    QTest::newRow("C") << QLocale::C
                       << QStringList { "Nov", "Dec", "04 Oct 2006", "08 Dec 2006", "Oct", "Nov", "Dec",
                                        "Nov", "Dec", "04 Oct 2006", "08 Dec 2006" };
    QTest::newRow("German") << QLocale::German
                            << QStringList { "Nov.", "Dez.", "04 Okt. 2006", "08 Dez. 2006", "Okt.", "Nov.", "Dez.",
                                             "Nov.", "Dez.", "04 Okt. 2006", "08 Dez. 2006" };
}

void TestTLDraw::shouldNameMonthsInTheUsersLanguage()
{
    QFETCH(QLocale::Language, language);
    QFETCH(QStringList, texts);

    if (QLocale::system().language() != language)
        QSKIP("another system locale; the German CTest run sets LC_ALL=de_DE.UTF-8");
    TextRecorder recorder;
    for (int style = 1; style <= 3; ++style) {
        withStyle(style, [&recorder](auto &chart) {
            setChart(&chart, QDate(2006, 10, 4), QDate(2006, 12, 8), 2.0, 100.0, 2, 2,
                     { TLine::MarkMonths, TLine::MarkYears, TLine::MarkEnds });
            QPainter painter(&recorder);
            chart.paint(&painter);
        });
    }
    QCOMPARE(recorder.texts, texts);
}

void TestTLDraw::shouldDrawAThousandYearSpanFromItsDate_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("rounded");
    QTest::addColumn<QPoint>("topLeft");

    QTest::newRow("style 1, rounded") << 1 << true << QPoint(105, 0);
    QTest::newRow("style 1, square") << 1 << false << QPoint(105, 0);
    QTest::newRow("style 2") << 2 << false << QPoint(200, 50);
    QTest::newRow("style 3, rounded") << 3 << true << QPoint(50, 105);
    QTest::newRow("style 3, square") << 3 << false << QPoint(50, 105);
}

void TestTLDraw::shouldDrawAThousandYearSpanFromItsDate()
{
    QFETCH(int, style);
    QFETCH(bool, rounded);
    QFETCH(QPoint, topLeft);

    // 365,242 days of 100 pixels: past the 2^25 pixels the text layout takes.
    const QDate date(2006, 10, 5);
    const QDate endDate(3006, 10, 5);
    const QColor fill(0, 0, 200);
    TLItemModel model;
    addItem(&model, date, 0, QStringLiteral("<p>Tausend Jahre</p>"), fill, endDate);
    withStyle(style, [&](auto &chart) {
        chart.setModel(&model);
        setChart(&chart, QDate(2006, 10, 4), QDate(2006, 10, 10), 100.0, 100.0, 2, 2,
                 { TLine::ItemShadow, rounded ? TLine::RoundEdges : TLine::ItemShadow });
        const QImage image = chart.paintOn(chart.size());
        QCOMPARE(chart.itemRects.size(), 1);
        const QRect box = chart.itemRects.first();
        QCOMPARE(box.topLeft(), topLeft);
        // Style 3 runs the time down, the others across.
        const bool down = style == 3;
        QCOMPARE(qint64(down ? box.height() : box.width()), date.daysTo(endDate) * 100 + (down ? 5 : 10));
        const QPoint inside =
            down ? QPoint(box.center().x(), box.top() + 2) : QPoint(box.left() + 2, box.top() + (box.height() - 5) / 2);
        QCOMPARE(image.pixel(inside), fill.rgb());
    });
}

void TestTLDraw::shouldPaintAChangedChartAsAFreshOne_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("change");

    const char *const changes[] = { "swap the model", "change the day width", "change the start",
                                    "change the row height", "move the arrow", "edit a text", "move a date",
                                    "insert a row", "remove rows" };
    for (int style = 1; style <= 3; ++style) {
        for (int change = SwapModel; change <= RemoveRow; ++change)
            QTest::addRow("style %d, %s", style, changes[change]) << style << change;
    }
}

// The boxes and labels kept from the paint before a change must give the
// picture and hit boxes of a chart that has its parameters and then the
// changed model from the start.
void TestTLDraw::shouldPaintAChangedChartAsAFreshOne()
{
    QFETCH(int, style);
    QFETCH(int, change);

    // Overlapping items on three rows, with spans, an empty label and a
    // table wider than its span.
    TLItemModel model;
    const QDate start(2021, 3, 1);
    addItem(&model, start.addDays(1), 0, QStringLiteral("<p>First <b>item</b></p>"), QColor(255, 255, 200));
    addItem(&model, start.addDays(3), 0, QStringLiteral("<p>Over the first</p>"), QColor(200, 255, 200),
            start.addDays(9));
    addItem(&model, start.addDays(2), 1, QString(), Qt::cyan);
    addItem(&model, start.addDays(6), 1,
            QStringLiteral("<p style=\"font-size:7pt\">A longer label that the layout wraps into a few lines "
                           "of text</p>"),
            QColor(255, 220, 220));
    addItem(&model, start.addDays(12), 2, QStringLiteral("<table width=180 border=1><tr><td>wide</td></tr></table>"),
            QColor(220, 220, 255), start.addDays(14));
    addItem(&model, start.addDays(15), 2, QStringLiteral("<p>Last</p>"), Qt::white, start.addDays(17));
    // Labels laid out at the width of a row's label before the change, so
    // that a layout kept for the wrong row would be drawn.
    TLItemModel other;
    addItem(&other, QDate(2021, 3, 6), 0, QStringLiteral("<p>Second</p>"), Qt::green);
    addItem(&other, QDate(2021, 3, 5), 1, QStringLiteral("<p>Other model</p>"), Qt::yellow, QDate(2021, 3, 11));

    const auto setUpCachedChart = [](TLine *chart) {
        setChart(chart, QDate(2021, 3, 1), QDate(2021, 3, 25), 20.0, 60.0, 4, 25,
                 { TLine::MarkItems, TLine::ItemShadow, TLine::RoundEdges, TLine::MarkWeeks });
        chart->setBgColors({ Qt::white, Qt::white, Qt::blue });
        chart->setBgMode(TLine::DiagonalGradient);
    };
    QImage changed;
    QList<QRect> changedBoxes;
    withStyle(style, [&](auto &chart) {
        chart.setModel(&model);
        setUpCachedChart(&chart);
        grabImage(&chart);
        QCOMPARE(chart.itemRects.size(), 6);
        changeChart(&chart, &model, &other, ChartChange(change));
        // Hit boxes read before the paint lay out what changed first.
        changedBoxes = chart.itemRects;
        changed = grabImage(&chart);
    });
    withStyle(style, [&](auto &chart) {
        setUpCachedChart(&chart);
        if (change < Text)
            changeChart(&chart, &model, &other, ChartChange(change));
        if (change != SwapModel)
            chart.setModel(&model);
        QCOMPARE(grabImage(&chart), changed);
        QCOMPARE(chart.itemRects, changedBoxes);
    });
}

// After a jump into a large chart, and after a scroll step that paints only
// what comes into view, the screen shows what a fresh chart paints there:
// with the boxes hidden under others left out, and a label at the start
// whose size no pass over its HTML can bound reaching into the view.
void TestTLDraw::shouldShowOnTheScreenWhatAFreshChartPaints()
{
    TLItemModel model;
    const QDate start(2021, 1, 1);
    for (int i = 0; i < 600; ++i)
        addItem(&model, start.addDays(i % 150), i % 4, QStringLiteral("<p>%1</p>").arg(i), QColor(255, 255, 200));
    // On top of the others, a table far wider than labels wrap.
    addItem(&model, start, 0, QStringLiteral("<table width=2600 bgcolor=#ff8080><tr><td>wide</td></tr></table>"),
            Qt::cyan);
    const auto setUp = [&model, start](TLine *chart) {
        chart->setModel(&model);
        setChart(chart, start, start.addDays(150), 20.0, 100.0, 4, 2,
                 { TLine::ItemShadow, TLine::RoundEdges, TLine::MarkItems, TLine::MarkMonths });
        // A gradient steps its colours from where a paint starts, which a
        // scroll moves.
        chart->setBgColors({ QColor(220, 230, 255) });
        chart->setBgMode(TLine::SolidBackground);
    };
    QScrollArea area;
    TLine1 *chart = new TLine1;
    setUp(chart);
    area.setWidget(chart);
    area.resize(500, 300);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    area.horizontalScrollBar()->setValue(2000);

    ChartProbe<TLine1> fresh;
    setUp(&fresh);
    QWidget *viewport = area.viewport();
    const auto onScreen = [viewport] {
        const QPoint at = viewport->mapTo(viewport->window(), QPoint());
        return viewport->screen()
            ->grabWindow(viewport->window()->winId(), at.x(), at.y(), viewport->width(), viewport->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    const auto freshPart = [&fresh, chart, viewport] {
        return paintPart(fresh, QRect(chart->mapFrom(viewport, QPoint()), viewport->size()));
    };
    QTRY_COMPARE(onScreen(), freshPart());
    QCOMPARE(onScreen().pixel(viewport->width() / 2, 10), QColor(0xff, 0x80, 0x80).rgb());

    area.horizontalScrollBar()->setValue(area.horizontalScrollBar()->value() + 120);
    QTRY_COMPARE(onScreen(), freshPart());
}

QTEST_MAIN(TestTLDraw)
#include "tst_tldraw.moc"
