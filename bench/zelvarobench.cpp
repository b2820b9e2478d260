// zelvaro-bench: writes charts of many items and measures, in the real main
// window, how long reading, loading, the first paint, a repaint of the view
// and a scroll step take, and how much memory each phase peaks at.
//
// Every measurement of a chart runs in a fresh process of this program, so
// that the peak memory (VmHWM) belongs to that phase alone and no cache of an
// earlier run helps a later one.

#include "app/zelvaro.h"
#include "model/tldocument.h"
#include "model/tlitem.h"
#include "view/tline.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QMouseEvent>
#include <QProcess>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const QSize viewportSize(1200, 800);
const int scrollStep = 120;

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

// The peak resident memory of this process so far, in MiB.
double peakMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0.0;
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2.0;
}

double msSince(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// About 280 characters of rich text, different for every item.
QString label(int index, QRandomGenerator &random)
{
    static const char *const words[] = { "review",  "budget", "launch", "design", "contract", "supplier",
                                         "meeting", "audit",  "report", "release", "workshop", "planning" };
    const auto word = [&random] { return QString::fromLatin1(words[random.bounded(12)]); };
    return QStringLiteral("<p style=\"margin:0\"><span style=\"font-weight:600\">Item %1</span> "
                          "<span style=\"color:#aa3300\">%2</span> of the %3<br/>"
                          "Notes on the <i>%4</i> and the %5 with the team, "
                          "<span style=\"font-size:7pt\">next steps for the %6</span></p>")
        .arg(index)
        .arg(word(), word(), word(), word(), word());
}

// A ten-year chart at 20 pixels a day with rounded, shadowed boxes over a
// diagonal gradient; one item in five spans a few days to a month.
TLDocument chartDocument(int items, int style)
{
    TLDocument document;
    document.style = style;
    document.start = QDate(2010, 1, 1);
    document.end = QDate(2019, 12, 31);
    document.dayWidth = 20.0;
    document.posHeight = 100.0;
    document.tPos = 2;
    document.maxPos = 20;
    document.bgMode = TLine::DiagonalGradient;
    document.bgColors = { Qt::white, Qt::white, Qt::blue };
    document.displayFlags = { TLine::MarkDays, TLine::MarkWeeks, TLine::MarkMonths, TLine::MarkYears,
                              TLine::ArrowShadow, TLine::ItemShadow, TLine::RoundEdges };
    QRandomGenerator random(20240601u + quint32(items));
    const qint64 days = document.start.daysTo(document.end);
    document.items.reserve(items);
    for (int i = 0; i < items; ++i) {
        TLItem item;
        item.date = document.start.addDays(random.bounded(days));
        item.pos = random.bounded(document.maxPos - 1);
        item.text = label(i, random);
        item.backgroundColor = QColor::fromHsv(random.bounded(360), 60, 250);
        if (random.bounded(5) == 0)
            item.endDate = item.date.addDays(3 + random.bounded(28));
        document.items.append(item);
    }
    return document;
}

bool writeDocument(const QString &path, int items, int style)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return bool(chartDocument(items, style).write(&file));
}

// Counts the paints of the chart widget and notes when the last one ended,
// so that a step is timed to its paint and not to the idle work after it.
class PaintCounter : public QObject
{
public:
    PaintCounter() { clock.start(); }

    // Milliseconds from start, a time of the clock, to the last paint's end.
    double msUntilLastPaint(qint64 start) const { return (lastPaintEnd - start) / 1e6; }

    int paints = 0;
    QElapsedTimer clock;
    qint64 lastPaintEnd = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return QObject::eventFilter(watched, event);
        // Past the filters, so that the paint itself is timed.
        watched->event(event);
        ++paints;
        lastPaintEnd = clock.nsecsElapsed();
        return true;
    }
};

