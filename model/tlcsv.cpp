#include "model/tlcsv.h"

#include <QByteArrayView>
#include <QColor>
#include <QDate>
#include <QFileDevice>
#include <QIODevice>
#include <QSet>
#include <QStringDecoder>
#include <QStringView>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <vector>

namespace {

constexpr char Quote = '"';
constexpr char Separator = ';';
constexpr char LineEnd = '\n';
constexpr char CarriageReturn = '\r';
constexpr char CommentMark = '#';
constexpr int MinimumFields = 3;
constexpr int RangeMargin = 5;
// A file is read in slices of this size, so that only the items it makes
// stay in memory, not its text.
constexpr qsizetype SliceSize = 1 << 20;
// The start of a file that tells its encoding: a byte-order mark, or the
// NULs of UTF-16 without one.
constexpr qsizetype HeadSize = 512;
const QByteArrayView Utf8Bom("\xEF\xBB\xBF");
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

// Whether bytes that arrive in pieces are UTF-8 as a whole, checked piece
// by piece: a character cut off at a piece's end waits for the next.
class Utf8Check
{
public:
    void add(QByteArrayView piece)
    {
        qsizetype continuing = 0;
        while (continuing < piece.size() && continuing < 3 && isContinuation(piece.at(continuing)))
            ++continuing;
        if (!pending.isEmpty() || continuing > 0) {
            pending.append(piece.first(continuing));
            if (continuing == piece.size() && continuing < 3)
                return;
            check(pending);
            pending.clear();
            piece = piece.sliced(continuing);
        }
        qsizetype last = piece.size() - 1;
        while (last > 0 && last > piece.size() - 4 && isContinuation(piece.at(last)))
            --last;
        if (last >= 0 && uchar(piece.at(last)) >= 0x80) {
            pending = piece.sliced(last).toByteArray();
            piece = piece.first(last);
        }
        check(piece);
    }

    bool isUtf8()
    {
        check(pending);
        pending.clear();
        return !decoder.hasError();
    }

private:
    static bool isContinuation(char c) { return (uchar(c) & 0xC0) == 0x80; }

    void check(QByteArrayView bytes)
    {
        if (bytes.isEmpty() || decoder.hasError())
            return;
        buffer.resize(decoder.requiredSpace(bytes.size()));
        decoder.appendToBuffer(buffer.data(), bytes);
    }

    // Stateless, so that a sequence cut off at the very end counts as an
    // error instead of waiting for more bytes.
    QStringDecoder decoder { QStringDecoder::Utf8, QStringDecoder::Flag::Stateless };
    std::vector<QChar> buffer;
    QByteArray pending;
};

// The bytes being read: all of a table, or the part of a file from the
// record being read on.
class ByteWindow
{
public:
    explicit ByteWindow(const QByteArray &data) : bytes(data), whole(true) {}
    ByteWindow(QIODevice *device, Utf8Check *check) : device(device), check(check) {}

    const char *data() const { return bytes.constData(); }
    qsizetype size() const { return bytes.size(); }
    bool complete() const { return whole; }
    // Where data() lies in the file.
    qint64 offset() const { return base; }

    // Drops the bytes before from and reads at least as many again as are
    // kept, so that a record longer than a slice is read again only as
    // often as its length doubles. False when the device fails.
    bool more(qsizetype from)
    {
        const qsizetype kept = bytes.size() - from;
        std::memmove(bytes.data(), bytes.constData() + from, size_t(kept));
        base += from;
        const qsizetype wanted = qMax(SliceSize, kept);
        bytes.resize(kept + wanted);
        qsizetype got = 0;
        while (got < wanted) {
            const qint64 read = device->read(bytes.data() + kept + got, wanted - got);
            if (read < 0)
                return false;
            if (read == 0)
                break;
            got += read;
        }
        bytes.resize(kept + got);
        if (check)
            check->add(QByteArrayView(bytes.constData() + kept, got));
        whole = got < wanted || device->atEnd();
        return true;
    }

private:
    QByteArray bytes;
    bool whole = false;
    QIODevice *device = nullptr;
    Utf8Check *check = nullptr;
    qint64 base = 0;
};

enum class Encoding { Utf8, Windows1252 };

// Where a field's text lies in the bytes, and how to take it out.
struct FieldSpan
{
    enum Kind {
        Plain,
        // Between quotes, each quote inside doubled, as written now.
        Doubled,
        // Between quotes, the quotes inside as they stand, as tables were
        // written before quotes were doubled.
        Undoubled,
    };
    qsizetype begin = 0;
    qsizetype end = 0;
    Kind kind = Plain;
    // Without a closing quote the field runs to the end of the file, less
    // the final line break that ended the file.
    bool open = false;
};

struct RecordSpans
{
    std::array<FieldSpan, TLItem::ColumnCount> fields;
    int count = 0;
    qsizetype end = 0;
};

// Reads the records of a table, or only counts them. The syntax is all in
// ASCII, which UTF-8 and Windows-1252 share, so the bytes are parsed as
// they are and only the fields are decoded.
//
// A record is read as written now when it parses so; otherwise as the older
// writer wrote it: a field ends at the first quote that a ";" or the line
// end follows, and every other quote belongs to the text.
class TableReader
{
public:
    TableReader(ByteWindow *window, Encoding encoding) : window(window), encoding(encoding)
    {
        if (encoding == Encoding::Windows1252) {
            // The code page in which tables from Windows systems were written.
            windows = QStringDecoder("windows-1252");
        }
    }

