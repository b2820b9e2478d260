#include "model/tlcsv.h"

#include "model/tlcsvbytes.h"
#include "model/tlcsvreader.h"
#include "model/tlcsvsyntax.h"
#include "model/tlutf8check.h"

#include <QByteArrayView>
#include <QDate>
#include <QFileDevice>
#include <QIODevice>
#include <QStringDecoder>
#include <QStringView>

#include <array>
#include <climits>

namespace {

constexpr char Quote = TLCsvSyntax::Quote;
constexpr char Separator = TLCsvSyntax::Separator;
constexpr char LineEnd = TLCsvSyntax::LineEnd;
constexpr qsizetype SliceSize = TLCsvSyntax::SliceSize;
constexpr int RangeMargin = 5;
// The start of a file that tells its encoding: a byte-order mark, or the
// NULs of UTF-16 without one.
constexpr qsizetype HeadSize = 512;
const QByteArrayView Utf16LeBom("\xFF\xFE");
const QByteArrayView Utf16BeBom("\xFE\xFF");

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int twoDigits(QStringView text, qsizetype at)
{
    if (!isAsciiDigit(text.at(at)) || !isAsciiDigit(text.at(at + 1)))
        return -1;
    return (text.at(at).unicode() - '0') * 10 + text.at(at + 1).unicode() - '0';
}

// The expanded form: a sign and four or more digits of the year, or year
// 0000 without one, then "-MM-dd", and then nothing or anything but a
// digit, as Qt lets a time follow the date.
QDate expandedDate(QStringView text)
{
    qsizetype at = 0;
    const bool negative = text.startsWith(QLatin1Char('-'));
    const bool sign = negative || text.startsWith(QLatin1Char('+'));
    if (sign)
        ++at;
    const qsizetype digits = at;
    qint64 year = 0;
    // Ten digits hold every year a QDate holds without overflowing.
    while (at < text.size() && at - digits < 10 && isAsciiDigit(text.at(at)))
        year = year * 10 + text.at(at++).unicode() - '0';
    if (at - digits < 4 || (!sign && at != 4) || text.size() < at + 6 || text.at(at) != QLatin1Char('-')
        || text.at(at + 3) != QLatin1Char('-') || (text.size() > at + 6 && isAsciiDigit(text.at(at + 6))))
        return QDate();
    const int month = twoDigits(text, at + 1);
    const int day = twoDigits(text, at + 4);
    if (negative)
        year = -year;
    if (year <= 0)
        --year;
    if (month < 0 || day < 0 || year < INT_MIN || year > INT_MAX)
        return QDate();
    return QDate(int(year), month, day);
}

bool startsWithUtf16Bom(QByteArrayView bytes)
{
    return bytes.startsWith(Utf16LeBom) || bytes.startsWith(Utf16BeBom);
}

// Without a byte-order mark, UTF-16 shows as a NUL beside each ASCII
// character, and the first line of a table is mostly ASCII and starts with
// a quote or a date. Text in any other encoding has no NUL, and a table as
// written here never starts with one, whatever its texts hold.
bool looksLikeUtf16(QByteArrayView head)
{
    head = head.first(qMin(head.size(), HeadSize));
    if (const qsizetype end = head.indexOf(LineEnd); end >= 0)
        head = head.first(end);
    if (head.size() < 2 || (head.at(0) == '\0') == (head.at(1) == '\0'))
        return false;
    std::array<qsizetype, 2> nuls = { 0, 0 };
    for (qsizetype i = 0; i < head.size(); ++i) {
        if (head.at(i) == '\0')
            ++nuls[i % 2];
    }
    const std::array<qsizetype, 2> places = { (head.size() + 1) / 2, head.size() / 2 };
    return (nuls[0] * 2 >= places[0] && nuls[1] == 0) || (nuls[1] * 2 >= places[1] && nuls[0] == 0);
}

// A table known not to be UTF-16 and in memory: counted first, so that the
// item list is allocated once.
TLFileResult readBytes(const QByteArray &data, TLCsvReader::Encoding encoding, QList<TLItem> *items)
{
    TLFileResult result;
    qint64 records = 0;
    TLCsvBytes counted(data);
    TLCsvReader(&counted, encoding).read(nullptr, &records, &result);
    items->reserve(items->size() + records);
    TLCsvBytes window(data);
    TLCsvReader(&window, encoding).read(items, nullptr, &result);
    return result;
}

TLCsvReader::Encoding encodingOf(const QByteArray &data)
{
    TLUtf8Check check;
    for (qsizetype at = 0; at < data.size(); at += SliceSize)
        check.add(QByteArrayView(data).sliced(at, qMin(SliceSize, data.size() - at)));
    return check.isUtf8() ? TLCsvReader::Encoding::Utf8 : TLCsvReader::Encoding::Windows1252;
}

// A table in UTF-16 is read as the same text in UTF-8; its line ends are
// the reader's to take.
QByteArray utf16AsUtf8(QByteArrayView bytes)
{
    QStringDecoder utf16(bytes.startsWith(Utf16LeBom) ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                         QStringDecoder::Flag::Stateless);
    return QString(utf16.decode(bytes.sliced(Utf16LeBom.size()))).toUtf8();
}

void appendField(QString *line, const QString &value)
{
    line->append(QLatin1Char(Quote));
    for (const QChar c : value) {
        if (c == QLatin1Char(Quote))
            line->append(QLatin1Char(Quote));
        line->append(c);
    }
    line->append(QLatin1Char(Quote));
}

}