// Runs the event loop until the chart has painted once more, or for at most
// limitMs.
void waitForPaint(const PaintCounter &counter, int limitMs = 600000)
{
    const int before = counter.paints;
    QElapsedTimer timer;
    timer.start();
    while (counter.paints == before && timer.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// Runs the event loop until the chart reports no labels left to measure in
// the background (a chart that measures nothing then returns at once).
void waitForBackgroundWork(QWidget *chart, int limitMs = 600000)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        int pending = 0;
        if (chart->metaObject()->indexOfMethod("pendingLayouts()") < 0
            || !QMetaObject::invokeMethod(chart, "pendingLayouts", Qt::DirectConnection, Q_RETURN_ARG(int, pending))
            || pending == 0 || timer.elapsed() > limitMs)
            return;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

int runRead(const QString &path, int repeats)
{
    QList<double> times;
    for (int i = 0; i < repeats; ++i) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        QElapsedTimer timer;
        timer.start();
        TLDocument document;
        if (!TLDocument::read(&file, &document))
            return 1;
        times.append(msSince(timer));
    }
    out() << "read=" << median(times) << " readPeak=" << peakMiB() << Qt::endl;
    return 0;
}

// Repeats a measured action until it ran repeats times, or at least three
// times and for more than budgetMs in all.
QList<double> measure(int repeats, double budgetMs, const std::function<double()> &action)
{
    QList<double> times;
    double total = 0.0;
    while (times.size() < repeats && (times.size() < 3 || total < budgetMs)) {
        times.append(action());
        total += times.last();
    }
    return times;
}

struct TableTimes
{
    double scroll = 0.0;
    double bigRowFirst = 0.0;
    double bigRow = 0.0;
};

// The item table: a page down from its middle, and the repaint of a row
// whose label is a million characters (two megabytes as stored), first
// and again.
TableTimes measureTable(QTableView *table, int repeats)
{
    TableTimes times;
    if (!table || !table->model() || table->model()->rowCount() == 0)
        return times;
    PaintCounter counter;
    table->viewport()->installEventFilter(&counter);
    QScrollBar *bar = table->verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    waitForPaint(counter);
    times.scroll = median(measure(repeats, 20000.0, [&counter, bar] {
        const qint64 start = counter.clock.nsecsElapsed();
        bar->setValue(bar->value() + bar->pageStep());
        waitForPaint(counter);
        return counter.msUntilLastPaint(start);
    }));

    const int row = std::max(0, table->rowAt(0));
    QString big = QStringLiteral("<p>");
    while (big.size() < 1000000)
        big += QStringLiteral("<b>Notes</b> on the review of the budget and the supplier contract, ");
    const qint64 start = counter.clock.nsecsElapsed();
    table->model()->setData(table->model()->index(row, TLItem::TextColumn), big);
    waitForPaint(counter);
    times.bigRowFirst = counter.msUntilLastPaint(start);
    const QRect rowRect(0, table->rowViewportPosition(row), table->viewport()->width(), table->rowHeight(row));
    const auto repaintRow = [table, rowRect] {
        QElapsedTimer t;
        t.start();
        table->viewport()->repaint(rowRect);
        return msSince(t);
    };
    times.bigRow = median(measure(repeats, 20000.0, repaintRow));
    return times;
}

int runChart(const QString &path, int style, int repeats, bool background)
{
    Zelvaro window;
    QScrollArea *scrollArea = window.findChild<QScrollArea *>();
    // Scroll bars that come and go with the chart would change the view.
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    window.show();
    for (int i = 0; i < 3; ++i) {
        window.resize(window.size() + viewportSize - scrollArea->viewport()->size());
        QCoreApplication::processEvents();
    }
    QWidget *viewport = scrollArea->viewport();

    QElapsedTimer timer;
    timer.start();
    if (!window.loadNative(path))
        return 1;
    const double load = msSince(timer);

    QWidget *chart = scrollArea->widget();
    PaintCounter counter;
    chart->installEventFilter(&counter);
    qint64 start = counter.clock.nsecsElapsed();
    waitForPaint(counter);
    const double firstPaint = counter.msUntilLastPaint(start);
    const double openPeak = peakMiB();

    // Along the time axis: across in styles 1 and 2, down in style 3.
    QScrollBar *timeBar = style == 3 ? scrollArea->verticalScrollBar() : scrollArea->horizontalScrollBar();
    QScrollBar *crossBar = style == 3 ? scrollArea->horizontalScrollBar() : scrollArea->verticalScrollBar();
    start = counter.clock.nsecsElapsed();
    timeBar->setValue(timeBar->maximum() / 2);
    crossBar->setValue(crossBar->maximum() / 2);
    waitForPaint(counter);
    const double jump = counter.msUntilLastPaint(start);

    // A double click in the middle of the view before the background is
    // done, and one right after a jump, before the chart painted there:
    // the hit test lays out every label it needs. The window's item dialog
    // is not wanted here.
    QObject::disconnect(chart, SIGNAL(itemClicked(int)), nullptr, nullptr);
    const auto doubleClickTime = [chart, viewport] {
        const QPoint centre = chart->mapFrom(viewport, viewport->rect().center());
        QElapsedTimer t;
        t.start();
        QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(centre), QPointF(chart->mapToGlobal(centre)),
                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(chart, &doubleClick);
        return msSince(t);
    };
    const double click = doubleClickTime();
    timeBar->setValue(timeBar->maximum() / 4);
    const double coldClick = doubleClickTime();
    waitForPaint(counter);
    timeBar->setValue(timeBar->maximum() / 2);
    waitForPaint(counter);

    timer.restart();
    if (background)
        waitForBackgroundWork(chart);
    const double backgroundTime = msSince(timer);

    const int paintsBefore = counter.paints;
    const QList<double> repaints = measure(repeats, 20000.0, [chart] {
        QElapsedTimer t;
        t.start();
        chart->repaint(chart->visibleRegion());
        return msSince(t);
    });
    if (counter.paints - paintsBefore != repaints.size())
        out() << "repaints missed ";
    const QList<double> scrolls = measure(repeats, 20000.0, [&counter, timeBar] {
        const qint64 start = counter.clock.nsecsElapsed();
        timeBar->setValue(timeBar->value() + scrollStep);
        waitForPaint(counter);
        return counter.msUntilLastPaint(start);
    });

    const TableTimes table = measureTable(window.findChild<QTableView *>(), repeats);

    out() << "load=" << load << " firstPaint=" << firstPaint << " openPeak=" << openPeak << " jump=" << jump
          << " click=" << click << " coldClick=" << coldClick << " background=" << backgroundTime
          << " repaint=" << median(repaints) << " scroll=" << median(scrolls) << " tableScroll=" << table.scroll
          << " bigRowFirst=" << table.bigRowFirst << " bigRow=" << table.bigRow << " chartPeak=" << peakMiB()
          << " viewport=" << viewport->width() << "x" << viewport->height() << Qt::endl;
    return 0;
}

QMap<QString, double> runChild(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), arguments);
    process.waitForFinished(-1);
    QMap<QString, double> values;
    const QList<QByteArray> fields = process.readAllStandardOutput().simplified().split(' ');
    for (const QByteArray &field : fields) {
        const qsizetype at = field.indexOf('=');
        if (at > 0)
            values.insert(QString::fromLatin1(field.left(at)), field.mid(at + 1).toDouble());
    }
    if (process.exitCode() != 0)
        values.clear();
    return values;
}