    // Appends the items to *items, or counts them in *records when items is
    // null. False when the device fails.
    bool read(QList<TLItem> *items, qint64 *records, TLFileResult *result)
    {
        qsizetype pos = 0;
        bool started = false;
        qint64 line = 1;
        for (;;) {
            starved = false;
            const int first = at(pos);
            if (starved) {
                if (!refill(&pos))
                    return false;
                continue;
            }
            if (!started) {
                started = true;
                pos = skipByteOrderMarks();
                continue;
            }
            if (first < 0)
                break;

            const qsizetype skipped = endOfLineBetweenRecords(pos);
            RecordSpans spans;
            bool doubled = false;
            if (skipped < 0) {
                doubled = scanRecord(pos, FieldSpan::Doubled, &spans);
                if (!doubled)
                    scanRecord(pos, FieldSpan::Undoubled, &spans);
            }
            if (starved) {
                if (!refill(&pos))
                    return false;
                continue;
            }
            if (skipped >= 0) {
                line += std::count(data + pos, data + skipped, LineEnd);
                pos = skipped;
                continue;
            }
            if (!doubled && failure > spans.end)
                markFailedFieldStarts(pos, spans.end);
            if (spans.count < MinimumFields) {
                *result = TLFileResult(TLFileResult::StoppedAtLine, QString(), line);
                return true;
            }
            if (items)
                items->append(item(spans));
            else
                ++*records;
            line += std::count(data + pos, data + spans.end, LineEnd);
            pos = spans.end;
            if (window->offset() + pos > failedReach)
                failedFieldStarts.clear();
        }
        *result = TLFileResult();
        return true;
    }

private:
    bool refill(qsizetype *pos)
    {
        if (!window->more(*pos))
            return false;
        *pos = 0;
        return true;
    }

    // The byte at i, or -1 past the end; past the bytes read so far, -1 too,
    // and the record is read again once more bytes are in.
    int at(qsizetype i)
    {
        data = window->data();
        size = window->size();
        if (i < size)
            return uchar(data[i]);
        if (!window->complete())
            starved = true;
        return -1;
    }

    // The first c at or after from, or -1.
    qsizetype find(qsizetype from, char c)
    {
        at(from);
        if (from < size) {
            if (const void *found = std::memchr(data + from, c, size_t(size - from)))
                return static_cast<const char *>(found) - data;
        }
        if (!window->complete())
            starved = true;
        return -1;
    }

    qsizetype endOfRun(qsizetype i, char c)
    {
        while (at(i) == c)
            ++i;
        return i;
    }

    // A line feed, or carriage returns before one: one line end.
    qsizetype lineEndLength(qsizetype i)
    {
        if (at(i) == LineEnd)
            return 1;
        if (at(i) != CarriageReturn)
            return 0;
        const qsizetype end = endOfRun(i, CarriageReturn);
        return at(end) == LineEnd ? end - i + 1 : 0;
    }

    bool endsFieldAt(qsizetype i) { return at(i) < 0 || at(i) == Separator || lineEndLength(i) > 0; }

    // A second mark is what the code page shows of the first one when a
    // UTF-8 editor saved the table again; Qt's decoder took it away too.
    qsizetype skipByteOrderMarks()
    {
        const QByteArrayView bytes(window->data(), window->size());
        if (!bytes.startsWith(Utf8Bom))
            return 0;
        if (encoding == Encoding::Utf8 && bytes.sliced(Utf8Bom.size()).startsWith(Utf8Bom))
            return 2 * Utf8Bom.size();
        return Utf8Bom.size();
    }

    // Comment lines and blank lines lie between records, never inside one:
    // where such a line ends, or -1 for a record.
    qsizetype endOfLineBetweenRecords(qsizetype pos)
    {
        if (at(pos) == CommentMark) {
            const qsizetype end = find(pos, LineEnd);
            return end < 0 ? size : end + 1;
        }
        for (qsizetype i = pos;; ++i) {
            const int c = at(i);
            if (c < 0 || c == LineEnd)
                return c < 0 ? i : i + 1;
            if (c == ' ' || (c >= '\t' && c <= '\r'))
                continue;
            if (c < 0x80)
                return -1;
            // Spaces beyond ASCII, as a no-break space, count as blank too.
            qsizetype end = find(i, LineEnd);
            end = end < 0 ? size : end;
            if (!decode(QByteArrayView(data + pos, end - pos)).trimmed().isEmpty())
                return -1;
            return end < size ? end + 1 : end;
        }
    }

