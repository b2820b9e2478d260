#include "app/chartrenderer.h"
#include "app/zelvaro.h"
#include "chartprobe.h"
#include "styles/tline1.h"
#include "styles/tline2.h"
#include "styles/tline3.h"
#include "windowprobe.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <sys/resource.h>

#include <memory>

namespace {

// The main window with its export dialogs answered by the test.
class ExportWindow : public Zelvaro
{
public:
    QString imageName;
    bool printAccepted = true;
    QString pdfName;
    int printerResolution = 0;
    bool printerAsked = false;

private:
    QString askImageFileName() override { return imageName; }
    bool acceptPrinter(QPrinter *printer) override
    {
        printerAsked = true;
        printerResolution = printer->resolution();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdfName);
        return printAccepted;
    }
};

// Answers every message box shown while it lives and keeps the last text;
// gone with the test function, so that it cannot answer the next one's.
class MessageCatcher
{
public:
    MessageCatcher()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                text = box->text();
                box->accept();
            }
        });
        timer.start(10);
    }

    QString text;

private:
    QTimer timer;
};

// The chart rendered whole, as a grab does it, at one image pixel a widget
// pixel on any display.
QImage grabbed(QWidget *chart)
{
    QImage image(chart->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    chart->render(&image);
    return image.convertToFormat(QImage::Format_ARGB32);
}

qint64 peakMemoryKb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

template <typename Style>
std::unique_ptr<TLine> createChart(TLItemModel *model)
{
    auto chart = std::make_unique<Style>();
    chart->setModel(model);
    setChart(chart.get(), QDate(2006, 10, 1), QDate(2006, 11, 12), 20.4, 94.99, 4, 10, { 0, 1, 2, 3, 4, 5, 6, 7, 8 });
    chart->setBgColors({ Qt::white, Qt::white, Qt::blue });
    chart->setBgMode(TLine::DiagonalGradient);
    return chart;
}

}

class TestExportCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void shouldRenderInBandsWhatTheChartShowsWhole_data();
    void shouldRenderInBandsWhatTheChartShowsWhole();
    void shouldSaveTheWholeChartUnderAPngName_data();
    void shouldSaveTheWholeChartUnderAPngName();
    void shouldAskForTheImageWithCaptionAndFilter();
    void shouldPrintOnOnePageOnlyWhenAccepted_data();
    void shouldPrintOnOnePageOnlyWhenAccepted();
    void shouldComputeThePrintFactor_data();
    void shouldComputeThePrintFactor();
    void shouldDrawThePrintAtTheFactorFromTheTopLeft_data();
    void shouldDrawThePrintAtTheFactorFromTheTopLeft();
    void shouldRefuseAChartBeyondThePixelBudget_data();
    void shouldRefuseAChartBeyondThePixelBudget();

private:
    TLine *chart() { return window->findChild<QScrollArea *>()->findChild<TLine *>(); }

    QTemporaryDir configDir;
    QTemporaryDir files;
    std::unique_ptr<ExportWindow> window;
};

void TestExportCommands::initTestCase()
{
    QVERIFY(configDir.isValid() && files.isValid());
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    QLocale::setDefault(QLocale::c());
}

void TestExportCommands::init()
{
    QSettings(QStringLiteral("Orlevant"), QStringLiteral("Zelvaro")).clear();
    window = std::make_unique<ExportWindow>();
}

void TestExportCommands::cleanup()
{
    window.reset();
    QDir dir(files.path());
    for (const QString &name : dir.entryList(QDir::Files))
        dir.remove(name);
}

void TestExportCommands::shouldRenderInBandsWhatTheChartShowsWhole_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("roundEdges");
    for (int style : { 1, 2, 3 }) {
        QTest::addRow("style %d", style) << style << false;
        QTest::addRow("style %d, round edges", style) << style << true;
    }
}

void TestExportCommands::shouldRenderInBandsWhatTheChartShowsWhole()
{
    QFETCH(int, style);
    QFETCH(bool, roundEdges);
    TLItemModel model;
    addReferenceItems(&model);
    std::unique_ptr<TLine> line = style == 1 ? createChart<TLine1>(&model)
                                             : style == 2 ? createChart<TLine2>(&model) : createChart<TLine3>(&model);
    if (!roundEdges)
        line->setDisplayFlags({ 0, 1, 2, 3, 4, 5, 6, 7 });

    // Bands of 37 rows cut through boxes, labels and marks.
    const ChartRenderer renderer(line.get(), qint64(line->width()) * 37);
    QVERIFY(renderer.bands().size() > 5);
    const QImage image = renderer.toImage();
    QCOMPARE(image.size(), line->size());
    QCOMPARE(image.convertToFormat(QImage::Format_ARGB32), grabbed(line.get()));
}

