#include "model/tlcsv.h"

#include <QBuffer>
#include <QFile>
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
    return { item(QDate(2006, 10, 4), 0, QStringLiteral("Projekt\nStart"), QColor("#a3a3a3")),
             item(QDate(2006, 11, 3), 0, QStringLiteral("Projekt\nEnde"), QColor("#e0e0e0")), recordItem,
             item(QDate(2006, 10, 17), 3,
                  QStringLiteral("Ein anderer Bericht\nIst aber auch zu machen\naber es ist schwerer")) };
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
    void shouldKeepEveryTextThroughARoundTrip();
    void shouldTakeTheChartRangeFromTheDatesThatAreSet();
};

void TestTLCsv::shouldWriteEachFieldBetweenQuotes_data()
{
    QTest::addColumn<TLItem>("written");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("sample line") << recordItem << record;
    QTest::newRow("quotes doubled, colour name, UTF-8")
        << item(QDate(2006, 10, 17), 3, QStringLiteral("Ein \"kurzer\"\nBericht; Caf\u00e9 \u20ac"),
                QColor(255, 0, 0, 128), QDate(2006, 10, 25))
        << QByteArray("\"2006-10-17\";\"3\";\"Ein \"\"kurzer\"\"\nBericht; Caf\xc3\xa9 \xe2\x82\xac\";\"#ff0000\";"
                      "\"2006-10-25\"\n");
}

void TestTLCsv::shouldWriteEachFieldBetweenQuotes()
{
    QFETCH(TLItem, written);
    QFETCH(QByteArray, bytes);
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(TLCsv::write(&buffer, { written }));
    QCOMPARE(buffer.data(), bytes);
    buffer.close();
    QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): device not open");
    QVERIFY(!TLCsv::write(&buffer, { written }));
}

void TestTLCsv::shouldReadRecords_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<TLItem>>("items");
    QTest::addColumn<qint64>("stoppedAt");
    const auto row = [](const char *tag, const QByteArray &bytes, const QList<TLItem> &items, qint64 stoppedAt = 0) {
        QTest::newRow(tag) << bytes << items << stoppedAt;
    };
    QFile demo(QStringLiteral(":demo.csv"));
    QVERIFY(demo.open(QIODevice::ReadOnly));
    const QList<TLItem> both = { recordItem, otherItem };
    row("demo table with six fields", demo.readAll(), demoItems());
    row("comments and blank lines between records",
        "\n# made by hand\n" + record + "\n \t\n#\"2006-01-01\";\"0\";\"x\"\n" + otherRecord + "\n", both);
    row("three fields keep white and no end date", "\"2006-10-04\";\"1\";\"kurz\"\n",
        { item(QDate(2006, 10, 4), 1, "kurz") });
    row("fields without quotes", "2006-10-04;12; frei ;red;2006-10-06\n",
        { item(QDate(2006, 10, 4), 12, " frei ", Qt::red, QDate(2006, 10, 6)) });
    row("quotes never doubled, as older tables", "\"2006-10-19\";\"2\";\"Ein \"kurzer\" Bericht\";\"#ffff00\";\"\"\n",
        { item(QDate(2006, 10, 19), 2, "Ein \"kurzer\" Bericht", QColor("#ffff00")) });
    row("last record without closing quote", record + "\"2006-10-04\";\"0\";\"Projekt\nStart\n",
        { recordItem, item(QDate(2006, 10, 4), 0, "Projekt\nStart") });
    row("short record stops at its line", otherRecord + "# note\n\n\"2006-10-04\";\"0\"\n" + record, { otherItem }, 5);
    row("carriage returns before line feeds",
        QByteArray(record).replace("\n", "\r\n") + QByteArray(otherRecord).replace("\n", "\r\r\n"), both);
    const QList<TLItem> accented = { item(QDate(2006, 10, 4), 0, QStringLiteral("\u201cCaf\u00e9\u201d 5 \u20ac")) };
    const QByteArray utf8 = "\"2006-10-04\";\"0\";\"\xe2\x80\x9c" "Caf\xc3\xa9\xe2\x80\x9d 5 \xe2\x82\xac\"\n";
    row("UTF-8", utf8, accented);
    row("UTF-8 with byte-order mark", "\xef\xbb\xbf" + utf8, accented);
    row("Windows-1252", "\"2006-10-04\";\"0\";\"\x93" "Caf\xe9\x94 5 \x80\"\n", accented);
}

void TestTLCsv::shouldReadRecords()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<TLItem>, items);
    QFETCH(qint64, stoppedAt);
    QList<TLItem> read;
    const TLFileResult result = TLCsv::read(bytes, &read);
    QCOMPARE(result.error(), stoppedAt ? TLFileResult::StoppedAtLine : TLFileResult::NoError);
    QCOMPARE(result.count(), stoppedAt);
    QCOMPARE(read, items);
}

void TestTLCsv::shouldKeepEveryTextThroughARoundTrip()
{
    QList<TLItem> written;
    for (const QString &text : { QStringLiteral("eins;zwei;;drei;"), QStringLiteral("\"\"\""),
                                 QStringLiteral("er sagte \"ja\"; dann \"\" und \""),
                                 QStringLiteral("<p style=\"margin:0\">\n#eins\n\nzwei\n"), QString() })
        written << item(QDate(2006, 10, 19), 2, text, QColor("#ffff00"), QDate(2006, 10, 20));
    QList<TLItem> read;
    QVERIFY(TLCsv::read(TLCsv::write(written), &read));
    QCOMPARE(read, written);
}

void TestTLCsv::shouldTakeTheChartRangeFromTheDatesThatAreSet()
{
    const TLItem undated = item(QDate(), 0, QString());
    const auto range = qMakePair(QDate(2006, 10, 4), QDate(2006, 11, 8));
    auto found = qMakePair(QDate(1999, 1, 1), QDate(1999, 1, 1));
    QVERIFY(TLCsv::chartRange(QList<TLItem>({ undated }) + demoItems() + QList<TLItem>({ undated }), &found.first,
                              &found.second));
    QCOMPARE(found, range);
    QVERIFY(!TLCsv::chartRange({ undated }, &found.first, &found.second));
    QCOMPARE(found, range);
}

QTEST_MAIN(TestTLCsv)
#include "tst_tlcsv.moc"
