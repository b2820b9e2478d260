#include "model/tlrichtext.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QtTest>

#include <algorithm>

namespace {

QImage redImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image;
}

QString dataUrl(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(bytes.toBase64());
}

QString pngDataUrl(int width, int height)
{
    return dataUrl(redImage(width, height));
}

// Many pixels in a file of a few KB: one bit each, all alike.
QString bitmapDataUrl(int width, int height)
{
    QImage image(width, height, QImage::Format_Mono);
    image.fill(1);
    return dataUrl(image);
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
    void shouldHoldNestingAndListItemsBeforeParsing_data();
    void shouldHoldNestingAndListItemsBeforeParsing();
    void shouldHoldStyleMatchingBeforeParsing_data();
    void shouldHoldStyleMatchingBeforeParsing();
    void shouldDecodeInlineImagesNoLargerThanShown_data();
    void shouldDecodeInlineImagesNoLargerThanShown();
    void shouldShowOverlongLabelsAsTheStartOfTheirPlainText_data();
    void shouldShowOverlongLabelsAsTheStartOfTheirPlainText();
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

void TestTLRichText::shouldHoldNestingAndListItemsBeforeParsing_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<int>("kept"); // tags of that kind handed to the parser
    constexpr int deeper = TLRichText::MaxNesting + 8;
    const auto nested = [](const char *open, const char *close) {
        return QString::fromLatin1(open).repeated(deeper) + QString::fromLatin1(close).repeated(deeper);
    };
    QTest::newRow("nested divs") << nested("<div>x", "</div>") << "<div" << TLRichText::MaxNesting;
    QTest::newRow("blockquotes left open") << QStringLiteral("<blockquote>x").repeated(deeper) << "<blockquote"
                                           << TLRichText::MaxNesting;
    // A list and its item per level; a table, its row and its cell.
    QTest::newRow("nested lists") << nested("<ul><li>x", "</li></ul>") << "<ul" << (TLRichText::MaxNesting + 1) / 2;
    QTest::newRow("nested frames") << nested("<table style=\"-qt-table-type: frame\"><tr><td>x", "</td></tr></table>")
                                   << "<table" << TLRichText::MaxNesting / 3;
    QTest::newRow("list items") << "<ol>" + QStringLiteral("<li>x</li>").repeated(TLRichText::MaxListItems + 8)
                                       + "</ol>"
                                << "<li" << TLRichText::MaxListItems;
    // What the parser closes by itself goes no deeper, and stays.
    QTest::newRow("paragraphs left open") << QStringLiteral("<p><b>x").repeated(deeper) << "<p" << deeper;
    QTest::newRow("list items left open") << "<ul>" + QStringLiteral("<li>x").repeated(deeper) << "<li" << deeper;
    QTest::newRow("cells left open") << "<table>" + QStringLiteral("<tr><td>x<td>x").repeated(deeper) << "<td"
                                     << 2 * deeper;
    QTest::newRow("cells without a table") << QStringLiteral("<td>x").repeated(deeper) << "<td" << deeper;
    QTest::newRow("definitions left open") << "<dl>" + QStringLiteral("<dt>x<dd>x").repeated(deeper) << "<dd" << deeper;
}

void TestTLRichText::shouldHoldNestingAndListItemsBeforeParsing()
{
    QFETCH(QString, html);
    QFETCH(QString, tag);
    QFETCH(int, kept);
    QCOMPARE(TLRichText::boundHtml(html).count(tag), kept);
    // The text stays, tags or not.
    QCOMPARE(TLRichText::plainText(html).count(QLatin1Char('x')), html.count(QLatin1Char('x')));
}

void TestTLRichText::shouldHoldStyleMatchingBeforeParsing_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<qint64>("work"); // matches the parser makes for each such tag, at least
    const QString selectors = "<style>" + QStringLiteral("*,").repeated(1023) + "*{}</style>";
    const QString bolds = QStringLiteral("<b>x</b>").repeated(5000);
    QTest::newRow("many selectors") << selectors + bolds << "<b>" << qint64(1024);
    // A cell is matched with its row and table.
    QTest::newRow("many selectors, cells") << selectors + "<table><tr>" + QStringLiteral("<td>x</td>").repeated(5000)
                                           << "<td>" << qint64(3 * 1024);
    QString attributes;
    for (int i = 0; i < 300; ++i)
        attributes += QStringLiteral(" a%1").arg(i);
    QTest::newRow("many attributes around")
        << "<style>[q]{} [r]{}</style>" + ("<div" + attributes + ">").repeated(30) + bolds << "<b>"
        << qint64(30 * 301 * 3);
}

