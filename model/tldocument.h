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
    // The display flag numbers of the two switches that files before
    // version 4 carry instead of a flag set.
    static constexpr int MarkEndsFlag = 4;
    static constexpr int MarkItemsFlag = 5;

    int version = CurrentVersion;
    int style = 1;
    QDate start;
    QDate end;
    double dayWidth = 0.0;
    double posHeight = 0.0;
    int tPos = 0;
    int maxPos = 0;
    // Files before version 3 have no background: they show this one.
    int bgMode = 3;
    QList<QColor> bgColors { Qt::white, Qt::white, Qt::blue };
    QString bgFileName;
    // Read from a file before version 4, it holds the flags of the two mark
    // switches that are on, and says nothing about the other seven.
    QSet<int> displayFlags;
    QList<TLItem> items;

    bool hasMarkSwitches() const { return version < 4; }
    bool hasBackground() const { return version >= 3; }
    bool hasDisplayFlags() const { return version >= 4; }

    // Reads a document of any version from 0 to 4 from the device's current
    // position. A device that holds no chart (wrong magic, unknown version,
    // unknown style) is refused after its first few bytes and leaves
    // *document untouched. Data that ends early gives zero values as far as
    // it goes and the result Truncated with the number of items read.
    static TLFileResult read(QIODevice *device, TLDocument *document);
    // Writes the current version, whatever version was read.
    TLFileResult write(QIODevice *device) const;
};

#endif
