#include "model/tlitem.h"

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>

#include <cstring>

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
    // The stream leaves room for the text to grow, up to as much again as
    // it holds; a chart keeps its labels as they are read.
    item.text.squeeze();
    item.backgroundColor = TLItem::readColor(in);
    in >> item.endDate;
    item.pos = pos;
    return in;
}

QColor TLItem::readColor(QDataStream &in)
{
    // The colour model byte (RGB, HSV, ...) and five 16-bit components, as
    // QDataStream writes a QColor.
    constexpr int size = 11;
    char raw[size];
    if (in.readRawData(raw, size) != size) {
        in.setStatus(QDataStream::ReadPastEnd);
        return QColor();
    }
    switch (qint8(raw[0])) {
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
    // Qt reads a known colour from its own bytes. One stream on a thread
    // serves them all: one made per item took a third of the time a chart
    // of a million items takes to read.
    thread_local QByteArray bytes(size, Qt::Uninitialized);
    thread_local QDataStream known(&bytes, QIODevice::ReadOnly);
    std::memcpy(bytes.data(), raw, size);
    known.device()->seek(0);
    known.resetStatus();
    known.setVersion(in.version());
    QColor color;
    known >> color;
    return color;
}
