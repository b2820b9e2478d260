#ifndef TLDOCUMENT_H
#define TLDOCUMENT_H

#include <QList>

#include "model/tlchartstate.h"
#include "model/tlfileresult.h"
#include "model/tlitem.h"

class QIODevice;

// A whole chart as the native file holds it: the chart's settings and its
// items. Reading and writing it needs no window, so the byte format can be
// tested on its own. Files before version 3 have no background and show the
// settings' own; read from a file before version 4, the display flags hold
// those of the two mark switches that are on, and say nothing about the
// other seven.
struct TLDocument : TLChartState
{
    static constexpr quint32 Magic = 0xFFABDEFA;
    static constexpr int CurrentVersion = 4;

    int version = CurrentVersion;
    QList<TLItem> items;

    bool hasMarkSwitches() const { return version < 4; }
    // The settings the document is shown with over those shown before: a
    // file before version 4 knows only the two mark switches, and the
    // others stay as they were.
    TLChartState settingsOver(const TLChartState &shown) const;
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
