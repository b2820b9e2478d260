#include "model/tldocument.h"
#include "legacydocument.h"

#include <QBuffer>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

#include <unistd.h>

namespace {

TLFileResult readBytes(const QByteArray &data, TLDocument *doc)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return TLDocument::read(&buffer, doc);
}

QByteArray writeBytes(const TLDocument &doc)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const TLFileResult result = doc.write(&buffer);
    return result ? buffer.data() : QByteArray();
}

bool sameDocument(const TLDocument &a, const TLDocument &b)
{
    return a.version == b.version && a.style == b.style && a.start == b.start && a.end == b.end
        && a.dayWidth == b.dayWidth && a.posHeight == b.posHeight && a.tPos == b.tPos
        && a.maxPos == b.maxPos && a.bgMode == b.bgMode && a.bgColors == b.bgColors && a.bgFileName == b.bgFileName
        && a.bgFileName.isNull() == b.bgFileName.isNull() && a.displayFlags == b.displayFlags
        && a.items == b.items;
}

// A document unlike anything a reader would produce, to see that a refused
// file leaves it alone.
TLDocument sentinelDocument()
{
    TLDocument doc;
    doc.version = 3;
    doc.style = 2;
    doc.start = QDate(2001, 2, 3);
    doc.tPos = 42;
    doc.bgFileName = QStringLiteral("keep.png");
    doc.displayFlags = { 4, 6 };
    doc.items.append(TLItem { QDate(2001, 2, 4), 9, QStringLiteral("keep"), Qt::green, QDate() });
    return doc;
}

QByteArray header(int version)
{
    QByteArray data = QByteArray::fromHex("ffabdefa");
    data.append(char(version));
    return data;
}

