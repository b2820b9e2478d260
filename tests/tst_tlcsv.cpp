#include "model/tlcsv.h"

#include <QBuffer>
#include <QFile>
#include <QStringEncoder>
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

QByteArray utf16(const QByteArray &utf8, QStringConverter::Encoding encoding, bool byteOrderMark)
{
    QStringEncoder encoder(encoding, byteOrderMark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return encoder.encode(QString::fromUtf8(utf8));
}

QByteArray sampleLine(const QByteArray &text)
{
    return "\"2006-10-19\";\"2\";\"" + text + "\";\"#ffff00\";\"\"\n";
}

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
    void shouldReadQuotesAsTheTableWroteThem_data();
    void shouldReadQuotesAsTheTableWroteThem();
    void shouldRefuseUtf16WithoutAByteOrderMark_data();
    void shouldRefuseUtf16WithoutAByteOrderMark();
    void shouldReadTheRowAsAnIntOrZero_data();
    void shouldReadTheRowAsAnIntOrZero();
    void shouldKeepDatesOfEveryAge_data();
    void shouldKeepDatesOfEveryAge();
    void shouldReadAFileOfManySlicesAsItsBytes_data();
    void shouldReadAFileOfManySlicesAsItsBytes();
    void shouldKeepEveryTextThroughARoundTrip();
    void shouldTakeTheChartRangeFromTheDatesThatAreSet();
    void shouldTakeTheChartRangeAcrossTheYearZero();
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
    row("UTF-16 LE with byte-order mark", utf16(record + utf8, QStringConverter::Utf16LE, true),
        QList<TLItem>({ recordItem }) + accented);
    row("UTF-16 BE with byte-order mark, carriage returns",
        utf16(QByteArray(utf8 + otherRecord).replace("\n", "\r\n"), QStringConverter::Utf16BE, true),
        accented + QList<TLItem>({ otherItem }));
    const QByteArray nuls = QByteArray("x\0", 2).repeated(40);
    row("NULs in a text of the first line are no UTF-16", sampleLine(nuls),
        { item(QDate(2006, 10, 19), 2, QString::fromLatin1(nuls), QColor("#ffff00")) });
    row("dates of other ages as spreadsheets write them",
        "\"-0043-03-15\";\"1\";\"a\";\"#ffffff\";\"0000-12-31\"\n\"+10000-01-01\";\"1\";\"b\"\n"
        "\"-43-03-15\";\"1\";\"c\";\"#ffffff\";\"10000-01-01\"\n\"+0043-13-01\";\"1\";\"d\"\n",
        { item(QDate(-44, 3, 15), 1, "a", Qt::white, QDate(-1, 12, 31)), item(QDate(10000, 1, 1), 1, "b"),
          item(QDate(), 1, "c"), item(QDate(), 1, "d") });
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

// Older tables left the quotes inside a field as they were; a record that
// does not parse with doubled quotes is read as they wrote it.
void TestTLCsv::shouldReadQuotesAsTheTableWroteThem_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<TLItem>>("items");
    const auto row = [](const char *tag, const QByteArray &text, const QString &read) {
        QTest::newRow(tag) << sampleLine(text) + record << QList<TLItem>({ item(QDate(2006, 10, 19), 2, read, QColor("#ffff00")), recordItem });
    };
    row("older: text ends in a quote", "say \"x\"", "say \"x\"");
    row("doubled: text ends in a quote", "say \"\"x\"\"", "say \"x\"");
    row("older: empty pair in a label", "<img alt=\"\" src=\"x\">", "<img alt=\"\" src=\"x\">");
    row("doubled: empty pair in a label", "<img alt=\"\"\"\" src=\"\"x\"\">", "<img alt=\"\" src=\"x\">");
    row("older: a quote alone", "\"", "\"");
    row("doubled: a quote alone", "\"\"", "\"");
    row("older: starts with a quote", "\"Zitat\" vorn", "\"Zitat\" vorn");
    row("doubled: starts with a quote", "\"\"Zitat\"\" vorn", "\"Zitat\" vorn");
    row("older: empty pair before a line break", "<p alt=\"\">\r\nzwei \"x\"", "<p alt=\"\">\nzwei \"x\"");
    row("doubled: empty pair before a line break", "<p alt=\"\"\"\">\r\nzwei \"\"x\"\"", "<p alt=\"\">\nzwei \"x\"");
    QTest::newRow("older: last of three fields ends in a quote")
        << "\"2006-10-19\";\"2\";\"say \"x\"\"\n" + record
        << QList<TLItem>({ item(QDate(2006, 10, 19), 2, "say \"x\""), recordItem });
}

void TestTLCsv::shouldReadQuotesAsTheTableWroteThem()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<TLItem>, items);
    QList<TLItem> read;
    QCOMPARE(TLCsv::read(bytes, &read).error(), TLFileResult::NoError);
    QCOMPARE(read, items);
}

void TestTLCsv::shouldRefuseUtf16WithoutAByteOrderMark_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("little-endian") << utf16(record + otherRecord, QStringConverter::Utf16LE, false);
    QTest::newRow("big-endian") << utf16(record + otherRecord, QStringConverter::Utf16BE, false);
}

void TestTLCsv::shouldRefuseUtf16WithoutAByteOrderMark()
{
    QFETCH(QByteArray, bytes);
    QList<TLItem> read;
    QCOMPARE(TLCsv::read(bytes, &read).error(), TLFileResult::UnknownEncoding);
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const TLFileResult result = TLCsv::read(&buffer, &read);
    QCOMPARE(result.error(), TLFileResult::UnknownEncoding);
    QVERIFY(!result.hasDocument());
    QVERIFY(read.isEmpty());
}