    bool scanRecord(qsizetype start, FieldSpan::Kind kind, RecordSpans *spans, qsizetype markFrom = -1)
    {
        qsizetype pos = start;
        int count = 0;
        for (;;) {
            const qint64 place = window->offset() + pos;
            if (kind == FieldSpan::Doubled && !failedFieldStarts.isEmpty() && failedFieldStarts.contains(place)) {
                failure = failedReach - window->offset();
                return false;
            }
            if (markFrom >= 0 && pos >= markFrom)
                failedFieldStarts.insert(place);
            FieldSpan field;
            if (at(pos) != Quote)
                pos = plainField(pos, &field);
            else if (kind == FieldSpan::Undoubled)
                pos = undoubledField(pos, &field);
            else if ((pos = doubledField(pos, &field)) < 0)
                return false;
            if (count < int(spans->fields.size()))
                spans->fields[count] = field;
            ++count;
            if (at(pos) == Separator) {
                ++pos;
                continue;
            }
            spans->count = count;
            spans->end = pos + lineEndLength(pos);
            return true;
        }
    }

    // Records that fail to parse as written now are read again from each
    // of their fields on; where one ran past the record read instead, the
    // records after it may run into the same fields, and there they fail
    // at once, so that reading stays linear.
    void markFailedFieldStarts(qsizetype start, qsizetype from)
    {
        failedReach = qMax(failedReach, window->offset() + failure);
        RecordSpans spans;
        scanRecord(start, FieldSpan::Doubled, &spans, from);
    }

    qsizetype plainField(qsizetype pos, FieldSpan *field)
    {
        field->begin = pos;
        for (;;) {
            const int c = at(pos);
            if (c < 0 || c == Separator || c == LineEnd)
                break;
            if (c == CarriageReturn) {
                const qsizetype end = endOfRun(pos, CarriageReturn);
                if (at(end) == LineEnd)
                    break;
                pos = end;
            } else {
                ++pos;
            }
        }
        field->end = pos;
        field->kind = FieldSpan::Plain;
        return pos;
    }

    // Inside, quotes come in pairs; the quote that ends the field is the
    // odd one out, and a ";" or the line end follows it. -1 when the field
    // is not written so.
    qsizetype doubledField(qsizetype pos, FieldSpan *field)
    {
        field->begin = pos + 1;
        qsizetype closing = endOfRun(pos + 1, Quote);
        if ((closing - pos - 1) % 2 == 0) {
            for (;;) {
                const qsizetype run = find(closing, Quote);
                if (run < 0) {
                    failure = size;
                    return -1;
                }
                closing = endOfRun(run, Quote);
                if ((closing - run) % 2 == 1)
                    break;
            }
        }
        --closing;
        if (!endsFieldAt(closing + 1)) {
            failure = closing;
            return -1;
        }
        field->end = closing;
        field->kind = FieldSpan::Doubled;
        return closing + 1;
    }

    qsizetype undoubledField(qsizetype pos, FieldSpan *field)
    {
        field->begin = pos + 1;
        field->kind = FieldSpan::Undoubled;
        for (qsizetype quote = pos + 1;; ++quote) {
            quote = find(quote, Quote);
            if (quote < 0) {
                field->end = size;
                field->open = true;
                return size;
            }
            if (endsFieldAt(quote + 1)) {
                field->end = quote;
                return quote + 1;
            }
        }
    }

    QString decode(QByteArrayView bytes)
    {
        if (encoding == Encoding::Utf8)
            return utf8.decode(bytes);
        return windows.isValid() ? QString(windows.decode(bytes)) : QString::fromLatin1(bytes);
    }

    // Doubled quotes become one, and carriage returns before a line feed
    // belong to the line end, so that no text keeps one there for the next
    // reading to take away.
    QString fieldText(const FieldSpan &field)
    {
        QByteArrayView bytes(data + field.begin, field.end - field.begin);
        const bool doubled = field.kind == FieldSpan::Doubled;
        if (bytes.contains(CarriageReturn) || (doubled && bytes.contains(Quote))) {
            plain.clear();
            for (qsizetype i = 0; i < bytes.size(); ++i) {
                const char c = bytes.at(i);
                if (c == CarriageReturn) {
                    qsizetype end = i;
                    while (end < bytes.size() && bytes.at(end) == CarriageReturn)
                        ++end;
                    if (end == bytes.size() || bytes.at(end) != LineEnd)
                        plain.append(bytes.sliced(i, end - i));
                    i = end - 1;
                    continue;
                }
                plain.append(c);
                if (doubled && c == Quote)
                    ++i;
            }
            bytes = plain;
        }
        if (field.open && bytes.endsWith(LineEnd))
            bytes.chop(1);
        return decode(bytes);
    }

