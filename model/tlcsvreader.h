#ifndef TLCSVREADER_H
#define TLCSVREADER_H

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringDecoder>

#include <array>

#include "model/tlfileresult.h"
#include "model/tlitem.h"

class TLCsvBytes;

// Reads the records of a table, or only counts them. The syntax is all in
// ASCII, which UTF-8 and Windows-1252 share, so the bytes are parsed as
// they are and only the fields are decoded.
//
// A record is read as written now when it parses so; otherwise as the older
// writer wrote it: a field ends at the first quote that a ";" or the line
// end follows, and every other quote belongs to the text.
class TLCsvReader
{
public:
    enum class Encoding { Utf8, Windows1252 };

    TLCsvReader(TLCsvBytes *bytes, Encoding encoding);

    // Appends the items to *items, or counts them in *records when items is
    // null. False when the device fails.
    bool read(QList<TLItem> *items, qint64 *records, TLFileResult *result);

private:
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

    bool refill(qsizetype *pos);

    // The byte at i, or -1 past the end; past the bytes read so far, -1 too,
    // and the record is read again once more bytes are in.
    int at(qsizetype i);

    // The first c at or after from, or -1.
    qsizetype find(qsizetype from, char c);

    qsizetype endOfRun(qsizetype i, char c);

    // A line feed, or carriage returns before one: one line end.
    qsizetype lineEndLength(qsizetype i);

    bool endsFieldAt(qsizetype i);

    // A second mark is what the code page shows of the first one when a
    // UTF-8 editor saved the table again; Qt's decoder took it away too.
    qsizetype skipByteOrderMarks();

    // Comment lines and blank lines lie between records, never inside one:
    // where such a line ends, or -1 for a record.
    qsizetype endOfLineBetweenRecords(qsizetype pos);

    bool scanRecord(qsizetype start, FieldSpan::Kind kind, RecordSpans *spans, qsizetype markFrom = -1);

    // Records that fail to parse as written now are read again from each
    // of their fields on; where one ran past the record read instead, the
    // records after it may run into the same fields, and there they fail
    // at once, so that reading stays linear.
    void markFailedFieldStarts(qsizetype start, qsizetype from);

    qsizetype plainField(qsizetype pos, FieldSpan *field);

    // Inside, quotes come in pairs; the quote that ends the field is the
    // odd one out, and a ";" or the line end follows it. -1 when the field
    // is not written so.
    qsizetype doubledField(qsizetype pos, FieldSpan *field);

    qsizetype undoubledField(qsizetype pos, FieldSpan *field);

    QString decode(QByteArrayView bytes);

    // Doubled quotes become one, and carriage returns before a line feed
    // belong to the line end, so that no text keeps one there for the next
    // reading to take away.
    QString fieldText(const FieldSpan &field);

    TLItem item(const RecordSpans &spans);

    TLCsvBytes *window;
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

#endif
