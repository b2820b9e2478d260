#ifndef TLCHARTSTATE_H
#define TLCHARTSTATE_H

#include "model/tlchartoptions.h"

#include <QColor>
#include <QDate>
#include <QList>
#include <QSet>
#include <QString>

// Everything a chart shows besides its items: the style, the date range,
// the zoom, the rows, the time arrow, the display switches and the
// background. The window keeps one as the document's settings, its controls
// edit it, and the native format stores it.
struct TLChartState : TLChartOptions
{
    int style = 1;
    QDate start;
    QDate end;
    // Pixels per day and per row position.
    double dayWidth = 0.0;
    double posHeight = 0.0;
    // The time arrow's position, in the style's own steps.
    int tPos = 0;
    int maxPos = 0;
    QSet<int> displayFlags;
    // A chart that says nothing of its background shows a vertical gradient
    // from white to blue.
    int bgMode = VerticalGradient;
    QList<QColor> bgColors = defaultBackgroundColors();
    QString bgFileName;

    // The solid colour, then the two gradient colours.
    static QList<QColor> defaultBackgroundColors();

    // What a window shows before any document: five weeks from today at
    // 20 pixels a day, two rows of 100 pixels, the date marks and both
    // shadows, over a diagonal gradient.
    static TLChartState initial();

    friend bool operator==(const TLChartState &a, const TLChartState &b);
    friend bool operator!=(const TLChartState &a, const TLChartState &b) { return !(a == b); }
};

#endif
