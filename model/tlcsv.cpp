#include "model/tlcsv.h"

#include <QByteArrayView>
#include <QDate>
#include <QFileDevice>
#include <QIODevice>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>
#include <QVariant>

namespace {

const QChar Quote = QLatin1Char('"');
const QChar Separator = QLatin1Char(';');
const QChar LineEnd = QLatin1Char('\n');
const QChar CommentMark = QLatin1Char('#');
constexpr int MinimumFields = 3;
constexpr int RangeMargin = 5;

// Walks the decoded text record by record, counting lines for the user.
class RecordReader
{
public:
    explicit RecordReader(const QString &text) : text(text) {}

    bool atEnd() const { return pos >= text.size(); }
    qint64 lineNumber() const { return line; }

    // Comment lines and blank lines lie between records, never inside one.
    bool skipLineBetweenRecords()
    {
        qsizetype end = text.indexOf(LineEnd, pos);
        if (end < 0)
            end = text.size();
        const bool comment = text.at(pos) == CommentMark;
        if (!comment && !QStringView(text).sliced(pos, end - pos).trimmed().isEmpty())
            return false;
        pos = end;
        skipLineEnd();
        return true;
    }

    QStringList readRecord()
    {
        QStringList fields;
        for (;;) {
            fields.append(atQuote() ? readQuotedField() : readPlainField());
            if (pos < text.size() && text.at(pos) == Separator) {
                ++pos;
                continue;
            }
            skipLineEnd();
            return fields;
        }
    }

private:
    bool atQuote() const { return pos < text.size() && text.at(pos) == Quote; }

    bool endsFieldAt(qsizetype i) const
    {
        return i >= text.size() || text.at(i) == Separator || text.at(i) == LineEnd;
    }

    void skipLineEnd()
    {
        if (pos < text.size()) {
            ++pos;
            ++line;
        }
    }

    // Runs to the quote that ends the field; a doubled quote is one quote,
    // and any other quote stays as it stands, as tables written before
    // quotes were doubled have them.
    QString readQuotedField()
    {
        QString field;
        ++pos;
        while (pos < text.size()) {
            const QChar c = text.at(pos);
            if (c == Quote) {
                if (pos + 1 < text.size() && text.at(pos + 1) == Quote) {
                    field.append(Quote);
                    pos += 2;
                    continue;
                }
                if (endsFieldAt(pos + 1)) {
                    ++pos;
                    return field;
                }
            } else if (c == LineEnd) {
                ++line;
            }
            field.append(c);
            ++pos;
        }
        // No closing quote before the end: the field holds the rest, without
        // the final line break that ended the file.
        if (field.endsWith(LineEnd))
            field.chop(1);
        return field;
    }

    QString readPlainField()
    {
        const qsizetype start = pos;
        while (!endsFieldAt(pos))
            ++pos;
        return text.sliced(start, pos - start);
    }

    const QString &text;
    qsizetype pos = 0;
    qint64 line = 1;
};

// The fields convert as the item model converts strings, so that a table
// reads the same whichever way its values reach the model.
TLItem itemFromFields(const QStringList &fields)
{
    TLItem item;
    item.date = QVariant(fields.at(TLItem::DateColumn)).toDate();
    item.pos = QVariant(fields.at(TLItem::PosColumn)).toInt();
    item.text = fields.at(TLItem::TextColumn);
    item.text.squeeze();
    if (fields.size() > TLItem::BackgroundColorColumn)
        item.backgroundColor = QColor::fromString(fields.at(TLItem::BackgroundColorColumn));
    if (fields.size() > TLItem::EndDateColumn)
        item.endDate = QVariant(fields.at(TLItem::EndDateColumn)).toDate();
    return item;
}

void appendField(QString *line, const QString &value)
{
    line->append(Quote);
    for (const QChar c : value) {
        if (c == Quote)
            line->append(Quote);
        line->append(c);
    }
    line->append(Quote);
}

}

QString TLCsv::decode(const QByteArray &data)
{
    QByteArrayView bytes(data);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    // Stateless, so that a sequence cut off at the very end counts as an
    // error instead of waiting for more bytes.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        // The code page in which tables from Windows systems were written.
        QStringDecoder windows("windows-1252");
        text = windows.isValid() ? QString(windows.decode(bytes)) : QString::fromLatin1(bytes);
    }
    // Every carriage return before a line feed belongs to the line end, so
    // that no text read keeps one there for the next reading to take away.
    static const QRegularExpression lineEnd(QStringLiteral("\r+\n"));
    text.replace(lineEnd, QStringLiteral("\n"));
    return text;
}

TLFileResult TLCsv::read(const QByteArray &data, QList<TLItem> *items)
{
    const QString text = decode(data);
    RecordReader reader(text);
    while (!reader.atEnd()) {
        if (reader.skipLineBetweenRecords())
            continue;
        const qint64 line = reader.lineNumber();
        const QStringList fields = reader.readRecord();
        if (fields.size() < MinimumFields)
            return TLFileResult(TLFileResult::StoppedAtLine, QString(), line);
        items->append(itemFromFields(fields));
    }
    return TLFileResult();
}

TLFileResult TLCsv::read(QIODevice *device, QList<TLItem> *items)
{
    const QByteArray data = device->readAll();
    const auto *file = qobject_cast<const QFileDevice *>(device);
    if (file && file->error() != QFileDevice::NoError)
        return TLFileResult(TLFileResult::OpenFailed, file->errorString());
    return read(data, items);
}

QByteArray TLCsv::write(const QList<TLItem> &items)
{
    QString out;
    for (const TLItem &item : items) {
        appendField(&out, item.date.toString(Qt::ISODate));
        out.append(Separator);
        appendField(&out, QString::number(item.pos));
        out.append(Separator);
        appendField(&out, item.text);
        out.append(Separator);
        appendField(&out, item.backgroundColor.name());
        out.append(Separator);
        appendField(&out, item.endDate.toString(Qt::ISODate));
        out.append(LineEnd);
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