void TestExportCommands::shouldSaveTheWholeChartUnderAPngName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no ending") << "chart" << "chart.png";
    QTest::newRow("png ending") << "chart.png" << "chart.png";
    QTest::newRow("upper-case ending") << "chart.PNG" << "chart.PNG.png";
    QTest::newRow("cancelled") << "" << "";
    QTest::newRow("missing folder") << "no/such/folder/chart" << "";
}

void TestExportCommands::shouldSaveTheWholeChartUnderAPngName()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    window->resize(600, 400);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QWidget *viewport = window->findChild<QScrollArea *>()->viewport();
    QVERIFY(chart()->width() > viewport->width() && chart()->height() > viewport->height());

    window->imageName = typed.isEmpty() ? QString() : files.filePath(typed);
    const MessageCatcher message;
    window->saveImgFile();

    const QStringList names = QDir(files.path()).entryList(QDir::Files);
    if (written.isEmpty()) {
        QVERIFY2(names.isEmpty(), qPrintable(names.join(' ')));
        if (!typed.isEmpty()) {
            const QString path = QDir::toNativeSeparators(files.filePath(typed + ".png"));
            QVERIFY2(message.text.contains(path), qPrintable(message.text));
            QVERIFY(message.text.contains(QLatin1String("No such file or directory")));
        }
        return;
    }
    QCOMPARE(names, QStringList({ written }));
    QVERIFY(message.text.isEmpty());
    const QImage image(files.filePath(written), "PNG");
    QCOMPARE(image.size(), chart()->size());
    QCOMPARE(image.convertToFormat(QImage::Format_ARGB32), grabbed(chart()));
}

void TestExportCommands::shouldAskForTheImageWithCaptionAndFilter()
{
    Zelvaro plain;
    QString caption;
    QStringList filters;
    whenModal([&](QWidget *widget) {
        if (auto *dialog = qobject_cast<QFileDialog *>(widget)) {
            caption = dialog->windowTitle();
            filters = dialog->nameFilters();
            dialog->reject();
        }
    });
    plain.saveImgFile();
    QCOMPARE(caption, QStringLiteral("Choose a file"));
    QCOMPARE(filters, QStringList({ "Images (*.png)" }));
}

void TestExportCommands::shouldPrintOnOnePageOnlyWhenAccepted_data()
{
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("printed");
    QTest::newRow("accepted") << true << "chart.pdf" << true;
    QTest::newRow("cancelled") << false << "chart.pdf" << false;
    QTest::newRow("missing folder") << true << "no/such/folder/chart.pdf" << false;
}

void TestExportCommands::shouldPrintOnOnePageOnlyWhenAccepted()
{
    QFETCH(bool, accepted);
    QFETCH(QString, output);
    QFETCH(bool, printed);
    window->printAccepted = accepted;
    window->pdfName = files.filePath(output);
    if (accepted && !printed)
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    const MessageCatcher message;
    window->print();
    QCOMPARE(window->printerResolution, QPrinter(QPrinter::HighResolution).resolution());

    QFile pdf(window->pdfName);
    QCOMPARE(pdf.exists(), printed);
    if (!printed) {
        QCOMPARE(message.text.contains(QDir::toNativeSeparators(window->pdfName)), accepted);
        return;
    }
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray content = pdf.readAll();
    const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-z])"));
    QCOMPARE(QString::fromLatin1(content).count(page), 1);
    // Marks and dates reach the paper as text, not as a picture of the chart.
    QVERIFY(content.contains("/BaseFont"));
}

void TestExportCommands::shouldComputeThePrintFactor_data()
{
    QTest::addColumn<QSize>("page");
    QTest::addColumn<QSize>("chart");
    QTest::addColumn<double>("factor");
    QTest::newRow("whole number, width decides") << QSize(4800, 6600) << QSize(1000, 300) << 4.0;
    QTest::newRow("whole number, height decides") << QSize(4800, 6600) << QSize(100, 3000) << 2.0;
    QTest::newRow("exact fit") << QSize(4800, 6600) << QSize(4800, 100) << 1.0;
    QTest::newRow("wider than the page") << QSize(4800, 6600) << QSize(19200, 300) << 0.25;
    QTest::newRow("taller than the page") << QSize(4800, 6600) << QSize(100, 13200) << 0.5;
    QTest::newRow("larger both ways") << QSize(4800, 6600) << QSize(9600, 33000) << 0.2;
    QTest::newRow("empty chart") << QSize(4800, 6600) << QSize(0, 300) << 0.0;
}

