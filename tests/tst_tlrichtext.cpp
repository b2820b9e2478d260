#include "model/tlrichtext.h"

#include <QtTest>

#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

class TestTLRichText : public QObject
{
    Q_OBJECT

private slots:
    void shouldLayOutHostileLabelsInBoundedTimeAndSize_data();
    void shouldLayOutHostileLabelsInBoundedTimeAndSize();
    void shouldNotReadImagesFromFiles_data();
    void shouldNotReadImagesFromFiles();
    void shouldKeepInlineImages();
    void shouldLeaveOrdinaryLabelsUnchanged_data();
    void shouldLeaveOrdinaryLabelsUnchanged();
    void shouldGivePlainTextAndLayoutWidths();

private:
    QTemporaryDir dir;
};

static QString pngDataUrl(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(bytes.toBase64());
}

void TestTLRichText::shouldLayOutHostileLabelsInBoundedTimeAndSize_data()
{
    QTest::addColumn<QString>("html");
    const QString huge = QStringLiteral("40000000");
    QTest::newRow("cellpadding") << QStringLiteral("<table cellpadding=\"%1\"><tr><td>x</td></tr></table>").arg(huge);
    QTest::newRow("cellspacing") << QStringLiteral("<table cellspacing=\"%1\"><tr><td>x</td></tr></table>").arg(huge);
    QTest::newRow("table border") << QStringLiteral("<table border=\"%1\"><tr><td>x</td></tr></table>").arg(huge);
    QTest::newRow("table width") << QStringLiteral("<table width=\"%1\"><tr><td>x</td></tr></table>").arg(huge);
    QTest::newRow("cell width") << QStringLiteral("<table><tr><td width=\"%1\">x</td></tr></table>").arg(huge);
    QTest::newRow("cell padding css")
        << QStringLiteral("<table><tr><td style=\"padding:%1px\">x</td></tr></table>").arg(huge);
    QTest::newRow("table margin")
        << QStringLiteral("<table style=\"margin:%1px\"><tr><td>x</td></tr></table>").arg(huge);
    QTest::newRow("block margins")
        << QStringLiteral("<p style=\"margin:%1px\">x</p><p style=\"margin-left:%1px\">y</p>").arg(huge);
    QTest::newRow("text indent") << QStringLiteral("<p style=\"text-indent:%1px\">x</p>").arg(huge);
    QTest::newRow("block indent") << QStringLiteral("<p style=\"-qt-block-indent:%1\">x</p>").arg(huge);
    QTest::newRow("list indent") << QStringLiteral("<ul style=\"-qt-list-indent:%1\"><li>x</li></ul>").arg(huge);
    QTest::newRow("line height") << QStringLiteral("<p style=\"line-height:%1%\">x<br/>y</p>").arg(huge);
    QTest::newRow("font points") << QStringLiteral("<span style=\"font-size:%1pt\">x</span>").arg(huge);
    QTest::newRow("font pixels") << QStringLiteral("<span style=\"font-size:%1px\">x</span>").arg(huge);
    QTest::newRow("letter spacing") << QStringLiteral("<span style=\"letter-spacing:%1px\">xy</span>").arg(huge);
    QTest::newRow("word spacing") << QStringLiteral("<span style=\"word-spacing:%1px\">x y</span>").arg(huge);
    QTest::newRow("image size")
        << QStringLiteral("<img src=\"%1\" width=\"%2\" height=\"%2\"/>").arg(pngDataUrl(2, 2), huge);
    QTest::newRow("ruler width") << QStringLiteral("<hr width=\"%1\"/>").arg(huge);
    QTest::newRow("endless image") << QStringLiteral("<p>x<img src=\"/dev/zero\"/></p>");
    QTest::newRow("nested tables") << QStringLiteral("<table><tr><td>").repeated(20) + QStringLiteral("x")
                                          + QStringLiteral("</td></tr></table>").repeated(20);
    QTest::newRow("column spans") << QStringLiteral("<table><tr><td colspan=\"%1\">x</td></tr><tr><td>y</td></tr>"
                                                    "</table>").arg(huge).repeated(10);
    QTest::newRow("column spans, every spelling")
        << QStringLiteral("<table><tr><td COLSPAN = '%1'>x</td><td colspan=%1>y</td><td colspan=\"&#52;%1\">z</td>"
                          "</tr><tr><td>y</td></tr></table>").arg(huge).repeated(10);
}

void TestTLRichText::shouldLayOutHostileLabelsInBoundedTimeAndSize()
{
    QFETCH(QString, html);
    QElapsedTimer timer;
    timer.start();
    TLRichText document;
    document.setLabel(html);
    document.adjustSize();
    document.setTextWidth(document.idealWidth() + 10.0);
    const QSizeF size = document.size();
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    document.drawContents(&painter, QRectF(image.rect()));
    painter.end();

    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY2(size.width() < 20000 && size.height() < 20000, qPrintable(QStringLiteral("%1 x %2")
                                                                         .arg(size.width())
                                                                         .arg(size.height())));
}