void TestTLRichText::shouldHoldStyleMatchingBeforeParsing()
{
    QFETCH(QString, html);
    QFETCH(QString, tag);
    QFETCH(qint64, work);
    const qint64 kept = TLRichText::boundHtml(html).count(tag);
    QVERIFY2(kept > 0 && kept * work <= TLRichText::MaxParseWork, qPrintable(QString::number(kept)));
    QCOMPARE(TLRichText::plainText(html).count(QLatin1Char('x')), html.count(QLatin1Char('x')));
}

void TestTLRichText::shouldDecodeInlineImagesNoLargerThanShown_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QSize>("size"); // as decoded; empty for the blank image
    const QString photo = pngDataUrl(400, 300);
    const auto shown = [&photo](const char *html) { return QString::fromLatin1(html).arg(photo); };
    QTest::newRow("shown smaller") << shown("<img src=\"%1\" width=4 height=3/>") << photo << QSize(4, 3);
    QTest::newRow("shown at a width") << shown("<img src=\"%1\" width=40/>") << photo << QSize(40, 30);
    QTest::newRow("shown small and large") << shown("<img src=\"%1\" width=4 height=3/><img src=\"%1\" width=200/>")
                                           << photo << QSize(200, 150);
    QTest::newRow("shown larger than it is") << shown("<img src=\"%1\" width=800 height=600/>") << photo
                                             << QSize(400, 300);
    QTest::newRow("shown at its size") << shown("<p>x<img src=\"%1\"/></p>") << photo << QSize(400, 300);
    // Small files that claim many pixels.
    const QString huge = bitmapDataUrl(4001, 4001);
    QTest::newRow("more pixels than a label decodes") << QStringLiteral("<img src=\"%1\" width=1 height=1/>").arg(huge)
                                                      << huge << QSize();
    const QString first = bitmapDataUrl(4000, 3000);
    const QString second = bitmapDataUrl(4000, 2999);
    QTest::newRow("beyond the pixels a label decodes")
        << QStringLiteral("<img src=\"%1\" width=1 height=1/><img src=\"%2\" width=1 height=1/>").arg(first, second)
        << second << QSize();
}

void TestTLRichText::shouldDecodeInlineImagesNoLargerThanShown()
{
    QFETCH(QString, html);
    QFETCH(QString, url);
    QFETCH(QSize, size);
    TLRichText document;
    document.setLabel(html);
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    document.drawContents(&painter);
    painter.end();
    const QImage decoded = document.resource(QTextDocument::ImageResource, QUrl(url)).value<QImage>();
    if (size.isEmpty())
        QCOMPARE(qAlpha(decoded.pixel(0, 0)), 0);
    else
        QCOMPARE(decoded.size(), size);
}

void TestTLRichText::shouldShowOverlongLabelsAsTheStartOfTheirPlainText_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("start");
    const auto overlong = [](const QString &head, const QString &repeated) {
        return head + repeated.repeated(TLRichText::MaxHtmlLength / repeated.size() + 1);
    };
    QTest::newRow("markup") << overlong(QString(), QStringLiteral("<p><b>Projekt</b> &amp; <i>Start</i></p>\n"))
                            << QStringLiteral("Projekt & Start\nProjekt & Start\n");
    QTest::newRow("head, style sheet and entities")
        << overlong(QStringLiteral("<html><head><title>T</title><style>p { color: red }</style></head><body>"),
                    QStringLiteral("a&lt;b&#x263a;&#32;  "))
        << QStringLiteral("a<b\u263a a<b\u263a a");
    QTest::newRow("one word") << QString(TLRichText::MaxHtmlLength + 1, QLatin1Char('w')) << QStringLiteral("wwww");
}

void TestTLRichText::shouldShowOverlongLabelsAsTheStartOfTheirPlainText()
{
    QFETCH(QString, html);
    QFETCH(QString, start);
    // The parser is handed the start of the text, escaped, and no more.
    QVERIFY(TLRichText::boundHtml(html).size() < 8 * TLRichText::MaxPlainCharacters);
    TLRichText document;
    document.setLabel(html);
    const QString text = document.toPlainText();
    QVERIFY2(text.startsWith(start) && text.size() <= TLRichText::MaxPlainCharacters, qPrintable(text.left(40)));
    QTextCursor cursor(&document);
    cursor.setPosition(1);
    QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Normal));
    QCOMPARE(TLRichText::plainText(html), text);
}

QTEST_MAIN(TestTLRichText)
#include "tst_tlrichtext.moc"
