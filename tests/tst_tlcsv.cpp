#include "model/tlcsv.h"

#include <QBuffer>
#include <QFile>
#include <QTextDocument>
#include <QtTest>

namespace {

TLItem item(const QDate &date, int pos, const QString &text, const QColor &color = Qt::white,
            const QDate &endDate = QDate())
{
    return TLItem { date, pos, text, color, endDate };
}

const QByteArray record = "\"2006-10-19\";\"2\";\"Zwischenbericht\";\"#ffff00\";\"\"\n";
const TLItem recordItem = item(QDate(2006, 10, 19), 2, QStringLiteral("Zwischenbericht"), QColor("#ffff00"));
const QByteArray otherRecord = "\"2006-10-17\";\"3\";\"Ein anderer\nBericht\";\"#ffffff\";\"2006-10-25\"\n";
const TLItem otherItem = item(QDate(2006, 10, 17), 3, QStringLiteral("Ein anderer\nBericht"), Qt::white,
                              QDate(2006, 10, 25));

QList<TLItem> demoItems()
{
    return {
        item(QDate(2006, 10, 4), 0, QStringLiteral("Projekt\nStart"), QColor("#a3a3a3")),
        item(QDate(2006, 11, 3), 0, QStringLiteral("Projekt\nEnde"), QColor("#e0e0e0")),
        item(QDate(2006, 10, 19), 2, QStringLiteral("Zwischenbericht"), QColor("#ffff00")),
        item(QDate(2006, 10, 17), 3, QStringLiteral("Ein anderer Bericht\nIst aber auch zu machen\naber es ist schwerer"),
             QColor("#ffffff")),
    };
}

QByteArray demoTable()
{
    QFile file(QStringLiteral(":demo.csv"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}

class TestTLCsv : public QObject
{
    Q_OBJECT

private slots:
    void shouldWriteEachFieldBetweenQuotes_data();
    void shouldWriteEachFieldBetweenQuotes();
    void shouldReadRecords_data();
    void shouldReadRecords();
    void shouldKeepEveryTextThroughARoundTrip_data();
    void shouldKeepEveryTextThroughARoundTrip();
    void shouldTakeTheChartRangeFromTheDatesThatAreSet_data();
    void shouldTakeTheChartRangeFromTheDatesThatAreSet();
    void shouldWriteThroughADevice();
};

void TestTLCsv::shouldWriteEachFieldBetweenQuotes_data()
{
    QTest::addColumn<TLItem>("written");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("sample line") << recordItem << record;
    QTest::newRow("quotes doubled, line break and end date")
        << item(QDate(2006, 10, 17), 3, QStringLiteral("Ein \"kurzer\"\nBericht; fertig"), QColor(255, 0, 0, 128),
                QDate(2006, 10, 25))
        << QByteArray("\"2006-10-17\";\"3\";\"Ein \"\"kurzer\"\"\nBericht; fertig\";\"#ff0000\";\"2006-10-25\"\n");
    QTest::newRow("no dates") << item(QDate(), -1, QString(), QColor())
                              << QByteArray("\"\";\"-1\";\"\";\"#000000\";\"\"\n");
    QTest::newRow("UTF-8 without byte-order mark")
        << item(QDate(2006, 10, 4), 0, QStringLiteral("Caf\u00e9 \u20ac"))
        << QByteArray("\"2006-10-04\";\"0\";\"Caf\xc3\xa9 \xe2\x82\xac\";\"#ffffff\";\"\"\n");
}

void TestTLCsv::shouldWriteEachFieldBetweenQuotes()
{
    QFETCH(TLItem, written);
    QFETCH(QByteArray, bytes);
    QCOMPARE(TLCsv::write({ written }), bytes);
}

void TestTLCsv::shouldReadRecords_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<TLItem>>("items");
    QTest::addColumn<int>("error");
    QTest::addColumn<qint64>("line");
    const int ok = TLFileResult::NoError;

    QTest::newRow("demo table with six fields") << demoTable() << demoItems() << ok << qint64(0);
    QTest::newRow("comments before and between")
        << "# made by hand\n" + record + "#\"2006-01-01\";\"0\";\"x\"\n" + otherRecord
        << QList<TLItem> { recordItem, otherItem } << ok << qint64(0);
    QTest::newRow("text line starting with #")
        << QByteArray("\"2006-10-19\";\"2\";\"eins\n#zwei\";\"#ffff00\";\"\"\n")
        << QList<TLItem> { item(QDate(2006, 10, 19), 2, QStringLiteral("eins\n#zwei"), QColor("#ffff00")) } << ok
        << qint64(0);
    QTest::newRow("three fields keep white and no end date")
        << QByteArray("\"2006-10-04\";\"1\";\"kurz\"\n")
        << QList<TLItem> { item(QDate(2006, 10, 4), 1, QStringLiteral("kurz")) } << ok << qint64(0);
    QTest::newRow("fields without quotes")
        << QByteArray("2006-10-04;12; frei ;red;2006-10-06\n")
        << QList<TLItem> { item(QDate(2006, 10, 4), 12, QStringLiteral(" frei "), Qt::red, QDate(2006, 10, 6)) }
        << ok << qint64(0);
    QTest::newRow("quotes never doubled, as older tables")
        << QByteArray("\"2006-10-19\";\"2\";\"Ein \"kurzer\" Bericht\";\"#ffff00\";\"\"\n")
        << QList<TLItem> { item(QDate(2006, 10, 19), 2, QStringLiteral("Ein \"kurzer\" Bericht"), QColor("#ffff00")) }
        << ok << qint64(0);
    QTest::newRow("last record without closing quote")
        << record + "\"2006-10-04\";\"0\";\"Projekt\nStart\n"
        << QList<TLItem> { recordItem, item(QDate(2006, 10, 4), 0, QStringLiteral("Projekt\nStart")) } << ok
        << qint64(0);
    QTest::newRow("blank lines skipped") << "\n" + record + "\n \t\n" + otherRecord + "\n"
                                         << QList<TLItem> { recordItem, otherItem } << ok << qint64(0);
    QTest::newRow("short record stops at its line")
        << otherRecord + "# note\nno separator here\n" + record << QList<TLItem> { otherItem }
        << int(TLFileResult::StoppedAtLine) << qint64(4);
    QTest::newRow("two fields stop at once") << QByteArray("\"2006-10-04\";\"0\"\n") + record << QList<TLItem>()
                                             << int(TLFileResult::StoppedAtLine) << qint64(1);
    QTest::newRow("carriage returns and line feeds")
        << QByteArray(otherRecord).replace("\n", "\r\n") << QList<TLItem> { otherItem } << ok << qint64(0);
    QTest::newRow("carriage returns before a line feed")
        << QByteArray(otherRecord).replace("\n", "\r\r\n") << QList<TLItem> { otherItem } << ok << qint64(0);
    const QList<TLItem> accented = { item(QDate(2006, 10, 4), 0, QStringLiteral("\u201cCaf\u00e9\u201d 5 \u20ac")) };
    const QByteArray utf8 = "\"2006-10-04\";\"0\";\"\xe2\x80\x9c" "Caf\xc3\xa9\xe2\x80\x9d 5 \xe2\x82\xac\"\n";
    QTest::newRow("UTF-8") << utf8 << accented << ok << qint64(0);
    QTest::newRow("UTF-8 with byte-order mark") << "\xef\xbb\xbf" + utf8 << accented << ok << qint64(0);
    QTest::newRow("Windows-1252") << QByteArray("\"2006-10-04\";\"0\";\"\x93" "Caf\xe9\x94 5 \x80\"\n") << accented
                                  << ok << qint64(0);
    QTest::newRow("empty") << QByteArray() << QList<TLItem>() << ok << qint64(0);
}

void TestTLCsv::shouldReadRecords()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<TLItem>, items);
    QFETCH(int, error);
    QFETCH(qint64, line);

