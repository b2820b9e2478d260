#include "model/tlitem.h"

#include <QByteArray>
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
    in >> item.date >> pos >> item.text;
    item.backgroundColor = TLItem::readColor(in);
    in >> item.endDate;
    item.pos = pos;
    return in;
}

QColor TLItem::readColor(QDataStream &in)
{
    // The spec byte and five 16-bit components.
    constexpr int size = 11;
    QByteArray bytes(size, Qt::Uninitialized);
    if (in.readRawData(bytes.data(), size) != size) {
        in.setStatus(QDataStream::ReadPastEnd);
        return QColor();
    }
    switch (qint8(bytes.at(0))) {
    case QColor::Invalid:
    case QColor::Rgb:
    case QColor::Hsv:
    case QColor::Cmyk:
    case QColor::Hsl:
    case QColor::ExtendedRgb:
        break;
    default:
        return QColor();
    }
    QDataStream known(bytes);
    known.setVersion(in.version());
    QColor color;
    known >> color;
    return color;
}