// Reads the bytes as a pipe gives them: once, with no seeking back.
TLFileResult readFromPipe(const QByteArray &data, TLDocument *doc)
{
    int ends[2];
    QFile pipe;
    if (::pipe(ends) != 0 || ::write(ends[1], data.constData(), size_t(data.size())) != data.size()
        || ::close(ends[1]) != 0 || !pipe.open(ends[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return TLFileResult(TLFileResult::OpenFailed);
    return TLDocument::read(&pipe, doc);
}

// Lets the first bytes through, then fails like a full disk.
class FailingDevice : public QIODevice
{
public:
    FailingDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override
    {
        if (written + size > 20) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        written += size;
        return size;
    }

private:
    qint64 written = 0;
};

} // namespace

class TestTLDocument : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void shouldWriteExactBytes();
    void shouldWriteEmptyDocumentWithZeroCount();
    void shouldKeepEverythingInRoundTrip();
    void shouldReportWriteFailure();

    void shouldReadEveryVersion_data();
    void shouldReadEveryVersion();
    void shouldSaturateTheVersion1Arrow_data();
    void shouldSaturateTheVersion1Arrow();
    void shouldRefuseUnsupportedVersion_data();
    void shouldRefuseUnsupportedVersion();
    void shouldRefuseWrongMagic_data();
    void shouldRefuseWrongMagic();
    void shouldRefuseUnknownStyle_data();
    void shouldRefuseUnknownStyle();
    void shouldReportUnreadableDevice();
    void shouldStopAtEndOfTruncatedFile();
    void shouldReadHugeCountsFast_data();
    void shouldReadHugeCountsFast();
    void shouldReadNoMoreThanTheChartHolds_data();
    void shouldReadNoMoreThanTheChartHolds();

    void shouldHaveDemoHeaderBytes();
    void shouldReadDemoDocument();
};

void TestTLDocument::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestTLDocument::shouldWriteExactBytes()
{
    TLDocument doc;
    doc.style = 2;
    doc.start = QDate(2006, 10, 4);
    doc.end = QDate(2006, 11, 8);
    doc.dayWidth = 20.4;
    doc.posHeight = 94.0;
    doc.tPos = 10;
    doc.maxPos = 4;
    doc.bgMode = 1;
    doc.bgColors = { QColor("#a3a3a3") };
    doc.displayFlags = { 8, 0, 5, 4 };
    doc.items.append(TLItem { QDate(2006, 10, 4), 2, QString(), QColor("#a3a3a3"), QDate() });
    doc.items.append(TLItem { QDate(2006, 10, 17), 3, QStringLiteral("abc"), Qt::white, QDate(2006, 10, 25) });

    const QByteArray expected = QByteArray::fromHex(
        "ffabdefa" "04" "00000002"
        "002571fd" "00257220"
        "4034666666666666" "4057800000000000"
        "0000000a" "00000004"
        "00000001" "00000001" "01ffffa3a3a3a3a3a30000" "ffffffff"
        "00000004" "00000000" "00000004" "00000005" "00000008"
        "00000002"
        "002571fd" "00000002" "ffffffff" "01ffffa3a3a3a3a3a30000" "00000000"
        "0025720a" "00000003" "00000006006100620063" "01ffffffffffffffff0000" "00257212");
    QCOMPARE(writeBytes(doc).toHex(' '), expected.toHex(' '));
}

void TestTLDocument::shouldWriteEmptyDocumentWithZeroCount()
{
    const QByteArray data = writeBytes(TLDocument());
    // 41 bytes up to the row count, mode, three colours, null name, no flags, count.
    QCOMPARE(data.size(), 41 + 4 + 4 + 3 * 11 + 4 + 4 + 4);
    QCOMPARE(data.right(12).toHex(), QByteArray("ffffffff0000000000000000"));

    TLDocument doc = sentinelDocument();
    QVERIFY(readBytes(data, &doc));
    QVERIFY(doc.items.isEmpty());
    QCOMPARE(doc.version, 4);
}

void TestTLDocument::shouldKeepEverythingInRoundTrip()
{
    TLDocument doc;
    doc.style = 3;
    doc.start = QDate(2010, 1, 1);
    doc.end = QDate(2010, 12, 31);
    doc.dayWidth = 0.37;
    doc.posHeight = 55.5;
    doc.tPos = -7;
    doc.maxPos = 12;
    doc.bgMode = 4;
    doc.bgColors = { QColor("#010203"), QColor(), QColor("#fefdfc"), QColor(Qt::blue) };
    doc.bgFileName = QStringLiteral("/tmp/ümlaut.png");
    doc.displayFlags = { 0, 1, 2, 3, 4, 5, 6, 7, 8 };
    doc.items = { firstItem, secondItem,
                  TLItem { QDate(), -3, QString(), QColor(), QDate(2011, 1, 1) },
                  TLItem { QDate(2010, 5, 5), 0, QString(""), QColor("#00557f"), QDate() } };

    const QByteArray data = writeBytes(doc);
    TLDocument back = sentinelDocument();
    QVERIFY(readBytes(data, &back));
    QVERIFY(sameDocument(back, doc));
    QVERIFY(back.items.at(2).text.isNull());
    QVERIFY(!back.items.at(3).text.isNull());
    // A large document keeps only the characters of its labels.
    QCOMPARE(back.items.at(0).text.capacity(), back.items.at(0).text.size());
    QCOMPARE(writeBytes(back), data);

    // A colour spec no Qt knows reads as no colour, in the list and in an item.
    QByteArray unknownSpecs = data;
    for (const QByteArray &colour : { QByteArray::fromHex("01ffff010102020303"), QByteArray::fromHex("01ffff000055557f7f") })
        unknownSpecs[unknownSpecs.indexOf(colour)] = 9;
    QVERIFY(readBytes(unknownSpecs, &back));
    QCOMPARE(back.bgColors.first(), QColor());
    QCOMPARE(back.items.at(3).backgroundColor, QColor());
    QCOMPARE(back.items.at(3).endDate, QDate());
}

void TestTLDocument::shouldReportWriteFailure()
{
    FailingDevice device;
    const TLFileResult result = TLDocument().write(&device);
    QCOMPARE(result.error(), TLFileResult::WriteFailed);
    QCOMPARE(result.detail(), QStringLiteral("No space left on device"));

    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    QCOMPARE(TLDocument().write(&readOnly).error(), TLFileResult::WriteFailed);

    // A day before the first Julian day would be stored as another one.
    TLDocument early;
    const QDate before(-4714, 11, 24);
    early.items.append(TLItem { QDate(2006, 10, 4), 0, QString(), Qt::white, before });
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const TLFileResult refused = early.write(&buffer);
    QCOMPARE(refused.error(), TLFileResult::DateNotStorable);
    QCOMPARE(refused.count(), before.toJulianDay());
    QVERIFY(buffer.data().isEmpty());
}

void TestTLDocument::shouldReadEveryVersion_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("fontVersion");
    QTest::addColumn<bool>("sequential");

    QTest::newRow("0") << 0 << int(QDataStream::Qt_4_6) << false;
    QTest::newRow("1, font of Qt 4.6") << 1 << int(QDataStream::Qt_4_6) << false;
    QTest::newRow("1, font of Qt 4.0") << 1 << int(QDataStream::Qt_4_0) << false;
    QTest::newRow("1, font of Qt 4.3") << 1 << int(QDataStream::Qt_4_3) << false;
    QTest::newRow("1, font of Qt 4.3, from a pipe") << 1 << int(QDataStream::Qt_4_3) << true;
    QTest::newRow("2") << 2 << int(QDataStream::Qt_4_6) << false;
    QTest::newRow("2, from a pipe") << 2 << int(QDataStream::Qt_4_6) << true;
    QTest::newRow("3") << 3 << int(QDataStream::Qt_4_6) << false;
    QTest::newRow("4") << 4 << int(QDataStream::Qt_4_6) << false;
}

