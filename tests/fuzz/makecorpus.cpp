// Writes the fuzz targets' seed corpus into the folder given on the command
// line: native/ holds the demo chart and a chart of every format version
// (version 1 in each of its font forms), label/ the demo's labels and the
// hostile label forms, each behind a layout width, csv/ the demo table and
// tables in every form the reader takes.
//
//   QT_QPA_PLATFORM=offscreen build/tests/fuzz/makecorpus tests/fuzz/corpus

#include "model/tlcsv.h"
#include "model/tldocument.h"
#include "model/tlrichtext.h"
#include "tests/legacydocument.h"

#include <QBuffer>
#include <QByteArray>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringEncoder>
#include <QtEndian>

#include <cstdio>

namespace {

QByteArray currentDocument()
{
    TLDocument doc;
    doc.style = 3;
    doc.start = QDate(2010, 1, 1);
    doc.end = QDate(2010, 12, 31);
    doc.dayWidth = 0.37;
    doc.posHeight = 55.5;
    doc.tPos = 17;
    doc.maxPos = 12;
    doc.bgMode = 4;
    doc.bgColors = { QColor("#010203"), QColor(), QColor("#fefdfc") };
    doc.bgFileName = QStringLiteral("/tmp/bild.png");
    doc.displayFlags = { 0, 1, 2, 3, 4, 5, 6, 7, 8 };
    doc.items = { firstItem, secondItem, TLItem { QDate(), -3, QString(""), QColor(), QDate(2011, 1, 1) } };
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    doc.write(&buffer);
    return buffer.data();
}

QString pngDataUrl()
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(bytes.toBase64());
}

// Many pixels in a file of a few KB: one bit each, all alike.
QString bitmapDataUrl(int width, int height)
{
    QImage image(width, height, QImage::Format_Mono);
    image.fill(1);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(bytes.toBase64());
}

QByteArray labelInput(qint32 width, const QString &html)
{
    QByteArray data(4, '\0');
    qToBigEndian(width, data.data());
    return data + html.toUtf8();
}

