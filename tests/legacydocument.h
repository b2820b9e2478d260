#ifndef LEGACYDOCUMENT_H
#define LEGACYDOCUMENT_H

#include "model/tldocument.h"
#include "model/tlitem.h"

#include <QByteArray>
#include <QColor>
#include <QDataStream>
#include <QDate>
#include <QFont>
#include <QIODevice>
#include <QList>
#include <QString>

// Charts of every format version, as the reader tests and the fuzz corpus
// need them.

inline const TLItem firstItem { QDate(2006, 10, 19), 2, QStringLiteral("Zwischenbericht"), QColor("#ffff00"),
                         QDate(2006, 10, 25) };
inline const TLItem secondItem { QDate(2006, 10, 17), 3, QStringLiteral("<b>x</b>"), QColor("#e0e0e0"), QDate() };

// A file as the program's earlier releases wrote it, made field by field.
// fontVersion is the stream version whose QFont form the version 1 items use;
// itemStarts receives the offset where each item record begins.
inline QByteArray legacyDocument(int version, QDataStream::Version fontVersion = QDataStream::Qt_4_6,
                          QList<qint64> *itemStarts = nullptr, qint32 arrow = 2)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_4_6);
    out << quint32(0xFFABDEFA) << quint8(version);
    if (version == 4)
        out << qint32(3);
    out << QDate(2006, 10, 4) << QDate(2006, 11, 8) << 20.4 << 94.99 << arrow << qint32(5);
    if (version < 4)
        out << true << false;
    if (version >= 3)
        out << qint32(2) << quint32(2) << QColor("#112233") << QColor("#445566") << QStringLiteral("bg.png");
    if (version == 4)
        out << quint32(2) << qint32(7) << qint32(1);
    out << quint32(2);
    for (const TLItem &item : { firstItem, secondItem }) {
        if (itemStarts)
            itemStarts->append(out.device()->pos());
        out << item.date << qint32(item.pos) << item.text << item.backgroundColor;
        if (version == 1) {
            out << QColor(Qt::red);
            out.setVersion(fontVersion);
            out << QFont(QStringLiteral("tahoma"), 9);
            out.setVersion(QDataStream::Qt_4_6);
        }
        if (version >= 2)
            out << item.endDate;
    }
    return data;
}

#endif