// Years 1 to 9999 are written as they always were, so that no table
// changes. The others take the ISO 8601 expanded form spreadsheets write:
// astronomical years, where 1 BC is year 0 and 44 BC is -43, with a sign
// where four digits alone would not read back.
QString TLCsv::dateText(const QDate &date)
{
    if (!date.isValid())
        return QString();
    if (date.year() >= 1 && date.year() <= 9999)
        return date.toString(Qt::ISODate);
    // Qt counts no year 0.
    const qint64 year = date.year() < 0 ? qint64(date.year()) + 1 : date.year();
    const QLatin1Char zero('0');
    return QStringLiteral("%1%2-%3-%4")
        .arg(year < 0 ? QStringLiteral("-") : year > 9999 ? QStringLiteral("+") : QString())
        .arg(qAbs(year), 4, 10, zero)
        .arg(date.month(), 2, 10, zero)
        .arg(date.day(), 2, 10, zero);
}

// The fields convert as the item model converts strings, so that a table
// reads the same whichever way its values reach the model; dates outside
// the years Qt's own form names are read in the expanded form.
QDate TLCsv::dateFromText(QStringView text)
{
    const QDate date = QDate::fromString(text, Qt::ISODate);
    return date.isValid() || text.isEmpty() ? date : expandedDate(text);
}

TLFileResult TLCsv::read(const QByteArray &data, QList<TLItem> *items)
{
    if (startsWithUtf16Bom(data))
        return readBytes(utf16AsUtf8(data), TLCsvReader::Encoding::Utf8, items);
    if (looksLikeUtf16(data))
        return TLFileResult(TLFileResult::UnknownEncoding);
    return readBytes(data, encodingOf(data), items);
}

// A file is read twice in slices: once to tell its encoding, which the last
// byte can decide, and to count the items, then to make them.
TLFileResult TLCsv::read(QIODevice *device, QList<TLItem> *items)
{
    const QByteArray head = device->peek(HeadSize);
    const qint64 start = device->pos();
    if (device->isSequential() || startsWithUtf16Bom(head)) {
        const QByteArray data = device->readAll();
        const auto *file = qobject_cast<const QFileDevice *>(device);
        if (file && file->error() != QFileDevice::NoError)
            return TLFileResult(TLFileResult::OpenFailed, file->errorString());
        return read(data, items);
    }
    if (looksLikeUtf16(head))
        return TLFileResult(TLFileResult::UnknownEncoding);

    TLUtf8Check check;
    TLCsvBytes counted(device, &check);
    TLFileResult result;
    qint64 records = 0;
    if (!TLCsvReader(&counted, TLCsvReader::Encoding::Utf8).read(nullptr, &records, &result))
        return TLFileResult(TLFileResult::OpenFailed, device->errorString());
    // The rest after a record that stopped the reading decides the encoding
    // as well.
    while (!counted.complete()) {
        if (!counted.more(counted.size()))
            return TLFileResult(TLFileResult::OpenFailed, device->errorString());
    }
    if (!device->seek(start))
        return TLFileResult(TLFileResult::OpenFailed, device->errorString());

    items->reserve(items->size() + records);
    TLCsvBytes window(device, nullptr);
    const auto encoding = check.isUtf8() ? TLCsvReader::Encoding::Utf8 : TLCsvReader::Encoding::Windows1252;
    if (!TLCsvReader(&window, encoding).read(items, nullptr, &result))
        return TLFileResult(TLFileResult::OpenFailed, device->errorString());
    return result;
}

TLFileResult TLCsv::readDocument(QIODevice *device, QList<TLItem> *items)
{
    const TLFileResult result = read(device, items);
    if (result.error() == TLFileResult::StoppedAtLine && items->isEmpty())
        return TLFileResult(TLFileResult::NotAChart);
    return result;
}

QByteArray TLCsv::write(const QList<TLItem> &items)
{
    QString out;
    for (const TLItem &item : items) {
        appendField(&out, TLCsv::dateText(item.date));
        out.append(QLatin1Char(Separator));
        appendField(&out, QString::number(item.pos));
        out.append(QLatin1Char(Separator));
        appendField(&out, item.text);
        out.append(QLatin1Char(Separator));
        appendField(&out, item.backgroundColor.name());
        out.append(QLatin1Char(Separator));
        appendField(&out, TLCsv::dateText(item.endDate));
        out.append(QLatin1Char(LineEnd));
    }
    return out.toUtf8();
}

TLFileResult TLCsv::write(QIODevice *device, const QList<TLItem> &items)
{
    const QByteArray data = write(items);
    if (device->write(data) != data.size())
        return TLFileResult(TLFileResult::WriteFailed, device->errorString());
    return TLFileResult();
}

bool TLCsv::chartRange(const QList<TLItem> &items, QDate *start, QDate *end)
{
    QDate earliest;
    QDate latest;
    for (const TLItem &item : items) {
        if (!item.date.isValid())
            continue;
        if (!earliest.isValid() || item.date < earliest)
            earliest = item.date;
        if (!latest.isValid() || item.date > latest)
            latest = item.date;
    }
    if (!earliest.isValid())
        return false;
    *start = earliest;
    *end = latest.addDays(RangeMargin);
    return true;
}
