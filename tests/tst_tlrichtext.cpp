#include "model/tlrichtext.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {

QImage redImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image;
}

QString pngDataUrl(int width, int height)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    redImage(width, height).save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(bytes.toBase64());
}

}

class TestTLRichText : public QObject
{
    Q_OBJECT

private slots:
    void shouldLayOutHostileLabelsInBoundedTimeAndSize_data();
    void shouldLayOutHostileLabelsInBoundedTimeAndSize();
    void shouldLeaveOrdinaryLabelsUnchanged();
    void shouldGivePlainTextAndLayoutWidths();
};

void TestTLRichText::shouldLayOutHostileLabelsInBoundedTimeAndSize_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<bool>("red"); // whether the red picture shows: only inline ones load
    // The first size the parser takes as it stands, the second it wraps or drops.
    for (const QString &huge : { QStringLiteral("30000"), QStringLiteral("40000000") }) {
        QTest::addRow("table, %s", qPrintable(huge))
            << QStringLiteral("<table cellpadding=%1 cellspacing=%1 border=%1 width=%1 style=\"margin:%1px\"><tr>"
                              "<td width=%1>x</td><td style=\"padding:%1px\">y</td></tr></table>").arg(huge) << false;
        QTest::addRow("blocks, %s", qPrintable(huge))
            << QStringLiteral("<p style=\"margin:%1px; text-indent:%1px; -qt-block-indent:%1; line-height:%1%\">x<br/>y"
                              "</p><ul style=\"-qt-list-indent:%1\"><li>x</li></ul>").arg(huge) << false;
        QTest::addRow("characters, %s", qPrintable(huge))
            << QStringLiteral("<span style=\"font-size:%1pt; letter-spacing:%1px; word-spacing:%1px\">x y</span>"
                              "<span style=\"font-size:%1px\">z</span>").arg(huge) << false;
        QTest::addRow("inline image, %s", qPrintable(huge))
            << QStringLiteral("<img src=\"%1\" width=%2 height=%2/>").arg(pngDataUrl(2, 2), huge) << true;
    }
    QTest::newRow("endless image") << QStringLiteral("<p>x<img src=\"/dev/zero\"/></p>") << false;
    QTest::newRow("nested tables") << QStringLiteral("<table><tr><td>").repeated(20) + QStringLiteral("x")
                                          + QStringLiteral("</td></tr></table>").repeated(20) << false;
    QTest::newRow("column spans, every spelling")
        << QStringLiteral("<table><tr><td colspan=\"%1\">w</td><td COLSPAN = '%1'>x</td><td colspan=%1>y</td>"
                          "<td colspan=\"&#52;%1\">z</td></tr><tr><td>y</td></tr></table>").arg(40000000).repeated(10)
        << false;
    QTest::newRow("file") << "<p>x<img src=\"red.png\"/></p>" << false;
    QTest::newRow("file url") << "<p>x<img src=\"file://red.png\"/></p>" << false;
    QTest::newRow("background") << "<p style=\"background-image:url(red.png)\">x</p>" << false;
    QTest::newRow("table background") << "<table background=\"red.png\"><tr><td>x</td></tr></table>" << false;
    QTest::newRow("inline image") << QStringLiteral("<p>x<img src=\"%1\"/></p>").arg(pngDataUrl(300, 200)) << true;
    QTest::newRow("inline image of huge size") << QStringLiteral("<img src=\"%1\"/>").arg(pngDataUrl(30000, 3)) << true;
    // Taller than the text layout returns from, were it laid out as written.
    QTest::newRow("tall lines") << QStringLiteral("<p style=\"line-height:1000%\"><span style=\"font-size:500pt\">%1"
                                                  "</span></p>").arg(QStringLiteral("x<br/>").repeated(300)) << false;
}

void TestTLRichText::shouldLayOutHostileLabelsInBoundedTimeAndSize()
{
    QFETCH(QString, html);
    QFETCH(bool, red);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("red.png"));
    QVERIFY(redImage(300, 200).save(path));

    QElapsedTimer timer;
    timer.start();
    TLRichText document;
    document.setLabel(html.replace(QLatin1String("red.png"), path));
    const QSizeF unwrapped = document.size();
    document.setTextWidth(document.idealWidth() + 10.0);
    const QSizeF wrapped = document.size();
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    document.drawContents(&painter, QRectF(image.rect()));
    painter.end();

    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    const auto fits = [](QSizeF size) { return size.isValid() && size.width() < 20000 && size.height() < 20000; };
    QString sizes;
    QDebug(&sizes) << unwrapped << wrapped;
    QVERIFY2(fits(unwrapped) && fits(wrapped), qPrintable(sizes));
    const auto *pixels = reinterpret_cast<const QRgb *>(image.constBits());
    QCOMPARE(std::count(pixels, pixels + image.width() * image.height(), qRgb(255, 0, 0)) > 0, red);
}

void TestTLRichText::shouldLeaveOrdinaryLabelsUnchanged()
{
    const QString html =
        QStringLiteral("<p>Projekt<br/>Start</p><p style=\"margin-left:20px\">b</p><ul><li>one</li>"
                       "<li style=\"margin-top:10px\"><span style=\"font-family:Arial; font-size:12pt; "
                       "font-weight:700; color:#ff0000;\">two</span></li></ul><table border=1 cellpadding=4 "
                       "cellspacing=2 width=300><tr><td width=100>a</td><td colspan=2>b</td></tr></table>")
        + QStringLiteral("<table border=1><tr><td>a</td><td>").repeated(TLRichText::MaxTableDepth) + QStringLiteral("x")
        + QStringLiteral("</td></tr></table>").repeated(TLRichText::MaxTableDepth);
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
    // Tables nested too deep keep their text.
    const QString deep = QStringLiteral("<table><tr><td>a</td><td><table><tr><td>b</td></tr><tr><td>c</td></tr>"
                                        "</table></td></tr></table>");
    QCOMPARE(TLRichText::plainText(QStringLiteral("<table><tr><td>").repeated(TLRichText::MaxTableDepth) + deep
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
