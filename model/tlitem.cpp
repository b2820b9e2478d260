#include "model/tlitem.h"

#include <QDataStream>

bool operator==(const TLItem &a, const TLItem &b)
{
    return a.date == b.date && a.pos == b.pos && a.text == b.text
        && a.backgroundColor == b.backgroundColor && a.endDate == b.endDate;
}

QDataStream &operator<<(QDataStream &out, const TLItem &item)
{
    return out << item.date << qint32(item.pos) << item.text << item.backgroundColor << item.endDate;
}

QDataStream &operator>>(QDataStream &in, TLItem &item)
{
    qint32 pos = 0;
    in >> item.date >> pos >> item.text >> item.backgroundColor >> item.endDate;
    item.pos = pos;
    return in;
}