void TestTLRichText::shouldNotReadImagesFromFiles_data()
{
    QTest::addColumn<QString>("form");
    QTest::newRow("img") << QStringLiteral("<p>x<img src=\"%1\"/></p>");
    QTest::newRow("file url") << QStringLiteral("<p>x<img src=\"file://%1\"/></p>");
    QTest::newRow("background") << QStringLiteral("<p style=\"background-image:url(%1)\">x</p>");
    QTest::newRow("table background") << QStringLiteral("<table background=\"%1\"><tr><td>x</td></tr></table>");
}

void TestTLRichText::shouldNotReadImagesFromFiles()
{
    QFETCH(QString, form);
    const QString path = dir.filePath(QStringLiteral("red.png"));
    QImage red(300, 200, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(path));

    TLRichText document;
    document.setLabel(form.arg(path));
    document.setTextWidth(400);
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    document.drawContents(&painter, QRectF(image.rect()));
    painter.end();

    QVERIFY(document.idealWidth() < 100);
    for (int y = 0; y < image.height(); y += 5) {
        for (int x = 0; x < image.width(); x += 5)
            QVERIFY(image.pixel(x, y) != qRgb(255, 0, 0));
    }
}

void TestTLRichText::shouldKeepInlineImages()
{
    TLRichText document;
    document.setLabel(QStringLiteral("<p><img src=\"%1\"/></p>").arg(pngDataUrl(300, 200)));
    QVERIFY(document.idealWidth() >= 300);
}

void TestTLRichText::shouldLeaveOrdinaryLabelsUnchanged_data()
{
    QTest::addColumn<QString>("html");
    QTest::newRow("paragraphs") << QStringLiteral("<p>Projekt<br/>Start</p><p style=\"margin-left:20px\">b</p>");
    QTest::newRow("fonts") << QStringLiteral("<p><span style=\"font-family:Arial; font-size:12pt; "
                                             "font-weight:700; color:#ff0000;\">Ende</span></p>");
    QTest::newRow("table") << QStringLiteral("<table border=\"1\" cellpadding=\"4\" cellspacing=\"2\" width=\"300\">"
                                             "<tr><td width=\"100\">a</td><td>b</td></tr></table>");
    QTest::newRow("list") << QStringLiteral("<ul><li>one</li><li style=\"margin-top:10px\">two</li></ul>");
    QTest::newRow("column span") << QStringLiteral("<table border=\"1\"><tr><td colspan=\"2\">a</td></tr>"
                                                   "<tr><td>b</td><td>c</td></tr></table>");
    QTest::newRow("tables in tables")
        << QStringLiteral("<table border=\"1\"><tr><td>a</td><td>").repeated(TLRichText::MaxTableDepth)
               + QStringLiteral("x") + QStringLiteral("</td></tr></table>").repeated(TLRichText::MaxTableDepth);
}

void TestTLRichText::shouldLeaveOrdinaryLabelsUnchanged()
{
    QFETCH(QString, html);
    QTextDocument plain;
    plain.setHtml(html);
    TLRichText clamped;
    clamped.setLabel(html);
    QCOMPARE(clamped.toHtml(), plain.toHtml());
}

void TestTLRichText::shouldGivePlainTextAndLayoutWidths()
{
    QCOMPARE(TLRichText::plainText(QStringLiteral("<p>Projekt<br/>Start <b>&amp; more</b></p>")),
             QStringLiteral("Projekt\nStart & more"));
    QCOMPARE(TLRichText::plainText(QString()), QString());
    // Tables nested too deep keep their text.
    QCOMPARE(TLRichText::plainText(QStringLiteral("<table><tr><td>").repeated(TLRichText::MaxTableDepth)
                                   + QStringLiteral("<table><tr><td>a</td><td><table><tr><td>b</td></tr><tr>"
                                                    "<td>c</td></tr></table></td></tr></table>")
                                   + QStringLiteral("</td></tr></table>").repeated(TLRichText::MaxTableDepth))
                 .simplified(),
             QStringLiteral("a b c"));
    QCOMPARE(TLRichText::layoutWidth(120.5), 120.5);
    QCOMPARE(TLRichText::layoutWidth(-3), 0.0);
    QCOMPARE(TLRichText::layoutWidth(1e12), double(TLRichText::MaxTextWidth));
    QCOMPARE(TLRichText::layoutWidth(qQNaN()), 0.0);
}

QTEST_MAIN(TestTLRichText)
#include "tst_tlrichtext.moc"
