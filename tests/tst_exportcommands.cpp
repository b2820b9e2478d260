#include "view/chartrenderer.h"
#include "chartprobe.h"
#include "view/tline.h"
#include "testfiles.h"
#include "windowprobe.h"

#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

#include <memory>

namespace {

// The chart rendered whole, as a grab does it, at one image pixel a widget
// pixel on any display.
QImage grabbed(QWidget *chart)
{
    QImage image(chart->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    chart->render(&image);
    return image.convertToFormat(QImage::Format_ARGB32);
}

}

class TestExportCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void shouldDrawInBandsWhatTheChartShowsWhole_data();
    void shouldDrawInBandsWhatTheChartShowsWhole();
    void shouldExportTheWholeChartOrSayWhyNot_data();
    void shouldExportTheWholeChartOrSayWhyNot();
    void shouldFitThePrintOnThePage_data();
    void shouldFitThePrintOnThePage();

private:
    TLine *chart() { return window->findChild<QScrollArea *>()->findChild<TLine *>(); }

    std::unique_ptr<AnsweredZelvaro> window;
    std::unique_ptr<ModalAnswerer> answers;
};

void TestExportCommands::init()
{
    useFreshSettings();
    QLocale::setDefault(QLocale::c());
    window = std::make_unique<AnsweredZelvaro>();
    answers = std::make_unique<ModalAnswerer>();
}

void TestExportCommands::shouldDrawInBandsWhatTheChartShowsWhole_data()
{
    QTest::addColumn<int>("factor");
    QTest::addColumn<int>("dpi");
    QTest::newRow("as shown") << 1 << 96;
    // Fonts keep their size relative to the chart on a printer's resolution.
    QTest::newRow("1200 dpi") << 1 << 1200;
    QTest::newRow("enlarged") << 3 << 96;
}

void TestExportCommands::shouldDrawInBandsWhatTheChartShowsWhole()
{
    QFETCH(int, factor);
    QFETCH(int, dpi);
    TLine *line = chart();
    // Bands of 37 rows cut through boxes, labels, marks and the gradient.
    const ChartRenderer renderer(line, qint64(line->width()) * 37);
    QVERIFY(renderer.bands().size() > 5);
    QCOMPARE(renderer.toImage().convertToFormat(QImage::Format_ARGB32), grabbed(line));

    QImage paper(line->size() * factor + QSize(20, 20), QImage::Format_ARGB32);
    paper.fill(Qt::red);
    paper.setDotsPerMeterX(qRound(dpi / 0.0254));
    paper.setDotsPerMeterY(qRound(dpi / 0.0254));
    QPainter painter(&paper);
    renderer.paint(&painter, factor);
    painter.end();
    const QRect drawn(QPoint(0, 0), line->size() * factor);
    // Paper takes the labels as text, not as pictures of them: it shows
    // what the screen shows but for the smoothing of a line or two.
    QImage printed = paper.copy(drawn);
    printed.setDevicePixelRatio(factor);
    QCOMPARE(scaledMismatches(grabbed(line), printed), QList<QPoint>());
    const QRgb red = QColor(Qt::red).rgb();
    QVERIFY(paper.pixel(drawn.topLeft()) != red && paper.pixel(drawn.bottomRight()) != red);
    QCOMPARE(paper.pixel(drawn.bottomRight() + QPoint(1, 1)), red);
}

void TestExportCommands::shouldExportTheWholeChartOrSayWhyNot_data()
{
    QTest::addColumn<bool>("print");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("said");
    const QString budget = QStringLiteral("320010 × 1000 .*Lower the day width");
    QTest::newRow("image, no ending") << false << "chart" << "chart.png" << QString();
    QTest::newRow("image, png ending") << false << "chart.png" << "chart.png" << QString();
    QTest::newRow("image, upper-case ending") << false << "chart.PNG" << "chart.PNG.png" << QString();
    QTest::newRow("image cancelled") << false << QString() << QString() << QString();
    QTest::newRow("image into a missing folder") << false << "no/such/folder/chart" << QString()
                                                 << "no/such/folder/chart\\.png:\nNo such file";
    QTest::newRow("image beyond the pixel budget") << false << "chart" << QString() << budget;
    QTest::newRow("print") << true << "chart.pdf" << "chart.pdf" << QString();
    QTest::newRow("print cancelled") << true << QString() << QString() << QString();
    QTest::newRow("print into a missing folder") << true << "no/such/folder/chart.pdf" << QString()
                                                 << "no/such/folder/chart\\.pdf";
    QTest::newRow("print beyond the pixel budget") << true << "chart.pdf" << QString() << budget;
}

