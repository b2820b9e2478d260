// Writes the demo chart shown at every start (demo.vrk, a version 2 file as
// the program's early releases saved it) and the demo table (demo.csv, in the
// older six-field layout) into the folder given on the command line.

#include <QByteArray>
#include <QColor>
#include <QDataStream>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QList>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>

namespace {

struct Run
{
    QString text;
    QTextCharFormat format;
};

using Paragraph = QList<Run>;

struct DemoItem
{
    QDate date;
    int pos;
    QList<Paragraph> label;
    QColor backgroundColor;
    QDate endDate;
    // The older table's plain text and its font field.
    QString plainText;
    QString fontField;
};

QTextCharFormat fontFormat(const QString &family, qreal pointSize = 0)
{
    QTextCharFormat format;
    if (!family.isEmpty())
        format.setFontFamilies({ family });
    if (pointSize > 0)
        format.setFontPointSize(pointSize);
    return format;
}

QTextCharFormat emphasized(QTextCharFormat format, bool underline, const QColor &color = QColor())
{
    format.setFontWeight(QFont::Bold);
    format.setFontUnderline(underline);
    if (color.isValid())
        format.setForeground(color);
    return format;
}

// The label as the item dialog's text editor would save it: typed runs of
// formatted text, a new paragraph for every line.
QString richText(const QList<Paragraph> &paragraphs)
{
    QTextDocument document;
    // The editor's font is the platform's; a fixed one keeps the file the
    // same wherever it is made.
    document.setDefaultFont(QFont(QStringLiteral("Sans Serif"), 9));
    QTextCursor cursor(&document);
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            cursor.insertBlock(cursor.blockFormat(), cursor.charFormat());
        for (const Run &run : paragraphs.at(i))
            cursor.insertText(run.text, run.format);
    }
    return document.toHtml();
}

QList<DemoItem> demoItems()
{
    const QTextCharFormat tahoma = fontFormat(QStringLiteral("tahoma"));
    const QTextCharFormat courier = fontFormat(QStringLiteral("courier"), 12);
    const QTextCharFormat serif = fontFormat(QStringLiteral("Serif"), 11);
    QTextCharFormat serifColored = serif;
    serifColored.setForeground(QColor(QStringLiteral("#ff5500")));
    const QTextCharFormat small = fontFormat(QString(), 7);

    return {
        { QDate(2006, 10, 4), 0,
          { { { QStringLiteral("Projekt"), tahoma } }, { { QStringLiteral("Start"), tahoma } } },
          QColor(QStringLiteral("#a3a3a3")), QDate(),
          QStringLiteral("Projekt\nStart"), QStringLiteral("tahoma,9,-1,5,50,0,0,0,0,0") },
        { QDate(2006, 11, 3), 0,
          { { { QStringLiteral("Projekt"), courier } }, { { QStringLiteral("Ende"), courier } } },
          QColor(QStringLiteral("#e0e0e0")), QDate(),
          QStringLiteral("Projekt\nEnde"), QStringLiteral("courier,12,-1,5,50,0,0,0,0,0") },
        { QDate(2006, 10, 19), 2,
          { { { QStringLiteral("Zwischen"), serif }, { QStringLiteral("bericht"), serifColored } } },
          QColor(QStringLiteral("#ffff00")), QDate(),
          QStringLiteral("Zwischenbericht"), QStringLiteral("Serif,11,-1,5,50,0,0,0,0,0") },
        { QDate(2006, 10, 17), 3,
          { { { QStringLiteral("Ein anderer "), small },
              { QStringLiteral("Bericht"), emphasized(small, true, QColor(QStringLiteral("#00557f"))) } },
            { { QStringLiteral("Ist aber auch zu "), small },
              { QStringLiteral("machen"), emphasized(small, false) },
              { QStringLiteral(" aber es ist schwerer"), small } } },
          QColor(QStringLiteral("#ffffff")), QDate(2006, 10, 25),
          QStringLiteral("Ein anderer Bericht\nIst aber auch zu machen\naber es ist schwerer"),
          QStringLiteral("tahoma,7,-1,5,50,0,0,0,0,0") },
    };
}

// Version 2: no style, two mark switches, no background and no flag set;
// each item ends with its end date.
QByteArray nativeDocument(const QList<DemoItem> &items)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_4_6);
    out << quint32(0xFFABDEFA) << qint8(2)
        << QDate(2006, 10, 4) << QDate(2006, 11, 8) << 20.4 << 94.99 << qint32(10) << qint32(4)
        << true << true << quint32(items.size());
    for (const DemoItem &item : items)
        out << item.date << qint32(item.pos) << richText(item.label) << item.backgroundColor << item.endDate;
    return data;
}

QByteArray quoted(const QString &field)
{
    return '"' + field.toUtf8() + '"';
}

QByteArray table(const QList<DemoItem> &items)
{
    QByteArray data;
    for (const DemoItem &item : items) {
        const QList<QByteArray> fields {
            quoted(item.date.toString(Qt::ISODate)), quoted(QString::number(item.pos)),
            quoted(item.plainText), quoted(item.backgroundColor.name()),
            quoted(QStringLiteral("#000000")), quoted(item.fontField)
        };
        data += fields.join(';') + '\n';
    }
    return data;
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.flush()) {
        std::fprintf(stderr, "makedemo: %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // Laying out rich text needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "Usage: makedemo <output folder>\n");
        return 2;
    }
    const QDir folder(arguments.at(1));
    const QList<DemoItem> items = demoItems();
    const bool ok = writeFile(folder.filePath(QStringLiteral("demo.vrk")), nativeDocument(items))
        && writeFile(folder.filePath(QStringLiteral("demo.csv")), table(items));
    return ok ? 0 : 1;
}