void TestTLCsv::shouldReadTheRowAsAnIntOrZero_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("pos");
    QTest::newRow("largest int") << QByteArray("2147483647") << INT_MAX;
    QTest::newRow("one above") << QByteArray("2147483648") << 0;
    QTest::newRow("smallest int") << QByteArray("-2147483648") << INT_MIN;
    QTest::newRow("one below") << QByteArray("-2147483649") << 0;
    QTest::newRow("eleven digits") << QByteArray("99999999999") << 0;
    QTest::newRow("spaces around") << QByteArray(" 42 ") << 42;
    QTest::newRow("fraction") << QByteArray("4.7") << 0;
}

void TestTLCsv::shouldReadTheRowAsAnIntOrZero()
{
    QFETCH(QByteArray, field);
    QFETCH(int, pos);
    QList<TLItem> read;
    QVERIFY(TLCsv::read("\"2006-10-19\";\"" + field + "\";\"x\"\n", &read));
    QCOMPARE(read, QList<TLItem>({ item(QDate(2006, 10, 19), pos, "x") }));
}

// Years 1 to 9999 keep the form tables always had.
void TestTLCsv::shouldKeepDatesOfEveryAge_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("Julian day 1") << QDate::fromJulianDay(1) << QByteArray("-4713-11-25");
    QTest::newRow("44 BC") << QDate(-44, 3, 15) << QByteArray("-0043-03-15");
    QTest::newRow("1 BC") << QDate(-1, 12, 31) << QByteArray("0000-12-31");
    QTest::newRow("1 AD") << QDate(1, 1, 1) << QByteArray("0001-01-01");
    QTest::newRow("first Gregorian day") << QDate(1582, 10, 15) << QByteArray("1582-10-15");
    QTest::newRow("last four-digit year") << QDate(9999, 12, 31) << QByteArray("9999-12-31");
    QTest::newRow("year 10000") << QDate(10000, 1, 1) << QByteArray("+10000-01-01");
}

void TestTLCsv::shouldKeepDatesOfEveryAge()
{
    QFETCH(QDate, date);
    QFETCH(QByteArray, text);
    const QList<TLItem> written = { item(date, 0, "x", Qt::white, date), item(QDate(2006, 10, 19), 0, "y", Qt::white, date) };
    const QByteArray bytes = TLCsv::write(written);
    QCOMPARE(bytes, "\"" + text + "\";\"0\";\"x\";\"#ffffff\";\"" + text + "\"\n\"2006-10-19\";\"0\";\"y\";\"#ffffff\";\"" + text + "\"\n");
    QList<TLItem> read;
    QVERIFY(TLCsv::read(bytes, &read));
    QCOMPARE(read, written);
}

// A file is read in slices of a megabyte; records across their borders and
// a text longer than one read as the same bytes in memory do, and the last
// byte still decides the encoding.
void TestTLCsv::shouldReadAFileOfManySlicesAsItsBytes_data()
{
    QTest::addColumn<QByteArray>("last");
    QTest::newRow("UTF-8") << QByteArray("Caf\xc3\xa9");
    QTest::newRow("Windows-1252") << QByteArray("Caf\xe9");
}

void TestTLCsv::shouldReadAFileOfManySlicesAsItsBytes()
{
    QFETCH(QByteArray, last);
    const QByteArray older = sampleLine("<img alt=\"\" src=\"x\">");
    const QByteArray lines = QByteArray(record + older + "# note\r\n" + otherRecord).replace("\n", "\r\n");
    QByteArray bytes = lines.repeated(30000) + sampleLine(QByteArray(3 << 19, 'L')) + lines.repeated(30000);
    bytes += "\"2006-10-04\";\"0\";\"" + last + "\n";
    QList<TLItem> inMemory;
    QVERIFY(TLCsv::read(bytes, &inMemory));
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QList<TLItem> read;
    QVERIFY(TLCsv::read(&buffer, &read));
    QCOMPARE(read.size(), 180002);
    QCOMPARE(read.at(1).text, QStringLiteral("<img alt=\"\" src=\"x\">"));
    QCOMPARE(read.at(90000).text, QString(3 << 19, QLatin1Char('L')));
    QCOMPARE(read.at(180000), otherItem);
    QCOMPARE(read.last(), item(QDate(2006, 10, 4), 0, QStringLiteral("Caf\u00e9")));
    QVERIFY(read == inMemory);
}

void TestTLCsv::shouldKeepEveryTextThroughARoundTrip()
{
    QList<TLItem> written;
    for (const QString &text : { QStringLiteral("eins;zwei;;drei;"), QStringLiteral("\"\"\""),
                                 QStringLiteral("er sagte \"ja\"; dann \"\" und \""),
                                 QStringLiteral("<p style=\"margin:0\">\n#eins\n\nzwei\n"), QString(),
                                 QStringLiteral("<img alt=\"\" src=\"x\">"), QStringLiteral("\";\n\"\";\"") })
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

void TestTLCsv::shouldTakeTheChartRangeAcrossTheYearZero()
{
    QDate start;
    QDate end;
    QVERIFY(TLCsv::chartRange({ item(QDate(-1, 12, 30), 0, "b"), item(QDate(-44, 3, 15), 0, "a") }, &start, &end));
    QCOMPARE(qMakePair(start, end), qMakePair(QDate(-44, 3, 15), QDate(1, 1, 4)));
}

QTEST_MAIN(TestTLCsv)
#include "tst_tlcsv.moc"
