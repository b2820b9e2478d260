#ifndef TLDOCUMENT_H
#define TLDOCUMENT_H

#include <QColor>
#include <QDate>
#include <QList>
#include <QSet>
#include <QString>

#include "model/tlfileresult.h"
#include "model/tlitem.h"

class QIODevice;

// A whole chart as the native file holds it: style, view parameters,
// background, display switches and items. Reading and writing it needs no
// window, so the byte format can be tested on its own.
struct TLDocument
{
    static constexpr quint32 Magic = 0xFFABDEFA;
    static constexpr int CurrentVersion = 4;

    int version = CurrentVersion;
    int style = 1;
    QDate start;
    QDate end;
    double dayWidth = 0.0;
    double posHeight = 0.0;
    int tPos = 0;
    int maxPos = 0;
    // Files before version 4 carry these two switches instead of a flag set.
    bool markEnds = false;
    bool markItems = false;
    // Files before version 3 have no background: they show this one.
    int bgMode = 3;
    QList<QColor> bgColors { Qt::white, Qt::white, Qt::blue };
    QString bgFileName;
    QSet<int> displayFlags;
    QList<TLItem> items;

    bool hasMarkSwitches() const { return version < 4; }
    bool hasBackground() const { return version >= 3; }
    bool hasDisplayFlags() const { return version >= 4; }

    // Reads a document of any version from 0 to 4. A device that holds no
    // chart (wrong magic, unknown version, unknown style) leaves *document
    // untouched; data that ends early gives zero values, as far as it goes.
    static TLFileResult read(QIODevice *device, TLDocument *document);
    // Writes the current version, whatever version was read.
    TLFileResult write(QIODevice *device) const;
};

#endif