void TestExportCommands::shouldComputeThePrintFactor()
{
    QFETCH(QSize, page);
    QFETCH(QSize, chart);
    QFETCH(double, factor);
    const double f = ChartRenderer::printFactor(page, chart);
    QCOMPARE(f, factor);
    QVERIFY(chart.width() * f <= page.width() && chart.height() * f <= page.height());
}

void TestExportCommands::shouldDrawThePrintAtTheFactorFromTheTopLeft_data()
{
    QTest::addColumn<int>("factor");
    QTest::addColumn<int>("bandRows");
    QTest::addColumn<int>("dpi");
    QTest::newRow("factor 1, one band") << 1 << 0 << 96;
    QTest::newRow("factor 1, bands") << 1 << 37 << 96;
    // Fonts keep their size relative to the chart on a printer's resolution.
    QTest::newRow("factor 1, 1200 dpi") << 1 << 0 << 1200;
    QTest::newRow("factor 3, bands") << 3 << 37 << 96;
}

void TestExportCommands::shouldDrawThePrintAtTheFactorFromTheTopLeft()
{
    QFETCH(int, factor);
    QFETCH(int, bandRows);
    QFETCH(int, dpi);
    TLine *line = chart();
    const ChartRenderer renderer(line, bandRows ? qint64(line->width()) * bandRows
                                                : ChartRenderer::defaultBandPixels);
    QImage paper(line->size() * factor + QSize(20, 20), QImage::Format_ARGB32);
    paper.fill(Qt::red);
    paper.setDotsPerMeterX(qRound(dpi / 0.0254));
    paper.setDotsPerMeterY(qRound(dpi / 0.0254));
    QPainter painter(&paper);
    renderer.paint(&painter, factor);
    painter.end();

    const QRect drawn(QPoint(0, 0), line->size() * factor);
    if (factor == 1)
        QCOMPARE(paper.copy(drawn), grabbed(line));
    for (const QPoint &p : { drawn.topLeft(), drawn.bottomRight(), drawn.bottomLeft(), drawn.topRight() })
        QVERIFY(paper.pixel(p) != QColor(Qt::red).rgb());
    for (const QPoint &p : { drawn.bottomRight() + QPoint(1, 1), drawn.topRight() + QPoint(1, 0),
                             drawn.bottomLeft() + QPoint(0, 1) })
        QCOMPARE(paper.pixel(p), QColor(Qt::red).rgb());
}

void TestExportCommands::shouldRefuseAChartBeyondThePixelBudget_data()
{
    QTest::addColumn<bool>("print");
    QTest::newRow("export") << false;
    QTest::newRow("print") << true;
}

void TestExportCommands::shouldRefuseAChartBeyondThePixelBudget()
{
    QFETCH(bool, print);
    // 320,010 by 1,000 pixels: an image of it would take 1.2 GB.
    TLine *line = chart();
    line->setRange(QDate(2006, 10, 4), QDate(2006, 10, 4).addDays(3199));
    line->setDayWidth(100.0);
    line->setPosHeight(100.0);
    line->setMaxPos(10);
    QCOMPARE(line->size(), QSize(320010, 1000));

    window->imageName = files.filePath(QStringLiteral("chart.png"));
    window->pdfName = files.filePath(QStringLiteral("chart.pdf"));
    const qint64 peakBefore = peakMemoryKb();
    const MessageCatcher message;
    if (print)
        window->print();
    else
        window->saveImgFile();
    QVERIFY(peakMemoryKb() - peakBefore < 100 * 1024);
    QVERIFY2(message.text.contains(QStringLiteral("320010 × 1000")), qPrintable(message.text));
    QVERIFY(message.text.contains(QLatin1String("Lower the day width")));
    QVERIFY(!window->printerAsked);
    QVERIFY(QDir(files.path()).entryList(QDir::Files).isEmpty());
}

QTEST_MAIN(TestExportCommands)
#include "tst_exportcommands.moc"
