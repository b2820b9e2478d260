#include "model/tlcsvreader.h"

#include "model/tlcsv.h"
#include "model/tlcsvbytes.h"
#include "model/tlcsvsyntax.h"

#include <QByteArrayView>
#include <QColor>

#include <algorithm>
#include <cstring>

TLCsvReader::TLCsvReader(TLCsvBytes *bytes, Encoding encoding)
    : window(bytes)
    , encoding(encoding)
{
    if (encoding == Encoding::Windows1252) {
        // The code page in which tables from Windows systems were written.
        windows = QStringDecoder("windows-1252");
    }
}

bool TLCsvReader::read(QList<TLItem> *items, qint64 *records, TLFileResult *result)
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
            line += std::count(data + pos, data + skipped, TLCsvSyntax::LineEnd);
            pos = skipped;
            continue;
        }
        if (!doubled && failure > spans.end)
            markFailedFieldStarts(pos, spans.end);
        if (spans.count < TLCsvSyntax::MinimumFields) {
            *result = TLFileResult(TLFileResult::StoppedAtLine, QString(), line);
            return true;
        }
        if (items)
            items->append(item(spans));
        else
            ++*records;
        line += std::count(data + pos, data + spans.end, TLCsvSyntax::LineEnd);
        pos = spans.end;
        if (window->offset() + pos > failedReach)
            failedFieldStarts.clear();
    }
    *result = TLFileResult();
    return true;
}

bool TLCsvReader::refill(qsizetype *pos)
{
    if (!window->more(*pos))
        return false;
    *pos = 0;
    return true;
}

int TLCsvReader::at(qsizetype i)
{
    data = window->data();
    size = window->size();
    if (i < size)
        return uchar(data[i]);
    if (!window->complete())
        starved = true;
    return -1;
}

qsizetype TLCsvReader::find(qsizetype from, char c)
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

qsizetype TLCsvReader::endOfRun(qsizetype i, char c)
{
    while (at(i) == c)
        ++i;
    return i;
}

qsizetype TLCsvReader::lineEndLength(qsizetype i)
{
    if (at(i) == TLCsvSyntax::LineEnd)
        return 1;
    if (at(i) != TLCsvSyntax::CarriageReturn)
        return 0;
    const qsizetype end = endOfRun(i, TLCsvSyntax::CarriageReturn);
    return at(end) == TLCsvSyntax::LineEnd ? end - i + 1 : 0;
}

bool TLCsvReader::endsFieldAt(qsizetype i)
{
    return at(i) < 0 || at(i) == TLCsvSyntax::Separator || lineEndLength(i) > 0;
}

qsizetype TLCsvReader::skipByteOrderMarks()
{
    const QByteArrayView bytes(window->data(), window->size());
    const QByteArrayView bom(TLCsvSyntax::Utf8Bom);
    if (!bytes.startsWith(bom))
        return 0;
    if (encoding == Encoding::Utf8 && bytes.sliced(bom.size()).startsWith(bom))
        return 2 * bom.size();
    return bom.size();
}

qsizetype TLCsvReader::endOfLineBetweenRecords(qsizetype pos)
{
    if (at(pos) == TLCsvSyntax::CommentMark) {
        const qsizetype end = find(pos, TLCsvSyntax::LineEnd);
        return end < 0 ? size : end + 1;
    }
    for (qsizetype i = pos;; ++i) {
        const int c = at(i);
        if (c < 0 || c == TLCsvSyntax::LineEnd)
            return c < 0 ? i : i + 1;
        if (c == ' ' || (c >= '\t' && c <= '\r'))
            continue;
        if (c < 0x80)
            return -1;
        // Spaces beyond ASCII, as a no-break space, count as blank too.
        qsizetype end = find(i, TLCsvSyntax::LineEnd);
        end = end < 0 ? size : end;
        if (!decode(QByteArrayView(data + pos, end - pos)).trimmed().isEmpty())
            return -1;
        return end < size ? end + 1 : end;
    }
}

bool TLCsvReader::scanRecord(qsizetype start, FieldSpan::Kind kind, RecordSpans *spans, qsizetype markFrom)
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
        if (at(pos) != TLCsvSyntax::Quote)
            pos = plainField(pos, &field);
        else if (kind == FieldSpan::Undoubled)
            pos = undoubledField(pos, &field);
        else if ((pos = doubledField(pos, &field)) < 0)
            return false;
        if (count < int(spans->fields.size()))
            spans->fields[count] = field;
        ++count;
        if (at(pos) == TLCsvSyntax::Separator) {
            ++pos;
            continue;
        }
        spans->count = count;
        spans->end = pos + lineEndLength(pos);
        return true;
    }
}

void TLCsvReader::markFailedFieldStarts(qsizetype start, qsizetype from)
{
    failedReach = qMax(failedReach, window->offset() + failure);
    RecordSpans spans;
    scanRecord(start, FieldSpan::Doubled, &spans, from);
}

qsizetype TLCsvReader::plainField(qsizetype pos, FieldSpan *field)
{
    field->begin = pos;
    for (;;) {
        const int c = at(pos);
        if (c < 0 || c == TLCsvSyntax::Separator || c == TLCsvSyntax::LineEnd)
            break;
        if (c == TLCsvSyntax::CarriageReturn) {
            const qsizetype end = endOfRun(pos, TLCsvSyntax::CarriageReturn);
            if (at(end) == TLCsvSyntax::LineEnd)
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

qsizetype TLCsvReader::doubledField(qsizetype pos, FieldSpan *field)
{
    field->begin = pos + 1;
    qsizetype closing = endOfRun(pos + 1, TLCsvSyntax::Quote);
    if ((closing - pos - 1) % 2 == 0) {
        for (;;) {
            const qsizetype run = find(closing, TLCsvSyntax::Quote);
            if (run < 0) {
                failure = size;
                return -1;
            }
            closing = endOfRun(run, TLCsvSyntax::Quote);
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

qsizetype TLCsvReader::undoubledField(qsizetype pos, FieldSpan *field)
{
    field->begin = pos + 1;
    field->kind = FieldSpan::Undoubled;
    for (qsizetype quote = pos + 1;; ++quote) {
        quote = find(quote, TLCsvSyntax::Quote);
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

QString TLCsvReader::decode(QByteArrayView bytes)
{
    if (encoding == Encoding::Utf8)
        return utf8.decode(bytes);
    return windows.isValid() ? QString(windows.decode(bytes)) : QString::fromLatin1(bytes);
}

QString TLCsvReader::fieldText(const FieldSpan &field)
{
    QByteArrayView bytes(data + field.begin, field.end - field.begin);
    const bool doubled = field.kind == FieldSpan::Doubled;
    if (bytes.contains(TLCsvSyntax::CarriageReturn) || (doubled && bytes.contains(TLCsvSyntax::Quote))) {
        plain.clear();
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const char c = bytes.at(i);
            if (c == TLCsvSyntax::CarriageReturn) {
                qsizetype end = i;
                while (end < bytes.size() && bytes.at(end) == TLCsvSyntax::CarriageReturn)
                    ++end;
                if (end == bytes.size() || bytes.at(end) != TLCsvSyntax::LineEnd)
                    plain.append(bytes.sliced(i, end - i));
                i = end - 1;
                continue;
            }
            plain.append(c);
            if (doubled && c == TLCsvSyntax::Quote)
                ++i;
        }
        bytes = plain;
    }
    if (field.open && bytes.endsWith(TLCsvSyntax::LineEnd))
        bytes.chop(1);
    return decode(bytes);
}

TLItem TLCsvReader::item(const RecordSpans &spans)
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