    TLItem item(const RecordSpans &spans)
    {
        TLItem item;
        item.date = TLCsv::dateFromText(fieldText(spans.fields[TLItem::DateColumn]));
        // Qt's own conversion of a QVariant cuts a number beyond int to its
        // low bits; out of range, a row is no number.
        item.pos = fieldText(spans.fields[TLItem::PosColumn]).toInt();
        item.text = fieldText(spans.fields[TLItem::TextColumn]);
        item.text.squeeze();
        if (spans.count > TLItem::BackgroundColorColumn)
            item.backgroundColor = QColor::fromString(fieldText(spans.fields[TLItem::BackgroundColorColumn]));
        if (spans.count > TLItem::EndDateColumn)
            item.endDate = TLCsv::dateFromText(fieldText(spans.fields[TLItem::EndDateColumn]));
        return item;
    }

    ByteWindow *window;
    const Encoding encoding;
    const char *data = nullptr;
    qsizetype size = 0;
    bool starved = false;
    qsizetype failure = 0;
    QSet<qint64> failedFieldStarts;
    qint64 failedReach = -1;
    // A mark at the start of a field is a character of the text.
    QStringDecoder utf8 { QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom };
    QStringDecoder windows;
    QByteArray plain;
};

// A table known not to be UTF-16 and in memory: counted first, so that the
// item list is allocated once.
TLFileResult readBytes(const QByteArray &data, Encoding encoding, QList<TLItem> *items)
{
    TLFileResult result;
    qint64 records = 0;
    ByteWindow counted(data);
    TableReader(&counted, encoding).read(nullptr, &records, &result);
    items->reserve(items->size() + records);
    ByteWindow window(data);
    TableReader(&window, encoding).read(items, nullptr, &result);
    return result;
}

Encoding encodingOf(const QByteArray &data)
{
    Utf8Check check;
    for (qsizetype at = 0; at < data.size(); at += SliceSize)
        check.add(QByteArrayView(data).sliced(at, qMin(SliceSize, data.size() - at)));
    return check.isUtf8() ? Encoding::Utf8 : Encoding::Windows1252;
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

QString TLCsv::decode(const QByteArray &data)
{
    QByteArrayView bytes(data);
    QString text;
    if (startsWithUtf16Bom(bytes)) {
        QStringDecoder utf16(bytes.startsWith(Utf16LeBom) ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless);
        text = utf16.decode(bytes.sliced(Utf16LeBom.size()));
    } else {
        if (bytes.startsWith(Utf8Bom))
            bytes = bytes.sliced(Utf8Bom.size());
        // Stateless, so that a sequence cut off at the very end counts as an
        // error instead of waiting for more bytes.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = utf8.decode(bytes);
        if (utf8.hasError()) {
            // The code page in which tables from Windows systems were written.
            QStringDecoder windows("windows-1252");
            text = windows.isValid() ? QString(windows.decode(bytes)) : QString::fromLatin1(bytes);
        }
    }
    // Every carriage return before a line feed belongs to the line end, so
    // that no text read keeps one there for the next reading to take away.
    QChar *chars = text.data();
    const qsizetype size = text.size();
    qsizetype kept = 0;
    for (qsizetype i = 0; i < size;) {
        if (chars[i] == QLatin1Char(CarriageReturn)) {
            qsizetype end = i;
            while (end < size && chars[end] == QLatin1Char(CarriageReturn))
                ++end;
            if (end == size || chars[end] != QLatin1Char(LineEnd)) {
                while (i < end)
                    chars[kept++] = chars[i++];
                continue;
            }
            i = end;
        }
        chars[kept++] = chars[i++];
    }
    text.truncate(kept);
    return text;
}

TLFileResult TLCsv::read(const QByteArray &data, QList<TLItem> *items)
{
    // Its line ends are taken at the same time.
    if (startsWithUtf16Bom(data))
        return readBytes(decode(data).toUtf8(), Encoding::Utf8, items);
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

    Utf8Check check;
    ByteWindow counted(device, &check);
    TLFileResult result;
    qint64 records = 0;
    if (!TableReader(&counted, Encoding::Utf8).read(nullptr, &records, &result))
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
    ByteWindow window(device, nullptr);
    if (!TableReader(&window, check.isUtf8() ? Encoding::Utf8 : Encoding::Windows1252).read(items, nullptr, &result))
        return TLFileResult(TLFileResult::OpenFailed, device->errorString());
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