void TestTLDocument::shouldReadEveryVersion()
{
    QFETCH(int, version);
    QFETCH(int, fontVersion);
    QFETCH(bool, sequential);

    TLDocument doc = sentinelDocument();
    const QByteArray data = legacyDocument(version, QDataStream::Version(fontVersion));
    QVERIFY(sequential ? readFromPipe(data, &doc) : readBytes(data, &doc));

    QCOMPARE(doc.version, version);
    QCOMPARE(doc.style, version == 4 ? 3 : 1);
    QCOMPARE(doc.start, QDate(2006, 10, 4));
    QCOMPARE(doc.end, QDate(2006, 11, 8));
    QCOMPARE(doc.dayWidth, 20.4);
    QCOMPARE(doc.posHeight, 94.99);
    QCOMPARE(doc.tPos, version == 1 ? 20 : 2);
    QCOMPARE(doc.maxPos, 5);
    if (version >= 3) {
        QCOMPARE(doc.bgMode, 2);
        QCOMPARE(doc.bgColors, (QList<QColor> { QColor("#112233"), QColor("#445566") }));
        QCOMPARE(doc.bgFileName, QStringLiteral("bg.png"));
    } else {
        QCOMPARE(doc.bgMode, 3);
        QCOMPARE(doc.bgColors, (QList<QColor> { Qt::white, Qt::white, Qt::blue }));
        QVERIFY(doc.bgFileName.isNull());
    }
    // Older files switch "mark ends" on and "mark items" off.
    QCOMPARE(doc.displayFlags, (version == 4 ? QSet<int> { 1, 7 } : QSet<int> { TLDocument::MarkEnds }));

    TLItem first = firstItem;
    if (version < 2)
        first.endDate = QDate();
    QCOMPARE(doc.items.size(), 2);
    QCOMPARE(doc.items.at(0), first);
    QCOMPARE(doc.items.at(1), secondItem);

    // Saved again, the document keeps every value, the switches included.
    TLDocument again;
    QVERIFY(readBytes(writeBytes(doc), &again));
    again.version = doc.version;
    QVERIFY(sameDocument(again, doc));
}

void TestTLDocument::shouldSaturateTheVersion1Arrow_data()
{
    QTest::addColumn<qint32>("stored");
    QTest::addColumn<int>("arrow");

    QTest::newRow("largest whole tenths") << qint32(214748364) << 2147483640;
    QTest::newRow("one more") << qint32(214748365) << INT_MAX;
    QTest::newRow("smallest") << qint32(INT_MIN) << INT_MIN;
}

void TestTLDocument::shouldSaturateTheVersion1Arrow()
{
    QFETCH(qint32, stored);
    QFETCH(int, arrow);
    TLDocument doc;
    QVERIFY(readBytes(legacyDocument(1, QDataStream::Qt_4_6, nullptr, stored), &doc));
    QCOMPARE(doc.tPos, arrow);
}

void TestTLDocument::shouldRefuseUnsupportedVersion_data()
{
    QTest::addColumn<int>("version");
    QTest::newRow("5") << 5;
    QTest::newRow("0x80") << 0x80;
    QTest::newRow("0xff") << 0xff;
}

void TestTLDocument::shouldRefuseUnsupportedVersion()
{
    QFETCH(int, version);
    QByteArray data = legacyDocument(4);
    data[4] = char(version);

    TLDocument doc = sentinelDocument();
    QCOMPARE(readBytes(data, &doc).error(), TLFileResult::UnsupportedVersion);
    QVERIFY(sameDocument(doc, sentinelDocument()));
}

void TestTLDocument::shouldRefuseWrongMagic_data()
{
    QTest::addColumn<QByteArray>("data");
    QByteArray other = legacyDocument(2);
    other[3] = char(0xFB);
    QTest::newRow("other magic") << other;
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("\"2006-10-04\";\"0\";\"Projekt\"\n");
    QTest::newRow("magic without version") << QByteArray::fromHex("ffabdefa");
    QTest::newRow("version 4 without style") << QByteArray::fromHex("ffabdefa04000000");
}