QByteArray utf16(const QByteArray &utf8, QStringConverter::Encoding encoding, bool byteOrderMark)
{
    QStringEncoder encoder(encoding, byteOrderMark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return encoder.encode(QString::fromUtf8(utf8));
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
        fprintf(stderr, "makecorpus: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        fprintf(stderr, "usage: makecorpus <folder>\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    if (!root.mkpath(QStringLiteral("native")) || !root.mkpath(QStringLiteral("label"))
        || !root.mkpath(QStringLiteral("csv")))
        return 1;
    bool ok = true;

    QFile demo(QStringLiteral(":demo.vrk"));
    if (!demo.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray demoBytes = demo.readAll();
    ok &= writeFile(root.filePath(QStringLiteral("native/demo.vrk")), demoBytes);

    const QList<QPair<const char *, QByteArray>> native = {
        { "v0.vrk", legacyDocument(0, QDataStream::Qt_4_6) },
        { "v1-font-qt4.6.vrk", legacyDocument(1, QDataStream::Qt_4_6) },
        { "v1-font-qt4.4.vrk", legacyDocument(1, QDataStream::Qt_4_4) },
        { "v1-font-qt4.3.vrk", legacyDocument(1, QDataStream::Qt_4_3) },
        { "v1-font-qt4.0.vrk", legacyDocument(1, QDataStream::Qt_4_0) },
        { "v2.vrk", legacyDocument(2, QDataStream::Qt_4_6) },
        { "v3.vrk", legacyDocument(3, QDataStream::Qt_4_6) },
        { "v4.vrk", legacyDocument(4, QDataStream::Qt_4_6) },
        { "v4-every-field.vrk", currentDocument() },
        { "v4-cut.vrk", currentDocument().chopped(20) },
    };
    for (const auto &seed : native)
        ok &= writeFile(root.filePath(QStringLiteral("native/") + QLatin1String(seed.first)), seed.second);

    QBuffer demoBuffer;
    demoBuffer.setData(demoBytes);
    demoBuffer.open(QIODevice::ReadOnly);
    TLDocument demoDocument;
    TLDocument::read(&demoBuffer, &demoDocument);
    const QList<qint32> widths = { 0, 120, 300, -5, 1 << 30 };
    for (int i = 0; i < demoDocument.items.size(); ++i) {
        ok &= writeFile(root.filePath(QStringLiteral("label/demo-%1").arg(i + 1)),
                        labelInput(widths.at(i % widths.size()), demoDocument.items.at(i).text));
    }

    const QString huge = QStringLiteral("40000000");
    // Each shape just beyond the bound that holds it.
    const int deeper = TLRichText::MaxNesting + 8;
    QString imagesShownSmall;
    for (int i = 0; i < 5; ++i)
        imagesShownSmall += QStringLiteral("<img src=\"%1\" width=1 height=1/>").arg(bitmapDataUrl(4000, 4000 - i));
    const QList<QPair<const char *, QString>> labels = {
        { "plain", QStringLiteral("Projekt Start") },
        { "cellpadding", QStringLiteral("<table cellpadding=\"%1\"><tr><td>x</td></tr></table>").arg(huge) },
        { "cellspacing", QStringLiteral("<table cellspacing=\"%1\" border=\"%1\"><tr><td>x</td><td>y</td></tr>"
                                        "</table>").arg(huge) },
        { "frame", QStringLiteral("<table style=\"margin:%1px; padding:%1px\" width=\"%1\"><tr>"
                                  "<td style=\"padding:%1px\" width=\"50%\">x</td></tr></table>").arg(huge) },
        { "blocks", QStringLiteral("<p style=\"margin:%1px; text-indent:%1px; line-height:%1%; "
                                   "-qt-block-indent:%1\">x<br/>y</p><hr width=\"%1\"/>").arg(huge) },
        { "lists", QStringLiteral("<ul style=\"-qt-list-indent:%1\"><li>x<ol><li>y</li></ol></li></ul>").arg(huge) },
        { "fonts", QStringLiteral("<span style=\"font-size:%1pt; letter-spacing:%1px; word-spacing:%1px\">x y</span>"
                                  "<span style=\"font-size:%1px\">z</span>").arg(huge) },
        { "file-image", QStringLiteral("<p>x<img src=\"/dev/zero\"/><img src=\"file:///etc/hostname\"/></p>") },
        { "inline-image", QStringLiteral("<img src=\"%1\" width=\"%2\" height=\"%2\"/>").arg(pngDataUrl(), huge) },
        { "nested-tables", QStringLiteral("<table border=1><tr><td rowspan=3 colspan=2><table><tr><td>a</td></tr>"
                                          "</table></td><td>b</td></tr><tr><td>c</td></tr></table>") },
        { "deep-tables", QStringLiteral("<table><tr><td>").repeated(6) + QStringLiteral("x")
                             + QStringLiteral("</td></tr></table>").repeated(6) },
        { "column-spans", QStringLiteral("<table><tr><td colspan=\"%1\">x</td><td COLSPAN='3'>y</td></tr>"
                                         "<tr><td>z</td></tr></table>").arg(huge) },
        { "nested-divs", QStringLiteral("<div>x").repeated(deeper) + QStringLiteral("</div>").repeated(deeper) },
        { "nested-lists",
          QStringLiteral("<ul><li>x").repeated(deeper) + QStringLiteral("</li></ul>").repeated(deeper) },
        { "nested-frames", QStringLiteral("<table style=\"-qt-table-type: frame\"><tr><td>x").repeated(deeper) },
        { "list-items", "<ol>" + QStringLiteral("<li>x</li>").repeated(TLRichText::MaxListItems + 8) + "</ol>" },
        { "style-selectors", "<style>" + QStringLiteral("*,").repeated(1023) + "*{}</style><div a b c>"
                                 + QStringLiteral("<b>x</b><td>y").repeated(3000) },
        { "images-shown-small", imagesShownSmall },
        { "image-claiming-huge", QStringLiteral("<p>x<img src=\"%1\"/></p>").arg(bitmapDataUrl(4001, 4001)) },
        // What the bound on a box once read otherwise than the parser.
        { "attribute-named-otherwise", QString::fromUtf8("<p \uFFFDstyle=\"margin:0\">Projekt</p><p>Start</p>") },
        { "text-before-the-body", QStringLiteral("x { y; }</style></head><body><p>Projekt</p></body></html>"
                                                 "<html><body><p>Start</p></body></html>") },
        { "tag-in-a-tag", QStringLiteral("x</di<span style=\">\">Projekt</span>y<i/>Start") },
        { "tag-of-a-digit", QStringLiteral("x<1 style=\"font-size:22pt\">Projekt<p\\>Start") },
        { "newline-before-a-tag", QStringLiteral("<style>p, li { white-space: pre-wrap; }</style>"
                                                 "<p>Ist aber; }\n</x> auch zu machen, aber es ist schwerer</p>") },
        { "end-tag-closing-nothing", QStringLiteral("<!DOCTYPE HTML PU/strik-indent:0; -tspan st}le=\" "
                                                    "font-family:'tahoma';\">Start</span></p></body>an></p></body>") },
        { "block-in-an-inline-element", QStringLiteral("<span style=\"font-family:x\"><div>Projekt</span>Start") },
        { "elements-after-a-block", QStringLiteral("<p>Projekt</p><b>x<i>y<u>Start") },
        { "spaces-the-parser-drops", QStringLiteral("<div>Projekt</div> <b>Start</b>x<!-- c --> y") },
        { "kept-spaces-ending-a-line",
          QStringLiteral("<div style=\"white-space:pre-wrap\"> <br>Projekt          <br />Start</div>") },
        { "processing-instruction", QStringLiteral("<p>Projekt<?x y=\"><b>\"?></p>Start") },
        { "slash-in-a-name", QStringLiteral("<div style=\"white-space:pre-wrap\">Projekt  <br/tS>Start</div>") },
        { "format-character", QString::fromUtf8("Projekt\u2069\tStart\u0301") },
        { "edit-mode", QStringLiteral("<html><head><meta name=\"qrichtext\" content=\"1\" /></head><body>"
                                      "<p>Projekt  \n Start</p></body></html>") },
        { "long-label", QStringLiteral("<p><b>Projekt</b> &amp; Start</p>")
                            .repeated(TLRichText::MaxHtmlLength / 32 + 1)
                            .left(TLRichText::MaxHtmlLength + 1) },
    };
    for (const auto &label : labels)
        ok &= writeFile(root.filePath(QStringLiteral("label/") + QLatin1String(label.first)), labelInput(200, label.second));

    QFile demoTable(QStringLiteral(":demo.csv"));
    if (!demoTable.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray record = "\"2006-10-19\";\"2\";\"Zwischenbericht\";\"#ffff00\";\"\"\n";
    const QList<QPair<const char *, QByteArray>> tables = {
        { "demo.csv", demoTable.readAll() },
        { "written.csv", TLCsv::write(demoDocument.items) },
        { "comments-and-blank-lines.csv", "# made by hand\n\n" + record + "#\"2006-01-01\";\"0\";\"x\"\n \t\n" },
        { "quotes.csv", "\"2006-10-17\";\"3\";\"Ein \"\"kurzer\"\"\nBericht; fertig\";\"#ff0000\";\"2006-10-25\"\n"
                        "\"2006-10-19\";\"2\";\"Ein \"kurzer\" Bericht\";\"#ffff00\";\"\"\n" },
        { "plain-fields.csv", "2006-10-04;12; frei ;red;2006-10-06\n\"2006-10-04\";\"1\";\"kurz\"\n" },
        { "short-record.csv", record + "no separator here\n" + record },
        { "open-quote.csv", record + "\"2006-10-04\";\"0\";\"Projekt\nStart\n" },
        { "crlf.csv", QByteArray(record).replace("\n", "\r\n") + record },
        { "utf8-bom.csv", "\xef\xbb\xbf\"2006-10-04\";\"0\";\"\xe2\x80\x9c" "Caf\xc3\xa9\xe2\x80\x9d\"\n" },
        { "windows-1252.csv", "\"2006-10-04\";\"0\";\"\x93" "Caf\xe9\x94 5 \x80\"\n" },
        { "undoubled-quotes.csv", "\"2006-10-19\";\"2\";\"say \"x\"\";\"#ffff00\";\"\"\n"
                                  "\"2006-10-19\";\"2\";\"<img alt=\"\" src=\"x\">\";\"#ffff00\";\"\"\n"
                                  "\"2006-10-19\";\"2\";\"say \"x\"\"\n" + record },
        { "utf16le-bom.csv", utf16(record + "\"2006-10-04\";\"0\";\"Caf\xc3\xa9\"\r\n", QStringConverter::Utf16LE, true) },
        { "utf16be-bom.csv", utf16(record, QStringConverter::Utf16BE, true) },
        { "utf16le-no-bom.csv", utf16(record, QStringConverter::Utf16LE, false) },
        { "dates-of-every-age.csv", TLCsv::write({ TLItem { QDate::fromJulianDay(1), 0, "a", Qt::white, QDate(-44, 3, 15) },
                                                   TLItem { QDate(-1, 12, 31), 1, "b", Qt::white, QDate(10000, 1, 1) } })
                                        + "\"0000-01-01\";\"0\";\"c\"\n\"-43-03-15\";\"0\";\"d\"\n" },
        { "pos-out-of-range.csv", "\"2006-10-19\";\"2147483648\";\"x\"\n\"2006-10-19\";\"-2147483649\";\"y\"\n"
                                  "\"2006-10-19\";\"99999999999\";\"z\"\n\"2006-10-19\";\" 42 \";\"w\"\n" },
    };
    for (const auto &table : tables)
        ok &= writeFile(root.filePath(QStringLiteral("csv/") + QLatin1String(table.first)), table.second);
    return ok ? 0 : 1;
}