    QList<TLItem> read;
    const TLFileResult result = TLCsv::read(bytes, &read);
    QCOMPARE(int(result.error()), error);
    QCOMPARE(result.count(), line);
    QCOMPARE(read.size(), items.size());
    for (int i = 0; i < items.size(); ++i) {
        QCOMPARE(read.at(i).text, items.at(i).text);
        QCOMPARE(read.at(i), items.at(i));
    }
}

void TestTLCsv::shouldKeepEveryTextThroughARoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("semicolons") << QStringLiteral("eins;zwei;;drei;");
    QTest::newRow("quotes") << QStringLiteral("\"Zitat\" und \"\" und \"");
    QTest::newRow("quote before separator") << QStringLiteral("er sagte \"ja\"; dann \"nein\"\n");
    QTest::newRow("only quotes") << QStringLiteral("\"\"\"");
    QTest::newRow("line breaks and comment mark") << QStringLiteral("\n#eins\n\nzwei\n");
    QTest::newRow("empty") << QString();
    QTextDocument document;
    document.setHtml(QStringLiteral("<p style=\"margin:0\"><b>Zwischen</b><span style=\"color:#ff5500;\">bericht"
                                    "</span>; \"fertig\"</p><p>zweite Zeile</p>"));
    QTest::newRow("rich text") << document.toHtml();
}

void TestTLCsv::shouldKeepEveryTextThroughARoundTrip()
{
    QFETCH(QString, text);
    const QList<TLItem> written = { item(QDate(2006, 10, 19), 2, text, QColor("#ffff00"), QDate(2006, 10, 20)),
                                    recordItem };
    QList<TLItem> read;
    QVERIFY(TLCsv::read(TLCsv::write(written), &read));
    QCOMPARE(read.size(), 2);
    QCOMPARE(read.first().text, text);
    QCOMPARE(read, written);
}

void TestTLCsv::shouldTakeTheChartRangeFromTheDatesThatAreSet_data()
{
    QTest::addColumn<QList<TLItem>>("items");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::newRow("demo table") << demoItems() << QDate(2006, 10, 4) << QDate(2006, 11, 8);
    QList<TLItem> withNull = demoItems();
    withNull.prepend(item(QDate(), 0, QString()));
    withNull.append(item(QDate(), 0, QString()));
    QTest::newRow("dates not set are passed over") << withNull << QDate(2006, 10, 4) << QDate(2006, 11, 8);
    QTest::newRow("no date set keeps the range") << QList<TLItem> { item(QDate(), 0, QString()) } << QDate()
                                                 << QDate();
    QTest::newRow("no items keep the range") << QList<TLItem>() << QDate() << QDate();
}

void TestTLCsv::shouldTakeTheChartRangeFromTheDatesThatAreSet()
{
    QFETCH(QList<TLItem>, items);
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    const QDate kept(1999, 1, 1);
    QDate first = kept;
    QDate last = kept;
    QCOMPARE(TLCsv::chartRange(items, &first, &last), start.isValid());
    QCOMPARE(first, start.isValid() ? start : kept);
    QCOMPARE(last, end.isValid() ? end : kept);
}

void TestTLCsv::shouldWriteThroughADevice()
{
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(TLCsv::write(&buffer, { recordItem, otherItem }));
    QCOMPARE(buffer.data(), record + otherRecord);

    QBuffer closed;
    QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): device not open");
    QCOMPARE(int(TLCsv::write(&closed, { recordItem }).error()), int(TLFileResult::WriteFailed));
}

QTEST_MAIN(TestTLCsv)
#include "tst_tlcsv.moc"