void TestExportCommands::shouldExportTheWholeChartOrSayWhyNot()
{
    QFETCH(bool, print);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QString, said);
    const bool huge = said.contains(QLatin1String("day width"));
    TLine *line = chart();
    if (huge) {
        // An image of 320,010 by 1,000 pixels would take 1.2 GB.
        line->setRange(QDate(2006, 10, 4), QDate(2006, 10, 4).addDays(3199));
        line->setDayWidth(100.0);
        line->setPosHeight(100.0);
        line->setMaxPos(10);
    } else {
        window->resize(600, 400);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const QWidget *viewport = window->findChild<QScrollArea *>()->viewport();
        QVERIFY(line->width() > viewport->width() && line->height() > viewport->height());
    }
    QTemporaryDir dir;
    window->imageName = window->pdfName = typed.isEmpty() ? QString() : dir.filePath(typed);
    if (print && !said.isEmpty() && !huge)
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const long peakBefore = usage.ru_maxrss;
    print ? window->print() : window->saveImgFile();
    getrusage(RUSAGE_SELF, &usage);
    QVERIFY(usage.ru_maxrss - peakBefore < 100 * 1024);

    const QStringList warnings = answers->warnings();
    QCOMPARE(warnings.size(), said.isEmpty() ? 0 : 1);
    QVERIFY2(said.isEmpty() || warnings.first().contains(QRegularExpression(said)), qPrintable(warnings.value(0)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), written.isEmpty() ? QStringList() : QStringList({ written }));
    QCOMPARE(window->printerResolution, print && !huge ? QPrinter(QPrinter::HighResolution).resolution() : 0);
    if (written.endsWith(QLatin1String(".png")))
        QCOMPARE(QImage(dir.filePath(written), "PNG").convertToFormat(QImage::Format_ARGB32), grabbed(line));
    if (written.endsWith(QLatin1String(".pdf"))) {
        QFile pdf(dir.filePath(written));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QString content = QString::fromLatin1(pdf.readAll());
        QCOMPARE(content.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![a-z])"))), 1);
        // Marks, dates and labels reach the paper as text, not as pictures.
        QVERIFY(content.contains(QLatin1String("/BaseFont")));
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        QVERIFY2(!pdftotext.isEmpty(), "pdftotext (poppler-utils) reads the printed text");
        const QString text = pdfText(dir.filePath(written));
        QVERIFY(!text.isNull());
        for (const char *word : { "Projekt", "Zwischenbericht", "schwerer", "04 Oct 2006" })
            QVERIFY2(text.contains(QLatin1String(word)), word);
    }
}

void TestExportCommands::shouldFitThePrintOnThePage_data()
{
    QTest::addColumn<QSize>("chart");
    QTest::addColumn<double>("factor");
    QTest::newRow("whole number, width decides") << QSize(1000, 300) << 4.0;
    QTest::newRow("whole number, height decides") << QSize(100, 3000) << 2.0;
    QTest::newRow("wider than the page") << QSize(19200, 300) << 0.25;
    QTest::newRow("taller than the page") << QSize(100, 13200) << 0.5;
    QTest::newRow("empty chart") << QSize(0, 300) << 0.0;
}

void TestExportCommands::shouldFitThePrintOnThePage()
{
    QFETCH(QSize, chart);
    QFETCH(double, factor);
    QCOMPARE(ChartRenderer::printFactor(QSize(4800, 6600), chart), factor);
}

QTEST_MAIN(TestExportCommands)
#include "tst_exportcommands.moc"