QString number(double value, int width, int precision = 0)
{
    return QStringLiteral("%1").arg(value, width, 'f', precision);
}

// The processor and how busy the machine is, for the figures to be read by.
QString machine()
{
    QString model;
    int cores = 0;
    QFile cpuInfo(QStringLiteral("/proc/cpuinfo"));
    if (cpuInfo.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : cpuInfo.readAll().split('\n')) {
            if (line.startsWith("model name")) {
                model = QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
                ++cores;
            }
        }
    }
    QFile loadAverage(QStringLiteral("/proc/loadavg"));
    QString load;
    if (loadAverage.open(QIODevice::ReadOnly))
        load = QString::fromLatin1(loadAverage.readAll().split(' ').mid(0, 3).join(' '));
    return QStringLiteral("%1, %2 cores, load average %3").arg(model).arg(cores).arg(load);
}

int runAll(const QList<int> &sizes, const QList<int> &styles, int repeats, const QString &dirPath,
           const QStringList &childOptions)
{
    QTemporaryDir temporary;
    const QString dir = dirPath.isEmpty() ? temporary.path() : dirPath;
    QDir().mkpath(dir);
    out() << "Machine: " << machine() << Qt::endl << Qt::endl;
    out() << "| items | style | file MB | read ms | load ms | first paint ms | jump ms | click ms | cold click ms "
             "| background ms | repaint ms | scroll ms | table scroll ms | 2 MB row first ms | 2 MB row ms "
             "| read peak MB | open peak MB | chart peak MB |"
          << Qt::endl
          << "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|" << Qt::endl;
    for (int size : sizes) {
        for (int style : styles) {
            const QString path = QStringLiteral("%1/chart-%2-style%3.vrk").arg(dir).arg(size).arg(style);
            if (!QFileInfo::exists(path) && !writeDocument(path, size, style)) {
                out() << "cannot write " << path << Qt::endl;
                return 1;
            }
            const QMap<QString, double> read =
                runChild({ QStringLiteral("--read"), path, QStringLiteral("--repeats"), QString::number(repeats) });
            const QMap<QString, double> chart =
                runChild(QStringList { QStringLiteral("--chart"), path, QStringLiteral("--typ"), QString::number(style),
                                       QStringLiteral("--repeats"), QString::number(repeats) }
                         + childOptions);
            out() << "| " << size << " | " << style << " | "
                  << number(QFileInfo(path).size() / 1048576.0, 0, 1) << " | " << number(read.value("read"), 0)
                  << " | " << number(chart.value("load"), 0) << " | " << number(chart.value("firstPaint"), 0)
                  << " | " << number(chart.value("jump"), 0) << " | " << number(chart.value("click"), 0)
                  << " | " << number(chart.value("coldClick"), 0) << " | " << number(chart.value("background"), 0)
                  << " | " << number(chart.value("repaint"), 0, 1) << " | " << number(chart.value("scroll"), 0, 1)
                  << " | " << number(chart.value("tableScroll"), 0, 1)
                  << " | " << number(chart.value("bigRowFirst"), 0) << " | " << number(chart.value("bigRow"), 0, 1)
                  << " | " << number(read.value("readPeak"), 0) << " | " << number(chart.value("openPeak"), 0)
                  << " | " << number(chart.value("chartPeak"), 0) << " |" << Qt::endl;
        }
    }
    out() << Qt::endl << "At the end: " << machine() << Qt::endl;
    return 0;
}

