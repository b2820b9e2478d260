#ifndef TLCSV_H
#define TLCSV_H

#include <QByteArray>
#include <QList>
#include <QString>

#include "model/tlfileresult.h"
#include "model/tlitem.h"

class QDate;
class QIODevice;

// The item table as text: one record per item, five fields between double
// quotes separated by ";" (date, position, text, box colour, end date), no
// header. Only the items travel; the chart's view settings do not. Reading
// and writing need no window, so the format can be tested and fuzzed alone.
class TLCsv
{
public:
    // Reads every record up to the end or up to a record of fewer than
    // three fields, which ends the reading with StoppedAtLine and its line
    // number; the records before it are in *items either way. UTF-16
    // without a byte-order mark gives UnknownEncoding and no items. A file
    // is read in slices, so that its text is never held whole.
    static TLFileResult read(const QByteArray &data, QList<TLItem> *items);
    static TLFileResult read(QIODevice *device, QList<TLItem> *items);
    // read() of a file opened as a chart: one stopped before its first
    // record is no table at all, NotAChart.
    static TLFileResult readDocument(QIODevice *device, QList<TLItem> *items);

    // UTF-8 without a byte-order mark, a line feed after each record.
    // Dates are yyyy-MM-dd; years before 1 or after 9999 take the ISO 8601
    // expanded form (astronomical years: 1 BC is 0000, 44 BC is -0043,
    // then +10000).
    static QByteArray write(const QList<TLItem> &items);
    static TLFileResult write(QIODevice *device, const QList<TLItem> &items);

    // A date as a table writes it, and a date read from a table: yyyy-MM-dd,
    // and the expanded form outside the years 1 to 9999.
    static QString dateText(const QDate &date);
    static QDate dateFromText(QStringView text);

    // The range a table's chart shows: from the earliest date to five days
    // after the latest, over the items whose date is set. False, and the
    // dates untouched, when no item has one.
    static bool chartRange(const QList<TLItem> &items, QDate *start, QDate *end);
};

#endif
