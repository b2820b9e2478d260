#ifndef TLITEM_H
#define TLITEM_H

#include <QColor>
#include <QDate>
#include <QString>

class QDataStream;

// One dated entry of a chart. The label's fonts and colours live inside the
// rich text; the record itself only knows the box colour.
struct TLItem
{
    enum Column { DateColumn, PosColumn, TextColumn, BackgroundColorColumn, EndDateColumn, ColumnCount };

    QDate date;
    int pos = 0;
    QString text;
    QColor backgroundColor = Qt::white;
    QDate endDate;

    // A colour in its stream form. A colour model the stream form does not
    // know would reach every user of the colour as an enum value out of
    // range; it reads as an invalid colour, like any value that does not
    // convert.
    static QColor readColor(QDataStream &in);
};

bool operator==(const TLItem &a, const TLItem &b);
inline bool operator!=(const TLItem &a, const TLItem &b) { return !(a == b); }

// The item record of the current native format: date, pos, text, colour, end date.
QDataStream &operator<<(QDataStream &out, const TLItem &item);
QDataStream &operator>>(QDataStream &in, TLItem &item);

#endif