QList<int> numbers(const QString &list)
{
    QList<int> result;
    for (const QString &part : list.split(QLatin1Char(','), Qt::SkipEmptyParts))
        result.append(part.toInt());
    return result;
}

}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window keeps its layout in the settings; the bench keeps it apart.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Measures Zelvaro on large generated charts."));
    parser.addHelpOption();
    const QCommandLineOption sizes(QStringLiteral("sizes"), QStringLiteral("Item counts, comma separated."),
                                   QStringLiteral("list"), QStringLiteral("1000,10000,100000"));
    const QCommandLineOption styles(QStringLiteral("styles"), QStringLiteral("Chart styles, comma separated."),
                                    QStringLiteral("list"), QStringLiteral("1,2,3"));
    const QCommandLineOption repeats(QStringLiteral("repeats"), QStringLiteral("Runs of each timed step."),
                                     QStringLiteral("n"), QStringLiteral("9"));
    const QCommandLineOption dir(QStringLiteral("dir"), QStringLiteral("Where the charts are written and kept."),
                                 QStringLiteral("path"));
    const QCommandLineOption read(QStringLiteral("read"), QStringLiteral("Child: read one file."),
                                  QStringLiteral("file"));
    const QCommandLineOption chart(QStringLiteral("chart"), QStringLiteral("Child: open one file in the window."),
                                   QStringLiteral("file"));
    const QCommandLineOption style(QStringLiteral("typ"), QStringLiteral("Child: the file's style."),
                                   QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption large(QStringLiteral("large"),
                                   QStringLiteral("Measure a chart of 1,000,000 items too (some 500 MB, slow to "
                                                  "write the first time)."));
    const QCommandLineOption noBackground(QStringLiteral("no-background"),
                                          QStringLiteral("Measure the view without waiting for the labels laid "
                                                         "out in the background."));
    parser.addOptions({ sizes, styles, repeats, dir, read, chart, style, large, noBackground });
    parser.process(app);

    const int repeatCount = std::max(1, parser.value(repeats).toInt());
    if (parser.isSet(read))
        return runRead(parser.value(read), repeatCount);
    if (parser.isSet(chart))
        return runChart(parser.value(chart), parser.value(style).toInt(), repeatCount, !parser.isSet(noBackground));
    const QStringList childOptions =
        parser.isSet(noBackground) ? QStringList { QStringLiteral("--no-background") } : QStringList();
    QList<int> sizeList = numbers(parser.value(sizes));
    if (parser.isSet(large) && !sizeList.contains(1000000))
        sizeList.append(1000000);
    return runAll(sizeList, numbers(parser.value(styles)), repeatCount, parser.value(dir), childOptions);
}