void TestTLDocument::shouldRefuseWrongMagic()
{
    QFETCH(QByteArray, data);
    TLDocument doc = sentinelDocument();
    QCOMPARE(readBytes(data, &doc).error(), TLFileResult::NotAChart);
    QVERIFY(sameDocument(doc, sentinelDocument()));
}

void TestTLDocument::shouldRefuseUnknownStyle_data()
{
    QTest::addColumn<int>("style");
    QTest::newRow("0") << 0;
    QTest::newRow("4") << 4;
    QTest::newRow("-1") << -1;
}

void TestTLDocument::shouldRefuseUnknownStyle()
{
    QFETCH(int, style);
    QByteArray data = legacyDocument(4);
    data.replace(5, 4, QByteArray::fromHex(QByteArray::number(quint32(style), 16).rightJustified(8, '0')));

    TLDocument doc = sentinelDocument();
    QCOMPARE(readBytes(data, &doc).error(), TLFileResult::UnknownStyle);
    QVERIFY(sameDocument(doc, sentinelDocument()));
}

void TestTLDocument::shouldReportUnreadableDevice()
{
    QFile missing(QStringLiteral("/nonexistent/zelvaro.vrk"));
    QVERIFY(!missing.open(QIODevice::ReadOnly));

    TLDocument doc = sentinelDocument();
    const TLFileResult result = TLDocument::read(&missing, &doc);
    QCOMPARE(result.error(), TLFileResult::OpenFailed);
    QCOMPARE(result.detail(), missing.errorString());
    QVERIFY(sameDocument(doc, sentinelDocument()));
}

void TestTLDocument::shouldStopAtEndOfTruncatedFile()
{
    for (int version : { 1, 2, 4 }) {
        QList<qint64> starts;
        const QByteArray full = legacyDocument(version, QDataStream::Qt_4_6, &starts);
        const int headerSize = version == 4 ? 9 : 5;

        QElapsedTimer timer;
        timer.start();
        for (int length = 0; length < full.size(); ++length) {
            TLDocument doc = sentinelDocument();
            const TLFileResult result = readBytes(full.left(length), &doc);
            if (length < headerSize) {
                QCOMPARE(result.error(), TLFileResult::NotAChart);
                continue;
            }
            const int expectedItems = length > starts.at(1) ? 2 : length > starts.at(0) ? 1 : 0;
            const QString where = QStringLiteral("version %1, %2 bytes").arg(version).arg(length);
            QVERIFY2(result.error() == TLFileResult::Truncated, qPrintable(where));
            QVERIFY2(result.hasDocument(), qPrintable(where));
            QVERIFY2(result.count() == expectedItems && doc.items.size() == expectedItems,
                     qPrintable(where + QStringLiteral(": %1 items").arg(doc.items.size())));
        }
        QVERIFY(timer.elapsed() < 1000);
    }
}

void TestTLDocument::shouldReadHugeCountsFast_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("colors");
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("items");

    const QByteArray v4Start = header(4) + QByteArray::fromHex("00000001" "002571fd" "00257220"
                                                               "4034666666666666" "4057800000000000"
                                                               "0000000a" "00000004" "00000001");
    QTest::newRow("items, nothing after")
        << header(0) + QByteArray(34, '\0') + QByteArray::fromHex("77359400") << 3 << 0 << 0;
    // Every all-zero version 4 item takes 27 bytes; the fourth begins before the end.
    QTest::newRow("items, a few zero bytes after")
        << v4Start + QByteArray::fromHex("00000000" "ffffffff" "00000000" "7fffffff") + QByteArray(100, '\0')
        << 0 << 0 << 4;
    QTest::newRow("colours")
        << v4Start + QByteArray::fromHex("ffffffff") << 0 << 0 << 0;
    QTest::newRow("flags")
        << v4Start + QByteArray::fromHex("00000000" "ffffffff" "7fffffff" "00000001") << 0 << 1 << 0;
}

void TestTLDocument::shouldReadHugeCountsFast()
{
    QFETCH(QByteArray, data);
    QFETCH(int, colors);
    QFETCH(int, flags);
    QFETCH(int, items);

    QElapsedTimer timer;
    timer.start();
    TLDocument doc;
    const TLFileResult result = readBytes(data, &doc);
    QVERIFY(timer.elapsed() < 1000);
    QCOMPARE(result.error(), TLFileResult::Truncated);
    QCOMPARE(result.count(), items);
    QCOMPARE(doc.bgColors.size(), colors);
    QCOMPARE(doc.displayFlags.size(), flags);
    QCOMPARE(doc.items.size(), items);
}

void TestTLDocument::shouldReadNoMoreThanTheChartHolds_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<int>("error");
    QTest::newRow("a gigabyte of zeros") << QByteArray() << int(TLFileResult::NotAChart);
    QTest::newRow("a link to /dev/zero") << QByteArray("/dev/zero") << int(TLFileResult::NotAChart);
    QTest::newRow("a chart, then a gigabyte of zeros") << writeBytes(TLDocument()) << int(TLFileResult::NoError);
    QTest::newRow("an older chart, then a gigabyte of zeros") << legacyDocument(1) << int(TLFileResult::NoError);
}

void TestTLDocument::shouldReadNoMoreThanTheChartHolds()
{
    QFETCH(QByteArray, head);
    QFETCH(int, error);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("large.vrk")));
    if (head == "/dev/zero")
        QVERIFY(QFile::link(QString::fromLatin1(head), file.fileName()));
    else // sparse: no room on the disk, but a gigabyte to read
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(head) == head.size()
                && file.resize(head.size() + (1 << 30)));
    file.close();

    QElapsedTimer timer;
    timer.start();
    TLDocument doc;
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(int(TLDocument::read(&file, &doc).error()), error);
    QVERIFY2(timer.elapsed() < 250, qPrintable(QString::number(timer.elapsed())));
}

void TestTLDocument::shouldHaveDemoHeaderBytes()
{
    QFile file(QStringLiteral(":demo.vrk"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray expected = QByteArray::fromHex(
        "ffabdefa" "02" "002571fd" "00257220" "4034666666666666" "4057bf5c28f5c28f"
        "0000000a" "00000004" "01" "01" "00000004");
    QCOMPARE(file.read(expected.size()).toHex(' '), expected.toHex(' '));
}

void TestTLDocument::shouldReadDemoDocument()
{
    QFile file(QStringLiteral(":demo.vrk"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    TLDocument doc;
    QVERIFY(TLDocument::read(&file, &doc));

    QCOMPARE(doc.version, 2);
    QCOMPARE(doc.style, 1);
    QCOMPARE(doc.start, QDate(2006, 10, 4));
    QCOMPARE(doc.end, QDate(2006, 11, 8));
    QCOMPARE(doc.dayWidth, 20.4);
    QCOMPARE(doc.posHeight, 94.99);
    QCOMPARE(doc.tPos, 10);
    QCOMPARE(doc.maxPos, 4);
    QCOMPARE(doc.bgMode, 3);
    QCOMPARE(doc.bgColors, (QList<QColor> { Qt::white, Qt::white, Qt::blue }));
    QCOMPARE(doc.displayFlags, (QSet<int> { TLDocument::MarkEnds, TLDocument::MarkItems }));

    struct Expected { QDate date; int pos; const char *plain; const char *color; QDate end; };
    const Expected expected[] = {
        { QDate(2006, 10, 4), 0, "Projekt\nStart", "#a3a3a3", QDate() },
        { QDate(2006, 11, 3), 0, "Projekt\nEnde", "#e0e0e0", QDate() },
        { QDate(2006, 10, 19), 2, "Zwischenbericht", "#ffff00", QDate() },
        { QDate(2006, 10, 17), 3, "Ein anderer Bericht\nIst aber auch zu machen aber es ist schwerer",
          "#ffffff", QDate(2006, 10, 25) },
    };
    QCOMPARE(doc.items.size(), 4);
    qint64 recordBytes = 0;
    for (int i = 0; i < 4; ++i) {
        const TLItem &item = doc.items.at(i);
        QCOMPARE(item.date, expected[i].date);
        QCOMPARE(item.pos, expected[i].pos);
        QCOMPARE(item.backgroundColor, QColor(expected[i].color));
        QCOMPARE(item.endDate, expected[i].end);
        QTextDocument text;
        text.setHtml(item.text);
        QCOMPARE(text.toPlainText(), QString::fromLatin1(expected[i].plain));
        recordBytes += 4 + 4 + 4 + 2 * item.text.size() + 11 + 4;
    }
    // Nothing follows the last item.
    QCOMPARE(file.size(), 43 + recordBytes);
}

QTEST_MAIN(TestTLDocument)
#include "tst_tldocument.moc"
